#pragma once

#include <cstdint>
#include <span>

namespace velkrin {

// A source of random bytes. The program uses the operating system's
// cryptographic source; tests substitute a scripted one.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills `out` completely or raises HostError(NoRandomSource).
    virtual void fill(std::span<std::uint8_t> out) = 0;
    // Restart request from the window's Load step. A cryptographic source has
    // nothing to restart, so the default does nothing.
    virtual void reseed() {}
};

} // namespace velkrin
