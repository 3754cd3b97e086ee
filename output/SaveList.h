#pragma once

#include <functional>
#include <string_view>

namespace velkrin {

class SaveFolder;

// The file the list is saved to, in the executable's folder.
inline constexpr std::string_view kTargetFileName = "target.txt";

// Takes one item; the text need last only for the call.
using ItemSink = std::function<void(std::string_view item)>;

// Writes every item that `items` hands to its sink, in that order, to
// "target.txt" in `folder`, each followed by CR LF, through the folder's
// atomic replacement: on failure the old file stays as it was and
// HostError(File) says why.
void SaveList(const std::function<void(const ItemSink &)> &items, SaveFolder &folder);

} // namespace velkrin
