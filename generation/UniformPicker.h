#pragma once

#include "platform/RandomSource.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace velkrin {

// Exactly uniform indices into small pools. Nothing is drawn ahead: a
// password's bytes are drawn from the RandomSource while that password is
// made, inside a Draw, and wiped when the Draw ends, so no byte left in memory
// predicts a password not yet made.
class UniformPicker {
public:
    explicit UniformPicker(RandomSource &source) : m_source(source) {}
    ~UniformPicker() { wipe(); }
    UniformPicker(const UniformPicker &) = delete;
    UniformPicker &operator=(const UniformPicker &) = delete;

    // The random bytes of one password of `characters` picks: drawn at its
    // first pick, in one call of the source (at most kChunk bytes at a time)
    // with a few spares for rejected bytes, and wiped with secureWipe
    // when the outermost Draw ends, whether the password was made or not.
    // Inner Draws join the outer one, so a password made by several
    // generators costs one call of the source.
    class Draw {
    public:
        Draw(UniformPicker &picker, std::int64_t characters);
        ~Draw();
        Draw(const Draw &) = delete;
        Draw &operator=(const Draw &) = delete;

    private:
        UniformPicker &m_picker;
        bool m_outermost;
    };

    // A uniform index in [0, poolSize), poolSize in 1..256. Bytes at or above
    // the largest multiple of poolSize are rejected, so there is no modulo
    // bias; the next byte is used instead. Outside a Draw, a pick is a Draw
    // of one character.
    unsigned pick(unsigned poolSize)
    {
        if (!m_open) {
            const Draw one(*this, 1);
            return pickInDraw(poolSize);
        }
        return pickInDraw(poolSize);
    }

    // The most bytes one call of the source delivers (getrandom(2) serves up
    // to 256 bytes without being interrupted).
    static constexpr std::size_t kChunk = 256;

private:
    unsigned pickInDraw(unsigned poolSize)
    {
        const unsigned limit = 256u - 256u % poolSize;
        for (;;) {
            if (m_pos == m_end)
                refill();
            const unsigned b = m_bytes[m_pos++];
            if (b < limit) {
                if (m_wanted > 0)
                    --m_wanted;
                return b % poolSize;
            }
        }
    }
    void refill();
    void wipe() noexcept;

    RandomSource &m_source;
    bool m_open = false;
    std::int64_t m_wanted = 0; // picks the open Draw still expects
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_dirty = 0; // bytes of m_bytes the source may have written since the last wipe
    std::array<std::uint8_t, kChunk> m_bytes{};
};

} // namespace velkrin
