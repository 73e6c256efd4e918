// The verification test: the permissible error table at each of its boundaries
// (written from the class limits by hand), the usual plan and the divisions of a
// dual range, and whole runs against the virtual indicator's platform (a load put on
// as each prompt asks, settling, a span error, a time-out, a cancel, the changeover
// weights), over the wire as the job reads it.

#include "support/SimLink.h"

#include "link/LineLease.h"
#include "sim/Platform.h"
#include "verify/Verification.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vx::test {
namespace {

// ---- the permissible errors -------------------------------------------------------

TEST(PermissibleErrorTest, ClassThreeChangesAt500And2000Divisions)
{
    // e = 0,1 kg: 500 e = 50 kg, 2000 e = 200 kg.
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 0.0, 0.1), 0.05);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 2.0, 0.1), 0.05);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 50.0, 0.1), 0.05) << "500 e is still in the first band";
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 50.1, 0.1), 0.1);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 200.0, 0.1), 0.1);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 200.1, 0.1), 0.15000000000000002);
    EXPECT_NEAR(PermissibleError(AccuracyClass::III, false, 300.0, 0.1), 0.15, 1e-12);
    // e = 5 g: 500 e = 2,5 kg.
    EXPECT_NEAR(PermissibleError(AccuracyClass::III, false, 2.5, 0.005), 0.0025, 1e-12);
    EXPECT_NEAR(PermissibleError(AccuracyClass::III, false, 2.505, 0.005), 0.005, 1e-12);
}

TEST(PermissibleErrorTest, ClassFourChangesAt50And200Divisions)
{
    // e = 1 kg: 50 e = 50 kg, 200 e = 200 kg.
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::IIII, false, 50, 1), 0.5);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::IIII, false, 51, 1), 1.0);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::IIII, false, 200, 1), 1.0);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::IIII, false, 201, 1), 1.5);
}

TEST(PermissibleErrorTest, InServiceDoublesEveryBand)
{
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, true, 50.0, 0.1), 0.1);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, true, 150.0, 0.1), 0.2);
    EXPECT_NEAR(PermissibleError(AccuracyClass::III, true, 300.0, 0.1), 0.3, 1e-12);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::IIII, true, 50, 1), 1.0);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::IIII, true, 201, 1), 3.0);
}

// ---- the plan -------------------------------------------------------------------------

ScaleRange single(double max, double e)
{
    ScaleRange r;
    r.max1 = max;
    r.e1 = e;
    return r;
}

VerificationPlan loadsOnly(std::vector<double> loads)
{
    VerificationPlan plan;
    plan.loads = std::move(loads);
    return plan;
}

std::vector<double> references(const std::vector<VerifyStep> &steps, VerifyStepKind kind)
{
    std::vector<double> out;
    for (const VerifyStep &s : steps)
        if (s.kind == kind)
            out.push_back(s.reference);
    return out;
}

