#pragma once

#include "platform/SaveFolder.h"
#include "platform/linux/FolderHandle.h"

namespace velkrin {

// The save by a folder's handle, by the rules of SaveFolder.h. "The system"
// is root; a folder is shared with others when someone besides the saver and
// root owns it or its group or others may write it. Links are followed here
// step by step, each folder on the way judged as the first one, so the
// kernel never follows one unchecked. The content is written to a file
// without a name (O_TMPFILE) that gets one just before the rename; where the
// file system has no such files it is a named owner-only file from the
// start, which a killed save leaves behind. The folder too is on disk before
// the save returns. A file its user may not write stays as it is.
class PosixSaveFolder : public SaveFolder {
public:
    explicit PosixSaveFolder(FolderHandle folder);
    void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) override;
    // Linux's archive managers do not run a program inside the folder they unpack it to.
    std::string temporaryFolder() const override { return {}; }

protected:
    // fsync(); the tests see through it when the file and the folder reach
    // the disk.
    virtual int sync(int fd);

private:
    FolderHandle m_folder;
};

} // namespace velkrin
