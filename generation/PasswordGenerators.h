#pragma once

#include <cstdint>

namespace velkrin {

// The three generators as the compose step calls them. The window offers them
// as its public methods; each fills one field of the main-window state with
// plngLength characters of its pool (see RandomGenerators.h).
class PasswordGenerators {
public:
    virtual void RandomLetters(std::int32_t plngLength) = 0;  // strLetters
    virtual void RandomNumbers(std::int32_t plngLength) = 0;  // strNumbers
    virtual void RandomPassword(std::int32_t plngLength) = 0; // strPassword

protected:
    ~PasswordGenerators() = default;
};

} // namespace velkrin
