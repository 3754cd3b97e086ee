#pragma once

#include "platform/RandomSource.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace velkrin {

// Exactly uniform indices into small pools, drawn from a RandomSource in
// blocks so that a password costs no system call per character.
class UniformPicker {
public:
    explicit UniformPicker(RandomSource &source) : m_source(source) {}

    // A uniform index in [0, poolSize), poolSize in 1..256. Bytes at or above
    // the largest multiple of poolSize are rejected, so there is no modulo bias.
    unsigned pick(unsigned poolSize)
    {
        const unsigned limit = 256u - 256u % poolSize;
        for (;;) {
            const unsigned b = nextByte();
            if (b < limit)
                return b % poolSize;
        }
    }

private:
    static constexpr std::size_t kBlock = 16384;

    unsigned nextByte()
    {
        if (m_pos == m_buffer.size())
            refill();
        return m_buffer[m_pos++];
    }
    void refill();

    RandomSource &m_source;
    std::array<std::uint8_t, kBlock> m_buffer{};
    std::size_t m_pos = kBlock;
};

} // namespace velkrin
