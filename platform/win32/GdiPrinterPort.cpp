#include "platform/win32/GdiPrinterPort.h"

#include "platform/HostError.h"
#include "platform/SecureWipe.h"
#include "platform/win32/WideText.h"

#include <winspool.h>

#include <cmath>

namespace velkrin::win32 {

namespace {

[[noreturn]] void printerRefused(const std::wstring &printer, FailureCause cause)
{
    const DWORD error = GetLastError();
    throw HostError(HostErrorKind::Printer, cause, narrow(printer),
                    error != ERROR_SUCCESS ? systemMessage(error) : std::string());
}

// A wide copy of a password, wiped when it goes.
struct WipedText {
    std::wstring text;
    ~WipedText() { secureWipe(text.data(), text.size() * sizeof(wchar_t)); }
};

} // namespace

std::unique_ptr<PrinterPort> GdiPrinterPort::openDefault()
{
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !GetDefaultPrinterW(name.data(), &size))
        throw HostError(HostErrorKind::Printer, FailureCause::NoDefaultPrinter);
    name.resize(size ? size - 1 : 0);
    HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr);
    if (!dc)
        printerRefused(name, FailureCause::PrinterCannotOpen);
    std::unique_ptr<GdiPrinterPort> port(new GdiPrinterPort(dc, name));
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"Velkrin password";
    SetLastError(ERROR_SUCCESS);
    if (StartDocW(dc, &doc) <= 0)
        printerRefused(name, FailureCause::JobRefused);
    port->startPage();
    return port;
}

GdiPrinterPort::GdiPrinterPort(HDC dc, std::wstring printer) : m_dc(dc), m_printer(std::move(printer)) {}

GdiPrinterPort::~GdiPrinterPort()
{
    if (!m_ended)
        AbortDoc(m_dc); // nothing half-printed reaches the printer
    SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
    if (m_font)
        DeleteObject(m_font);
    DeleteDC(m_dc);
}

void GdiPrinterPort::setFontSize(double points)
{
    m_points = points;
    m_fontStale = true;
}

void GdiPrinterPort::setFontBold(bool bold)
{
    m_bold = bold;
    m_fontStale = true;
}

void GdiPrinterPort::startPage()
{
    SetLastError(ERROR_SUCCESS);
    if (StartPage(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::PageRefused);
    m_pageOpen = true;
    m_y = 0;
    selectFont(); // a new page starts with the device's defaults
}

void GdiPrinterPort::selectFont()
{
    if (m_fontStale || !m_font) {
        const int height = -static_cast<int>(std::lround(m_points * GetDeviceCaps(m_dc, LOGPIXELSY) / 72.0));
        // Arial: the face a Windows printer's text defaults to in Word and
        // WordPad; Wine maps it to Liberation Sans.
        HFONT font = CreateFontW(height, 0, 0, 0, m_bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, L"Arial");
        if (!font)
            printerRefused(m_printer, FailureCause::NoPrinterFont);
        SelectObject(m_dc, font);
        if (m_font)
            DeleteObject(m_font);
        m_font = font;
        m_fontStale = false;
    }
    SelectObject(m_dc, m_font);
    SetBkMode(m_dc, TRANSPARENT);
}

void GdiPrinterPort::printLine(std::string_view text)
{
    if (m_ended)
        printerRefused(m_printer, FailureCause::DocumentRefused);
    selectFont();
    WipedText wide{widen(text)};
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_dc, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    const int pageWidth = GetDeviceCaps(m_dc, HORZRES);
    const int pageHeight = GetDeviceCaps(m_dc, VERTRES);

    std::wstring_view rest = wide.text;
    do {
        if (m_y + lineHeight > pageHeight) {
            SetLastError(ERROR_SUCCESS);
            if (EndPage(m_dc) <= 0)
                printerRefused(m_printer, FailureCause::PageRefused);
            m_pageOpen = false;
            startPage();
        }
        // As many characters as fit across the page, at least one.
        int fit = 0;
        SIZE extent{};
        const int length = static_cast<int>(std::min<std::size_t>(rest.size(), 1u << 20));
        if (length > 0 && !GetTextExtentExPointW(m_dc, rest.data(), length, pageWidth, &fit, nullptr, &extent))
            printerRefused(m_printer, FailureCause::TextRefused);
        fit = std::max(fit, length > 0 ? 1 : 0);
        if (fit > 0 && !TextOutW(m_dc, 0, m_y, rest.data(), fit))
            printerRefused(m_printer, FailureCause::TextRefused);
        rest.remove_prefix(static_cast<std::size_t>(fit));
        m_y += lineHeight;
    } while (!rest.empty());
}

void GdiPrinterPort::endDocument()
{
    if (m_ended)
        return;
    SetLastError(ERROR_SUCCESS);
    if (m_pageOpen && EndPage(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::PageRefused);
    m_pageOpen = false;
    if (EndDoc(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::DocumentRefused);
    m_ended = true;
}

} // namespace velkrin::win32
