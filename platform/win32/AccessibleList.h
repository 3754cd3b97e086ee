#pragma once

#include "platform/win32/AccessibleControl.h"
#include "platform/win32/Win32Controls.h"

namespace velkrin::win32 {

// List1's rows for screen readers. The list box is owner-data, so Windows
// holds no row text and its own object names every row "": here each row is
// read from the program's store as it is asked for, by the same text the row
// shows, and Windows is handed no copy of the list.
class AccessibleList final : public AccessibleControl {
public:
    AccessibleList(HWND list, std::weak_ptr<const AccessibleText> text, std::weak_ptr<const Win32ListBox> rows);
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override;
    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height, VARIANT child) override;

private:
    // The row a child id names (children count from 1), or -1 for the list
    // itself; false when it names neither.
    bool rowOf(const VARIANT &child, const Win32ListBox &rows, std::int64_t &row) const;

    std::weak_ptr<const Win32ListBox> m_rows;
};

// From now on the list's WM_GETOBJECT answers with an AccessibleList over
// *text and *rows, which must outlive the list's window.
void serveAccessibleList(HWND list, const std::shared_ptr<const AccessibleText> *text,
                         const std::shared_ptr<const Win32ListBox> *rows);

} // namespace velkrin::win32
