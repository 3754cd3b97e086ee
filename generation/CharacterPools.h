#pragma once

#include <QStringView>

namespace velkrin {

// Order matters: a random index is mapped onto the pool by position.
inline constexpr QStringView kLetterPool = u"abcdefghijklmnopqrstuvwxyz";
inline constexpr QStringView kDigitPool = u"1234567890";
inline constexpr QStringView kMixedPool = u"abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";

static_assert(kLetterPool.size() == 26 && kDigitPool.size() == 10 && kMixedPool.size() == 62);

} // namespace velkrin
