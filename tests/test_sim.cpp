// The virtual indicator: frames (written out by hand, never built by the
// program's codec), faults, state file, the in-process port on the virtual clock,
// the pty server through a real serial port and the vextora-sim program. Its hooks,
// default modules and plain writes are pinned by the sequence tests that run on them.

#include "sim/Faults.h"
#include "sim/InProcessPort.h"
#include "sim/PtyServer.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"
#include "support/SimFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

using namespace vx;
using namespace vx::sim;

namespace {

using test::SimAnswer;

VirtualIndicator::Options opts(const QString &address, bool checksum, bool strictWrites = false)
{
    return {.address = address, .checksum = checksum, .strictWrites = strictWrites};
}

// Reading the version text (register 199, 10 bytes) without address, checksum on,
// and the answer "ZR2 V2.20 ".
const QByteArray kReadVersion = "@0300C7000531\r";
const QByteArray kVersionAnswer = "@030A5A52322056322E323020BD\r";

}  // namespace

// ---------------------------------------------------------------------------
// Frames

TEST(SimFrames, AnswersReadsLikeTheIndicator)
{
    struct Row { const char *name; const char *address; bool checksum; QByteArray request, answer; };
    const Row rows[] = {
        {"address 10 travels as 0A", "10", false, "@0A0300C70005\r", "@0A030A5A52322056322E323020\r"},
        {"noise before the start is skipped", "", true, "\n\x01garbage@0300C7000531\r", kVersionAnswer},
        {"a broken frame before a whole one", "", true, "@0300@0300C7000531\r", kVersionAnswer},
    };
    for (const Row &r : rows) {
        VirtualIndicator dev(opts(r.address, r.checksum));
        EXPECT_EQ(SimAnswer(dev, r.request), r.answer) << r.name;
    }
}

TEST(SimFrames, UnknownRegistersReadAsZeroAndLargeReadsAreRefused)
{
    VirtualIndicator dev(opts("", false));
    EXPECT_EQ(SimAnswer(dev, "@0313880002\r"), "@030400000000\r");  // register 5000
    EXPECT_TRUE(SimAnswer(dev, "@03000007D0\r").startsWith("@8"));   // 2000 registers
    EXPECT_TRUE(SimAnswer(dev, "@03FFFF0002\r").startsWith("@8"));   // past the last register
}

TEST(SimFrames, LengthMismatchOnlyRefusedWhenStrict)
{
    // "AB" into 4 bytes: the data is shorter than its byte count says.
    const QByteArray frame = "@1000280002044142\r";
    VirtualIndicator lenient(opts("", false));
    EXPECT_EQ(SimAnswer(lenient, frame), "@100002\r");
    EXPECT_EQ(lenient.bytes(40, 2), QByteArray("AB"));

    VirtualIndicator strict(opts("", false, true));
    EXPECT_TRUE(SimAnswer(strict, frame).startsWith("@8"));
    EXPECT_EQ(strict.reg(40), 0);
}

TEST(SimFrames, RequestsNotForThisIndicatorAreIgnored)
{
    struct Case { const char *name; QString address; bool checksum; QByteArray frame; };  // the indicator's address
    const std::vector<Case> cases = {
        {"another address", "05", true, "@060300C700052B\r"},
        {"no address field to an addressed indicator", "05", true, kReadVersion},
        {"address field to an indicator without one", "", true, "@050300C700052C\r"},
        {"wrong checksum", "", true, "@0300C7000532\r"},
        {"missing checksum", "", true, "@0300C70005\r"},
        {"checksum sent to an indicator without checksum", "", false, kReadVersion},
        {"unknown function", "", false, "@0400C70005\r"},
        {"truncated", "", true, "@0300C7\r"},
    };
    for (const Case &c : cases) {
        VirtualIndicator dev(opts(c.address, c.checksum));
        EXPECT_FALSE(dev.handle(c.frame.chopped(1)).has_value()) << c.name;
        EXPECT_EQ(dev.requests().size(), 1) << c.name;
        EXPECT_EQ(dev.requestCount(), 0) << c.name;
    }
}

// ---------------------------------------------------------------------------
// Faults

