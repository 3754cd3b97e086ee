#pragma once

#include <cstdint>

namespace velkrin {

class UniformPicker;

// The three generators as the compose step calls them. The window offers them
// as its public methods; each fills one field of the main-window state with
// plngLength characters of its pool (see RandomGenerators.h).
class PasswordGenerators {
public:
    virtual void RandomLetters(std::int32_t plngLength) = 0;  // strLetters
    virtual void RandomNumbers(std::int32_t plngLength) = 0;  // strNumbers
    virtual void RandomPassword(std::int32_t plngLength) = 0; // strPassword
    // What they draw from: the compose step opens one draw for a whole
    // password on it.
    virtual UniformPicker &picker() = 0;

protected:
    ~PasswordGenerators() = default;
};

} // namespace velkrin
