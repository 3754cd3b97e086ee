#include "platform/linux/SodiumRandomSource.h"

#include "platform/HostError.h"

#include <sodium.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velkrin {

namespace {

std::string errorText(int error)
{
    return std::strerror(error);
}

// libsodium's start-up ends the program when it finds no secure source
// (sodium_misuse), so the same questions are asked here first, in its order:
// getrandom(2), else /dev/urandom or /dev/random as a character device.
// Returns why none is usable, or an empty string.
std::string missingSecureSource()
{
    unsigned char probe[16];
    ssize_t got = 0;
    do
        got = getrandom(probe, sizeof probe, 0);
    while (got < 0 && (errno == EINTR || errno == EAGAIN));
    const int getrandomError = got < 0 ? errno : EIO;
    sodium_memzero(probe, sizeof probe);
    if (got == static_cast<ssize_t>(sizeof probe))
        return {};

    int deviceError = ENOENT;
    for (const char *device : {"/dev/urandom", "/dev/random"}) {
        const int fd = open(device, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            deviceError = errno;
            continue;
        }
        struct stat st {};
        const bool isDevice = fstat(fd, &st) == 0 && S_ISCHR(st.st_mode);
        close(fd);
        if (isDevice)
            return {};
        deviceError = ENODEV;
    }
    return "getrandom() failed (" + errorText(getrandomError) + ") and /dev/urandom cannot be used (" +
           errorText(deviceError) + ")";
}

} // namespace

SodiumRandomSource::SodiumRandomSource() : m_missing(missingSecureSource())
{
    if (m_missing.empty() && sodium_init() < 0)
        m_missing = "libsodium could not be initialised";
}

void SodiumRandomSource::fill(std::span<std::uint8_t> out)
{
    if (!m_missing.empty())
        throw HostError(HostErrorKind::NoRandomSource, FailureCause::System, {}, m_missing);
    randombytes_buf(out.data(), out.size());
}

} // namespace velkrin
