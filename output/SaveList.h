#pragma once

#include <QString>

namespace velkrin {

class PackedStringList;

// The file the list is saved to, inside `directory`.
QString targetFilePath(const QString &directory);

// Writes every item of `list`, in order, to "target.txt" in `directory`, each
// followed by CR LF. The file is replaced only once the new content is
// complete; on failure the old file stays as it was and HostError(File) names
// the path and the reason. A newly created file is readable by its owner
// only; an existing file keeps its permissions.
void SaveList(const PackedStringList &list, const QString &directory);

} // namespace velkrin
