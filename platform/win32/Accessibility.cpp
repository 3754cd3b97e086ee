#include "platform/win32/Accessibility.h"

#include "platform/windows/SystemLibrary.h"

namespace velkrin::win32 {

LRESULT lresultFromObject(REFIID iid, WPARAM wParam, IUnknown *object)
{
    static auto *const call = systemFunction<decltype(LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    return call ? call(iid, wParam, object) : static_cast<LRESULT>(E_NOTIMPL);
}

HRESULT createStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void **object)
{
    static auto *const call =
        systemFunction<decltype(CreateStdAccessibleObject)>(L"oleacc.dll", "CreateStdAccessibleObject");
    return call ? call(window, objectId, iid, object) : E_NOTIMPL;
}

} // namespace velkrin::win32
