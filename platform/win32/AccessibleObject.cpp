#include "platform/win32/AccessibleObject.h"

namespace velkrin::win32 {

AccessibleObject::AccessibleObject(HWND window) : m_window(window)
{
    if (FAILED(
            createStdAccessibleObject(window, OBJID_CLIENT, accessibleIid(), reinterpret_cast<void **>(&m_standard))))
        m_standard = nullptr;
}

AccessibleObject::~AccessibleObject()
{
    if (m_standard)
        m_standard->Release();
}

HRESULT AccessibleObject::answer(const std::wstring &text, BSTR *out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleObject::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == accessibleIid()) {
        *object = static_cast<IAccessible *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG AccessibleObject::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// Screen readers call IAccessible directly; late binding is not offered.
HRESULT AccessibleObject::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *)
{
    return E_NOTIMPL;
}

// The rest is the standard object's.
#define VELKRIN_DELEGATE(call)                                                                                         \
    if (!m_standard)                                                                                                   \
        return E_FAIL;                                                                                                 \
    return m_standard->call

HRESULT AccessibleObject::get_accParent(IDispatch **parent)
{
    VELKRIN_DELEGATE(get_accParent(parent));
}
HRESULT AccessibleObject::get_accChildCount(long *count)
{
    VELKRIN_DELEGATE(get_accChildCount(count));
}
HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch **object)
{
    VELKRIN_DELEGATE(get_accChild(child, object));
}
HRESULT AccessibleObject::get_accName(VARIANT child, BSTR *name)
{
    VELKRIN_DELEGATE(get_accName(child, name));
}
HRESULT AccessibleObject::get_accValue(VARIANT child, BSTR *value)
{
    VELKRIN_DELEGATE(get_accValue(child, value));
}
HRESULT AccessibleObject::get_accDescription(VARIANT child, BSTR *description)
{
    VELKRIN_DELEGATE(get_accDescription(child, description));
}
HRESULT AccessibleObject::get_accRole(VARIANT child, VARIANT *role)
{
    VELKRIN_DELEGATE(get_accRole(child, role));
}
HRESULT AccessibleObject::get_accState(VARIANT child, VARIANT *state)
{
    VELKRIN_DELEGATE(get_accState(child, state));
}
HRESULT AccessibleObject::get_accHelp(VARIANT child, BSTR *help)
{
    VELKRIN_DELEGATE(get_accHelp(child, help));
}
HRESULT AccessibleObject::get_accHelpTopic(BSTR *file, VARIANT child, long *topic)
{
    VELKRIN_DELEGATE(get_accHelpTopic(file, child, topic));
}
HRESULT AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR *shortcut)
{
    VELKRIN_DELEGATE(get_accKeyboardShortcut(child, shortcut));
}
HRESULT AccessibleObject::get_accFocus(VARIANT *child)
{
    VELKRIN_DELEGATE(get_accFocus(child));
}
HRESULT AccessibleObject::get_accSelection(VARIANT *children)
{
    VELKRIN_DELEGATE(get_accSelection(children));
}
HRESULT AccessibleObject::get_accDefaultAction(VARIANT child, BSTR *action)
{
    VELKRIN_DELEGATE(get_accDefaultAction(child, action));
}
HRESULT AccessibleObject::accSelect(long flags, VARIANT child)
{
    VELKRIN_DELEGATE(accSelect(flags, child));
}
HRESULT AccessibleObject::accLocation(long *left, long *top, long *width, long *height, VARIANT child)
{
    VELKRIN_DELEGATE(accLocation(left, top, width, height, child));
}
HRESULT AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT *end)
{
    VELKRIN_DELEGATE(accNavigate(direction, start, end));
}
HRESULT AccessibleObject::accHitTest(long left, long top, VARIANT *child)
{
    VELKRIN_DELEGATE(accHitTest(left, top, child));
}
HRESULT AccessibleObject::accDoDefaultAction(VARIANT child)
{
    VELKRIN_DELEGATE(accDoDefaultAction(child));
}

#undef VELKRIN_DELEGATE

// Names and values are the program's to set, not a client's.
HRESULT AccessibleObject::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

} // namespace velkrin::win32
