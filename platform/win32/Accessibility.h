#pragma once

#include <windows.h>

#include <oleacc.h>

namespace velkrin::win32 {

// The calls the window makes into oleacc.dll, which is loaded from System32
// at the first of them rather than imported (platform/windows/
// SystemLibrary.h says why). Each fails as the call it stands for would when
// the DLL or the function is missing.
LRESULT lresultFromObject(REFIID iid, WPARAM wParam, IUnknown *object);
HRESULT createStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void **object);

} // namespace velkrin::win32
