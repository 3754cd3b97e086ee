#include "window/CountBoxTip.h"

namespace velkrin {

namespace {

// Characters, not bytes: a UTF-8 continuation byte starts none.
std::size_t characters(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

} // namespace

std::string countBoxTip(std::string_view strength)
{
    // "<count> possible passwords, about <n> bits: <verdict>"; only an exact
    // count makes it that long.
    constexpr std::string_view bits = ", about ";
    const std::size_t at = strength.rfind(bits);
    if (characters(strength) <= kTipCharacters || at == std::string_view::npos)
        return std::string(strength);
    return "About " + std::string(strength.substr(at + bits.size()));
}

} // namespace velkrin
