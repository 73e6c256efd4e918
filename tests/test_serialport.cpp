// The serial port layer: line settings, COM numbers, opening with its messages,
// and the real QSerialPort on a pseudo-terminal, including the other end going away.

#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "link/Transaction.h"
#include "sim/InProcessPort.h"
#include "sim/PtyServer.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"
#include "support/ScriptedOperator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

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

TEST(ParseLineSettings, AcceptsTheUsualTexts)
{
    struct Case {
        const char *text;
        qint32 baud;
        QSerialPort::Parity parity;
        QSerialPort::DataBits bits;
        QSerialPort::StopBits stop;
    };
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
        EXPECT_EQ(ls->baud, c.baud) << c.text;
        EXPECT_EQ(ls->parity, c.parity) << c.text;
        EXPECT_EQ(ls->dataBits, c.bits) << c.text;
        EXPECT_EQ(ls->stopBits, c.stop) << c.text;
    }
}

TEST(ParseLineSettings, RejectsMalformedTexts)
{
    for (const char *text : {"", "9600", "9600,N,8", "9600,N,8,1,1", "abc,N,8,1", "0,N,8,1", "-9600,N,8,1",
                             "9600,X,8,1", "9600,NN,8,1", "9600,,8,1", "9600,N,9,1", "9600,N,4,1",
                             "9600,N,8,3", "9600,N,8,0", "9600;N;8;1", "9600.5,N,8,1"}) {
        EXPECT_FALSE(ParseLineSettings(QString::fromLatin1(text)).has_value()) << text;
    }
}

// ---------------------------------------------------------------------------
// COM numbers

TEST(ComPortMap, ComNumberParsesOnlyComNames)
{
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("COM7")), 7);
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("com12")), 12);
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("COM0")), 0);
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("COM")), 0);
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("COMx")), 0);
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("/dev/ttyUSB0")), 0);
    EXPECT_EQ(ComPortMap::comNumber(QStringLiteral("7")), 0);
}

