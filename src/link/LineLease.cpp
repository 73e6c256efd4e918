#include "link/LineLease.h"

#include "link/Connect.h"
#include "link/ForwardingOperator.h"
#include "link/SerialPort.h"

#include <algorithm>

namespace vx {
namespace {

// Says nothing: a quiet lease reports its port error to the caller only.
class SilentOperator : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;
    void message(const QString &, Icon, const QString &) override {}
};

}  // namespace

LineLease::LineLease(Link &link) : LineLease(link, Options{}) {}

LineLease::LineLease(Link &link, Options options) : m_link(link)
{
    if (link.lineHeld()) {
        m_state = options.policy == Policy::Join ? State::Joined : State::Busy;
        return;
    }
    if (link.m_lineHeld) {
        // A poll in a fixed wait gives way: its answer may still be coming, and the drain
        // below waits for the line to fall quiet. The poll's wait ends when this lease has.
        ++link.m_takeOvers;
        link.m_mayTakeOver = false;
        link.m_lastExchangeBad = true;
    }
    link.m_pollGivesWay = options.poll && options.givesWay;
    // OpenLinkPort closes an open port first; the lease begins from a closed one either way.
    if (link.port().isOpen())
        link.port().close();
    SilentOperator silent(link.op());
    Operator &op = options.quiet ? static_cast<Operator &>(silent) : link.op();
    // The line is taken before the port opens: making a network port's session lets the
    // window's events run, and an operation started meanwhile must find the line held.
    // An abort from then on (Escape while connecting) is this operation's.
    link.setLineHeld(true);
    link.AbortRequested = false;
    m_portError = OpenPortWithRetries(link.port(), link.settings, op, std::max(1, options.attempts));
    if (m_portError != PortErr::None) {
        link.port().close();
        link.setLineHeld(false);
        link.m_pollGivesWay = false;
        m_state = State::PortFailed;
        return;
    }
    m_state = State::Held;
    m_takeOversAtStart = link.m_takeOvers;
    if (options.poll) {
        link.clock().holdUserInput(true);
        m_holdsUserInput = true;
    }
    // The rest of an answer to an earlier operation is not this one's.
    if (options.drainStale)
        link.DrainStaleInput();
}

LineLease::~LineLease() { release(); }

bool LineLease::takenOver() const
{
    return m_state != State::Busy && m_state != State::PortFailed && m_state != State::Joined
           && m_link.m_takeOvers != m_takeOversAtStart;
}

PortResult LineLease::reopen(const QString &lineSettings)
{
    if (m_state != State::Held)
        return {PortErr::NotOpen, QStringLiteral("the line is not held by this operation")};
    SerialPortIo &port = m_link.port();
    if (port.isOpen())
        port.close();
    const PortResult r = port.open(PortNameFor(m_link.settings.PortNumber), lineSettings);
    if (!r.ok())
        port.close();
    return r;
}

void LineLease::release()
{
    if (m_state != State::Held) {
        if (m_state == State::Joined)
            m_state = State::Released;
        return;
    }
    m_state = State::Released;
    // What is left on the line belongs to no one: it is dropped, not read by the next operation.
    if (m_link.port().isOpen()) {
        m_link.collectArrived();
        m_link.port().close();
    }
    m_link.setLineHeld(false);
    m_link.m_pollGivesWay = false;
    if (m_holdsUserInput) {
        m_holdsUserInput = false;
        m_link.clock().holdUserInput(false);
    }
}

}  // namespace vx