TEST(VerificationPlanTest, TheUsualPlanOfA300KgScale)
{
    const ScaleRange range = single(300, 0.1);
    // III: Min 20 e = 2 kg, 500 e = 50 kg, half Max, 2000 e = 200 kg, Max.
    const VerificationPlan three = DefaultPlan(range, AccuracyClass::III);
    EXPECT_TRUE(three.zero);
    ASSERT_EQ(three.loads.size(), 5u);
    const double loads[] = {2, 50, 150, 200, 300};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(three.loads[i], loads[i], 1e-9) << i;
    ASSERT_EQ(three.repeatability.size(), 2u);
    EXPECT_NEAR(three.repeatability[0], 150, 1e-9);
    EXPECT_NEAR(three.repeatability[1], 300, 1e-9);
    EXPECT_NEAR(three.eccentricity.value(), 100, 1e-9);
    // IIII: Min 10 e = 1 kg, 50 e = 5 kg, 200 e = 20 kg.
    const VerificationPlan four = DefaultPlan(range, AccuracyClass::IIII);
    const double fine[] = {1, 5, 20, 150, 300};
    ASSERT_EQ(four.loads.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(four.loads[i], fine[i], 1e-9) << i;

    // Zero, 5 up, 5 down, 2 x 3 repeatability, centre and four segments.
    const std::vector<VerifyStep> steps = PlanSteps(three, range);
    EXPECT_EQ(steps.size(), 22u);
    EXPECT_EQ(references(steps, VerifyStepKind::Decreasing), (std::vector<double>{300, 200, 150, 50, 2}));
    EXPECT_EQ(steps.back().position, 4);
}

TEST(VerificationPlanTest, ADualRangeKeepsTheSecondDivisionOnTheWayDown)
{
    // 0-150 kg by 0,05, 150-300 kg by 0,1.
    ScaleRange range = single(150, 0.05);
    range.max2 = 300;
    range.e2 = 0.1;
    VerificationPlan plan;
    plan.zero = true;
    plan.loads = {1, 100, 150, 200, 300};
    plan.repeatability = {100, 300};
    const std::vector<VerifyStep> steps = PlanSteps(plan, range);
    std::vector<double> es;
    for (const VerifyStep &s : steps)
        es.push_back(s.e);
    const std::vector<double> expected = {0.05,                            // zero
                                          0.05, 0.05, 0.05, 0.1, 0.1,      // up: 150 kg is still the first range
                                          0.1,  0.1,  0.1,  0.1, 0.1,      // down from the second range
                                          0.05, 0.05, 0.05, 0.1, 0.1, 0.1};  // each weighing from zero
    EXPECT_EQ(es, expected);
    // Without reaching the second range the way down keeps the first division.
    plan.loads = {1, 100};
    plan.repeatability.clear();
    for (const VerifyStep &s : PlanSteps(plan, range))
        EXPECT_DOUBLE_EQ(s.e, 0.05);
    // The permissible error follows the division used: 100 kg is 2000 e by 0,05 and
    // 1000 e by 0,1, both 1 e; 120 kg is 2400 e by 0,05 (1,5 e) and 1200 e by 0,1 (1 e).
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 100, 0.05), 0.05);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 100, 0.1), 0.1);
    EXPECT_NEAR(PermissibleError(AccuracyClass::III, false, 120, 0.05), 0.075, 1e-12);
    EXPECT_DOUBLE_EQ(PermissibleError(AccuracyClass::III, false, 120, 0.1), 0.1);
}

// ---- runs against the virtual indicator ----------------------------------------------

// The virtual indicator with a platform, and a technician who puts on each load the
// prompt names.
struct PlatformRun {
    explicit PlatformRun(sim::PlatformOptions options = {})
        : platform(std::make_shared<sim::Platform>(options)), sim(WithoutChecksum()),
          log(dir.filePath("ZRxLog.txt")), link(sim.port, sim.clock, op, log)
    {
        sim::InstallPlatform(sim.device, [this] { return sim.clock.elapsed(); }, platform);
        link.settings.ChecksumEnabled = false;
        // The English prompts (the file need not be there: its name chooses them).
        texts.load(QStringLiteral("English.txt"));
        op.onCall = [this](const ScriptedOperator::Call &call) {
            if (call.kind == ScriptedOperator::Kind::OkCancel)
                LoadAsAsked(*platform, call.text, sim.clock.elapsed());
        };
    }
    // The prompt's load and segment; a zero prompt clears the platform.
    static void LoadAsAsked(sim::Platform &platform, const QString &prompt, double now)
    {
        const QRegularExpressionMatch load = QRegularExpression("put ([0-9.]+) kg").match(prompt);
        const QRegularExpressionMatch segment = QRegularExpression("segment ([1-4])").match(prompt);
        platform.put(load.hasMatch() ? load.captured(1).toDouble() : 0.0,
                     segment.hasMatch() ? segment.captured(1).toInt() : 0, now);
    }
    VerificationResult run(VerificationRequest request)
    {
        sim.port.open("COM1", "9600,N,8,1");
        return RunVerification(link, op, texts, request);
    }
    static VerificationRequest usual()
    {
        VerificationRequest r;
        r.range = single(300, 0.1);
        r.decimals = 1;
        r.plan = DefaultPlan(r.range, AccuracyClass::III);
        return r;
    }

