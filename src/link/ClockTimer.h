#pragma once
// A repeating window timer built on the Clock, so it runs on the window's event
// loop in the program and on the virtual clock in tests. A tick longer than the
// interval is followed by the next one after a short gap (MinGapSeconds), never at
// once: the window handles the input that waited meanwhile first.

#include "link/Interfaces.h"

#include <functional>
#include <memory>

namespace vx {

class ClockTimer {
public:
    ClockTimer(Clock &clock, int intervalMs, std::function<void()> onTick);
    ~ClockTimer();
    ClockTimer(const ClockTimer &) = delete;
    ClockTimer &operator=(const ClockTimer &) = delete;

    // Starting a running timer starts its interval afresh.
    void start();
    void stop();
    bool isActive() const { return m_active; }
    int interval() const { return m_intervalMs; }
    void setInterval(int ms) { m_intervalMs = ms; }

    static constexpr double MinGapSeconds = 0.02;

private:
    void arm(double delaySeconds);

    Clock &m_clock;
    int m_intervalMs;
    std::function<void()> m_onTick;
    bool m_active = false;
    // Ticks already handed to the clock carry the generation they were armed in;
    // stop, start and destruction make them stale.
    std::shared_ptr<unsigned> m_generation = std::make_shared<unsigned>(0);
};

}  // namespace vx
