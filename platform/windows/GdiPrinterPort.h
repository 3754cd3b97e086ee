#pragma once

#include "platform/PrinterPort.h"

#include <windows.h>

#include <memory>
#include <string>

namespace velkrin::win32 {

// PrinterPort over GDI on the default printer. Every failure raises
// HostError(Printer).
class GdiPrinterPort final : public PrinterPort {
public:
    // Opens the default printer; raises HostError(Printer) when there is none
    // or it cannot be opened.
    static std::unique_ptr<PrinterPort> openDefault();

    ~GdiPrinterPort() override;
    void begin(std::string_view documentName, const PrintFont &font) override;
    int pageWidth() const override;
    int pageHeight() const override;
    int lineHeight() const override;
    int textWidth(std::string_view text) override;
    void drawLine(int x, int y, std::string_view text) override;
    void newPage() override;
    void end() override;

private:
    GdiPrinterPort(HDC dc, std::wstring printer);
    HFONT createFont(const PrintFont &font, const std::wstring &face) const;
    void startPage();

    HDC m_dc;
    std::wstring m_printer;
    HFONT m_font = nullptr;
    bool m_started = false;
    bool m_pageOpen = false;
    bool m_ended = false;
};

} // namespace velkrin::win32
