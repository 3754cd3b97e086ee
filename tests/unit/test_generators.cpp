// The three generators and the compose step, with the real secure source for
// the shape of the output and a scripted one where the exact text matters.

#include "window/UserMessages.h"
#include "support/ScriptedRandomSource.h"

#include "generation/MainWindowState.h"
#include "generation/RandomGenerators.h"
#include "platform/HostError.h"
#include "support/SystemRandomSource.h"
#include "generation/UniformPicker.h"
#include "generation/StateGenerators.h"

#include <gtest/gtest.h>

#include <regex>

#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace velkrin;
using velkrin::test::ScriptedRandomSource;

namespace {

// Written out here rather than taken from the program, so that a changed pool
// is noticed.
const std::string kLetters = std::string("abcdefghijklmnopqrstuvwxyz");
const std::string kDigits = std::string("1234567890");
const std::string kMixed = std::string("abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");

using Generator = void (*)(MainWindowState &, std::int32_t, UniformPicker &);

struct GeneratorCase {
    const char *name;
    Generator generate;
    std::string MainWindowState::*field;
    const std::string *pool;
};

const GeneratorCase kGenerators[] = {
    // clang-format off
    {"RandomLetters", &RandomLetters, &MainWindowState::strLetters, &kLetters},
    {"RandomNumbers", &RandomNumbers, &MainWindowState::strNumbers, &kDigits},
    {"RandomPassword", &RandomPassword, &MainWindowState::strPassword, &kMixed},
    // clang-format on
};

MainWindowState filledState()
{
    MainWindowState state;
    state.strPassword = std::string("oldPassword");
    state.strLetters = std::string("oldletters");
    state.strNumbers = std::string("0000");
    return state;
}

void expectFromPool(const std::string &text, const std::string &pool)
{
    for (char c : text)
        ASSERT_NE(pool.find(c), std::string::npos) << "'" << c << "' is not in " << pool;
}

template <class F>
void expectHostError(HostErrorKind kind, F &&f)
{
    try {
        f();
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), kind) << userMessage(e);
        return;
    }
    ADD_FAILURE() << "no HostError was raised";
}

class Generators : public ::testing::Test {
protected:
    SystemRandomSource source;
    std::unique_ptr<UniformPicker> picker = std::make_unique<UniformPicker>(source);
};

} // namespace

TEST_F(Generators, FillTheirOwnFieldWithTheRequestedNumberOfPoolCharacters)
{
    for (const auto &g : kGenerators) {
        SCOPED_TRACE(g.name);
        for (std::int32_t length : {1, 6, 1000, 20000}) {
            MainWindowState state = filledState();
            const MainWindowState before = state;
            g.generate(state, length, *picker);
            const std::string &out = state.*g.field;
            ASSERT_EQ(out.size(), length);
            expectFromPool(out, *g.pool);
            // The other two fields are untouched.
            for (const auto &other : kGenerators) {
                if (other.field != g.field) {
                    EXPECT_EQ(state.*other.field, before.*other.field);
                }
            }
        }
        // Over many characters every pool character turns up.
        MainWindowState state;
        g.generate(state, 5000, *picker);
        const std::string &out = state.*g.field;
        std::set<char> seen(out.begin(), out.end());
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(g.pool->size()));
    }
}

TEST_F(Generators, ShorterOutputReplacesLongerAndLeavesEarlierCopiesAlone)
{
    MainWindowState state;
    RandomPassword(state, 40, *picker);
    const std::string earlier = state.strPassword;
    const std::string earlierText = earlier;
    RandomPassword(state, 6, *picker);
    EXPECT_EQ(state.strPassword.size(), 6);
    EXPECT_EQ(earlier, earlierText) << "a copy taken before changed with the field";

    // Same length: the field may reuse its buffer, but not one a copy shares.
    const std::string sameSize = state.strPassword;
    const std::string sameSizeText = sameSize;
    RandomPassword(state, 6, *picker);
    EXPECT_EQ(sameSize, sameSizeText);
}

TEST_F(Generators, ZeroLengthEmptiesOnlyItsField)
{
    for (const auto &g : kGenerators) {
        SCOPED_TRACE(g.name);
        MainWindowState state = filledState();
        const MainWindowState before = state;
        g.generate(state, 0, *picker);
        EXPECT_TRUE((state.*g.field).empty());
        for (const auto &other : kGenerators) {
            if (other.field != g.field) {
                EXPECT_EQ(state.*other.field, before.*other.field);
            }
        }
    }
}

