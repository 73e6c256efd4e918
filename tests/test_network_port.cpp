// Network ports: the indicator's pseudo-terminal behind a real serial server (ser2net)
// on the loopback address, reached as tcp:// (raw TCP) and rfc2217:// (Telnet with the
// COM port control option) by vextora-cli as a process; and the network port's
// session against a listener of the test's own.

#include "link/LineLease.h"
#include "link/NetworkPort.h"
#include "link/Registers.h"
#include "link/Settings.h"
#include "link/SystemClock.h"
#include "support/CliProcess.h"
#include "support/ScriptedOperator.h"
#include "support/SimFixture.h"
#include "support/Ser2net.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <gtest/gtest.h>

namespace vx::test {
namespace {

// ---- through ser2net ----------------------------------------------------------

struct CliThroughSer2net : ::testing::Test {
    QString settings() const { return dir.filePath("vextora.ini"); }
    CliRun run(const QString &port, const QStringList &args)
    {
        return RunCliProcess(settings(), QStringList{"--port", port} + args);
    }
    QTemporaryDir dir;
};

TEST_F(CliThroughSer2net, IdentifyReadAndSendThroughARawTcpServer)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    Ser2net server(sim.ptyPath, Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());

    const CliRun id = run(server.portName(), {"identify"});
    ASSERT_EQ(id.exitCode, 0) << id.err.toStdString();
    EXPECT_TRUE(id.out.startsWith("model    ZR2\nversion  ZR2 V2.20\n")) << id.out.toStdString();

    const QString file = dir.filePath("through-tcp.vxr");
    const CliRun read = run(server.portName(), {"read", file, "--groups", "header,setpoint"});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.startsWith(file + ": header, setpoint from the ZR2")) << read.out.toStdString();

    const CliRun send = run(server.portName(), {"send", file, "--groups", "header", "--yes"});
    EXPECT_EQ(send.exitCode, 0) << send.err.toStdString();
}

TEST_F(CliThroughSer2net, Rfc2217SetsTheServersLineSpeedForEachOperationAndTheScan)
{
    // The indicator understands only a port really set to 19200; the server's own setting is 9600.
    SimProcess sim({"--baud", "19200", "--baud-strict"});
    ASSERT_TRUE(sim.ready());
    Ser2net server(sim.ptyPath, Ser2net::Kind::Rfc2217, "9600n81");
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());

    const CliRun at19200 = run(server.portName(), {"--line-settings", "19200,N,8,1", "identify"});
    ASSERT_EQ(at19200.exitCode, 0) << at19200.err.toStdString();
    EXPECT_TRUE(at19200.out.startsWith("model    ZR2\n")) << at19200.out.toStdString();
    const CliRun at9600 = run(server.portName(), {"--line-settings", "9600,N,8,1", "identify"});
    EXPECT_EQ(at9600.exitCode, 1) << at9600.err.toStdString();

    const CliRun scan = run(server.portName(), {"--line-settings", "9600,N,8,1", "--json", "scan"});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QJsonArray found = QJsonDocument::fromJson(scan.out.toUtf8()).array();
    ASSERT_EQ(found.size(), 1) << scan.out.toStdString();
    EXPECT_EQ(found[0].toObject().value("lineSettings").toString(), "19200,N,8,1");
    EXPECT_EQ(found[0].toObject().value("port").toString(), server.portName());
}

TEST_F(CliThroughSer2net, ARawTcpScanTriesOnlyChecksumAndAddressesAndSaysSo)
{
    SimProcess sim({"--checksum", "off", "--address", "5"});
    ASSERT_TRUE(sim.ready());
    Ser2net server(sim.ptyPath, Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());
    const CliRun scan = run(server.portName(), {"--json", "scan", "--addresses", "0,5"});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    EXPECT_TRUE(scan.err.contains(server.portName() + " is a raw TCP server: its line settings are its own, so only "
                                                      "the checksum and the addresses are tried, at 9600,N,8,1"))
        << scan.err.toStdString();
    // Checksum on and off, each without an address and at 05: four tries.
    EXPECT_TRUE(scan.err.contains("scanning " + server.portName() + ": 4 tries")) << scan.err.toStdString();
    const QJsonArray found = QJsonDocument::fromJson(scan.out.toUtf8()).array();
    ASSERT_EQ(found.size(), 1) << scan.out.toStdString();
    EXPECT_EQ(found[0].toObject().value("address").toString(), "05");
    EXPECT_EQ(found[0].toObject().value("checksum"), QJsonValue(false));
}

