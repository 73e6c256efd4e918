#include "sim/VirtualClock.h"

#include <cmath>

namespace vx::sim {

VirtualClock::VirtualClock(QDateTime start)
    : m_start(std::move(start))
{
    m_startSecondsOfDay = m_start.time().msecsSinceStartOfDay() / 1000.0;
}

double VirtualClock::secondsSinceMidnight() const
{
    return std::fmod(m_startSecondsOfDay + m_elapsed, 86400.0);
}

QDateTime VirtualClock::now() const
{
    return m_start.addMSecs(qint64(std::llround(m_elapsed * 1000.0)));
}

void VirtualClock::idle(double maxSeconds, bool pumpEvents)
{
    if (pumpEvents)
        ++m_pumped;
    else
        ++m_unpumped;
    if (pumpEvents && m_userInputHolds == 0)
        deliverHeldInput();
    double target = m_elapsed + (maxSeconds > 0 && std::isfinite(maxSeconds) ? maxSeconds : 0.0);
    if (!m_events.empty() && m_events.begin()->first < target)
        target = std::max(m_elapsed, m_events.begin()->first);
    m_elapsed = target;
    fireDue();
}

void VirtualClock::schedule(double delaySeconds, std::function<void()> fn)
{
    const double delay = delaySeconds > 0 && std::isfinite(delaySeconds) ? delaySeconds : 0.0;
    m_events.emplace(m_elapsed + delay, std::move(fn));
}

void VirtualClock::input(double delaySeconds, std::function<void()> fn)
{
    schedule(delaySeconds, [this, fn = std::move(fn)] {
        if (m_userInputHolds > 0)
            m_heldInput.push_back(fn);
        else
            fn();
    });
}

void VirtualClock::deliverHeldInput()
{
    while (!m_heldInput.empty() && m_userInputHolds == 0) {
        const std::function<void()> fn = std::move(m_heldInput.front());
        m_heldInput.erase(m_heldInput.begin());
        fn();
    }
}

void VirtualClock::advance(double seconds)
{
    const double target = m_elapsed + (seconds > 0 && std::isfinite(seconds) ? seconds : 0.0);
    // Events fire at their own time, so an event that schedules another sees the
    // clock where it expected it.
    while (!m_events.empty() && m_events.begin()->first <= target) {
        // Time passing with nothing due: the event loop is idle and hands on the input held.
        if (!m_heldInput.empty() && m_userInputHolds == 0 && m_events.begin()->first > m_elapsed) {
            deliverHeldInput();
            continue;
        }
        m_elapsed = std::max(m_elapsed, m_events.begin()->first);
        fireDue();
    }
    if (m_userInputHolds == 0)
        deliverHeldInput();
    // An event may itself have waited (a timer tick running a whole exchange): time
    // never goes back.
    m_elapsed = std::max(m_elapsed, target);
    fireDue();
}

void VirtualClock::fireDue()
{
    // Events scheduled while firing (with no delay) fire in the same pass; the
    // multimap keeps equal times in scheduling order. What an event schedules after
    // it waited falls due later than this pass: a chain of events that each wait (a
    // sampling as fast as the line allows) is followed by the caller, not here for ever.
    const double due = m_elapsed;
    while (!m_events.empty() && m_events.begin()->first <= due) {
        auto node = m_events.extract(m_events.begin());
        node.mapped()();
    }
}

}  // namespace vx::sim
