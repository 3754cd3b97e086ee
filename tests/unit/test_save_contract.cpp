// The save's rules (platform/SaveFolder.h) on the Linux or Windows folder and
// the window tests' in-memory one; then the Linux folder's own cases.

#include "output/SaveList.h"
#include "platform/HostError.h"
#include "support/ScriptedHost.h"
#include "support/SystemRandomSource.h"
#include "window/UserMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <unistd.h>

#ifdef _WIN32
#include "platform/windows/ExecutableFolder.h"

#include <aclapi.h>
#include <regex>
#include <sddl.h>
#else
#include "platform/linux/PosixSaveFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

using namespace velkrin;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

void save(SaveFolder &folder, const Names &items)
{
    SaveList(
        [&](const ItemSink &put) {
            for (const std::string &item : items)
                put(item);
        },
        folder);
}

HostError saveError(SaveFolder &folder, const Names &items = {"abc123"})
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

// Each folder, its paths as messages name them, what a save meets there.
struct MemoryFixture {
    static constexpr const char *kName = "memory";
    test::MemoryFolder memory;
    SaveFolder &folder() { return memory; }
    std::string path(const std::string &name) const { return name; }
    std::string read(const std::string &name) const { return memory.files.at(name); }
    void write(const std::string &name, const std::string &bytes) { memory.files[name] = bytes; }
    void makeFolder(const std::string &name) { memory.folders.insert(name); }
    Names entries() const
    {
        Names names(memory.folders.begin(), memory.folders.end());
        for (const auto &file : memory.files)
            if (file.first.find('/') == std::string::npos)
                names.push_back(file.first);
        return names;
    }
    void share(const std::string &) {}
    bool shared(const std::string &) const { return true; }
    bool markReadOnly(const std::string &) { return false; }
};

