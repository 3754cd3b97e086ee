#include "generation/PasswordStrength.h"

#include "generation/CharacterPools.h"

#include <cmath>
#include <limits>

namespace velkrin {

namespace {

// Wide enough for the exact count up to 38 digits.
__extension__ typedef unsigned __int128 Count;

// pool^length into `count`; false once it no longer fits.
bool multiplyPower(Count &count, unsigned pool, int length)
{
    for (int i = 0; i < length; ++i) {
        if (count > std::numeric_limits<Count>::max() / pool)
            return false;
        count *= pool;
    }
    return true;
}

// Digits in groups of three, as the window's English text writes numbers
// whatever the locale.
QString groupedDigits(Count value)
{
    QString digits;
    do {
        digits.prepend(QChar(u'0' + static_cast<char16_t>(value % 10)));
        value /= 10;
    } while (value != 0);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

QString bandFor(double bits)
{
    if (bits < 40)
        return QStringLiteral("poor");
    if (bits < 75)
        return QStringLiteral("weak");
    if (bits < 100)
        return QStringLiteral("good");
    return QStringLiteral("excellent");
}

} // namespace

QString refusedStrengthText()
{
    return QStringLiteral("No password can be made from these counts");
}

QString passwordStrengthText(std::int16_t letters, std::int16_t digits, bool mixed)
{
    // The same counts that Create refuses: a negative length, or in mixed
    // mode a sum outside 16 bits.
    const int sum = int{letters} + int{digits};
    const bool sumFits = sum <= std::numeric_limits<std::int16_t>::max();
    if (mixed ? (sum < 0 || !sumFits) : (letters < 0 || digits < 0))
        return refusedStrengthText();

    const auto pool = [](QStringView p) { return static_cast<unsigned>(p.size()); };
    double bits = 0;
    Count count = 1;
    bool exact = true;
    if (mixed) {
        bits = sum * std::log2(double(pool(kMixedPool)));
        exact = multiplyPower(count, pool(kMixedPool), sum);
    } else {
        bits = letters * std::log2(double(pool(kLetterPool))) + digits * std::log2(double(pool(kDigitPool)));
        exact = multiplyPower(count, pool(kLetterPool), letters) && multiplyPower(count, pool(kDigitPool), digits);
    }

    QString number;
    if (exact) {
        number = groupedDigits(count) +
                 (count == 1 ? QStringLiteral(" possible password") : QStringLiteral(" possible passwords"));
    } else {
        const double decimals = bits * std::log10(2.0);
        double exponent = std::floor(decimals);
        double mantissa = std::pow(10.0, decimals - exponent);
        if (mantissa >= 9.95) { // would print as 10.0
            mantissa /= 10;
            exponent += 1;
        }
        number = QStringLiteral("about %1 \u00d7 10^%2 possible passwords")
                     .arg(mantissa, 0, 'f', 1)
                     .arg(static_cast<long long>(exponent));
    }
    return QStringLiteral("%1, about %2 bits: %3").arg(number).arg(std::lround(bits)).arg(bandFor(bits));
}

} // namespace velkrin
