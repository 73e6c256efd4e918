// The virtual indicator's moving weight: off by default (the gentle sway stays),
// and when on, noise within its bound about the resting weight, a slow drift, a
// load that settles onto the scale at its time, the same weights for the same
// clock, and the net weight a fixed tare below the gross, read over the wire.

#include "monitor/DisplayRead.h"
#include "monitor/Trend.h"
#include "sim/LiveStatus.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>
#include <set>

namespace vx::test {
namespace {

using sim::MovingGross;
using sim::WeightMotion;

WeightMotion motion(qint32 noise, double drift, qint32 load, double loadAt = 30.0)
{
    WeightMotion m;
    m.on = true;
    m.noise = noise;
    m.driftPerMinute = drift;
    m.load = load;
    m.loadAt = loadAt;
    return m;
}

TEST(SimMotionTest, NoiseStaysWithinItsBoundAndDoesMove)
{
    const WeightMotion m = motion(3, 0, 0);
    std::set<qint32> seen;
    for (int i = 0; i < 2000; ++i) {
        const qint32 g = MovingGross(m, i * 0.05);
        EXPECT_GE(g, 1000 - 3);
        EXPECT_LE(g, 1000 + 3);
        seen.insert(g);
    }
    EXPECT_EQ(seen.size(), 7u) << "every value from -3 to +3 digits comes up";
    // Within one noise step the weight holds: two reads a moment apart agree.
    EXPECT_EQ(MovingGross(m, 10.0), MovingGross(m, 10.0 + WeightMotion::NoiseStep / 2));
}

TEST(SimMotionTest, TheSameSeedGivesTheSameWeightsAnotherSeedOthers)
{
    const WeightMotion a = motion(3, 3, 500);
    WeightMotion b = a;
    b.seed = 2;
    int differ = 0;
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(MovingGross(a, i * 0.1), MovingGross(a, i * 0.1));
        differ += MovingGross(a, i * 0.1) != MovingGross(b, i * 0.1);
    }
    EXPECT_GT(differ, 100);
}

TEST(SimMotionTest, DriftsSlowlyWithoutNoise)
{
    // 3 digits a minute: 1000 at the start, 1015 after five minutes, 1030 after ten.
    const WeightMotion m = motion(0, 3, 0);
    EXPECT_EQ(MovingGross(m, 0), 1000);
    EXPECT_EQ(MovingGross(m, 300), 1015);
    EXPECT_EQ(MovingGross(m, 600), 1030);
}

TEST(SimMotionTest, ALoadSettlesOnAtItsTime)
{
    // 500 digits at 30 s, settling to 63 % in 0.4 s: 1 - e^-1 of 500 is 316.
    const WeightMotion m = motion(0, 0, 500, 30.0);
    EXPECT_EQ(MovingGross(m, 29.99), 1000) << "nothing before its time";
    EXPECT_EQ(MovingGross(m, 30.0), 1000) << "it begins to come on";
    EXPECT_EQ(MovingGross(m, 30.4), 1316);
    EXPECT_EQ(MovingGross(m, 35.0), 1500) << "settled";
}

TEST(SimMotionTest, OverTheWireNetIsGrossLessTheTareAndATrendSeesTheStep)
{
    // Noise and drift off: the weights are exact. The load goes on after 1 s.
    sim::LiveStatusOptions status;
    status.motion = motion(0, 0, 500, 1.0);
    InProcessIndicator indicator(WithoutChecksum(), status);
    ScriptedOperator op;
    CommsLog log;
    Link link(indicator.port, indicator.clock, op, log);
    link.settings.ChecksumEnabled = false;
    indicator.port.open("COM1", "9600,N,8,1");

    const std::optional<DisplayReading> before = ReadDisplay(link, 1);
    ASSERT_TRUE(before && before->gross && before->net);
    EXPECT_EQ(before->gross->units, 1000);
    EXPECT_EQ(before->net->units, 800) << "the tare of 200 digits stays put";

    TrendSeries series;
    RunTrendSampler(link, 1, {.rate = 2, .seconds = 10}, [&](const TrendSample &s) { series.push_back(s); });
    ASSERT_EQ(series.size(), 20u);
    EXPECT_EQ(series.back().gross->units, 1500);
    EXPECT_EQ(series.back().net->units, 1300);
    const TrendFigures f = ComputeTrendFigures(series);
    EXPECT_DOUBLE_EQ(f.gross.minimum.value(), 100.0);
    EXPECT_DOUBLE_EQ(f.gross.maximum.value(), 150.0);
}

TEST(SimMotionTest, OffByDefaultTheWeightSwaysAsBefore)
{
    // The sway of the live status: 1250 + 4 sin(t / 2) + sin(3.1 t) digits, 1250 at 0.
    InProcessIndicator indicator(WithoutChecksum());
    EXPECT_FALSE(sim::LiveStatusOptions{}.motion.on);
    EXPECT_EQ(SimAnswer(indicator.device, "@0300000002"), SimAnswer(indicator.device, "@0300000002"));
    const QByteArray answer = SimAnswer(indicator.device, "@0300000002");
    EXPECT_TRUE(answer.contains("000004E2")) << answer.toStdString();  // 1250
}

}  // namespace
}  // namespace vx::test
