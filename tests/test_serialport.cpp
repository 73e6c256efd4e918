// The serial port layer: line settings, COM numbers, opening with its messages,
// and the real QSerialPort on a pseudo-terminal, including the other end going away.

#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "link/Transaction.h"
#include "sim/PtyServer.h"
#include "sim/VirtualIndicator.h"
#include "support/ScriptedOperator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

#ifndef Q_OS_WIN
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace vx;
using vx::test::ScriptedOperator;

namespace {

// ---------------------------------------------------------------------------
// Line settings

TEST(ParseLineSettings, AcceptsTheUsualTextsAndRejectsMalformedOnes)
{
    struct Case { const char *text; qint32 baud; QSerialPort::Parity parity; QSerialPort::DataBits bits; QSerialPort::StopBits stop; };
    const Case cases[] = {
        {"9600,N,8,1", 9600, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop},
        {"19200,E,7,1", 19200, QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::OneStop},
        {"57600,o,7,2", 57600, QSerialPort::OddParity, QSerialPort::Data7, QSerialPort::TwoStop},
        {"4800,M,5,1.5", 4800, QSerialPort::MarkParity, QSerialPort::Data5, QSerialPort::OneAndHalfStop},
        {" 38400 , S , 6 , 1 ", 38400, QSerialPort::SpaceParity, QSerialPort::Data6, QSerialPort::OneStop},
    };
    for (const Case &c : cases) {
        const auto ls = ParseLineSettings(QString::fromLatin1(c.text));
        ASSERT_TRUE(ls.has_value()) << c.text;
        EXPECT_TRUE(std::tie(ls->baud, ls->parity, ls->dataBits, ls->stopBits) == std::tie(c.baud, c.parity, c.bits, c.stop))
            << c.text;
    }
    for (const char *text : {"", "9600", "9600,N,8", "9600,N,8,1,1", "abc,N,8,1", "0,N,8,1", "-9600,N,8,1",
                             "9600,X,8,1", "9600,NN,8,1", "9600,,8,1", "9600,N,9,1", "9600,N,4,1",
                             "9600,N,8,3", "9600,N,8,0", "9600;N;8;1", "9600.5,N,8,1"})
        EXPECT_FALSE(ParseLineSettings(QString::fromLatin1(text)).has_value()) << text;
}

TEST(ParseLineSettings, CharacterTimeCountsStartDataParityAndStopBits)
{
    const std::pair<const char *, double> cases[] = {
        {"9600,N,8,1", 10.0 / 9600}, {"19200,E,7,1", 10.0 / 19200}, {"1200,E,8,2", 12.0 / 1200},
        {"4800,O,5,1.5", 8.5 / 4800},
    };
    for (const auto &[text, seconds] : cases)
        EXPECT_DOUBLE_EQ(CharacterSeconds(*ParseLineSettings(QString::fromLatin1(text))), seconds) << text;
}

// ---------------------------------------------------------------------------
// COM numbers

TEST(ComPortMap, ComNumberParsesOnlyComNames)
{
    const std::pair<const char *, int> cases[] = {{"COM7", 7}, {"com12", 12}, {"COM0", 0},         {"COM", 0},
                                                  {"COMx", 0}, {"7", 0},      {"/dev/ttyUSB0", 0}};
    for (const auto &[name, number] : cases)
        EXPECT_EQ(ComPortMap::comNumber(QString::fromLatin1(name)), number) << name;
}

#ifndef Q_OS_WIN
TEST(ComPortMap, StoredMapWinsOverOverridesOverEnumeration)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SettingsStore store(dir.filePath("settings.ini"));
    store.setValue(SettingsKeys::ComPortSection, "COM2", "/dev/ttyStored");
    store.setValue(SettingsKeys::ComPortSection, "Junk", "/dev/ttyJunk");
    ComPortMap map(store);
    map.setOverride(2, "/dev/ttyOverride2");
    map.setOverride(3, "/dev/ttyOverride3");
    EXPECT_EQ(map.resolve(2), "/dev/ttyStored");
    EXPECT_EQ(map.resolve(3), "/dev/ttyOverride3");
    map.setExplicit(3, "/dev/ttyExplicit3");
    EXPECT_EQ(map.resolve(3), "/dev/ttyExplicit3");

