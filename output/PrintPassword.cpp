#include "output/PrintPassword.h"

#include "platform/PrinterPort.h"

#include <algorithm>
#include <string>

namespace velkrin {

namespace {

// Arial first, the face a Windows printer's text defaults to; then Liberation
// Sans, made to Arial's measures, which Linux and Wine have in its place. So
// both hosts print in the same widths and break a long password at the same
// character. A system's UI font would not: Segoe UI, Tahoma and Cantarell all
// measure differently.
constexpr std::string_view kFaces[] = {"Arial", "Liberation Sans", "DejaVu Sans"};

bool continuesCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The first character boundary of `text` at or after `at`.
std::size_t boundary(std::string_view text, std::size_t at)
{
    at = std::min(at, text.size());
    while (at < text.size() && continuesCharacter(text[at]))
        ++at;
    return at;
}

// Lines set down the pages from the top, each one line height below the last.
class Page {
public:
    explicit Page(PrinterPort &printer) : m_printer(printer)
    {
        m_printer.begin("Velkrin password", PrintFont{kFaces, 12, true});
        m_width = m_printer.pageWidth();
        m_height = m_printer.pageHeight();
        m_lineHeight = m_printer.lineHeight();
    }

    void line(std::string_view text)
    {
        do {
            const std::size_t length = fitting(text);
            if (m_y > 0 && m_y + m_lineHeight > m_height) {
                m_printer.newPage();
                m_y = 0;
            }
            if (length > 0)
                m_printer.drawLine(0, m_y, text.substr(0, length));
            m_y += m_lineHeight;
            text.remove_prefix(length);
        } while (!text.empty());
    }

private:
    // How many bytes of `text` fit across the page, by the printer's own
    // measure: a password has no spaces, so a line breaks between any two
    // characters. The first character goes even alone too wide, or the line
    // would never end. The measured piece doubles until it no longer fits,
    // so a password of 32767 characters is never measured whole for each line.
    std::size_t fitting(std::string_view text)
    {
        const auto fits = [&](std::size_t length) { return m_printer.textWidth(text.substr(0, length)) <= m_width; };
        std::size_t good = boundary(text, 1);
        std::size_t bad = text.size() + 1;
        while (good < text.size()) {
            const std::size_t probe = boundary(text, 2 * good);
            if (!fits(probe)) {
                bad = probe;
                break;
            }
            good = probe;
        }
        while (bad - good > 1) {
            const std::size_t middle = boundary(text, good + (bad - good) / 2);
            if (middle >= bad)
                break;
            (fits(middle) ? good : bad) = middle;
        }
        return good;
    }

    PrinterPort &m_printer;
    int m_width = 0;
    int m_height = 0;
    int m_lineHeight = 0;
    int m_y = 0;
};

} // namespace

void PrintPassword(PrinterPort &printer, std::string_view dateText, std::string_view password)
{
    Page page(printer);
    page.line("Password Created " + std::string(dateText));
    page.line("========================");
    page.line({});
    page.line(password);
    printer.end();
}

} // namespace velkrin
