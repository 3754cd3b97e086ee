#pragma once

#include <QFont>
#include <QString>

namespace velkrin {

// The window's fonts. Debian's fonts-wine ships a free "MS Sans Serif"; it is
// loaded from there when present, otherwise the system sans serif stands in.
class WindowFonts {
public:
    // Registers the stand-in font once; returns the family in use.
    static QString family();
    static QFont font(double points, bool bold = false);
};

} // namespace velkrin