    // Beyond the machine's devices nothing is mapped.
    const QStringList devices = ComPortMap::enumeratedDevices();
    EXPECT_EQ(map.resolve(int(devices.size()) + 100), QString());
    if (!devices.isEmpty()) {
        EXPECT_EQ(ComPortMap().resolve(1), devices.front());
    }
}

TEST(QtSerialPort, OpenErrorsCarryTheirNumbers)
{
    QtSerialPort port;
    for (const char *name : {"COM999", "/dev/no-such-serial-device"})
        EXPECT_EQ(port.open(name, "9600,N,8,1").error, PortErr::NoSuchPort) << name;
    const PortResult r = port.open("/dev/no-such-serial-device", "9600,N,8");
    EXPECT_EQ(r.error, PortErr::BadSettings);
    EXPECT_TRUE(r.description.contains("9600,N,8")) << r.description.toStdString();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.readAll().isEmpty());
    port.write("@0300000002\r");  // quietly nothing
}
#endif

// ---------------------------------------------------------------------------
// OpenLinkPort and Portkontrol

// A port that opens only the listed names.
class ListedPort : public SerialPortIo {
public:
    std::set<QString> available;
    int busyError = 0;  // when set, every open fails with it
    bool open_ = false;
    int closes = 0;
    QStringList opened;
    QString lineSettings;

    PortResult open(const QString &name, const QString &settings) override
    {
        opened << name;
        lineSettings = settings;
        if (busyError)
            return {busyError, "Access denied"};
        if (!available.count(name))
            return {PortErr::NoSuchPort, "no such port"};
        open_ = true;
        return {};
    }
    void close() override { ++closes; open_ = false; }
    bool isOpen() const override { return open_; }
    void write(const QByteArray &) override {}
    qint64 bytesWaiting() override { return 0; }
    QByteArray readAll() override { return {}; }
};

TEST(PortAc, ClosesAnOpenPortFirstAndShowsTheMessageOfEachFailure)
{
    struct Case { const char *number; int busy; int result; const char *name; const char *message; Icon icon; };
    const Case cases[] = {
        {"3", 0, 0, "COM3", nullptr, Icon::None},
        {"COM3", 0, 0, "COM3", nullptr, Icon::None},  // COMn is named once
        {"/dev/ttyUSB0", 0, 0, "/dev/ttyUSB0", nullptr, Icon::None},
        {"/dev/ttyUSB9", 0, PortErr::NoSuchPort, "/dev/ttyUSB9", "/dev/ttyUSB9 bulunmamaktadır", Icon::Critical},
        {"9", 0, PortErr::NoSuchPort, "COM9", "COM9 bulunmamaktadır", Icon::Critical},
        {"3", PortErr::Busy, PortErr::Busy, "COM3", " 8005 :Access denied", Icon::None},
    };
    for (const Case &c : cases) {
        ListedPort port;
        port.available = {"COM1", "COM3", "/dev/ttyUSB0"};
        port.busyError = c.busy;
        port.open_ = true;
        ScriptedOperator op;
        LinkSettings s;
        s.PortNumber = QString::fromUtf8(c.number);
        EXPECT_EQ(OpenLinkPort(port, s, op), c.result) << c.number;
        EXPECT_EQ(port.closes, 1) << c.number;
        EXPECT_EQ(port.opened, QStringList{QString::fromUtf8(c.name)});
        EXPECT_EQ(port.lineSettings, "9600,N,8,1");
        EXPECT_EQ(port.isOpen(), c.result == 0);
        EXPECT_EQ(op.messages(), c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList());
        EXPECT_EQ(op.last().icon, c.icon) << c.number;
    }
}

