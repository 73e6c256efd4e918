// The virtual indicator: frames, host mode and commands, faults, state file, the
// in-process port on the virtual clock, the pty server through a real serial
// port and the vextora-sim program.

#include "link/Codec.h"
#include "sim/Faults.h"
#include "sim/InProcessPort.h"
#include "sim/PtyServer.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"

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

// The request as a transport hands it over: without its CR.
QByteArray req(const QString &frame)
{
    return frame.toLatin1().chopped(frame.endsWith(u'\r') ? 1 : 0);
}

QByteArray answer(VirtualIndicator &dev, const QString &frame)
{
    const auto reply = dev.handle(req(frame));
    return reply ? reply->bytes : QByteArray("<silent>");
}

VirtualIndicator::Options opts(const QString &address, bool checksum, bool strictWrites = false)
{
    return {.address = address, .checksum = checksum, .strictWrites = strictWrites};
}

// A frame body's answer with its checksum and CR.
QByteArray framed(const QString &body, bool checksum)
{
    return ("@" + body + (checksum ? ComputeLrc(body) : QString()) + "\r").toLatin1();
}

const QString kVersionHex = QStringLiteral("5A52322056322E323020");  // "ZR2 V2.20 "

}  // namespace

// ---------------------------------------------------------------------------
// Frames

// Addresses 05 and 00 and the layouts without checksum are exercised end to end by the
// transaction, window and command-line tests.
TEST(SimFrames, ReadVersionWithAndWithoutAddressAndDecodeItWithTheProgramsCodec)
{
    // "ZR1 Şİğ   " in the code page.
    const QString modelHex = QStringLiteral("5A523120DEDDF0202020");
    struct Row { const char *address; bool checksum; QString request; const char *answerHead; };
    const Row rows[] = {
        {"", true, "@0300C7000531\r", "030A"},  // "@0300C70005" with its LRC 31
        {"10", false, "@0A0300C70005\r", "0A030A"},  // address 10 travels as hex "0A"
        {"", true, "\n\x01garbage@0300C7000531\r", "030A"},  // noise before the start is skipped
        {"", true, "@0300@0300C7000531\r", "030A"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.request.toStdString());
        VirtualIndicator dev(opts(r.address, r.checksum));
        dev.setModel("ZR1 Şİğ");
        const QByteArray a = answer(dev, r.request);
        EXPECT_EQ(a, framed(r.answerHead + modelHex, r.checksum));
        DecodeContext ctx;
        int logLines = 0;
        ctx.log = [&](const QString &) { ++logLines; };
        EXPECT_EQ(DecodeAnswer(QString::fromLatin1(a), "Tx", r.address, r.checksum, 199, ctx).toString(),
                  QStringLiteral("ZR1 Şİğ   "));
        EXPECT_EQ(logLines, 0) << "no checksum complaint expected";
    }
}

TEST(SimFrames, WritesLandAndAreAcknowledgedWithTheRegisterCount)
{
    VirtualIndicator dev(opts("", true));
    EXPECT_EQ(answer(dev, BuildWriteFrame("", 10, 2, true, "LG", 0x1234)), framed("100001", true));
    EXPECT_EQ(dev.reg(10), 0x1234);
    EXPECT_EQ(answer(dev, BuildWriteFrame("", 20, 4, true, "LG", -2)), framed("100002", true));
    EXPECT_EQ(dev.longAt(20), -2);
    EXPECT_EQ(answer(dev, BuildWriteFrame("", 124, 8, true, "BY", "0530140325120900")), framed("100004", true));
    EXPECT_EQ(dev.bytes(124, 8), QByteArray::fromHex("0530140325120900"));

    VirtualIndicator addressed(opts("05", false));
    EXPECT_EQ(answer(addressed, BuildWriteFrame("05", 8, 2, false, "LG", 7)), "@05100001\r");
    EXPECT_EQ(addressed.reg(8), 7);

    // Texts are cut to their field; odd byte counts keep the other half of the last word.
    dev.setSecondText("ABCDEFGHIJKLMN");
    EXPECT_EQ(dev.bytes(204, 10), QByteArray("ABCDEFGHIJ"));
    dev.setReg(300, 0x1234);
    dev.setBytes(300, QByteArray("\xAB", 1));
    EXPECT_EQ(dev.reg(300), 0xAB34);
}

TEST(SimFrames, UnknownRegistersReadAsZeroAndLargeReadsAreRefused)
{
    VirtualIndicator dev(opts("", false));
    EXPECT_EQ(answer(dev, BuildReadFrame("", 5000, 4, false)), "@030400000000\r");
    EXPECT_TRUE(answer(dev, BuildReadFrame("", 0, 4000, false)).startsWith("@8"));
    EXPECT_TRUE(answer(dev, BuildReadFrame("", 65535, 4, false)).startsWith("@8"));
}

