#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velkrin::win32 {

// The program's text is UTF-8; Windows' wide API is UTF-16.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

// The system's own sentence for an error code (FormatMessageW), without the
// trailing full stop and line end, so it can end a sentence of ours.
std::string systemMessage(DWORD error);

} // namespace velkrin::win32
