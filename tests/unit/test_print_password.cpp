// The printed page, rendered to PDF through the same printer port the program
// uses and read back as text with pdftotext (poppler-utils).

#include "output/PrintPassword.h"
#include "platform/QtPrinterPort.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace velkrin;

namespace {

struct PdfText {
    QString text;       // pdftotext -layout, trailing blanks of each line removed
    int pages = 0;
};

QString runTool(const QString &tool, const QStringList &args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is missing (package poppler-utils)";
        return {};
    }
    QProcess process;
    process.start(exe, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

PdfText printToText(const QString &dateText, const QString &password)
{
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        auto port = QtPrinterPort::pdfFile(pdf);
        PrintPassword(*port, dateText, password);
    }
    PdfText result;
    QStringList lines = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(QLatin1Char('\n'));
    for (QString &line : lines) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    result.text = lines.join(QLatin1Char('\n'));
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    for (const QString &line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            result.pages = line.mid(6).trimmed().toInt();
    return result;
}

// The page's text up to the form feed that ends it.
QString pageText(const PdfText &pdf)
{
    const qsizetype end = pdf.text.indexOf(QLatin1Char('\f'));
    return end < 0 ? pdf.text : pdf.text.left(end);
}

const QString kRule = QStringLiteral("========================");

} // namespace

TEST(PrintPassword, HeadingRuleEmptyLineThenThePassword)
{
    const PdfText pdf = printToText(QStringLiteral("29/02/2024"), QStringLiteral("abc123"));
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_EQ(pageText(pdf),
              QStringLiteral("Password Created 29/02/2024\n") + kRule + QStringLiteral("\n\nabc123\n"))
        << pdf.text.toStdString();
    EXPECT_EQ(kRule.size(), 24);
}

TEST(PrintPassword, EmptyPasswordLeavesOnlyHeadingAndRule)
{
    // Empty lines carry no ink, so only the heading and the rule can be read
    // back; nothing else may be on the page.
    const PdfText pdf = printToText(QStringLiteral("1/2/25"), QString());
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_EQ(pageText(pdf), QStringLiteral("Password Created 1/2/25\n") + kRule + QStringLiteral("\n"))
        << pdf.text.toStdString();
}

TEST(PrintPassword, TheDateTextAppearsExactlyAsGiven)
{
    for (const QString &date : {QStringLiteral("2024-12-31"), QStringLiteral("31.12.2024"),
                                QStringLiteral("12/31/2024"), QStringLiteral("Dec 31 2024")}) {
        const PdfText pdf = printToText(date, QStringLiteral("Zz9"));
        const QStringList lines = pageText(pdf).split(QLatin1Char('\n'));
        ASSERT_GE(lines.size(), 4) << pdf.text.toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("Password Created ") + date);
        EXPECT_EQ(lines[1], kRule);
        EXPECT_EQ(lines[2], QString());
        EXPECT_EQ(lines[3], QStringLiteral("Zz9"));
    }
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // No display is needed to print to a file.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
