#pragma once
// The refresh of the shown tab: F5 (every second press), the toolbar's refresh button,
// the refresh of a tab change and the 5-second status timer (Timer4) that keeps the
// status tab current. The refresh takes the line through a LineLease: while another
// operation holds it, a tick, a key or a click is skipped, never queued.

#include "link/ClockTimer.h"

#include <memory>

namespace vx {
class Clock;
class Link;
class TextService;
}  // namespace vx

namespace vx::gui {

class TabPage;
struct WindowState;

// What the refresh asks of the window around it.
class RefreshHost {
public:
    virtual WindowState &state() = 0;
    virtual Link &link() = 0;
    virtual const TextService &texts() const = 0;
    virtual TabPage &pageOf(int tab) = 0;
    // A floating panel or a page's adjustment has the shell locked: nothing is refreshed.
    virtual bool shellLocked() const = 0;
    // A send-all has begun: keys do not interrupt it.
    virtual bool sendRunning() const = 0;
    // Before a refresh of `tab` replaces data the indicator has not got: the question.
    virtual bool mayReplace(int tab) = 0;
    // The tab change to `tab` (SSTab1_Click), run again to reload a page.
    virtual void enterTab(int tab) = 0;
    // The frame of the refresh: dimmed before the line is taken, and back after it is
    // given up; a port that would not open ends the connection.
    virtual void refreshBegins() = 0;
    virtual void refreshEnded(int portError) = 0;

protected:
    ~RefreshHost() = default;
};

class TabRefresh {
public:
    static constexpr int StatusTimerMs = 5000;

    TabRefresh(RefreshHost &host, Clock &clock);

    // RefKatmaOlum: reads the shown tab again.
    void refresh();
    // Every second F5 refreshes; none while a send-all runs.
    void F5Key();
    // A tick of Timer4: the status tab read again, or the timer stopped once disconnected.
    void Timer4_Timer();
    // Timer4 runs on the clock, so tests drive it in virtual time.
    ClockTimer &timer4() { return *m_timer4; }

private:
    RefreshHost &m_host;
    std::unique_ptr<ClockTimer> m_timer4;
    bool m_keyLatch = false;  // RefreshKeyLatch: set by the F5 that refreshed
};

}  // namespace vx::gui