TEST(SimFrames, LengthMismatchOnlyRefusedWhenStrict)
{
    // "AB" into 4 bytes: the data is shorter than its byte count says.
    const QString frame = BuildWriteFrame("", 40, 4, false, "TX", "AB");
    VirtualIndicator lenient(opts("", false));
    EXPECT_EQ(answer(lenient, frame), "@100002\r");
    EXPECT_EQ(lenient.bytes(40, 2), QByteArray("AB"));

    VirtualIndicator strict(opts("", false, true));
    EXPECT_TRUE(answer(strict, frame).startsWith("@8"));
    EXPECT_EQ(strict.reg(40), 0);
}

TEST(SimFrames, RequestsNotForThisIndicatorAreIgnored)
{
    struct Case { const char *name; QString address; bool checksum; QString frame; };  // the indicator's address
    const QString goodBody = QStringLiteral("0300C70005");
    const std::vector<Case> cases = {
        {"another address", "05", true, BuildReadFrame("06", 199, 10, true)},
        {"no address field to an addressed indicator", "05", true, BuildReadFrame("", 199, 10, true)},
        {"address field to an indicator without one", "", true, BuildReadFrame("05", 199, 10, true)},
        {"address field to an indicator without one, no checksum", "", false, BuildReadFrame("03", 199, 10, false)},
        {"wrong checksum", "", true, "@" + goodBody + "32\r"},
        {"missing checksum", "", true, "@" + goodBody + "\r"},
        {"checksum sent to an indicator without checksum", "", false, "@" + goodBody + "31\r"},
        {"not hex", "", false, "@03ZZC70005\r"},
        {"no start character", "", false, goodBody + "\r"},
        {"unknown function", "", false, "@0400C70005\r"},
        {"empty", "", false, "@\r"},
        {"truncated", "", true, "@0300C7\r"},
    };
    for (const Case &c : cases) {
        VirtualIndicator dev(opts(c.address, c.checksum));
        EXPECT_FALSE(dev.handle(req(c.frame)).has_value()) << c.name;
        EXPECT_EQ(dev.requests().size(), 1) << c.name;
        EXPECT_EQ(dev.requestCount(), 0) << c.name;
    }
}

// ---------------------------------------------------------------------------
// Commands and hooks

// Host mode itself is the transaction tests' business; here the hooks later sequences rely on.
TEST(SimCommands, CommandReadAndWriteHooks)
{
    VirtualIndicator dev(opts("", false));
    dev.onCommand(7, [](VirtualIndicator &d) { d.setLong(174, d.hostMode() ? 4242 : -1); });
    int weight = -100;
    dev.onRead(3, [&](VirtualIndicator &d, int reg, int byteCount) { d.setLong(reg, weight + byteCount - 4); });
    std::vector<QByteArray> written;
    dev.onWrite(149, [&](VirtualIndicator &d, int reg, const QByteArray &data) {
        EXPECT_EQ(d.bytes(reg, data.size()), data) << "the write lands before its hook runs";
        written.push_back(data);
    });
    for (int code : {19, 7, 99, 20})  // 99 has no handler: acknowledged and recorded only
        EXPECT_EQ(answer(dev, BuildWriteFrame("", 19, 2, false, "Lg", code)), "@100001\r");
    EXPECT_EQ(dev.longAt(174), 4242);
    EXPECT_EQ(dev.commands(), std::vector<int>({19, 7, 99, 20}));
    // High word first, the sign carried into it.
    EXPECT_EQ(answer(dev, BuildReadFrame("", 3, 4, false)), "@0304FFFFFF9C\r");
    weight = -99;
    EXPECT_EQ(answer(dev, BuildReadFrame("", 3, 4, false)), "@0304FFFFFF9D\r");
    answer(dev, BuildWriteFrame("", 149, 4, false, "BY", "01020304"));
    EXPECT_EQ(written, std::vector<QByteArray>({QByteArray::fromHex("01020304")}));
}

// ---------------------------------------------------------------------------
// Faults

