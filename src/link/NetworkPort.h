#pragma once
// A serial port reached through a serial device server on the network:
//   tcp://HOST:PORT      raw TCP: the bytes go through unchanged; the server keeps its
//                        own line settings (the tool is still told them: its waits
//                        follow the speed)
//   rfc2217://HOST:PORT  Telnet with the COM port control option: each open sets the
//                        line's speed, data bits, parity and stop bits on the server
//
// The line lease opens and closes the port for every operation. The TCP session
// outlives those closes: a close only ends the operation, and what arrives until the
// next open stays waiting, for the next lease's drain to read away. A session that
// broke (the server closed it, the network failed) is made again at the next open.
// Making it is bounded (ConnectSeconds) and can be cancelled (setWhileConnecting).
//
// The round trip the session took to open (the TCP handshake, and for RFC 2217 the
// server's first answer to the negotiation) is measured once per session; the link
// adds it to its waits for answers (roundTripSeconds).
//
// A server that closes a new session at once (it serves another client) fails the open
// with PortErr::ServerClosed, saying what the server said.

#include "link/Interfaces.h"
#include "link/Telnet.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTcpSocket;

namespace vx {

struct NetworkAddress {
    enum class Kind { RawTcp, Rfc2217 };
    Kind kind = Kind::RawTcp;
    QString host;
    quint16 port = 0;
};

// Whether a port name names a network port ("tcp://" or "rfc2217://", any case).
bool IsNetworkPortName(const QString &name);
// "tcp://HOST:PORT" / "rfc2217://HOST:PORT" (an IPv6 host in brackets); nothing when
// malformed, with the reason in *why.
std::optional<NetworkAddress> ParseNetworkPortName(const QString &name, QString *why = nullptr);

class NetworkPort : public SerialPortIo {
public:
    NetworkPort();
    ~NetworkPort() override;
    PortResult open(const QString &portName, const QString &lineSettings) override;
    void close() override;  // ends the operation; the session stays
    bool isOpen() const override;
    void write(const QByteArray &bytes) override;
    qint64 bytesWaiting() override;
    QByteArray readAll() override;
    bool waitForBytes(double maxSeconds) override;
    double roundTripSeconds() const override { return m_roundTrip; }

    // Ends the session (the program disconnects, or another port is chosen).
    void endSession();
    bool sessionAlive() const;
    // Called about every 20 ms while the session is being made; false cancels it.
    // (The window keeps its events going and lets the operator cancel.)
    void setWhileConnecting(std::function<bool()> whileConnecting) { m_whileConnecting = std::move(whileConnecting); }
    // The speed the RFC 2217 server reported for the last speed set (0: none).
    quint32 serverBaud() const { return m_telnet ? m_telnet->serverBaud() : 0; }

    static constexpr double ConnectSeconds = 3.0;
    // A serial server that serves one client at a time takes a second client's connection
    // and closes it at once, often after a line of text (ser2net: "Port already in use").
    // A new raw TCP session waits this long, plus four round trips, for that before it is
    // used; a session closed so is the port failure PortErr::ServerClosed.
    static constexpr double TurnAwaySeconds = 0.15;

private:
    PortResult connectSession(const NetworkAddress &address, const QString &name);
    PortResult awaitTurnAway(const QString &name);
    PortResult closedByServer(const QString &name);
    void poll();
    void breakSession();  // keeps what arrived, ends the session
    void send(const QByteArray &raw);

    std::unique_ptr<QTcpSocket> m_socket;
    std::unique_ptr<telnet::Session> m_telnet;  // RFC 2217 only
    QString m_name;            // the name the session was made for
    QString m_sentSettings;    // the line settings last set on an RFC 2217 server
    QByteArray m_data;         // data received, not read yet
    bool m_open = false;
    double m_roundTrip = 0;
    std::function<bool()> m_whileConnecting;
};

}  // namespace vx
