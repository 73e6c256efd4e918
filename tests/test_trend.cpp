// The weight trend: the figures of a series worked out by hand (minimum, maximum,
// mean, population standard deviation, least-squares drift per minute, in kg and in
// divisions), samples without a value left out of them and kept as empty CSV fields,
// and the sampler's pace against the virtual indicator on the virtual clock, with
// every frame it sent.

#include "monitor/Trend.h"
#include "support/SimLink.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace vx::test {
namespace {

std::optional<DisplayWeight> kg(qint64 units, int decimals = 0) { return DisplayWeight{units, decimals}; }

TrendSample sample(double seconds, std::optional<DisplayWeight> gross, std::optional<DisplayWeight> net)
{
    return TrendSample{seconds, gross, net};
}

// ---------------------------------------------------------------------------
// Figures

TEST(TrendFiguresTest, OneKgAMinuteFromFourValues)
{
    // 1, 2, 3, 4 kg a minute apart: mean 2.5; deviations -1.5, -0.5, 0.5, 1.5 give
    // squares 2.25 + 0.25 + 0.25 + 2.25 = 5, over 4 values 1.25: sd = sqrt(1.25).
    const TrendSeries series = {sample(0, kg(1), kg(10)), sample(60, kg(2), kg(10)), sample(120, kg(3), kg(10)),
                                sample(180, kg(4), kg(10))};
    const TrendFigures f = ComputeTrendFigures(series);
    EXPECT_EQ(f.gross.count, 4);
    EXPECT_DOUBLE_EQ(f.gross.minimum.value(), 1.0);
    EXPECT_DOUBLE_EQ(f.gross.maximum.value(), 4.0);
    EXPECT_DOUBLE_EQ(f.gross.mean.value(), 2.5);
    EXPECT_DOUBLE_EQ(f.gross.standardDeviation.value(), 1.118033988749895);
    EXPECT_DOUBLE_EQ(f.gross.driftPerMinute.value(), 1.0);
    // A weight that stands still: no spread, no drift.
    EXPECT_EQ(f.net.count, 4);
    EXPECT_DOUBLE_EQ(f.net.mean.value(), 10.0);
    EXPECT_DOUBLE_EQ(f.net.standardDeviation.value(), 0.0);
    EXPECT_DOUBLE_EQ(f.net.driftPerMinute.value(), 0.0);
}

TEST(TrendFiguresTest, DriftIsTheLeastSquaresSlopeNotTheEndPoints)
{
    // 0, 3, 0, 3 g at 0, 1, 2, 3 s (three decimals): times about 1.5 s deviate
    // -1.5, -0.5, 0.5, 1.5, values about 1.5 g -1.5, 1.5, -1.5, 1.5; the slope is
    // (2.25 - 0.75 - 0.75 + 2.25) / 5 = 0.6 g a second, 36 g (0.036 kg) a minute,
    // where the end points alone would give 60 g.
    const TrendSeries series = {sample(0, kg(0, 3), {}), sample(1, kg(3, 3), {}), sample(2, kg(0, 3), {}),
                                sample(3, kg(3, 3), {})};
    const TrendFigures f = ComputeTrendFigures(series);
    EXPECT_NEAR(f.gross.driftPerMinute.value(), 0.036, 1e-12);
    EXPECT_NEAR(f.gross.standardDeviation.value(), 0.0015, 1e-12);
}

TEST(TrendFiguresTest, InDivisionsAWeightIsAWholeNumberOfDivisions)
{
    // Division 0.005 kg with three decimals: 12,345 kg is 2469 divisions, 12,355 kg 2471.
    const TrendSeries series = {sample(0, kg(12345, 3), kg(-50, 3)), sample(30, kg(12355, 3), kg(-40, 3))};
    const std::optional<TrendFigures> d = ComputeTrendFiguresInDivisions(series, 0.005);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->gross.count, 2);
    EXPECT_EQ(d->gross.minimum.value(), 2469.0);
    EXPECT_EQ(d->gross.maximum.value(), 2471.0);
    EXPECT_EQ(d->gross.mean.value(), 2470.0);
    EXPECT_EQ(d->gross.standardDeviation.value(), 1.0);
    EXPECT_DOUBLE_EQ(d->gross.driftPerMinute.value(), 4.0) << "2 divisions in half a minute";
    EXPECT_EQ(d->net.minimum.value(), -10.0);
    EXPECT_EQ(d->net.maximum.value(), -8.0);

