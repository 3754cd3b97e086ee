#include "platform/windows/ExecutableFolder.h"

#include "platform/HostError.h"
#include "platform/windows/WideText.h"

#include <windows.h>

#include <sddl.h>

#include <memory>
#include <vector>

namespace velkrin::win32 {

namespace {

[[noreturn]] void saveFailed(const std::wstring &path, FailureCause cause, const std::string &detail = {})
{
    throw HostError(HostErrorKind::File, cause, narrow(path), detail);
}

[[noreturn]] void systemFailed(const std::wstring &path, DWORD error = GetLastError())
{
    saveFailed(path, FailureCause::System, systemMessage(error));
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    Handle() = default;
    explicit Handle(HANDLE owned) : h(owned) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() { close(); }
    void close()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

// What stands at `path` now, links followed to the file they lead to.
struct Target {
    std::wstring path; // as the user's folder names it, for messages
    std::wstring real; // where the new file goes
    bool exists = false;
    bool keepMode = false;
};

// GetFullPathNameW, which also turns '/' into '\\' and drops "." and "..";
// the path as it is if that fails (the call that uses it then says why).
std::wstring fullPath(const std::wstring &path)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return path;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length);
    }
}

// The extended form with every short (8.3) name in it long, so that two
// names of one folder compare equal; the full extended path where the long
// one cannot be had.
std::wstring longPath(const std::wstring &path)
{
    const std::wstring extended = extendedPath(fullPath(path));
    std::wstring buffer(extended.size() + 1, L'\0');
    for (;;) {
        const DWORD length = GetLongPathNameW(extended.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return extended;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length);
    }
}

std::wstring finalPath(HANDLE file)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

[[noreturn]] void inTheWay(const std::wstring &path, FoundEntry::Kind kind)
{
    saveFailed(path, decideSave({kind}).refusal);
}

// Windows links lead where the system resolves them (one handle, opened
// through them); the folder and its files are taken as the user's, since
// weighing the folder's access list against every group of the user's is
// beyond this host.
void locate(Target &target)
{
    const std::wstring at = extendedPath(fullPath(target.path));
    const DWORD attributes = GetFileAttributesW(at.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            systemFailed(target.path, error);
        target.real = at;
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        inTheWay(target.path, FoundEntry::Kind::Folder);
    // A read-only file stays as it is, as the mark asks.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        saveFailed(target.path, FailureCause::ReadOnlyFile);
    // Open without access rights: enough to learn what it is and where a
    // link leads, and it disturbs no other program's use of the file.
    Handle file(CreateFileW(at.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.h == INVALID_HANDLE_VALUE)
        systemFailed(target.path);
    if (GetFileType(file.h) != FILE_TYPE_DISK)
        inTheWay(target.path, FoundEntry::Kind::Other);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.h, &info))
        systemFailed(target.path);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        inTheWay(target.path, FoundEntry::Kind::LinkToFolder);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        saveFailed(target.path, FailureCause::ReadOnlyFile);
    // In the extended form already ("\\?\C:\...").
    target.real = finalPath(file.h);
    if (target.real.empty())
        target.real = at;
    target.exists = true;
    target.keepMode = decideSave({FoundEntry::Kind::File, true, false, info.nNumberOfLinks}).step == SaveStep::KeepMode;
}

// A security descriptor that gives the user running the program full access
// and nobody else any: the new file holds passwords in plain text.
struct OwnerOnly {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    OwnerOnly()
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size);
        wchar_t *sid = nullptr;
        if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &sid)) {
            // P: protected, inherits nothing from the folder.
            const std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(sid) + L")";
            if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                     nullptr))
                attributes.lpSecurityDescriptor = descriptor;
            LocalFree(sid);
        }
        CloseHandle(token);
    }
    ~OwnerOnly() { LocalFree(descriptor); }
    OwnerOnly(const OwnerOnly &) = delete;
    OwnerOnly &operator=(const OwnerOnly &) = delete;
};

