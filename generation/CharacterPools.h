#pragma once

#include <string_view>

namespace velkrin {

// Order matters: a random index is mapped onto the pool by position.
inline constexpr std::string_view kLetterPool = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::string_view kDigitPool = "1234567890";
inline constexpr std::string_view kMixedPool = "abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";

static_assert(kLetterPool.size() == 26 && kDigitPool.size() == 10 && kMixedPool.size() == 62);

} // namespace velkrin
