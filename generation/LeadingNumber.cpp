#include "generation/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace velkrin {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

double leadingNumber(std::string_view text) noexcept
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Scan the mantissa ourselves so that only this grammar reaches from_chars
    // (which would otherwise also take "inf", "nan" and so on).
    const std::size_t mantissaBegin = i;
    long long integerDigits = 0; // significant digits before the point
    long long leadingFractionZeros = 0;
    bool seenNonZero = false;
    bool anyDigit = false;
    while (i < n && isDigit(text[i])) {
        anyDigit = true;
        if (text[i] != '0')
            seenNonZero = true;
        if (seenNonZero)
            ++integerDigits;
        ++i;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            anyDigit = true;
            if (text[i] != '0')
                seenNonZero = true;
            else if (!seenNonZero)
                ++leadingFractionZeros;
            ++i;
        }
    }
    if (!anyDigit)
        return 0.0;

    // The exponent counts only when at least one digit follows the marker.
    long long exponent = 0;
    std::size_t end = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            constexpr long long saturate = 1'000'000'000LL;
            while (j < n && isDigit(text[j])) {
                if (exponent < saturate)
                    exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (expNegative)
                exponent = -exponent;
            end = j;
        }
    }

    if (!seenNonZero)
        return negative ? -0.0 : 0.0;

    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(text.data() + mantissaBegin, text.data() + end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Decide by the decimal magnitude whether it overflowed or underflowed.
        const long long magnitude = exponent + (integerDigits > 0 ? integerDigits : -leadingFractionZeros);
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || ptr != text.data() + end) {
        return 0.0; // cannot happen for the text scanned above
    }
    return negative ? -value : value;
}

} // namespace velkrin