TEST(SimFaults, MalformedRulesAreRefusedWithAReason)
{
    for (FaultKind kind : {FaultKind::NoAnswer, FaultKind::Refuse, FaultKind::Busy, FaultKind::BadChecksum,
                           FaultKind::Late, FaultKind::Partial, FaultKind::Noise})
        EXPECT_EQ(ParseFault(FaultKindName(kind))->kind, kind);
    for (const char *bad : {"", "bogus", "noanswer:reg", "noanswer:reg=x", "noanswer:reg=1:cmd=2",
                            "noanswer:every=0", "noanswer:times=0", "noanswer:times=-1", "late:late=-1",
                            "refuse:late=1", "noanswer:color=red", "noanswer:reg=70000"}) {
        QString error;
        EXPECT_FALSE(ParseFault(bad, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(SimFaults, EachKind)
{
    // What comes back for the version request, and whether a later write of 5 to register 10 lands.
    struct Row { const char *rule; std::optional<QByteArray> answer; double extraDelay; bool writeLands; };
    const Row rows[] = {
        {"noanswer", std::nullopt, 0, false},
        {"refuse", "@8003017C\r", 0, false},
        {"busy", "@9003016C\r", 0, false},  // LRC: -(0x90 + 0x03 + 0x01) = 0x6C
        {"badsum", "@030A5A52322056322E323020E8\r", 0, true},  // only the checksum differs
        {"late:late=0.75", kVersionAnswer, 0.75, true},
        {"partial", "@030A5A5232205", 0, true},  // the first half, without CR
        {"noise", std::nullopt, 0, true},       // checked below: garbage of the answer's length
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.rule);
        VirtualIndicator dev;
        dev.addFault(*ParseFault(r.rule));
        const auto reply = dev.handle(kReadVersion.chopped(1));
        if (QByteArray(r.rule) == "noise") {
            ASSERT_TRUE(reply);
            EXPECT_EQ(reply->bytes.size(), kVersionAnswer.size());
            EXPECT_FALSE(reply->bytes.contains('@') || reply->bytes.contains('\r'));
        } else {
            EXPECT_EQ(reply.has_value(), r.answer.has_value());
            if (reply && r.answer) {
                EXPECT_EQ(reply->bytes, *r.answer);
                EXPECT_DOUBLE_EQ(reply->extraDelay, r.extraDelay);
            }
        }
        dev.handle("@10000A0001020005DE");
        EXPECT_EQ(dev.reg(10) == 5, r.writeLands);
    }
    // Refusals begin "@8" with an address too.
    VirtualIndicator addressed(opts("05", true));
    addressed.addFault(*ParseFault("refuse"));
    EXPECT_EQ(SimAnswer(addressed, "@050300C700052C\r"), "@8003017C\r");
}

TEST(SimFaults, ScopesAndIgnoredRequestsDoNotCount)
{
    const QByteArray readZero = "@0300000002FB\r";
    const QByteArray hostOn = "@1000130001020013C7\r";
    VirtualIndicator dev;
    dev.addFault(*ParseFault("noanswer:reg=199"));
    dev.addFault(*ParseFault("Refuse:cmd=19:times=1"));
    EXPECT_EQ(SimAnswer(dev, kReadVersion), "<silent>");
    EXPECT_NE(SimAnswer(dev, "@0300CC00052C\r"), "<silent>");  // register 204
    EXPECT_TRUE(SimAnswer(dev, hostOn).startsWith("@8"));
    EXPECT_FALSE(dev.hostMode());
    EXPECT_EQ(SimAnswer(dev, "@100013000102000CCE\r"), "@100001EF\r");  // command 12
    EXPECT_EQ(SimAnswer(dev, hostOn), "@100001EF\r");
    EXPECT_TRUE(dev.hostMode());

    VirtualIndicator nth;
    nth.addFault(*ParseFault("late:every=3:late=0.5"));
    std::vector<double> delays;
    for (int i = 0; i < 7; ++i) {
        if (i == 1)
            nth.handle("@090300000002F2");  // for address 09: not counted
        delays.push_back(nth.handle(readZero.chopped(1))->extraDelay);
    }
    EXPECT_EQ(delays, std::vector<double>({0, 0, 0.5, 0, 0, 0.5, 0}));
}

// ---------------------------------------------------------------------------
// State file

TEST(SimState, RoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("state.txt");
    VirtualIndicator a;
    a.setModel("ZR1 Şğ ");
    a.setSecondText("  A\"B\"  ");
    a.setLong(3, -123456);
    a.setReg(65535, 0xFFFF);
    ASSERT_TRUE(a.saveState(path));

    VirtualIndicator b;
    b.setReg(500, 7);  // loading replaces the memory
    ASSERT_TRUE(b.loadState(path));
    EXPECT_EQ(b.options().model, "ZR1 Şğ    ");
    EXPECT_EQ(b.options().secondText, "  A\"B\"    ");
    EXPECT_EQ(b.longAt(3), -123456);
    EXPECT_EQ(b.reg(65535), 0xFFFF);
    EXPECT_EQ(b.reg(500), 0);

    // Bytes a text line cannot hold survive through the register lines.
    VirtualIndicator c;
    c.setBytes(199, QByteArray("AB\r\n\x00\x81XYZW", 10));
    ASSERT_TRUE(c.saveState(path));
    ASSERT_TRUE(b.loadState(path));
    EXPECT_EQ(b.bytes(199, 10), QByteArray("AB\r\n\x00\x81XYZW", 10));
}

TEST(SimState, BadFilesLeaveTheIndicatorAlone)
{
    QTemporaryDir dir;
    VirtualIndicator dev;
    dev.setReg(10, 42);
    QString error;
    EXPECT_FALSE(dev.loadState(dir.filePath("missing.txt"), &error));
    EXPECT_FALSE(error.isEmpty());

    for (const char *content : {"10=1\nthis is not a line\n", "10=70000\n", "x=1\n", "-1=5\n"}) {
        const QString path = dir.filePath("bad.txt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        error.clear();
        EXPECT_FALSE(dev.loadState(path, &error)) << content;
        EXPECT_TRUE(error.contains("bad.txt:")) << error.toStdString();
        EXPECT_EQ(dev.reg(10), 42) << content;
    }
}

// ---------------------------------------------------------------------------
// In-process port (its latency and baud pacing are pinned by the transaction timing tests)

TEST(SimInProcessPort, ClosingDropsWhatIsOnItsWay)
{
    VirtualIndicator dev;
    VirtualClock clock;
    InProcessPort port(dev, clock);
    port.open("COM2", "9600,N,8,1");
    const QByteArray read = "@0300000002FB\r";
    port.write(read);
    port.close();
    clock.advance(1);
    EXPECT_EQ(port.bytesWaiting(), 0);
    port.write(read);  // a closed port sends nothing
    EXPECT_EQ(port.writesWhileClosed(), 1);
    EXPECT_EQ(port.framesSent().size(), 1);
    ASSERT_TRUE(port.open("COM2", "9600,N,8,1").ok());
    clock.advance(1);
    EXPECT_EQ(port.bytesWaiting(), 0);

    // A port destroyed with an answer pending is not touched later.
    {
        InProcessPort shortLived(dev, clock);
        shortLived.open("COM4", "9600,N,8,1");
        shortLived.write(read);
    }
    clock.advance(1);
}

// ---------------------------------------------------------------------------
// Pseudo-terminal and the program

namespace {

// Reads until a CR arrives or the time is up; the event loop runs meanwhile for
// the server in this process to answer.
QByteArray readAnswer(QSerialPort &port)
{
    QByteArray got;
    QDeadlineTimer deadline(3000);
    while (!got.contains('\r') && !deadline.hasExpired()) {
        QTest::qWait(1);
        got += port.readAll();
    }
    return got;
}

}  // namespace

TEST(SimPty, RealSerialPortTalksToTheServerAtItsBaudRate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile(dir.filePath("taken")).open(QIODevice::WriteOnly));
    VirtualIndicator dev(opts("", true));
    QString error;
    PtyServer refused(dev, {0, 0.005});
    EXPECT_FALSE(refused.start(dir.filePath("taken"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath("taken")).isFile()) << "a real file is never replaced";

    // A stale link of an earlier run is replaced.
    const QString link = dir.filePath("ttyVX");
    ASSERT_TRUE(QFile::link("/nonexistent", link));
    PtyServer server(dev, {1200, 0.005});
    ASSERT_TRUE(server.start(link, &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), server.slavePath());

    for (int round = 0; round < 2; ++round) {  // a client closing does not break the server
        QSerialPort port(link);
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
        QElapsedTimer t;
        t.start();
        port.write(kReadVersion);
        EXPECT_EQ(readAnswer(port), kVersionAnswer) << "round " << round;
        EXPECT_GE(t.elapsed(), 200) << "28 characters at 1200 baud take 233 ms";
        port.write("@1000130001020013C7\r");
        EXPECT_EQ(readAnswer(port), "@100001EF\r");
    }
    EXPECT_TRUE(dev.hostMode());

    server.stop();
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

// The program's talk on the line is the command-line tool's tests' business; here:
// its options, its link and its state file.
TEST(SimProgram, RunsOnALinkAndSavesItsStateOnSigterm)
{
    const QString exe = QCoreApplication::applicationDirPath() + "/vextora-sim";
    if (!QFileInfo(exe).isExecutable())
        GTEST_SKIP() << "vextora-sim is not built beside the tests";
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyVX");
    const QString state = dir.filePath("state.txt");

    QProcess bad;
    bad.start(exe, {"--link", link, "--checksum", "maybe"});
    ASSERT_TRUE(bad.waitForFinished(10000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.readAllStandardError().contains("--checksum"));

    QProcess sim;
    sim.start(exe, {"--link", link, "--model", "ZR1 V1.05", "--state", state});
    ASSERT_TRUE(sim.waitForReadyRead(10000));
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    ASSERT_TRUE(path.startsWith("/dev/")) << qPrintable(path);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), path);

    ::kill(pid_t(sim.processId()), SIGTERM);
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0) << sim.readAllStandardError().constData();
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    VirtualIndicator saved;
    ASSERT_TRUE(saved.loadState(state));
    EXPECT_EQ(saved.options().model, "ZR1 V1.05 ");
}
