// The rest of an answer still arriving when a sequence ends or is aborted is not
// the next request's answer: the drain at the start of an operation reads it away.
// A slow line (1200 baud) and a late answer of the virtual indicator.

#include "link/Transaction.h"
#include "sim/Faults.h"
#include "sim/InProcessPort.h"
#include "sim/Modules.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"
#include "support/ScriptedOperator.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LineDrainTest : public ::testing::Test {
protected:
    LineDrainTest()
    {
        vx::sim::ModuleOptions modules;
        modules.seconds = [this] { return clock.elapsed(); };
        vx::sim::InstallDefaultModules(device, modules);
        link.settings.PortSettings = QStringLiteral("1200,N,8,1");
        link.settings.ReadingTime = 0.05;
        EXPECT_TRUE(port.open(QStringLiteral("COM1"), link.settings.PortSettings).ok());
    }

    // The version text's read gets no answer in time; its answer begins 0.2 s late and
    // is half in when the next operation begins.
    void abandonAnAnswerHalfWay()
    {
        vx::sim::FaultRule late;
        late.kind = vx::sim::FaultKind::Late;
        late.scope = vx::sim::FaultScope::Register;
        late.value = 199;
        late.remaining = 1;
        late.lateSeconds = 0.2;
        device.addFault(late);
        ASSERT_EQ(link.readRaw(199, 10), "") << "no answer within the reading time";
        clock.advance(0.25);
        ASSERT_GT(port.bytesWaiting(), 0) << "the late answer is under way";
    }
    // The same request on a quiet line: what its answer is.
    QString quietAnswer()
    {
        clock.advance(2.0);
        port.readAll();
        return link.readRaw(199, 10);
    }
    QString logText() const
    {
        QFile f(log.filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    vx::sim::VirtualIndicator device;
    vx::sim::VirtualClock clock;
    vx::sim::InProcessPort port{device, clock, vx::sim::InProcessPort::Timing{1200, 0.005}};
    vx::test::ScriptedOperator op;
    vx::CommsLog log{dir.filePath(QStringLiteral("ZRxLog.txt"))};
    vx::Link link{port, clock, op, log};
};

TEST_F(LineDrainTest, TheDrainReadsAwayTheRestOfAnAbandonedAnswerAndTheNextReadGetsItsOwn)
{
    abandonAnAnswerHalfWay();
    const int exchanges = link.stats.exchanges;
    link.DrainStaleInput();
    EXPECT_EQ(link.stats.exchanges, exchanges) << "the drain sends nothing";
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_TRUE(logText().contains("discarded the rest of an earlier answer")) << logText().toStdString();

    const QString next = link.readRaw(199, 10);
    const QString expected = quietAnswer();
    ASSERT_TRUE(expected.startsWith('@') && expected.endsWith('\r')) << expected.toStdString();
    EXPECT_EQ(next, expected);
}

// Why the drain is there: a request's own discard takes only what has come, and the
// rest of the old answer, still arriving, spoils the new one.
TEST_F(LineDrainTest, WithoutTheDrainTheRestOfTheOldAnswerSpoilsTheNextOne)
{
    abandonAnAnswerHalfWay();
    const QString next = link.readRaw(199, 10);
    EXPECT_NE(next, quietAnswer());
}

// At 1200 baud the gap is four characters (33 ms): a drain after a whole answer costs
// none of it, one after a cut-off answer waits it out and takes the rest.
TEST_F(LineDrainTest, OnlyADoubtfulLineCostsTheGap)
{
    ASSERT_FALSE(quietAnswer().isEmpty());
    double before = clock.elapsed();
    link.DrainStaleInput();
    EXPECT_EQ(clock.elapsed(), before) << "the last answer was whole and nothing is waiting";

    abandonAnAnswerHalfWay();
    before = clock.elapsed();
    link.DrainStaleInput();
    EXPECT_GE(clock.elapsed() - before, 4 * 10.0 / 1200);
    before = clock.elapsed();
    link.DrainStaleInput();
    EXPECT_EQ(clock.elapsed(), before) << "once quiet, the doubt is gone";
}

TEST_F(LineDrainTest, AQuietOrClosedLineIsLeftAsItIs)
{
    link.DrainStaleInput();
    EXPECT_EQ(link.stats.charsReceived, 0);
    EXPECT_TRUE(device.requests().isEmpty());
    port.close();
    link.DrainStaleInput();  // nothing to read, no wait on a closed port
    EXPECT_TRUE(device.requests().isEmpty());
    EXPECT_FALSE(logText().contains("discarded"));
}

}  // namespace
