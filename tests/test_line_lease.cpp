// The line for one operation: one lease at a time, the line quiet when it begins,
// nothing left over when it ends.

#include "link/LineLease.h"
#include "link/RecordRead.h"
#include "link/Registers.h"
#include "monitor/TrendPoller.h"
#include "support/SimLink.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vx::test {
namespace {

struct LineLeaseTest : ::testing::Test, SimLink {
    LineLeaseTest()
    {
        sim.port.close();  // a lease begins from a closed port, as every operation does
        link.settings.PortNumber = QStringLiteral("1");
    }
    QString logText() const
    {
        QFile f(log.filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(LineLeaseTest, OpensForTheOperationAndClosesAfterIt)
{
    {
        LineLease lease(link);
        ASSERT_TRUE(lease);
        EXPECT_TRUE(sim.port.isOpen());
        EXPECT_TRUE(link.lineHeld());
        EXPECT_FALSE(link.readRaw(reg::Version, 10).isEmpty());
    }
    EXPECT_FALSE(sim.port.isOpen());
    EXPECT_FALSE(link.lineHeld());
}

TEST_F(LineLeaseTest, ASecondOperationIsRefusedWhileTheFirstHoldsTheLine)
{
    LineLease first(link);
    ASSERT_TRUE(first);
    const int opens = sim.port.openCount();
    {
        LineLease second(link);
        EXPECT_FALSE(second);
        EXPECT_TRUE(second.busy());
        // Refused without touching the port: the first operation's port stays open.
        EXPECT_EQ(sim.port.openCount(), opens);
    }
    EXPECT_TRUE(sim.port.isOpen());
    EXPECT_TRUE(link.lineHeld());
    EXPECT_EQ(op.dialogCount(), 0);  // skipped, nothing said
}

TEST_F(LineLeaseTest, AJoiningStepUsesTheOperationsLineAndLeavesItOpen)
{
    LineLease operation(link);
    ASSERT_TRUE(operation);
    {
        LineLease step(link, {.policy = LineLease::Policy::Join});
        EXPECT_TRUE(step);
        EXPECT_FALSE(step.busy());
    }
    EXPECT_TRUE(sim.port.isOpen());
    EXPECT_TRUE(link.lineHeld());
    operation.release();
    EXPECT_FALSE(sim.port.isOpen());
    EXPECT_FALSE(link.lineHeld());
}

TEST_F(LineLeaseTest, AJoiningStepOnItsOwnTakesTheLineItself)
{
    {
        LineLease step(link, {.policy = LineLease::Policy::Join});
        ASSERT_TRUE(step);
        EXPECT_TRUE(link.lineHeld());
    }
    EXPECT_FALSE(sim.port.isOpen());
    EXPECT_FALSE(link.lineHeld());
}

TEST_F(LineLeaseTest, ClearsTheAbortOfAnEarlierOperation)
{
    link.AbortRequested = true;
    LineLease lease(link);
    ASSERT_TRUE(lease);
    EXPECT_FALSE(link.AbortRequested);
}

// The drain at the start of an operation: no wait on a quiet line after whole answers;
// a wait for the line to fall quiet when something is waiting or the last answer went
// wrong; a straggler after that is another frame, and the record is read again.
TEST_F(LineLeaseTest, AQuietLineAfterWholeAnswersIsTakenWithoutWaiting)
{
    {
        LineLease first(link);
        ASSERT_TRUE(first);
        EXPECT_EQ(sim.clock.elapsed(), 0.0) << "a fresh link has had no answer that went wrong";
        ASSERT_TRUE(link.readAnswer(reg::Version, 10).whole());
    }
    const double before = sim.clock.elapsed();
    LineLease next(link);
    ASSERT_TRUE(next);
    EXPECT_EQ(sim.clock.elapsed(), before);
}

TEST_F(LineLeaseTest, BytesWaitingAtTheStartAreReadUntilTheLineFallsQuiet)
{
    // Half an earlier answer is waiting when the port opens; its rest comes 10 ms later.
    sim.port.injectIncoming("@0302");
    sim.clock.schedule(0.010, [this] { sim.port.injectIncoming("0000\r"); });
    LineLease lease(link);
    ASSERT_TRUE(lease);
    EXPECT_GE(sim.clock.elapsed(), 0.010 + Link::MinGapSeconds) << "quiet for the gap after the last byte";
    EXPECT_EQ(link.readRaw(reg::Version, 10).left(5), QStringLiteral("@030A"));
    EXPECT_TRUE(logText().contains(QStringLiteral("discarded the rest of an earlier answer: @03020000<CR>")))
        << qPrintable(logText());
}

TEST_F(LineLeaseTest, AfterAnAnswerThatWentWrongTheNextLeaseWaitsForTheLineToFallQuiet)
{
    const struct {
        sim::FaultKind kind;
        const char *name;
    } cases[] = {{sim::FaultKind::NoAnswer, "no answer"},
                 {sim::FaultKind::Partial, "cut off"},
                 {sim::FaultKind::Noise, "other frame"}};
    for (const auto &c : cases) {
        {
            LineLease lease(link);
            ASSERT_TRUE(lease);
            sim.device.addFault({c.kind, sim::FaultScope::Always, 0, 1});
            EXPECT_FALSE(link.readAnswer(reg::Version, 10).whole()) << c.name;
            EXPECT_TRUE(link.lastExchangeEndedBadly()) << c.name;
        }
        // Its answer, late, comes in just after the next operation's port opens.
        sim.clock.schedule(0.002, [this] { sim.port.injectIncoming("@030A"); });
        const double before = sim.clock.elapsed();
        LineLease next(link);
        ASSERT_TRUE(next);
        EXPECT_GE(sim.clock.elapsed() - before, 0.002 + Link::MinGapSeconds) << c.name;
        EXPECT_FALSE(link.lastExchangeEndedBadly());
        EXPECT_EQ(link.readRaw(reg::Version, 10).left(5), QStringLiteral("@030A")) << c.name;
        EXPECT_EQ(link.readRaw(reg::Version, 10).right(1), QStringLiteral("\r")) << c.name;
    }
    EXPECT_EQ(logText().count(QStringLiteral("discarded the rest of an earlier answer: @030A")), 3)
        << qPrintable(logText());
}

TEST_F(LineLeaseTest, AStragglerAfterTheStartIsAnotherFrameAndTheRecordIsReadAgain)
{
    {
        LineLease first(link);
        ASSERT_TRUE(link.readAnswer(reg::Version, 10).whole());
    }
    // A stray frame arrives 1 ms into the next operation, before its answer (5 ms).
    sim.clock.schedule(0.001, [this] { sim.port.injectIncoming("@03020000\r"); });
    LineLease lease(link);
    ASSERT_TRUE(lease);
    std::vector<AnswerOutcome> outcomes;
    QString data;
    const RecordCheck check = ReadRecord(
        link, reg::Version,
        [&] {
            const Answer a = link.readAnswer(reg::Version, 10);
            outcomes.push_back(a.outcome);
            return CheckReadAnswer(a, &data);
        },
        1);
    EXPECT_EQ(check, RecordCheck::Confirmed);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(AnswerOutcomeName(outcomes[0]), QStringLiteral("other frame"));
    EXPECT_EQ(data.size(), 20) << "the second read has the ten bytes asked for";
    EXPECT_TRUE(logText().contains(QStringLiteral("not confirmed, read again (2/2)"))) << qPrintable(logText());
}

TEST_F(LineLeaseTest, APortThatCannotBeOpenedIsReportedOnceAndHoldsNothing)
{
    sim.port.setOpenError(PortErr::NoSuchPort);
    const int opensBefore = sim.port.openCount();
    {
        LineLease lease(link, {.attempts = 10});
        EXPECT_FALSE(lease);
        EXPECT_FALSE(lease.busy());
        EXPECT_EQ(lease.portError(), PortErr::NoSuchPort);
        EXPECT_FALSE(link.lineHeld());
    }
    EXPECT_EQ(sim.port.openCount(), opensBefore + 1);  // a missing port is not tried again
    EXPECT_EQ(op.messages(), QStringList{QStringLiteral("COM1 bulunmamaktadır")});
    // The line is free again for the next operation.
    sim.port.setOpenError(PortErr::None);
    LineLease next(link);
    EXPECT_TRUE(next);
}

TEST_F(LineLeaseTest, AQuietLeaseSaysNothingAboutThePort)
{
    sim.port.setOpenError(PortErr::Busy);
    LineLease lease(link, {.quiet = true});
    EXPECT_FALSE(lease);
    EXPECT_EQ(lease.portError(), PortErr::Busy);
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(LineLeaseTest, APollHoldsTheKeysAndTheMouseBackWhileItHoldsTheLineOnly)
{
    {
        LineLease poll(link, {.quiet = true, .poll = true});
        ASSERT_TRUE(poll);
        EXPECT_EQ(sim.clock.userInputHolds(), 1);
        // A poll refused while it runs holds nothing more.
        LineLease second(link, {.poll = true});
        EXPECT_TRUE(second.busy());
        EXPECT_EQ(sim.clock.userInputHolds(), 1);
    }
    EXPECT_EQ(sim.clock.userInputHolds(), 0) << "the clicks that waited arrive once the poll has ended";
    {
        LineLease operation(link);  // an operation the technician started: input goes on
        EXPECT_EQ(sim.clock.userInputHolds(), 0);
    }
    sim.port.setOpenError(PortErr::Busy);
    LineLease failed(link, {.quiet = true, .poll = true});
    EXPECT_FALSE(failed);
    EXPECT_EQ(sim.clock.userInputHolds(), 0);
}

// The trend as fast as the line allows, a click 0,02 s after it started, while the
// first sample's gross read is on the line. With the fixed drain the sample is in its
// fixed wait: the click gets through at once and its operation takes the line; the
// sample is dropped. With the frame-end drain the click waits for the end of the
// sample and takes the line then.
TEST_F(LineLeaseTest, AClickDuringAFixedWaitOfTheTrendTakesTheLineAndTheSampleIsDropped)
{
    // The requests around the click's version read (without checksum and CR): with the
    // fixed drain the dropped sample's gross read comes before it and its net read never
    // goes; with the frame-end drain it comes after a whole sample.
    struct Case {
        DrainMode mode;
        QStringList around;
        int before;  // requests of `around` before the version read
        bool clickAtOnce;
        int skipped;
    };
    const Case cases[] = {
        {DrainMode::Fixed, {"@0300000002", "@0300C70005", "@0300000002", "@0300030002"}, 1, true, 1},
        {DrainMode::FrameEnd, {"@0300000002", "@0300030002", "@0300C70005", "@0300000002", "@0300030002"}, 2, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(DrainModeName(c.mode).toStdString());
        sim.device.clearRequests();
        link.settings.drainMode = c.mode;
        link.settings.ReadingTime = 0.15;
        std::vector<TrendSample> samples;
        TrendPoller trend(link, [&](const TrendSample &s) { samples.push_back(s); });
        const double began = sim.clock.elapsed();
        trend.start(0, 1, sim.clock.now());
        double clickedAt = -1;
        bool leaseTaken = false;
        Answer version;
        sim.clock.input(0.02, [&] {
            clickedAt = sim.clock.elapsed() - began;
            EXPECT_EQ(sim.clock.userInputHolds(), 0);
            LineLease operation(link);
            leaseTaken = bool(operation);
            version = link.readAnswer(reg::Version, 10);
        });
        // Up to the first samples after the click: the version read and the lease's
        // wait for the line to fall quiet come between.
        sim.clock.advance(c.mode == DrainMode::Fixed ? 0.8 : 0.3);
        trend.stop();
        ASSERT_TRUE(leaseTaken);
        EXPECT_TRUE(version.whole()) << qPrintable(version.raw);
        if (c.clickAtOnce)
            EXPECT_NEAR(clickedAt, 0.02, 0.002);
        else
            EXPECT_GT(clickedAt, 0.021) << "after the sample";
        QStringList wire;
        for (const QString &r : sim.device.requests())
            wire << r.left(11);
        const qsizetype read = wire.indexOf("@0300C70005");
        ASSERT_GE(read, c.before) << qPrintable(wire.join(' '));
        EXPECT_EQ(wire.mid(read - c.before, c.around.size()), c.around) << qPrintable(wire.join(' '));
        EXPECT_EQ(trend.skipped(), c.skipped);
        ASSERT_FALSE(samples.empty());
        for (const TrendSample &s : samples)
            EXPECT_TRUE(s.gross && s.net) << "a dropped sample is no gap, at " << s.seconds;
        EXPECT_FALSE(link.lineHeld());
        EXPECT_EQ(sim.clock.userInputHolds(), 0);
        sim.clock.advance(1.0);  // the line falls quiet before the next case
    }
}

}  // namespace
}  // namespace vx::test
