#include "platform/win32/CommonControls.h"

#include "platform/windows/SystemLibrary.h"

namespace velkrin::win32 {

namespace {

template <class Function>
Function *comctl32(const char *name)
{
    return systemFunction<Function>(L"comctl32.dll", name);
}

} // namespace

BOOL initCommonControls(const INITCOMMONCONTROLSEX &classes)
{
    static auto *const call = comctl32<decltype(InitCommonControlsEx)>("InitCommonControlsEx");
    return call && call(&classes);
}

BOOL setWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data)
{
    static auto *const call = comctl32<decltype(SetWindowSubclass)>("SetWindowSubclass");
    return call && call(window, procedure, id, data);
}

LRESULT defSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static auto *const call = comctl32<decltype(DefSubclassProc)>("DefSubclassProc");
    return call ? call(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

} // namespace velkrin::win32
