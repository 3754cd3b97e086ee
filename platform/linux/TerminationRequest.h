#pragma once

namespace velkrin {

// Turns SIGTERM, SIGINT, SIGHUP and SIGQUIT (a session logging out, Ctrl+C
// in a terminal, a terminal or remote session closing, Ctrl+\) into bytes on
// a pipe that the event loop watches, so the program can close its window and
// end as if the user had closed it; SIGPIPE is ignored. One instance per
// process.
class TerminationRequest {
public:
    TerminationRequest();
    ~TerminationRequest();

    TerminationRequest(const TerminationRequest &) = delete;
    TerminationRequest &operator=(const TerminationRequest &) = delete;

    // The descriptor to watch for reading; -1 when the signals keep their
    // default action.
    int descriptor() const noexcept;
    // Empties the pipe; true when a request had come.
    bool drain();
};

} // namespace velkrin
