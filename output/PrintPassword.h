#pragma once

#include <string_view>

namespace velkrin {

class PrinterPort;

// The printed page, the same on every host: a dated heading, a rule of 24
// equals signs, an empty line, then the password, at 12 points in bold, as
// the document "Velkrin password". A line wider than the page goes on at the
// next line's start, and a line that no longer fits on the page at the top of
// the next. Ends the document, which hands it to the printer.
void PrintPassword(PrinterPort &printer, std::string_view dateText, std::string_view password);

} // namespace velkrin
