// The line for one operation: one lease at a time, the line quiet when it begins,
// nothing left over when it ends.

#include "link/LineLease.h"
#include "link/Registers.h"
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

TEST_F(LineLeaseTest, TheRestOfAnEarlierAnswerIsDroppedBeforeTheFirstRequest)
{
    // An answer of an earlier operation comes in just after the port opens.
    sim.clock.schedule(0.001, [this] { sim.port.injectIncoming("@03020000\r"); });
    LineLease lease(link);
    ASSERT_TRUE(lease);
    EXPECT_EQ(link.readRaw(reg::Version, 10).left(5), QStringLiteral("@030A"));
    EXPECT_TRUE(logText().contains(QStringLiteral("discarded the rest of an earlier answer: @03020000<CR>")))
        << qPrintable(logText());
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

}  // namespace
}  // namespace vx::test
