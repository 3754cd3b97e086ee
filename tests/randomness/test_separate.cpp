// Separate mode (box clear) over a million passwords of 3 letters and 3
// digits made by ComposePassword from the real libsodium source: the letters
// and digits that stand next to each other, inside one password and from one
// password to the next, must be independent. Every check fails a correct
// generator with probability at most 1e-8 (p-value of the chi-square against
// "all pairs equally likely"); each says what it rules out.

#include "RandomnessChecks.h"

#include "generation/CharacterPools.h"
#include "generation/MainWindowState.h"
#include "generation/UniformPicker.h"
#include "platform/linux/SodiumRandomSource.h"
#include "generation/StateGenerators.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace velkrin;
using namespace velkrin::randomness;

namespace {

constexpr std::size_t kPasswords = 1'000'000;

struct SeparateSample {
    std::vector<std::uint8_t> letters; // 3 per password, indices into the letter pool
    std::vector<std::uint8_t> digits;  // 3 per password, indices into the digit pool
};

class SeparateStream : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_sample = new SeparateSample;
        s_sample->letters.reserve(3 * kPasswords);
        s_sample->digits.reserve(3 * kPasswords);
        SodiumRandomSource source;
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 3;
        state.intNumbers = 3;
        for (std::size_t p = 0; p < kPasswords; ++p) {
            const std::string password = ComposePassword(state, 0, *picker);
            ASSERT_EQ(password.size(), 6);
            if (!appendPoolIndices(std::string_view(password).substr(0, 3), kLetterPool, s_sample->letters) ||
                !appendPoolIndices(std::string_view(password).substr(3), kDigitPool, s_sample->digits))
                return;
        }
    }
    static void TearDownTestSuite()
    {
        delete s_sample;
        s_sample = nullptr;
    }
    void SetUp() override
    {
        ASSERT_EQ(s_sample->letters.size(), 3 * kPasswords) << "generation failed";
        ASSERT_EQ(s_sample->digits.size(), 3 * kPasswords) << "generation failed";
    }

    static void expectIndependent(const char *what, const PairTable &table)
    {
        const double dof = table.cells() - 1.0;
        std::printf("%s: %llu pairs, chi-square %.1f on %.0f dof (critical %.1f), p = %.3g\n", what,
                    static_cast<unsigned long long>(table.total()), table.chiSquareUniform(), dof,
                    chiSquareCritical(kFalseAlarm, dof), table.pValue());
        EXPECT_GT(table.pValue(), kFalseAlarm) << what;
    }

    static SeparateSample *s_sample;
};

SeparateSample *SeparateStream::s_sample = nullptr;

} // namespace

// Letter after letter inside the letter block, 26 x 26 cells, 2 million
// pairs (about 2960 per cell): rules out a repeat of the previous letter
// with probability 0.3 % or more (non-centrality 25 q^2 N against a critical
// excess of about 200) and any favoured successor letter of similar weight.
TEST_F(SeparateStream, NeighbouringLettersAreIndependent)
{
    PairTable table(26, 26);
    const auto &l = s_sample->letters;
    for (std::size_t p = 0; p < kPasswords; ++p) {
        table.add(l[3 * p], l[3 * p + 1]);
        table.add(l[3 * p + 1], l[3 * p + 2]);
    }
    expectIndependent("letter, letter", table);
}

// Digit after digit, 10 x 10 cells, 2 million pairs (20,000 per cell): rules
// out a repeat of the previous digit with probability 0.3 % or more.
TEST_F(SeparateStream, NeighbouringDigitsAreIndependent)
{
    PairTable table(10, 10);
    const auto &d = s_sample->digits;
    for (std::size_t p = 0; p < kPasswords; ++p) {
        table.add(d[3 * p], d[3 * p + 1]);
        table.add(d[3 * p + 1], d[3 * p + 2]);
    }
    expectIndependent("digit, digit", table);
}

// The last letter and the first digit of one password (two generator calls
// in a row), 26 x 10 cells, a million pairs: rules out the digit block being
// tied to the letter block, e.g. a digit that follows from the letter before
// it (same byte reused) 0.5 % of the time or more.
TEST_F(SeparateStream, LetterBlockAndDigitBlockAreIndependent)
{
    PairTable table(26, 10);
    for (std::size_t p = 0; p < kPasswords; ++p)
        table.add(s_sample->letters[3 * p + 2], s_sample->digits[3 * p]);
    expectIndependent("last letter, first digit", table);
}

// The last digit of one password and the first letter of the next, 10 x 26
// cells, and the letter blocks of consecutive passwords (last letter, first
// letter of the next), 26 x 26 cells, a million pairs each: rules out
// passwords that carry state into the next one, e.g. a first letter that
// repeats the previous password's last letter or digit 0.5 % of the time.
TEST_F(SeparateStream, ConsecutivePasswordsAreIndependent)
{
    PairTable digitThenLetter(10, 26), letterBlocks(26, 26);
    for (std::size_t p = 0; p + 1 < kPasswords; ++p) {
        digitThenLetter.add(s_sample->digits[3 * p + 2], s_sample->letters[3 * (p + 1)]);
        letterBlocks.add(s_sample->letters[3 * p + 2], s_sample->letters[3 * (p + 1)]);
    }
    expectIndependent("last digit, next first letter", digitThenLetter);
    expectIndependent("last letter, next first letter", letterBlocks);
}
