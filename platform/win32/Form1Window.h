#pragma once

#include "platform/win32/SecretClipboard.h"
#include "platform/win32/Win32Controls.h"
#include "window/SecretCopy.h"
#include "window/TickSchedule.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string_view>

namespace velkrin::win32 {

// The main window as native Win32 controls, created from kForm1Layout:
// frames are group boxes that hold their controls (and cut off what lies
// beyond their edge), the list is owner-data, the fonts are MS Sans Serif at
// the designed sizes. The window has a fixed single border, no minimise or
// maximise box, and a client area of 3270 x 7245 twips at the screen's DPI.
class Form1Window {
public:
    explicit Form1Window(HINSTANCE instance);
    ~Form1Window();
    Form1Window(const Form1Window &) = delete;
    Form1Window &operator=(const Form1Window &) = delete;

    HWND handle() const noexcept { return m_window; }

private:
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

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    HFONT font(double points, bool bold);
    int pixels(int twips) const;
    void copyCurrentItem();

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    HWND m_tooltip = nullptr;
    HWND m_focus = nullptr; // restored when the window is activated again
    UINT m_dpi = 96;
    std::array<HWND, 20> m_controls{}; // by layout row
    std::array<HFONT, 4> m_fonts{};    // by (points, bold)
    Win32WakeUp m_clearWakeUp;
    std::unique_ptr<SecretClipboard> m_clipboard;
    std::unique_ptr<SecretCopy> m_secretCopy; // made once the window exists
};

} // namespace velkrin::win32
