#pragma once

#include <cstdint>
#include <span>

namespace velkrin {

// A source of random bytes. The program uses the operating system's
// cryptographic source; tests substitute a scripted one. A cryptographic
// source has nothing to restart, so there is no reseeding.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills `out` completely or raises HostError(NoRandomSource).
    virtual void fill(std::span<std::uint8_t> out) = 0;
};

} // namespace velkrin
