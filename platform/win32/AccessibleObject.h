#pragma once

#include <windows.h>

#include "platform/win32/Accessibility.h"

#include <oleacc.h>

#include <string>

namespace velkrin::win32 {

// What a screen reader asks a control (Microsoft Active Accessibility),
// answered by Windows' own object for that window (CreateStdAccessibleObject)
// except where a subclass knows better. Served from the control's
// WM_GETOBJECT, so other processes reach it through COM.
class AccessibleObject : public IAccessible {
public:
    AccessibleObject(const AccessibleObject &) = delete;
    AccessibleObject &operator=(const AccessibleObject &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
                                     VARIANT *result, EXCEPINFO *exception, UINT *argumentError) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    explicit AccessibleObject(HWND window);
    virtual ~AccessibleObject();

    HWND window() const noexcept { return m_window; }
    // The standard object, or null where Windows made none.
    IAccessible *standard() const noexcept { return m_standard; }
    // text into a new BSTR for the caller; S_FALSE (no text) when empty.
    static HRESULT answer(const std::wstring &text, BSTR *out);

private:
    LONG m_references = 1;
    HWND m_window;
    IAccessible *m_standard = nullptr;
};

// The object itself, not one of its children.
inline bool isSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// IID_IAccessible as the compiler knows it: MinGW's import library makes the
// IID_IAccessible symbol the address of an import thunk instead of the GUID
// in a static link, and COM then marshals an interface nobody knows.
inline const IID &accessibleIid()
{
    return __uuidof(IAccessible);
}

// WM_GETOBJECT's answer: the object for the client area is `make()`, handed
// to the asking process; 0 (Windows answers) for anything else.
template <typename Make>
LRESULT serveAccessible(WPARAM wParam, LPARAM lParam, Make make)
{
    // lParam is compared as a 32-bit value: 64-bit Windows may sign-extend it.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return 0;
    AccessibleObject *object = make();
    const LRESULT result = lresultFromObject(accessibleIid(), wParam, object);
    object->Release();
    return result;
}

} // namespace velkrin::win32
