#pragma once

#include <string_view>

namespace velkrin {

// The value of the number at the start of `text`, 0 when there is none.
// Grammar: optional blanks (space, tab), an optional sign, digits with an
// optional decimal point, then an optional exponent (e or E, optional sign,
// digits). Reading stops at the first character that does not fit, so "7abc"
// is 7 and "1e" is 1. The decimal point is always '.', whatever the user's
// locale; "inf", "nan" and hex floats are not numbers here. A value too large
// for a double is +-infinity, one too small is a signed zero.
double leadingNumber(std::string_view text) noexcept;

} // namespace velkrin
