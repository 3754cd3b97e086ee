#pragma once

#include <windows.h>

namespace velkrin::win32 {

// Windows' own DLLs that are not KnownDLLs (bcrypt, winspool, comctl32,
// oleacc...) are never imported: an imported DLL loads before the program can
// say where from, so one of the same name beside Velkrin.exe (in Downloads,
// say) would be loaded instead. Each is loaded here, from System32 only; the
// manifest's side-by-side redirection still comes first, so comctl32.dll is
// Common Controls 6 where the manifest asks for it.
//
// Null if the DLL or the function is missing (GetLastError says why).
FARPROC systemProcedure(const wchar_t *dll, const char *name) noexcept;

// The function typed as the SDK declares it: systemFunction<decltype(F)>(dll,
// "F"). Looked up once per function, in one place per DLL.
template <class Function>
Function *systemFunction(const wchar_t *dll, const char *name) noexcept
{
    return reinterpret_cast<Function *>(reinterpret_cast<void (*)()>(systemProcedure(dll, name)));
}

} // namespace velkrin::win32
