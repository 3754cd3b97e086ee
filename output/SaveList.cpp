#include "output/SaveList.h"

#include "platform/HostError.h"
#include "platform/PackedStringList.h"

#include <QRandomGenerator>

#include <sodium.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// The save is written with POSIX calls rather than QSaveFile because QSaveFile
// works on path names only: here every step is relative to the folder's
// handle (openat, renameat), writes go straight to the file without a buffer
// that would keep a copy of the passwords, the reason of a failure is the
// system's own (errno), and the group of the saver's old file can be kept.
// Following target.txt when it is a symbolic link is done here too, step by
// step, so the checks below take the place of the kernel's: it never sees the
// link as one.

namespace velkrin {

namespace {

constexpr const char *kTargetName = "target.txt";

[[noreturn]] void saveFailed(const QByteArray &path, const QString &reason)
{
    throw HostError(HostErrorKind::File,
                    QStringLiteral("The list could not be saved to \"%1\": %2.").arg(readablePath(path), reason));
}

// Fails with the reason in errno.
[[noreturn]] void systemFailed(const QByteArray &path)
{
    saveFailed(path, qt_error_string(errno));
}

QString inTheWay(mode_t mode)
{
    const char *what = "something that is not a regular file";
    switch (mode & S_IFMT) {
    case S_IFDIR:
        what = "a folder";
        break;
    case S_IFIFO:
        what = "a named pipe (FIFO)";
        break;
    case S_IFCHR:
        what = "a character device";
        break;
    case S_IFBLK:
        what = "a block device";
        break;
    case S_IFSOCK:
        what = "a socket";
        break;
    }
    return QStringLiteral("%1 of that name is in the way").arg(QLatin1String(what));
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
    QByteArray name = kTargetName;
    QByteArray path; // for messages
    bool exists = false;
    struct stat status {};
};

QString userName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QStringLiteral("user %1").arg(uid);
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
        saveFailed(target.path, QStringLiteral("it is a symbolic link that belongs to %1, in a folder that others can "
                                               "write; such a link is not followed, as it could lead the list into "
                                               "a file that is not yours")
                                    .arg(userName(link.st_uid)));
}

void locate(Target &target)
{
    for (int links = 0;; ++links) {
        if (::fstatat(target.folder, target.name.constData(), &target.status, AT_SYMLINK_NOFOLLOW) != 0) {
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
        const ssize_t length = ::readlinkat(target.folder, target.name.constData(), link, sizeof link);
        const bool tooFar = length >= 0 && (length == static_cast<ssize_t>(sizeof link) || links == 40);
        if (tooFar)
            errno = links == 40 ? ELOOP : ENAMETOOLONG;
        if (length < 0 || tooFar)
            systemFailed(target.path);
        const QByteArray to(link, length);
        target.path = to.startsWith('/') ? to : target.path.left(target.path.lastIndexOf('/') + 1) + to;
        const qsizetype slash = to.lastIndexOf('/');
        target.name = to.mid(slash + 1);
        if (slash >= 0) {
            const QByteArray folder = slash == 0 ? QByteArray("/") : to.left(slash);
            Descriptor next(::openat(target.folder, folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
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
    QByteArray name;
    Descriptor file;
    bool created = false;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (created && !renamed)
            ::unlinkat(folder, name.constData(), 0);
    }
};

bool writeAll(int fd, const char *bytes, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Copies of the passwords on their way to the file, wiped after each write.
struct Piece {
    static constexpr qsizetype kSize = 1 << 16;
    char bytes[kSize];
    qsizetype used = 0;
    ~Piece() { sodium_memzero(bytes, sizeof bytes); }
};

void writeList(const PackedStringList &list, const TemporaryFile &temp, const QByteArray &path)
{
    const auto piece = std::make_unique<Piece>();
    auto flush = [&] {
        const bool written = writeAll(temp.file.fd, piece->bytes, piece->used);
        sodium_memzero(piece->bytes, static_cast<size_t>(piece->used));
        piece->used = 0;
        if (!written)
            systemFailed(path);
    };
    auto put = [&](const char *bytes, qsizetype size) {
        while (size > 0) {
            const qsizetype take = std::min(size, Piece::kSize - piece->used);
            std::memcpy(piece->bytes + piece->used, bytes, static_cast<size_t>(take));
            piece->used += take;
            bytes += take;
            size -= take;
            if (piece->used == Piece::kSize)
                flush();
        }
    };
    for (qsizetype i = 0; i < list.count(); ++i) {
        const QByteArrayView item = list.itemBytes(i);
        put(item.data(), item.size());
        put("\r\n", 2);
    }
    flush();
}

} // namespace

QString targetFilePath(const QString &directory)
{
    return directory + QStringLiteral("/target.txt");
}

void SaveList(const PackedStringList &list, const FolderHandle &folder)
{
    // Past a file-size limit (ulimit -f) the kernel sends SIGXFSZ, which ends
    // the program by default; ignored, write() fails with EFBIG instead.
    std::signal(SIGXFSZ, SIG_IGN);

    Target target;
    target.path = folder.rawPath() + '/' + kTargetName;
    if (!folder.isOpen()) {
        if (folder.rawPath().isEmpty())
            throw HostError(HostErrorKind::File,
                            QStringLiteral("The list could not be saved: the folder that holds the program "
                                           "is not known (%1).")
                                .arg(folder.openError()));
        saveFailed(target.path, folder.openError());
    }
    target.folder = folder.fd();
    locate(target);
    // A file its user may not write stays as it is, as a read-only mark asks.
    if (target.exists && ::faccessat(target.folder, target.name.constData(), W_OK, AT_EACCESS) != 0)
        systemFailed(target.path);

    TemporaryFile temp;
    temp.folder = target.folder;
    for (int attempt = 0; temp.file.fd < 0; ++attempt) {
        temp.name = target.name + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        temp.file.fd = ::openat(temp.folder, temp.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (temp.file.fd < 0 && (errno != EEXIST || attempt == 100))
            systemFailed(target.path);
    }
    temp.created = true;
    writeList(list, temp, target.path);

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
    if (::renameat(temp.folder, temp.name.constData(), target.folder, target.name.constData()) != 0)
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
        saveFailed(target.path,
                   QStringLiteral("the folder could not be written to disk (%1)").arg(qt_error_string(errno)));
}

} // namespace velkrin
