#pragma once

#include "platform/HostError.h"

#include <chrono>
#include <exception>
#include <string>
#include <string_view>

namespace velkrin {

// Every sentence the program shows the user, worded here once for every
// host. A host reports what failed as data (HostError); it never words it.

// The title of every message box.
inline constexpr std::string_view kMessageTitle = "Velkrin";

// What failed and why, as one sentence.
std::string userMessage(const HostError &error);
// When memory runs out inside a handler.
std::string outOfMemoryMessage();
// Any failure caught where the system called the program (a window
// procedure), which no handler of the window's reported itself.
std::string failureMessage(std::exception_ptr failure);
// After a save into a folder the system deletes (temporaryFolder() of the
// save folder); `folder` as the host names it.
std::string savedInTemporaryFolderMessage(std::string_view folder);
// When the window itself cannot be made; `reason` is the system's.
std::string startFailedMessage(std::string_view reason);
// Why: the window or one of its controls could not be made, for the system's
// reason.
std::string windowNotMadeReason(bool control, std::string_view systemReason);
// What the list tells of its copy key, in its tooltip and to assistive
// technology.
std::string listCopyHint(std::chrono::milliseconds clearAfter);

} // namespace velkrin
