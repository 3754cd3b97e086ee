#pragma once

#include "platform/ClipboardPort.h"

#include <windows.h>

namespace velkrin::win32 {

// The clipboard port over the Win32 clipboard. The text goes as
// CF_UNICODETEXT; the formats that keep it out of clipboard monitors, Windows'
// clipboard history and the cloud clipboard are this port's business.
class SecretClipboard final : public ClipboardPort {
public:
    // `owner` becomes the clipboard's owner while our copy is on it.
    explicit SecretClipboard(HWND owner) : m_owner(owner) {}

    bool put(std::string_view secret) override;
    bool stillOurs() const override;
    // Wipes our text in the clipboard's memory, then empties it.
    void clear() override;

private:
    HWND m_owner;
    DWORD m_sequence = 0; // GetClipboardSequenceNumber() right after our copy
};

} // namespace velkrin::win32
