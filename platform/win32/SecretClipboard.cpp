#include "platform/win32/SecretClipboard.h"

#include "platform/SecureWipe.h"

#include <cstring>

namespace velkrin::win32 {

namespace {

// The clipboard can be held open by another program for a moment.
bool openClipboard(HWND owner)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(10);
    }
    return false;
}

HGLOBAL globalCopy(const void *data, std::size_t size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return nullptr;
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
}

void setDword(const wchar_t *format, DWORD value)
{
    const UINT id = RegisterClipboardFormatW(format);
    if (HGLOBAL memory = id ? globalCopy(&value, sizeof value) : nullptr; memory && !SetClipboardData(id, memory))
        GlobalFree(memory);
}

} // namespace

SecretClipboard::SecretClipboard(HWND owner, UINT_PTR timerId) : m_owner(owner), m_timerId(timerId) {}

SecretClipboard::~SecretClipboard()
{
    clearIfOurs();
}

bool SecretClipboard::copy(std::wstring_view text)
{
    clearIfOurs();
    if (!openClipboard(m_owner))
        return false;
    EmptyClipboard();
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    bool placed = false;
    if (memory) {
        auto *target = static_cast<wchar_t *>(GlobalLock(memory));
        std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
        target[text.size()] = L'\0';
        GlobalUnlock(memory);
        placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!placed)
            GlobalFree(memory);
    }
    if (placed) {
        // Windows 10's clipboard history and cloud clipboard read these two;
        // the first keeps clipboard monitors of other programs away.
        const UINT exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
        if (HGLOBAL mark = exclude ? globalCopy("", 1) : nullptr; mark && !SetClipboardData(exclude, mark))
            GlobalFree(mark);
        setDword(L"CanIncludeInClipboardHistory", 0);
        setDword(L"CanUploadToCloudClipboard", 0);
    }
    CloseClipboard();
    if (!placed)
        return false;
    m_sequence = GetClipboardSequenceNumber();
    m_holding = true;
    SetTimer(m_owner, m_timerId, kClearAfterMs, nullptr);
    return true;
}

void SecretClipboard::onTimer()
{
    KillTimer(m_owner, m_timerId);
    clearIfOurs();
}

void SecretClipboard::clearIfOurs()
{
    if (!m_holding)
        return;
    m_holding = false;
    KillTimer(m_owner, m_timerId);
    // Someone else's copy since ours: theirs stays.
    if (GetClipboardSequenceNumber() != m_sequence || !openClipboard(m_owner))
        return;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        if (void *text = GlobalLock(memory)) {
            secureWipe(text, GlobalSize(memory));
            GlobalUnlock(memory);
        }
    }
    EmptyClipboard();
    CloseClipboard();
}

} // namespace velkrin::win32
