#include "platform/windows/ProcessHardening.h"

#include <windows.h>

#include <aclapi.h>

#include <vector>

namespace velkrin::win32 {

namespace {

// The process's access list allows its own user only to wait for it, ask
// its name and end it, and the owner to read the list: no other process of
// the same user can read its memory (PROCESS_VM_READ) or write a dump of it
// (MiniDumpWriteDump needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ).
// An administrator's SeDebugPrivilege still passes: the list is a wall
// against the user's other programs, not against the machine's owner.
bool denyOtherProcesses(DWORD alsoAllowed)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    const bool gotUser = size && GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    if (!gotUser)
        return false;
    PSID userSid = reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid;
    if (!IsValidSid(userSid))
        return false;

    unsigned char ownerRights[SECURITY_MAX_SID_SIZE];
    DWORD ownerRightsSize = sizeof ownerRights;
    if (!CreateWellKnownSid(WinCreatorOwnerRightsSid, nullptr, ownerRights, &ownerRightsSize))
        return false;

    const auto aclSize = static_cast<DWORD>(sizeof(ACL) + 2 * sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(userSid) +
                                            GetLengthSid(ownerRights));
    std::vector<unsigned char> aclBuffer(aclSize);
    auto *acl = reinterpret_cast<PACL>(aclBuffer.data());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION,
                             SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | alsoAllowed,
                             userSid) ||
        // The owner's implicit full control of the list, cut to reading it.
        !AddAccessAllowedAce(acl, ACL_REVISION, READ_CONTROL, ownerRights))
        return false;
    return SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, acl,
                           nullptr) == ERROR_SUCCESS;
}

// A crash ends the process at once: no error box, and Windows Error
// Reporting never gets to write a dump with passwords in it.
LONG WINAPI endAtOnce(EXCEPTION_POINTERS *)
{
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

bool hardenProcess(unsigned long alsoAllowed)
{
    // DLLs only from System32, never from the folder of the executable or the
    // current one, where anyone who can drop a file could plant one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endAtOnce);
    return denyOtherProcesses(alsoAllowed);
}

} // namespace velkrin::win32