    // 150,2 kg with a division of 0.1 is 1502 divisions exactly, not 1501.9999...
    const TrendSeries tenths = {sample(0, kg(1502, 1), {})};
    EXPECT_EQ(ComputeTrendFiguresInDivisions(tenths, 0.1)->gross.maximum.value(), 1502.0);
    // A division of 2 kg on whole kilograms: 1502 kg is 751 divisions.
    const TrendSeries whole = {sample(0, kg(1502), {})};
    EXPECT_EQ(ComputeTrendFiguresInDivisions(whole, 2)->gross.maximum.value(), 751.0);
    EXPECT_FALSE(ComputeTrendFiguresInDivisions(series, 0));
}

TEST(TrendFiguresTest, SamplesWithoutAValueAreLeftOutNeverCountedAsZero)
{
    // Gross 10 and 30 kg at 0 and 60 s, none at 30 s: mean 20 (a 0 would give 13.3),
    // minimum 10 (not 0), drift 20 kg a minute.
    const TrendSeries series = {sample(0, kg(10), kg(5)), sample(30, {}, kg(5)), sample(60, kg(30), {})};
    const TrendFigures f = ComputeTrendFigures(series);
    EXPECT_EQ(f.gross.count, 2);
    EXPECT_DOUBLE_EQ(f.gross.mean.value(), 20.0);
    EXPECT_DOUBLE_EQ(f.gross.minimum.value(), 10.0);
    EXPECT_DOUBLE_EQ(f.gross.standardDeviation.value(), 10.0);
    EXPECT_DOUBLE_EQ(f.gross.driftPerMinute.value(), 20.0);
    EXPECT_EQ(f.net.count, 2);
    EXPECT_DOUBLE_EQ(f.net.driftPerMinute.value(), 0.0);
}

TEST(TrendFiguresTest, TooFewValuesGiveNoDriftAndNoneGiveNoFigures)
{
    const TrendSeries one = {sample(5, kg(7), {}), sample(6, {}, {})};
    const TrendFigures f = ComputeTrendFigures(one);
    EXPECT_EQ(f.gross.count, 1);
    EXPECT_DOUBLE_EQ(f.gross.mean.value(), 7.0);
    EXPECT_DOUBLE_EQ(f.gross.standardDeviation.value(), 0.0);
    EXPECT_FALSE(f.gross.driftPerMinute) << "one value has no slope";
    EXPECT_EQ(f.net.count, 0);
    EXPECT_FALSE(f.net.minimum);
    EXPECT_FALSE(f.net.mean);
    EXPECT_FALSE(f.net.standardDeviation);

    // Two values at one time have no slope either.
    const TrendSeries sameTime = {sample(2, kg(1), {}), sample(2, kg(3), {})};
    EXPECT_FALSE(ComputeTrendFigures(sameTime).gross.driftPerMinute);
    EXPECT_EQ(ComputeTrendFigures(TrendSeries{}).gross.count, 0);
}

TEST(TrendFiguresTest, TheWindowHoldsTheLastSecondsBeforeTheNewestSample)
{
    TrendSeries series;
    for (int t = 0; t <= 600; t += 30)
        series.push_back(sample(t, kg(t), {}));
    const auto lastMinute = TrendWindow(series, 60);
    ASSERT_EQ(lastMinute.size(), 3u);
    EXPECT_EQ(lastMinute.front().seconds, 540);
    EXPECT_EQ(lastMinute.back().seconds, 600);
    EXPECT_EQ(TrendWindow(series, 900).size(), series.size()) << "a short series is shown whole";
    EXPECT_TRUE(TrendWindow(TrendSeries{}, 60).empty());
    // Figures over the window only: 540, 570, 600 kg.
    EXPECT_DOUBLE_EQ(ComputeTrendFigures(lastMinute).gross.minimum.value(), 540.0);
}

