#include "link/NetworkPort.h"

#include "link/SerialPort.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace vx {

namespace {

constexpr int StepMs = 20;

bool startsWithScheme(const QString &name, QLatin1String scheme)
{
    return name.trimmed().startsWith(scheme, Qt::CaseInsensitive);
}

int mapSocketError(QAbstractSocket::SocketError e)
{
    switch (e) {
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ConnectionRefusedError:
        return PortErr::NoSuchPort;
    case QAbstractSocket::SocketAccessError:
    case QAbstractSocket::AddressInUseError:
        return PortErr::Busy;
    default:
        return PortErr::Other;
    }
}

quint8 parityCode(QSerialPort::Parity p)
{
    using namespace telnet::ComPort;
    switch (p) {
    case QSerialPort::OddParity: return ParityOdd;
    case QSerialPort::EvenParity: return ParityEven;
    case QSerialPort::MarkParity: return ParityMark;
    case QSerialPort::SpaceParity: return ParitySpace;
    default: return ParityNone;
    }
}

quint8 stopCode(QSerialPort::StopBits s)
{
    using namespace telnet::ComPort;
    return s == QSerialPort::TwoStop ? StopTwo : s == QSerialPort::OneAndHalfStop ? StopOneAndHalf : StopOne;
}

}  // namespace

bool IsNetworkPortName(const QString &name)
{
    return startsWithScheme(name, QLatin1String("tcp://")) || startsWithScheme(name, QLatin1String("rfc2217://"));
}

