#pragma once

#include "platform/HostServices.h"
#include "window/Form1.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/ScreenReaderNotice.h"
#include "window/SecretCopy.h"

#include <QDate>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

namespace velkrin {

// The default printer; raises HostError(Printer) when there is none.
std::unique_ptr<PrinterPort> openDefaultPrinter();
// A warning box titled "Velkrin" over the window.
void showWarningBox(QWidget &window, const QString &message);
// A date as the printed heading shows it: the short date format of the
// default locale, which is the system's.
QString shortDateText(const QDate &date);

// The main window under Qt: creates the widgets from kForm1Layout, places them
// as resolveLayout says, offers Form1 their control interfaces and keeps the
// window where it was designed. The host is put together in app/qt.
class Form1Window final : public QWidget {
    Q_OBJECT
public:
    // `clipboardClearAfter`: how long a password copied from the list stays
    // on the clipboard.
    explicit Form1Window(std::chrono::milliseconds clipboardClearAfter = SecretCopy::kClearAfter,
                         QWidget *parent = nullptr);
    ~Form1Window() override;

    // The controls Form1's handlers use.
    Form1Controls controls();
    // Has a screen reader speak a short message at once.
    void announce(const QString &message) { m_notice.say(message); }

private:
    struct Controls;

    void createControls(std::chrono::milliseconds clipboardClearAfter);
    void applyLayout();

    ScreenReaderNotice m_notice{*this};
    QtListBox m_list;
    std::unique_ptr<Controls> m_controls;
};

} // namespace velkrin
