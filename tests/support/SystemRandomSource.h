#pragma once

// The host's cryptographic random source under one name, for the tests that
// run on every host (link ${VELKRIN_OS_LIBRARY}).
#if defined(_WIN32)
#include "platform/windows/BCryptRandomSource.h"
namespace velkrin {
using SystemRandomSource = win32::BCryptRandomSource;
}
#else
#include "platform/linux/SodiumRandomSource.h"
namespace velkrin {
using SystemRandomSource = SodiumRandomSource;
}
#endif
