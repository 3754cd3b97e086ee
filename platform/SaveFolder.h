#pragma once

#include "platform/HostError.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace velkrin {

// Where a file's new content goes while it is written.
class FileSink {
public:
    virtual void write(std::span<const char> bytes) = 0;

protected:
    ~FileSink() = default;
};

// A folder the program saves into (the executable's), held from start-up.
//
// replaceFile() replaces the file `name` in this folder with what `content`
// writes, in one step, by these rules:
// - The content goes to a temporary file in the folder (the target's folder,
//   where a link leads elsewhere), is flushed to disk, and only then takes
//   the name's place; the folder is flushed after. A save that fails, or is
//   killed, leaves the old file as it was and no copy of the passwords behind
//   (where the system allows a file without a name; otherwise a killed save
//   may leave one owner-only temporary named by temporaryName()).
// - What stands at the name is judged by decideSave(): something other than
//   a regular file is refused with a message that says what is in the way; a
//   file its user may not write (marked read-only) stays as it is.
// - A new file is readable and writable by its owner only; the saver's own
//   file keeps its permissions.
// - Every failure is HostError(File) naming the path and why.
class SaveFolder {
public:
    virtual ~SaveFolder() = default;
    virtual void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) = 0;
    // The folder's path, as messages name it, when it lies in the system's
    // temporary folder, which the system empties (Windows runs a program
    // opened from inside a zip there, and deletes the folder later); empty
    // otherwise. Save still writes there and then warns, saying where the
    // file is: the list is on disk at once, as the user asked, and can be
    // copied out, whereas a save refused or asked about first would leave
    // the user with no file, or a question, before they know why.
    virtual std::string temporaryFolder() const = 0;
};

// What a save finds at a name on its way to the file, as the host sees it.
struct FoundEntry {
    enum class Kind {
        Missing,
        File,
        Link,
        Folder,
        LinkToFolder,
        NamedPipe,
        CharacterDevice,
        BlockDevice,
        Socket,
        Other
    };
    Kind kind = Kind::Missing;
    // A file: the saver's own. A link: the saver's or the system's (root's).
    bool trustedOwner = false;
    // Someone besides the saver and the system may write the folder it is in.
    bool folderSharedWithOthers = false;
    std::uint64_t names = 1; // its hard links
};

enum class SaveStep {
    CreateNew,  // a new owner-only file takes the name
    KeepMode,   // the new content keeps the old file's permissions
    FollowLink, // the link's target is judged next, its folder as this one
    Refuse,     // nothing is written; HostError(File, refusal)
};

struct SaveDecision {
    SaveStep step;
    FailureCause refusal = FailureCause::System;
};

// In a folder others can write, a link is followed only when the saver or
// the system made it, else whoever planted it could steer the list into a
// file the saver may write and they may not. There an entry with more than
// one name is never reused nor followed: another name of it may be theirs (a
// hard link to a file or link of the saver's or root's), so its mode or its
// target is not the saver's choice. Another user's file is replaced by a new
// file of the saver's rather than refused: the save lands where it was asked
// to, the rename leaves their file itself untouched, and no password becomes
// readable by them.
inline SaveDecision decideSave(const FoundEntry &found)
{
    using Kind = FoundEntry::Kind;
    const bool shared = found.folderSharedWithOthers;
    switch (found.kind) {
    case Kind::Missing:
        return {SaveStep::CreateNew};
    case Kind::File:
        return {found.trustedOwner && !(shared && found.names > 1) ? SaveStep::KeepMode : SaveStep::CreateNew};
    case Kind::Link:
        if (shared && !found.trustedOwner)
            return {SaveStep::Refuse, FailureCause::ForeignLink};
        return {shared && found.names > 1 ? SaveStep::CreateNew : SaveStep::FollowLink};
    case Kind::Folder:
        return {SaveStep::Refuse, FailureCause::FolderInTheWay};
    case Kind::LinkToFolder:
        return {SaveStep::Refuse, FailureCause::LinkToFolderInTheWay};
    case Kind::NamedPipe:
        return {SaveStep::Refuse, FailureCause::NamedPipeInTheWay};
    case Kind::CharacterDevice:
        return {SaveStep::Refuse, FailureCause::CharacterDeviceInTheWay};
    case Kind::BlockDevice:
        return {SaveStep::Refuse, FailureCause::BlockDeviceInTheWay};
    case Kind::Socket:
        return {SaveStep::Refuse, FailureCause::SocketInTheWay};
    case Kind::Other:
        break;
    }
    return {SaveStep::Refuse, FailureCause::NotAFileInTheWay};
}

// What a save's temporary file adds to the target's name, different for each
// attempt and process. Created exclusively, a name taken meanwhile fails and
// the next attempt is made, so it need not be secret, and it does not use the
// random source, which may be missing.
// How many names are tried before the save gives up with the system's reason.
inline constexpr unsigned kTemporaryNameAttempts = 100;
inline std::string temporarySuffix(std::uint64_t processId, unsigned attempt)
{
    return '.' + std::to_string(processId) + '-' + std::to_string(attempt) + ".tmp";
}

} // namespace velkrin
