// Mixed mode over ten million characters, made the way the window makes them:
// ComposePassword with the box checked and the start-up counts 3 and 3 (six
// characters a password), drawing from the real libsodium source. The same
// stream feeds every check below, each with a false-alarm probability of at
// most 1e-8 for a correct generator (see RandomnessChecks.h).

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

constexpr std::size_t kLength = 6;
constexpr std::size_t kPasswords = 1'666'667; // 10,000,002 characters
constexpr unsigned kPool = 62;

class MixedStream : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_indices = new std::vector<std::uint8_t>;
        s_indices->reserve(kLength * kPasswords);
        SodiumRandomSource source;
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 3;
        state.intNumbers = 3;
        for (std::size_t p = 0; p < kPasswords; ++p) {
            const std::string password = ComposePassword(state, kMixedModeChecked, *picker);
            ASSERT_EQ(password.size(), std::size_t{kLength});
            if (!appendPoolIndices(password, kMixedPool, *s_indices))
                return;
        }
    }
    static void TearDownTestSuite()
    {
        delete s_indices;
        s_indices = nullptr;
    }
    void SetUp() override { ASSERT_EQ(s_indices->size(), kLength * kPasswords) << "generation failed"; }

    static std::vector<std::uint8_t> *s_indices;
};

std::vector<std::uint8_t> *MixedStream::s_indices = nullptr;

} // namespace

// Pairs of neighbouring characters inside one password, 62 x 62 cells
// (8.3 million pairs, about 2170 expected per cell). Fails when the
// chi-square against "all 3844 pairs equally likely" has a p-value below
// 1e-8 (statistic above about 4356 on 3843 degrees of freedom). This rules
// out any dependence of a character on the one before it that moves the
// statistic's non-centrality above about 700: for example a repeat of the
// previous character with probability 0.2 % or more (non-centrality
// 61 q^2 N; at 5 % it is 1.3 million), or a favoured successor.
TEST_F(MixedStream, NeighboursInsideAPasswordAreIndependent)
{
    const NeighbourPairs pairs = neighbourPairs(*s_indices, kLength, kPool);
    ASSERT_EQ(pairs.within.total(), 8'333'335u);
    const double statistic = pairs.within.chiSquareUniform();
    std::printf("within passwords: %llu pairs, chi-square %.1f on %u dof (critical %.1f), p = %.3g\n",
                static_cast<unsigned long long>(pairs.within.total()), statistic, pairs.within.cells() - 1,
                chiSquareCritical(kFalseAlarm, pairs.within.cells() - 1.0), pairs.within.pValue());
    EXPECT_GT(pairs.within.pValue(), kFalseAlarm);
}

// The last character of one password and the first of the next, 62 x 62
// cells (1.67 million pairs, about 430 per cell), same threshold: rules out
// consecutive passwords that are linked, e.g. a new password that starts
// with the previous one's last character 0.3 % of the time or more, or a
// picker whose buffer handling leaks state from one call to the next.
TEST_F(MixedStream, ConsecutivePasswordsAreIndependent)
{
    const NeighbourPairs pairs = neighbourPairs(*s_indices, kLength, kPool);
    ASSERT_EQ(pairs.across.total(), 1'666'666u);
    std::printf("across passwords: %llu pairs, chi-square %.1f on %u dof (critical %.1f), p = %.3g\n",
                static_cast<unsigned long long>(pairs.across.total()), pairs.across.chiSquareUniform(),
                pairs.across.cells() - 1, chiSquareCritical(kFalseAlarm, pairs.across.cells() - 1.0),
                pairs.across.pValue());
    EXPECT_GT(pairs.across.pValue(), kFalseAlarm);
}

// Empirical entropy of the ten million characters within 0.001 bit of
// log2(62) = 5.954 bits. For a uniform source the shortfall is about
// chi-square(61) / (2 N ln 2), i.e. 4e-6 bit on average and above 1.1e-5 bit
// with probability below 1e-8, so 0.001 never fails a correct generator. It
// rules out the modulo bias of taking a byte mod 62 (shortfall 0.0045 bit),
// a character that never appears (0.023 bit), or one character drawn about
// 31 % more often than its share.
TEST_F(MixedStream, EntropyPerCharacterIsLog2Of62)
{
    const double entropy = entropyBits(*s_indices, kPool);
    std::printf("entropy %.7f bits per character, shortfall %.2e bit\n", entropy, std::log2(62.0) - entropy);
    EXPECT_NEAR(entropy, std::log2(62.0), 0.001);
}

// Lag-1 serial correlation of the pool indices (cyclic, as ent computes it).
// Its null distribution is close to normal with sd 1/sqrt(N) = 3.2e-4; the
// bound 6/sqrt(N) = 1.9e-3 fails a correct generator with probability about
// 2e-9. It rules out any linear dependence of one index on the previous of
// 0.002 or more: a 5 % repeat of the previous character gives about 0.05.
TEST_F(MixedStream, SerialCorrelationIsWithinTheBound)
{
    const double correlation = serialCorrelation(*s_indices);
    const double bound = serialCorrelationBound(s_indices->size());
    std::printf("serial correlation %.6f (bound %.6f)\n", correlation, bound);
    EXPECT_LT(std::fabs(correlation), bound);
}

// The same stream as bytes 0..61 through Debian's `ent`: an independent
// implementation of entropy and serial correlation. Its figures must meet
// the same bounds and agree with ours to its six printed decimals (its
// chi-square is over 256 byte values and does not apply here).
TEST_F(MixedStream, EntAgrees)
{
    const EntReport report = runEnt(*s_indices);
    ASSERT_TRUE(report.ok) << report.error;
    std::printf("ent: %llu bytes, entropy %.6f, serial correlation %.6f\n",
                static_cast<unsigned long long>(report.bytes), report.entropy, report.serialCorrelation);
    EXPECT_EQ(report.bytes, s_indices->size());
    EXPECT_NEAR(report.entropy, std::log2(62.0), 0.001);
    EXPECT_LT(std::fabs(report.serialCorrelation), serialCorrelationBound(s_indices->size()));
    EXPECT_NEAR(report.entropy, entropyBits(*s_indices, kPool), 1.5e-6);
    EXPECT_NEAR(report.serialCorrelation, serialCorrelation(*s_indices), 1.5e-6);
}
