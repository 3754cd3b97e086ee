#pragma once

#include <string_view>

namespace velkrin {

// One print job on a printer, line by line, in the manner of a line printer:
// each printLine() ends with a line end, a line wider than the page goes on
// at the next line's start, and a full page continues on the next;
// endDocument() hands the pages over. Text is UTF-8.
// Any failure raises HostError(Printer). A job destroyed before
// endDocument() is abandoned, so a failed print leaves nothing half-sent.
class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void printLine(std::string_view text) = 0;
    virtual void endDocument() = 0;
};

} // namespace velkrin
