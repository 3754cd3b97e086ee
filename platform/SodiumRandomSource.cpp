#include "platform/SodiumRandomSource.h"

#include "platform/HostError.h"

#include <sodium.h>

namespace velkrin {

SodiumRandomSource::SodiumRandomSource() : m_ready(sodium_init() >= 0) {}

void SodiumRandomSource::fill(std::span<std::uint8_t> out)
{
    if (!m_ready)
        throw HostError(HostErrorKind::NoRandomSource,
                        QStringLiteral("No secure random source is available, so no password can be made."));
    randombytes_buf(out.data(), out.size());
}

} // namespace velkrin
