#include "link/ClockTimer.h"

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
    arm();
}

void ClockTimer::stop()
{
    ++*m_generation;
    m_active = false;
}

void ClockTimer::arm()
{
    const std::weak_ptr<unsigned> token = m_generation;
    const unsigned armed = *m_generation;
    m_clock.callAfter(m_intervalMs / 1000.0, [this, token, armed] {
        const auto generation = token.lock();
        if (!generation || *generation != armed)
            return;  // stopped, restarted or destroyed meanwhile
        arm();       // the next tick first: the tick itself may stop the timer
        if (m_onTick)
            m_onTick();
    });
}

}  // namespace vx
