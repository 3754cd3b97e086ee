#pragma once

#include "platform/HostError.h"
#include "platform/RandomSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace velkrin::test {

// A RandomSource whose bytes the test decides, so a test can predict every
// character composed. Byte number i of the whole stream (counting across
// fills) is `byteAt(i)`; a fill can be made to fail.
class ScriptedRandomSource final : public RandomSource {
public:
    explicit ScriptedRandomSource(std::function<std::uint8_t(std::size_t)> byteAt) : m_byteAt(std::move(byteAt)) {}

    // Serves `script` first, then `after` for ever.
    static ScriptedRandomSource sequence(std::vector<std::uint8_t> script, std::uint8_t after = 0)
    {
        return ScriptedRandomSource(
            [script = std::move(script), after](std::size_t i) { return i < script.size() ? script[i] : after; });
    }

    void fill(std::span<std::uint8_t> out) override
    {
        fillSizes.push_back(out.size());
        lastFill = out;
        if (failingFills > 0) {
            --failingFills;
            // Scribble over the buffer first, as a source that dies half-way might.
            for (auto &b : out)
                b = 0xA5;
            throw HostError(HostErrorKind::NoRandomSource, FailureCause::System, {}, "scripted failure");
        }
        for (auto &b : out)
            b = m_byteAt(m_served++);
    }

    // Serves `script` over and over.
    static ScriptedRandomSource repeating(std::vector<std::uint8_t> script)
    {
        return ScriptedRandomSource([script = std::move(script)](std::size_t i) { return script[i % script.size()]; });
    }

    std::size_t served() const { return m_served; }

    std::vector<std::size_t> fillSizes; // one entry per fill() call, failed ones too
    std::span<std::uint8_t> lastFill;   // the caller's buffer, to see that it was wiped
    int failingFills = 0;               // the next this many fills throw

private:
    std::function<std::uint8_t(std::size_t)> m_byteAt;
    std::size_t m_served = 0;
};

} // namespace velkrin::test
