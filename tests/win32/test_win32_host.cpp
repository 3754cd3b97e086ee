// The Windows host's own pieces under Wine: the random source, the process's
// access list, the clipboard port and what screen readers are told (the save:
// tests/unit/test_save_contract.cpp).

#include "platform/win32/Form1Window.h"
#include "platform/win32/SecretClipboard.h"
#include "platform/windows/BCryptRandomSource.h"
#include "platform/windows/ProcessHardening.h"
#include "platform/windows/WideText.h"
#include "window/CountBoxTip.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <commctrl.h>
#include <oleacc.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>

using namespace velkrin;

namespace {

TEST(BCryptRandomSourceTest, FillsFromTheSystemGenerator)
{
    win32::BCryptRandomSource random;
    std::array<std::uint8_t, 64> first{}, second{};
    random.fill(first);
    random.fill(second);
    EXPECT_NE(first, second);
    EXPECT_NE(first, (std::array<std::uint8_t, 64>{}));
}

// Wine keeps the access list but does not enforce it on other processes; what
// can be checked here is the list itself.
TEST(ProcessHardeningTest, OwnUserMayNotReadTheProcessMemory)
{
    ASSERT_TRUE(win32::hardenProcess());
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &acl, nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->AceCount, 2);
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void **>(&ace)));
        EXPECT_EQ(ace->Mask & (PROCESS_VM_READ | PROCESS_QUERY_INFORMATION | PROCESS_VM_WRITE), 0u) << "entry " << i;
    }
    LocalFree(descriptor);
}

std::wstring clipboardText()
{
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE memory = GetClipboardData(CF_UNICODETEXT))
            text = static_cast<const wchar_t *>(GlobalLock(memory)), GlobalUnlock(memory);
        CloseClipboard();
    }
    return text;
}

// Our copy carries the DWORD 0 in the two formats Windows' clipboard history
// and cloud clipboard read, and clear() leaves a copy made since alone.
TEST(SecretClipboardTest, MarksTheCopyAndLeavesAnotherCopyAlone)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    win32::SecretClipboard clipboard(owner);
    ASSERT_TRUE(clipboard.put("abc\xc3\xa9"));
    EXPECT_EQ(clipboardText(), L"abc\u00e9");
    ASSERT_TRUE(OpenClipboard(nullptr));
    for (const wchar_t *format : {L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
        HANDLE mark = GetClipboardData(RegisterClipboardFormatW(format));
        ASSERT_TRUE(mark && GlobalSize(mark) == sizeof(DWORD));
        EXPECT_EQ(*static_cast<const DWORD *>(GlobalLock(mark)), 0u);
        GlobalUnlock(mark);
    }
    CloseClipboard();
    clipboard.clear();
    EXPECT_EQ(clipboardText(), L"");

    ASSERT_TRUE(clipboard.put("abc"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL theirs = GlobalAlloc(GMEM_MOVEABLE, sizeof L"theirs");
    std::memcpy(GlobalLock(theirs), L"theirs", sizeof L"theirs");
    GlobalUnlock(theirs);
    SetClipboardData(CF_UNICODETEXT, theirs);
    CloseClipboard();
    clipboard.clear();
    EXPECT_EQ(clipboardText(), L"theirs");
    DestroyWindow(owner);
}

// A screen reader's questions, asked from this process: Wine's oleacc cannot
// reach Velkrin.exe from another one (it needs PROCESS_DUP_HANDLE on it,
// which the process's access list refuses; the probe says so when the
// scenarios run).
struct Heard {
    static inline std::wstring name;
    static void CALLBACK event(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
    {
        IAccessible *source = nullptr;
        VARIANT id;
        BSTR text = nullptr;
        if (SUCCEEDED(AccessibleObjectFromEvent(window, object, child, &source, &id))) {
            if (source->get_accName(id, &text) == S_OK)
                name = text, SysFreeString(text);
            source->Release();
        }
    }
};

std::wstring nameOf(IAccessible *object, long child = CHILDID_SELF, bool description = false)
{
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    BSTR text = nullptr;
    std::wstring out;
    if ((description ? object->get_accDescription(id, &text) : object->get_accName(id, &text)) == S_OK)
        out = text, SysFreeString(text);
    return out;
}

TEST(AccessibleWindowTest, NamesEveryControlTheRowsAndTheAnnouncement)
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    win32::Form1Window window(GetModuleHandleW(nullptr));
    const auto object = [](HWND control) {
        IAccessible *found = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void **>(&found)),
                  S_OK);
        return found;
    };
    for (std::size_t row = 1; row < kForm1Layout.size(); ++row) { // all but the timer
        const ControlPlacement &c = kForm1Layout[row];
        std::pair<int, HWND> search{100 + static_cast<int>(row), nullptr}; // Form1Window's control ids
        EnumChildWindows(
            window.handle(),
            [](HWND child, LPARAM data) {
                auto &s = *reinterpret_cast<std::pair<int, HWND> *>(data);
                s.second = GetDlgCtrlID(child) == s.first ? child : nullptr;
                return s.second ? FALSE : TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        IAccessible *named = object(search.second);
        ASSERT_NE(named, nullptr) << c.name;
        const bool untitledFrame = c.kind == ControlKind::Frame && c.caption.empty() && c.accessibleName.empty();
        if (!c.accessibleName.empty()) {
            EXPECT_EQ(nameOf(named), win32::widen(c.accessibleName)) << c.name;
        } else if (!untitledFrame && c.name != "lblRandom" && c.name != "lblPassword") { // no text yet
            EXPECT_NE(nameOf(named), L"") << c.name;
        }
        named->Release();
    }

    // The rows, read from the program's store: the text each row shows.
    window.List1.addItem("abc123");
    window.List1.addItem(std::string(300, 'x'));
    IAccessible *list = object(window.List1.handle());
    long count = 0;
    ASSERT_EQ(list->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, SendMessageW(window.List1.handle(), LB_GETCOUNT, 0, 0));
    EXPECT_EQ(nameOf(list, 1), L"abc123");
    EXPECT_EQ(nameOf(list, 2), std::wstring(kListRowCharacters, L'x'));
    list->Release();

    // The count boxes' description is the whole strength; their tooltip the
    // short form, asked for as it opens.
    const std::string strength = "43,674,252,383,913,877,424,036,476,406,214,950,912 possible passwords, about 125 "
                                 "bits: excellent";
    window.txtLetters.setDescription(strength);
    IAccessible *letters = object(window.txtLetters.handle());
    EXPECT_EQ(nameOf(letters, CHILDID_SELF, true), win32::widen(strength));
    letters->Release();
    HWND tooltip = nullptr;
    while ((tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) &&
           GetWindow(tooltip, GW_OWNER) != window.handle()) {
    }
    wchar_t tip[kTipCharacters + 1] = L"";
    TTTOOLINFOW tool{sizeof tool};
    tool.hwnd = GetParent(window.txtLetters.handle());
    tool.uId = reinterpret_cast<UINT_PTR>(window.txtLetters.handle());
    tool.lpszText = tip;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(tip), win32::widen(countBoxTip(strength)));

    // An announcement raises a live-region event whose object is named by it.
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                               &Heard::event, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    window.announce("abc123");
    const ULONGLONG deadline = GetTickCount64() + 5000;
    for (MSG message; Heard::name.empty() && GetTickCount64() < deadline;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    EXPECT_EQ(Heard::name, L"abc123");
}

} // namespace
