#include "output/SaveList.h"

#include "platform/HostError.h"
#include "platform/PackedStringList.h"

#include <QFileInfo>
#include <QSaveFile>

namespace velkrin {

namespace {

[[noreturn]] void saveFailed(const QString &path, const QString &reason)
{
    throw HostError(HostErrorKind::File,
                    QStringLiteral("The list could not be saved to \"%1\": %2.").arg(path, reason));
}

} // namespace

QString targetFilePath(const QString &directory)
{
    return directory + QStringLiteral("/target.txt");
}

void SaveList(const PackedStringList &list, const QString &directory)
{
    const QString path = targetFilePath(directory);
    const QFileInfo target(path);
    if (target.isDir())
        saveFailed(path, QStringLiteral("a folder of that name is in the way"));
    const bool isNew = !target.exists();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        saveFailed(path, file.errorString());
    // The file holds passwords in plain text.
    if (isNew && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        saveFailed(path, file.errorString());

    constexpr qsizetype kChunk = 1 << 16;
    QByteArray chunk;
    chunk.reserve(kChunk + 64);
    auto flush = [&] {
        if (file.write(chunk) != chunk.size()) {
            const QString reason = file.errorString();
            file.cancelWriting();
            saveFailed(path, reason);
        }
        chunk.clear();
    };
    for (qsizetype i = 0; i < list.count(); ++i) {
        chunk += list.itemBytes(i);
        chunk += "\r\n";
        if (chunk.size() >= kChunk)
            flush();
    }
    flush();
    if (!file.commit())
        saveFailed(path, file.errorString());
}

} // namespace velkrin
