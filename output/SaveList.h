#pragma once

#include "platform/FolderHandle.h"

#include <QString>

namespace velkrin {

class PackedStringList;

// The file the list is saved to, inside `directory`.
QString targetFilePath(const QString &directory);

// Writes every item of `list`, in order, to "target.txt" in `folder`, each
// followed by CR LF. The file is replaced only once the new content is
// complete and on disk, folder included; on failure the old file stays as it
// was and HostError(File) names the path and the reason. A newly created
// file is readable by its owner only; the saver's own old file keeps its mode
// and group, another user's is replaced by a new private one of the saver's.
// A target.txt that is a symbolic link is followed where the kernel's
// protected_symlinks rule would follow it, counting every folder others can
// write; one that is not a regular file is left alone.
void SaveList(const PackedStringList &list, const FolderHandle &folder);

} // namespace velkrin
