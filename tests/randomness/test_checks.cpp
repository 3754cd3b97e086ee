// The statistics the randomness tests rest on, checked against closed forms
// and hand-made sequences, so that a mistake in them cannot make the
// generator checks pass by accident.

#include "RandomnessChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace velkrin::randomness;

namespace {

// Q(k, x) for integer k has the closed form e^-x sum_{j<k} x^j / j!; that is
// the chi-square tail for dof = 2k. Summed in log space to stay exact enough
// for large k.
double evenDofTail(double statistic, int dof)
{
    const long double x = statistic / 2.0L;
    long double sum = 0, logTerm = -x; // log(e^-x x^0 / 0!)
    for (int j = 0; j < dof / 2; ++j) {
        sum += std::exp(logTerm);
        logTerm += std::log(x) - std::log(static_cast<long double>(j + 1));
    }
    return static_cast<double>(sum);
}

} // namespace

TEST(RandomnessChecks, ChiSquareTailMatchesClosedForms)
{
    // dof 1: the tail is erfc(sqrt(x / 2)).
    for (double x : {0.5, 3.841458820694124, 10.0, 30.0, 60.0})
        EXPECT_NEAR(chiSquareUpperTail(x, 1) / std::erfc(std::sqrt(x / 2)), 1.0, 1e-9) << x;
    // dof 2: e^(-x/2).
    EXPECT_NEAR(chiSquareUpperTail(40, 2) / std::exp(-20.0), 1.0, 1e-9);
    // The cell counts used by the tests: 10x10, 26x10, 26x26 and 62x62 cells,
    // near their centre and far in the tail where the thresholds lie.
    for (int dof : {100, 260, 676, 3844})
        for (double x : {0.9 * dof, 1.0 * dof, 1.3 * dof, dof + 12 * std::sqrt(2.0 * dof)}) {
            const double expected = evenDofTail(x, dof);
            EXPECT_NEAR(chiSquareUpperTail(x, dof) / expected, 1.0, 1e-6) << dof << " " << x << " " << expected;
        }
    // A textbook quantile: dof 10 at 29.588 has tail 0.001.
    EXPECT_NEAR(chiSquareUpperTail(29.588, 10), 0.001, 1e-6);
    const double critical = chiSquareCritical(1e-8, 3843);
    EXPECT_NEAR(chiSquareUpperTail(critical, 3843), 1e-8, 1e-11);
    EXPECT_GT(critical, 3843 + 5 * std::sqrt(2 * 3843.0));
}

TEST(RandomnessChecks, PairTableStatistic)
{
    PairTable table(2, 2);
    // 40 pairs, expected 10 per cell; counts 16, 4, 10, 10 -> (36 + 36) / 10.
    for (int i = 0; i < 16; ++i)
        table.add(0, 0);
    for (int i = 0; i < 4; ++i)
        table.add(0, 1);
    for (int i = 0; i < 10; ++i)
        table.add(1, 0);
    for (int i = 0; i < 10; ++i)
        table.add(1, 1);
    EXPECT_EQ(table.total(), 40u);
    EXPECT_DOUBLE_EQ(table.chiSquareUniform(), 7.2);
    EXPECT_NEAR(table.pValue(), chiSquareUpperTail(7.2, 3), 1e-15);
}

TEST(RandomnessChecks, EntropyOfKnownFrequencies)
{
    std::vector<std::uint8_t> equal;
    for (int i = 0; i < 62 * 100; ++i)
        equal.push_back(static_cast<std::uint8_t>(i % 62));
    EXPECT_NEAR(entropyBits(equal, 62), std::log2(62.0), 1e-12);
    const std::vector<std::uint8_t> half{0, 0, 1, 1};
    EXPECT_NEAR(entropyBits(half, 62), 1.0, 1e-15);
    const std::vector<std::uint8_t> one(100, 7);
    EXPECT_EQ(entropyBits(one, 62), 0.0);
}

TEST(RandomnessChecks, SerialCorrelationOfKnownSequences)
{
    // Alternating values: each is the opposite of the one before: -1.
    EXPECT_NEAR(serialCorrelation({0, 10, 0, 10, 0, 10}), -1.0, 1e-12);
    // Long runs: strongly positive (cyclic, so exactly (n - 4) / n here).
    std::vector<std::uint8_t> runs;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 25; ++i)
            runs.push_back(r % 2 ? 61 : 0);
    EXPECT_NEAR(serialCorrelation(runs), 0.92, 1e-12);
    // 0,1,2,3 repeated: centred values -1.5 -0.5 0.5 1.5, lag-1 products
    // sum to -1 per period against a variance sum of 5: exactly -0.2.
    std::vector<std::uint8_t> ramp;
    for (int i = 0; i < 400; ++i)
        ramp.push_back(static_cast<std::uint8_t>(i % 4));
    EXPECT_NEAR(serialCorrelation(ramp), -0.2, 1e-12);
}

TEST(RandomnessChecks, EntAgreesOnAKnownFile)
{
    // 0..255 each once: 8 bits per byte; the serial correlation of a ramp.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 256 * 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i % 256));
    const EntReport report = runEnt(bytes);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_EQ(report.bytes, bytes.size());
    EXPECT_NEAR(report.entropy, 8.0, 1e-6);
    EXPECT_NEAR(report.serialCorrelation, serialCorrelation(bytes), 1e-6);
}