TEST_F(Generators, NegativeLengthIsAnInvalidArgumentAndTouchesNothing)
{
    for (const auto &g : kGenerators) {
        SCOPED_TRACE(g.name);
        for (std::int32_t length : {-1, -32768, std::numeric_limits<std::int32_t>::min()}) {
            MainWindowState state = filledState();
            state.intLetters = 7;
            state.intNumbers = 8;
            expectHostError(HostErrorKind::InvalidArgument, [&] { g.generate(state, length, *picker); });
            EXPECT_EQ(state.strPassword, std::string("oldPassword"));
            EXPECT_EQ(state.strLetters, std::string("oldletters"));
            EXPECT_EQ(state.strNumbers, std::string("0000"));
            EXPECT_EQ(state.intLetters, 7);
            EXPECT_EQ(state.intNumbers, 8);
        }
    }
}

TEST(GeneratorsScripted, MapEachAcceptedByteToThePoolCharacterAtThatPosition)
{
    std::vector<std::uint8_t> upTo62;
    for (std::uint8_t b = 0; b < 62; ++b)
        upTo62.push_back(b);

    {
        auto source = ScriptedRandomSource::sequence(upTo62);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        RandomLetters(state, 26, *picker);
        EXPECT_EQ(state.strLetters, kLetters);
    }
    {
        auto source = ScriptedRandomSource::sequence(upTo62);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        RandomNumbers(state, 10, *picker);
        EXPECT_EQ(state.strNumbers, std::string("1234567890")); // index 9 is '0'
    }
    {
        auto source = ScriptedRandomSource::sequence(upTo62);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        RandomPassword(state, 62, *picker);
        EXPECT_EQ(state.strPassword, kMixed);
    }
    {
        // 19 % 10 = 9 -> '0'; 250 and 255 are rejected for ten digits;
        // 245 % 10 = 5 -> '6'; 36 % 10 = 6 -> '7'.
        auto source = ScriptedRandomSource::sequence({9, 0, 19, 250, 255, 245, 36});
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        RandomNumbers(state, 5, *picker);
        EXPECT_EQ(state.strNumbers, std::string("01067"));
    }
    {
        // 26 -> '1', 35 -> '0', 36 -> 'A', 61 -> 'Z', 248 rejected, 123 % 62 = 61 -> 'Z'.
        auto source = ScriptedRandomSource::sequence({0, 26, 35, 36, 61, 248, 123});
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        RandomPassword(state, 6, *picker);
        EXPECT_EQ(state.strPassword, std::string("a10AZZ"));
    }
}

TEST_F(Generators, ComposeSeparateAndMixedModes)
{
    const std::regex threeAndThree("^[a-z]{3}[0-9]{3}$");
    const std::regex fourDigits("^[0-9]{4}$");
    const std::regex fiveMixed("^[a-zA-Z0-9]{5}$");
    for (int run = 0; run < 50; ++run) {
        MainWindowState state = filledState();
        state.intLetters = 3;
        state.intNumbers = 3;
        const std::string caption = ComposePassword(state, 0, *picker);
        EXPECT_TRUE(std::regex_match(caption, threeAndThree)) << caption;
        EXPECT_EQ(caption, state.strLetters + state.strNumbers);
        EXPECT_EQ(state.strPassword, std::string("oldPassword"));

        // Grayed (2) composes as if clear.
        const std::string grayed = ComposePassword(state, 2, *picker);
        EXPECT_TRUE(std::regex_match(grayed, threeAndThree)) << grayed;
        EXPECT_EQ(state.strPassword, std::string("oldPassword"));

        state.intLetters = 0;
        state.intNumbers = 4;
        const std::string digits = ComposePassword(state, 0, *picker);
        EXPECT_TRUE(std::regex_match(digits, fourDigits)) << digits;
        EXPECT_TRUE(state.strLetters.empty());

        MainWindowState mixed = filledState();
        mixed.intLetters = 5;
        mixed.intNumbers = 0;
        const std::string five = ComposePassword(mixed, 1, *picker);
        EXPECT_TRUE(std::regex_match(five, fiveMixed)) << five;
        EXPECT_EQ(five, mixed.strPassword);
        EXPECT_EQ(mixed.strLetters, std::string("oldletters"));
        EXPECT_EQ(mixed.strNumbers, std::string("0000"));
    }
    // Mixed mode draws from all three parts of its pool.
    MainWindowState state;
    state.intLetters = 3000;
    state.intNumbers = 3000;
    const std::string big = ComposePassword(state, 1, *picker);
    ASSERT_EQ(big.size(), 6000);
    EXPECT_TRUE(std::regex_search(big, std::regex("[a-z]")));
    EXPECT_TRUE(std::regex_search(big, std::regex("[A-Z]")));
    EXPECT_TRUE(std::regex_search(big, std::regex("[0-9]")));
}

