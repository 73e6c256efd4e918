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
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace vx {
// Readable names for parameterised tests.
static void PrintTo(DrainMode mode, std::ostream *os)
{
    *os << DrainModeName(mode).toStdString();
}
}  // namespace vx

using namespace vx;
using vx::test::ScriptedOperator;
using Kind = ScriptedOperator::Kind;

namespace {

sim::FaultRule fault(sim::FaultKind kind, int times = -1)
{
    sim::FaultRule r;
    r.kind = kind;
    r.scope = sim::FaultScope::Always;
    r.remaining = times;
    return r;
}

class TransactionTest : public ::testing::Test {
protected:
    explicit TransactionTest(sim::InProcessPort::Timing timing = {})
        : port(dev, clock, timing)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        log.setFilePath(dir.filePath(QStringLiteral("ZRxLog.txt")));
        ASSERT_TRUE(port.open(QStringLiteral("COM1"), QStringLiteral("9600,N,8,1")).ok());
        link.settings.DeviceAddress.clear();
        link.settings.ChecksumEnabled = true;
        link.settings.ReadingTime = 0.15;
        link.settings.drainMode = DrainMode::FrameEnd;
    }

    QStringList logLines() const
    {
        QFile f(log.filePath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = cp1254::decode(f.readAll()).split(QStringLiteral("\r\n"));
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
    CommsLog log{QStringLiteral("unused")};
    Link link{port, clock, op, log};
};

// ---------------------------------------------------------------------------
// Acknowledged writes

TEST_F(TransactionTest, AckAtFirstAttemptSendsOneFrameQuietly)
{
    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
    EXPECT_EQ(frames(), 1);
    EXPECT_EQ(op.dialogCount(), 0);
    EXPECT_FALSE(QFile::exists(log.filePath()));
    EXPECT_FALSE(link.AbortRequested);
    EXPECT_EQ(dev.reg(8), 7);

    // A 4-byte write is acknowledged with a register count of 2.
    link.CihazaGönder(20, 4, QStringLiteral("LG"), 123456);
    EXPECT_EQ(frames(), 2);
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(TransactionTest, SilentIndicatorGetsNineAttemptsThenTheQuestion)
{
    dev.addFault(fault(sim::FaultKind::NoAnswer));
    op.abortRetryIgnoreAnswers = {Choice::Retry, Choice::Ignore};

    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);

    EXPECT_EQ(frames(), 18);  // nine, Retry, nine more
    ASSERT_EQ(op.count(Kind::AbortRetryIgnore), 2);
    const auto q = op.callsOf(Kind::AbortRetryIgnore).front();
    EXPECT_EQ(q.text, QStringLiteral("[008]-[0001]--- İletişim hatası..."));
    EXPECT_EQ(q.icon, Icon::Critical);

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], link.shortDate() + QStringLiteral(" - [008]-[0001]--- İletişim hatası..."));
    EXPECT_FALSE(link.AbortRequested);
    // Every attempt is the same frame.
    QStringList sent = port.framesSent();
    EXPECT_EQ(sent.removeDuplicates(), 17);
}

