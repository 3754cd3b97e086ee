#include "platform/linux/ProcessPrivacy.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace velkrin {

// Only Linux has these calls, and they run before any window exists, so this
// room words its own line for the terminal.
void keepMemoryPrivate()
{
    const rlimit noCore{0, 0};
    if (setrlimit(RLIMIT_CORE, &noCore) != 0)
        std::fputs("Velkrin: could not turn core files off\n", stderr);
    if (prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        std::fputs("Velkrin: could not make the process undumpable\n", stderr);
}

void surviveFileSizeLimit()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace velkrin
