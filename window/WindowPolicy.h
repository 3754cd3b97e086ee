#pragma once

namespace velkrin {

// How the main window may be sized and shown, and which keys press its
// buttons, for every host. The access keys (Alt+C, Alt+P) are the letters the
// captions mark with "&", which each toolkit's own access-key handling
// applies.

// A fixed single border: a title bar with a system menu and a close box,
// nothing to resize, minimise or maximise.
struct WindowFrame {
    bool resizable;
    bool minimiseBox;
    bool maximiseBox;
};
inline constexpr WindowFrame kForm1Frame{false, false, false};

enum class WindowState { Normal, Minimised, Maximised, FullScreen };

// The state the window is put into when it is asked for, or finds itself in,
// `state`. It has one size, so maximised and full screen turn back to normal;
// it opens in view, so a launcher's "start minimised" is not followed; once
// open it may be minimised (from the taskbar, say) like any window.
constexpr WindowState permittedState(WindowState state, bool opening) noexcept
{
    switch (state) {
    case WindowState::Maximised:
    case WindowState::FullScreen:
        return WindowState::Normal;
    case WindowState::Minimised:
        return opening ? WindowState::Normal : WindowState::Minimised;
    case WindowState::Normal:
        break;
    }
    return state;
}

enum class Key { Space, Return, Enter, Other }; // Enter: the keypad's
struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Whether the key presses the push button that has the focus. Space, Return
// and Enter do, without Shift, Ctrl or Alt, and a held key presses once.
// There is no default button: on any other control these keys press nothing.
// (Space needs no host code: the toolkits' buttons press on it already.)
constexpr bool pressesFocusedButton(Key key, KeyModifiers modifiers, bool autoRepeat) noexcept
{
    return key != Key::Other && !modifiers.shift && !modifiers.control && !modifiers.alt && !autoRepeat;
}

// Whether a key on the list copies the current row (the secret copy):
// Ctrl+C, or Ctrl+Insert as Windows' edit boxes also take it, without Shift
// or Alt.
enum class CopyKey { C, Insert, Other };
constexpr bool copiesListRow(CopyKey key, KeyModifiers modifiers) noexcept
{
    return key != CopyKey::Other && modifiers.control && !modifiers.shift && !modifiers.alt;
}

} // namespace velkrin
