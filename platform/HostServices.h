#pragma once

#include "platform/PrinterPort.h"
#include "platform/RandomSource.h"
#include "platform/SaveFolder.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velkrin {

// What the window needs from the world outside it besides its controls. The
// host puts it together at start-up; tests put together their own.
struct HostServices {
    RandomSource &random;
    // Opens a job on the default printer; raises HostError(Printer).
    std::function<std::unique_ptr<PrinterPort>()> openPrinter;
    // The folder that holds the executable: where the list is saved.
    SaveFolder &executableFolder;
    // Today in the system's short date format.
    std::function<std::string()> todayShortDate;
    // Shows an error to the user: a warning box titled "Velkrin" over the window.
    std::function<void(std::string_view message)> showWarning;
    // Has a screen reader speak a short message at once; may do nothing.
    std::function<void(std::string_view message)> announce;
};

} // namespace velkrin
