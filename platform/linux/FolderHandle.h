#pragma once

#include "platform/HostError.h"

#include <memory>
#include <string>

namespace velkrin {

// A folder held by an open handle rather than by its name: files are made in
// the folder that was opened, even when its name is not valid UTF-8 or it has
// been renamed or moved since.
class FolderHandle {
public:
    // Opens the folder at `path` (bytes as the file system spells them) now;
    // one that cannot be opened remembers why.
    explicit FolderHandle(const std::string &path);
    // The folder that holds the running executable, found through the raw
    // bytes of /proc/self/exe.
    static FolderHandle executableFolder();

    bool isOpen() const noexcept { return m_fd && m_fd->fd >= 0; }
    // For the *at() calls; -1 when not open.
    int fd() const noexcept { return m_fd ? m_fd->fd : -1; }
    // The folder's path as the file system spells it; empty when not known.
    const std::string &rawPath() const noexcept { return m_rawPath; }
    // Why the folder could not be opened or found, and the system's reason.
    FailureCause openCause() const noexcept { return m_openCause; }
    const std::string &openError() const noexcept { return m_openError; }

private:
    struct Descriptor {
        int fd = -1;
        ~Descriptor();
    };

    FolderHandle() = default;
    void open(const std::string &rawPath);

    std::shared_ptr<const Descriptor> m_fd;
    std::string m_rawPath;
    FailureCause m_openCause = FailureCause::System;
    std::string m_openError;
};

// A file path for messages: UTF-8 where it decodes, each other byte as \xNN,
// so a name the file system holds but the locale cannot show still reads.
std::string readablePath(const std::string &rawPath);

// The system's reason for an error number, as a sentence part.
std::string systemReason(int error);

} // namespace velkrin
