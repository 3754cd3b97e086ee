#include "platform/SecureWipe.h"

#include <sodium.h>

namespace velkrin {

void secureWipe(void *data, std::size_t size) noexcept
{
    sodium_memzero(data, size);
}

} // namespace velkrin
