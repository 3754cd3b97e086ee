// The checks of test_mixed.cpp and test_separate.cpp must have teeth: fed
// from deliberately flawed generators they have to fail. The samples here are
// smaller than in those tests (two million characters), which only makes a
// flaw harder to catch, and the thresholds are the same ones (p-value below
// 1e-8, entropy within 0.001 bit, |correlation| below 6/sqrt(N)).

#include "RandomnessChecks.h"

#include "generation/CharacterPools.h"
#include "generation/MainWindowState.h"
#include "generation/UniformPicker.h"
#include "platform/linux/SodiumRandomSource.h"
#include "generation/StateGenerators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace velkrin;
using namespace velkrin::randomness;

namespace {

constexpr std::size_t kPasswords = 333'334; // 2,000,004 characters of 6
constexpr std::size_t kLength = 6;

std::vector<std::uint8_t> mixedThroughProgram(RandomSource &source)
{
    std::vector<std::uint8_t> indices;
    indices.reserve(kLength * kPasswords);
    auto picker = std::make_unique<UniformPicker>(source);
    MainWindowState state;
    state.intLetters = 3;
    state.intNumbers = 3;
    for (std::size_t p = 0; p < kPasswords; ++p)
        if (!appendPoolIndices(ComposePassword(state, kMixedModeChecked, *picker), kMixedPool, indices))
            break;
    return indices;
}

} // namespace

// A source whose bytes repeat the previous byte 5 % of the time, used by the
// program's own picker and ComposePassword: each character then repeats the
// one before it about 5 % of the time. The marginal distribution stays
// uniform, so entropy cannot see it; the pair tables within passwords and the
// serial correlation must. Across passwords the flaw does not reach: each
// password's spare bytes are wiped unused, so two passwords never draw
// neighbouring bytes (the modulo-biased picker below shows that the pairs
// across passwords have teeth).
TEST(FlawedSources, RepeatingSourceFailsPairsAndCorrelation)
{
    SodiumRandomSource sodium;
    RepeatingSource flawed(sodium, 0.05);
    const std::vector<std::uint8_t> indices = mixedThroughProgram(flawed);
    ASSERT_EQ(indices.size(), kLength * kPasswords);

    const NeighbourPairs pairs = neighbourPairs(indices, kLength, 62);
    std::printf("repeating source: within p = %.3g, across p = %.3g\n", pairs.within.pValue(), pairs.across.pValue());
    EXPECT_LT(pairs.within.pValue(), kFalseAlarm);

    const double correlation = serialCorrelation(indices);
    std::printf("repeating source: serial correlation %.4f (bound %.4f)\n", correlation,
                serialCorrelationBound(indices.size()));
    EXPECT_GT(std::fabs(correlation), serialCorrelationBound(indices.size()));

    const EntReport report = runEnt(indices);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_GT(std::fabs(report.serialCorrelation), serialCorrelationBound(indices.size()));

    // Entropy is blind to this flaw: a reminder of why the other checks exist.
    EXPECT_NEAR(entropyBits(indices, 62), std::log2(62.0), 0.001);
}

// The same repeating source in separate mode: the letter pairs must fail.
TEST(FlawedSources, RepeatingSourceFailsLetterPairs)
{
    SodiumRandomSource sodium;
    RepeatingSource flawed(sodium, 0.05);
    auto picker = std::make_unique<UniformPicker>(flawed);
    MainWindowState state;
    state.intLetters = 3;
    state.intNumbers = 3;
    PairTable letters(26, 26);
    std::vector<std::uint8_t> l;
    for (std::size_t p = 0; p < kPasswords; ++p) {
        l.clear();
        ASSERT_TRUE(
            appendPoolIndices(std::string_view(ComposePassword(state, 0, *picker)).substr(0, 3), kLetterPool, l));
        letters.add(l[0], l[1]);
        letters.add(l[1], l[2]);
    }
    std::printf("repeating source, separate mode: letter pairs p = %.3g\n", letters.pValue());
    EXPECT_LT(letters.pValue(), kFalseAlarm);
}

// A picker that takes a random byte modulo 62 instead of rejecting the bytes
// 248..255: indices 0..7 come with probability 5/256, the rest 4/256. The
// entropy check (shortfall about 0.0045 bit) and the pair tables must fail.
TEST(FlawedSources, ModuloBiasedPickerFailsEntropyAndPairs)
{
    SodiumRandomSource sodium;
    std::vector<std::uint8_t> bytes(kLength * kPasswords);
    sodium.fill(bytes);
    std::vector<std::uint8_t> indices;
    indices.reserve(bytes.size());
    for (const std::uint8_t b : bytes)
        indices.push_back(static_cast<std::uint8_t>(b % 62));

    const double entropy = entropyBits(indices, 62);
    std::printf("modulo-biased picker: entropy shortfall %.5f bit\n", std::log2(62.0) - entropy);
    EXPECT_GT(std::fabs(entropy - std::log2(62.0)), 0.001);

    const NeighbourPairs pairs = neighbourPairs(indices, kLength, 62);
    std::printf("modulo-biased picker: within p = %.3g, across p = %.3g\n", pairs.within.pValue(),
                pairs.across.pValue());
    EXPECT_LT(pairs.within.pValue(), kFalseAlarm);
    EXPECT_LT(pairs.across.pValue(), kFalseAlarm);

    const EntReport report = runEnt(indices);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_GT(std::fabs(report.entropy - std::log2(62.0)), 0.001);
}