// ---------------------------------------------------------------------------
// CSV

TEST(TrendCsvTest, DecimalPointAndAnEmptyFieldForAMissingWeight)
{
    const TrendSeries series = {sample(0, kg(12345, 2), kg(-5, 2)), sample(0.2, {}, kg(50, 2)),
                                sample(0.4, kg(300, 2), {}), sample(61.25, kg(7), kg(-7))};
    EXPECT_EQ(TrendCsv(series), QByteArray("time,gross,net\r\n"
                                           "0.000,123.45,-0.05\r\n"
                                           "0.200,,0.50\r\n"
                                           "0.400,3.00,\r\n"
                                           "61.250,7,-7\r\n"));
    EXPECT_EQ(TrendCsv(TrendSeries{}), QByteArray("time,gross,net\r\n"));
}

TEST(TrendCsvTest, WrittenThroughTheCheckedWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trend.csv");
    const TrendSeries series = {sample(1.5, kg(10), {})};
    QString why;
    ASSERT_TRUE(WriteTrendCsv(path, series, &why)) << why.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("time,gross,net\r\n1.500,10,\r\n"));
    // A folder cannot be written: said, and the folder stays.
    EXPECT_FALSE(WriteTrendCsv(dir.path(), series, &why));
    EXPECT_FALSE(why.isEmpty());
}

// ---------------------------------------------------------------------------
// The sampler against the virtual indicator

struct TrendSamplerTest : ::testing::Test, SimLink {
    TrendSamplerTest() : SimLink(WithoutChecksum())
    {
        // Fixed weights: 125,2 kg gross, 105,2 kg net (one decimal).
        sim.device.onRead(0, [](sim::VirtualIndicator &d, int, int) { d.setLong(0, 1252); });
        sim.device.onRead(3, [](sim::VirtualIndicator &d, int, int) { d.setLong(3, 1052); });
    }
    std::vector<double> times() const
    {
        std::vector<double> out;
        for (const TrendSample &s : taken)
            out.push_back(s.seconds);
        return out;
    }
    TrendEnd run(TrendPace pace, std::function<bool()> stop = {})
    {
        return RunTrendSampler(link, 1, pace, [this](const TrendSample &s) { taken.push_back(s); }, stop);
    }
    TrendSeries taken;
};

TEST_F(TrendSamplerTest, FiveASecondForTwoSecondsIsTenDisplayReads)
{
    const double started = sim.clock.elapsed();
    EXPECT_EQ(run({.rate = 5, .seconds = 2}), TrendEnd::Duration);
    EXPECT_EQ(times(), (std::vector<double>{0.0, 0.2, 0.4, 0.6, 0.8, 1.0, 1.2, 1.4, 1.6, 1.8}));
    // Each sample: a read of register 0 and one of register 3, two registers
    // (4 bytes) each; nothing else, no host-mode command.
    QStringList expected;
    for (int i = 0; i < 10; ++i)
        expected << "@0300000002\r" << "@0300030002\r";
    EXPECT_EQ(sim.port.framesSent(), expected);
    for (const TrendSample &s : taken) {
        ASSERT_TRUE(s.gross && s.net);
        EXPECT_EQ(*s.gross, (DisplayWeight{1252, 1}));
        EXPECT_EQ(*s.net, (DisplayWeight{1052, 1}));
    }
    // The sampler ends at the first slot at or past the duration, without waiting for it.
    EXPECT_LT(sim.clock.elapsed() - started, 2.0);
}

TEST_F(TrendSamplerTest, ASampleThatOverrunsItsSlotIsFollowedAtOnce)
{
    // A fixed reading time of 0.35 s: a sample (two reads) takes 0.7 s, far longer
    // than the 0.1 s of rate 10. The next one follows at once, with no burst of
    // samples to catch up the slots missed.
    link.settings.drainMode = DrainMode::Fixed;
    link.settings.ReadingTime = 0.35;
    EXPECT_EQ(run({.rate = 10, .seconds = 2}), TrendEnd::Duration);
    EXPECT_EQ(times(), (std::vector<double>{0.0, 0.7, 1.4}));
    EXPECT_EQ(sim.port.framesSent().size(), 6);
}

