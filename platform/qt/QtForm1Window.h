#pragma once

#include "platform/HostServices.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/ScreenReaderNotice.h"
#include "window/SecretCopy.h"

#include <QDate>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

namespace velkrin {

class Form1;

// The default printer; raises HostError(Printer) when there is none.
std::unique_ptr<PrinterPort> openDefaultPrinter();
// A warning box titled "Velkrin" over the window.
void showWarningBox(QWidget &window, const QString &message);
// A date as the printed heading shows it: the short date format of the
// default locale, which is the system's.
QString shortDateText(const QDate &date);

// What the Qt host is put together with: the program's main chooses the
// system's, a test its own.
struct QtHostChoices {
    RandomSource &random;
    SaveFolder &executableFolder;
    std::function<std::unique_ptr<PrinterPort>()> openPrinter = openDefaultPrinter;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    std::function<void(QWidget &window, const QString &message)> showWarning = showWarningBox;
    // How long a password copied from the list stays on the clipboard.
    std::chrono::milliseconds clipboardClearAfter = SecretCopy::kClearAfter;
};

// The main window under Qt: creates the widgets from kForm1Layout, places them
// as resolveLayout says, gives Form1 their control interfaces and keeps the
// window where it was designed.
class Form1Window final : public QWidget {
    Q_OBJECT
public:
    explicit Form1Window(QtHostChoices choices, QWidget *parent = nullptr);
    ~Form1Window() override;

    // Form1's Load event: once, before the window is shown.
    void load();

private:
    struct Controls;

    void createControls();
    void applyLayout();

    QtHostChoices m_choices;
    ScreenReaderNotice m_notice{*this};
    QtListBox m_list;
    std::unique_ptr<Controls> m_controls;
    std::unique_ptr<HostServices> m_services;
    std::unique_ptr<Form1> m_form; // last: goes first
};

} // namespace velkrin
