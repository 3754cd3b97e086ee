#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace velkrin {

// A folder held by an open handle rather than by its name: files are made in
// the folder that was opened, even when its name is not valid UTF-8 or it has
// been renamed or moved since.
class FolderHandle {
public:
    // Opens the folder at `path` now; one that cannot be opened remembers why.
    // Implicit, so that a folder can be named by its path wherever one is due.
    FolderHandle(const QString &path);
    // The folder that holds the running executable, found through the raw
    // bytes of /proc/self/exe: Qt's application folder is empty when that
    // name does not decode.
    static FolderHandle executableFolder();

    bool isOpen() const noexcept { return m_fd && m_fd->fd >= 0; }
    // For the *at() calls; -1 when not open.
    int fd() const noexcept { return m_fd ? m_fd->fd : -1; }
    // The folder's path as the file system spells it; empty when not known.
    const QByteArray &rawPath() const noexcept { return m_rawPath; }
    // Why the folder could not be opened (the system's reason).
    const QString &openError() const noexcept { return m_openError; }

private:
    struct Descriptor {
        int fd = -1;
        ~Descriptor();
    };

    FolderHandle() = default;
    void open(const QByteArray &rawPath);

    std::shared_ptr<const Descriptor> m_fd;
    QByteArray m_rawPath;
    QString m_openError;
};

// A file path for messages: UTF-8 where it decodes, each other byte as \xNN,
// so a name the file system holds but the locale cannot show still reads.
QString readablePath(const QByteArray &rawPath);

} // namespace velkrin
