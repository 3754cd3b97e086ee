#pragma once

#include "platform/SaveFolder.h"
#include "platform/posix/FolderHandle.h"

namespace velkrin {

// The atomic save by a folder's handle. A new file is readable by its owner
// only; an existing one keeps its mode and, as far as the saver may set them,
// its owner and group. A name that is a symbolic link is followed; one that is
// not a regular file is left alone. A file its user may not write stays as
// it is.
class PosixSaveFolder final : public SaveFolder {
public:
    explicit PosixSaveFolder(FolderHandle folder);
    void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) override;

private:
    FolderHandle m_folder;
};

} // namespace velkrin
