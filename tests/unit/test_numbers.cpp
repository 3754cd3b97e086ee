// Reading a count out of a text box: the leading-number conversion, rounding
// into 16 bits, the checked sum and its decimal text.

#include "window/UserMessages.h"
#include "platform/HostError.h"
#include "generation/Int16Arithmetic.h"
#include "generation/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <string>

using namespace velkrin;

namespace {

// What a text box holding `text` makes of the count.
std::int16_t countOf(const std::string &text)
{
    return roundToInt16(leadingNumber(text), std::string("number of letters"));
}

// Runs `f`, expecting HostError of `kind`; returns its message.
template <class F>
std::string expectHostError(HostErrorKind kind, F &&f)
{
    try {
        f();
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), kind);
        return userMessage(e);
    }
    ADD_FAILURE() << "no HostError was raised";
    return {};
}

} // namespace

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText)
{
    EXPECT_EQ(leadingNumber("2.5"), 2.5);
    EXPECT_EQ(leadingNumber("3"), 3.0);
    EXPECT_EQ(leadingNumber("7abc"), 7.0);
    EXPECT_EQ(leadingNumber("1e2"), 100.0);
    EXPECT_EQ(leadingNumber("1E2"), 100.0);
    EXPECT_EQ(leadingNumber("2.5e1"), 25.0);
    EXPECT_EQ(leadingNumber("25e-1"), 2.5);
    EXPECT_EQ(leadingNumber("-5"), -5.0);
    EXPECT_EQ(leadingNumber("+4"), 4.0);
    EXPECT_EQ(leadingNumber("   12"), 12.0);
    EXPECT_EQ(leadingNumber("\t 12"), 12.0);
    EXPECT_EQ(leadingNumber(" -3x"), -3.0);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("5."), 5.0);
    EXPECT_EQ(leadingNumber("007"), 7.0);
    EXPECT_EQ(leadingNumber("1,5"), 1.0); // a comma is never a decimal point
    EXPECT_EQ(leadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber("3e1.5"), 30.0); // the exponent takes digits only
    EXPECT_EQ(leadingNumber("123456789012345678901234567890"), 1.2345678901234568e29);
    // Many mantissa digits balanced by a large negative exponent.
    EXPECT_EQ(leadingNumber("1" + std::string(400, '0') + "e-400"), 1.0);
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1e401"), 1.0);
}

TEST(LeadingNumber, TextWithoutALeadingNumberCountsAsZero)
{
    for (const char *text : {"", "abc", " ", "+", "-", ".", "-.", "+.e5", "e5", "x1", "++4", "+-4"})
        EXPECT_EQ(leadingNumber(text), 0.0) << '"' << text << '"';
}

TEST(LeadingNumber, AnIncompleteExponentIsIgnored)
{
    EXPECT_EQ(leadingNumber("1e"), 1.0);
    EXPECT_EQ(leadingNumber("1e+"), 1.0);
    EXPECT_EQ(leadingNumber("1e-"), 1.0);
    EXPECT_EQ(leadingNumber("2.5E"), 2.5);
    EXPECT_EQ(leadingNumber("4ex"), 4.0);
    EXPECT_EQ(leadingNumber("4e 2"), 4.0);
}

TEST(LeadingNumber, InfinityNanAndHexAreNotNumbers)
{
    for (const char *text : {"inf", "INF", "infinity", "-inf", "nan", "NaN", "-nan", "nan(1)", "0x"})
        EXPECT_EQ(leadingNumber(text), 0.0) << text;
    // Reading stops at the 'x'.
    EXPECT_EQ(leadingNumber("0x10"), 0.0);
    EXPECT_EQ(leadingNumber("0x1p4"), 0.0);
    EXPECT_EQ(leadingNumber("1x10"), 1.0);
    EXPECT_EQ(leadingNumber("12inf"), 12.0);
}

