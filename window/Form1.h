#pragma once

#include "generation/MainWindowState.h"
#include "generation/PasswordGenerators.h"
#include "generation/UniformPicker.h"
#include "platform/Controls.h"
#include "platform/HostServices.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace velkrin {

// The controls the handlers use, created by the host from kForm1Layout.
// Frames and the captioned labels have no behaviour and are the host's alone.
struct Form1Controls {
    Timer &Timer1;
    PushButton &XPButton3;
    PushButton &XPButton2;
    PushButton &XPButton1;
    ListBox &List1;
    PushButton &cmdPrint;
    PushButton &cmdCreate;
    CheckBox &Check1;
    TextBox &txtNumbers;
    TextBox &txtLetters;
    Label &lblRandom;
    Label &lblPassword;
};

// The program's only window: its state, its handlers and the one place that
// reports their errors. It binds the controls' events when it is made; the
// host calls Load() once before it shows the window. The controls and the
// services must outlive it.
class Form1 final : public PasswordGenerators {
public:
    Form1(const Form1Controls &controls, const HostServices &services);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The generators: each fills its field of the state (see
    // RandomGenerators.h). The compose step calls them.
    void RandomLetters(std::int32_t plngLength) override;
    void RandomNumbers(std::int32_t plngLength) override;
    void RandomPassword(std::int32_t plngLength) override;
    UniformPicker &picker() override { return m_picker; }
    // Where the generators leave their output and the counts they are asked
    // for: their callers read it here.
    const MainWindowState &mainWindowState() const noexcept { return state; }

    // The Load event.
    void Load();

private:
    enum class CountBox { Letters, Numbers };

    void bindEvents();
    // Runs one event handler; the single place where errors are reported.
    void runHandler(const std::function<void()> &handler);
    void reportError(std::string_view message);

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

    MainWindowState state;
    Form1Controls m_controls;
    HostServices m_services;
    UniformPicker m_picker;
    bool m_rejected[2] = {false, false}; // by CountBox
};

} // namespace velkrin
