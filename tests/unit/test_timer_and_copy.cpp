// Timer1's schedule and the secret copy's clearing, on a fake clock and fake
// host ports: what every host's timer and clipboard do, decided once.

#include "window/SecretCopy.h"
#include "window/TickSchedule.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace velkrin;
using namespace std::chrono_literals;

namespace {

// A wake-up on a clock that moves only when the test moves it.
struct FakeWakeUp final : WakeUpPort {
    void wakeAt(Clock::time_point when) override
    {
        pending = when;
        asked.push_back(when);
    }
    void cancel() override { pending.reset(); }
    Clock::time_point now() const override { return clock; }

    // Runs the clock to `until`, each wake-up coming `late` after its time.
    void runUntil(Clock::time_point until, Clock::duration late = 0ms)
    {
        while (pending && *pending + late <= until) {
            clock = *pending + late;
            pending.reset();
            Wake();
        }
        clock = until;
    }

    Clock::time_point clock{1h};
    std::optional<Clock::time_point> pending;
    std::vector<Clock::time_point> asked;
};

// Clears whatever it holds, so that the "still ours" check under test is
// SecretCopy's own.
struct FakeClipboard final : ClipboardPort {
    bool put(std::string_view secret) override
    {
        text = secret;
        ours = true;
        return true;
    }
    bool stillOurs() const override { return ours; }
    void clear() override { text.clear(); }
    void otherProgramCopies(std::string other)
    {
        text = std::move(other);
        ours = false;
    }

    std::string text;
    bool ours = false;
};

} // namespace

// Each deadline is the previous one plus 100 ms, whatever the lateness of the
// wake-ups and the time the ticks take: ten ticks a second, no drift.
TEST(TickSchedule, DeadlinesFollowThePreviousDeadline)
{
    FakeWakeUp wake;
    TickSchedule timer(wake);
    int ticks = 0;
    timer.Tick = [&] {
        ++ticks;
        wake.clock += 30ms; // the tick's own work
    };
    const auto start = wake.clock;
    timer.setEnabled(true);
    wake.runUntil(start + 10s + 7ms, 7ms);
    EXPECT_EQ(ticks, 100);
    for (std::size_t i = 0; i < wake.asked.size(); ++i)
        ASSERT_EQ(wake.asked[i], start + (i + 1) * 100ms) << "deadline " << i;

    // Enabling a running timer keeps its deadline; a stopped one ignores a
    // late wake-up.
    wake.runUntil(start + 10s + 40ms);
    timer.setEnabled(true);
    EXPECT_EQ(wake.pending, start + 10s + 100ms);
    timer.setEnabled(false);
    EXPECT_FALSE(wake.pending);
    wake.Wake();
    EXPECT_EQ(ticks, 100);
}

// Woken more than an interval late, the timer ticks once and goes on at the
// next deadline still ahead, rather than making up the lost ticks at once.
TEST(TickSchedule, SkipsDeadlinesAlreadyPast)
{
    FakeWakeUp wake;
    TickSchedule timer(wake);
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };
    const auto start = wake.clock;
    timer.setEnabled(true);
    wake.runUntil(start + 100ms + 350ms, 350ms); // the first wake-up only
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(wake.pending, start + 500ms);
}

TEST(SecretCopy, ClearedAfterThirtySecondsOnlyWhileStillOurs)
{
    FakeWakeUp wake;
    FakeClipboard clipboard;
    SecretCopy copy(clipboard, wake);
    const auto start = wake.clock;
    ASSERT_TRUE(copy.copy("abc123"));
    EXPECT_EQ(clipboard.text, "abc123");
    EXPECT_EQ(wake.pending, start + 30s);
    wake.runUntil(start + 30s);
    EXPECT_EQ(clipboard.text, "");

    // Copied over by another program meanwhile: theirs stays.
    copy.copy("def456");
    clipboard.otherProgramCopies("theirs");
    wake.runUntil(start + 61s);
    EXPECT_EQ(clipboard.text, "theirs");
}

TEST(SecretCopy, ClearedWhenTheProgramCloses)
{
    FakeWakeUp wake;
    FakeClipboard clipboard;
    {
        SecretCopy copy(clipboard, wake, 50ms);
        copy.copy("abc123");
        copy.close();
        EXPECT_EQ(clipboard.text, "");
        EXPECT_FALSE(wake.pending);
        copy.copy("def456");
        clipboard.otherProgramCopies("theirs");
    }
    EXPECT_EQ(clipboard.text, "theirs");
    {
        SecretCopy copy(clipboard, wake, 50ms);
        copy.copy("ghi789");
    }
    EXPECT_EQ(clipboard.text, "");
}
