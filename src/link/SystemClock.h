#pragma once
// The real clock: wall time, and idling that keeps the window alive.

#include "link/Interfaces.h"

namespace vx {

class SystemClock : public Clock {
public:
    // Milliseconds since local midnight, as seconds; wraps to 0 at midnight.
    double secondsSinceMidnight() const override;
    QDateTime now() const override;
    // Processes pending Qt events when asked to, then sleeps up to ~1 ms
    // (never longer than maxSeconds).
    void idle(double maxSeconds, bool pumpEvents) override;
    // A single-shot Qt timer on the application's event loop.
    void callAfter(double seconds, std::function<void()> fn) override;
    void holdUserInput(bool hold) override { m_userInputHolds += hold ? 1 : -1; }
    // True while a poll holds the mouse and the keys back.
    bool userInputHeld() const { return m_userInputHolds > 0; }

private:
    int m_userInputHolds = 0;
};

}  // namespace vx
