#include "generation/PasswordStrength.h"

#include "generation/CharacterPools.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace velkrin {

namespace {

// An unsigned 128-bit count in four 32-bit limbs, least significant first:
// wide enough for the exact count up to 38 digits on every target, 32-bit
// ones included.
class Count {
public:
    // *this *= factor; false once the product no longer fits 128 bits.
    bool multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t &limb : m_limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        return carry == 0;
    }

    bool isOne() const { return m_limbs[0] == 1 && m_limbs[1] == 0 && m_limbs[2] == 0 && m_limbs[3] == 0; }

    // Decimal digits, most significant first.
    std::string digits() const
    {
        std::array<std::uint32_t, 4> rest = m_limbs;
        std::string reversed;
        do {
            // One long division by 10^9 yields nine digits at a time.
            std::uint64_t remainder = 0;
            for (auto limb = rest.rbegin(); limb != rest.rend(); ++limb) {
                const std::uint64_t part = (remainder << 32) | *limb;
                *limb = static_cast<std::uint32_t>(part / 1'000'000'000u);
                remainder = part % 1'000'000'000u;
            }
            const bool more = rest[0] != 0 || rest[1] != 0 || rest[2] != 0 || rest[3] != 0;
            for (int i = 0; i < 9 && (more || remainder != 0 || reversed.empty()); ++i) {
                reversed.push_back(static_cast<char>('0' + remainder % 10));
                remainder /= 10;
            }
            if (!more)
                break;
        } while (true);
        return std::string(reversed.rbegin(), reversed.rend());
    }

private:
    std::array<std::uint32_t, 4> m_limbs{1, 0, 0, 0};
};

// pool^length into `count`; false once it no longer fits.
bool multiplyPower(Count &count, unsigned pool, int length)
{
    for (int i = 0; i < length; ++i) {
        if (!count.multiply(pool))
            return false;
    }
    return true;
}

// Digits in groups of three, as the window's English text writes numbers
// whatever the locale.
std::string groupedDigits(const Count &value)
{
    std::string digits = value.digits();
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

std::string bandFor(double bits)
{
    if (bits < 40)
        return "poor";
    if (bits < 75)
        return "weak";
    if (bits < 100)
        return "good";
    return "excellent";
}

// One decimal, with a point whatever the locale.
std::string oneDecimal(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

} // namespace

std::string refusedStrengthText()
{
    return "No password can be made from these counts";
}

std::string passwordStrengthText(std::int16_t letters, std::int16_t digits, bool mixed)
{
    // The same counts that Create refuses: a negative length, or in mixed
    // mode a sum outside 16 bits.
    const int sum = int{letters} + int{digits};
    const bool sumFits = sum <= std::numeric_limits<std::int16_t>::max();
    if (mixed ? (sum < 0 || !sumFits) : (letters < 0 || digits < 0))
        return refusedStrengthText();

    const auto pool = [](std::string_view p) { return static_cast<unsigned>(p.size()); };
    double bits = 0;
    Count count;
    bool exact = true;
    if (mixed) {
        bits = sum * std::log2(double(pool(kMixedPool)));
        exact = multiplyPower(count, pool(kMixedPool), sum);
    } else {
        bits = letters * std::log2(double(pool(kLetterPool))) + digits * std::log2(double(pool(kDigitPool)));
        exact = multiplyPower(count, pool(kLetterPool), letters) && multiplyPower(count, pool(kDigitPool), digits);
    }

    std::string number;
    if (exact) {
        number = groupedDigits(count) + (count.isOne() ? " possible password" : " possible passwords");
    } else {
        const double decimals = bits * std::log10(2.0);
        double exponent = std::floor(decimals);
        double mantissa = std::pow(10.0, decimals - exponent);
        if (mantissa >= 9.95) { // would print as 10.0
            mantissa /= 10;
            exponent += 1;
        }
        number = "about " + oneDecimal(mantissa) + " \u00d7 10^" + std::to_string(static_cast<long long>(exponent)) +
                 " possible passwords";
    }
    return number + ", about " + std::to_string(std::lround(bits)) + " bits: " + bandFor(bits);
}

} // namespace velkrin