// The rules' words and options are read in the tests of what each fault does; here the
// names, the help and the texts refused.
TEST(SimFaults, NamesHelpAndMalformedRules)
{
    for (FaultKind kind : {FaultKind::NoAnswer, FaultKind::Refuse, FaultKind::BadChecksum, FaultKind::Late,
                           FaultKind::Partial, FaultKind::Noise}) {
        EXPECT_EQ(ParseFault(FaultKindName(kind))->kind, kind);
        EXPECT_TRUE(FaultHelp().contains(FaultKindName(kind)));
    }
    for (const char *option : {"reg=", "cmd=", "every=", "times=", "late="})
        EXPECT_TRUE(FaultHelp().contains(QLatin1String(option))) << option;
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
    const QByteArray normal = framed("030A" + kVersionHex, true);
    const qsizetype n = normal.size();
    // Columns: answered; what the answer begins with; its size (-1: any); whether it holds
    // "@" and the closing CR; whether it is the normal answer; its delay; whether a write lands.
    struct Row {
        const char *rule;
        bool answered;
        QByteArray head;
        qsizetype size;
        bool start, end, asNormal;
        double extraDelay;
        bool writeLands;
    };
    const Row rows[] = {
        {"noanswer", false, {}, 0, false, false, false, 0, false},
        {"refuse", true, "@8", -1, true, true, false, 0, false},
        {"badsum", true, normal.left(n - 3), n, true, true, false, 0, true},  // only the checksum differs
        {"late:late=0.75", true, normal, n, true, true, true, 0.75, true},
        {"partial", true, normal.left(n / 2), n / 2, true, false, false, 0, true},
        {"noise", true, {}, n, false, false, false, 0, true},  // the answer is what is lost
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.rule);
        VirtualIndicator dev;
        dev.addFault(*ParseFault(r.rule));
        const auto reply = dev.handle(req(BuildReadFrame("", 199, 10, true)));
        ASSERT_EQ(reply.has_value(), r.answered);
        if (reply) {
            const QByteArray &a = reply->bytes;
            EXPECT_TRUE(a.startsWith(r.head)) << a.constData();
            EXPECT_TRUE(r.size < 0 || a.size() == r.size) << a.size();
            EXPECT_EQ(a.contains('@'), r.start);
            EXPECT_EQ(a.contains('\r'), r.end);
            EXPECT_EQ(a.endsWith('\r'), r.end);
            EXPECT_EQ(a == normal, r.asNormal);
            EXPECT_DOUBLE_EQ(reply->extraDelay, r.extraDelay);
        }
        dev.handle(req(BuildWriteFrame("", 10, 2, true, "LG", 5)));
        EXPECT_EQ(dev.reg(10) == 5, r.writeLands);
    }
    // Refusals begin "@8" with an address too.
    VirtualIndicator addressed(opts("05", true));
    addressed.addFault(*ParseFault("refuse"));
    EXPECT_TRUE(answer(addressed, BuildReadFrame("05", 199, 10, true)).startsWith("@8"));
}

TEST(SimFaults, ScopesCountsAndIgnoredRequestsDoNotCount)
{
    const QString read = BuildReadFrame("", 0, 4, true);
    VirtualIndicator dev;
    dev.addFault(*ParseFault("noanswer:reg=199"));
    dev.addFault(*ParseFault("Refuse:cmd=19:times=1"));
    EXPECT_FALSE(dev.handle(req(BuildReadFrame("", 199, 10, true))));
    EXPECT_TRUE(dev.handle(req(BuildReadFrame("", 204, 10, true))));
    EXPECT_TRUE(answer(dev, BuildWriteFrame("", 19, 2, true, "LG", 19)).startsWith("@8"));
    EXPECT_FALSE(dev.hostMode());
    EXPECT_EQ(answer(dev, BuildWriteFrame("", 19, 2, true, "LG", 12)), framed("100001", true));
    EXPECT_EQ(answer(dev, BuildWriteFrame("", 19, 2, true, "LG", 19)), framed("100001", true));
    EXPECT_TRUE(dev.hostMode());

    VirtualIndicator nth;
    nth.addFault(*ParseFault("late:every=3:late=0.5"));
    std::vector<double> delays;
    for (int i = 0; i < 7; ++i) {
        if (i == 1)
            nth.handle(req(BuildReadFrame("09", 0, 4, true)));  // not ours: not counted
        delays.push_back(nth.handle(req(read))->extraDelay);
    }
    EXPECT_EQ(delays, std::vector<double>({0, 0, 0.5, 0, 0, 0.5, 0}));

    VirtualIndicator once;
    once.addFault(*ParseFault("noanswer:times=2"));
    EXPECT_FALSE(once.handle(req(read)));
    EXPECT_FALSE(once.handle(req(read)));
    EXPECT_TRUE(once.handle(req(read)));
    EXPECT_EQ(once.faultsFired().size(), 2u);
    once.addFault(*ParseFault("partial"));
    once.clearFaults();
    EXPECT_EQ(answer(once, read), framed("030400000000", true));
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
    const QByteArray read = BuildReadFrame("", 0, 4, true).toLatin1();
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
        port.write("@0300C7000531\r");
        EXPECT_EQ(readAnswer(port), framed("030A" + kVersionHex, true)) << "round " << round;
        EXPECT_GE(t.elapsed(), 200) << "28 characters at 1200 baud take 233 ms";
        port.write(BuildWriteFrame("", 19, 2, true, "LG", 19).toLatin1());
        EXPECT_EQ(readAnswer(port), framed("100001", true));
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
