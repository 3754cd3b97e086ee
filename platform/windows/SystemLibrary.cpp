#include "platform/windows/SystemLibrary.h"

namespace velkrin::win32 {

FARPROC systemProcedure(const wchar_t *dll, const char *name) noexcept
{
    // Loaded for good: the reference is the process's until it ends.
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? GetProcAddress(module, name) : nullptr;
}

} // namespace velkrin::win32
