#include "platform/windows/BCryptRandomSource.h"

#include "platform/HostError.h"
#include "platform/windows/SystemLibrary.h"
#include "platform/windows/WideText.h"

#include <windows.h>

#include <bcrypt.h>
#include <climits>
#include <winternl.h>

namespace velkrin::win32 {

void BCryptRandomSource::fill(std::span<std::uint8_t> out)
{
    static auto *const genRandom = systemFunction<decltype(BCryptGenRandom)>(L"bcrypt.dll", "BCryptGenRandom");
    if (!genRandom)
        throw HostError(HostErrorKind::NoRandomSource, FailureCause::System, "BCryptGenRandom",
                        systemMessage(GetLastError()));
    std::size_t done = 0;
    while (done < out.size()) {
        const ULONG take = static_cast<ULONG>(std::min<std::size_t>(out.size() - done, ULONG_MAX));
        const NTSTATUS status = genRandom(nullptr, out.data() + done, take, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (status < 0) {
            // NTSTATUS codes have their text in ntdll's message table.
            const ULONG error = RtlNtStatusToDosError(status);
            throw HostError(HostErrorKind::NoRandomSource, FailureCause::System, "BCryptGenRandom",
                            systemMessage(error));
        }
        done += take;
    }
}

} // namespace velkrin::win32
