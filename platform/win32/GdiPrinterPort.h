#pragma once

#include "platform/PrinterPort.h"

#include <windows.h>

#include <memory>
#include <string>

namespace velkrin::win32 {

// A print job on the default printer through GDI: lines from the top of the
// printable area down, a line wider than the page broken at its edge, a full
// page continued on the next. Every failure raises HostError(Printer).
class GdiPrinterPort final : public PrinterPort {
public:
    // Opens the job; raises HostError(Printer) when there is no default
    // printer or it refuses the job.
    static std::unique_ptr<PrinterPort> openDefault();

    ~GdiPrinterPort() override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void printLine(std::string_view text) override;
    void endDocument() override;

private:
    GdiPrinterPort(HDC dc, std::wstring printer);
    void selectFont();
    void startPage();

    HDC m_dc;
    std::wstring m_printer;
    HFONT m_font = nullptr;
    double m_points = 12;
    bool m_bold = false;
    bool m_fontStale = true;
    bool m_pageOpen = false;
    bool m_ended = false;
    int m_y = 0;
};

} // namespace velkrin::win32
