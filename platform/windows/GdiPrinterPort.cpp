#include "platform/windows/GdiPrinterPort.h"

#include "platform/HostError.h"
#include "platform/SecureWipe.h"
#include "platform/windows/SystemLibrary.h"
#include "platform/windows/WideText.h"

#include <winspool.h>

#include <cmath>
#include <cwchar>

namespace velkrin::win32 {

namespace {

[[noreturn]] void printerRefused(const std::wstring &printer, FailureCause cause)
{
    const DWORD error = GetLastError();
    throw HostError(HostErrorKind::Printer, cause, narrow(printer),
                    error != ERROR_SUCCESS ? systemMessage(error) : std::string());
}

// A wide copy of (part of) a password, wiped when it goes.
struct WipedText {
    std::wstring text;
    ~WipedText() { secureWipe(text.data(), text.size() * sizeof(wchar_t)); }
    int length() const { return static_cast<int>(text.size()); }
};

} // namespace

std::unique_ptr<PrinterPort> GdiPrinterPort::openDefault()
{
    static auto *const defaultPrinter =
        systemFunction<decltype(GetDefaultPrinterW)>(L"winspool.drv", "GetDefaultPrinterW");
    if (!defaultPrinter)
        printerRefused({}, FailureCause::PrinterCannotOpen);
    DWORD size = 0;
    defaultPrinter(nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !defaultPrinter(name.data(), &size))
        throw HostError(HostErrorKind::Printer, FailureCause::NoDefaultPrinter);
    name.resize(size ? size - 1 : 0);
    HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr);
    if (!dc)
        printerRefused(name, FailureCause::PrinterCannotOpen);
    return std::unique_ptr<PrinterPort>(new GdiPrinterPort(dc, name));
}

GdiPrinterPort::GdiPrinterPort(HDC dc, std::wstring printer) : m_dc(dc), m_printer(std::move(printer)) {}

GdiPrinterPort::~GdiPrinterPort()
{
    if (m_started && !m_ended)
        AbortDoc(m_dc); // nothing half-printed reaches the printer
    SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
    if (m_font)
        DeleteObject(m_font);
    DeleteDC(m_dc);
}

HFONT GdiPrinterPort::createFont(const PrintFont &font, const std::wstring &face) const
{
    const int height = -static_cast<int>(std::lround(font.points * GetDeviceCaps(m_dc, LOGPIXELSY) / 72.0));
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                       face.c_str());
}

void GdiPrinterPort::begin(std::string_view documentName, const PrintFont &font)
{
    // The first face the printer has, as GDI's font mapper would otherwise
    // put a face of its own in place of a missing one without a word.
    for (std::string_view face : font.faces) {
        const std::wstring wide = widen(face);
        HFONT candidate = createFont(font, wide);
        if (!candidate)
            continue;
        SelectObject(m_dc, candidate);
        wchar_t chosen[LF_FACESIZE] = {};
        GetTextFaceW(m_dc, LF_FACESIZE, chosen);
        if (_wcsicmp(chosen, wide.c_str()) == 0) {
            m_font = candidate;
            break;
        }
        SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(candidate);
    }
    if (!m_font)
        m_font = createFont(font, L""); // the mapper's own sans-serif face
    if (!m_font)
        printerRefused(m_printer, FailureCause::NoPrinterFont);

    const std::wstring name = widen(documentName);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name.c_str();
    SetLastError(ERROR_SUCCESS);
    if (StartDocW(m_dc, &doc) <= 0)
        printerRefused(m_printer, FailureCause::JobRefused);
    m_started = true;
    startPage();
}

void GdiPrinterPort::startPage()
{
    SetLastError(ERROR_SUCCESS);
    if (StartPage(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::PageRefused);
    m_pageOpen = true;
    // A new page may start with the device's defaults.
    SelectObject(m_dc, m_font);
    SetBkMode(m_dc, TRANSPARENT);
}

int GdiPrinterPort::pageWidth() const
{
    return GetDeviceCaps(m_dc, HORZRES);
}

int GdiPrinterPort::pageHeight() const
{
    return GetDeviceCaps(m_dc, VERTRES);
}

int GdiPrinterPort::lineHeight() const
{
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(m_dc, &metrics))
        printerRefused(m_printer, FailureCause::TextRefused);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int GdiPrinterPort::textWidth(std::string_view text)
{
    const WipedText wide{widen(text)};
    SIZE extent{};
    if (wide.length() > 0 && !GetTextExtentPoint32W(m_dc, wide.text.data(), wide.length(), &extent))
        printerRefused(m_printer, FailureCause::TextRefused);
    return extent.cx;
}

void GdiPrinterPort::drawLine(int x, int y, std::string_view text)
{
    const WipedText wide{widen(text)};
    if (!TextOutW(m_dc, x, y, wide.text.data(), wide.length()))
        printerRefused(m_printer, FailureCause::TextRefused);
}

void GdiPrinterPort::newPage()
{
    SetLastError(ERROR_SUCCESS);
    if (EndPage(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::PageRefused);
    m_pageOpen = false;
    startPage();
}

void GdiPrinterPort::end()
{
    SetLastError(ERROR_SUCCESS);
    if (m_pageOpen && EndPage(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::PageRefused);
    m_pageOpen = false;
    if (EndDoc(m_dc) <= 0)
        printerRefused(m_printer, FailureCause::DocumentRefused);
    m_ended = true;
}

} // namespace velkrin::win32
