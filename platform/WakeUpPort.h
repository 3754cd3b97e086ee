#pragma once

#include <chrono>
#include <functional>

namespace velkrin {

// A one-shot wake-up on the steady clock: the host calls Wake once, on the
// window's thread, at the time last asked for (rounded up to its timer's
// resolution, never before it) unless cancelled first. What to do when woken
// is decided by the caller, never by the host.
class WakeUpPort {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~WakeUpPort() = default;
    // Replaces any wake-up still pending.
    virtual void wakeAt(Clock::time_point when) = 0;
    virtual void cancel() = 0;
    // The clock the wake-ups are measured on; a test's port brings its own.
    virtual Clock::time_point now() const { return Clock::now(); }

    void wakeAfter(Clock::duration delay) { wakeAt(now() + delay); }

    std::function<void()> Wake;
};

} // namespace velkrin
