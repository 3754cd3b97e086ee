#pragma once

namespace velkrin::win32 {

// Done first thing in wWinMain. Returns false if the process's access list
// could not be set (the program runs on: the rest still holds).
bool hardenProcess();

} // namespace velkrin::win32
