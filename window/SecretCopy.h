#pragma once

#include "platform/ClipboardPort.h"
#include "platform/WakeUpPort.h"

#include <chrono>
#include <string_view>

namespace velkrin {

// A password copied from the list (Ctrl+C on its row) for every host. The
// copy is taken off the clipboard kClearAfter later and when the program
// closes, but only while the clipboard still holds it: whatever was copied
// since is the user's and stays. Taking it off overwrites its text where the
// host can reach it, so it does not outlive its use in freed memory.
class SecretCopy {
public:
    static constexpr std::chrono::seconds kClearAfter{30};
    // The end-to-end tests' build of the program, which cannot wait 30 s.
    static constexpr std::chrono::seconds kClearAfterInTests{2};

    // `clearAfter` is shortened by tests only.
    SecretCopy(ClipboardPort &clipboard, WakeUpPort &wakeUp, std::chrono::milliseconds clearAfter = kClearAfter);
    // The program closes.
    ~SecretCopy();
    SecretCopy(const SecretCopy &) = delete;
    SecretCopy &operator=(const SecretCopy &) = delete;

    // False when the clipboard could not be had.
    bool copy(std::string_view secret);
    // The window closes: our copy goes now rather than with the program.
    void close() { clearIfOurs(); }

private:
    void clearIfOurs();

    ClipboardPort &m_clipboard;
    WakeUpPort &m_wakeUp;
    std::chrono::milliseconds m_clearAfter;
    bool m_holding = false; // put() succeeded and nothing cleared it since
};

} // namespace velkrin
