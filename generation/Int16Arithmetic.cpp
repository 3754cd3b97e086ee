#include "generation/Int16Arithmetic.h"

#include "platform/HostError.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace velkrin {

namespace {

[[noreturn]] void overflow(std::string_view what)
{
    throw HostError(HostErrorKind::Overflow, FailureCause::OutOfRange, std::string(what));
}

} // namespace

std::int16_t roundToInt16(double value, std::string_view what)
{
    if (std::isnan(value))
        overflow(what);
    // Round to nearest-even explicitly rather than trusting whatever rounding
    // mode the process happens to run in.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        overflow(what);
    return static_cast<std::int16_t>(rounded);
}

std::int16_t checkedAddInt16(std::int16_t a, std::int16_t b, std::string_view what)
{
    const int sum = int{a} + int{b};
    if (sum < std::numeric_limits<std::int16_t>::min() || sum > std::numeric_limits<std::int16_t>::max())
        overflow(what);
    return static_cast<std::int16_t>(sum);
}

std::string int16Text(std::int16_t value)
{
    return std::to_string(value);
}

} // namespace velkrin
