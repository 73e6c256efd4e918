#include "link/Telnet.h"

namespace vx::telnet {

namespace {

void appendEscaped(QByteArray &out, quint8 byte)
{
    out.append(char(byte));
    if (byte == Iac)
        out.append(char(Iac));
}

}  // namespace

QByteArray ComPortCommand(quint8 command, const QByteArray &value)
{
    QByteArray out;
    out.append(char(Iac)).append(char(Sb)).append(char(OptComPort));
    appendEscaped(out, command);
    for (char c : value)
        appendEscaped(out, quint8(c));
    out.append(char(Iac)).append(char(Se));
    return out;
}

QByteArray LineCommands(quint32 baud, quint8 dataBits, quint8 parity, quint8 stopSize)
{
    QByteArray speed;
    for (int shift = 24; shift >= 0; shift -= 8)
        speed.append(char((baud >> shift) & 0xFF));
    return ComPortCommand(ComPort::SetBaudRate, speed) + ComPortCommand(ComPort::SetDataSize, QByteArray(1, char(dataBits)))
           + ComPortCommand(ComPort::SetParity, QByteArray(1, char(parity)))
           + ComPortCommand(ComPort::SetStopSize, QByteArray(1, char(stopSize)))
           + ComPortCommand(ComPort::SetControl, QByteArray(1, char(ComPort::NoFlowControl)));
}

bool Session::localSupported(quint8 option)
{
    return option == OptBinary || option == OptSuppressGoAhead || option == OptComPort;
}

bool Session::remoteSupported(quint8 option)
{
    return option == OptBinary || option == OptSuppressGoAhead;
}

QByteArray Session::opening()
{
    QByteArray out;
    auto ask = [&out](std::array<State, 256> &side, quint8 verb, quint8 option) {
        if (side[option] != State::No)
            return;
        side[option] = State::Asked;
        out.append(char(Iac)).append(char(verb)).append(char(option));
    };
    ask(m_local, Will, OptComPort);
    ask(m_local, Will, OptBinary);
    ask(m_remote, Do, OptBinary);
    ask(m_local, Will, OptSuppressGoAhead);
    ask(m_remote, Do, OptSuppressGoAhead);
    return out;
}

void Session::negotiate(quint8 verb, quint8 option, QByteArray &reply)
{
    m_serverSpoke = true;
    auto send = [&reply, option](quint8 v) { reply.append(char(Iac)).append(char(v)).append(char(option)); };
    const bool askedLocal = verb == Do || verb == Dont;
    State &state = askedLocal ? m_local[option] : m_remote[option];
    const bool supported = askedLocal ? localSupported(option) : remoteSupported(option);
    const bool enable = verb == Do || verb == Will;
    if (enable) {
        if (state == State::Yes)
            return;  // already so: no answer, or the two ends would answer each other for ever
        if (state == State::Asked) {
            state = State::Yes;  // the answer to our own request
            return;
        }
        if (supported) {
            state = State::Yes;
            send(askedLocal ? Will : Do);
        } else {
            send(askedLocal ? Wont : Dont);
        }
        return;
    }
    // DONT / WONT
    const State was = state;
    state = State::No;
    if (askedLocal && option == OptComPort && was != State::Yes)
        m_comPortRefused = true;
    if (was == State::Yes)
        send(askedLocal ? Wont : Dont);
}

void Session::subnegotiation()
{
    m_serverSpoke = true;
    if (m_sub.size() >= 2 && quint8(m_sub[0]) == OptComPort
        && quint8(m_sub[1]) == ComPort::ServerOffset + ComPort::SetBaudRate && m_sub.size() == 6) {
        quint32 baud = 0;
        for (int i = 2; i < 6; ++i)
            baud = (baud << 8) | quint8(m_sub[i]);
        m_serverBaud = baud;
        ++m_serverBaudAnswers;
    }
    // The server's other reports (line and modem state, the other settings) change nothing here.
}

QByteArray Session::feed(const QByteArray &in, QByteArray &data)
{
    QByteArray reply;
    for (char c : in) {
        const quint8 b = quint8(c);
        switch (m_parse) {
        case Parse::Data:
            if (b == Iac) {
                m_parse = Parse::Command;
                break;
            }
            // Without binary transmission a CR travels as CR NUL: the NUL is no data.
            if (!(b == 0 && m_lastWasCr && m_remote[OptBinary] != State::Yes))
                data.append(c);
            m_lastWasCr = b == '\r';
            break;
        case Parse::Command:
            if (b == Iac) {
                data.append(c);  // a doubled IAC is one 0xFF of data
                m_lastWasCr = false;
                m_parse = Parse::Data;
            } else if (b == Will || b == Wont || b == Do || b == Dont) {
                m_verb = b;
                m_parse = Parse::Verb;
            } else if (b == Sb) {
                m_sub.clear();
                m_subTooLong = false;
                m_parse = Parse::Sub;
            } else {
                m_parse = Parse::Data;  // NOP, go ahead, data mark, a stray SE...: nothing to do
            }
            break;
        case Parse::Verb:
            negotiate(m_verb, b, reply);
            m_parse = Parse::Data;
            break;
        case Parse::Sub:
            if (b == Iac) {
                m_parse = Parse::SubIac;
                break;
            }
            if (m_sub.size() < MaxSubnegotiation)
                m_sub.append(c);
            else
                m_subTooLong = true;
            break;
        case Parse::SubIac:
            if (b == Iac) {
                if (m_sub.size() < MaxSubnegotiation)
                    m_sub.append(c);
                else
                    m_subTooLong = true;
                m_parse = Parse::Sub;
            } else if (b == Se) {
                if (!m_subTooLong)
                    subnegotiation();
                m_sub.clear();
                m_parse = Parse::Data;
            } else {
                // A command inside a subnegotiation that never ended: end it and read
                // the command as one.
                m_sub.clear();
                m_parse = Parse::Command;
                if (b == Will || b == Wont || b == Do || b == Dont) {
                    m_verb = b;
                    m_parse = Parse::Verb;
                } else if (b == Sb) {
                    m_subTooLong = false;
                    m_parse = Parse::Sub;
                } else {
                    m_parse = Parse::Data;
                }
            }
            break;
        }
    }
    return reply;
}

QByteArray Session::escape(const QByteArray &data) const
{
    const bool binaryToServer = m_local[OptBinary] == State::Yes;
    QByteArray out;
    out.reserve(data.size() + 2);
    for (char c : data) {
        appendEscaped(out, quint8(c));
        if (c == '\r' && !binaryToServer)
            out.append('\0');
    }
    return out;
}

}  // namespace vx::telnet