class TemporaryFile final : public FileSink {
public:
    TemporaryFile(const std::wstring &target, const std::wstring &shownPath) : m_shownPath(shownPath)
    {
        OwnerOnly security;
        for (unsigned attempt = 0; m_file.h == INVALID_HANDLE_VALUE; ++attempt) {
            m_path = target + widen(temporarySuffix(GetCurrentProcessId(), attempt));
            m_file.h = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, &security.attributes, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            const DWORD error = GetLastError();
            if (m_file.h == INVALID_HANDLE_VALUE && (error != ERROR_FILE_EXISTS || attempt + 1 == kTemporaryNameAttempts))
                systemFailed(m_shownPath, error);
        }
        m_created = true;
    }
    ~TemporaryFile()
    {
        m_file.close();
        if (m_created && !m_renamed)
            DeleteFileW(m_path.c_str());
    }

    void write(std::span<const char> bytes) override
    {
        while (!bytes.empty()) {
            const DWORD take = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!WriteFile(m_file.h, bytes.data(), take, &written, nullptr))
                systemFailed(m_shownPath);
            if (written == 0)
                systemFailed(m_shownPath, ERROR_WRITE_FAULT);
            bytes = bytes.subspan(written);
        }
    }

    void finish()
    {
        if (!FlushFileBuffers(m_file.h))
            systemFailed(m_shownPath);
        m_file.close();
    }
    const std::wstring &path() const noexcept { return m_path; }
    void renamed() noexcept { m_renamed = true; }

private:
    std::wstring m_shownPath;
    std::wstring m_path;
    Handle m_file;
    bool m_created = false;
    bool m_renamed = false;
};

} // namespace

ExecutableFolder::ExecutableFolder()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            m_unknownReason = systemMessage(GetLastError());
            return;
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        if (buffer.size() >= 32768) {
            m_unknownCause = FailureCause::PathTooLong;
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t separator = buffer.find_last_of(L"\\/");
    m_folder = separator == std::wstring::npos ? std::wstring(L".") : buffer.substr(0, separator);
}

ExecutableFolder::ExecutableFolder(std::wstring folder) : m_folder(std::move(folder)) {}

std::string ExecutableFolder::temporaryFolder() const
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (m_folder.empty() || length == 0 || length > MAX_PATH)
        return {};
    std::wstring system = longPath(temp);
    while (!system.empty() && system.back() == L'\\')
        system.pop_back();
    const std::wstring folder = longPath(m_folder) + L'\\';
    // The temporary folder itself, or one inside it.
    if (system.empty() || folder.size() <= system.size() || folder[system.size()] != L'\\' ||
        CompareStringOrdinal(folder.data(), static_cast<int>(system.size()), system.data(),
                             static_cast<int>(system.size()), TRUE) != CSTR_EQUAL)
        return {};
    return narrow(m_folder);
}

std::wstring extendedPath(std::wstring_view path)
{
    const auto starts = [&](std::wstring_view prefix) { return path.substr(0, prefix.size()) == prefix; };
    if (starts(L"\\\\?\\") || starts(L"\\\\.\\") || starts(L"\\??\\"))
        return std::wstring(path);
    if (starts(L"\\\\"))
        return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + std::wstring(path);
    return std::wstring(path);
}

void ExecutableFolder::replaceFile(std::string_view name, const std::function<void(FileSink &)> &content)
{
    if (m_folder.empty())
        throw HostError(HostErrorKind::File, m_unknownCause, {}, m_unknownReason);
    Target target;
    target.path = m_folder + L'\\' + widen(name);
    locate(target);

    TemporaryFile temp(target.real, target.path);
    content(temp);
    temp.finish();

    // The user's file keeps its attributes and permissions (ReplaceFileW
    // merges them into the new one); a new one is the temporary, renamed.
    if (target.keepMode) {
        if (ReplaceFileW(target.real.c_str(), temp.path().c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                         nullptr)) {
            temp.renamed();
            return;
        }
        const DWORD error = GetLastError();
        // The old file was already moved aside and is gone: put the new one
        // in its place rather than leave no file at all.
        if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            systemFailed(target.path, error);
    }
    if (!MoveFileExW(temp.path().c_str(), target.real.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        systemFailed(target.path);
    temp.renamed();
}

} // namespace velkrin::win32
