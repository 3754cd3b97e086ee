// The Windows host's own pieces under Wine: the random source, the process's
// access list, the clipboard port, the long form of a path and what screen
// readers are told (the save: tests/unit/test_save_contract.cpp).

#include "platform/win32/Form1Window.h"
#include "platform/win32/SecretClipboard.h"
#include "platform/windows/BCryptRandomSource.h"
#include "platform/windows/ExecutableFolder.h"
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

// The list itself; what it refuses another process is Windows' (and Wine's)
// to enforce.
TEST(ProcessHardeningTest, OwnUserMayNotReadTheProcessMemory)
{
    ASSERT_TRUE(win32::hardenProcess());
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                              nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->AceCount, 2);
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void **>(&ace)));
        EXPECT_EQ(ace->Mask & (PROCESS_VM_READ | PROCESS_QUERY_INFORMATION | PROCESS_VM_WRITE | PROCESS_DUP_HANDLE), 0u)
            << "entry " << i;
    }
    LocalFree(descriptor);
}

// Wine has no MAX_PATH limit to fail on; what Windows is handed is checked.
TEST(ExtendedPathTest, LiftsMaxPathForDrivesAndNetworkPaths)
{
    EXPECT_EQ(win32::extendedPath(L"C:\\Users\\a"), L"\\\\?\\C:\\Users\\a");
    EXPECT_EQ(win32::extendedPath(L"\\\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\a");
    for (const wchar_t *asItIs : {L"\\\\?\\C:\\a", L"\\\\?\\UNC\\s\\h\\a", L"\\\\.\\pipe\\a", L"a\\b", L"C:a"})
        EXPECT_EQ(win32::extendedPath(asItIs), asItIs);
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

// What the probe cannot see from the scenarios (it asks the rest as a
// screen reader does): a long item's row is named by what the row shows, and
// the count boxes' strength as description and, short, as tooltip.
TEST(AccessibleWindowTest, LongRowsAndTheStrengthAreToldAsShown)
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
    const auto text = [](IAccessible *object, long child, bool description) {
        VARIANT id{};
        id.vt = VT_I4;
        id.lVal = child;
        BSTR answer = nullptr;
        std::wstring out;
        if ((description ? object->get_accDescription(id, &answer) : object->get_accName(id, &answer)) == S_OK)
            out = answer, SysFreeString(answer);
        object->Release();
        return out;
    };
    window.List1.addItem(std::string(300, 'x'));
    EXPECT_EQ(text(object(window.List1.handle()), 1, false), std::wstring(kListRowCharacters, L'x'));

    const std::string strength = "43,674,252,383,913,877,424,036,476,406,214,950,912 possible passwords, about 125 "
                                 "bits: excellent";
    window.txtLetters.setDescription(strength);
    EXPECT_EQ(text(object(window.txtLetters.handle()), CHILDID_SELF, true), win32::widen(strength));
    HWND tooltip = nullptr;
    while ((tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) &&
           GetWindow(tooltip, GW_OWNER) != window.handle()) {
    }
    wchar_t tip[kTipCharacters + 1] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(window.txtLetters.handle());
    tool.uId = reinterpret_cast<UINT_PTR>(window.txtLetters.handle());
    tool.lpszText = tip;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(tip), win32::widen(countBoxTip(strength)));
}

// Moved to a monitor of another scale: every control laid out afresh at its
// DPI, and the title's font still larger than the text's.
TEST(Form1WindowTest, ScaleChangesLayTheWindowOutAfresh)
{
    win32::Form1Window window(GetModuleHandleW(nullptr));
    const auto cellHeight = [](HWND of) {
        HDC dc = GetDC(of);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(of, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(of, dc);
        return metrics.tmHeight;
    };
    HWND frame1 = GetParent(window.txtLetters.handle());
    for (const int dpi : {120, 144, 192, 96}) {
        RECT suggested{0, 0, 600, 1000};
        SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT list;
        GetWindowRect(window.List1.handle(), &list);
        const PixelRect &expected = resolveLayout(dpi)["List1"].rect;
        EXPECT_EQ(list.right - list.left, expected.width) << dpi;
        EXPECT_EQ(list.bottom - list.top, expected.height) << dpi;
        EXPECT_GT(cellHeight(frame1), cellHeight(window.txtLetters.handle())) << dpi;
    }
}

} // namespace
