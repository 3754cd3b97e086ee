#pragma once

#include "platform/RandomSource.h"

#include <string>

namespace velkrin {

// The operating system's cryptographic random source, through libsodium: each
// fill is one getrandom(2) call per 256 bytes, nothing is kept. There is
// deliberately no fallback: without a secure source every request fails with
// HostError(NoRandomSource), saying why.
class SodiumRandomSource final : public RandomSource {
public:
    SodiumRandomSource();
    void fill(std::span<std::uint8_t> out) override;

private:
    std::string m_missing; // why there is no secure source; empty when there is one
};

} // namespace velkrin