TEST_F(TrendSamplerTest, AsFastAsTheLineAllowsWaitsForNothing)
{
    EXPECT_EQ(run({.rate = 0, .seconds = 1}), TrendEnd::Duration);
    // Far more than the 10 of the fastest offered rate; each sample begins as the
    // one before it ends, so no wait of the sampler's own stands between them.
    EXPECT_GT(taken.size(), 10u);
    EXPECT_EQ(sim.port.framesSent().size(), int(2 * taken.size()));
    EXPECT_LT(taken.back().seconds, 1.0);
}

TEST_F(TrendSamplerTest, AStopOrAnAbortEndsItBeforeTheNextSample)
{
    EXPECT_EQ(run({.rate = 2, .seconds = 0}, [this] { return taken.size() >= 3; }), TrendEnd::Stopped);
    EXPECT_EQ(times(), (std::vector<double>{0.0, 0.5, 1.0}));
    EXPECT_EQ(sim.port.framesSent().size(), 6);

    taken.clear();
    const TrendEnd end = RunTrendSampler(link, 1, {.rate = 1, .seconds = 60}, [this](const TrendSample &s) {
        taken.push_back(s);
        link.AbortRequested = true;
    });
    EXPECT_EQ(end, TrendEnd::Aborted);
    EXPECT_EQ(taken.size(), 1u);
}

TEST_F(TrendSamplerTest, ASampleDuringWhichTheStopCameIsDropped)
{
    // The stop comes once the gross weight of the second sample has been asked for.
    EXPECT_EQ(run({.rate = 5, .seconds = 0}, [this] { return sim.port.framesSent().size() >= 3; }),
              TrendEnd::Stopped);
    EXPECT_EQ(sim.port.framesSent().size(), 4) << "the second sample was taken...";
    EXPECT_EQ(times(), std::vector<double>{0.0}) << "...and not passed on";
}

TEST_F(TrendSamplerTest, AStopIsSeenWhileWaitingForTheNextSample)
{
    // At one a second the stop comes 0.3 s into the wait; the sampler ends then,
    // not at the next sample's time.
    const double started = sim.clock.elapsed();
    EXPECT_EQ(run({.rate = 1, .seconds = 0}, [&] { return sim.clock.elapsed() - started >= 0.3; }),
              TrendEnd::Stopped);
    EXPECT_EQ(taken.size(), 1u);
    EXPECT_LT(sim.clock.elapsed() - started, 0.5);
}

TEST_F(TrendSamplerTest, AnAnswerThatIsNotWholeLeavesThatWeightEmpty)
{
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 3});
    sim.device.addFault({sim::FaultKind::Partial, sim::FaultScope::Register, 0, 1});
    EXPECT_EQ(run({.rate = 5, .seconds = 0.4}), TrendEnd::Duration);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_FALSE(taken[0].gross) << "the cut answer";
    EXPECT_EQ(taken[1].gross, (DisplayWeight{1252, 1}));
    EXPECT_FALSE(taken[0].net);
    EXPECT_FALSE(taken[1].net);
    EXPECT_EQ(TrendCsv(taken), QByteArray("time,gross,net\r\n0.000,,\r\n0.200,125.2,\r\n"));
}

TEST_F(TrendSamplerTest, OneSampleOnItsOwnIsTimedFromTheGivenStart)
{
    const QDateTime start = sim.clock.now();
    sim.clock.advance(2.5);
    const TrendSample s = TakeSample(link, 1, start);
    EXPECT_DOUBLE_EQ(s.seconds, 2.5);
    EXPECT_EQ(s.gross, (DisplayWeight{1252, 1}));
    EXPECT_EQ(sim.port.framesSent(), QStringList({"@0300000002\r", "@0300030002\r"}));
}

}  // namespace
}  // namespace vx::test