    std::shared_ptr<sim::Platform> platform;
    QTemporaryDir dir;
    InProcessIndicator sim;
    ScriptedOperator op;
    CommsLog log;
    Link link;
    TextService texts;
};

TEST(VerificationRunTest, ARightScalePassesEveryStepTakenOnceStable)
{
    PlatformRun t({.settle = 1.0});
    const VerificationResult r = t.run(PlatformRun::usual());
    EXPECT_TRUE(r.complete());
    EXPECT_TRUE(r.pass());
    ASSERT_EQ(r.steps.size(), 22u);
    EXPECT_EQ(r.series.size(), 2u);
    for (const VerifyStepResult &s : r.steps) {
        EXPECT_TRUE(s.stable);
        EXPECT_NEAR(s.indication.value(), s.step.reference, 1e-9) << s.step.reference;
    }
    // 150 kg: 1500 e by 0,1, so 1 e either way; 300 kg 1,5 e.
    EXPECT_NEAR(r.steps[3].mpe, 0.1, 1e-12);
    EXPECT_NEAR(r.steps[5].mpe, 0.15, 1e-12);
    EXPECT_TRUE(r.withoutChangeover());
    // Each prompt asked for its load; the first the empty platform.
    ASSERT_EQ(t.op.count(ScriptedOperator::Kind::OkCancel), 22);
    EXPECT_EQ(t.op.calls[0].text, "Step 1 of 22: clear the platform (zero), then confirm.");
    EXPECT_EQ(t.op.calls[3].text, "Step 4 of 22: put 150.0 kg on the centre of the platform, then confirm.");
    EXPECT_EQ(t.op.calls[21].text,
              "Step 22 of 22: put 100.0 kg on segment 4 of the platform (back left), then confirm.");
    // On the wire: the operating status (register 2, one register) and the gross weight
    // (register 0, two registers) read again and again while the load settled, nothing written.
    const QStringList frames = t.sim.port.framesSent();
    EXPECT_GT(frames.filter(QRegularExpression("^@0300020001")).size(), 22 * 2);
    EXPECT_GT(frames.filter(QRegularExpression("^@0300000002")).size(), 22 * 2);
    EXPECT_TRUE(frames.filter(QRegularExpression("^@10")).isEmpty());
}

TEST(VerificationRunTest, ASpanErrorFailsAtHalfMaxAndTheEccentricSegmentFails)
{
    // 0,12 % too much: 150 kg shows 150,18 -> 150,2 (1 e allowed, 2 e off).
    sim::PlatformOptions o{.spanError = 0.0012, .settle = 0.5};
    o.eccentricity = {0, 0, 3, 0, 0};  // segment 2 shows 3 digits more
    PlatformRun t(o);
    const VerificationResult r = t.run(PlatformRun::usual());
    EXPECT_TRUE(r.complete());
    EXPECT_FALSE(r.pass());
    for (const VerifyStepResult &s : r.steps) {
        if (s.step.reference == 150 && s.step.kind != VerifyStepKind::Repeatability) {
            EXPECT_NEAR(s.indication.value(), 150.2, 1e-9);
            EXPECT_NEAR(s.error, 0.2, 1e-9);
            EXPECT_FALSE(s.pass);
        }
        if (s.step.reference == 2) {
            EXPECT_TRUE(s.pass) << "2 kg shows 2,0024 -> 2,0";
        }
    }
    // Eccentricity at 100 kg: 100,12 -> 100,1 everywhere (1 e allowed), 100,4 on segment 2.
    const VerifyStepResult &segment2 = r.steps[19];
    ASSERT_EQ(segment2.step.kind, VerifyStepKind::Eccentricity);
    ASSERT_EQ(segment2.step.position, 2);
    EXPECT_NEAR(segment2.indication.value(), 100.4, 1e-9);
    EXPECT_FALSE(segment2.pass);
    EXPECT_TRUE(r.steps[18].pass);
}

