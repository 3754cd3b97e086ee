#pragma once

#include "platform/win32/AccessibleControl.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/LiveRegion.h"
#include "platform/win32/SecretClipboard.h"
#include "platform/win32/Win32Controls.h"
#include "window/LayoutResolver.h"
#include "window/SecretCopy.h"
#include "window/TickSchedule.h"
#include "window/WindowPolicy.h"

#include <windows.h>

#include <array>
#include <chrono>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkrin::win32 {

// The main window as native Win32 controls, created from the layout resolved
// at the screen's DPI: frames are group boxes that hold their controls (and
// cut off what lies beyond their edge), the list is owner-data, the fonts are
// a TrueType face at the resolved sizes. Laid out again at a new DPI (the
// process is per-monitor DPI aware). The frame and the states it may take
// follow WindowPolicy.
class Form1Window {
public:
    explicit Form1Window(HINSTANCE instance, std::chrono::milliseconds clipboardClearAfter = SecretCopy::kClearAfter);
    ~Form1Window();
    Form1Window(const Form1Window &) = delete;
    Form1Window &operator=(const Form1Window &) = delete;

    HWND handle() const noexcept { return m_window; }

private:
    ComApartment m_com;       // before every window: their screen-reader objects need it
    Win32WakeUp m_tickWakeUp; // before Timer1, which uses it

public:
    TickSchedule Timer1{m_tickWakeUp};
    Win32PushButton XPButton3, XPButton2, XPButton1, cmdPrint, cmdCreate;
    Win32ListBox List1;
    Win32CheckBox Check1;
    Win32TextBox txtNumbers, txtLetters;
    Win32Label lblRandom, lblPassword;

    // Shows the window centred on the screen with the focus on cmdCreate,
    // then runs the message loop until the window is closed.
    int run(int show);
    void showWarning(std::string_view message);
    // Tells screen readers `text` (a new password, a new total).
    void announce(std::string_view text);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    bool refusesSystemCommand(WPARAM command) const;
    void createControls();
    // Places every control, with its font, as m_layout says.
    void applyLayout();
    // A control that reaches past its frame's edge is cut off inside the
    // frame's border, so that the border stays whole.
    void clipToFrame(std::size_t row);
    // Names and descriptions for screen readers, from the layout table.
    void makeAccessible(std::chrono::milliseconds clipboardClearAfter);
    // The outer size that gives the resolved client area.
    SIZE frameSize() const;
    HFONT font(int pixels, bool bold);
    // The button of that layout row pressed, if the row is a push button.
    void press(std::size_t row);
    void copyCurrentItem() noexcept;
    // A failure that reached the window procedure, shown in the warning box.
    void reportFailure(std::exception_ptr failure) noexcept;

    HINSTANCE m_instance;
    std::wstring m_face; // of every font
    HWND m_window = nullptr;
    HWND m_tooltip = nullptr;
    HWND m_focus = nullptr; // restored when the window is activated again
    ResolvedLayout m_layout;
    std::array<HWND, ResolvedLayout::kRows> m_controls{}; // by layout row
    struct CachedFont {
        int pixels;
        bool bold;
        HFONT handle;
    };
    std::vector<CachedFont> m_fonts;
    bool m_opening = true; // until run() has shown the window
    bool m_reporting = false; // a failure's warning box is open
    // The Return or Enter key IsDialogMessage is handling, if any.
    Key m_enterKey = Key::Other;
    bool m_enterRepeat = false;
    Win32WakeUp m_clearWakeUp;
    std::unique_ptr<SecretClipboard> m_clipboard;
    std::unique_ptr<SecretCopy> m_secretCopy; // made once the window exists
    // What screen readers are told, by layout row; held here, lent weakly.
    std::array<std::shared_ptr<const AccessibleText>, ResolvedLayout::kRows> m_accessibleText{};
    std::shared_ptr<const Win32ListBox> m_listRows; // List1, lent to its screen-reader object
    std::unique_ptr<LiveRegion> m_liveRegion;
};

} // namespace velkrin::win32
