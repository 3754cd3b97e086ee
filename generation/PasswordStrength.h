#pragma once

#include <cstdint>
#include <string>

namespace velkrin {

// How strong the passwords that Create makes from these counts are, as the
// count boxes tell it: "17,576,000 possible passwords, about 24 bits: poor".
// Every character is an independent uniform pick from its pool, so the number
// of possible passwords is exact (26^letters * 10^digits, or 62^(letters +
// digits) in mixed mode); it is written out in full while it fits 128 bits.
// The bands are KeePassXC's: poor under 40 bits, weak under 75, good under
// 100, excellent from 100.
std::string passwordStrengthText(std::int16_t letters, std::int16_t digits, bool mixed);

// What the boxes tell while Create refuses the counts.
std::string refusedStrengthText();

} // namespace velkrin
