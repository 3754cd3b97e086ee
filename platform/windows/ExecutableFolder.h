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
    const std::wstring &path() const noexcept { return m_folder; }

private:
    std::wstring m_folder; // without a trailing separator; empty if unknown
    FailureCause m_unknownCause = FailureCause::FolderUnknown;
    std::string m_unknownReason;
};

} // namespace velkrin::win32