#ifndef Q_OS_WIN
TEST(ComPortMap, StoredMapWinsOverOverridesOverEnumeration)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    store.setValue(SettingsKeys::ComPortSection, QStringLiteral("COM2"), QStringLiteral("/dev/ttyStored"));
    store.setValue(SettingsKeys::ComPortSection, QStringLiteral("Junk"), QStringLiteral("/dev/ttyJunk"));
    ComPortMap map(store);
    map.setOverride(2, QStringLiteral("/dev/ttyOverride2"));
    map.setOverride(3, QStringLiteral("/dev/ttyOverride3"));
    EXPECT_EQ(map.resolve(2), QStringLiteral("/dev/ttyStored"));
    EXPECT_EQ(map.resolve(3), QStringLiteral("/dev/ttyOverride3"));
    map.setExplicit(3, QStringLiteral("/dev/ttyExplicit3"));
    EXPECT_EQ(map.resolve(3), QStringLiteral("/dev/ttyExplicit3"));

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
    PortResult r = port.open(QStringLiteral("COM999"), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(r.error, PortErr::NoSuchPort);
    EXPECT_FALSE(r.description.isEmpty());

    r = port.open(QStringLiteral("/dev/no-such-serial-device"), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(r.error, PortErr::NoSuchPort);

    r = port.open(QStringLiteral("/dev/no-such-serial-device"), QStringLiteral("9600,N,8"));
    EXPECT_EQ(r.error, PortErr::BadSettings);
    EXPECT_TRUE(r.description.contains(QStringLiteral("9600,N,8"))) << r.description.toStdString();

    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_TRUE(port.readAll().isEmpty());
    port.write("@0300000002\r");  // quietly nothing
}
#endif

// ---------------------------------------------------------------------------
// PortAç and Portkontrol

// A port that opens only the listed names.
class ListedPort : public SerialPortIo {
public:
    std::set<QString> available;
    int busyError = 0;  // when set, every open fails with it
    bool open_ = false;
    int closes = 0;
    QStringList opened;

    PortResult open(const QString &name, const QString &) override
    {
        opened << name;
        if (busyError)
            return {busyError, QStringLiteral("Access denied")};
        if (!available.count(name))
            return {PortErr::NoSuchPort, QStringLiteral("no such port")};
        open_ = true;
        return {};
    }
    void close() override
    {
        ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    void write(const QByteArray &) override {}
    qint64 bytesWaiting() override { return 0; }
    QByteArray readAll() override { return {}; }
};

TEST(PortAc, ShowsTheMessageOfEachFailure)
{
    sim::VirtualIndicator dev;
    sim::VirtualClock clock;
    sim::InProcessPort port(dev, clock);
    ScriptedOperator op;
    LinkSettings s;
    s.PortNumber = QStringLiteral("3");

    EXPECT_EQ(PortAç(port, s, op), 0);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.lastPortName(), QStringLiteral("COM3"));
    EXPECT_EQ(port.lastLineSettings(), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(op.dialogCount(), 0);

    port.setOpenError(PortErr::NoSuchPort);
    EXPECT_EQ(PortAç(port, s, op), PortErr::NoSuchPort);
    EXPECT_FALSE(port.isOpen());  // closed first, then the open failed
    ASSERT_EQ(op.dialogCount(), 1);
    EXPECT_EQ(op.last().text, QStringLiteral("COM3 bulunmamaktadır"));
    EXPECT_EQ(op.last().icon, Icon::Critical);

    port.setOpenError(PortErr::Busy);
    EXPECT_EQ(PortAç(port, s, op), PortErr::Busy);
    EXPECT_TRUE(op.last().text.startsWith(QStringLiteral(" 8005 :"))) << op.last().text.toStdString();
    EXPECT_EQ(op.last().text, QStringLiteral(" 8005 :cannot open COM3 (error 8005)"));
    EXPECT_EQ(op.last().icon, Icon::None);
}

TEST(PortAc, ClosesAnOpenPortFirstAndPassesPathsThrough)
{
    ListedPort port;
    ScriptedOperator op;
    LinkSettings s;
    port.available = {QStringLiteral("COM1"), QStringLiteral("/dev/ttyUSB0")};
    port.open_ = true;
    EXPECT_EQ(PortAç(port, s, op), 0);
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(port.opened, QStringList{QStringLiteral("COM1")});

    s.PortNumber = QStringLiteral("/dev/ttyUSB0");
    EXPECT_EQ(PortAç(port, s, op), 0);
    s.PortNumber = QStringLiteral("/dev/ttyUSB9");
    EXPECT_EQ(PortAç(port, s, op), PortErr::NoSuchPort);
    EXPECT_EQ(op.last().text, QStringLiteral("/dev/ttyUSB9 bulunmamaktadır"));
    s.PortNumber = QStringLiteral("COM9");
    EXPECT_EQ(PortAç(port, s, op), PortErr::NoSuchPort);
    EXPECT_EQ(op.last().text, QStringLiteral("COM9 bulunmamaktadır"));
}

TEST(Portkontrol, ListsThePortsThatOpenAndLeavesThemClosed)
{
    ListedPort port;
    port.available = {QStringLiteral("COM2"), QStringLiteral("COM5"), QStringLiteral("COM16"),
                      QStringLiteral("COM17")};
    EXPECT_EQ(Portkontrol(port),
              QStringList({QStringLiteral("COM2"), QStringLiteral("COM5"), QStringLiteral("COM16")}));
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
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        char name[256] = {};
        if (::ptsname_r(master, name, sizeof name) == 0)
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

TEST(QtSerialPortOnPty, SeesBytesWithoutAnEventLoopAndClosesWhenTheOtherEndGoes)
{
    BarePty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialPort port;
    const PortResult r = port.open(pty.slave, QStringLiteral("9600,N,8,1"));
    ASSERT_TRUE(r.ok()) << r.description.toStdString();
    EXPECT_EQ(port.devicePath(), pty.slave);

    // A second port on the same device is refused as busy.
    QtSerialPort second;
    EXPECT_EQ(second.open(pty.slave, QStringLiteral("9600,N,8,1")).error, PortErr::Busy);

    // Request out...
    port.write("@0300C70005\r");
    char buf[64] = {};
    QElapsedTimer t;
    t.start();
    QByteArray request;
    while (!request.endsWith('\r') && t.elapsed() < 2000) {
        const ssize_t n = ::read(pty.master, buf, sizeof buf);
        if (n > 0)
            request.append(buf, int(n));
    }
    EXPECT_EQ(request, QByteArray("@0300C70005\r"));

    // ...answer in, seen by polling alone (nothing runs an event loop here).
    const QByteArray answer("@030A5A523220563220202020\r");
    ASSERT_EQ(::write(pty.master, answer.constData(), size_t(answer.size())), answer.size());
    QByteArray got;
    t.restart();
    while (got.size() < answer.size() && t.elapsed() < 2000) {
        if (port.bytesWaiting() > 0)
            got += port.readAll();
        else
            ::usleep(1000);
    }
    EXPECT_EQ(got, answer);

    // Bytes received before the other end went away are still delivered, then nothing.
    ASSERT_EQ(::write(pty.master, "@1", 2), 2);
    t.restart();
    while (port.bytesWaiting() < 2 && t.elapsed() < 2000)
        ::usleep(1000);
    pty.closeMaster();
    QByteArray tail;
    t.restart();
    while (port.isOpen() && t.elapsed() < 2000) {
        tail += port.readAll();
        ::usleep(1000);
    }
    tail += port.readAll();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(tail, QByteArray("@1"));
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_TRUE(port.readAll().isEmpty());
    port.write("@0300000002\r");  // no crash, no reopening
    EXPECT_FALSE(port.isOpen());
}

TEST(QtSerialPortOnPty, EndToEndWithTheVirtualIndicator)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    sim::VirtualIndicator dev;
    sim::PtyServer server(dev, sim::PtyServer::Timing{9600, 0.005});
    QString error;
    ASSERT_TRUE(server.start(dir.filePath(QStringLiteral("ttyVX")), &error)) << error.toStdString();

    ComPortMap map;
    map.setOverride(4, server.linkPath());
    QtSerialPort port(map);
    ScriptedOperator op;
    LinkSettings settings;
    settings.PortNumber = QStringLiteral("4");
    ASSERT_EQ(PortAç(port, settings, op), 0) << op.last().text.toStdString();
    EXPECT_EQ(port.devicePath(), server.linkPath());

    SystemClock clock;
    CommsLog log(dir.filePath(QStringLiteral("ZRxLog.txt")));
    Link link(port, clock, op, log);
    link.settings = settings;
    link.settings.ReadingTime = 0.3;

    for (DrainMode mode : {DrainMode::FrameEnd, DrainMode::Fixed}) {
        link.settings.drainMode = mode;
        EXPECT_EQ(link.read(199, 10, QStringLiteral("Tx")).toString(), QStringLiteral("ZR2 V2.20 "));
        link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
        EXPECT_EQ(dev.reg(8), 7);
        EXPECT_EQ(op.dialogCount(), 0);
    }
    link.HostYazdır(true);
    EXPECT_TRUE(dev.hostMode());

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

    link.settings.drainMode = DrainMode::Fixed;
    t.restart();
    EXPECT_FALSE(link.read(199, 10, QStringLiteral("Tx")).isValid());
    EXPECT_FALSE(link.read(199, 10, QStringLiteral("Tx")).isValid());
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(port.isOpen());
}

#endif

}  // namespace
