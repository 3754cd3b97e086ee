// The printed page, rendered to PDF through the same printer port the program
// uses and read back with poppler-utils (pdftotext, pdfinfo, pdffonts).

#include "output/PrintPassword.h"
#include "widget/PdfPrinter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

using namespace velkrin;

namespace {

struct Word {
    QString text;
    double top = 0; // points from the top of the page
    double height = 0;
};

struct PrintedPage {
    QString text; // pdftotext -layout up to the page's form feed, trailing blanks removed
    std::vector<Word> words;
    QString fonts; // pdffonts listing
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

PrintedPage print(const QString &dateText, const QString &password)
{
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    // The port stays open while the file is read: PrintPassword itself must
    // end the document, or a real printer never receives the page.
    auto port = pdfPrinter(pdf);
    PrintPassword(*port, dateText.toStdString(), password.toStdString());

    PrintedPage page;
    QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.truncate(text.indexOf(QLatin1Char('\f')) < 0 ? text.size() : text.indexOf(QLatin1Char('\f')));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    page.text = lines.join(QLatin1Char('\n'));

    static const QRegularExpression wordPattern(QStringLiteral(
        R"re(<word xMin="[-0-9.]+" yMin="([-0-9.]+)" xMax="[-0-9.]+" yMax="([-0-9.]+)">([^<]*)</word>)re"));
    const QString boxes = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    for (auto it = wordPattern.globalMatch(boxes); it.hasNext();) {
        const auto m = it.next();
        const double top = m.captured(1).toDouble();
        page.words.push_back({m.captured(3), top, m.captured(2).toDouble() - top});
    }

    page.fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression pagesPattern(QStringLiteral(R"(^Pages:\s+(\d+)$)"),
                                                 QRegularExpression::MultilineOption);
    page.pages = pagesPattern.match(info).captured(1).toInt();
    return page;
}

const QString kRule = QStringLiteral("========================");

} // namespace

TEST(PrintPassword, HeadingRuleEmptyLineThenThePassword)
{
    const PrintedPage page = print(QStringLiteral("29/02/2024"), QStringLiteral("abc123"));
    EXPECT_EQ(page.pages, 1);
    EXPECT_EQ(page.text, QStringLiteral("Password Created 29/02/2024\n") + kRule + QStringLiteral("\n\nabc123\n"));
    EXPECT_EQ(kRule.size(), 24);

    // By position: the rule is one line below the heading and the password
    // three, so exactly one empty line lies between rule and password.
    ASSERT_EQ(page.words.size(), 5u);
    const double heading = page.words[0].top;
    const double pitch = page.words[3].top - heading;
    EXPECT_EQ(page.words[3].text, kRule);
    EXPECT_EQ(page.words[4].text, QStringLiteral("abc123"));
    ASSERT_GT(pitch, 0);
    EXPECT_NEAR(page.words[4].top - heading, 3 * pitch, 0.01 * pitch);
}

TEST(PrintPassword, EmptyPasswordLeavesOnlyHeadingAndRule)
{
    // Empty lines carry no ink, so only the heading and the rule can be read
    // back; nothing else may be on the page.
    const PrintedPage page = print(QStringLiteral("1/2/25"), QString());
    EXPECT_EQ(page.pages, 1);
    EXPECT_EQ(page.text, QStringLiteral("Password Created 1/2/25\n") + kRule + QStringLiteral("\n"));
    EXPECT_EQ(page.words.size(), 4u);
}

TEST(PrintPassword, TheDateTextAppearsExactlyAsGiven)
{
    for (const QString &date : {QStringLiteral("2024-12-31"), QStringLiteral("31.12.2024"),
                                QStringLiteral("12/31/2024"), QStringLiteral("Dec 31 2024")}) {
        const PrintedPage page = print(date, QStringLiteral("Zz9"));
        const QStringList lines = page.text.split(QLatin1Char('\n'));
        ASSERT_GE(lines.size(), 4) << page.text.toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("Password Created ") + date);
        EXPECT_EQ(lines[1], kRule);
        EXPECT_EQ(lines[2], QString());
        EXPECT_EQ(lines[3], QStringLiteral("Zz9"));
    }
}

TEST(PrintPassword, PrintedInTwelvePointBold)
{
    const PrintedPage page = print(QStringLiteral("29/02/2024"), QStringLiteral("abc123"));
    // Only the bold face of the font is embedded.
    const QStringList fontRows = page.fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fontRows.isEmpty()) << page.fonts.toStdString();
    for (const QString &row : fontRows)
        EXPECT_TRUE(row.contains(QStringLiteral("Bold"))) << row.toStdString();
    // A word's box spans the font's ascent plus descent, which for text faces
    // is 1.1 to 1.25 times the point size: 13.2 to 15 points at 12 points,
    // under 11.3 at the 9 or 10 points of a default font.
    ASSERT_FALSE(page.words.empty());
    for (const Word &word : page.words)
        EXPECT_TRUE(word.height > 13.0 && word.height < 15.2) << word.text.toStdString() << ": " << word.height;
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
