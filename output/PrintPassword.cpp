#include "output/PrintPassword.h"

#include "platform/PrinterPort.h"

namespace velkrin {

void PrintPassword(PrinterPort &printer, const QString &dateText, const QString &password)
{
    printer.setFontSize(12);
    printer.setFontBold(true);
    printer.printLine(QStringLiteral("Password Created ") + dateText);
    printer.printLine(QStringLiteral("========================"));
    printer.printLine(QString());
    printer.printLine(password);
    printer.endDocument();
}

} // namespace velkrin