TEST(VerificationRunTest, AWeightThatNeverSettlesFailsItsStepAndTheTestGoesOn)
{
    PlatformRun t({.settle = 60.0});
    VerificationRequest request = PlatformRun::usual();
    request.plan = loadsOnly({50});
    request.stableTimeout = 2.0;
    const VerificationResult r = t.run(request);
    EXPECT_TRUE(r.complete());
    ASSERT_EQ(r.steps.size(), 2u);
    for (const VerifyStepResult &s : r.steps) {
        EXPECT_FALSE(s.stable);
        EXPECT_FALSE(s.pass);
        ASSERT_TRUE(s.indication.has_value()) << "the last weight read is kept";
    }
    EXPECT_GE(t.sim.clock.elapsed(), 4.0) << "two steps of 2 s";
    EXPECT_LT(t.sim.clock.elapsed(), 6.0);
}

TEST(VerificationRunTest, CancelEndsWithWhatWasMeasured)
{
    PlatformRun t({.settle = 0.5});
    t.op.okCancelAnswers = {Choice::Ok, Choice::Ok, Choice::Cancel};
    const VerificationResult r = t.run(PlatformRun::usual());
    EXPECT_EQ(r.end, VerificationEnd::Cancelled);
    EXPECT_FALSE(r.complete());
    EXPECT_FALSE(r.pass());
    EXPECT_FALSE(r.anyFailed());
    EXPECT_EQ(r.steps.size(), 2u);
    EXPECT_EQ(r.plannedSteps, 22);
}

TEST(VerificationRunTest, ChangeoverWeightsTakeTheErrorAtTheChangeoverPoint)
{
    // 0,04 % too much: 150 kg shows 150,06 -> 150,1: the error is +0,1 by the display,
    // the changeover tells it: I + e/2 - dL - L = 150,1 + 0,05 - 0,09 - 150 = 0,06.
    PlatformRun t({.spanError = 0.0004, .settle = 0.5});
    VerificationRequest request = PlatformRun::usual();
    request.plan = loadsOnly({150});
    request.askChangeover = true;
    t.op.inputAnswers = {QString("0,5"), QString("0.09"), QString()};
    const VerificationResult r = t.run(request);
    ASSERT_EQ(r.steps.size(), 2u);
    EXPECT_EQ(t.op.messages().size(), 1) << "0,5 kg is more than one division: asked again";
    EXPECT_NEAR(r.steps[0].changeover.value(), 0.09, 1e-12);
    EXPECT_NEAR(r.steps[0].error, 0.06, 1e-9);
    EXPECT_FALSE(r.steps[1].changeover.has_value()) << "left empty";
    EXPECT_NEAR(r.steps[1].error, 0.1, 1e-9);
    EXPECT_TRUE(r.withoutChangeover());
}

TEST(VerificationRunTest, AnIndicatorThatStopsAnsweringEndsTheTest)
{
    PlatformRun t({.settle = 0.5});
    t.op.onCall = [&t](const ScriptedOperator::Call &call) {
        if (call.kind == ScriptedOperator::Kind::OkCancel && call.text.startsWith("Step 2 "))
            t.sim.port.close();
    };
    VerificationRequest request = PlatformRun::usual();
    request.stableTimeout = 1.0;
    const VerificationResult r = t.run(request);
    EXPECT_EQ(r.end, VerificationEnd::NoAnswer);
    EXPECT_EQ(r.steps.size(), 1u);
}

}  // namespace
}  // namespace vx::test
