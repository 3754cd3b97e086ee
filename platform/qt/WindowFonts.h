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
//
// Sizes are in device-independent pixels, as the layout is: the window was
// drawn at 96 dpi, where 8.25 and 9.75 points are 11 and 13 pixels. A point
// size would follow the screen's font resolution (Xft.dpi: 192 doubles it)
// while the boxes stay put, and the captions would be cut; Qt's scale factor
// still scales fonts and boxes together.
class WindowFonts {
public:
    // The family in use, chosen once.
    static QString family();
    static QFont font(int pixels, bool bold = false);
};

} // namespace velkrin
