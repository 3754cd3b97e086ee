// The Windows host's own pieces under Wine: the save beside the executable,
// the random source, the process's access list and the clipboard port.

#include "window/UserMessages.h"
#include "platform/HostError.h"
#include "platform/win32/BCryptRandomSource.h"
#include "platform/win32/ExecutableFolder.h"
#include "platform/win32/ProcessHardening.h"
#include "platform/win32/SecretClipboard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace velkrin;
namespace fs = std::filesystem;

namespace {

class SaveBesideTest : public ::testing::Test {
protected:
    // A folder named with non-ASCII letters, as users' folders often are.
    fs::path folder = fs::temp_directory_path() / (L"velkrin-\u00e9t\u00e9-" + std::to_wstring(GetCurrentProcessId()));
    fs::path target = folder / L"target.txt";
    win32::ExecutableFolder saveFolder{folder.wstring()};

    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override
    {
        if (fs::exists(target))
            fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
        fs::remove_all(folder);
    }
    std::string read() const
    {
        std::ifstream in(target, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void save(std::string_view text)
    {
        saveFolder.replaceFile("target.txt", [&](FileSink &sink) { sink.write(std::span(text.data(), text.size())); });
    }
    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
};

TEST_F(SaveBesideTest, ReplacesTheFileAndLeavesNoTemporary)
{
    save("abc123\r\n");
    save("xyz789\r\nqrs456\r\n");
    EXPECT_EQ(read(), "xyz789\r\nqrs456\r\n");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(SaveBesideTest, FailureLeavesThePreviousFile)
{
    save("abc123\r\n");
    EXPECT_THROW(saveFolder.replaceFile("target.txt",
                                        [](FileSink &sink) {
                                            sink.write(std::span("x", 1));
                                            throw HostError(HostErrorKind::File, FailureCause::System, {}, "disk full");
                                        }),
                 HostError);
    EXPECT_EQ(read(), "abc123\r\n");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(SaveBesideTest, ReadOnlyFileAndFolderInTheWayAreRefused)
{
    save("abc123\r\n");
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    try {
        save("new\r\n");
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const HostError &error) {
        EXPECT_EQ(error.kind(), HostErrorKind::File);
        EXPECT_NE(userMessage(error).find("target.txt"), std::string::npos) << userMessage(error);
    }
    EXPECT_EQ(read(), "abc123\r\n");

    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(target);
    fs::create_directory(target);
    try {
        save("new\r\n");
        ADD_FAILURE() << "a folder was replaced";
    } catch (const HostError &error) {
        EXPECT_NE(userMessage(error).find("a folder of that name is in the way"), std::string::npos) << userMessage(error);
    }
    EXPECT_TRUE(fs::is_directory(target));
}

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

} // namespace
