#pragma once

// The Qt window wired to recording stand-ins for the outside world, driven
// through real input events by the widget tests. Its controls are found by
// their object names, as the user's tools find them.

#include "platform/RandomSource.h"
#include "platform/linux/PosixSaveFolder.h"
#include "platform/linux/SodiumRandomSource.h"
#include "platform/qt/CommandButton.h"
#include "platform/qt/PasswordListView.h"
#include "QtHost.h"
#include "platform/qt/QtForm1Window.h"
#include "platform/qt/XPButton.h"
#include "support/ScriptedRandomSource.h"

#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace velkrin::widgettest {

using test::ScriptedRandomSource;

// The window's controls, found by object name, in the order the window
// stores them.
struct Form1Widgets {
    explicit Form1Widgets(QtHost &host) : window(host.window()), m_host(host) {}
    template <class T>
    T *named(const char *name) const
    {
        T *found = window.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("the window has no %s", name);
        return found;
    }

    Form1Window &window;
    QTimer *Timer1 = named<QTimer>("Timer1");
    QGroupBox *Frame3 = named<QGroupBox>("Frame3");
    XPButton *XPButton3 = named<XPButton>("XPButton3");
    XPButton *XPButton2 = named<XPButton>("XPButton2");
    XPButton *XPButton1 = named<XPButton>("XPButton1");
    QGroupBox *Frame2 = named<QGroupBox>("Frame2");
    PasswordListView *List1 = named<PasswordListView>("List1");
    CommandButton *cmdPrint = named<CommandButton>("cmdPrint");
    CommandButton *cmdCreate = named<CommandButton>("cmdCreate");
    QGroupBox *Frame1 = named<QGroupBox>("Frame1");
    QCheckBox *Check1 = named<QCheckBox>("Check1");
    QLineEdit *txtNumbers = named<QLineEdit>("txtNumbers");
    QLineEdit *txtLetters = named<QLineEdit>("txtLetters");
    QLabel *Label5 = named<QLabel>("Label5");
    QLabel *Label4 = named<QLabel>("Label4");
    QLabel *lblRandom = named<QLabel>("lblRandom");
    QLabel *Label3 = named<QLabel>("Label3");
    QLabel *Label2 = named<QLabel>("Label2");
    QLabel *Label1 = named<QLabel>("Label1");
    QLabel *lblPassword = named<QLabel>("lblPassword");

    // The Load event, as the program raises it before showing the window.
    void raiseLoad() { m_host.load(); }
    Form1Window *operator->() { return &window; }

private:
    QtHost &m_host;
};

// One call of showWarning, with what the window looked like at that moment.
struct RecordedWarning {
    QString message;
    bool timerActive;
    bool parentIsForm;
};

class FormHarness {
public:
    // `random` defaults to the real libsodium source.
    explicit FormHarness(RandomSource *random = nullptr,
                         std::chrono::milliseconds clipboardClearAfter = SecretCopy::kClearAfter);
    ~FormHarness();

    Form1Widgets &form() { return *m_widgets; }
    Form1Window *operator->() { return &m_host->window(); }

    const QList<RecordedWarning> &warnings() const { return m_warnings; }
    QStringList warningTexts() const;
    QString executableDirectory() const { return m_dir.path(); }
    QString targetFile() const { return m_dir.filePath(QStringLiteral("target.txt")); }
    QString pdfPath() const { return m_dir.filePath(QStringLiteral("page.pdf")); }
    static QDate fixedToday() { return QDate(2031, 11, 27); }
    // How the next print job is opened; defaults to a PDF at pdfPath().
    std::function<std::unique_ptr<PrinterPort>()> printerFactory;

    // Shows the window and waits until it is the active window, so that
    // access keys, Tab and the initial focus behave as for a user.
    bool showAndActivate();

    // Replaces the whole text of a count box the way a user does: select all,
    // then type ('\b' is the Backspace key). Stops after the first key that
    // records a warning.
    void replaceText(QLineEdit *box, const QString &typed);
    static void selectAll(QLineEdit *box); // Ctrl+A
    static void typeKey(QLineEdit *box, QChar key);

    // One batch tick, delivered as the timer delivers it; an idle timer is
    // started for that one tick and stopped after it.
    void tick();

    QStringList listItems();

private:
    SodiumRandomSource m_sodium;
    QTemporaryDir m_dir;
    std::optional<PosixSaveFolder> m_folder;
    QList<RecordedWarning> m_warnings;
    std::unique_ptr<QtHost> m_host; // destroyed before what it uses
    std::unique_ptr<Form1Widgets> m_widgets;
};

// Patterns for the passwords the window composes.
QRegularExpression separatePattern(int letters, int digits);
QRegularExpression mixedPattern(int length);

} // namespace velkrin::widgettest
