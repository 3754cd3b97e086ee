#pragma once

#include "platform/FolderHandle.h"

#include <QString>

namespace velkrin {

class PackedStringList;

// The file the list is saved to, inside `directory`.
QString targetFilePath(const QString &directory);

// Writes every item of `list`, in order, to "target.txt" in `folder`, each
// followed by CR LF. The file is replaced only once the new content is
// complete and on disk; on failure the old file stays as it was and
// HostError(File) names the path and the system's reason. A newly created
// file is readable by its owner only; an existing one keeps its mode and, as
// far as the saver may set them, its owner and group. A target.txt that is a
// symbolic link is followed; one that is not a regular file is left alone.
void SaveList(const PackedStringList &list, const FolderHandle &folder);

} // namespace velkrin