TEST(Portkontrol, ListsThePortsThatOpenAndLeavesThemClosed)
{
    ListedPort port;
    port.available = {"COM2", "COM5", "COM16", QStringLiteral("COM17")};
    EXPECT_EQ(Portkontrol(port), QStringList({"COM2", "COM5", "COM16"}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.opened.size(), 16);

    port.busyError = PortErr::Busy;
    EXPECT_TRUE(Portkontrol(port).isEmpty());
}

// ---------------------------------------------------------------------------
// The real port on a pseudo-terminal

#ifndef Q_OS_WIN

// A bare pty: the test plays the indicator by writing to the master side.
struct BarePty {
    int master = -1;
    QString slave;
    BarePty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        char name[256] = {};
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 && ::ptsname_r(master, name, sizeof name) == 0)
            slave = QString::fromLocal8Bit(name);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~BarePty() { closeMaster(); }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    bool ok() const { return master >= 0 && !slave.isEmpty(); }
};

// Polls without an event loop until cond holds or two seconds have passed.
template <typename Cond>
void pollUntil(Cond cond)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < 2000)
        ::usleep(1000);
}

// What the port sent, read on the master side up to its CR (two seconds at most).
QByteArray requestOn(const BarePty &pty)
{
    QByteArray request;
    pollUntil([&] {
        char buf[64];
        const ssize_t n = ::read(pty.master, buf, sizeof buf);
        request.append(buf, n > 0 ? int(n) : 0);
        return request.endsWith('\r');
    });
    return request;
}

TEST(QtSerialPortOnPty, SeesBytesWithoutAnEventLoopAndClosesWhenTheOtherEndGoes)
{
    BarePty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialPort port;
    const PortResult r = port.open(pty.slave, "9600,N,8,1");
    ASSERT_TRUE(r.ok()) << r.description.toStdString();
    EXPECT_EQ(port.devicePath(), pty.slave);
    // A second port on the same device is refused as busy.
    EXPECT_EQ(QtSerialPort().open(pty.slave, "9600,N,8,1").error, PortErr::Busy);

    // Request out, answer in, seen by polling alone (nothing runs an event loop here).
    port.write("@0300C70005\r");
    EXPECT_EQ(requestOn(pty), QByteArray("@0300C70005\r"));
    const QByteArray answer("@030A5A523220563220202020\r");
    ASSERT_EQ(::write(pty.master, answer.constData(), size_t(answer.size())), answer.size());
    QByteArray got;
    pollUntil([&] {
        if (port.bytesWaiting() > 0)
            got += port.readAll();
        return got.size() >= answer.size();
    });
    EXPECT_EQ(got, answer);

    // Bytes received before the other end went away are still delivered, then nothing.
    ASSERT_EQ(::write(pty.master, "@1", 2), 2);
    pollUntil([&] { return port.bytesWaiting() >= 2; });
    pty.closeMaster();
    QByteArray tail;
    pollUntil([&] {
        tail += port.readAll();
        return !port.isOpen();
    });
    tail += port.readAll();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(tail, QByteArray("@1"));
    EXPECT_EQ(port.bytesWaiting(), 0);
    port.write("@0300000002\r");  // no crash, no reopening
    EXPECT_FALSE(port.isOpen());
}