TEST(LeadingNumber, HugeAndTinyExponents)
{
    EXPECT_EQ(leadingNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("1e308"), 1e308);
    EXPECT_EQ(leadingNumber("0.0001e310"), 1e306);
    EXPECT_EQ(leadingNumber("1e-400"), 0.0);
    EXPECT_EQ(leadingNumber("-1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(leadingNumber("-1e-400")));
    EXPECT_EQ(leadingNumber("0e999999999999"), 0.0);

    // Exponents with 30 or more digits: whatever the digits, never wrapped
    // round into a small or negative exponent.
    const std::string nines(30, '9');
    for (const std::string &exponent :
         {nines, std::string(30, '7'), std::string(30, '8'), std::string("123456789123456789123456789123"),
          std::string("9223372036854775808"), std::string(60, '9')}) {
        SCOPED_TRACE(exponent);
        EXPECT_EQ(leadingNumber("1e" + exponent), std::numeric_limits<double>::infinity());
        EXPECT_EQ(leadingNumber("1e+" + exponent), std::numeric_limits<double>::infinity());
        EXPECT_EQ(leadingNumber("-0.5e" + exponent), -std::numeric_limits<double>::infinity());
        EXPECT_EQ(leadingNumber("1e-" + exponent), 0.0);
        EXPECT_EQ(leadingNumber("0.5E-" + exponent), 0.0);
    }
    EXPECT_EQ(leadingNumber("1e" + std::string(29, '0') + "2"), 100.0);
    EXPECT_EQ(leadingNumber("1e-" + std::string(29, '0') + "2"), 0.01);
    // A long run of zeros after the point does not fool the range check:
    // 0.(409 zeros)1e400 is 1e-10.
    EXPECT_EQ(leadingNumber("0." + std::string(409, '0') + "1e400"), 1e-10);

    // Such values still end as a count error or 0, never as a wrong count.
    expectHostError(HostErrorKind::Overflow, [] { countOf("1e400"); });
    expectHostError(HostErrorKind::Overflow, [] { countOf("-1e400"); });
    expectHostError(HostErrorKind::Overflow, [&] { countOf("9e" + nines); });
    EXPECT_EQ(countOf("1e-400"), 0);
    EXPECT_EQ(countOf("1e-" + nines), 0);
}

TEST(LeadingNumber, DecimalPointIsAPointWhateverTheLocale)
{
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    const std::locale savedCpp;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (package locales-all)";
    std::locale::global(std::locale("de_DE.UTF-8"));
    // Make sure the locale really uses a decimal comma, or the test proves nothing.
    const std::string point = std::localeconv()->decimal_point;

    const double twoAndAHalf = leadingNumber("2.5");
    const double twoCommaFive = leadingNumber("2,5");
    const double hundred = leadingNumber("1e2");
    const std::int16_t count = countOf("3.5");
    const std::string sumText = int16Text(-1234);

    std::locale::global(savedCpp);
    std::setlocale(LC_ALL, savedC.c_str());

    ASSERT_EQ(point, ",");
    EXPECT_EQ(twoAndAHalf, 2.5);
    EXPECT_EQ(twoCommaFive, 2.0);
    EXPECT_EQ(hundred, 100.0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(sumText, std::string("-1234")); // no digit grouping
}

TEST(RoundToInt16, RoundsHalfwayCasesToEven)
{
    EXPECT_EQ(countOf("2.5"), 2);
    EXPECT_EQ(countOf("3.5"), 4);
    EXPECT_EQ(countOf("7abc"), 7);
    EXPECT_EQ(countOf("1e2"), 100);
    EXPECT_EQ(countOf(""), 0);
    EXPECT_EQ(countOf("abc"), 0);
    EXPECT_EQ(countOf("-5"), -5);
    EXPECT_EQ(countOf("+4"), 4);
    EXPECT_EQ(countOf("  9"), 9);

    const std::string what = std::string("count");
    EXPECT_EQ(roundToInt16(0.5, what), 0);
    EXPECT_EQ(roundToInt16(1.5, what), 2);
    EXPECT_EQ(roundToInt16(-0.5, what), 0);
    EXPECT_EQ(roundToInt16(-2.5, what), -2);
    EXPECT_EQ(roundToInt16(-3.5, what), -4);
    EXPECT_EQ(roundToInt16(2.4999999, what), 2);
    EXPECT_EQ(roundToInt16(2.5000001, what), 3);
    EXPECT_EQ(roundToInt16(-0.0, what), 0);
}

TEST(RoundToInt16, HonoursNearestEvenUnderAnyFloatingPointRoundingMode)
{
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    const std::int16_t up = roundToInt16(2.5, std::string("count"));
    const std::int16_t upNeg = roundToInt16(-3.7, std::string("count"));
    std::fesetround(FE_TOWARDZERO);
    const std::int16_t zero = roundToInt16(3.5, std::string("count"));
    const int modeAfter = std::fegetround();
    std::fesetround(saved);

    EXPECT_EQ(up, 2);
    EXPECT_EQ(upNeg, -4);
    EXPECT_EQ(zero, 4);
    EXPECT_EQ(modeAfter, FE_TOWARDZERO) << "the caller's rounding mode must be restored";
}

TEST(RoundToInt16, OutsideTheSixteenBitRangeIsAnOverflow)
{
    const std::string what = std::string("number of digits");
    EXPECT_EQ(roundToInt16(32767.0, what), 32767);
    EXPECT_EQ(roundToInt16(32767.4, what), 32767);
    EXPECT_EQ(roundToInt16(32766.5, what), 32766);
    EXPECT_EQ(roundToInt16(-32768.0, what), -32768);
    EXPECT_EQ(roundToInt16(-32768.5, what), -32768); // tie rounds to the even -32768
    EXPECT_EQ(roundToInt16(-32768.4, what), -32768);

    // 32767.5 is a tie that rounds to the even 32768: out of range.
    for (double value :
         {32767.5, 32768.0, 40000.0, -40000.0, -32768.6, -32769.5, 1e10, -1e10, std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        const std::string message = expectHostError(HostErrorKind::Overflow, [&] { roundToInt16(value, what); });
        EXPECT_TRUE((message.find(what) != std::string::npos)) << value << ": " << message;
    }
    expectHostError(HostErrorKind::Overflow, [] { countOf("40000"); });
    expectHostError(HostErrorKind::Overflow, [] { countOf("-40000"); });
    expectHostError(HostErrorKind::Overflow, [] { countOf("32767.5"); });
    EXPECT_EQ(countOf("-32768.5"), -32768);
}

TEST(CheckedAddInt16, SumsInsideTheRangeAndRaisesOverflowOutside)
{
    const std::string what = std::string("total number of characters");
    EXPECT_EQ(checkedAddInt16(3, 3, what), 6);
    EXPECT_EQ(checkedAddInt16(-5, 3, what), -2);
    EXPECT_EQ(checkedAddInt16(32767, 0, what), 32767);
    EXPECT_EQ(checkedAddInt16(16383, 16384, what), 32767);
    EXPECT_EQ(checkedAddInt16(-32768, 0, what), -32768);
    EXPECT_EQ(checkedAddInt16(-16384, -16384, what), -32768);
    EXPECT_EQ(checkedAddInt16(32767, -32768, what), -1);

    const std::int16_t overflowing[][2] = {{32767, 1},   {1, 32767},       {16384, 16384}, {30000, 3000},
                                           {-32768, -1}, {-16385, -16384}, {32767, 32767}, {-32768, -32768}};
    for (const auto &pair : overflowing) {
        const std::string message =
            expectHostError(HostErrorKind::Overflow, [&] { checkedAddInt16(pair[0], pair[1], what); });
        EXPECT_TRUE((message.find(what) != std::string::npos)) << message;
    }
}

TEST(Int16Text, PlainDecimalWithMinusAndNoLeadingSpace)
{
    EXPECT_EQ(int16Text(6), std::string("6"));
    EXPECT_EQ(int16Text(0), std::string("0"));
    EXPECT_EQ(int16Text(-2), std::string("-2"));
    EXPECT_EQ(int16Text(15), std::string("15"));
    EXPECT_EQ(int16Text(32767), std::string("32767"));
    EXPECT_EQ(int16Text(-32768), std::string("-32768"));
    EXPECT_EQ(int16Text(10000), std::string("10000"));
}
