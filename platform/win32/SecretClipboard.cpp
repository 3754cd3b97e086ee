#include "platform/win32/SecretClipboard.h"

#include "platform/SecureWipe.h"

#include <climits>
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

void setFormat(const wchar_t *format, const void *data, std::size_t size)
{
    const UINT id = RegisterClipboardFormatW(format);
    if (HGLOBAL memory = id ? globalCopy(data, size) : nullptr; memory && !SetClipboardData(id, memory))
        GlobalFree(memory);
}

// The UTF-8 text as UTF-16 straight into clipboard memory: no other copy.
HGLOBAL wideText(std::string_view text)
{
    if (text.size() > INT_MAX)
        return nullptr;
    const int size = static_cast<int>(text.size());
    const int length = size ? MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0) : 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (static_cast<std::size_t>(length) + 1) * sizeof(wchar_t));
    if (!memory)
        return nullptr;
    auto *target = static_cast<wchar_t *>(GlobalLock(memory));
    if (length)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, target, length);
    target[length] = L'\0';
    GlobalUnlock(memory);
    return memory;
}

} // namespace

bool SecretClipboard::put(std::string_view secret)
{
    if (!openClipboard(m_owner))
        return false;
    EmptyClipboard();
    HGLOBAL memory = wideText(secret);
    const bool placed = memory && SetClipboardData(CF_UNICODETEXT, memory);
    if (memory && !placed)
        GlobalFree(memory);
    if (placed) {
        // The first keeps clipboard monitors of other programs away; Windows
        // 10's clipboard history and cloud clipboard read the other two.
        setFormat(L"ExcludeClipboardContentFromMonitorProcessing", "", 1);
        const DWORD no = 0;
        setFormat(L"CanIncludeInClipboardHistory", &no, sizeof no);
        setFormat(L"CanUploadToCloudClipboard", &no, sizeof no);
    }
    CloseClipboard();
    m_sequence = placed ? GetClipboardSequenceNumber() : 0;
    return placed;
}

bool SecretClipboard::stillOurs() const
{
    return m_sequence != 0 && GetClipboardSequenceNumber() == m_sequence;
}

void SecretClipboard::clear()
{
    if (!openClipboard(m_owner))
        return;
    // Asked again with the clipboard open: another program may have copied
    // since stillOurs() was asked, and cannot while we hold it.
    if (stillOurs()) {
        if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
            if (void *text = GlobalLock(memory)) {
                secureWipe(text, GlobalSize(memory));
                GlobalUnlock(memory);
            }
        }
        EmptyClipboard();
    }
    CloseClipboard();
    m_sequence = 0;
}

} // namespace velkrin::win32
