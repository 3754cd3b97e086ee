#pragma once

#include "platform/RandomSource.h"

namespace velkrin::win32 {

// Windows' cryptographic random source, the system-preferred generator of
// BCryptGenRandom: nothing is kept between calls. Without it every request
// fails with HostError(NoRandomSource), saying why; there is no fallback.
class BCryptRandomSource final : public RandomSource {
public:
    void fill(std::span<std::uint8_t> out) override;
};

} // namespace velkrin::win32
