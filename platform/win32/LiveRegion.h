#pragma once

#include "platform/win32/AccessibleControl.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace velkrin::win32 {

// What the window announces (a new password, a new total) for screen
// readers, as Windows documents it for Win32: an unseen static (no text of
// its own, no size) whose accessible name is the announcement, marked a
// polite live region (UI Automation's LiveSetting, set by Dynamic
// Annotation), and EVENT_OBJECT_LIVEREGIONCHANGED raised on each.
class LiveRegion {
public:
    LiveRegion(HWND parent, HINSTANCE instance);
    ~LiveRegion();
    LiveRegion(const LiveRegion &) = delete;
    LiveRegion &operator=(const LiveRegion &) = delete;

    void announce(std::string_view text);
    HWND handle() const noexcept { return m_static; }

private:
    void wipe();

    HWND m_static = nullptr;
    std::wstring m_text; // may be a password: wiped when replaced
    std::shared_ptr<const AccessibleText> m_accessible;
};

} // namespace velkrin::win32
