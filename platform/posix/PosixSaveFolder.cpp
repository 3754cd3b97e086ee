#include "platform/posix/PosixSaveFolder.h"

#include "platform/HostError.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Every step is relative to the folder's handle (openat, renameat), writes go
// straight to the file without a buffer that would keep a copy of the
// passwords, the reason of a failure is the system's own (errno), and the
// group of the saver's old file can be kept. Following target.txt when it is
// a symbolic link is done here too, step by step, so the checks below take
// the place of the kernel's: it never sees the link as one.

namespace velkrin {

namespace {

[[noreturn]] void saveFailed(const std::string &path, FailureCause cause, const std::string &detail = {})
{
    throw HostError(HostErrorKind::File, cause, readablePath(path), detail);
}

// Fails with the reason in errno.
[[noreturn]] void systemFailed(const std::string &path)
{
    saveFailed(path, FailureCause::System, systemReason(errno));
}

FailureCause inTheWay(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return FailureCause::FolderInTheWay;
    case S_IFIFO:
        return FailureCause::NamedPipeInTheWay;
    case S_IFCHR:
        return FailureCause::CharacterDeviceInTheWay;
    case S_IFBLK:
        return FailureCause::BlockDeviceInTheWay;
    case S_IFSOCK:
        return FailureCause::SocketInTheWay;
    default:
        return FailureCause::NotAFileInTheWay;
    }
}

struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    explicit Descriptor(int owned) : fd(owned) {}
    Descriptor(Descriptor &&other) noexcept : fd(std::exchange(other.fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(fd, other.fd);
        return *this;
    }
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Where target.txt really is, symbolic links followed: a folder handle and a
// name in it, and what is there now.
struct Target {
    int folder = -1;
    Descriptor linkedFolder; // holds `folder` once a link leads elsewhere
    std::string name;
    std::string path; // for messages
    bool exists = false;
    struct stat status {};
};

std::string userName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? std::string(entry->pw_name) : "user " + std::to_string(uid);
}

// Whether a link in the target's folder may be followed: the rule of the kernel's
// protected_symlinks, widened from sticky world-writable folders to every
// folder someone besides the saver (and root) can write. There a link is
// followed only when it belongs to the saver or to root; otherwise whoever
// planted it could steer the save into a file the saver can write and they
// cannot, such as root's. A folder only the saver can write holds no link
// the saver did not allow.
void checkLink(const Target &target, const struct stat &link)
{
    const uid_t saver = ::geteuid();
    struct stat folder {};
    if (::fstat(target.folder, &folder) != 0)
        systemFailed(target.path);
    const bool othersWrite = (folder.st_uid != saver && folder.st_uid != 0) || (folder.st_mode & (S_IWGRP | S_IWOTH));
    if (othersWrite && link.st_uid != saver && link.st_uid != 0)
        saveFailed(target.path, FailureCause::ForeignLink, userName(link.st_uid));
}

void locate(Target &target)
{
    for (int links = 0;; ++links) {
        if (::fstatat(target.folder, target.name.c_str(), &target.status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                systemFailed(target.path);
            return;
        }
        if (!S_ISLNK(target.status.st_mode)) {
            if (!S_ISREG(target.status.st_mode))
                saveFailed(target.path, inTheWay(target.status.st_mode));
            target.exists = true;
            return;
        }
        checkLink(target, target.status);
        char link[PATH_MAX];
        const ssize_t length = ::readlinkat(target.folder, target.name.c_str(), link, sizeof link);
        const bool tooFar = length >= 0 && (length == static_cast<ssize_t>(sizeof link) || links == 40);
        if (tooFar)
            errno = links == 40 ? ELOOP : ENAMETOOLONG;
        if (length < 0 || tooFar)
            systemFailed(target.path);
        const std::string to(link, static_cast<std::size_t>(length));
        target.path = to.starts_with('/') ? to : target.path.substr(0, target.path.rfind('/') + 1) + to;
        const std::size_t slash = to.rfind('/');
        target.name = slash == std::string::npos ? to : to.substr(slash + 1);
        if (slash != std::string::npos) {
            const std::string folder = slash == 0 ? std::string("/") : to.substr(0, slash);
            Descriptor next(::openat(target.folder, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (next.fd < 0)
                systemFailed(target.path);
            target.linkedFolder = std::move(next);
            target.folder = target.linkedFolder.fd;
        }
    }
}

// The new content, in the same folder as the target so that rename() replaces
// it in one step; removed unless it became the target.
struct TemporaryFile {
    int folder = -1;
    std::string name;
    Descriptor file;
    bool created = false;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (created && !renamed)
            ::unlinkat(folder, name.c_str(), 0);
    }
};

bool writeAll(int fd, const char *bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The temporary file as the content's writer sees it.
class TemporarySink final : public FileSink {
public:
    TemporarySink(const TemporaryFile &temp, const std::string &path) : m_temp(temp), m_path(path) {}
    void write(std::span<const char> bytes) override
    {
        if (!writeAll(m_temp.file.fd, bytes.data(), bytes.size()))
            systemFailed(m_path);
    }

private:
    const TemporaryFile &m_temp;
    const std::string &m_path;
};

// A name for the temporary beside the target, new at each attempt. O_EXCL
// makes a name taken meanwhile fail and be tried again, so it need not be
// secret; it does not use the random source, which may be missing.
std::string temporaryName(const std::string &target, int attempt)
{
    std::uint64_t mixed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (static_cast<std::uint64_t>(::getpid()) << 32) ^ static_cast<std::uint64_t>(attempt);
    // splitmix64's finaliser spreads the bits over the whole word.
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9u;
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebu;
    mixed ^= mixed >> 31;
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = target + '.';
    for (; mixed != 0; mixed /= 36)
        name += kDigits[mixed % 36];
    return name;
}

} // namespace

PosixSaveFolder::PosixSaveFolder(FolderHandle folder) : m_folder(std::move(folder)) {}

void PosixSaveFolder::replaceFile(std::string_view name, const std::function<void(FileSink &)> &content)
{
    const FolderHandle &folder = m_folder;
    Target target;
    target.name = std::string(name);
    target.path = folder.rawPath() + '/' + target.name;
    if (!folder.isOpen()) {
        if (folder.rawPath().empty())
            throw HostError(HostErrorKind::File, FailureCause::FolderUnknown, {}, folder.openError());
        saveFailed(target.path, FailureCause::System, folder.openError());
    }
    target.folder = folder.fd();
    locate(target);
    // A file its user may not write stays as it is, as a read-only mark asks.
    if (target.exists && ::faccessat(target.folder, target.name.c_str(), W_OK, AT_EACCESS) != 0)
        systemFailed(target.path);

    TemporaryFile temp;
    temp.folder = target.folder;
    for (int attempt = 0; temp.file.fd < 0; ++attempt) {
        temp.name = temporaryName(target.name, attempt);
        temp.file.fd = ::openat(temp.folder, temp.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (temp.file.fd < 0 && (errno != EEXIST || attempt == 100))
            systemFailed(target.path);
    }
    temp.created = true;
    TemporarySink sink(temp, target.path);
    content(sink);

    // The file holds passwords in plain text: a new one is for its owner
    // only; the saver's own old file keeps its mode and group (a group the
    // saver chose). Another user's target.txt is replaced by a new private
    // file of the saver's rather than refused: the save still lands where it
    // was asked to, the rename leaves that user's file itself (and any hard
    // link to it) untouched, and no password becomes readable by that user,
    // as keeping their ownership or mode would make it.
    const bool reused = target.exists && target.status.st_uid == ::geteuid();
    if (reused && target.status.st_gid != ::getegid()) {
        // Refused for a group the saver is not in: the saver's stays.
        [[maybe_unused]] const int refused = ::fchown(temp.file.fd, static_cast<uid_t>(-1), target.status.st_gid);
    }
    const mode_t mode = reused ? target.status.st_mode & 07777 : 0600;
    if (::fchmod(temp.file.fd, mode) != 0 || ::fsync(temp.file.fd) != 0 ||
        ::close(std::exchange(temp.file.fd, -1)) != 0)
        systemFailed(target.path);
    if (::renameat(temp.folder, temp.name.c_str(), target.folder, target.name.c_str()) != 0)
        systemFailed(target.path);
    temp.renamed = true;

    // The new name is on disk only once the folder is: fsync needs a handle
    // opened for reading (the O_PATH handle cannot be synced). A folder its
    // user may write but not read cannot be opened so; that save stays as
    // durable as the file system makes it.
    Descriptor synced(::openat(target.folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.fd < 0 && errno != EACCES)
        systemFailed(target.path);
    if (synced.fd >= 0 && ::fsync(synced.fd) != 0)
        saveFailed(target.path, FailureCause::FolderNotSynced, systemReason(errno));
}

} // namespace velkrin
