#pragma once

#include "platform/PrinterPort.h"

#include <QPainter>
#include <QPrinter>
#include <memory>

namespace velkrin {

// PrinterPort over Qt's print support: the system's default printer (CUPS on
// Linux), or whatever printer the host is put together with (a PDF file, say).
class QtPrinterPort final : public PrinterPort {
public:
    // The default printer; raises HostError(Printer) when there is none.
    static std::unique_ptr<QtPrinterPort> defaultPrinter();

    explicit QtPrinterPort(std::unique_ptr<QPrinter> printer);
    ~QtPrinterPort() override;
    void begin(std::string_view documentName, const PrintFont &font) override;
    int pageWidth() const override;
    int pageHeight() const override;
    int lineHeight() const override;
    int textWidth(std::string_view text) override;
    void drawLine(int x, int y, std::string_view text) override;
    void newPage() override;
    void end() override;

private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    bool m_finished = false;
};

} // namespace velkrin
