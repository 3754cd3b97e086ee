// The save's rules (platform/SaveFolder.h), held by every folder the program
// saves into: the Linux folder, the Windows folder (under Wine) and the
// in-memory folder the window's tests use; then the Linux folder's own cases.

#include "output/SaveList.h"
#include "platform/HostError.h"
#include "support/ScriptedHost.h"
#include "window/UserMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/ExecutableFolder.h"
#include "platform/win32/WideText.h"

#include <aclapi.h>
#include <filesystem>
#include <fstream>
#include <sddl.h>
#include <sstream>
#else
#include "platform/posix/PosixSaveFolder.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace velkrin;

namespace {

void save(SaveFolder &folder, const std::vector<std::string> &items)
{
    SaveList(
        [&](const ItemSink &put) {
            for (const std::string &item : items)
                put(item);
        },
        folder);
}

// The HostError(File) a save raises.
HostError saveError(SaveFolder &folder, const std::vector<std::string> &items)
{
    try {
        save(folder, items);
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), HostErrorKind::File);
        return e;
    }
    ADD_FAILURE() << "the save did not fail";
    return HostError(HostErrorKind::Overflow, FailureCause::System);
}

// Each folder below: the folder, its files' paths as messages name them,
// and ways to plant and read back what a save meets.
struct MemoryFixture {
    static constexpr const char *kName = "memory";
    static constexpr bool kPermissions = false;
    test::MemoryFolder memory;
    SaveFolder &folder() { return memory; }
    std::string path(const std::string &name) const { return name; }
    std::string read(const std::string &name) const { return memory.files.at(name); }
    void write(const std::string &name, const std::string &bytes) { memory.files[name] = bytes; }
    void makeFolder(const std::string &name)
    {
        memory.folders.insert(name);
        write(name + "/inside.txt", "keep me");
    }
    bool isFolder(const std::string &name) const { return memory.folders.contains(name); }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names(memory.folders.begin(), memory.folders.end());
        for (const auto &[name, text] : memory.files)
            if (name.find('/') == std::string::npos)
                names.push_back(name);
        return names;
    }
    bool ownerOnly(const std::string &) const { return true; }
    void share(const std::string &) {}
    bool shared(const std::string &) const { return true; }
    bool markReadOnly(const std::string &) { return false; }
};

#ifdef _WIN32
namespace fs = std::filesystem;

struct Win32Fixture {
    static constexpr const char *kName = "win32";
    static constexpr bool kPermissions = true;
    // Named with non-ASCII letters, as users' folders often are.
    fs::path dir = fs::temp_directory_path() / (L"velkrin-\u00e9t\u00e9-" + std::to_wstring(GetCurrentProcessId()) +
                                                L"-" + std::to_wstring(GetTickCount64()));
    win32::ExecutableFolder saveFolder{dir.wstring()};

