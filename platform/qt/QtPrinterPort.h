#pragma once

#include "platform/PrinterPort.h"

#include <QFont>
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
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void printLine(std::string_view text) override;
    void endDocument() override;

private:
    void begin();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QFont m_font;
    double m_y = 0;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace velkrin
