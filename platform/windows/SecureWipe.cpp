#include "platform/SecureWipe.h"

#include <windows.h>

namespace velkrin {

// SecureZeroMemory is a volatile loop the optimiser keeps.
void secureWipe(void *data, std::size_t size) noexcept
{
    if (data && size)
        SecureZeroMemory(data, size);
}

} // namespace velkrin
