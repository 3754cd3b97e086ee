// The printed page, laid out on a surface that writes down what is drawn:
// each character is one unit wide, "m" three, and a line ten units high.

#include "output/PrintPassword.h"
#include "platform/PrinterPort.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace velkrin;

namespace {

struct Drawn {
    int page, y;
    std::string text;
    bool operator==(const Drawn &) const = default;
    friend std::ostream &operator<<(std::ostream &out, const Drawn &d)
    {
        return out << "page " << d.page << " y " << d.y << ": " << d.text;
    }
};

class RecordingSurface final : public PrinterPort {
public:
    RecordingSurface(int width, int height) : m_width(width), m_height(height) {}
    void begin(std::string_view name, const PrintFont &font) override
    {
        documentName = name;
        points = font.points;
        bold = font.bold;
    }
    int pageWidth() const override { return m_width; }
    int pageHeight() const override { return m_height; }
    int lineHeight() const override { return 10; }
    int textWidth(std::string_view text) override
    {
        int width = 0;
        for (char c : text)
            width += c == 'm' ? 3 : 1;
        return width;
    }
    void drawLine(int x, int y, std::string_view text) override
    {
        EXPECT_EQ(x, 0);
        drawn.push_back({page, y, std::string(text)});
    }
    void newPage() override { ++page; }
    void end() override { ended = true; }

    std::string documentName;
    double points = 0;
    bool bold = false;
    int page = 0;
    bool ended = false;
    std::vector<Drawn> drawn;

private:
    int m_width, m_height;
};

const std::string kRule(24, '=');

} // namespace

TEST(PrintPassword, HeadingRuleEmptyLineThenThePassword)
{
    for (const std::string password : {"abc123", ""}) {
        RecordingSurface surface(1000, 1000);
        PrintPassword(surface, "29/02/2024", password);
        std::vector<Drawn> expected{{0, 0, "Password Created 29/02/2024"}, {0, 10, kRule}};
        if (!password.empty())
            expected.push_back({0, 30, password}); // below one empty line
        EXPECT_EQ(surface.drawn, expected);
        EXPECT_TRUE(surface.ended);
        EXPECT_EQ(surface.documentName, "Velkrin password");
        EXPECT_TRUE(surface.points == 12 && surface.bold);
    }
}

// Ten "m" fill a line 30 units wide exactly; the rest breaks where the next
// letter would pass the edge, and a line that does not fit under the last
// one of a page five lines high opens the next page.
TEST(PrintPassword, LongPasswordWrapsAtMeasuredWidthOverPages)
{
    RecordingSurface surface(30, 50);
    const std::string password = std::string(10, 'm') + std::string(35, 'a');
    PrintPassword(surface, "1/2/25", password);
    const std::vector<Drawn> expected{
        {0, 0, "Password Created 1/2/25"}, {0, 10, kRule}, {0, 30, std::string(10, 'm')}, {0, 40, std::string(30, 'a')},
        {1, 0, std::string(5, 'a')},
    };
    EXPECT_EQ(surface.drawn, expected);
    EXPECT_TRUE(surface.ended);
}
