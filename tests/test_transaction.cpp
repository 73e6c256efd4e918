// The command transaction against the in-process virtual indicator on the
// virtual clock: acknowledged writes and their retries, drain modes, late
// answers, waits and the communication log.

#include "link/AppPaths.h"
#include "link/Cp1254.h"
#include "link/Transaction.h"
#include "sim/InProcessPort.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"
#include "support/ScriptedOperator.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <deque>
#include <limits>

using namespace vx;
using vx::test::ScriptedOperator;
using Kind = ScriptedOperator::Kind;

namespace {

sim::FaultRule fault(sim::FaultKind kind, int times = -1)
{
    return {kind, sim::FaultScope::Always, 0, times};
}

class TransactionTest : public ::testing::Test {
protected:
    // The link starts with the default settings: no address, checksum, 0.15 s, frame-end drain.
    explicit TransactionTest(sim::InProcessPort::Timing timing = {}) : port(dev, clock, timing) {}
    void SetUp() override { ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok()); }

    QStringList logLines() const
    {
        QFile f(log.filePath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = cp1254::decode(f.readAll()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    int frames() const { return int(port.framesSent().size()); }

    sim::VirtualIndicator dev;
    sim::VirtualClock clock;
    sim::InProcessPort port;
    ScriptedOperator op;
    QTemporaryDir dir;
    CommsLog log{dir.filePath("ZRxLog.txt")};
    Link link{port, clock, op, log};
};

// ---------------------------------------------------------------------------
// Acknowledged writes: nine attempts, then the question; Retry gives nine more,
// Ignore records the failure in the log, Abort stops the running work.

struct AckRow {
    const char *name;
    sim::FaultKind fault;
    int faultTimes;  // 0: no fault; -1: without end
    std::deque<Choice> answers;
    bool recovers;  // the indicator answers again while the question is up
    int bytes;
    const char *address;
    int frames, questions, logLines;
    bool aborted, lands;
};

const AckRow kAckRows[] = {
    {"AnsweredAtOnce", sim::FaultKind::NoAnswer, 0, {}, false, 2, "", 1, 0, 0, false, true},
    {"FourByteWriteAcknowledgedWithCountTwo", sim::FaultKind::NoAnswer, 0, {}, false, 4, "", 1, 0, 0, false, true},
    {"AddressedIndicator", sim::FaultKind::NoAnswer, 0, {}, false, 2, "05", 1, 0, 0, false, true},
    {"AnsweredAtTheThirdAttempt", sim::FaultKind::NoAnswer, 2, {}, false, 2, "", 3, 0, 0, false, true},
    {"AnsweredAtTheFourthAsksAnyway", sim::FaultKind::NoAnswer, 3, {}, false, 2, "", 4, 1, 1, false, true},
    {"SilentRetryThenIgnore", sim::FaultKind::NoAnswer, -1, {Choice::Retry, Choice::Ignore}, false, 2, "", 18, 2, 1, false, false},
    {"SilentAbort", sim::FaultKind::NoAnswer, -1, {Choice::Abort}, false, 2, "", 9, 1, 0, true, false},
    {"RetryAfterTheIndicatorRecovers", sim::FaultKind::NoAnswer, -1, {Choice::Retry}, true, 2, "", 10, 1, 0, false, true},
    {"RefusalIsNoAcknowledgement", sim::FaultKind::Refuse, -1, {Choice::Abort}, false, 2, "", 9, 1, 0, true, false},
};

class AckWriteTest : public TransactionTest, public ::testing::WithParamInterface<AckRow> {};

TEST_P(AckWriteTest, AttemptsQuestionsAndLog)
{
    const AckRow &r = GetParam();
    dev.setAddress(QString::fromLatin1(r.address));
    link.settings.DeviceAddress = QString::fromLatin1(r.address);
    if (r.faultTimes != 0)
        dev.addFault(fault(r.fault, r.faultTimes));
    op.abortRetryIgnoreAnswers = r.answers;
    if (r.recovers)
        op.onCall = [this](const ScriptedOperator::Call &) { dev.clearFaults(); };

    link.WriteAcknowledged(8, r.bytes, "LG", 7);

    EXPECT_EQ(frames(), r.frames);
    EXPECT_EQ(QSet<QString>(port.framesSent().begin(), port.framesSent().end()).size(), 1)
        << "every attempt is the same frame";
    const QString failure = QStringLiteral("[008]-[0001]--- İletişim hatası...");
    EXPECT_EQ(op.dialogCount(), r.questions);
    for (const ScriptedOperator::Call &q : op.calls) {
        EXPECT_EQ(q.kind, Kind::AbortRetryIgnore);
        EXPECT_EQ(q.text, failure);
        EXPECT_EQ(q.icon, Icon::Critical);
    }
    EXPECT_EQ(logLines(), QStringList(r.logLines, link.shortDate() + QStringLiteral(" - ") + failure));
    EXPECT_EQ(link.AbortRequested, r.aborted);
    EXPECT_EQ((r.bytes == 4 ? dev.longAt(8) : dev.reg(8)) == 7, r.lands);
}

INSTANTIATE_TEST_SUITE_P(Cases, AckWriteTest, ::testing::ValuesIn(kAckRows),
                         [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Read exchanges and drain modes

class PacedTransactionTest : public TransactionTest {
protected:
    PacedTransactionTest() : TransactionTest(sim::InProcessPort::Timing{9600, 0.005}) {}
};

TEST_F(PacedTransactionTest, BothDrainModesGiveTheSameAnswerFrameEndSooner)
{
    link.settings.drainMode = DrainMode::Fixed;
    double t0 = clock.elapsed();
    const QString fixedAnswer = link.readRaw(199, 10, 0.2);
    const double fixedTime = clock.elapsed() - t0;

    link.settings.drainMode = DrainMode::FrameEnd;
    t0 = clock.elapsed();
    const QString frameEndAnswer = link.readRaw(199, 10, 0.2);
    const double frameEndTime = clock.elapsed() - t0;

    EXPECT_EQ(frameEndAnswer, fixedAnswer);
    EXPECT_EQ(link.decodeAnswer(frameEndAnswer, "Tx", 199).toString(), QStringLiteral("ZR2 V2.20 "));

    EXPECT_NEAR(fixedTime, 0.35, 0.002);
    // The paced 14-character request, the latency, and the answer's characters 0..27
    // at 10 bits each: it ends with its last character, and no later.
    EXPECT_NEAR(frameEndTime, (14 + 27) * 10.0 / 9600 + 0.005, 1e-6);
    EXPECT_LT(frameEndTime, fixedTime);
}

TEST_F(PacedTransactionTest, FrameEndWaitCountsFromTheRequestsEndAndStopsWhenCharactersStop)
{
    // The first half of the answer comes and nothing after it: once its characters
    // have stopped, the drain ends at the deadline, which counts from the moment the
    // 14-character request has left the line (14 x 10 bits at 9600 baud).
    dev.addFault(fault(sim::FaultKind::Partial));
    const double t0 = clock.elapsed();
    const QString answer = link.readRaw(199, 10, 0.05);
    EXPECT_NEAR(clock.elapsed() - t0, 14 * 10.0 / 9600 + 0.05 + 0.15, 1e-6);
    EXPECT_TRUE(answer.startsWith(QLatin1Char('@')));
    EXPECT_FALSE(answer.endsWith(QLatin1Char('\r')));
    EXPECT_FALSE(link.decodeAnswer(answer, "Tx", 199).isValid());
}

TEST_F(PacedTransactionTest, ReadingTimeZeroInFrameEndModeWaitsForTheRequestToLeaveTheLine)
{
    link.settings.ReadingTime = 0;
    const double t0 = clock.elapsed();
    EXPECT_EQ(link.readRaw(199, 10), QString());  // the 5 ms latency has not passed yet
    EXPECT_NEAR(clock.elapsed() - t0, 14 * 10.0 / 9600, 1e-6);
}

class DrainModeTest : public TransactionTest, public ::testing::WithParamInterface<DrainMode> {};

TEST_P(DrainModeTest, LateAnswerIsDiscardedNotTakenForTheNextOne)
{
    link.settings.drainMode = GetParam();
    dev.addFault({sim::FaultKind::Late, sim::FaultScope::Always, 0, 1, 0.5});

    EXPECT_FALSE(link.read(199, 10, "Tx").isValid());
    clock.advance(1.0);  // the late answer lands in the input buffer
    EXPECT_EQ(link.read(204, 10, "Tx").toString(), "SN00012345");

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(link.shortDate() + QStringLiteral(" - discarded late bytes: @")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("<CR>"));
}

TEST_F(TransactionTest, ReadingTimeZeroInFixedModeDrainsRightAfterThePreDelay)
{
    link.settings.drainMode = DrainMode::Fixed;
    link.settings.ReadingTime = 0;

    // Nothing has arrived yet when the wait is zero.
    double t0 = clock.elapsed();
    EXPECT_EQ(link.readRaw(199, 10), QString());
    EXPECT_NEAR(clock.elapsed() - t0, 0.0, 1e-9);

    clock.advance(1.0);  // let the answer come and be discarded
    t0 = clock.elapsed();
    EXPECT_EQ(link.read(204, 10, "Tx", 0.05).toString(), "SN00012345");
    EXPECT_LE(clock.elapsed() - t0, 0.05 + 1e-6);
}

TEST_P(DrainModeTest, NoPumpExchangeNeverPumps)
{
    link.settings.drainMode = GetParam();
    link.writeNoAck(24, 2, "LG", 3, 0.1, false);
    EXPECT_EQ(clock.pumpedIdles(), 0);
    EXPECT_GT(clock.unpumpedIdles(), 0);
    EXPECT_EQ(dev.reg(24), 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, DrainModeTest, ::testing::Values(DrainMode::Fixed, DrainMode::FrameEnd),
                         [](const auto &info) { return DrainModeName(info.param).remove(QLatin1Char('-')).toStdString(); });

// ---------------------------------------------------------------------------
// A slow line: 1200 baud, the default reading time of 0.15 s. A 4-byte read
// request is 14 characters, 117 ms on the line, before the indicator can answer.

class SlowLineTest : public TransactionTest, public ::testing::WithParamInterface<DrainMode> {
protected:
    SlowLineTest() : TransactionTest(sim::InProcessPort::Timing{1200, 0.005})
    {
        link.settings.PortSettings = QStringLiteral("1200,N,8,1");
        link.settings.drainMode = GetParam();
    }
    QStringList logLinesWith(const QString &part) const { return logLines().filter(part); }
};

TEST_P(SlowLineTest, FrameEndReadsWholeAnswersFixedCutsThemAndTheyDecodeToNothing)
{
    dev.setLong(0, 12520);
    dev.setReg(2, 0x4142);
    dev.setReg(25, 0x3031);
    QByteArray block;
    for (char b = 0; b < 40; ++b)
        block.append(b);
    dev.setBytes(128, block);
    struct Read { int reg, bytes; ReadTag tag; QVariant value; };
    const Read reads[] = {
        {0, 4, "LG", qint64(12520)},
        {2, 2, "Tx", QStringLiteral("AB")},
        {25, 2, "Tx", QStringLiteral("01")},
        {199, 10, "Tx", QStringLiteral("ZR2 V2.20 ")},
        {128, 40, "Hex", QStringLiteral("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F2021222324252627")},
    };
    const bool frameEnd = GetParam() == DrainMode::FrameEnd;
    for (const Read &r : reads) {
        const QVariant v = link.read(r.reg, r.bytes, r.tag);
        if (frameEnd)
            EXPECT_EQ(v, r.value) << r.reg;
        else
            EXPECT_FALSE(v.isValid()) << r.reg << " " << v.toString().toStdString();
    }
    // Each answer that is not a whole frame is logged once (in fixed mode the rest of
    // one answer runs into the next one, which is then no frame at all).
    const QRegularExpression faultLine(QStringLiteral("^.* - \\[\\d{3}\\]--- "));
    EXPECT_EQ(logLines().filter(faultLine).size(), frameEnd ? 0 : 5);
    EXPECT_EQ(logLinesWith("[000]--- cut off (no CR): @030").size(), frameEnd ? 0 : 1);
}

TEST_P(SlowLineTest, LongWriteIsNotDeclaredUnansweredWhileItIsStillBeingSent)
{
    // 96 characters: 0.8 s on the line, far beyond the reading time.
    const QString data = QStringLiteral("00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF0011223344556677");
    op.abortRetryIgnoreAnswers = {Choice::Ignore};
    link.WriteAcknowledged(128, 40, "BY", data);
    EXPECT_EQ(dev.bytes(128, 40).toHex().toUpper(), data.toLatin1());
    if (GetParam() == DrainMode::FrameEnd) {
        EXPECT_EQ(frames(), 1);
        EXPECT_EQ(op.dialogCount(), 0);
    } else {
        // The reading time alone, as ever: attempts every 0.15 s until the first
        // attempt's acknowledgement (0.8 s + 5 ms + 10 characters) ends inside the
        // sixth attempt's wait; more than three attempts bring the question.
        EXPECT_EQ(frames(), 6);
        EXPECT_EQ(op.dialogCount(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, SlowLineTest, ::testing::Values(DrainMode::Fixed, DrainMode::FrameEnd),
                         [](const auto &info) { return DrainModeName(info.param).remove(QLatin1Char('-')).toStdString(); });

class SlowFrameEndTest : public SlowLineTest {};

TEST_P(SlowFrameEndTest, AnswerThatStopsHalfWayEndsAGapAfterItsLastCharacter)
{
    // A 40-byte read answer is 88 characters; its first 44 come, the last one at
    // (14 + 43) character times + 5 ms, then a gap of four character times.
    dev.addFault(fault(sim::FaultKind::Partial));
    const double t0 = clock.elapsed();
    const QString answer = link.readRaw(128, 40);
    EXPECT_NEAR(clock.elapsed() - t0, (14 + 43 + 4) * 10.0 / 1200 + 0.005, 1e-6);
    EXPECT_EQ(answer.size(), 44);
    EXPECT_FALSE(link.decodeAnswer(answer, "Hex", 128).isValid());
    EXPECT_EQ(logLinesWith("[128]--- cut off (no CR): @03").size(), 1);
}

TEST_P(SlowFrameEndTest, BabblingLineHoldsTheExchangeNoLongerThanTheLongestAnswer)
{
    // No answer, but a character every character time from 0.25 s on, for 3 s. The
    // longest answer to a 2-byte read is 12 characters: collecting ends 12 character
    // times and a gap after the first babbled one.
    dev.addFault(fault(sim::FaultKind::NoAnswer));
    for (int k = 0; k < 360; ++k)
        clock.schedule(0.25 + k * 10.0 / 1200, [this] { port.injectIncoming("x"); });
    const double t0 = clock.elapsed();
    EXPECT_FALSE(link.read(25, 2, "Tx").isValid());
    EXPECT_NEAR(clock.elapsed() - t0, 0.25 + (12 + 4) * 10.0 / 1200, 1e-6);
    EXPECT_EQ(logLinesWith("[025]--- no frame").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(FrameEnd, SlowFrameEndTest, ::testing::Values(DrainMode::FrameEnd),
                         [](const auto &) { return std::string("frameend"); });

TEST_F(TransactionTest, ReadTakesOnlyAnAnswerOfTheByteCountItAskedFor)
{
    // Another request's whole 2-byte answer (value 10) comes where 4 bytes were asked for.
    dev.addFault(fault(sim::FaultKind::NoAnswer));
    for (int bytes : {4, 2}) {
        clock.schedule(0.01, [this] { port.injectIncoming("@0302000AF1\r"); });
        const QVariant v = link.read(0, bytes, "LG");
        EXPECT_EQ(v.isValid(), bytes == 2) << bytes;
        if (bytes == 2) {
            EXPECT_EQ(v.toLongLong(), 10);
        }
    }
    EXPECT_EQ(logLines().filter("[000]--- wrong length: @0302000AF1<CR>").size(), 1);
}

TEST_F(TransactionTest, ChecksumMismatchIsLoggedAndTheValueKept)
{
    dev.setText(199, "ZR1 V1.00 ", 10);
    dev.addFault(fault(sim::FaultKind::BadChecksum, 1));
    EXPECT_EQ(link.read(199, 10, "Tx").toString(), "ZR1 V1.00 ");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], link.shortDate() + QStringLiteral(" - [199]-[0005]--- CHKSum Hatası..."));
}

TEST_F(TransactionTest, ClosedPortAnswersNothingAtOnce)
{
    port.close();
    const double t0 = clock.elapsed();
    EXPECT_EQ(link.readRaw(199, 10, 0.5), QString());
    EXPECT_EQ(clock.elapsed(), t0);
    EXPECT_EQ(frames(), 0);
}

// ---------------------------------------------------------------------------
// Waits and the communication log (host mode's commands 19 and 20 are on the wire
// of every sequence test)

TEST_F(TransactionTest, WaitsLastTheirTimePumpOnlyWhenAskedAndEndAtMidnight)
{
    link.WaitSeconds(0.3);
    EXPECT_NEAR(clock.elapsed(), 0.3, 1e-9);
    EXPECT_GT(clock.pumpedIdles(), 0);
    EXPECT_EQ(clock.unpumpedIdles(), 0);
    link.WaitSecondsNoPump(0.2);
    EXPECT_NEAR(clock.elapsed(), 0.5, 1e-9);
    EXPECT_GT(clock.unpumpedIdles(), 0);

    // Zero or nonsense waits let events run once and return.
    double before = clock.elapsed();
    link.WaitSeconds(0);
    link.WaitSeconds(-1);
    link.WaitSeconds(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(clock.elapsed(), before);

    // A wait that would cross midnight ends there.
    for (bool pump : {true, false}) {
        clock.advance(86400 - 0.1 - clock.secondsSinceMidnight());
        before = clock.elapsed();
        pump ? link.WaitSeconds(5.0) : link.WaitSecondsNoPump(5.0);
        EXPECT_NEAR(clock.elapsed() - before, 0.1, 0.002) << "pump=" << pump;
    }
}

TEST(CommsLogFile, AppendsCp1254LinesWithCrLfOrSkipsAnUnwritableFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CommsLog log(dir.filePath("ZRxLog.txt"));
    log.AppendCommsLog("İletişim hatası");
    log.AppendCommsLog("ikinci");
    QFile f(log.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\xDDleti\xFEim hatas\xFD\r\nikinci\r\n"));

    // A folder in the file's place cannot be opened for appending; a missing folder is not made.
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    CommsLog(folder).AppendCommsLog("lost");
    CommsLog(dir.filePath("no/such/folder/ZRxLog.txt")).AppendCommsLog("lost");
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder/ZRxLog.txt")));

    EXPECT_EQ(CommsLog().filePath(), QDir(WritableFolder()).filePath("ZRxLog.txt"));
}

}  // namespace
