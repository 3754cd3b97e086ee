#pragma once

#include <span>
#include <string_view>

namespace velkrin {

// The font a document is printed in: the first of `faces` the printer has,
// else a sans-serif face of the host's, at `points`, bold or not.
struct PrintFont {
    std::span<const std::string_view> faces;
    double points = 0;
    bool bold = false;
};

// One print job on a printer, as a surface to draw text on. What goes where
// is the caller's (output/PrintPassword.h): the host only measures and draws.
// Lengths are device units, from the top-left of the printable area. Text is
// UTF-8. Any failure raises HostError(Printer). A job destroyed before end()
// is abandoned, so a failed print leaves nothing half-sent.
class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    // Starts the document and its first page; the first call of all.
    virtual void begin(std::string_view documentName, const PrintFont &font) = 0;
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // From one line's top to the next's, in the document's font.
    virtual int lineHeight() const = 0;
    virtual int textWidth(std::string_view text) = 0;
    // Draws one line of text with its top at y.
    virtual void drawLine(int x, int y, std::string_view text) = 0;
    virtual void newPage() = 0;
    // Ends the document, which hands it to the printer.
    virtual void end() = 0;
};

} // namespace velkrin