TEST(ComposeScripted, ExactTextInEachMode)
{
    const std::vector<std::uint8_t> script{0, 1, 2, 3, 4, 5, 36, 61, 9};
    {
        auto source = ScriptedRandomSource::sequence(script);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 3;
        state.intNumbers = 3;
        // Letters take the first three bytes, digits the next three.
        EXPECT_EQ(ComposePassword(state, 0, *picker), std::string("abc456"));
        EXPECT_EQ(state.strLetters, std::string("abc"));
        EXPECT_EQ(state.strNumbers, std::string("456"));
    }
    for (std::int16_t grayedOrOther : {std::int16_t{2}, std::int16_t{-1}, std::int16_t{0}}) {
        auto source = ScriptedRandomSource::sequence(script);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 3;
        state.intNumbers = 3;
        EXPECT_EQ(ComposePassword(state, grayedOrOther, *picker), std::string("abc456")) << grayedOrOther;
        EXPECT_TRUE(state.strPassword.empty());
    }
    {
        auto source = ScriptedRandomSource::sequence(script);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 5;
        state.intNumbers = 4;
        // One block of nine from the mixed pool: 36 -> 'A', 61 -> 'Z', 9 -> 'j'.
        EXPECT_EQ(ComposePassword(state, 1, *picker), std::string("abcdefAZj"));
        EXPECT_TRUE(state.strLetters.empty());
        EXPECT_TRUE(state.strNumbers.empty());
    }
    {
        auto source = ScriptedRandomSource::sequence({255, 9, 9, 9, 9});
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 0;
        state.intNumbers = 4;
        EXPECT_EQ(ComposePassword(state, 0, *picker), std::string("0000"));
    }
}

TEST(ComposeScripted, OverflowingMixedSumFailsBeforeAnyGeneratorRuns)
{
    const std::int16_t sums[][2] = {{30000, 3000}, {32767, 1}, {1, 32767}, {-32768, -1}, {-20000, -20000}};
    for (const auto &counts : sums) {
        auto source = ScriptedRandomSource::sequence({});
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state = filledState();
        state.intLetters = counts[0];
        state.intNumbers = counts[1];
        expectHostError(HostErrorKind::Overflow, [&] { ComposePassword(state, 1, *picker); });
        EXPECT_EQ(state.strPassword, std::string("oldPassword"));
        EXPECT_EQ(state.strLetters, std::string("oldletters"));
        EXPECT_EQ(state.strNumbers, std::string("0000"));
        EXPECT_TRUE(source.fillSizes.empty()) << "random bytes were drawn before the sum was checked";
    }
    // The same counts in separate mode do not add up: each generator just
    // runs with its own count.
    auto source = ScriptedRandomSource::sequence({});
    auto picker = std::make_unique<UniformPicker>(source);
    MainWindowState state;
    state.intLetters = 30000;
    state.intNumbers = 3000;
    EXPECT_EQ(ComposePassword(state, 0, *picker).size(), 33000);
}

TEST(ComposeScripted, NegativeDigitCountFailsAfterTheLettersAreRenewed)
{
    auto source = ScriptedRandomSource::sequence({7, 4});
    auto picker = std::make_unique<UniformPicker>(source);
    MainWindowState state = filledState();
    state.intLetters = 2;
    state.intNumbers = -1;
    expectHostError(HostErrorKind::InvalidArgument, [&] { ComposePassword(state, 0, *picker); });
    EXPECT_EQ(state.strLetters, std::string("he"));
    EXPECT_EQ(state.strNumbers, std::string("0000"));
    EXPECT_EQ(state.strPassword, std::string("oldPassword"));

    // A negative sum in mixed mode is a negative length for the mixed pool.
    MainWindowState mixed = filledState();
    mixed.intLetters = -5;
    mixed.intNumbers = 3;
    expectHostError(HostErrorKind::InvalidArgument, [&] { ComposePassword(mixed, 1, *picker); });
    EXPECT_EQ(mixed.strPassword, std::string("oldPassword"));
    EXPECT_EQ(mixed.strLetters, std::string("oldletters"));
}