    Win32Fixture() { fs::create_directories(dir); }
    ~Win32Fixture()
    {
        for (const auto &entry : fs::recursive_directory_iterator(dir))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir);
    }
    SaveFolder &folder() { return saveFolder; }
    fs::path at(const std::string &name) const { return dir / win32::widen(name); }
    std::string path(const std::string &name) const { return win32::narrow(at(name).wstring()); }
    std::string read(const std::string &name) const
    {
        std::ifstream in(at(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(at(name), std::ios::binary) << bytes;
    }
    void makeFolder(const std::string &name) const
    {
        fs::create_directory(at(name));
        write(name + "/inside.txt", "keep me");
    }
    bool isFolder(const std::string &name) const { return fs::is_directory(at(name)); }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir))
            names.push_back(win32::narrow(entry.path().filename().wstring()));
        std::sort(names.begin(), names.end());
        return names;
    }
    // The access list's entries, each as "allowed-or-denied SID".
    std::vector<std::wstring> access(const std::string &name) const
    {
        PACL acl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        std::vector<std::wstring> entries;
        if (GetNamedSecurityInfoW(at(name).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                                  nullptr, &descriptor) != ERROR_SUCCESS)
            return {L"unreadable"};
        for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
            ACCESS_ALLOWED_ACE *ace = nullptr;
            wchar_t *sid = nullptr;
            if (GetAce(acl, i, reinterpret_cast<void **>(&ace)) && ConvertSidToStringSidW(&ace->SidStart, &sid)) {
                entries.push_back((ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE ? L"A " : L"D ") + std::wstring(sid));
                LocalFree(sid);
            }
        }
        LocalFree(descriptor);
        return entries;
    }
    static std::wstring user()
    {
        HANDLE token = nullptr;
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
        unsigned char buffer[256];
        DWORD size = sizeof buffer;
        wchar_t *sid = nullptr;
        GetTokenInformation(token, TokenUser, buffer, size, &size);
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid, &sid);
        CloseHandle(token);
        std::wstring text = sid;
        LocalFree(sid);
        return text;
    }
    bool ownerOnly(const std::string &name) const { return access(name) == std::vector<std::wstring>{L"A " + user()}; }
    // Everyone may read it, as a file the user shared.
    void share(const std::string &name) const
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        const std::wstring sddl = L"D:P(A;;FA;;;" + user() + L")(A;;FR;;;WD)";
        ASSERT_TRUE(
            ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_TRUE(SetFileSecurityW(at(name).c_str(), DACL_SECURITY_INFORMATION, descriptor));
        LocalFree(descriptor);
    }
    bool shared(const std::string &name) const
    {
        const auto entries = access(name);
        return std::find(entries.begin(), entries.end(), L"A S-1-1-0") != entries.end();
    }
    bool markReadOnly(const std::string &name) const
    {
        return SetFileAttributesW(at(name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
};
using Folders = ::testing::Types<Win32Fixture, MemoryFixture>;
#else

struct PosixFixture {
    static constexpr const char *kName = "posix";
    static constexpr bool kPermissions = true;
    std::string dir;
    mode_t savedUmask = ::umask(022);
    std::unique_ptr<PosixSaveFolder> saveFolder;

    PosixFixture()
    {
        char name[] = "/tmp/velkrin-save-XXXXXX";
        dir = ::mkdtemp(name);
        saveFolder = std::make_unique<PosixSaveFolder>(FolderHandle(dir));
    }
    ~PosixFixture()
    {
        ::umask(savedUmask);
        ::nftw(
            dir.c_str(), [](const char *path, const struct stat *, int, FTW *) { return ::remove(path); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }
    SaveFolder &folder() { return *saveFolder; }
    std::string path(const std::string &name) const { return dir + '/' + name; }
    std::string read(const std::string &name) const
    {
        std::string text;
        if (FILE *file = std::fopen(path(name).c_str(), "rb")) {
            char buffer[65536];
            for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
                text.append(buffer, got);
            std::fclose(file);
        }
        return text;
    }
    void write(const std::string &name, const std::string &bytes) const
    {
        FILE *file = std::fopen(path(name).c_str(), "wb");
        ASSERT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
        std::fclose(file);
    }
    void makeFolder(const std::string &name) const
    {
        ASSERT_EQ(::mkdir(path(name).c_str(), 0755), 0);
        write(name + "/inside.txt", "keep me");
    }
    struct stat status(const std::string &name) const
    {
        struct stat st {};
        EXPECT_EQ(::lstat(path(name).c_str(), &st), 0) << name;
        return st;
    }
    bool isFolder(const std::string &name) const { return S_ISDIR(status(name).st_mode); }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        DIR *folder = ::opendir(dir.c_str());
        while (const dirent *entry = folder ? ::readdir(folder) : nullptr)
            if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
                names.emplace_back(entry->d_name);
        if (folder)
            ::closedir(folder);
        std::sort(names.begin(), names.end());
        return names;
    }
    mode_t mode(const std::string &name) const { return status(name).st_mode & 07777; }
    bool ownerOnly(const std::string &name) const { return mode(name) == 0600; }
    void share(const std::string &name) const { ASSERT_EQ(::chmod(path(name).c_str(), 0640), 0); }
    bool shared(const std::string &name) const { return mode(name) == 0640; }
    // Root may write any file: there the mark does not stop a save.
    bool markReadOnly(const std::string &name) const
    {
        return ::geteuid() != 0 && ::chmod(path(name).c_str(), 0444) == 0;
    }
};
using Folders = ::testing::Types<PosixFixture, MemoryFixture>;
#endif

struct FolderName {
    template <class T>
    static std::string GetName(int)
    {
        return T::kName;
    }
};

template <class F>
class SaveContract : public ::testing::Test {
protected:
    F f;
};
TYPED_TEST_SUITE(SaveContract, Folders, FolderName);

} // namespace

// Each item in order, each followed by CR LF, empty items as empty lines,
// more items than a 16-bit count holds; saving again replaces, leaving no
// temporary file behind.
TYPED_TEST(SaveContract, WritesEachItemThenCrLfInOrder)
{
    std::vector<std::string> items{"abc123", "", "xyz789"};
    std::string expected = "abc123\r\n\r\nxyz789\r\n";
    for (int i = 0; i < 40000; ++i) {
        items.push_back("p" + std::to_string(100000 + i));
        expected += items.back() + "\r\n";
    }
    save(this->f.folder(), items);
    save(this->f.folder(), items);
    EXPECT_TRUE(this->f.read("target.txt") == expected) << "the saved file differs from the list";
    EXPECT_EQ(this->f.entries(), std::vector<std::string>{"target.txt"});
}

TYPED_TEST(SaveContract, AnEmptyListLeavesAnEmptyFile)
{
    this->f.write("target.txt", "old1\r\nold2\r\n");
    save(this->f.folder(), {});
    EXPECT_EQ(this->f.entries(), std::vector<std::string>{"target.txt"});
    EXPECT_EQ(this->f.read("target.txt"), "");
}

// A write that fails halfway (a full disk) leaves the old file, its
// permissions, and no partial copy.
TYPED_TEST(SaveContract, AFailedWriteKeepsTheOldFile)
{
    this->f.write("target.txt", "old111\r\nold222\r\n");
    this->f.share("target.txt");
    const std::string half(100000, 'x');
    EXPECT_THROW(this->f.folder().replaceFile("target.txt",
                                              [&](FileSink &sink) {
                                                  sink.write(half);
                                                  throw HostError(HostErrorKind::File, FailureCause::System, {},
                                                                  "No space left on device");
                                              }),
                 HostError);
    EXPECT_EQ(this->f.read("target.txt"), "old111\r\nold222\r\n");
    EXPECT_TRUE(this->f.shared("target.txt"));
    EXPECT_EQ(this->f.entries(), std::vector<std::string>{"target.txt"});
}

TYPED_TEST(SaveContract, AFolderNamedTargetTxtIsRefusedAndLeftAsItWas)
{
    this->f.makeFolder("target.txt");
    const HostError e = saveError(this->f.folder(), {"abc123"});
    EXPECT_EQ(e.cause(), FailureCause::FolderInTheWay);
    EXPECT_NE(userMessage(e).find('"' + this->f.path("target.txt") + "\": a folder of that name is in the way"),
              std::string::npos)
        << userMessage(e);
    EXPECT_TRUE(this->f.isFolder("target.txt"));
    EXPECT_EQ(this->f.read("target.txt/inside.txt"), "keep me");
    EXPECT_EQ(this->f.entries(), std::vector<std::string>{"target.txt"});
}

TYPED_TEST(SaveContract, ANewFileIsOwnerOnlyAnExistingOneKeepsItsPermissions)
{
    if (!TypeParam::kPermissions)
        GTEST_SKIP() << "this folder has no permissions";
    save(this->f.folder(), {"secret"});
    EXPECT_TRUE(this->f.ownerOnly("target.txt"));
    this->f.share("target.txt");
    save(this->f.folder(), {"secret", "again"});
    EXPECT_TRUE(this->f.shared("target.txt"));
    EXPECT_EQ(this->f.read("target.txt"), "secret\r\nagain\r\n");
}

TYPED_TEST(SaveContract, AReadOnlyFileStaysAsItIs)
{
    this->f.write("target.txt", "old\r\n");
    if (!this->f.markReadOnly("target.txt"))
        GTEST_SKIP() << "no read-only mark here";
    const HostError e = saveError(this->f.folder(), {"new"});
    EXPECT_NE(userMessage(e).find(this->f.path("target.txt")), std::string::npos) << userMessage(e);
    EXPECT_EQ(this->f.read("target.txt"), "old\r\n");
}

#ifndef _WIN32
namespace {

class PosixSave : public ::testing::Test {
protected:
    static constexpr uid_t kNobody = 65534;
    PosixFixture f;
    std::string at(const std::string &name) const { return f.path(name); }
    void link(const std::string &to, const std::string &name, uid_t owner) const
    {
        ASSERT_EQ(::symlink(to.c_str(), at(name).c_str()), 0) << name;
        ASSERT_EQ(::lchown(at(name).c_str(), owner, owner), 0);
    }
    // Root saving in shared/, a folder of nobody's; rootonly/ holds root's files.
    bool asRootBesideNobody()
    {
        if (::geteuid() != 0)
            return false;
        EXPECT_TRUE(::mkdir(at("shared").c_str(), 0755) == 0 && ::chown(at("shared").c_str(), kNobody, kNobody) == 0);
        EXPECT_EQ(::mkdir(at("rootonly").c_str(), 0700), 0);
        return true;
    }
    PosixSaveFolder shared() const { return PosixSaveFolder(FolderHandle(at("shared"))); }
};

} // namespace

// A link another user could have planted, in a folder they can write, is not
// followed: not as the name itself, nor as a folder on the way that the
// saver's own link leads through.
TEST_F(PosixSave, AnotherUsersLinkIsRefusedWhereverItStands)
{
    if (!asRootBesideNobody())
        GTEST_SKIP() << "needs root to plant another user's files";
    for (const mode_t folderMode : {0755, 01777}) { // nobody's; root's sticky world-writable
        SCOPED_TRACE(folderMode);
        ASSERT_TRUE(::chmod(at("shared").c_str(), folderMode) == 0 &&
                    ::chown(at("shared").c_str(), folderMode == 0755 ? kNobody : 0, 0) == 0);
        f.write("rootonly/shadow", "root only");
        ASSERT_EQ(::chmod(at("rootonly/shadow").c_str(), 0640), 0);
        PosixSaveFolder folder = shared();
        link("../rootonly/shadow", "shared/target.txt", kNobody);
        HostError e = saveError(folder, {"secret"});
        EXPECT_NE(userMessage(e).find("symbolic link that belongs to nobody"), std::string::npos) << userMessage(e);
        ASSERT_EQ(::unlink(at("shared/target.txt").c_str()), 0);
        link("saves/shadow", "shared/target.txt", 0);
        link("../rootonly", "shared/saves", kNobody);
        e = saveError(folder, {"secret"});
        EXPECT_EQ(e.cause(), FailureCause::ForeignLink);
        EXPECT_EQ(f.read("rootonly/shadow"), "root only");
        // The saver's own links are followed; the file keeps its mode.
        ASSERT_EQ(::lchown(at("shared/saves").c_str(), 0, 0), 0);
        save(folder, {"secret"});
        EXPECT_EQ(f.read("rootonly/shadow"), "secret\r\n");
        EXPECT_EQ(f.mode("rootonly/shadow"), mode_t{0640});
        ASSERT_TRUE(::unlink(at("shared/target.txt").c_str()) == 0 && ::unlink(at("shared/saves").c_str()) == 0);
    }
}

// In a folder others can write, a name with other names elsewhere (a hard
// link to root's file, or to root's link) and another user's file are
// replaced by a new file of the saver's, for the saver only.
TEST_F(PosixSave, ASharedNameIsReplacedByANewPrivateFile)
{
    if (!asRootBesideNobody())
        GTEST_SKIP() << "needs root to plant another user's files";
    PosixSaveFolder folder = shared();
    f.write("rootfile", "root file");
    ASSERT_EQ(::chmod(at("rootfile").c_str(), 0644), 0);
    ASSERT_EQ(::symlink(at("rootonly/secret.txt").c_str(), at("rootlink").c_str()), 0);
    for (const char *plant : {"rootfile", "rootlink", "nobody's file"}) {
        SCOPED_TRACE(plant);
        if (plant[0] == 'n') {
            f.write("shared/target.txt", "");
            ASSERT_TRUE(::chmod(at("shared/target.txt").c_str(), 0644) == 0 &&
                        ::chown(at("shared/target.txt").c_str(), kNobody, kNobody) == 0);
        } else {
            ASSERT_EQ(::linkat(AT_FDCWD, at(plant).c_str(), AT_FDCWD, at("shared/target.txt").c_str(), 0), 0);
        }
        save(folder, {"secret"});
        const struct stat st = f.status("shared/target.txt");
        EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_uid == 0 && st.st_nlink == 1 && (st.st_mode & 07777) == 0600)
            << st.st_uid << " " << std::oct << st.st_mode;
        EXPECT_EQ(f.read("shared/target.txt"), "secret\r\n");
        EXPECT_EQ(f.read("rootfile"), "root file");
        EXPECT_EQ(f.mode("rootfile"), mode_t{0644});
        EXPECT_EQ(f.entries(), (std::vector<std::string>{"rootfile", "rootlink", "rootonly", "shared"}));
        EXPECT_EQ(::access(at("rootonly/secret.txt").c_str(), F_OK), -1);
        ASSERT_EQ(::unlink(at("shared/target.txt").c_str()), 0);
    }
}

// Killed halfway, a save leaves the old file and no copy of the passwords.
TEST_F(PosixSave, AKilledSaveLeavesNoCopyOfThePasswords)
{
    f.write("target.txt", "old\r\n");
    const pid_t child = ::fork();
    if (child == 0) {
        f.folder().replaceFile("target.txt", [](FileSink &sink) {
            sink.write(std::string(1 << 20, 'p'));
            ::kill(::getpid(), SIGKILL);
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(f.entries(), std::vector<std::string>{"target.txt"});
    EXPECT_EQ(f.read("target.txt"), "old\r\n");
}

// The content reaches the disk before it takes the name, the new name after.
TEST_F(PosixSave, TheFileIsOnDiskBeforeTheRenameAndTheFolderAfter)
{
    struct Recorded {
        struct stat synced;
        ino_t named; // target.txt's file at the time
    };
    struct Recording final : PosixSaveFolder {
        using PosixSaveFolder::PosixSaveFolder;
        int sync(int fd) override
        {
            Recorded call{};
            struct stat target {};
            ::fstat(fd, &call.synced);
            call.named = ::stat(targetPath.c_str(), &target) == 0 ? target.st_ino : 0;
            calls.push_back(call);
            return PosixSaveFolder::sync(fd);
        }
        std::string targetPath;
        std::vector<Recorded> calls;
    } folder{FolderHandle(f.dir)};
    folder.targetPath = at("target.txt");
    f.write("target.txt", "old\r\n");
    save(folder, {"abc123"});
    const ino_t saved = f.status("target.txt").st_ino;
    ASSERT_EQ(folder.calls.size(), 2u);
    EXPECT_TRUE(folder.calls[0].synced.st_ino == saved && folder.calls[0].synced.st_size == 8);
    EXPECT_NE(folder.calls[0].named, saved);
    EXPECT_TRUE(S_ISDIR(folder.calls[1].synced.st_mode) && folder.calls[1].named == saved);
}

TEST_F(PosixSave, AMissingFolderIsRefusedNamingThePath)
{
    PosixSaveFolder missing(FolderHandle(at("no-such-folder")));
    const HostError e = saveError(missing, {"abc123"});
    EXPECT_NE(userMessage(e).find(at("no-such-folder/target.txt")), std::string::npos) << userMessage(e);
    EXPECT_TRUE(f.entries().empty());
}
#endif