TEST_F(CliThroughSer2net, AServerThatGoesAwayMidReadLeavesTheGroupNotRead)
{
    // Slow answers, so that the read is under way when the server goes.
    SimProcess sim({"--log", "--latency-ms", "20"});
    ASSERT_TRUE(sim.ready());
    Ser2net server(sim.ptyPath, Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());
    const QString file = dir.filePath("cut.vxr");
    RunningCli read(settings(), {"--port", server.portName(), "read", file, "--groups", "id"});
    QString simLog;
    // Command 19 to register 19 opens the ID session: the ID memory is being read.
    ASSERT_TRUE(read.waitUntil([&] {
        simLog += QString::fromUtf8(sim.process.readAllStandardError());
        return simLog.count("<- ") >= 8;
    })) << simLog.toStdString();
    server.stop();
    const CliRun r = read.finish();
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Not read: ")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(CliThroughSer2net, NoServerIsAPortFailureBeforeAnythingIsSentAndABadNameAUsageError)
{
    QTcpServer probe;  // a port nothing listens on once the probe closes
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    const CliRun none = run(QStringLiteral("tcp://127.0.0.1:%1").arg(port), {"identify"});
    EXPECT_EQ(none.exitCode, 3) << none.err.toStdString();
    EXPECT_TRUE(none.out.isEmpty());

    for (const char *bad : {"tcp://127.0.0.1", "rfc2217://:80", "tcp://127.0.0.1:70000", "tcp://host:port"}) {
        const CliRun r = run(QString::fromLatin1(bad), {"identify"});
        EXPECT_EQ(r.exitCode, 2) << bad << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("vextora-cli: --port: ")) << r.err.toStdString();
    }
}

// ser2net serves one client on a port: a second one is taken and closed at once. The
// tool says so as a port failure (exit 3, said once: the open is not tried again); once the first
// client has gone, the port serves the tool.
TEST_F(CliThroughSer2net, ASecondClientTurnedAwayIsAPortFailureThatSaysWhy)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    Ser2net server(sim.ptyPath, Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());
    QTcpSocket first;
    first.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(first.waitForConnected(5000));

    const CliRun turnedAway = run(server.portName(), {"identify"});
    EXPECT_EQ(turnedAway.exitCode, 3) << turnedAway.err.toStdString();
    EXPECT_TRUE(turnedAway.out.isEmpty());
    const QString said = server.portName()
                         + ": the serial server closed the connection: another client may hold the port (the server "
                           "said \"Port already in use\")";
    EXPECT_EQ(turnedAway.err.count(said), 1) << turnedAway.err.toStdString();

    first.disconnectFromHost();
    if (first.state() != QAbstractSocket::UnconnectedState)
        first.waitForDisconnected(5000);
    CliRun id;
    // ser2net frees the port once it has seen the first client go.
    for (int attempt = 0; attempt < 20 && id.exitCode != 0; ++attempt) {
        if (attempt > 0)
            QThread::msleep(100);
        id = run(server.portName(), {"identify"});
    }
    EXPECT_EQ(id.exitCode, 0) << id.err.toStdString();
    EXPECT_TRUE(id.out.startsWith("model    ZR2\n")) << id.out.toStdString();
}

// ---- the session against a listener of the test's own --------------------------

struct NetworkSession : ::testing::Test {
    NetworkSession() { EXPECT_TRUE(listener.listen(QHostAddress::LocalHost, 0)); }
    QString name() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(listener.serverPort()); }
    // The server's end of the newest connection (waiting for it at most 5 s).
    QTcpSocket *accepted()
    {
        for (int i = 0; i < 100 && !listener.hasPendingConnections(); ++i)
            listener.waitForNewConnection(50);
        if (QTcpSocket *s = listener.nextPendingConnection())
            connections.push_back(s);
        return connections.empty() ? nullptr : connections.back();
    }
    static void say(QTcpSocket *s, const QByteArray &bytes)
    {
        s->write(bytes);
        s->waitForBytesWritten(2000);
    }

    QTcpServer listener;
    std::vector<QTcpSocket *> connections;
    QTemporaryDir dir;
    SystemClock clock;
    ScriptedOperator op;
    CommsLog log{dir.filePath("ZRxLog.txt")};
};

