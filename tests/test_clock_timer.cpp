// The window's repeating timers on the virtual clock: the interval counted from each
// tick's start, a gap after a tick that ran long, and a stop from inside a tick.

#include "link/ClockTimer.h"
#include "sim/VirtualClock.h"

#include <gtest/gtest.h>
#include <vector>

namespace vx::test {
namespace {

struct ClockTimerTest : ::testing::Test {
    sim::VirtualClock clock;
    std::vector<double> ticks;  // elapsed seconds at each tick's start
};

TEST_F(ClockTimerTest, ShortTicksKeepTheIntervalFromEachStart)
{
    ClockTimer timer(clock, 100, [&] {
        ticks.push_back(clock.elapsed());
        clock.advance(0.03);  // the tick's own work
    });
    timer.start();
    clock.advance(0.35);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_NEAR(ticks[0], 0.1, 1e-9);
    EXPECT_NEAR(ticks[1], 0.2, 1e-9);
    EXPECT_NEAR(ticks[2], 0.3, 1e-9);
}

TEST_F(ClockTimerTest, ALongTickIsFollowedAfterAGapNotAtOnce)
{
    // An adjustment tick holds the line for more than a second; a click that waited
    // meanwhile must find the line free before the next tick takes it again.
    ClockTimer timer(clock, 100, [&] {
        ticks.push_back(clock.elapsed());
        clock.advance(1.0);
    });
    timer.start();
    clock.advance(2.5);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_NEAR(ticks[0], 0.1, 1e-9);
    EXPECT_NEAR(ticks[1], 0.1 + 1.0 + ClockTimer::MinGapSeconds, 1e-9);
}

TEST_F(ClockTimerTest, ATickThatStopsItsTimerIsTheLast)
{
    ClockTimer *self = nullptr;
    ClockTimer timer(clock, 100, [&] {
        ticks.push_back(clock.elapsed());
        self->stop();
    });
    self = &timer;
    timer.start();
    clock.advance(1.0);
    EXPECT_EQ(ticks.size(), 1u);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(ClockTimerTest, ATickThatRestartsItsTimerCountsTheIntervalAfresh)
{
    ClockTimer *self = nullptr;
    ClockTimer timer(clock, 100, [&] {
        ticks.push_back(clock.elapsed());
        if (ticks.size() == 1) {
            clock.advance(0.05);
            self->start();  // one arming only: no second series of ticks
        }
    });
    self = &timer;
    timer.start();
    clock.advance(0.42);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_NEAR(ticks[1], 0.25, 1e-9);
    EXPECT_NEAR(ticks[2], 0.35, 1e-9);
}

}  // namespace
}  // namespace vx::test
