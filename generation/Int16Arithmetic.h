#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkrin {

// Rounds to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4). Raises the
// overflow error when the result lies outside -32768..32767. `what` names the
// quantity in the message ("number of letters").
std::int16_t roundToInt16(double value, std::string_view what);

// a + b as 16-bit signed integers; the overflow error when out of range.
std::int16_t checkedAddInt16(std::int16_t a, std::int16_t b, std::string_view what);

// Decimal text: no leading space, "-" before negative values.
std::string int16Text(std::int16_t value);

} // namespace velkrin
