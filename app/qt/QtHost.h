#pragma once

#include "platform/HostServices.h"
#include "platform/qt/QtForm1Window.h"
#include "window/Form1.h"
#include "window/SecretCopy.h"

#include <QDate>
#include <chrono>
#include <functional>
#include <memory>

namespace velkrin {

// What the Qt host is put together with: the program's main chooses the
// system's, a test or a benchmark its own.
struct QtHostChoices {
    RandomSource &random;
    SaveFolder &executableFolder;
    std::function<std::unique_ptr<PrinterPort>()> openPrinter = openDefaultPrinter;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    std::function<void(QWidget &window, const QString &message)> showWarning = showWarningBox;
    // How long a password copied from the list stays on the clipboard.
    std::chrono::milliseconds clipboardClearAfter = SecretCopy::kClearAfter;
};

// The Qt host put together: the window, the services it offers Form1, and
// Form1 over the window's controls.
class QtHost {
public:
    explicit QtHost(QtHostChoices choices);
    QtHost(const QtHost &) = delete;
    QtHost &operator=(const QtHost &) = delete;

    Form1Window &window() noexcept { return m_window; }
    // Form1's Load event: once, before the window is shown.
    void load() { m_form.Load(); }

private:
    QtHostChoices m_choices;
    Form1Window m_window;
    HostServices m_services;
    Form1 m_form; // last: goes first
};

} // namespace velkrin
