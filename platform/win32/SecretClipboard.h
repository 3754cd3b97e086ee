#pragma once

#include <windows.h>

#include <string_view>

namespace velkrin::win32 {

// Puts a password on the clipboard marked for Windows' clipboard history and
// cloud clipboard (and the monitors that honour the same marks) to leave it
// alone, and takes it off again after 30 seconds and when the program ends,
// as long as the clipboard still holds that copy.
class SecretClipboard {
public:
    static constexpr UINT kClearAfterMs = 30'000;

    // `owner` receives WM_TIMER with `timerId` for the delayed clearing and
    // hands it to onTimer().
    SecretClipboard(HWND owner, UINT_PTR timerId);
    ~SecretClipboard();
    SecretClipboard(const SecretClipboard &) = delete;
    SecretClipboard &operator=(const SecretClipboard &) = delete;

    // Returns false when another program holds the clipboard open.
    bool copy(std::wstring_view text);
    void onTimer();
    // Wipes and empties the clipboard if it still holds our copy.
    void clearIfOurs();

private:
    HWND m_owner;
    UINT_PTR m_timerId;
    DWORD m_sequence = 0; // GetClipboardSequenceNumber() right after our copy
    bool m_holding = false;
};

} // namespace velkrin::win32
