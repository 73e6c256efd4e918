// The analog output adjustment against the virtual indicator: the output type
// decoding, the start and end of a run, a held step button repeating until the
// limit, and what each button sends.

#include "calibration/AnalogOutput.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct AnalogTest : ::testing::Test, test::SimLink {
    // The frames sent, without their checksum and CR.
    QStringList wire() const
    {
        QStringList out;
        for (const QString &frame : sim.port.framesSent())
            out << frame.chopped(3);
        return out;
    }
    LanguageTexts texts = test::NumberedTexts();
};

TEST(AlogDurum, TheFirstDataByteOfAWholeAnswerNamesTheOutputType)
{
    // Data 0100, checksum on: bytes 03 02 01 00 sum to 6, LRC FA.
    EXPECT_EQ(AlogDurum("@03020100FA\r", "", true), std::optional<bool>(true));
    EXPECT_EQ(AlogDurum("@03020000FB\r", "", true), std::optional<bool>(false));
    EXPECT_EQ(AlogDurum("@03020100\r", "", false), std::optional<bool>(true));
    EXPECT_EQ(AlogDurum("@0503020100\r", "05", false), std::optional<bool>(true));
    EXPECT_EQ(AlogDurum("@030201", "", false), std::nullopt) << "cut off";
    EXPECT_EQ(AlogDurum("@8003\r", "", false), std::nullopt) << "refused";
    EXPECT_EQ(AlogDurum("", "", true), std::nullopt);
}

TEST(AnalogButtons, SendTheirOwnStepAndStayInsideTheRange)
{
    using P = AnalogPoint;
    using S = AnalogStepButton;
    EXPECT_EQ(AnalogStepCode({P::Zero, S::FastUp}), 3);
    EXPECT_EQ(AnalogStepCode({P::Zero, S::FastDown}), 4);
    EXPECT_EQ(AnalogStepCode({P::Zero, S::SlowUp}), 5);
    EXPECT_EQ(AnalogStepCode({P::Zero, S::SlowDown}), 6);
    EXPECT_EQ(AnalogStepCode({P::FullScale, S::FastUp}), 7);
    EXPECT_EQ(AnalogStepCode({P::FullScale, S::SlowDown}), 10);
    // Up: below 65535 for the zero point, below 65536 for the second point.
    EXPECT_TRUE(AnalogStepAllowed({P::Zero, S::FastUp}, 65434));
    EXPECT_FALSE(AnalogStepAllowed({P::Zero, S::FastUp}, 65435));
    EXPECT_TRUE(AnalogStepAllowed({P::FullScale, S::FastUp}, 65435));
    EXPECT_FALSE(AnalogStepAllowed({P::FullScale, S::SlowUp}, 65531));
    // Down: not below 0.
    EXPECT_TRUE(AnalogStepAllowed({P::Zero, S::SlowDown}, 5));
    EXPECT_FALSE(AnalogStepAllowed({P::Zero, S::SlowDown}, 4));
    EXPECT_FALSE(AnalogStepAllowed({P::FullScale, S::FastDown}, 99));
}

TEST_F(AnalogTest, StartSendsTheOutputTypeCommandEightAndTheStart)
{
    EXPECT_EQ(StartAnalogAdjustment(link, true, texts), AnalogStartResult::Running);
    EXPECT_EQ(wire(), QStringList({"@1000C3000102" "0100", "@100013000102" "0008", "@100018000102" "0001"}));
    EXPECT_EQ(sim.device.reg(195), 0x0100);
    sim.port.clearFramesSent();
    EXPECT_EQ(StartAnalogAdjustment(link, false, texts), AnalogStartResult::Running);
    EXPECT_EQ(wire().first(), "@1000C3000102" "0000");
    EXPECT_TRUE(op.calls.empty());
}

TEST_F(AnalogTest, ARefusedStartDropsTheLink)
{
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 24, 1});
    EXPECT_EQ(StartAnalogAdjustment(link, false, texts, disconnect), AnalogStartResult::Refused);
    EXPECT_EQ(op.messages(), QStringList({"T309"}));
    EXPECT_EQ(disconnects, 1);
}

