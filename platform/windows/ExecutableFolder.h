#pragma once

#include "platform/HostError.h"
#include "platform/SaveFolder.h"

#include <string>

namespace velkrin::win32 {

// The folder that holds Velkrin.exe (GetModuleFileNameW), where the list is
// saved. A file is replaced through a temporary file beside it that is
// flushed to disk first, then put in its place in one step, so a failure at
// any point leaves the previous file as it was.
class ExecutableFolder final : public SaveFolder {
public:
    ExecutableFolder();
    // A folder of the caller's choosing (tests).
    explicit ExecutableFolder(std::wstring folder);

    void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) override;
    // Compared with GetTempPathW's folder as full long paths, case aside.
    std::string temporaryFolder() const override;
    const std::wstring &path() const noexcept { return m_folder; }

private:
    std::wstring m_folder; // without a trailing separator; empty if unknown
    FailureCause m_unknownCause = FailureCause::FolderUnknown;
    std::string m_unknownReason;
};

// A full path in the form that lifts MAX_PATH (260 characters) from the file
// calls: "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a network
// path; a path already in a device form, or not full, is returned as it is.
// Windows takes such a path as it is, so it must be full and use backslashes.
std::wstring extendedPath(std::wstring_view path);

} // namespace velkrin::win32
