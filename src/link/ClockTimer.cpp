#include "link/ClockTimer.h"

#include <algorithm>

namespace vx {

ClockTimer::ClockTimer(Clock &clock, int intervalMs, std::function<void()> onTick)
    : m_clock(clock), m_intervalMs(intervalMs), m_onTick(std::move(onTick))
{
}

ClockTimer::~ClockTimer() { ++*m_generation; }

void ClockTimer::start()
{
    ++*m_generation;
    m_active = true;
    arm(m_intervalMs / 1000.0);
}

void ClockTimer::stop()
{
    ++*m_generation;
    m_active = false;
}

void ClockTimer::arm(double delaySeconds)
{
    const std::weak_ptr<unsigned> token = m_generation;
    const unsigned armed = *m_generation;
    m_clock.callAfter(delaySeconds, [this, token, armed] {
        auto stale = [&] {
            const auto generation = token.lock();
            return !generation || *generation != armed;  // stopped, restarted or destroyed
        };
        if (stale())
            return;
        const double began = m_clock.secondsSinceMidnight();
        if (m_onTick)
            m_onTick();
        if (stale())
            return;  // the tick stopped or restarted the timer, or closed its owner
        // The next tick keeps the interval counted from this one's start, but comes
        // only after the window has had a moment for what is waiting (a click held
        // back while the tick had the line), as a timer never comes before input.
        double took = m_clock.secondsSinceMidnight() - began;
        if (took < 0)
            took += 24 * 60 * 60;  // midnight passed
        arm(std::max(m_intervalMs / 1000.0 - took, MinGapSeconds));
    });
}

}  // namespace vx
