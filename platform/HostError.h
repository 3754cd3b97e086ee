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

// Why an operation failed, where the program can say it in its own words.
// System: the system's own reason, which the error carries as its detail.
enum class FailureCause {
    System,
    // Overflow: the subject is the quantity ("number of letters").
    OutOfRange,
    // InvalidArgument: the subject is the quantity, the detail its value.
    Negative,
    // File: the subject is the path, if it is known.
    FolderUnknown,         // the executable's folder could not be found; detail: why
    FolderInTheWay,        // a folder has the file's name
    LinkToFolderInTheWay,  // a link to a folder has the file's name
    NamedPipeInTheWay,     // a FIFO has the file's name
    CharacterDeviceInTheWay,
    BlockDeviceInTheWay,
    SocketInTheWay,
    NotAFileInTheWay,      // something else that is not a file on disk
    ReadOnlyFile,          // the file is marked read-only
    ForeignLink,           // a symbolic link of another user's; detail: the owner
    LinkWithOtherNames,    // a symbolic link on the way, with other names (hard links)
    FolderNotSynced,       // the folder could not be flushed to disk; detail: why
    PathTooLong,
    // Printer: the subject is the printer, where there is one.
    NoDefaultPrinter,
    PrinterCannotOpen,     // detail: why, if the system says
    JobRefused,            // detail: why, if the system says
    PageRefused,           // a new page, or the page's end
    NoPrinterFont,
    TextRefused,           // measuring or drawing the text
    DocumentRefused,       // the end of the document
    // NoRandomSource: the subject is the call that failed, the detail why.
};

// A failure as data: what kind, why, on what (a path, a printer, a
// quantity), and the system's own reason where it gave one. The sentence the
// user reads is worded from it in one portable place (window/UserMessages.h),
// the same on every host.
class HostError : public std::runtime_error {
public:
    HostError(HostErrorKind kind, FailureCause cause, std::string subject = {}, std::string detail = {});

    HostErrorKind kind() const noexcept { return m_kind; }
    FailureCause cause() const noexcept { return m_cause; }
    const std::string &subject() const noexcept { return m_subject; }
    const std::string &detail() const noexcept { return m_detail; }

private:
    HostErrorKind m_kind;
    FailureCause m_cause;
    std::string m_subject;
    std::string m_detail;
};

} // namespace velkrin
