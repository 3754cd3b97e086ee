#pragma once

#include "generation/MainWindowState.h"
#include "generation/UniformPicker.h"

#include <cstdint>

namespace velkrin {

// Each fills one field of the state with plngLength characters drawn
// uniformly, with replacement, from its pool; the other fields are untouched.
// A negative length raises HostError(InvalidArgument) before the field is
// touched.
void RandomLetters(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker);  // strLetters
void RandomNumbers(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker);  // strNumbers
void RandomPassword(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker); // strPassword

} // namespace velkrin
