#include "platform/linux/FolderHandle.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velkrin {

FolderHandle::Descriptor::~Descriptor()
{
    if (fd >= 0)
        ::close(fd);
}

FolderHandle::FolderHandle(const std::string &path)
{
    open(path);
}

FolderHandle FolderHandle::executableFolder()
{
    FolderHandle folder;
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) {
        folder.m_openCause = length < 0 ? FailureCause::FolderUnknown : FailureCause::PathTooLong;
        folder.m_openError = length < 0 ? systemReason(errno) : std::string();
        return folder;
    }
    const std::string exe(target, static_cast<std::size_t>(length));
    const std::size_t slash = exe.rfind('/');
    folder.open(slash == 0 || slash == std::string::npos ? std::string("/") : exe.substr(0, slash));
    return folder;
}

void FolderHandle::open(const std::string &rawPath)
{
    m_rawPath = rawPath;
    // O_PATH: the handle only names the folder, so a folder its user may
    // write but not list still works.
    auto descriptor = std::make_shared<Descriptor>();
    descriptor->fd = ::open(rawPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor->fd < 0)
        m_openError = systemReason(errno);
    m_fd = std::move(descriptor);
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

std::string readablePath(const std::string &rawPath)
{
    std::string shown;
    const std::size_t n = rawPath.size();
    for (std::size_t i = 0; i < n;) {
        const auto lead = static_cast<unsigned char>(rawPath[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool valid = length > 0 && i + length <= n;
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(rawPath[i + k]) & 0xC0) == 0x80;
        if (valid && length > 1) {
            // Overlong forms, surrogates and values past U+10FFFF are shown
            // as bytes too.
            std::uint32_t code = lead & (0x7Fu >> length);
            for (std::size_t k = 1; k < length; ++k)
                code = (code << 6) | (static_cast<unsigned char>(rawPath[i + k]) & 0x3Fu);
            const std::uint32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
            valid = code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        }
        if (valid) {
            shown.append(rawPath, i, length);
            i += length;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", lead);
            shown += escaped;
            ++i;
        }
    }
    return shown;
}

} // namespace velkrin
