#include "platform/linux/PosixSaveFolder.h"

#include "platform/HostError.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Every step is relative to a folder's handle (openat, renameat), writes go
// straight to the file without a buffer that would keep a copy of the
// passwords, the reason of a failure is the system's own (errno), and the
// group of the saver's old file can be kept.

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

// Where the file really is, links followed: a folder handle, the name in
// it, and what is there now.
struct Target {
    Descriptor held; // the folder, once the walk has left the first one
    int folder = -1;
    std::string folderPath; // for messages; empty for "/"
    std::string name;
    bool exists = false;   // a regular file, or a link replaced rather than followed
    bool keepMode = false; // the saver's own file, whose permissions stay
    struct stat status {};
    std::string path() const { return folderPath + '/' + name; }
};

std::string userName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? std::string(entry->pw_name) : "user " + std::to_string(uid);
}

FoundEntry::Kind kindOf(mode_t mode)
{
    using Kind = FoundEntry::Kind;
    switch (mode & S_IFMT) {
    case S_IFREG:
        return Kind::File;
    case S_IFLNK:
        return Kind::Link;
    case S_IFDIR:
        return Kind::Folder;
    case S_IFIFO:
        return Kind::NamedPipe;
    case S_IFCHR:
        return Kind::CharacterDevice;
    case S_IFBLK:
        return Kind::BlockDevice;
    case S_IFSOCK:
        return Kind::Socket;
    default:
        return Kind::Other;
    }
}

// Judges `entry`, found as `part` in the target's folder, by decideSave().
SaveStep judge(const Target &target, const std::string &part, const struct stat &entry)
{
    const uid_t saver = ::geteuid();
    struct stat folder {};
    if (::fstat(target.folder, &folder) != 0)
        systemFailed(target.folderPath + '/' + part);
    FoundEntry found;
    found.kind = kindOf(entry.st_mode);
    found.trustedOwner = entry.st_uid == saver || (found.kind == FoundEntry::Kind::Link && entry.st_uid == 0);
    found.folderSharedWithOthers =
        (folder.st_uid != saver && folder.st_uid != 0) || (folder.st_mode & (S_IWGRP | S_IWOTH));
    found.names = entry.st_nlink;
    const SaveDecision decision = decideSave(found);
    if (decision.step == SaveStep::Refuse)
        saveFailed(target.folderPath + '/' + part, decision.refusal,
                   decision.refusal == FailureCause::ForeignLink ? userName(entry.st_uid) : std::string());
    return decision.step;
}

// Splits a link's text into its parts, pushed so that the first is taken next.
void pushParts(std::vector<std::string> &pending, const std::string &text)
{
    std::size_t end = text.size();
    for (std::size_t slash; end > 0 && (slash = text.rfind('/', end - 1)) != std::string::npos; end = slash)
        pending.push_back(text.substr(slash + 1, end - slash - 1));
    pending.push_back(text.substr(0, end));
}

