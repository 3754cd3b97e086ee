// The Windows host's own pieces under Wine: the random source, the process's
// access list, the clipboard port and the long form of a path (the save:
// tests/unit/test_save_contract.cpp).

#include "platform/win32/SecretClipboard.h"
#include "platform/windows/BCryptRandomSource.h"
#include "platform/windows/ExecutableFolder.h"
#include "platform/windows/ProcessHardening.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>

#include <array>
#include <cstring>
#include <string>

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

} // namespace
