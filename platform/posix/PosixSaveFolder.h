#pragma once

#include "platform/SaveFolder.h"
#include "platform/posix/FolderHandle.h"

namespace velkrin {

// The atomic save by a folder's handle; the folder too is on disk before it
// returns. A new file is readable by its owner only; the saver's own old file
// keeps its mode and group, another user's is replaced by a new private one of
// the saver's. A name that is a symbolic link is followed where the kernel's
// protected_symlinks rule would follow it, counting every folder others can
// write; one that is not a regular file is left alone. A file its user may
// not write stays as it is.
class PosixSaveFolder final : public SaveFolder {
public:
    explicit PosixSaveFolder(FolderHandle folder);
    void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) override;

private:
    FolderHandle m_folder;
};

} // namespace velkrin