std::optional<NetworkAddress> ParseNetworkPortName(const QString &name, QString *why)
{
    static const QRegularExpression re(QStringLiteral("^(tcp|rfc2217)://(\\[[0-9A-Fa-f:.]+\\]|[^:/\\[\\]\\s]+):(\\d{1,5})$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(name.trimmed());
    auto fail = [why](const QString &text) {
        if (why)
            *why = text;
        return std::nullopt;
    };
    if (!m.hasMatch())
        return fail(QStringLiteral("\"%1\" is no network port (tcp://HOST:PORT or rfc2217://HOST:PORT)").arg(name));
    const int port = m.captured(3).toInt();
    if (port < 1 || port > 65535)
        return fail(QStringLiteral("%1: the TCP port must be 1 to 65535").arg(name));
    NetworkAddress a;
    a.kind = m.captured(1).compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0 ? NetworkAddress::Kind::RawTcp
                                                                                   : NetworkAddress::Kind::Rfc2217;
    a.host = m.captured(2);
    if (a.host.startsWith(QLatin1Char('[')))
        a.host = a.host.mid(1, a.host.size() - 2);
    a.port = quint16(port);
    return a;
}

NetworkPort::NetworkPort() = default;

NetworkPort::~NetworkPort() { endSession(); }

bool NetworkPort::sessionAlive() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

PortResult NetworkPort::open(const QString &portName, const QString &lineSettings)
{
    m_open = false;
    const std::optional<LineSettings> ls = ParseLineSettings(lineSettings);
    if (!ls) {
        return {PortErr::BadSettings,
                QStringLiteral("Invalid line settings \"%1\" (expected baud,parity,data bits,stop bits, "
                               "for example 9600,N,8,1)")
                    .arg(lineSettings)};
    }
    QString why;
    const std::optional<NetworkAddress> address = ParseNetworkPortName(portName, &why);
    if (!address)
        return {PortErr::NoSuchPort, why};
    const QString name = portName.trimmed();
    if (sessionAlive())
        poll();  // notices a session the server ended since the last operation
    if (!sessionAlive() || name.compare(m_name, Qt::CaseInsensitive) != 0) {
        endSession();
        const PortResult made = connectSession(*address, name);
        if (!made.ok()) {
            endSession();
            return made;
        }
    }
    if (m_telnet && lineSettings != m_sentSettings) {
        // The server sets its port as asked; its answer to the speed says what it did.
        const int answersBefore = m_telnet->serverBaudAnswers();
        send(telnet::LineCommands(quint32(ls->baud), quint8(ls->dataBits), parityCode(ls->parity),
                                  stopCode(ls->stopBits)));
        QElapsedTimer t;
        t.start();
        while (sessionAlive() && m_telnet->serverBaudAnswers() == answersBefore
               && t.elapsed() < qint64(ConnectSeconds * 1000)) {
            m_socket->waitForReadyRead(StepMs);
            poll();
        }
        if (!sessionAlive()) {
            endSession();
            return {PortErr::Other, QStringLiteral("%1: the server closed the connection").arg(name)};
        }
        if (m_telnet->serverBaudAnswers() != answersBefore && m_telnet->serverBaud() != quint32(ls->baud)) {
            const quint32 set = m_telnet->serverBaud();
            m_sentSettings.clear();
            return {PortErr::BadSettings,
                    QStringLiteral("%1: the server set its port to %2 baud, not %3").arg(name).arg(set).arg(ls->baud)};
        }
        m_sentSettings = lineSettings;
    }
    m_open = true;
    return {};
}

PortResult NetworkPort::connectSession(const NetworkAddress &address, const QString &name)
{
    m_name = name;
    m_data.clear();
    m_sentSettings.clear();
    m_telnet.reset();
    m_roundTrip = 0;
    m_socket = std::make_unique<QTcpSocket>();
    QTcpSocket *socket = m_socket.get();

    QElapsedTimer t;
    t.start();
    const qint64 limitMs = qint64(ConnectSeconds * 1000);
    socket->connectToHost(address.host, address.port);
    // The event loop runs the host lookup and the connection; the user's input waits
    // (the window's own hook lets it through and says when to cancel).
    while (socket->state() != QAbstractSocket::ConnectedState) {
        if (socket->state() == QAbstractSocket::UnconnectedState)
            return {mapSocketError(socket->error()), QStringLiteral("%1: %2").arg(name, socket->errorString())};
        if (t.elapsed() >= limitMs)  // nothing there to answer: as a missing port, not tried again
            return {PortErr::NoSuchPort,
                    QStringLiteral("%1: no connection within %2 s").arg(name).arg(ConnectSeconds)};
        if (m_whileConnecting && !m_whileConnecting())
            return {PortErr::Other, QStringLiteral("%1: connecting was cancelled").arg(name)};
        QEventLoop loop;
        QTimer::singleShot(StepMs, &loop, &QEventLoop::quit);
        QObject::connect(socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
        QObject::connect(socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // The handshake took one round trip.
    m_roundTrip = double(t.nsecsElapsed()) / 1e9;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (address.kind == NetworkAddress::Kind::RawTcp)
        return awaitTurnAway(name);

    m_telnet = std::make_unique<telnet::Session>();
    QElapsedTimer rt;
    rt.start();
    send(m_telnet->opening());
    bool answered = false;
    while (sessionAlive() && !m_telnet->comPortAgreed() && !m_telnet->comPortRefused()) {
        if (t.elapsed() >= limitMs)
            return {PortErr::BadSettings,
                    QStringLiteral("%1: the server did not take the COM port control option (RFC 2217) within %2 s")
                        .arg(name)
                        .arg(ConnectSeconds)};
        if (m_whileConnecting && !m_whileConnecting())
            return {PortErr::Other, QStringLiteral("%1: connecting was cancelled").arg(name)};
        socket->waitForReadyRead(StepMs);
        poll();
        if (!answered && m_telnet && m_telnet->serverSpoke()) {
            answered = true;
            // The first answer to the negotiation measures the round trip better.
            m_roundTrip = double(rt.nsecsElapsed()) / 1e9;
        }
    }
    if (!sessionAlive())
        return closedByServer(name);
    if (m_telnet->comPortRefused())
        return {PortErr::BadSettings,
                QStringLiteral("%1: the server refuses the COM port control option (RFC 2217)").arg(name)};
    return {};
}

PortResult NetworkPort::awaitTurnAway(const QString &name)
{
    // Nothing is expected from a server that took us: the whole while passes. The
    // window's timers go on meanwhile; its input waits (as while connecting).
    const double seconds = std::min(ConnectSeconds, TurnAwaySeconds + 4 * m_roundTrip);
    QElapsedTimer t;
    t.start();
    while (sessionAlive()) {
        const qint64 left = qint64(seconds * 1000) - t.elapsed();
        if (left <= 0)
            return {};
        QEventLoop loop;
        QTimer::singleShot(int(std::min<qint64>(left, StepMs)), &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        poll();
    }
    return closedByServer(name);
}

PortResult NetworkPort::closedByServer(const QString &name)
{
    // What the server said, as far as it is printable text; it belongs to no answer.
    QString said;
    for (const char c : m_data.left(120))
        if (c >= 0x20 && c < 0x7F)
            said += QLatin1Char(c);
        else if (!said.endsWith(QLatin1Char(' ')))
            said += QLatin1Char(' ');
    said = said.trimmed();
    m_data.clear();
    QString text = QStringLiteral("%1: the serial server closed the connection: another client may hold the port")
                       .arg(name);
    if (!said.isEmpty())
        text += QStringLiteral(" (the server said \"%1\")").arg(said);
    return {PortErr::ServerClosed, text};
}

void NetworkPort::close() { m_open = false; }

void NetworkPort::endSession()
{
    m_open = false;
    m_data.clear();
    m_sentSettings.clear();
    m_telnet.reset();
    m_roundTrip = 0;
    if (m_socket) {
        m_socket->disconnect();
        m_socket->abort();
        m_socket.reset();
    }
}

void NetworkPort::breakSession()
{
    // What came before the break is still read; the next open makes a new session.
    if (m_socket) {
        m_socket->disconnect();
        m_socket->abort();
        m_socket.reset();
    }
    m_telnet.reset();
    m_sentSettings.clear();
    m_open = false;
}

bool NetworkPort::isOpen() const { return m_open && (sessionAlive() || !m_data.isEmpty()); }

void NetworkPort::poll()
{
    if (!m_socket)
        return;
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->waitForReadyRead(0);  // takes what the system holds, without an event loop
    const QByteArray in = m_socket->readAll();
    if (!in.isEmpty()) {
        if (m_telnet) {
            const QByteArray reply = m_telnet->feed(in, m_data);
            if (!reply.isEmpty())
                send(reply);
        } else {
            m_data += in;
        }
    }
    if (m_socket && m_socket->state() != QAbstractSocket::ConnectedState && m_socket->bytesAvailable() == 0) {
        const bool wasOpen = m_open;
        breakSession();
        m_open = wasOpen && !m_data.isEmpty();
    }
}

void NetworkPort::send(const QByteArray &raw)
{
    if (!sessionAlive() || raw.isEmpty())
        return;
    m_socket->write(raw);
    for (int i = 0; i < 50 && sessionAlive() && m_socket->bytesToWrite() > 0; ++i)
        m_socket->waitForBytesWritten(StepMs);
}

void NetworkPort::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty())
        return;
    send(m_telnet ? m_telnet->escape(bytes) : bytes);
    poll();
}

qint64 NetworkPort::bytesWaiting()
{
    if (!m_open)
        return 0;
    poll();
    return m_data.size();
}

bool NetworkPort::waitForBytes(double maxSeconds)
{
    if (!m_open || !sessionAlive() || !(maxSeconds >= 0.001))
        return false;
    if (m_data.isEmpty()) {
        m_socket->waitForReadyRead(int(maxSeconds * 1000));
        poll();
    }
    return true;
}

QByteArray NetworkPort::readAll()
{
    if (!m_open)
        return {};
    poll();
    QByteArray out;
    out.swap(m_data);
    if (!sessionAlive())
        m_open = false;  // the session broke: the port is closed once its last bytes are read
    return out;
}

}  // namespace vx
