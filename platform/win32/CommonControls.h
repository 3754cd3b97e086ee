#pragma once

#include <windows.h>

#include <commctrl.h>

namespace velkrin::win32 {

// The few calls the window makes into comctl32.dll, which is loaded from
// System32 at the first of them rather than imported (platform/windows/
// SystemLibrary.h says why). Each fails as the call it stands for would, with
// GetLastError set, when the DLL or the function is missing.
BOOL initCommonControls(const INITCOMMONCONTROLSEX &classes);
BOOL setWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
LRESULT defSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace velkrin::win32
