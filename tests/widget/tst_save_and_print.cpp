// Save writes the batch list beside the executable; Print puts the current
// password on a page, read back here from a PDF.

#include "FormHarness.h"

#include "PdfPrinter.h"
#include "platform/HostError.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>

using namespace velkrin;
using namespace velkrin::widgettest;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<cannot read ") + path.toUtf8() + ">";
    return file.readAll();
}

QByteArray crlfLines(const QStringList &items)
{
    QByteArray bytes;
    for (const QString &item : items)
        bytes += item.toLatin1() + "\r\n";
    return bytes;
}

QString pdftotext(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELKRIN_PDFTOTEXT), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page's text lines, trailing blank lines and the form feed dropped.
QStringList pageLines(const QString &pdf)
{
    QString text = pdftotext({QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.remove(u'\f');
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        line = line.trimmed();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

struct Word {
    QString text;
    double top;
    double height;
};

QList<Word> pageWords(const QString &pdf)
{
    QList<Word> words;
    QXmlStreamReader xml(pdftotext({QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("word")) {
            const double yMin = xml.attributes().value(QLatin1String("yMin")).toDouble();
            const double yMax = xml.attributes().value(QLatin1String("yMax")).toDouble();
            words.append({xml.readElementText(), yMin, yMax - yMin});
        }
    }
    return words;
}

const QString kRule = QString(24, u'=');

// A printer that writes down what it is asked to do, empty lines included
// (a PDF page cannot show those).
class RecordingPrinter final : public PrinterPort {
public:
    explicit RecordingPrinter(QStringList &calls) : m_calls(calls) {}
    void setFontSize(double points) override { m_calls << QStringLiteral("size %1").arg(points); }
    void setFontBold(bool bold) override { m_calls << (bold ? QStringLiteral("bold") : QStringLiteral("regular")); }
    void printLine(std::string_view text) override { m_calls << QStringLiteral("line:") + toQString(text); }
    void endDocument() override { m_calls << QStringLiteral("end"); }

private:
    QStringList &m_calls;
};

// FfLetters: a password whose letters a typesetter would join ("ffl").
enum class PageContent { NoPassword, AfterCreate, BatchRunning, FfLetters };
enum class PrintTrigger { Click, AltP };

} // namespace

Q_DECLARE_METATYPE(PageContent)
Q_DECLARE_METATYPE(PrintTrigger)

class SaveAndPrintTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void save();
    void printPage_data();
    void printPage();
    void printedLines_data();
    void printedLines();
    void printFailure_data();
    void printFailure();
};

void SaveAndPrintTest::initTestCase()
{
    QVERIFY2(QFileInfo(QStringLiteral(VELKRIN_PDFTOTEXT)).isExecutable(),
             "pdftotext (poppler-utils) is needed to read the printed page");
    // The heading's date follows the locale; pin one so the page is known.
    QLocale::setDefault(QLocale::c());
}

// Save writes the list beside the executable and leaves batch mode running
// (its rules: tests/unit/test_save_contract.cpp; failures: e2e/bad_save.sh).
void SaveAndPrintTest::save()
{
    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QTest::mouseClick(form.XPButton1, Qt::LeftButton);
    h.tick();
    QTest::mouseClick(form.XPButton3, Qt::LeftButton);
    QCOMPARE(readFile(QDir(h.executableDirectory()).filePath(QStringLiteral("target.txt"))), crlfLines(h.listItems()));
    QVERIFY(form.Timer1->isActive());
    QVERIFY(h.warnings().isEmpty());
}

void SaveAndPrintTest::printPage_data()
{
    QTest::addColumn<PrintTrigger>("trigger");
    QTest::addColumn<PageContent>("content");
    // clang-format off
    QTest::newRow("click, no password yet") << PrintTrigger::Click << PageContent::NoPassword;
    QTest::newRow("click, after Create") << PrintTrigger::Click << PageContent::AfterCreate;
    QTest::newRow("click, batch running") << PrintTrigger::Click << PageContent::BatchRunning;
    QTest::newRow("Alt+P, no password yet") << PrintTrigger::AltP << PageContent::NoPassword;
    QTest::newRow("Alt+P, after Create") << PrintTrigger::AltP << PageContent::AfterCreate;
    QTest::newRow("click, letters ffl, one sign each") << PrintTrigger::Click << PageContent::FfLetters;
    // clang-format on
}

void SaveAndPrintTest::printPage()
{
    QFETCH(PrintTrigger, trigger);
    QFETCH(PageContent, content);

    auto ffl123 = ScriptedRandomSource::repeating({5, 5, 11, 0, 1, 2});
    FormHarness h(content == PageContent::FfLetters ? &ffl123 : nullptr);
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QVERIFY(h.showAndActivate());
    if (content == PageContent::AfterCreate || content == PageContent::FfLetters) {
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
    } else if (content == PageContent::BatchRunning) {
        QTest::mouseClick(form.XPButton1, Qt::LeftButton);
        for (int i = 0; i < 4; ++i)
            h.tick();
    }
    const QString password = form.lblPassword->text();
    QCOMPARE(password.isEmpty(), content == PageContent::NoPassword);
    if (content == PageContent::BatchRunning)
        QCOMPARE(password, h.listItems().last());
    if (content == PageContent::FfLetters)
        QCOMPARE(password, QStringLiteral("ffl123"));

    QSignalSpy clicked(form.cmdPrint, &QPushButton::clicked);
    if (trigger == PrintTrigger::Click) {
        QTest::mouseClick(form.cmdPrint, Qt::LeftButton);
    } else {
        QTest::keyClick(form.txtNumbers, Qt::Key_P, Qt::AltModifier);
        QVERIFY(clicked.wait(1000)); // an access key clicks a moment later
    }
    QCOMPARE(clicked.count(), 1);
    QVERIFY2(h.warnings().isEmpty(), qPrintable(h.warningTexts().join(u'\n')));

    // FormHarness::fixedToday() in the C locale's short format.
    const QString heading = QStringLiteral("Password Created 27 Nov 2031");
    QStringList expected{heading, kRule};
    if (!password.isEmpty())
        expected << QString() << password;
    QCOMPARE(pageLines(h.pdfPath()), expected);

    // Line by line at 12 points: the password stands three line pitches
    // below the heading, the empty line between rule and password included.
    const QList<Word> words = pageWords(h.pdfPath());
    QVERIFY(words.size() >= 3);
    QCOMPARE(words.first().text, QStringLiteral("Password"));
    const double headingTop = words.first().top;
    const auto rule = std::find_if(words.begin(), words.end(), [](const Word &w) { return w.text == kRule; });
    QVERIFY(rule != words.end());
    const double pitch = rule->top - headingTop;
    QVERIFY2(pitch >= 12.0 && pitch <= 12.0 * 1.5, qPrintable(QString::number(pitch)));
    QVERIFY2(words.first().height >= 12.0 && words.first().height <= 12.0 * 1.5,
             qPrintable(QString::number(words.first().height)));
    if (!password.isEmpty()) {
        QCOMPARE(words.last().text, password);
        QVERIFY2(qAbs(words.last().top - headingTop - 3 * pitch) < 0.5,
                 qPrintable(QStringLiteral("password at %1, heading at %2, pitch %3")
                                .arg(words.last().top)
                                .arg(headingTop)
                                .arg(pitch)));
    }

    // Printing changes nothing in the window.
    QCOMPARE(form.lblPassword->text(), password);
    QCOMPARE(form.Timer1->isActive(), content == PageContent::BatchRunning);
}

void SaveAndPrintTest::printedLines_data()
{
    QTest::addColumn<bool>("created");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("date"); // FormHarness::fixedToday() in the locale's short format
    // clang-format off
    QTest::newRow("no password yet: two empty lines, C") << false << "C" << "27 Nov 2031";
    QTest::newRow("after Create, C") << true << "C" << "27 Nov 2031";
    QTest::newRow("after Create, en_US") << true << "en_US" << "11/27/31";
    QTest::newRow("after Create, de_DE") << true << "de_DE" << "27.11.31";
    // clang-format on
}

void SaveAndPrintTest::printedLines()
{
    QFETCH(bool, created);
    QFETCH(QString, locale);
    QFETCH(QString, date);

    QLocale::setDefault(QLocale(locale));
    const auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QStringList calls;
    h.printerFactory = [&calls]() -> std::unique_ptr<PrinterPort> { return std::make_unique<RecordingPrinter>(calls); };
    if (created)
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);

    QTest::mouseClick(form.cmdPrint, Qt::LeftButton);
    const QString heading = QStringLiteral("Password Created ") + date;
    const QStringList expected{
        QStringLiteral("size 12"),       QStringLiteral("bold"),  QStringLiteral("line:") + heading,
        QStringLiteral("line:") + kRule, QStringLiteral("line:"), QStringLiteral("line:") + form.lblPassword->text(),
        QStringLiteral("end"),
    };
    QCOMPARE(calls, expected);
    QCOMPARE(form.lblPassword->text().isEmpty(), !created);
    QVERIFY(h.warnings().isEmpty());
}

// No printer, or a print system that refuses the job: one warning, and the
// window, the list and batch mode's list stay as they were.
void SaveAndPrintTest::printFailure_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("batchRunning");
    // clang-format off
    QTest::newRow("no default printer") << "no printer" << false;
    QTest::newRow("no default printer, batch running") << "no printer" << true;
    QTest::newRow("job refused") << "refused" << false;
    // clang-format on
}