TEST_F(NetworkSession, KeepsItsSessionAcrossOperationsDropsWhatCameBetweenAndMakesANewOneAfterABreak)
{
    NetworkPort port;
    Link link(port, clock, op, log);
    link.settings.PortNumber = name();
    link.settings.ReadingTime = 1;
    {
        LineLease lease(link);
        ASSERT_TRUE(lease);
    }
    QTcpSocket *first = accepted();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(port.sessionAlive()) << "the lease's close leaves the session";

    // Between operations the server sends something: the next lease drops it.
    say(first, "@stale\r");
    {
        LineLease lease(link);
        ASSERT_TRUE(lease);
        EXPECT_EQ(port.bytesWaiting(), 0);
        port.write("@030A\r");
        ASSERT_TRUE(first->waitForReadyRead(2000));
        EXPECT_EQ(first->readAll(), "@030A\r") << "raw TCP: the bytes as they are";
    }
    EXPECT_EQ(listener.hasPendingConnections(), false) << "no second connection for the second operation";
    QFile f(log.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("discarded the rest of an earlier answer: @stale<CR>"));

    // The server ends the session: the next operation makes a new one.
    first->disconnectFromHost();
    if (first->state() != QAbstractSocket::UnconnectedState)
        first->waitForDisconnected(2000);
    {
        LineLease lease(link);
        ASSERT_TRUE(lease) << "a new session";
    }
    QTcpSocket *second = accepted();
    EXPECT_NE(second, first);
    port.endSession();
    EXPECT_FALSE(port.sessionAlive());
}

TEST_F(NetworkSession, ConnectingCanBeCancelledAndANameIsCheckedFirst)
{
    NetworkPort port;
    int asked = 0;
    port.setWhileConnecting([&asked] {
        ++asked;
        return false;
    });
    const PortResult cancelled = port.open(name(), "9600,N,8,1");
    EXPECT_EQ(cancelled.error, PortErr::Other);
    EXPECT_TRUE(cancelled.description.contains("connecting was cancelled")) << qPrintable(cancelled.description);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(port.isOpen());

    EXPECT_EQ(port.open("tcp://127.0.0.1", "9600,N,8,1").error, PortErr::NoSuchPort);
    EXPECT_EQ(port.open(name(), "9600,X,8,1").error, PortErr::BadSettings);
}

// A port whose answers come a network's round trip later than the line's.
class RoundTripPort : public sim::InProcessPort {
public:
    using InProcessPort::InProcessPort;
    double roundTripSeconds() const override { return roundTrip; }
    double roundTrip = 0;
};

TEST(NetworkRoundTrip, IsAddedToTheWaitForAnAnswerInBothDrainModes)
{
    for (const DrainMode mode : {DrainMode::FrameEnd, DrainMode::Fixed}) {
        for (const double roundTrip : {0.0, 0.1}) {
            InProcessIndicator indicator;
            RoundTripPort port(indicator.device, indicator.clock);
            port.roundTrip = roundTrip;
            QTemporaryDir dir;
            ScriptedOperator op;
            CommsLog log(dir.filePath("ZRxLog.txt"));
            Link link(port, indicator.clock, op, log);
            link.settings.drainMode = mode;
            link.settings.ReadingTime = 0.15;
            ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok());
            // The answer comes 0.05 s after the reading time would end on a cable.
            sim::FaultRule late;
            late.kind = sim::FaultKind::Late;
            late.scope = sim::FaultScope::Register;
            late.value = reg::Version;
            late.remaining = 1;
            late.lateSeconds = 0.15 + 0.05;
            indicator.device.addFault(late);
            const Answer a = link.readAnswer(reg::Version, 10);
            EXPECT_EQ(a.whole(), roundTrip > 0) << qPrintable(DrainModeName(mode)) << " round trip " << roundTrip;
        }
    }
}

TEST(NetworkPortNames, AreParsedAndKeptUnderTheirOwnSettingsKey)
{
    const std::optional<NetworkAddress> v6 = ParseNetworkPortName("RFC2217://[::1]:2217");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->kind, NetworkAddress::Kind::Rfc2217);
    EXPECT_EQ(v6->host, "::1");
    EXPECT_EQ(v6->port, 2217);
    EXPECT_FALSE(ParseNetworkPortName("tcp://10.0.0.5:0"));
    EXPECT_FALSE(ParseNetworkPortName("udp://10.0.0.5:4001"));

    QTemporaryDir dir;
    SettingsStore store(dir.filePath("s.ini"));
    store.setValue(SettingsKeys::Section, SettingsKeys::Port, "3");
    LinkSettings s = RegOku(store);
    s.PortNumber = "tcp://10.0.0.5:4001";
    StoreConnectionSettings(store, s);
    // The earlier program's "Port" keeps its COM number.
    EXPECT_EQ(store.value(SettingsKeys::Section, SettingsKeys::Port), "3");
    EXPECT_EQ(store.value(SettingsKeys::Section, "NetworkPort"), "tcp://10.0.0.5:4001");
    EXPECT_EQ(RegOku(store).PortNumber, "tcp://10.0.0.5:4001");
    s.PortNumber = "4";
    StoreConnectionSettings(store, s);
    EXPECT_EQ(store.value(SettingsKeys::Section, "NetworkPort"), "");
    EXPECT_EQ(RegOku(store).PortNumber, "4");
}

}  // namespace
}  // namespace vx::test
