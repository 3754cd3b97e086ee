#include "window/UserMessages.h"

#include "output/SaveList.h"

#include <new>

namespace velkrin {

namespace {

std::string quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

std::string withDetail(std::string text, const std::string &detail)
{
    return detail.empty() ? text : text + " (" + detail + ")";
}

// Why the list could not be saved, after "could not be saved to <path>: ".
std::string fileReason(const HostError &e)
{
    switch (e.cause()) {
    case FailureCause::FolderInTheWay:
        return "a folder of that name is in the way";
    case FailureCause::LinkToFolderInTheWay:
        return "a link to a folder of that name is in the way";
    case FailureCause::NamedPipeInTheWay:
        return "a named pipe (FIFO) of that name is in the way";
    case FailureCause::CharacterDeviceInTheWay:
        return "a character device of that name is in the way";
    case FailureCause::BlockDeviceInTheWay:
        return "a block device of that name is in the way";
    case FailureCause::SocketInTheWay:
        return "a socket of that name is in the way";
    case FailureCause::NotAFileInTheWay:
        return "something that is not a file on disk is in the way";
    case FailureCause::ReadOnlyFile:
        return "the file is read-only";
    case FailureCause::ForeignLink:
        return "it is a symbolic link that belongs to " + e.detail() +
               ", in a folder that others can write; such a link is not followed, as it could lead the list into "
               "a file that is not yours";
    case FailureCause::LinkWithOtherNames:
        return "it is a symbolic link that has other names (hard links), in a folder that others can write; such a "
               "link is not followed, as it could lead the list into a file that is not yours";
    case FailureCause::FolderNotSynced:
        return withDetail("the folder could not be written to disk", e.detail());
    case FailureCause::PathTooLong:
        return "its path is too long";
    default:
        return e.detail();
    }
}

// "the printer "X"", or the print system where no printer is named.
std::string printerName(const HostError &e)
{
    return e.subject().empty() ? "the print system" : "the printer " + quoted(e.subject());
}

std::string printerReason(const HostError &e)
{
    switch (e.cause()) {
    case FailureCause::NoDefaultPrinter:
        return "no default printer is available";
    case FailureCause::PrinterCannotOpen:
        return withDetail(printerName(e) + " cannot be opened", e.detail());
    case FailureCause::JobRefused:
        return withDetail(printerName(e) + " refused the job", e.detail());
    case FailureCause::PageRefused:
        return withDetail(printerName(e) + " did not take the page", e.detail());
    case FailureCause::NoPrinterFont:
        return printerName(e) + " has no font for the page";
    case FailureCause::TextRefused:
        return withDetail(printerName(e) + " did not take the text", e.detail());
    case FailureCause::DocumentRefused:
        return withDetail(printerName(e) + " did not accept the document", e.detail());
    default:
        return e.detail();
    }
}

} // namespace

std::string userMessage(const HostError &e)
{
    switch (e.kind()) {
    case HostErrorKind::Overflow:
        return "The " + e.subject() + " must lie between -32768 and 32767.";
    case HostErrorKind::InvalidArgument:
        return "A password cannot have a negative " + e.subject() + " (" + e.detail() + ").";
    case HostErrorKind::File:
        if (e.cause() == FailureCause::FolderUnknown || e.subject().empty())
            return "The list could not be saved: the folder that holds the program is not known (" + fileReason(e) +
                   ").";
        return "The list could not be saved to " + quoted(e.subject()) + ": " + fileReason(e) + ".";
    case HostErrorKind::Printer:
        return "The password could not be printed: " + printerReason(e) + ".";
    case HostErrorKind::NoRandomSource:
        return "No secure random source is available, so no password can be made: " +
               (e.subject().empty() ? e.detail() : withDetail(e.subject() + " failed", e.detail())) + ".";
    }
    return e.detail();
}

std::string outOfMemoryMessage()
{
    return "There is not enough memory to finish the operation.";
}

std::string failureMessage(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const HostError &e) {
        return userMessage(e);
    } catch (const std::bad_alloc &) {
        return outOfMemoryMessage();
    } catch (const std::exception &e) {
        return "The operation could not be finished: " + std::string(e.what()) + ".";
    } catch (...) {
    }
    return "The operation could not be finished.";
}

std::string savedInTemporaryFolderMessage(std::string_view folder)
{
    const std::string file(kTargetFileName);
    return "The list was saved to " + file + " in " + quoted(std::string(folder)) +
           ", but that is a temporary folder (as when Velkrin is opened from inside a zip file), which the system "
           "deletes, and " +
           file + " with it. Copy " + file +
           " elsewhere now; to keep your lists, extract the zip "
           "into a folder of your own (Extract All) and run Velkrin from there.";
}

std::string windowNotMadeReason(bool control, std::string_view systemReason)
{
    return std::string(control ? "a control could not be created: " : "the window could not be created: ") +
           std::string(systemReason);
}

std::string startFailedMessage(std::string_view reason)
{
    return "Velkrin could not start: " + std::string(reason);
}

std::string listCopyHint(std::chrono::milliseconds clearAfter)
{
    return "Ctrl+C copies the selected password; the clipboard is cleared " +
           std::to_string(std::chrono::duration_cast<std::chrono::seconds>(clearAfter).count()) +
           " seconds later unless something else was copied meanwhile.";
}

} // namespace velkrin
