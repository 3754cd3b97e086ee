#include "output/PrintPassword.h"

#include "platform/PrinterPort.h"

#include <string>

namespace velkrin {

void PrintPassword(PrinterPort &printer, std::string_view dateText, std::string_view password)
{
    printer.setFontSize(12);
    printer.setFontBold(true);
    printer.printLine("Password Created " + std::string(dateText));
    printer.printLine("========================");
    printer.printLine({});
    printer.printLine(password);
    printer.endDocument();
}

} // namespace velkrin
