#pragma once

#include <QFont>
#include <QString>

namespace velkrin {

// The window's fonts. The window was drawn in MS Sans Serif, whose free
// versions (Debian's fonts-wine) are bitmap-only: 13, 16 and 20 pixels, no
// bold, so the 9.75 point title and the bold labels would look like the rest.
// A scalable sans serif with a true bold stands in at the exact sizes:
// Microsoft Sans Serif where the host has it, else Liberation Sans (Arial's
// metrics, close to MS Sans Serif's), else the system's own.
class WindowFonts {
public:
    // The family in use, chosen once.
    static QString family();
    static QFont font(double points, bool bold = false);
};

} // namespace velkrin
