// Fuzz target: the path from what the user types into the two count boxes to
// the total caption. Every input is run through the program's own code
// (leadingNumber -> roundToInt16 -> checkedAddInt16 -> int16Text) and through
// an independent reference model, and the two must agree exactly.
//
// Input: lines separated by '\n'. Line 0 is typed into the letters box, line 1
// into the digits box, line 2 into the letters box again, and so on; the boxes
// start at 3 and 3 as after start-up. Each line is one change of a box's text,
// recounted the way the window recounts: the changed box is re-read, its count
// stored, then the sum formed with the other stored count.
//
// What "agree" means:
//  * The value read from a text must be bit-for-bit the double that glibc's
//    strtod (correctly rounded, C locale) gives for the same accepted prefix,
//    including the sign of zero, infinities for overflow and subnormals.
//  * The count is that double rounded to nearest, ties to even, with the
//    overflow error exactly when the rounded value lies outside -32768..32767.
//  * Independently of the double, the text is also read with strtold. Where
//    that long double lies more than 2^-30 away from any half-integer, the
//    count (or the overflow) must follow from it as well. Nearer than that,
//    the exact decimal may round differently from its nearest double, so only
//    the double comparison above applies there.
//  * The sum, whether it overflows, and the caption text must match.
// Any disagreement, crash, sanitizer report or unexpected exception aborts.

#include "platform/HostError.h"
#include "generation/Int16Arithmetic.h"
#include "generation/LeadingNumber.h"

#include "platform/qt/QtText.h"

#include <QString>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void disagree(std::string_view text, const char *what, const std::string &detail)
{
    std::fprintf(stderr, "DISAGREEMENT on text \"%.*s\": %s (%s)\n", static_cast<int>(text.size()), text.data(), what,
                 detail.c_str());
    std::abort();
}

std::string hexDouble(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%a", v);
    return buffer;
}

// ---- Reference model -------------------------------------------------------

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

bool asciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number at the start of `text` as plain text ("" when there is none):
// blanks (space, tab) skipped, then [+-]? digits [. digits] with at least one
// digit in all, then [eE][+-]?digits only if at least one exponent digit.
std::string acceptedPrefix(std::string_view text)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos)
        return {};
    const std::size_t begin = at;
    if (text[at] == '+' || text[at] == '-')
        ++at;
    std::size_t digits = 0;
    for (; at < text.size() && asciiDigit(text[at]); ++at)
        ++digits;
    if (at < text.size() && text[at] == '.')
        for (++at; at < text.size() && asciiDigit(text[at]); ++at)
            ++digits;
    if (digits == 0)
        return {};
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t e = at + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        if (e < text.size() && asciiDigit(text[e])) {
            while (e < text.size() && asciiDigit(text[e]))
                ++e;
            at = e;
        }
    }
    return std::string(text.substr(begin, at - begin));
}

double referenceDouble(const std::string &prefix, std::string_view text)
{
    if (prefix.empty())
        return 0.0;
    char *end = nullptr;
    const double value = strtod_l(prefix.c_str(), &end, cLocale());
    if (end != prefix.c_str() + prefix.size())
        disagree(text, "reference grammar", "strtod did not take the whole prefix " + prefix);
    return value;
}

long double referenceLongDouble(const std::string &prefix)
{
    if (prefix.empty())
        return 0.0L;
    return strtold_l(prefix.c_str(), nullptr, cLocale());
}

// Ties-to-even rounding and range check, without nearbyint or the FPU mode.
std::optional<int> referenceCount(double value)
{
    if (!(value >= -40000.0 && value <= 40000.0)) // NaN, infinities, far out of range
        return std::nullopt;
    const double below = std::floor(value);
    const double fraction = value - below; // exact: |value| is small
    long long rounded = static_cast<long long>(below);
    if (fraction > 0.5 || (fraction == 0.5 && rounded % 2 != 0))
        ++rounded;
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int>(rounded);
}

// The count implied by the exact value, when it lies clearly off a tie.
// Returns false when the long double is too close to a half-integer to say.
bool countFromLongDouble(long double value, std::optional<int> &count)
{
    if (std::isnan(value))
        return false;
    if (value > 40000.0L || value < -40000.0L) {
        count.reset();
        return true;
    }
    const long double nearestHalf = std::floor(value) + 0.5L;
    if (std::fabs(value - nearestHalf) <= 0x1p-30L)
        return false;
    const long long rounded = std::llround(value);
    if (rounded < -32768 || rounded > 32767)
        count.reset();
    else
        count = static_cast<int>(rounded);
    return true;
}