TEST_F(TransactionTest, AbortSetsTheFlagAndLogsNothing)
{
    dev.addFault(fault(sim::FaultKind::NoAnswer));
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    link.CihazaGönder(19, 2, QStringLiteral("Lg"), 19);
    EXPECT_EQ(frames(), 9);
    EXPECT_TRUE(link.AbortRequested);
    EXPECT_EQ(op.last().text, QStringLiteral("[019]-[0001]--- İletişim hatası..."));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(TransactionTest, RetryAfterTheIndicatorRecoversEndsWithoutAnotherQuestion)
{
    dev.addFault(fault(sim::FaultKind::NoAnswer));
    op.abortRetryIgnoreAnswers = {Choice::Retry};
    op.onCall = [this](const ScriptedOperator::Call &) { dev.clearFaults(); };
    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
    EXPECT_EQ(frames(), 10);
    EXPECT_EQ(op.count(Kind::AbortRetryIgnore), 1);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(TransactionTest, AckAtThirdAttemptIsQuietAtFourthAsksAnyway)
{
    dev.addFault(fault(sim::FaultKind::NoAnswer, 2));
    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
    EXPECT_EQ(frames(), 3);
    EXPECT_EQ(op.dialogCount(), 0);

    port.clearFramesSent();
    dev.addFault(fault(sim::FaultKind::NoAnswer, 3));
    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
    EXPECT_EQ(frames(), 4);
    EXPECT_EQ(op.count(Kind::AbortRetryIgnore), 1);
    EXPECT_EQ(logLines().size(), 1);  // Ignore (the default answer) records it
}

TEST_F(TransactionTest, RefusalOrWrongCountIsNoAcknowledgement)
{
    dev.addFault(fault(sim::FaultKind::Refuse));
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
    EXPECT_EQ(frames(), 9);
    EXPECT_TRUE(link.AbortRequested);
}

TEST_F(TransactionTest, AddressedIndicatorAcknowledgesAfterItsAddress)
{
    dev.setAddress(QStringLiteral("05"));
    link.settings.DeviceAddress = QStringLiteral("05");
    link.CihazaGönder(8, 2, QStringLiteral("LG"), 7);
    ASSERT_EQ(frames(), 1);
    EXPECT_TRUE(port.framesSent().front().startsWith(QStringLiteral("@0510")));
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST(Cevap, TakesTheSixCharactersAfterTheAddressField)
{
    EXPECT_EQ(Cevap(QStringLiteral("05"), QStringLiteral("@05100001E9\r")), QStringLiteral("100001"));
    EXPECT_EQ(Cevap(QString(), QStringLiteral("@100001EF\r")), QStringLiteral("100001"));
    EXPECT_EQ(Cevap(QStringLiteral("00"), QStringLiteral("@100001EF\r")), QStringLiteral("100001"));
    EXPECT_EQ(Cevap(QStringLiteral("05"), QString()), QString());
    EXPECT_EQ(Cevap(QString(), QStringLiteral("@1")), QStringLiteral("1"));
}

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

    EXPECT_TRUE(fixedAnswer.startsWith(QLatin1Char('@')));
    EXPECT_TRUE(fixedAnswer.endsWith(QLatin1Char('\r')));
    EXPECT_EQ(frameEndAnswer, fixedAnswer);
    EXPECT_EQ(link.decodeAnswer(frameEndAnswer, QStringLiteral("Tx"), 199).toString(),
              QStringLiteral("ZR2 V2.20 "));

    EXPECT_NEAR(fixedTime, 0.35, 0.002);
    // The paced request, the latency and the whole paced answer (about 30 characters
    // at 9600 baud), and no more.
    const QString request = BuildReadFrame(link.settings.DeviceAddress, 199, 10, link.settings.ChecksumEnabled);
    const double transfer = (request.size() + fixedAnswer.size()) * 10.0 / 9600 + 0.005;
    EXPECT_NEAR(frameEndTime, transfer, 0.003);
    EXPECT_LT(frameEndTime, fixedTime);
}

TEST_F(PacedTransactionTest, FrameEndGivesUpAtTheFixedDeadline)
{
    dev.addFault(fault(sim::FaultKind::Partial));
    link.settings.drainMode = DrainMode::FrameEnd;
    const double t0 = clock.elapsed();
    const QString answer = link.readRaw(199, 10, 0.05);
    EXPECT_NEAR(clock.elapsed() - t0, 0.2, 0.002);
    EXPECT_TRUE(answer.startsWith(QLatin1Char('@')));
    EXPECT_FALSE(answer.endsWith(QLatin1Char('\r')));
}

class DrainModeTest : public TransactionTest, public ::testing::WithParamInterface<DrainMode> {};

TEST_P(DrainModeTest, LateAnswerIsDiscardedNotTakenForTheNextOne)
{
    link.settings.drainMode = GetParam();
    sim::FaultRule late = fault(sim::FaultKind::Late, 1);
    late.lateSeconds = 0.5;
    dev.addFault(late);

    EXPECT_FALSE(link.read(199, 10, QStringLiteral("Tx")).isValid());
    clock.advance(1.0);  // the late answer lands in the input buffer
    EXPECT_EQ(link.read(204, 10, QStringLiteral("Tx")).toString(), QStringLiteral("SN00012345"));

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(link.shortDate() + QStringLiteral(" - discarded late bytes: @")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("<CR>")));
}

TEST_P(DrainModeTest, ReadingTimeZeroDrainsRightAfterThePreDelay)
{
    link.settings.drainMode = GetParam();
    link.settings.ReadingTime = 0;

    // Nothing has arrived yet when the wait is zero.
    double t0 = clock.elapsed();
    EXPECT_EQ(link.readRaw(199, 10), QString());
    EXPECT_NEAR(clock.elapsed() - t0, 0.0, 1e-9);

    clock.advance(1.0);  // let the answer come and be discarded
    t0 = clock.elapsed();
    EXPECT_EQ(link.read(204, 10, QStringLiteral("Tx"), 0.05).toString(), QStringLiteral("SN00012345"));
    EXPECT_LE(clock.elapsed() - t0, 0.05 + 1e-6);
}

TEST_P(DrainModeTest, NoPumpExchangeNeverPumps)
{
    link.settings.drainMode = GetParam();
    link.writeNoAck(24, 2, QStringLiteral("LG"), 3, 0.1, false);
    EXPECT_EQ(clock.pumpedIdles(), 0);
    EXPECT_GT(clock.unpumpedIdles(), 0);
    EXPECT_EQ(dev.reg(24), 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, DrainModeTest, ::testing::Values(DrainMode::Fixed, DrainMode::FrameEnd),
                         [](const auto &info) { return DrainModeName(info.param).remove(QLatin1Char('-')).toStdString(); });

TEST_F(TransactionTest, ChecksumMismatchIsLoggedAndTheValueKept)
{
    dev.setText(199, QStringLiteral("ZR1 V1.00 "), 10);
    dev.addFault(fault(sim::FaultKind::BadChecksum, 1));
    EXPECT_EQ(link.read(199, 10, QStringLiteral("Tx")).toString(), QStringLiteral("ZR1 V1.00 "));
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

TEST_F(TransactionTest, StatsCountWhatCrossedTheLine)
{
    const QString frame = BuildReadFrame(QString(), 199, 10, true);
    const QString answer = link.exchange(frame);
    EXPECT_EQ(link.stats.exchanges, 1);
    EXPECT_EQ(link.stats.charsSent, frame.size());
    EXPECT_EQ(link.stats.charsReceived, answer.size());
    EXPECT_GT(answer.size(), 0);
}

// ---------------------------------------------------------------------------
// Host mode and waits

TEST_F(TransactionTest, HostModeWritesCommandsNineteenAndTwenty)
{
    link.settings.drainMode = DrainMode::Fixed;
    double t0 = clock.elapsed();
    link.HostYazdır(true);
    EXPECT_NEAR(clock.elapsed() - t0, 0.35, 0.002);
    EXPECT_TRUE(dev.hostMode());
    link.HostYazdır(false);
    EXPECT_FALSE(dev.hostMode());
    EXPECT_EQ(port.framesSent(),
              QStringList({QStringLiteral("@1000130001020013C7\r"), QStringLiteral("@1000130001020014C6\r")}));
    EXPECT_EQ(dev.commands(), (std::vector<int>{19, 20}));
    EXPECT_EQ(op.dialogCount(), 0);

    // Without the checksum the frame carries none.
    link.settings.ChecksumEnabled = false;
    dev.setChecksum(false);
    link.HostYazdır(false);
    EXPECT_EQ(port.framesSent().back(), QStringLiteral("@1000130001020014\r"));
}

TEST(Waits, WaitSecondsLastsItsTimeAndPumpsOnlyWhenAsked)
{
    sim::VirtualIndicator dev;
    sim::VirtualClock clock;
    sim::InProcessPort port(dev, clock);
    ScriptedOperator op;
    CommsLog log(QStringLiteral("/nonexistent-dir/ZRxLog.txt"));
    Link link(port, clock, op, log);

    link.WaitSeconds(0.3);
    EXPECT_NEAR(clock.elapsed(), 0.3, 1e-9);
    EXPECT_GT(clock.pumpedIdles(), 0);
    EXPECT_EQ(clock.unpumpedIdles(), 0);

    link.WaitSecondsNoPump(0.2);
    EXPECT_NEAR(clock.elapsed(), 0.5, 1e-9);
    EXPECT_GT(clock.unpumpedIdles(), 0);

    // Zero or nonsense waits let events run once and return.
    const double before = clock.elapsed();
    link.WaitSeconds(0);
    link.WaitSeconds(-1);
    link.WaitSeconds(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(clock.elapsed(), before);
}

TEST(Waits, WaitAcrossMidnightEndsAtMidnight)
{
    for (bool pump : {true, false}) {
        sim::VirtualIndicator dev;
        sim::VirtualClock clock(QDateTime(QDate(2026, 3, 12), QTime(23, 59, 59, 900)));
        sim::InProcessPort port(dev, clock);
        ScriptedOperator op;
        CommsLog log(QStringLiteral("/nonexistent-dir/ZRxLog.txt"));
        Link link(port, clock, op, log);
        if (pump)
            link.WaitSeconds(5.0);
        else
            link.WaitSecondsNoPump(5.0);
        EXPECT_NEAR(clock.elapsed(), 0.1, 0.002) << "pump=" << pump;
    }
}

// ---------------------------------------------------------------------------
// Communication log

TEST(CommsLogFile, AppendsCp1254LinesWithCrLf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CommsLog log(dir.filePath(QStringLiteral("ZRxLog.txt")));
    log.AppendCommsLog(QStringLiteral("İletişim hatası"));
    log.AppendCommsLog(QStringLiteral("ikinci"));
    QFile f(log.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\xDDleti\xFEim hatas\xFD\r\nikinci\r\n"));
}

TEST(CommsLogFile, UnwritableLogIsSkippedQuietly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder in the file's place cannot be opened for appending.
    const QString path = dir.filePath(QStringLiteral("ZRxLog.txt"));
    ASSERT_TRUE(QDir().mkpath(path));
    CommsLog log(path);
    log.AppendCommsLog(QStringLiteral("lost"));
    CommsLog missing(dir.filePath(QStringLiteral("no/such/folder/ZRxLog.txt")));
    missing.AppendCommsLog(QStringLiteral("lost"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("no/such/folder/ZRxLog.txt"))));
}

TEST(CommsLogFile, DefaultsToTheWritableFolder)
{
    CommsLog log;
    EXPECT_EQ(log.filePath(), QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt")));
}

}  // namespace
