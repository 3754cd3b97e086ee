#include "platform/linux/TerminationRequest.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace velkrin {

namespace {

// SIGHUP comes from a closing terminal or a dropped remote X session, SIGQUIT
// from Ctrl+\ in a terminal: both ask the program to end, and ending abruptly
// would leave a copied password with a clipboard manager. The core dump that
// SIGQUIT would add is off anyway. SIGUSR1 and SIGUSR2 mean nothing to this
// program and no session or terminal sends them: they keep the system's
// action, as whoever sends one by hand expects.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// Written by the handler, read by the event loop: the only thing a signal
// handler may safely do is write to a descriptor.
int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request: dropping this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationRequest::TerminationRequest()
{
    // A reader gone from a pipe or socket (the X or D-Bus connection) is an
    // error of that write, not a reason to end without closing.
    std::signal(SIGPIPE, SIG_IGN);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        // Without the pipe the signals keep their default action.
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationRequest::~TerminationRequest()
{
    if (g_pipe[0] < 0)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

int TerminationRequest::descriptor() const noexcept
{
    return g_pipe[0];
}

bool TerminationRequest::drain()
{
    char bytes[64];
    bool any = false;
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

} // namespace velkrin
