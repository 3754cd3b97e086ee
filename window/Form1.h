#pragma once

#include "generation/MainWindowState.h"
#include "generation/PasswordGenerators.h"
#include "platform/HostServices.h"
#include "platform/ScreenReaderNotice.h"
#include "platform/UniformPicker.h"
#include "platform/XPButton.h"
#include "window/PasswordListModel.h"
#include "window/PasswordListView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace velkrin {

// The program's only window.
class Form1 : public QWidget, public PasswordGenerators {
    Q_OBJECT
public:
    explicit Form1(HostServices services, QWidget *parent = nullptr);

    // The generators: each fills its field of `state` (see RandomGenerators.h).
    // The compose step calls them.
    void RandomLetters(std::int32_t plngLength) override;
    void RandomNumbers(std::int32_t plngLength) override;
    void RandomPassword(std::int32_t plngLength) override;
    UniformPicker &picker() override { return m_picker; }

    // The Load event: raised once, after construction and before showing.
    void raiseLoad();

    // Main-window state.
    MainWindowState state;

    // Controls, in the order the window stores them.
    QTimer *Timer1;
    QGroupBox *Frame3;
    XPButton *XPButton3;
    XPButton *XPButton2;
    XPButton *XPButton1;
    QGroupBox *Frame2;
    PasswordListView *List1;
    CommandButton *cmdPrint;
    CommandButton *cmdCreate;
    QGroupBox *Frame1;
    QCheckBox *Check1;
    QLineEdit *txtNumbers;
    QLineEdit *txtLetters;
    QLabel *Label5;
    QLabel *Label4;
    QLabel *lblRandom;
    QLabel *Label3;
    QLabel *Label2;
    QLabel *Label1;
    QLabel *lblPassword;

    // The batch list's items, as Save writes them.
    const PackedStringList &list() const noexcept { return m_list.items(); }

private:
    enum class CountBox { Letters, Numbers };

    void createControls();
    void bindEvents();
    // Runs one event handler; the single place where errors are reported.
    void runHandler(const std::function<void()> &handler);
    void reportError(const QString &message);

    // After an edit of a count box: recounts, tells a screen reader the new
    // total, and renews the strength the boxes describe.
    void countEdited(CountBox which);
    void describeStrength();

    void Form_Load();
    // Reads a box into its count; a box whose text gives no 16-bit count
    // stays marked until one does.
    void readCount(CountBox which);
    void RecountLengths(CountBox which);
    void ComposePassword();
    void cmdCreate_Click();
    void cmdPrint_Click();
    void Timer1_Timer();
    void XPButton1_press();
    void XPButton2_press();
    void XPButton3_press();

    HostServices m_services;
    UniformPicker m_picker;
    PasswordListModel m_list;
    ScreenReaderNotice m_notice{*this};
    bool m_rejected[2] = {false, false}; // by CountBox
};

} // namespace velkrin
