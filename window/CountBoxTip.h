#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkrin {

// A tooltip shows at most this many characters (Windows' limit for a tip's
// text).
inline constexpr std::size_t kTipCharacters = 80;

// A count box's tooltip: its description, the strength, as it is while it
// fits a tooltip. A longer one (an exact count of up to 39 digits) drops the
// count and keeps the bits and the verdict: "About 126 bits: excellent".
std::string countBoxTip(std::string_view strength);

} // namespace velkrin
