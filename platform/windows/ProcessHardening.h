#pragma once

namespace velkrin::win32 {

// Done first thing in wWinMain. Returns false if the process's access list
// could not be set (the program runs on: the rest still holds).
// alsoAllowed: process rights the user's other programs are given besides
// waiting, asking the name and ending it (the end-to-end tests' build only).
bool hardenProcess(unsigned long alsoAllowed = 0);

} // namespace velkrin::win32