// A new folder on disk, named with non-ASCII letters as users' folders often are.
struct DiskFixture {
    inline static int made = 0;
    const std::string number = std::to_string(getpid()) + '-' + std::to_string(++made);
    fs::path dir =
        fs::temp_directory_path() / (u8"velkrin-\u00e9t\u00e9-" + std::u8string(number.begin(), number.end()));
    DiskFixture() { fs::create_directories(dir); }
    ~DiskFixture() { fs::remove_all(dir); }
    fs::path at(const std::string &name) const { return dir / name; }
    std::string path(const std::string &name) const
    {
        return reinterpret_cast<const char *>(at(name).u8string().c_str());
    }
    std::string read(const std::string &name) const
    {
        std::ifstream in(at(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(at(name), std::ios::binary) << bytes;
    }
    void makeFolder(const std::string &name) const { fs::create_directory(at(name)); }
    Names entries() const
    {
        Names names;
        for (const auto &entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

#ifdef _WIN32
struct Win32Fixture : DiskFixture {
    static constexpr const char *kName = "win32";
    win32::ExecutableFolder saveFolder{dir.wstring()};
    ~Win32Fixture() { SetFileAttributesW(at("target.txt").c_str(), FILE_ATTRIBUTE_NORMAL); } // removable
    SaveFolder &folder() { return saveFolder; }
    // The file's owner and access list, as SDDL.
    std::wstring access(const std::string &name) const
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        wchar_t *text = nullptr;
        const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
        GetNamedSecurityInfoW(at(name).c_str(), SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr, nullptr, &descriptor);
        ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, parts, &text, nullptr);
        const std::wstring sddl = text ? text : L"unreadable";
        LocalFree(text);
        LocalFree(descriptor);
        return sddl;
    }
    // Only its owner may open it, and the system (which Wine always lists).
    bool ownerOnly(const std::string &name) const
    {
        return std::regex_match(access(name), std::wregex(LR"(O:([-\w]+)D:\w*(\(A;[^;]*;[^;]*;;;(SY|\1)\))+)"));
    }
    // Everyone may read it, as a file the user shared.
    void share(const std::string &name) const
    {
        const std::wstring sddl = access(name), owner = sddl.substr(2, sddl.find(L"D:") - 2);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            (L"D:P(A;;FA;;;" + owner + L")(A;;FR;;;WD)").c_str(), SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_TRUE(SetFileSecurityW(at(name).c_str(), DACL_SECURITY_INFORMATION, descriptor));
        LocalFree(descriptor);
    }
    bool shared(const std::string &name) const { return access(name).find(L";WD)") != std::wstring::npos; }
    // Windows' ReplaceFileW merges the old file's access list; Wine's does not.
    bool replacingKeepsPermissions() const { return !GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version"); }
    bool markReadOnly(const std::string &name) const
    {
        return SetFileAttributesW(at(name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
};
using Folders = ::testing::Types<Win32Fixture, MemoryFixture>;
#else
struct PosixFixture : DiskFixture {
    static constexpr const char *kName = "posix";
    mode_t savedUmask = ::umask(022);
    PosixSaveFolder saveFolder{FolderHandle(dir.string())};
    ~PosixFixture() { ::umask(savedUmask); }
    SaveFolder &folder() { return saveFolder; }
    struct stat status(const std::string &name) const
    {
        struct stat st {};
        EXPECT_EQ(::lstat(path(name).c_str(), &st), 0) << name;
        return st;
    }
    mode_t mode(const std::string &name) const { return status(name).st_mode & 07777; }
    bool ownerOnly(const std::string &name) const { return mode(name) == 0600; }
    void share(const std::string &name) const { fs::permissions(at(name), fs::perms(0640)); }
    bool shared(const std::string &name) const { return mode(name) == 0640; }
    bool replacingKeepsPermissions() const { return true; }
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
// temporary file behind; an empty list leaves an empty file.
TYPED_TEST(SaveContract, WritesEachItemThenCrLfInOrder)
{
    Names items{"abc123", "", "xyz789"};
    std::string expected = "abc123\r\n\r\nxyz789\r\n";
    for (int i = 0; i < 40000; ++i) {
        items.push_back("p" + std::to_string(100000 + i));
        expected += items.back() + "\r\n";
    }
    this->f.write("target.txt", "old1\r\nold2\r\n");
    save(this->f.folder(), items);
    save(this->f.folder(), items);
    EXPECT_TRUE(this->f.read("target.txt") == expected) << "the saved file differs from the list";
    EXPECT_EQ(this->f.entries(), Names{"target.txt"});
    save(this->f.folder(), {});
    EXPECT_EQ(this->f.entries(), Names{"target.txt"});
    EXPECT_EQ(this->f.read("target.txt"), "");
}

// A write that fails halfway (a full disk) leaves the old file, its
// permissions, and no partial copy.
TYPED_TEST(SaveContract, AFailedWriteKeepsTheOldFile)
{
    this->f.write("target.txt", "old111\r\nold222\r\n");
    this->f.share("target.txt");
    const auto halfThenDiskFull = [](FileSink &sink) {
        sink.write(std::string(100000, 'x'));
        throw HostError(HostErrorKind::File, FailureCause::System);
    };
    EXPECT_THROW(this->f.folder().replaceFile("target.txt", halfThenDiskFull), HostError);
    EXPECT_EQ(this->f.read("target.txt"), "old111\r\nold222\r\n");
    EXPECT_TRUE(this->f.shared("target.txt"));
    EXPECT_EQ(this->f.entries(), Names{"target.txt"});
}

TYPED_TEST(SaveContract, AFolderNamedTargetTxtIsRefusedAndLeftAsItWas)
{
    this->f.makeFolder("target.txt");
    this->f.write("target.txt/inside.txt", "keep me");
    const HostError e = saveError(this->f.folder());
    EXPECT_NE(userMessage(e).find('"' + this->f.path("target.txt") + "\": a folder of that name is in the way"),
              std::string::npos)
        << userMessage(e);
    EXPECT_EQ(this->f.read("target.txt/inside.txt"), "keep me");
    EXPECT_EQ(this->f.entries(), Names{"target.txt"});
}

TYPED_TEST(SaveContract, ANewFileIsOwnerOnlyAnExistingOneKeepsItsPermissions)
{
    if constexpr (!std::is_same_v<TypeParam, MemoryFixture>) { // the memory folder has no permissions
        save(this->f.folder(), {"secret"});
        EXPECT_TRUE(this->f.ownerOnly("target.txt"));
        save(this->f.folder(), {"secret"});
        EXPECT_TRUE(this->f.ownerOnly("target.txt"));
        this->f.share("target.txt");
        save(this->f.folder(), {"secret", "again"});
        EXPECT_TRUE(this->f.shared("target.txt") || !this->f.replacingKeepsPermissions());
        EXPECT_EQ(this->f.read("target.txt"), "secret\r\nagain\r\n");
    }
}

TYPED_TEST(SaveContract, AReadOnlyFileStaysAsItIs)
{
    this->f.write("target.txt", "old\r\n");
    if (!this->f.markReadOnly("target.txt"))
        GTEST_SKIP() << "no read-only mark here";
    const HostError e = saveError(this->f.folder());
    EXPECT_NE(userMessage(e).find(this->f.path("target.txt")), std::string::npos) << userMessage(e);
    EXPECT_EQ(this->f.read("target.txt"), "old\r\n");
}

// Where the system deletes the folder, Save writes the list and then says so,
// naming the folder; elsewhere it says nothing.
TEST(SaveInTemporaryFolder, WritesThenWarnsWhereTheFileIs)
{
    SystemRandomSource random;
    test::ScriptedHost host(random);
    host.form.Load();
    host.XPButton1.press();
    host.Timer1.tick();
    host.XPButton3.press();
    EXPECT_TRUE(host.warnings.empty());
    host.folder.temporary = "C:\\Temp\\Temp1_Velkrin.zip";
    host.XPButton3.press();
    EXPECT_EQ(host.folder.files.at("target.txt"), std::string(host.List1.item(0)) + "\r\n");
    ASSERT_EQ(host.warnings.size(), 1u);
    EXPECT_NE(host.warnings[0].find("\"C:\\Temp\\Temp1_Velkrin.zip\""), std::string::npos) << host.warnings[0];
}

#ifdef _WIN32
// The Windows folder knows the system's temporary folder by its full long
// name, case aside, and not by a name that merely begins like it.
TEST(ExecutableFolderTemporary, IsTheSystemsTemporaryFolderOrOneInsideIt)
{
    const auto temporary = [](const std::wstring &folder) {
        return !win32::ExecutableFolder(folder).temporaryFolder().empty();
    };
    DiskFixture inside; // made in GetTempPathW's folder
    EXPECT_TRUE(temporary(inside.dir.wstring()));
    std::wstring shortUpper(1024, L'\0');
    shortUpper.resize(GetShortPathNameW(inside.dir.c_str(), shortUpper.data(), 1024));
    CharUpperW(shortUpper.data());
    EXPECT_TRUE(temporary(shortUpper)) << shortUpper;
    std::wstring sibling = fs::temp_directory_path().wstring();
    while (sibling.back() == L'\\')
        sibling.pop_back();
    EXPECT_TRUE(temporary(sibling));
    EXPECT_FALSE(temporary(sibling + L"x"));
    EXPECT_FALSE(temporary(fs::current_path().wstring())); // the build folder
}
#endif

#ifndef _WIN32
namespace {

// Root saving in shared/, a folder of nobody's; rootonly/ holds root's files.
class PosixSave : public ::testing::Test {
protected:
    static constexpr uid_t kNobody = 65534;
    PosixFixture f;
    std::string at(const std::string &name) const { return f.path(name); }
    void link(const std::string &to, const std::string &name, uid_t owner) const
    {
        ASSERT_TRUE(::symlink(to.c_str(), at(name).c_str()) == 0 && ::lchown(at(name).c_str(), owner, owner) == 0);
    }
    bool asRootBesideNobody() const
    {
        return ::geteuid() == 0 && ::mkdir(at("shared").c_str(), 0755) == 0 &&
               ::chown(at("shared").c_str(), kNobody, kNobody) == 0 && ::mkdir(at("rootonly").c_str(), 0700) == 0;
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
    PosixSaveFolder folder = shared();
    for (const mode_t folderMode : {0755, 01777}) { // nobody's; root's sticky world-writable
        ASSERT_TRUE(::chmod(at("shared").c_str(), folderMode) == 0 &&
                    ::chown(at("shared").c_str(), folderMode == 0755 ? kNobody : 0, 0) == 0);
        f.write("rootonly/shadow", "root only");
        fs::permissions(at("rootonly/shadow"), fs::perms(0640));
        link("../rootonly/shadow", "shared/target.txt", kNobody);
        const HostError e = saveError(folder);
        EXPECT_NE(userMessage(e).find("symbolic link that belongs to nobody"), std::string::npos) << userMessage(e);
        ASSERT_EQ(::unlink(at("shared/target.txt").c_str()), 0);
        link("saves/shadow", "shared/target.txt", 0);
        link("../rootonly", "shared/saves", kNobody);
        EXPECT_EQ(saveError(folder).cause(), FailureCause::ForeignLink);
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
    fs::permissions(at("rootfile"), fs::perms(0644));
    ASSERT_EQ(::symlink(at("rootonly/secret.txt").c_str(), at("rootlink").c_str()), 0);
    for (const std::string plant : {"rootfile", "rootlink", "nobody's file"}) {
        SCOPED_TRACE(plant);
        if (plant == "nobody's file") {
            f.write("shared/target.txt", "");
            ASSERT_EQ(::chown(at("shared/target.txt").c_str(), kNobody, kNobody), 0);
        } else {
            ASSERT_EQ(::linkat(AT_FDCWD, at(plant).c_str(), AT_FDCWD, at("shared/target.txt").c_str(), 0), 0);
        }
        save(folder, {"secret"});
        const struct stat st = f.status("shared/target.txt");
        EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_uid == 0 && st.st_nlink == 1 && (st.st_mode & 07777) == 0600)
            << st.st_uid << " " << std::oct << st.st_mode;
        EXPECT_EQ(f.read("shared/target.txt"), "secret\r\n");
        EXPECT_TRUE(f.read("rootfile") == "root file" && f.mode("rootfile") == 0644);
        EXPECT_FALSE(fs::exists(at("rootonly/secret.txt")));
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
    EXPECT_TRUE(::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(f.entries(), Names{"target.txt"});
    EXPECT_EQ(f.read("target.txt"), "old\r\n");
}

// The content reaches the disk before it takes the name, the new name after.
TEST_F(PosixSave, TheFileIsOnDiskBeforeTheRenameAndTheFolderAfter)
{
    struct Recording final : PosixSaveFolder {
        using PosixSaveFolder::PosixSaveFolder;
        int sync(int fd) override
        {
            struct stat synced {};
            struct stat named {};
            ::fstat(fd, &synced);
            ::stat(target.c_str(), &named);
            calls.push_back({synced.st_ino, named.st_ino, S_ISDIR(synced.st_mode) ? 0 : synced.st_size});
            return PosixSaveFolder::sync(fd);
        }
        std::string target;
        std::vector<std::tuple<ino_t, ino_t, off_t>> calls; // synced, target.txt's then, a file's size
    } folder{FolderHandle(f.dir.string())};
    folder.target = at("target.txt");
    f.write("target.txt", "old\r\n");
    const ino_t old = f.status("target.txt").st_ino;
    save(folder, {"abc123"});
    const ino_t saved = f.status("target.txt").st_ino;
    EXPECT_EQ(folder.calls, (decltype(folder.calls){{saved, old, 8}, {f.status(".").st_ino, saved, 0}}));
}

TEST_F(PosixSave, AMissingFolderIsRefusedNamingThePath)
{
    PosixSaveFolder missing(FolderHandle(at("no-such-folder")));
    const HostError e = saveError(missing);
    EXPECT_NE(userMessage(e).find(at("no-such-folder/target.txt")), std::string::npos) << userMessage(e);
    EXPECT_TRUE(f.entries().empty());
}
#endif
