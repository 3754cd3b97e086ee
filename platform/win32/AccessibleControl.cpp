#include "platform/win32/AccessibleControl.h"

#include "platform/SecureWipe.h"
#include "platform/win32/CommonControls.h"

#include <commctrl.h>

namespace velkrin::win32 {

namespace {

LRESULT CALLBACK textProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == WM_GETOBJECT) {
        const auto &text = *reinterpret_cast<const std::shared_ptr<const AccessibleText> *>(data);
        if (const LRESULT served =
                serveAccessible(wParam, lParam, [&] { return new AccessibleControl(control, text); }))
            return served;
    }
    return defSubclassProc(control, message, wParam, lParam);
}

} // namespace

AccessibleControl::AccessibleControl(HWND control, std::weak_ptr<const AccessibleText> text)
    : AccessibleObject(control), m_text(std::move(text))
{
}

HRESULT AccessibleControl::get_accName(VARIANT child, BSTR *name)
{
    if (isSelf(child)) {
        const std::shared_ptr<const AccessibleText> text = m_text.lock();
        if (!text)
            return CO_E_OBJNOTCONNECTED;
        if (text->name) {
            // A name may be a password (the notice's): our copy is wiped
            // once handed over.
            std::wstring ours = text->name();
            const HRESULT result = ours.empty() ? E_FAIL : answer(ours, name);
            secureWipe(ours.data(), ours.size() * sizeof(wchar_t));
            if (result != E_FAIL)
                return result;
        }
    }
    return AccessibleObject::get_accName(child, name);
}

HRESULT AccessibleControl::get_accDescription(VARIANT child, BSTR *description)
{
    if (isSelf(child)) {
        const std::shared_ptr<const AccessibleText> text = m_text.lock();
        if (!text)
            return CO_E_OBJNOTCONNECTED;
        if (text->description) {
            std::wstring ours = text->description();
            if (!ours.empty())
                return answer(ours, description);
        }
    }
    return AccessibleObject::get_accDescription(child, description);
}

void serveAccessibleText(HWND control, const std::shared_ptr<const AccessibleText> *text)
{
    setWindowSubclass(control, textProc, 0, reinterpret_cast<DWORD_PTR>(text));
}

} // namespace velkrin::win32