TEST_F(AnalogTest, AHeldButtonRepeatsUntilTheLimitAndEndingWritesTwo)
{
    ASSERT_EQ(StartAnalogAdjustment(link, false, texts), AnalogStartResult::Running);
    sim.device.setReg(190, 65300);
    sim.port.clearFramesSent();

    const AnalogButton fastUp{AnalogPoint::Zero, AnalogStepButton::FastUp};
    std::vector<AnalogValues> shown;
    const AnalogLoop loop{[&](const AnalogValues &v) { shown.push_back(v); }, [&] { return fastUp; }};
    std::vector<AnalogStepResult> steps;
    for (int tick = 0; tick < 4; ++tick) {
        const int unpumped = sim.clock.unpumpedIdles();
        const AnalogTick t = AnalogRepeat(link, loop);
        ASSERT_TRUE(t.step);
        steps.push_back(*t.step);
        EXPECT_GT(sim.clock.unpumpedIdles(), unpumped) << "the pause holds window events";
    }
    // 65300 -> 65400 -> 65500; 65600 would not be below 65535. Values this high read as
    // themselves, not as the negative numbers of a signed reading.
    EXPECT_EQ(steps, (std::vector<AnalogStepResult>{AnalogStepResult::Sent, AnalogStepResult::Sent,
                                                    AnalogStepResult::Limit, AnalogStepResult::Limit}));
    EXPECT_EQ(sim.device.reg(190), 65500);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].zero, 65300);
    EXPECT_EQ(shown[3].zero, 65500);
    EXPECT_EQ(shown[3].fullScale, 60000);
    // Each tick: command 7 and register 190, command 7 and register 191, then the step.
    const QStringList tick = {"@100013000102" "0007", "@0300BE0001", "@100013000102" "0007", "@0300BF0001"};
    EXPECT_EQ(wire(), tick + QStringList{"@100018000102" "0003"} + tick + QStringList{"@100018000102" "0003"} + tick
                          + tick);

    sim.port.clearFramesSent();
    EXPECT_TRUE(EndAnalogAdjustment(link, texts));
    EXPECT_EQ(wire(), QStringList({"@100018000102" "0002"}));
}

TEST_F(AnalogTest, EndingWithoutAnyStepStillWritesTwo)
{
    ASSERT_EQ(StartAnalogAdjustment(link, false, texts), AnalogStartResult::Running);
    sim.port.clearFramesSent();
    EXPECT_TRUE(EndAnalogAdjustment(link, texts));
    EXPECT_EQ(wire(), QStringList({"@100018000102" "0002"}));
    // Steps after the end move nothing.
    AnalogStep(link, {AnalogPoint::Zero, AnalogStepButton::FastUp}, {13107, 60000});
    EXPECT_EQ(sim.device.reg(190), 13107);
}

TEST_F(AnalogTest, NoStepWhileTheValueIsUnknownAndNoTickWhileThePortIsClosed)
{
    EXPECT_EQ(AnalogStep(link, {AnalogPoint::FullScale, AnalogStepButton::SlowUp}, {13107, std::nullopt}),
              AnalogStepResult::Unknown);
    EXPECT_TRUE(wire().isEmpty());
    sim.port.close();
    const AnalogTick t = AnalogRepeat(link, {{}, [] { return AnalogButton{}; }});
    EXPECT_FALSE(t.values.zero);
    EXPECT_FALSE(t.step);
    EXPECT_EQ(sim.port.writesWhileClosed(), 0);
}

TEST_F(AnalogTest, SecondPointStepsMoveRegister191)
{
    ASSERT_EQ(StartAnalogAdjustment(link, false, texts), AnalogStartResult::Running);
    const AnalogLoop slowDown{{}, [] { return AnalogButton{AnalogPoint::FullScale, AnalogStepButton::SlowDown}; }};
    AnalogRepeat(link, slowDown);
    AnalogRepeat(link, slowDown);
    EXPECT_EQ(sim.device.reg(191), 59990);
    EXPECT_EQ(sim.device.reg(190), 13107);
}

}  // namespace