// A close keeps the device until events run: an operation that follows at once takes it
// up again, one with other settings or after the events ran opens it anew, and another
// program (here another port object) gets the device as soon as the events have run.
TEST(QtSerialPortOnPty, ACloseHoldsTheDeviceOnlyUntilEventsRun)
{
    BarePty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialPort port;
    ASSERT_TRUE(port.open(pty.slave, "9600,N,8,1").ok());
    ASSERT_EQ(::write(pty.master, "@1", 2), 2);
    pollUntil([&] { return port.bytesWaiting() >= 2; });
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_EQ(port.readAll(), QByteArray());
    port.write("@0300000002\r");  // closed: nothing goes out
    EXPECT_EQ(QtSerialPort().open(pty.slave, "9600,N,8,1").error, PortErr::Busy);

    // Taken up again: what was on hand at the close is gone, what came since is there.
    ASSERT_EQ(::write(pty.master, "@2", 2), 2);
    ASSERT_TRUE(port.open(pty.slave, "9600,N,8,1").ok());
    EXPECT_TRUE(port.isOpen());
    QByteArray got;
    pollUntil([&] {
        got += port.readAll();
        return got.size() >= 2;
    });
    EXPECT_EQ(got, QByteArray("@2"));
    port.write("@0300C70005\r");
    EXPECT_EQ(requestOn(pty), QByteArray("@0300C70005\r"));

    // Other settings: the device is opened anew with them.
    port.close();
    ASSERT_TRUE(port.open(pty.slave, "19200,E,7,1").ok());
    EXPECT_TRUE(port.isOpen());

    // Once events have run after a close, the device is free for anyone.
    port.close();
    QCoreApplication::processEvents();
    QtSerialPort other;
    EXPECT_TRUE(other.open(pty.slave, "9600,N,8,1").ok());
    other.close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(port.open(pty.slave, "9600,N,8,1").ok());
}

TEST(QtSerialPortOnPty, EndToEndWithTheVirtualIndicatorOnASlowLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    sim::VirtualIndicator dev;
    dev.setLong(0, 12520);
    sim::PtyServer server(dev, sim::PtyServer::Timing{1200, 0.005});
    QString error;
    ASSERT_TRUE(server.start(dir.filePath("ttyVX"), &error)) << error.toStdString();

    ComPortMap map;
    map.setOverride(4, server.linkPath());
    QtSerialPort port(map);
    ScriptedOperator op;
    LinkSettings settings;
    settings.PortNumber = QStringLiteral("4");
    settings.PortSettings = QStringLiteral("1200,N,8,1");  // the default reading time of 0.15 s
    ASSERT_EQ(OpenLinkPort(port, settings, op), 0) << op.last().text.toStdString();
    EXPECT_EQ(port.devicePath(), server.linkPath());

    SystemClock clock;
    CommsLog log(dir.filePath("ZRxLog.txt"));
    Link link(port, clock, op, log);
    link.settings = settings;

    link.settings.drainMode = DrainMode::FrameEnd;
    EXPECT_EQ(link.read(199, 10, "Tx").toString(), "ZR2 V2.20 ");
    EXPECT_EQ(link.read(0, 4, "LG").toLongLong(), 12520);
    link.WriteAcknowledged(8, 2, "LG", 7);
    EXPECT_EQ(dev.reg(8), 7);
    EXPECT_EQ(op.dialogCount(), 0);

    // 14 request characters take 117 ms at 1200 baud: a fixed wait of 0.15 s sees at
    // most the first few characters of the answer, one of 0.5 s the whole of it.
    link.settings.drainMode = DrainMode::Fixed;
    EXPECT_FALSE(link.read(0, 4, "LG").isValid());
    QTest::qWait(300);  // the rest of that answer comes and goes
    link.settings.ReadingTime = 0.5;
    EXPECT_EQ(link.read(0, 4, "LG").toLongLong(), 12520);

    // The indicator's end goes away: the exchange ends empty and in time, and the
    // port is closed rather than spinning on read errors.
    server.stop();
    QElapsedTimer t;
    t.start();
    // Events alone (a pumping wait that does not look at the port) close it.
    while (port.isOpen() && t.elapsed() < 2000)
        clock.idle(0.001, true);
    EXPECT_FALSE(port.isOpen());
    EXPECT_LT(t.elapsed(), 500);

    t.restart();
    EXPECT_FALSE(link.read(199, 10, "Tx").isValid());
    EXPECT_LT(t.elapsed(), 1500);
    QCoreApplication::processEvents();
    EXPECT_FALSE(port.isOpen());
}

#endif

}  // namespace
