#pragma once

#include "platform/PrinterPort.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

namespace velkrin {

// PrinterPort over Qt's print support: the system's default printer (CUPS on
// Linux), or a PDF file when a path is given, which is how tests read the page.
class QtPrinterPort final : public PrinterPort {
public:
    // The default printer; raises HostError(Printer) when there is none.
    static std::unique_ptr<QtPrinterPort> defaultPrinter();
    static std::unique_ptr<QtPrinterPort> pdfFile(const QString &path);

    ~QtPrinterPort() override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void printLine(const QString &text) override;
    void endDocument() override;

private:
    explicit QtPrinterPort(std::unique_ptr<QPrinter> printer);
    void begin();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QFont m_font;
    double m_y = 0;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace velkrin
