#pragma once

#include <string_view>

namespace velkrin {

class ListBox;
class SaveFolder;

// The file the list is saved to, in the executable's folder.
inline constexpr std::string_view kTargetFileName = "target.txt";

// Writes every item of `list`, in order, to "target.txt" in `folder`, each
// followed by CR LF, through the folder's atomic replacement: on failure the
// old file stays as it was and HostError(File) says why.
void SaveList(const ListBox &list, SaveFolder &folder);

} // namespace velkrin
