#pragma once

#include "platform/Controls.h"
#include "platform/WakeUpPort.h"
#include "window/Form1Layout.h"

#include <chrono>

namespace velkrin {

// Timer1 for every host: ticks every kTimer1IntervalMs while enabled over the
// host's one-shot wake-up. Each deadline is the previous deadline plus the
// interval, never "now" plus the interval, so the time a tick takes and a late
// wake-up do not add up: ten ticks a second hold over minutes. A wake-up more
// than an interval late (a modal dialog, a slow tick) skips the deadlines
// already past and goes on at the next one still ahead, on the same grid:
// ticks made up in a burst would add passwords nobody saw being made and keep
// the window busy just when it comes back.
class TickSchedule final : public Timer {
public:
    static constexpr std::chrono::milliseconds kInterval{kTimer1IntervalMs};

    explicit TickSchedule(WakeUpPort &wakeUp);
    ~TickSchedule() override;
    TickSchedule(const TickSchedule &) = delete;
    TickSchedule &operator=(const TickSchedule &) = delete;

    bool enabled() const override { return m_enabled; }
    // Enabling a running timer keeps its deadline.
    void setEnabled(bool enabled) override;

private:
    void woken();

    WakeUpPort &m_wakeUp;
    bool m_enabled = false;
    WakeUpPort::Clock::time_point m_deadline{};
};

} // namespace velkrin
