#pragma once

#include "generation/MainWindowState.h"
#include "generation/PasswordGenerators.h"

#include <cstdint>
#include <string>

namespace velkrin {

// The value of the mixed-mode check box that selects mixed mode; any other
// value (clear, grayed) composes letters then digits.
inline constexpr std::int16_t kMixedModeChecked = 1;

// One new password from the counts in `state`: in mixed mode intLetters +
// intNumbers characters from the mixed pool, otherwise the letters followed
// by the digits. `generators` fill the fields of `state`, which are read
// afterwards. Returns the new caption of the current-password label.
// Errors (overflowing sum, negative count) propagate; the fields renewed
// before the error stay renewed.
std::string ComposePassword(PasswordGenerators &generators, const MainWindowState &state, std::int16_t check1Value);

} // namespace velkrin
