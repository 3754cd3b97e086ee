#pragma once

#include "window/Form1Layout.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace velkrin {

// kForm1Layout turned into what a host creates its controls from: pixel
// rectangles, font sizes, text limits, the tab order and the first focus,
// for one DPI. Every host takes these values as they are; none converts the
// table itself.

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
    constexpr int right() const noexcept { return left + width; }
    constexpr int bottom() const noexcept { return top + height; }
    friend constexpr bool operator==(const PixelRect &, const PixelRect &) = default;
};

struct ResolvedControl {
    const ControlPlacement *design; // its row in kForm1Layout
    PixelRect rect;                 // relative to its frame, or to the client area
    int fontPixels;                 // the font's em height
    bool focusable;
    int maxLength; // characters a text box takes; 0: not a text box
};

struct ResolvedLayout {
    static constexpr std::size_t kRows = kForm1Layout.size();
    static constexpr std::size_t kFocusable = static_cast<std::size_t>(std::count_if(
        kForm1Layout.begin(), kForm1Layout.end(), [](const ControlPlacement &c) { return takesFocus(c.kind); }));

    int dpi;
    int clientWidth;
    int clientHeight;
    int windowFontPixels;                        // for what has no font of its own
    std::array<ResolvedControl, kRows> controls; // by row of kForm1Layout
    // Rows in creation order for a host whose tab order is its creation
    // order: a frame right before its contents, siblings by tab index.
    std::array<std::size_t, kRows> creationOrder;
    // The focusable rows in tab order: creationOrder without the rest.
    std::array<std::size_t, kFocusable> tabOrder;
    std::size_t initialFocus; // the first in tab order

    // The row of the control named `name`; throws std::out_of_range if none.
    std::size_t row(std::string_view name) const;
    const ResolvedControl &operator[](std::string_view name) const { return controls[row(name)]; }
};

// Twips to pixels at `dpi`, rounded to the nearest pixel.
int twipsToPixels(int twips, int dpi);

// Edges are rounded rather than sizes, so that a control the design places
// inside its frame stays inside it at any DPI; at 96 dpi every rectangle is
// the design's twips / 15.
ResolvedLayout resolveLayout(int dpi);

} // namespace velkrin