// Walks from the folder to the name one part at a time: every folder on the
// way is opened without following a link, and a link met anywhere is judged
// in the folder it stands in before its text is walked in turn.
void locate(Target &target)
{
    std::vector<std::string> pending{target.name};
    for (int links = 0; !pending.empty();) {
        const std::string part = std::move(pending.back());
        pending.pop_back();
        const bool last = pending.empty();
        if (part.empty() || part == ".") {
            if (last)
                saveFailed(target.path(), FailureCause::FolderInTheWay);
            continue;
        }
        target.name = part;
        Descriptor entry(::openat(target.folder, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (entry.fd < 0 && errno == ENOENT && last)
            return; // a new file
        struct stat status {};
        if (entry.fd < 0 || ::fstat(entry.fd, &status) != 0)
            systemFailed(target.path());
        if (S_ISDIR(status.st_mode) && !last) {
            target.held = std::move(entry);
            target.folder = target.held.fd;
            target.folderPath += '/' + part;
            continue;
        }
        const SaveStep step = judge(target, part, status);
        if (S_ISLNK(status.st_mode) && step == SaveStep::FollowLink) {
            char link[PATH_MAX];
            const ssize_t length = ::readlinkat(entry.fd, "", link, sizeof link);
            const bool tooFar = length >= 0 && (length == static_cast<ssize_t>(sizeof link) || ++links > 40);
            if (tooFar)
                errno = links > 40 ? ELOOP : ENAMETOOLONG;
            if (length < 0 || tooFar)
                systemFailed(target.path());
            const std::string to(link, static_cast<std::size_t>(length));
            if (to.starts_with('/')) {
                target.held = Descriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
                target.folder = target.held.fd;
                target.folderPath.clear();
            }
            pushParts(pending, to);
            continue;
        }
        if (!last && S_ISLNK(status.st_mode))
            saveFailed(target.path(), FailureCause::LinkWithOtherNames);
        if (!last) { // a file where a folder should be
            errno = ENOTDIR;
            systemFailed(target.path());
        }
        target.exists = true;
        target.keepMode = step == SaveStep::KeepMode;
        target.status = status;
        return;
    }
}

// The new content, in the same folder as the target so that rename() replaces
// it in one step; removed unless it became the target.
struct TemporaryFile {
    int folder = -1;
    std::string name; // empty while it has none
    Descriptor file;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (!name.empty() && !renamed)
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

// Gives the unnamed file a name beside the target, just before the rename.
// AT_EMPTY_PATH needs a privilege; /proc/self/fd does not.
void giveName(TemporaryFile &temp, const std::string &target, const std::string &shownPath)
{
    const std::string self = "/proc/self/fd/" + std::to_string(temp.file.fd);
    for (unsigned attempt = 0;; ++attempt) {
        const std::string name = target + temporarySuffix(static_cast<std::uint64_t>(::getpid()), attempt);
        int linked = ::linkat(AT_FDCWD, self.c_str(), temp.folder, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT)
            linked = ::linkat(temp.file.fd, "", temp.folder, name.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            temp.name = name;
            return;
        }
        if (errno != EEXIST || attempt + 1 == kTemporaryNameAttempts)
            systemFailed(shownPath);
    }
}

} // namespace

PosixSaveFolder::PosixSaveFolder(FolderHandle folder) : m_folder(std::move(folder)) {}

void PosixSaveFolder::replaceFile(std::string_view name, const std::function<void(FileSink &)> &content)
{
    const FolderHandle &folder = m_folder;
    Target target;
    target.name = std::string(name);
    target.folderPath = folder.rawPath() == "/" ? std::string() : folder.rawPath();
    if (!folder.isOpen()) {
        if (folder.rawPath().empty())
            throw HostError(HostErrorKind::File, folder.openCause(), {}, folder.openError());
        saveFailed(target.path(), folder.openCause(), folder.openError());
    }
    target.folder = folder.fd();
    locate(target);
    const std::string path = target.path();
    // A file its user may not write stays as it is, as a read-only mark asks.
    if (target.exists && S_ISREG(target.status.st_mode) &&
        ::faccessat(target.folder, target.name.c_str(), W_OK, AT_EACCESS) != 0)
        systemFailed(path);

    TemporaryFile temp;
    temp.folder = target.folder;
    temp.file.fd = ::openat(temp.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    // A file system without unnamed files: a named one from the start.
    for (unsigned attempt = 0; temp.file.fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EEXIST);
         ++attempt) {
        temp.name = target.name + temporarySuffix(static_cast<std::uint64_t>(::getpid()), attempt);
        temp.file.fd = ::openat(temp.folder, temp.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (temp.file.fd < 0)
            temp.name.clear();
        if (attempt + 1 == kTemporaryNameAttempts)
            break;
    }
    if (temp.file.fd < 0)
        systemFailed(path);
    TemporarySink sink(temp, path);
    content(sink);

    // The file holds passwords in plain text: a new one is for its owner
    // only; the saver's own old file keeps its mode and group (a group the
    // saver chose).
    if (target.keepMode && target.status.st_gid != ::getegid()) {
        // Refused for a group the saver is not in: the saver's stays.
        [[maybe_unused]] const int refused = ::fchown(temp.file.fd, static_cast<uid_t>(-1), target.status.st_gid);
    }
    const mode_t mode = target.keepMode ? target.status.st_mode & 07777 : 0600;
    if (::fchmod(temp.file.fd, mode) != 0 || sync(temp.file.fd) != 0)
        systemFailed(path);
    if (temp.name.empty())
        giveName(temp, target.name, path);
    if (::close(std::exchange(temp.file.fd, -1)) != 0 ||
        ::renameat(temp.folder, temp.name.c_str(), target.folder, target.name.c_str()) != 0)
        systemFailed(path);
    temp.renamed = true;

    // The new name is on disk only once the folder is: fsync needs a handle
    // opened for reading (the O_PATH handle cannot be synced). A folder its
    // user may write but not read cannot be opened so; that save stays as
    // durable as the file system makes it.
    Descriptor synced(::openat(target.folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.fd < 0 && errno != EACCES)
        systemFailed(path);
    if (synced.fd >= 0 && sync(synced.fd) != 0)
        saveFailed(path, FailureCause::FolderNotSynced, systemReason(errno));
}

int PosixSaveFolder::sync(int fd)
{
    return ::fsync(fd);
}

} // namespace velkrin
