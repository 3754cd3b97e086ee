// The three generators and the compose step, with the real secure source for
// the shape of the output and a scripted one where the exact text matters.

#include "ScriptedRandomSource.h"

#include "generation/MainWindowState.h"
#include "generation/RandomGenerators.h"
#include "platform/HostError.h"
#include "platform/SodiumRandomSource.h"
#include "generation/UniformPicker.h"
#include "support/StateGenerators.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

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
const QString kLetters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
const QString kDigits = QStringLiteral("1234567890");
const QString kMixed = QStringLiteral("abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");

using Generator = void (*)(MainWindowState &, std::int32_t, UniformPicker &);

struct GeneratorCase {
    const char *name;
    Generator generate;
    QString MainWindowState::*field;
    const QString *pool;
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
    state.strPassword = QStringLiteral("oldPassword");
    state.strLetters = QStringLiteral("oldletters");
    state.strNumbers = QStringLiteral("0000");
    return state;
}

void expectFromPool(const QString &text, const QString &pool)
{
    for (QChar c : text)
        ASSERT_TRUE(pool.contains(c)) << "'" << c.toLatin1() << "' is not in " << pool.toStdString();
}

template <class F>
void expectHostError(HostErrorKind kind, F &&f)
{
    try {
        f();
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), kind) << e.message().toStdString();
        return;
    }
    ADD_FAILURE() << "no HostError was raised";
}

class Generators : public ::testing::Test {
protected:
    SodiumRandomSource source;
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
            const QString &out = state.*g.field;
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
        const QString &out = state.*g.field;
        std::set<QChar> seen(out.begin(), out.end());
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(g.pool->size()));
    }
}

TEST_F(Generators, ShorterOutputReplacesLongerAndLeavesEarlierCopiesAlone)
{
    MainWindowState state;
    RandomPassword(state, 40, *picker);
    const QString earlier = state.strPassword; // shares the field's buffer
    const std::u16string earlierText = earlier.toStdU16String();
    RandomPassword(state, 6, *picker);
    EXPECT_EQ(state.strPassword.size(), 6);
    EXPECT_EQ(earlier.toStdU16String(), earlierText) << "a copy taken before changed with the field";

    // Same length: the field may reuse its buffer, but not one a copy shares.
    const QString sameSize = state.strPassword;
    const std::u16string sameSizeText = sameSize.toStdU16String();
    RandomPassword(state, 6, *picker);
    EXPECT_EQ(sameSize.toStdU16String(), sameSizeText);
}

TEST_F(Generators, ZeroLengthEmptiesOnlyItsField)
{
    for (const auto &g : kGenerators) {
        SCOPED_TRACE(g.name);
        MainWindowState state = filledState();
        const MainWindowState before = state;
        g.generate(state, 0, *picker);
        EXPECT_TRUE((state.*g.field).isEmpty());
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
            EXPECT_EQ(state.strPassword, QStringLiteral("oldPassword"));
            EXPECT_EQ(state.strLetters, QStringLiteral("oldletters"));
            EXPECT_EQ(state.strNumbers, QStringLiteral("0000"));
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
        EXPECT_EQ(state.strNumbers, QStringLiteral("1234567890")); // index 9 is '0'
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
        EXPECT_EQ(state.strNumbers, QStringLiteral("01067"));
    }
    {
        // 26 -> '1', 35 -> '0', 36 -> 'A', 61 -> 'Z', 248 rejected, 123 % 62 = 61 -> 'Z'.
        auto source = ScriptedRandomSource::sequence({0, 26, 35, 36, 61, 248, 123});
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        RandomPassword(state, 6, *picker);
        EXPECT_EQ(state.strPassword, QStringLiteral("a10AZZ"));
    }
}