void SaveAndPrintTest::printFailure()
{
    QFETCH(QString, failure);
    QFETCH(bool, batchRunning);

    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    const QString noPrinter = QStringLiteral("The password could not be printed: no default printer is available.");
    if (failure == QLatin1String("no printer")) {
        h.printerFactory = [&]() -> std::unique_ptr<PrinterPort> {
            throw HostError(HostErrorKind::Printer, FailureCause::NoDefaultPrinter);
        };
    } else {
        const QString unreachable = QDir(h.executableDirectory()).filePath(QStringLiteral("missing/folder/page.pdf"));
        h.printerFactory = [unreachable]() -> std::unique_ptr<PrinterPort> { return pdfPrinter(unreachable); };
    }
    QTest::mouseClick(form.XPButton1, Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        h.tick();
    if (!batchRunning)
        QTest::mouseClick(form.XPButton2, Qt::LeftButton);
    const QStringList items = h.listItems();
    const QString password = form.lblPassword->text();

    if (failure == QLatin1String("refused"))
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QTest::mouseClick(form.cmdPrint, Qt::LeftButton);
    QCOMPARE(h.warnings().size(), 1);
    const QString message = h.warnings().first().message;
    if (failure == QLatin1String("no printer"))
        QCOMPARE(message, noPrinter);
    else
        QVERIFY2(message.contains(QStringLiteral("could not be printed")), qPrintable(message));
    QVERIFY(!h.warnings().first().timerActive);
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(h.listItems(), items);
    QCOMPARE(form.lblPassword->text(), password);
    QVERIFY(!QFile::exists(h.pdfPath()));

    // Once a printer is there the same window prints.
    h.printerFactory = [&h] { return pdfPrinter(h.pdfPath()); };
    QTest::mouseClick(form.cmdPrint, Qt::LeftButton);
    QCOMPARE(h.warnings().size(), 1);
    QCOMPARE(pageLines(h.pdfPath()).last(), password);
}

QTEST_MAIN(SaveAndPrintTest)
#include "tst_save_and_print.moc"
