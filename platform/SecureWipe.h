#pragma once

#include <cstddef>

namespace velkrin {

// Overwrites `size` bytes at `data` with zeros in a way the optimiser may not
// drop, for buffers that held passwords or random bytes. Each host room
// defines it with its system's own call.
void secureWipe(void *data, std::size_t size) noexcept;

} // namespace velkrin
