#pragma once

#include <stdexcept>
#include <string>

namespace velkrin {

// The run-time errors the program can meet. Every one of them is reported to
// the user and none ends the program.
enum class HostErrorKind {
    Overflow,        // a count or sum outside the 16-bit range
    InvalidArgument, // e.g. a negative password length
    File,            // the list could not be saved
    Printer,         // no printer, or the print system refused the job
    NoRandomSource,  // no cryptographic random source is available
};

class HostError : public std::runtime_error {
public:
    HostError(HostErrorKind kind, std::string message);

    HostErrorKind kind() const noexcept { return m_kind; }
    // The sentence shown to the user (UTF-8); says what failed and why.
    const std::string &message() const noexcept { return m_message; }

private:
    HostErrorKind m_kind;
    std::string m_message;
};

} // namespace velkrin
