#pragma once

#include <QString>

namespace velkrin {

class PrinterPort;

// The printed page: a dated heading, a rule, an empty line, then the password,
// at 12 points in bold. Ends the document, which hands it to the printer.
void PrintPassword(PrinterPort &printer, const QString &dateText, const QString &password);

} // namespace velkrin