std::string referenceCaption(int sum)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d Random Characters", sum);
    return buffer;
}

// ---- The program's code ----------------------------------------------------

// As the Qt window does: the box's text as a QString, handed over as UTF-8.
std::optional<std::int16_t> programCount(const QString &boxText, std::string_view what, double &valueOut)
{
    valueOut = velkrin::leadingNumber(velkrin::toStdString(boxText));
    try {
        return velkrin::roundToInt16(valueOut, what);
    } catch (const velkrin::HostError &error) {
        if (error.kind() != velkrin::HostErrorKind::Overflow)
            std::abort();
        return std::nullopt;
    }
}

std::optional<std::int16_t> programSum(std::int16_t a, std::int16_t b)
{
    try {
        return velkrin::checkedAddInt16(a, b, "total number of characters");
    } catch (const velkrin::HostError &error) {
        if (error.kind() != velkrin::HostErrorKind::Overflow)
            std::abort();
        return std::nullopt;
    }
}

void checkOneEdit(std::string_view text, std::int16_t &changed, std::int16_t other, bool lettersBox, int &refChanged,
                  int refOther)
{
    // Program.
    const QString boxText = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    double programValue = 0.0;
    const std::optional<std::int16_t> count =
        programCount(boxText, lettersBox ? "number of letters" : "number of digits", programValue);

    // The number grammar is ASCII, so the program must read the raw bytes and
    // the text that went through QString alike.
    const double rawValue = velkrin::leadingNumber(text);
    if (std::bit_cast<std::uint64_t>(rawValue) != std::bit_cast<std::uint64_t>(programValue))
        disagree(text, "value changed by the QString round trip",
                 hexDouble(rawValue) + " vs " + hexDouble(programValue));

    // Reference.
    const std::string prefix = acceptedPrefix(text);
    const double expectedValue = referenceDouble(prefix, text);
    if (std::bit_cast<std::uint64_t>(expectedValue) != std::bit_cast<std::uint64_t>(programValue))
        disagree(text, "value",
                 "program " + hexDouble(programValue) + ", strtod " + hexDouble(expectedValue) + " on \"" + prefix +
                     "\"");

    const std::optional<int> expectedCount = referenceCount(expectedValue);
    if (count.has_value() != expectedCount.has_value() || (count && *count != *expectedCount))
        disagree(text, "count",
                 (count ? std::to_string(*count) : "overflow") + " vs expected " +
                     (expectedCount ? std::to_string(*expectedCount) : "overflow"));

    std::optional<int> exactCount;
    if (countFromLongDouble(referenceLongDouble(prefix), exactCount) &&
        (exactCount.has_value() != count.has_value() || (count && *count != *exactCount)))
        disagree(text, "count against the long double value",
                 (count ? std::to_string(*count) : "overflow") + " vs " +
                     (exactCount ? std::to_string(*exactCount) : "overflow"));

    if (!count)
        return; // the error ends the recount; the stored counts stay as they were

    changed = *count;
    refChanged = *expectedCount;

    // Either box: the other box's stored count first, then the new one.
    const std::optional<std::int16_t> sum = programSum(other, changed);
    const int exactSum = refOther + refChanged;
    const bool expectedOverflow = exactSum < -32768 || exactSum > 32767;
    if (sum.has_value() == expectedOverflow || (sum && *sum != exactSum))
        disagree(text, "sum", (sum ? std::to_string(*sum) : "overflow") + " vs exact " + std::to_string(exactSum));
    if (!sum)
        return;

    const std::string caption = velkrin::int16Text(*sum) + " Random Characters";
    const std::string expectedCaption = referenceCaption(exactSum);
    if (caption != expectedCaption)
        disagree(text, "caption", caption + " vs " + expectedCaption);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    // After start-up both boxes read "3".
    std::int16_t letters = 3, numbers = 3;
    int refLetters = 3, refNumbers = 3;

    std::size_t lineStart = 0;
    for (int edit = 0; lineStart <= input.size() && edit < 64; ++edit) {
        std::size_t lineEnd = input.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = input.size();
        const std::string_view text = input.substr(lineStart, lineEnd - lineStart);
        if (edit % 2 == 0)
            checkOneEdit(text, letters, numbers, true, refLetters, refNumbers);
        else
            checkOneEdit(text, numbers, letters, false, refNumbers, refLetters);
        if (letters != refLetters || numbers != refNumbers)
            disagree(text, "stored counts", std::to_string(letters) + "," + std::to_string(numbers));
        lineStart = lineEnd + 1;
    }
    return 0;
}
