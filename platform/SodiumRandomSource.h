#pragma once

#include "platform/RandomSource.h"

namespace velkrin {

// The operating system's cryptographic random source, through libsodium.
// There is deliberately no fallback: without a secure source every request
// fails with HostError(NoRandomSource).
class SodiumRandomSource final : public RandomSource {
public:
    SodiumRandomSource();
    void fill(std::span<std::uint8_t> out) override;

private:
    bool m_ready;
};

} // namespace velkrin
