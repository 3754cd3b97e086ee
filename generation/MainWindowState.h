#pragma once

#include <cstdint>
#include <string>

namespace velkrin {

// The main window's own fields. The three strings are the generators' output
// buffers; the counts are what the user asked for.
struct MainWindowState {
    std::string strPassword;     // output of RandomPassword
    std::string strLetters;      // output of RandomLetters
    std::string strNumbers;      // output of RandomNumbers
    std::int16_t intLetters = 0; // wanted number of letters
    std::int16_t intNumbers = 0; // wanted number of digits
};

} // namespace velkrin
