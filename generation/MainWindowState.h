#pragma once

#include <QString>
#include <cstdint>

namespace velkrin {

// The main window's own fields. The three strings are the generators' output
// buffers; the counts are what the user asked for.
struct MainWindowState {
    QString strPassword;         // output of RandomPassword
    QString strLetters;          // output of RandomLetters
    QString strNumbers;          // output of RandomNumbers
    std::int16_t intLetters = 0; // wanted number of letters
    std::int16_t intNumbers = 0; // wanted number of digits
};

} // namespace velkrin
