#include "platform/win32/AccessibleList.h"

#include "platform/SecureWipe.h"
#include "platform/win32/CommonControls.h"
#include "window/Form1Layout.h"

#include <commctrl.h>

namespace velkrin::win32 {

namespace {

struct ListSources {
    const std::shared_ptr<const AccessibleText> *text;
    const std::shared_ptr<const Win32ListBox> *rows;
};

LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto *sources = reinterpret_cast<ListSources *>(data);
    if (message == WM_GETOBJECT) {
        if (const LRESULT served = serveAccessible(
                wParam, lParam, [&] { return new AccessibleList(list, *sources->text, *sources->rows); }))
            return served;
    } else if (message == WM_NCDESTROY) {
        delete sources;
    }
    return defSubclassProc(list, message, wParam, lParam);
}

} // namespace

AccessibleList::AccessibleList(HWND list, std::weak_ptr<const AccessibleText> text,
                               std::weak_ptr<const Win32ListBox> rows)
    : AccessibleControl(list, std::move(text)), m_rows(std::move(rows))
{
}

bool AccessibleList::rowOf(const VARIANT &child, const Win32ListBox &rows, std::int64_t &row) const
{
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > rows.listCount())
        return false;
    row = static_cast<std::int64_t>(child.lVal) - 1;
    return true;
}

HRESULT AccessibleList::get_accChildCount(long *count)
{
    if (!count)
        return E_INVALIDARG;
    const std::shared_ptr<const Win32ListBox> rows = m_rows.lock();
    if (!rows)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(rows->listCount());
    return S_OK;
}

// Rows are simple elements: their parent answers for them.
HRESULT AccessibleList::get_accChild(VARIANT child, IDispatch **object)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    const std::shared_ptr<const Win32ListBox> rows = m_rows.lock();
    std::int64_t row;
    if (!rows)
        return CO_E_OBJNOTCONNECTED;
    return rowOf(child, *rows, row) ? S_FALSE : E_INVALIDARG;
}

HRESULT AccessibleList::get_accName(VARIANT child, BSTR *name)
{
    const std::shared_ptr<const Win32ListBox> rows = m_rows.lock();
    std::int64_t row;
    if (!rows)
        return CO_E_OBJNOTCONNECTED;
    if (!rowOf(child, *rows, row))
        return E_INVALIDARG;
    if (row < 0)
        return AccessibleControl::get_accName(child, name);
    if (!name)
        return E_INVALIDARG;
    wchar_t text[kListRowCharacters];
    const int length = rows->rowText(row, text);
    *name = SysAllocStringLen(text, static_cast<UINT>(length));
    secureWipe(text, sizeof text);
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleList::get_accRole(VARIANT child, VARIANT *role)
{
    const std::shared_ptr<const Win32ListBox> rows = m_rows.lock();
    std::int64_t row;
    if (!rows)
        return CO_E_OBJNOTCONNECTED;
    if (!role || !rowOf(child, *rows, row))
        return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = row < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
    return S_OK;
}

HRESULT AccessibleList::get_accState(VARIANT child, VARIANT *state)
{
    const std::shared_ptr<const Win32ListBox> rows = m_rows.lock();
    std::int64_t row;
    if (!rows)
        return CO_E_OBJNOTCONNECTED;
    if (!state || !rowOf(child, *rows, row))
        return E_INVALIDARG;
    if (row < 0)
        return AccessibleControl::get_accState(child, state);
    const HWND list = window();
    LONG flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (SendMessageW(list, LB_GETCURSEL, 0, 0) == row)
        flags |= STATE_SYSTEM_SELECTED;
    if (GetFocus() == list && SendMessageW(list, LB_GETCARETINDEX, 0, 0) == row)
        flags |= STATE_SYSTEM_FOCUSED;
    RECT item{}, client{}, shown{};
    GetClientRect(list, &client);
    if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
        !IntersectRect(&shown, &item, &client))
        flags |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    state->vt = VT_I4;
    state->lVal = flags;
    return S_OK;
}

HRESULT AccessibleList::accLocation(long *left, long *top, long *width, long *height, VARIANT child)
{
    const std::shared_ptr<const Win32ListBox> rows = m_rows.lock();
    std::int64_t row;
    if (!rows)
        return CO_E_OBJNOTCONNECTED;
    if (!left || !top || !width || !height || !rowOf(child, *rows, row))
        return E_INVALIDARG;
    if (row < 0)
        return AccessibleControl::accLocation(left, top, width, height, child);
    RECT item{};
    if (SendMessageW(window(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return E_FAIL;
    MapWindowPoints(window(), nullptr, reinterpret_cast<POINT *>(&item), 2); // to the screen
    *left = item.left;
    *top = item.top;
    *width = item.right - item.left;
    *height = item.bottom - item.top;
    return S_OK;
}

void serveAccessibleList(HWND list, const std::shared_ptr<const AccessibleText> *text,
                         const std::shared_ptr<const Win32ListBox> *rows)
{
    setWindowSubclass(list, listProc, 0, reinterpret_cast<DWORD_PTR>(new ListSources{text, rows}));
}

} // namespace velkrin::win32
