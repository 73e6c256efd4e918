#pragma once
// A clock whose time only moves when someone waits. Events scheduled on it (the
// virtual indicator's answers) fire when the waiting passes their time, so a
// whole sequence runs in milliseconds and always the same way.

#include "link/Interfaces.h"

#include <QDateTime>
#include <functional>
#include <map>
#include <vector>

namespace vx::sim {

class VirtualClock : public Clock {
public:
    explicit VirtualClock(QDateTime start = QDateTime(QDate(2026, 3, 12), QTime(10, 0, 0)));

    double secondsSinceMidnight() const override;
    QDateTime now() const override;
    // Advances to the earlier of now + maxSeconds and the next scheduled event,
    // firing every event that falls due. pumpEvents is recorded but changes nothing.
    void idle(double maxSeconds, bool pumpEvents) override;
    void callAfter(double seconds, std::function<void()> fn) override { schedule(seconds, std::move(fn)); }

    // Runs fn once the virtual time has advanced by delaySeconds.
    void schedule(double delaySeconds, std::function<void()> fn);
    // Advances by seconds, firing due events.
    void advance(double seconds);
    // Seconds since the clock was created.
    double elapsed() const { return m_elapsed; }
    // Events scheduled and not fired yet.
    std::size_t pendingEvents() const { return m_events.size(); }
    int pumpedIdles() const { return m_pumped; }
    // The mouse or the keys at work (a click, a key press): `fn` comes at its time like
    // any event, unless a hold is on; then it waits, as the window's input does, for the
    // next turn of the event loop: a wait that pumps events with no hold on, or time that
    // passes with nothing else due. An event scheduled with no delay comes first, as a
    // zero timer of the window's comes before the input waiting.
    void input(double delaySeconds, std::function<void()> fn);
    // The holds are counted, for the tests; they hold back what comes through input().
    void holdUserInput(bool hold) override { m_userInputHolds += hold ? 1 : -1; }
    int userInputHolds() const { return m_userInputHolds; }
    int unpumpedIdles() const { return m_unpumped; }

private:
    void fireDue();
    QDateTime m_start;
    double m_startSecondsOfDay = 0;
    double m_elapsed = 0;
    int m_userInputHolds = 0;
    void deliverHeldInput();
    std::multimap<double, std::function<void()>> m_events;  // by elapsed time
    std::vector<std::function<void()>> m_heldInput;         // in their order
    int m_pumped = 0;
    int m_unpumped = 0;
};

}  // namespace vx::sim
