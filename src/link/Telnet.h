#pragma once
// Telnet as a serial server speaks it (RFC 854/855) with the COM port control option
// (RFC 2217): the client asks for binary transmission both ways, offers the option
// and sets speed, data bits, parity and stop bits with its subnegotiations. 0xFF in
// the data travels doubled (IAC IAC), in data and in subnegotiations alike.
//
//   telnet::Session t;
//   socket.write(t.opening());
//   QByteArray data;
//   socket.write(t.feed(socket.readAll(), data));   // answers to the server's negotiation
//   socket.write(t.escape(request));
//
// The session answers each DO/DONT/WILL/WONT once per change of state (RFC 1143), so
// two ends can never answer each other for ever. An option it does not know is refused.

#include <QByteArray>
#include <array>
#include <cstdint>

namespace vx::telnet {

inline constexpr quint8 Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
inline constexpr quint8 OptBinary = 0, OptSuppressGoAhead = 3, OptComPort = 44;

// Commands of the COM port control option, client to server; the server's answer to
// each carries the same number plus 100.
namespace ComPort {
inline constexpr quint8 SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, SetControl = 5;
inline constexpr quint8 ServerOffset = 100;
// SET-PARITY values; SET-STOPSIZE values; SET-CONTROL "no flow control".
inline constexpr quint8 ParityNone = 1, ParityOdd = 2, ParityEven = 3, ParityMark = 4, ParitySpace = 5;
inline constexpr quint8 StopOne = 1, StopTwo = 2, StopOneAndHalf = 3;
inline constexpr quint8 NoFlowControl = 1;
}  // namespace ComPort

// IAC SB COM-PORT-OPTION command value... IAC SE, 0xFF in the value doubled.
QByteArray ComPortCommand(quint8 command, const QByteArray &value);
// The line's settings as the server is to set them: speed (4 bytes, most significant
// first), data bits, parity, stop bits, then no flow control. Nothing waits for the
// answer to the last: some servers never give it.
QByteArray LineCommands(quint32 baud, quint8 dataBits, quint8 parity, quint8 stopSize);

class Session {
public:
    // What the client asks for when the session opens: WILL COM-PORT-OPTION, WILL and
    // DO BINARY, WILL and DO SUPPRESS-GO-AHEAD.
    QByteArray opening();
    // Takes bytes from the server: the data among them is appended to `data`; the
    // return value is what to send back (answers to the negotiation).
    QByteArray feed(const QByteArray &in, QByteArray &data);
    // Data for the server: 0xFF doubled; a CR followed by NUL while binary
    // transmission to the server has not been agreed (the network's CR rule).
    QByteArray escape(const QByteArray &data) const;

    // The server agreed to the COM port control option (DO COM-PORT-OPTION) / refused it.
    bool comPortAgreed() const { return m_local[OptComPort] == State::Yes; }
    bool comPortRefused() const { return m_comPortRefused; }
    // Whether the server has said anything of the protocol yet (a negotiation or a subnegotiation).
    bool serverSpoke() const { return m_serverSpoke; }
    // The speed the server last reported for SET-BAUDRATE (0: none yet).
    quint32 serverBaud() const { return m_serverBaud; }
    // How many answers to SET-BAUDRATE the server has given.
    int serverBaudAnswers() const { return m_serverBaudAnswers; }

    // The longest subnegotiation kept; the rest of a longer one is dropped.
    static constexpr int MaxSubnegotiation = 64;

private:
    enum class State : quint8 { No, Yes, Asked };
    enum class Parse : quint8 { Data, Command, Verb, Sub, SubIac };
    void negotiate(quint8 verb, quint8 option, QByteArray &reply);
    void subnegotiation();
    static bool localSupported(quint8 option);
    static bool remoteSupported(quint8 option);

    std::array<State, 256> m_local{};   // options this end performs (WILL)
    std::array<State, 256> m_remote{};  // options the server performs (its WILL)
    Parse m_parse = Parse::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    bool m_subTooLong = false;
    bool m_lastWasCr = false;
    bool m_serverSpoke = false;
    bool m_comPortRefused = false;
    quint32 m_serverBaud = 0;
    int m_serverBaudAnswers = 0;
};

}  // namespace vx::telnet
