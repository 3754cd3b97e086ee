#include "window/LayoutResolver.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace velkrin {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;

std::size_t rowOf(std::string_view name)
{
    for (std::size_t row = 0; row < kForm1Layout.size(); ++row)
        if (kForm1Layout[row].name == name)
            return row;
    throw std::out_of_range("no control of that name in the layout");
}

// A control's left and top in twips from the client area's corner.
std::pair<int, int> originInWindow(const ControlPlacement &c)
{
    if (c.parent.empty())
        return {c.left, c.top};
    const ControlPlacement &frame = kForm1Layout[rowOf(c.parent)];
    return {frame.left + c.left, frame.top + c.top};
}

} // namespace

int twipsToPixels(int twips, int dpi)
{
    // Nearest, halves away from zero, as Windows' MulDiv rounds.
    const std::int64_t scaled = std::int64_t{twips} * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : (scaled - half) / kTwipsPerInch);
}

std::size_t ResolvedLayout::row(std::string_view name) const
{
    return rowOf(name);
}

ResolvedLayout resolveLayout(int dpi)
{
    if (dpi <= 0)
        throw std::invalid_argument("the screen's DPI must be positive");
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    auto fontPixels = [dpi](ControlFont font) {
        return static_cast<int>(std::lround(font.points * dpi / kPointsPerInch));
    };

    ResolvedLayout layout{};
    layout.dpi = dpi;
    layout.clientWidth = px(kClientWidthTwips);
    layout.clientHeight = px(kClientHeightTwips);
    layout.windowFontPixels = fontPixels(kWindowFont);

    for (std::size_t row = 0; row < kForm1Layout.size(); ++row) {
        const ControlPlacement &c = kForm1Layout[row];
        // Rounded in window coordinates and then made relative to the frame's
        // rounded corner: a frame's edges and its contents' edges round alike.
        const auto [left, top] = originInWindow(c);
        const auto [parentLeft, parentTop] =
            c.parent.empty() ? std::pair(0, 0) : originInWindow(kForm1Layout[rowOf(c.parent)]);
        const PixelRect rect{px(left) - px(parentLeft), px(top) - px(parentTop), px(left + c.width) - px(left),
                             px(top + c.height) - px(top)};
        layout.controls[row] = ResolvedControl{&c, rect, fontPixels(c.font), takesFocus(c.kind),
                                               c.kind == ControlKind::TextBox ? kTextBoxMaxLength : 0};
    }

    // Sorted by the tab index of the control's top-level ancestor, then by its
    // own: a frame's contents follow the frame in the tab order, which nested
    // windows need, and the design's tab indexes agree with it.
    for (std::size_t row = 0; row < kForm1Layout.size(); ++row)
        layout.creationOrder[row] = row;
    std::stable_sort(layout.creationOrder.begin(), layout.creationOrder.end(), [](std::size_t a, std::size_t b) {
        auto key = [](std::size_t row) {
            const ControlPlacement &c = kForm1Layout[row];
            return c.parent.empty() ? std::pair(c.tabIndex, -1)
                                    : std::pair(kForm1Layout[rowOf(c.parent)].tabIndex, c.tabIndex);
        };
        return key(a) < key(b);
    });
    std::copy_if(layout.creationOrder.begin(), layout.creationOrder.end(), layout.tabOrder.begin(),
                 [&layout](std::size_t row) { return layout.controls[row].focusable; });
    layout.initialFocus = layout.tabOrder.front();
    return layout;
}

} // namespace velkrin