TEST_F(Generators, ComposeSeparateAndMixedModes)
{
    const QRegularExpression threeAndThree(QStringLiteral("^[a-z]{3}[0-9]{3}$"));
    const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    const QRegularExpression fiveMixed(QStringLiteral("^[a-zA-Z0-9]{5}$"));
    for (int run = 0; run < 50; ++run) {
        MainWindowState state = filledState();
        state.intLetters = 3;
        state.intNumbers = 3;
        const QString caption = ComposePassword(state, 0, *picker);
        EXPECT_TRUE(threeAndThree.match(caption).hasMatch()) << caption.toStdString();
        EXPECT_EQ(caption, state.strLetters + state.strNumbers);
        EXPECT_EQ(state.strPassword, QStringLiteral("oldPassword"));

        // Grayed (2) composes as if clear.
        const QString grayed = ComposePassword(state, 2, *picker);
        EXPECT_TRUE(threeAndThree.match(grayed).hasMatch()) << grayed.toStdString();
        EXPECT_EQ(state.strPassword, QStringLiteral("oldPassword"));

        state.intLetters = 0;
        state.intNumbers = 4;
        const QString digits = ComposePassword(state, 0, *picker);
        EXPECT_TRUE(fourDigits.match(digits).hasMatch()) << digits.toStdString();
        EXPECT_TRUE(state.strLetters.isEmpty());

        MainWindowState mixed = filledState();
        mixed.intLetters = 5;
        mixed.intNumbers = 0;
        const QString five = ComposePassword(mixed, 1, *picker);
        EXPECT_TRUE(fiveMixed.match(five).hasMatch()) << five.toStdString();
        EXPECT_EQ(five, mixed.strPassword);
        EXPECT_EQ(mixed.strLetters, QStringLiteral("oldletters"));
        EXPECT_EQ(mixed.strNumbers, QStringLiteral("0000"));
    }
    // Mixed mode draws from all three parts of its pool.
    MainWindowState state;
    state.intLetters = 3000;
    state.intNumbers = 3000;
    const QString big = ComposePassword(state, 1, *picker);
    ASSERT_EQ(big.size(), 6000);
    EXPECT_TRUE(big.contains(QRegularExpression(QStringLiteral("[a-z]"))));
    EXPECT_TRUE(big.contains(QRegularExpression(QStringLiteral("[A-Z]"))));
    EXPECT_TRUE(big.contains(QRegularExpression(QStringLiteral("[0-9]"))));
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
        EXPECT_EQ(ComposePassword(state, 0, *picker), QStringLiteral("abc456"));
        EXPECT_EQ(state.strLetters, QStringLiteral("abc"));
        EXPECT_EQ(state.strNumbers, QStringLiteral("456"));
    }
    for (std::int16_t grayedOrOther : {std::int16_t{2}, std::int16_t{-1}, std::int16_t{0}}) {
        auto source = ScriptedRandomSource::sequence(script);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 3;
        state.intNumbers = 3;
        EXPECT_EQ(ComposePassword(state, grayedOrOther, *picker), QStringLiteral("abc456")) << grayedOrOther;
        EXPECT_TRUE(state.strPassword.isEmpty());
    }
    {
        auto source = ScriptedRandomSource::sequence(script);
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 5;
        state.intNumbers = 4;
        // One block of nine from the mixed pool: 36 -> 'A', 61 -> 'Z', 9 -> 'j'.
        EXPECT_EQ(ComposePassword(state, 1, *picker), QStringLiteral("abcdefAZj"));
        EXPECT_TRUE(state.strLetters.isEmpty());
        EXPECT_TRUE(state.strNumbers.isEmpty());
    }
    {
        auto source = ScriptedRandomSource::sequence({255, 9, 9, 9, 9});
        auto picker = std::make_unique<UniformPicker>(source);
        MainWindowState state;
        state.intLetters = 0;
        state.intNumbers = 4;
        EXPECT_EQ(ComposePassword(state, 0, *picker), QStringLiteral("0000"));
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
        EXPECT_EQ(state.strPassword, QStringLiteral("oldPassword"));
        EXPECT_EQ(state.strLetters, QStringLiteral("oldletters"));
        EXPECT_EQ(state.strNumbers, QStringLiteral("0000"));
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
    EXPECT_EQ(state.strLetters, QStringLiteral("he"));
    EXPECT_EQ(state.strNumbers, QStringLiteral("0000"));
    EXPECT_EQ(state.strPassword, QStringLiteral("oldPassword"));

    // A negative sum in mixed mode is a negative length for the mixed pool.
    MainWindowState mixed = filledState();
    mixed.intLetters = -5;
    mixed.intNumbers = 3;
    expectHostError(HostErrorKind::InvalidArgument, [&] { ComposePassword(mixed, 1, *picker); });
    EXPECT_EQ(mixed.strPassword, QStringLiteral("oldPassword"));
    EXPECT_EQ(mixed.strLetters, QStringLiteral("oldletters"));
}
