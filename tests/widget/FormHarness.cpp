#include "FormHarness.h"

#include "platform/QtPrinterPort.h"

#include <QAbstractItemModel>
#include <QTest>

namespace velkrin::widgettest {

void ScriptedRandomSource::fill(std::span<std::uint8_t> out)
{
    for (std::uint8_t &byte : out) {
        byte = m_script[m_next];
        m_next = (m_next + 1) % m_script.size();
    }
}

FormHarness::FormHarness(RandomSource *random)
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    printerFactory = [this]() -> std::unique_ptr<PrinterPort> { return QtPrinterPort::pdfFile(pdfPath()); };

    HostServices services;
    services.random = random ? random : &m_sodium;
    services.openPrinter = [this] { return printerFactory(); };
    services.executableDirectory = [this] { return m_dir.path(); };
    services.today = [] { return fixedToday(); };
    services.showWarning = [this](QWidget *parent, const QString &message) {
        m_warnings.append({message, m_form->Timer1->isActive(), parent == m_form.get()});
    };
    m_form = std::make_unique<Form1>(std::move(services));
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
    m_form->show();
    m_form->activateWindow();
    return QTest::qWaitForWindowActive(m_form.get());
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

void FormHarness::clearText(QLineEdit *box)
{
    selectAll(box);
    QTest::keyClick(box, Qt::Key_Backspace);
}

void FormHarness::tick()
{
    if (!QMetaObject::invokeMethod(m_form->Timer1, "timeout"))
        qFatal("could not deliver a timer tick");
}

QStringList FormHarness::listItems()
{
    // Read through the view's model, as the list box shows them.
    QStringList items;
    const QAbstractItemModel *model = m_form->List1->model();
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
