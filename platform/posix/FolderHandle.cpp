#include "platform/FolderHandle.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace velkrin {

FolderHandle::Descriptor::~Descriptor()
{
    if (fd >= 0)
        ::close(fd);
}

FolderHandle::FolderHandle(const QString &path)
{
    open(QFile::encodeName(path));
}

FolderHandle FolderHandle::executableFolder()
{
    FolderHandle folder;
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) {
        folder.m_openError = length < 0 ? qt_error_string(errno) : QStringLiteral("its path is too long");
        return folder;
    }
    const QByteArray exe(target, length);
    const qsizetype slash = exe.lastIndexOf('/');
    folder.open(slash <= 0 ? QByteArray("/") : exe.left(slash));
    return folder;
}

void FolderHandle::open(const QByteArray &rawPath)
{
    m_rawPath = rawPath;
    // O_PATH: the handle only names the folder, so a folder its user may
    // write but not list still works.
    auto descriptor = std::make_shared<Descriptor>();
    descriptor->fd = ::open(rawPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor->fd < 0)
        m_openError = qt_error_string(errno);
    m_fd = std::move(descriptor);
}

QString readablePath(const QByteArray &rawPath)
{
    QString shown;
    for (qsizetype i = 0; i < rawPath.size();) {
        const auto lead = static_cast<unsigned char>(rawPath[i]);
        const int length = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        bool valid = length > 0 && i + length <= rawPath.size();
        for (int k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(rawPath[i + k]) & 0xC0) == 0x80;
        // Overlong forms and surrogates decode to U+FFFD: shown as bytes too.
        const QString piece = valid ? QString::fromUtf8(rawPath.mid(i, length)) : QString();
        if (valid && !piece.contains(QChar::ReplacementCharacter)) {
            shown += piece;
            i += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(lead, 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

} // namespace velkrin
