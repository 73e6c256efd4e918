#pragma once
// The line for one operation. A LineLease opens the port, marks the line busy,
// clears AbortRequested and lets what is still arriving of an earlier answer fall
// quiet; when it ends it discards what is left and closes the port again.
//
// While one lease holds the line, another one is refused at once: the 5-second
// status timer, F5 and a second click are skipped, never queued to run later.
// The window's waits process events, so those arrive in the middle of an
// operation; the refusal is the one place that keeps them off the line.
//
//     LineLease lease(link);
//     if (!lease)
//         return;          // busy (nothing said) or the port failed (said by OpenLinkPort)
//     ... requests ...
//
// Code that runs both on its own and as a step of a larger operation (a page's read
// when its tab is entered, which a refresh also runs) joins the lease in force
// (Join): inside an operation it neither opens, drains nor closes anything.
//
// A poll the technician did not start and that runs many times a second (the
// display readout, the analog adjustment's tick) would hold the line most of the
// time, and a click that came meanwhile would be refused. So while a poll holds
// the line the window holds the mouse and the keys back (Clock::holdUserInput):
// they arrive, in their order, as soon as the poll has ended and the line is free.
// A click is then neither lost nor run in the middle of the poll.
//
// With the fixed drain (DrainMode::Fixed) every answer waits the whole reading time,
// and a poll would hold the mouse and the keys back for most of its time. A poll that
// gives way (Options::givesWay) lets them through during those fixed waits instead: the
// line counts as free meanwhile (Link::lineHeld), and an operation a click starts then
// takes the line over. It drops what is left on the line, as after an answer that came
// badly, and the poll's exchanges end empty at once: takenOver() tells the poll that
// its reading is none.

#include "link/Transaction.h"

namespace vx {

class LineLease {
public:
    enum class Policy {
        Exclusive,  // refused while another lease holds the line
        Join,       // runs inside a lease in force; takes the line itself otherwise
    };
    struct Options {
        Policy policy = Policy::Exclusive;
        // Opening attempts: a fatal port error ends them at once (see OpenPortWithRetries).
        int attempts = 1;
        // A port that cannot be opened is reported through the operator (OpenLinkPort's
        // message), unless quiet.
        bool quiet = false;
        // A poll: user input waits until it ends (see above).
        bool poll = false;
        // False when the caller knows that nothing of an earlier answer can still be
        // arriving: the operation before was its own, took nothing else off the line
        // and ended on whole answers. The wait for the line to fall quiet is then left
        // out (a poll that follows itself many times a second would spend most of its
        // time in it).
        bool drainStale = true;
        // A poll that gives the line up to an operation started during its fixed waits (see above).
        bool givesWay = false;
    };

    explicit LineLease(Link &link);
    LineLease(Link &link, Options options);
    ~LineLease();
    LineLease(const LineLease &) = delete;
    LineLease &operator=(const LineLease &) = delete;

    // The line may be used: the port is open and no other operation holds it.
    bool held() const { return m_state == State::Held || m_state == State::Joined; }
    explicit operator bool() const { return held(); }
    // Refused because another operation holds the line.
    bool busy() const { return m_state == State::Busy; }
    // The port error when the port could not be opened (PortErr::None otherwise).
    int portError() const { return m_portError; }
    // A poll that gave way: another operation took the line over during one of its
    // fixed waits, so what it read is incomplete and none of its own.
    bool takenOver() const;

    // Ends the lease before the end of its scope (nothing when it holds nothing).
    void release();

    // Opens the port again with other line settings, for an operation that tries
    // several of them in turn (the scan). Only a lease that took the line itself may.
    // When the port refuses the settings, the error says why, the port stays closed
    // and the lease still holds the line (the next reopen may succeed).
    PortResult reopen(const QString &lineSettings);

private:
    enum class State { Busy, PortFailed, Held, Joined, Released };
    Link &m_link;
    State m_state = State::Released;
    int m_portError = 0;
    bool m_holdsUserInput = false;
    unsigned m_takeOversAtStart = 0;
};

}  // namespace vx
