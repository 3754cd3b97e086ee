#include "FormHarness.h"

#include "PdfPrinter.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QTest>

namespace velkrin::widgettest {

FormHarness::FormHarness(RandomSource *random, std::chrono::milliseconds clipboardClearAfter)
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    printerFactory = [this] { return pdfPrinter(pdfPath()); };
    m_folder.emplace(FolderHandle(QFile::encodeName(m_dir.path()).toStdString()));

    m_host = std::make_unique<QtHost>(QtHostChoices{
        .random = random ? *random : m_sodium,
        .executableFolder = *m_folder,
        .openPrinter = [this] { return printerFactory(); },
        .today = [] { return fixedToday(); },
        .showWarning =
            [this](QWidget &parent, const QString &message) {
                m_warnings.append({message, m_widgets->Timer1->isActive(), &parent == &m_host->window()});
            },
        .clipboardClearAfter = clipboardClearAfter,
    });
    m_widgets = std::make_unique<Form1Widgets>(*m_host);
}

FormHarness::~FormHarness() = default;

QStringList FormHarness::warningTexts() const
{
    QStringList texts;
    for (const RecordedWarning &warning : m_warnings)
        texts << warning.message;
    return texts;
}

bool FormHarness::showAndActivate()
{
    Form1Window &window = m_host->window();
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

void FormHarness::replaceText(QLineEdit *box, const QString &typed)
{
    selectAll(box);
    const auto before = m_warnings.size();
    for (QChar c : typed) {
        typeKey(box, c);
        if (m_warnings.size() != before)
            return;
    }
}

void FormHarness::selectAll(QLineEdit *box)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
}

void FormHarness::typeKey(QLineEdit *box, QChar key)
{
    if (key == u'\b')
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, QString(key));
}

void FormHarness::tick()
{
    // A stopped timer ticks for no one: it runs for this one tick.
    const bool idle = !m_widgets->Timer1->isActive();
    if (idle)
        emit m_widgets->XPButton1->press();
    if (!QMetaObject::invokeMethod(m_widgets->Timer1, "timeout"))
        qFatal("could not deliver a timer tick");
    if (idle)
        emit m_widgets->XPButton2->press();
}

QStringList FormHarness::listItems()
{
    // Read through the view's model, as the list box shows them.
    QStringList items;
    const QAbstractItemModel *model = m_widgets->List1->model();
    for (int row = 0; row < model->rowCount(); ++row)
        items << model->index(row, 0).data().toString();
    return items;
}

QRegularExpression separatePattern(int letters, int digits)
{
    return QRegularExpression(QStringLiteral("^[a-z]{%1}[0-9]{%2}$").arg(letters).arg(digits));
}

QRegularExpression mixedPattern(int length)
{
    return QRegularExpression(QStringLiteral("^[a-zA-Z0-9]{%1}$").arg(length));
}

} // namespace velkrin::widgettest
