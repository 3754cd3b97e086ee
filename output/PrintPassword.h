#pragma once

#include <string_view>

namespace velkrin {

class PrinterPort;

// The printed page: a dated heading, a rule, an empty line, then the password,
// at 12 points in bold. Ends the document, which hands it to the printer.
void PrintPassword(PrinterPort &printer, std::string_view dateText, std::string_view password);

} // namespace velkrin
