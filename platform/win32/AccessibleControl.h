#pragma once

#include "platform/win32/AccessibleObject.h"

#include <functional>
#include <memory>
#include <string>

namespace velkrin::win32 {

// What a screen reader is told a control is called and what it does, asked
// afresh each time; an empty answer (or none) leaves Windows' own: a label's
// text, a button's caption.
struct AccessibleText {
    std::function<std::wstring()> name;
    std::function<std::wstring()> description;
};

// A control's object with its name and description from the program. It
// holds the text weakly: a screen reader may keep the object after the
// window is gone, and then hears that it is.
class AccessibleControl : public AccessibleObject {
public:
    AccessibleControl(HWND control, std::weak_ptr<const AccessibleText> text);
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override;

private:
    std::weak_ptr<const AccessibleText> m_text;
};

// From now on the control's WM_GETOBJECT answers with an AccessibleControl
// over *text, which must outlive the control's window.
void serveAccessibleText(HWND control, const std::shared_ptr<const AccessibleText> *text);

} // namespace velkrin::win32
