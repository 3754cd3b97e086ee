// Chi-square goodness of fit of the generators' output against the uniform
// distribution over each pool, with the real secure source.
//
// Critical values are the upper 1e-6 quantiles of the chi-square distribution
// with k - 1 degrees of freedom (k cells, all probabilities fixed in advance,
// nothing estimated from the data), rounded up:
//     9 dof: 44.811    25 dof: 73.895    61 dof: 128.525    99 dof: 180.793
// (computed from the regularised upper incomplete gamma function,
// Q(dof/2, x/2) = 1e-6). A correct generator therefore fails each check less
// than once in a million runs.
//
// What a million draws per pool rules out: the statistic then follows a
// non-central chi-square with non-centrality N * k * sum((p_i - 1/k)^2), so a
// single character drawn 3 % (digits), 5.5 % (letters) or 9.6 % (mixed pool)
// more or less often than its share is caught 999 times in 1000; a character
// that never appears, or the modulo bias of 256 % k (non-centrality about
// 366, 1343 and 6592), is caught every time.

#include "RandomnessChecks.h"
#include "support/ScriptedRandomSource.h"

#include "generation/MainWindowState.h"
#include "generation/RandomGenerators.h"
#include "platform/posix/SodiumRandomSource.h"
#include "generation/UniformPicker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

using namespace velkrin;
using velkrin::test::ScriptedRandomSource;

namespace {

constexpr std::int32_t kDraws = 1'000'000;

double criticalValue(std::size_t cells)
{
    switch (cells) {
    case 10:
        return 44.811;
    case 26:
        return 73.895;
    case 62:
        return 128.525;
    case 100:
        return 180.793;
    }
    ADD_FAILURE() << "no critical value for " << cells << " cells";
    return 0;
}

// Counts per pool position; every character must come from the pool.
std::vector<std::uint64_t> countByPosition(const std::string &text, const std::string &pool)
{
    std::vector<std::uint64_t> counts(static_cast<std::size_t>(pool.size()), 0);
    for (char c : text) {
        const std::size_t at = pool.find(c);
        if (at == std::string::npos) {
            ADD_FAILURE() << "character outside the pool";
            return {};
        }
        ++counts[at];
    }
    return counts;
}

// The mistake the picker exists to avoid: b % n with no rejection.
class ModuloPicker {
public:
    explicit ModuloPicker(RandomSource &source) : m_source(source) {}
    unsigned pick(unsigned poolSize)
    {
        if (m_pos == m_buffer.size()) {
            m_source.fill(m_buffer);
            m_pos = 0;
        }
        return m_buffer[m_pos++] % poolSize;
    }

private:
    RandomSource &m_source;
    std::vector<std::uint8_t> m_buffer = std::vector<std::uint8_t>(4096);
    std::size_t m_pos = 4096;
};

// Uniformly distributed bytes from a fixed seed (splitmix64), so the checks
// that use it come out the same on every run.
ScriptedRandomSource splitmixBytes()
{
    return ScriptedRandomSource([state = std::uint64_t{0x5eed}, word = std::uint64_t{0}](std::size_t i) mutable {
        if (i % 8 == 0) {
            std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
        return static_cast<std::uint8_t>(word >> (8 * (i % 8)));
    });
}

struct Pool {
    const char *name;
    void (*generate)(MainWindowState &, std::int32_t, UniformPicker &);
    std::string MainWindowState::*field;
    std::string chars;
};

const Pool kPools[] = {
    // clang-format off
    {"letters", &RandomLetters, &MainWindowState::strLetters, std::string("abcdefghijklmnopqrstuvwxyz")},
    {"digits", &RandomNumbers, &MainWindowState::strNumbers, std::string("1234567890")},
    {"mixed", &RandomPassword, &MainWindowState::strPassword,
     // clang-format on
     std::string("abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ")},
};

} // namespace

TEST(Uniformity, EachPoolIsDrawnUniformly)
{
    SodiumRandomSource source;
    auto picker = std::make_unique<UniformPicker>(source);
    for (const Pool &pool : kPools) {
        SCOPED_TRACE(pool.name);
        MainWindowState state;
        pool.generate(state, kDraws, *picker);
        const auto counts = countByPosition(state.*pool.field, pool.chars);
        ASSERT_EQ(counts.size(), static_cast<std::size_t>(pool.chars.size()));
        const double statistic = randomness::chiSquareUniform(counts);
        EXPECT_LT(statistic, criticalValue(counts.size())) << "chi-square over " << kDraws << " draws";
    }
}

TEST(Uniformity, ConsecutiveDigitsAreIndependent)
{
    // Non-overlapping pairs of digits, 100 cells: catches a picker that
    // reuses or correlates neighbouring bytes, which the single-character
    // counts cannot see.
    SodiumRandomSource source;
    auto picker = std::make_unique<UniformPicker>(source);
    MainWindowState state;
    RandomNumbers(state, kDraws, *picker);
    const std::string digits = std::string("1234567890");
    std::vector<std::uint64_t> pairs(100, 0);
    for (std::size_t i = 0; i + 1 < state.strNumbers.size(); i += 2)
        ++pairs[digits.find(state.strNumbers[i]) * 10 + digits.find(state.strNumbers[i + 1])];
    EXPECT_LT(randomness::chiSquareUniform(pairs), criticalValue(100));
}

TEST(Uniformity, TheStatisticCatchesModuloBias)
{
    // The same statistic and thresholds must reject the plain remainder of a
    // random byte, both over the secure source and over a fixed uniform
    // stream; the real picker over that fixed stream passes.
    SodiumRandomSource secure;
    for (const Pool &pool : kPools) {
        SCOPED_TRACE(pool.name);
        const auto n = static_cast<unsigned>(pool.chars.size());
        const double critical = criticalValue(n);

        for (bool scripted : {false, true}) {
            ScriptedRandomSource fixed = splitmixBytes();
            RandomSource &bytes = scripted ? static_cast<RandomSource &>(fixed) : secure;
            ModuloPicker biased(bytes);
            std::vector<std::uint64_t> counts(n, 0);
            for (std::int32_t i = 0; i < kDraws; ++i)
                ++counts[biased.pick(n)];
            EXPECT_GT(randomness::chiSquareUniform(counts), critical) << (scripted ? "fixed stream" : "secure source");
        }

        ScriptedRandomSource fixed = splitmixBytes();
        auto picker = std::make_unique<UniformPicker>(fixed);
        MainWindowState state;
        pool.generate(state, kDraws, *picker);
        EXPECT_LT(randomness::chiSquareUniform(countByPosition(state.*pool.field, pool.chars)), critical) << "real picker, fixed stream";
    }
}
