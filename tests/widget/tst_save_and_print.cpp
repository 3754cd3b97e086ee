// Save writes the batch list beside the executable; Print puts the current
// password on a page, read back here from a PDF (the page's layout is the
// portable unit test's).

#include "FormHarness.h"

#include "PdfPrinter.h"
#include "platform/HostError.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QXmlStreamReader>

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

// A tool of poppler-utils, found beside pdftotext.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(QFileInfo(QStringLiteral(VELKRIN_PDFTOTEXT)).dir().filePath(tool), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(tool, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct Word {
    QString text;
    double height;
};

QList<Word> pageWords(const QString &pdf)
{
    QList<Word> words;
    QXmlStreamReader xml(poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("word")) {
            const double yMin = xml.attributes().value(QLatin1String("yMin")).toDouble();
            const double yMax = xml.attributes().value(QLatin1String("yMax")).toDouble();
            words.append({xml.readElementText(), yMax - yMin});
        }
    }
    return words;
}

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
    void printFailure_data();
    void printFailure();
};

void SaveAndPrintTest::initTestCase()
{
    QVERIFY2(QFileInfo(QStringLiteral(VELKRIN_PDFTOTEXT)).isExecutable(),
             "pdftotext (poppler-utils) is needed to read the printed page");
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

    // The Qt printer draws the current password one sign per character, all
    // in a bold face at 12 points: a word's box spans the ascent and descent,
    // 1.1 to 1.25 times the point size in text faces, under 11.3 points at
    // the 9 or 10 points of a default font.
    const QList<Word> words = pageWords(h.pdfPath());
    QVERIFY(!words.isEmpty());
    if (!password.isEmpty())
        QCOMPARE(words.last().text, password);
    for (const Word &word : words)
        QVERIFY2(word.height > 13.0 && word.height < 15.2, qPrintable(word.text + u' ' + QString::number(word.height)));
    const QStringList fonts =
        poppler(QStringLiteral("pdffonts"), {h.pdfPath()}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &font : fonts)
        QVERIFY2(font.contains(QStringLiteral("Bold")), qPrintable(font));

    // Printing changes nothing in the window.
    QCOMPARE(form.lblPassword->text(), password);
    QCOMPARE(form.Timer1->isActive(), content == PageContent::BatchRunning);
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
    QCOMPARE(pageWords(h.pdfPath()).last().text, password);
}

QTEST_MAIN(SaveAndPrintTest)
#include "tst_save_and_print.moc"
