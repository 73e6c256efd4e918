// Weighing calibration against the in-process virtual indicator on the virtual
// clock: the range read on entering the tab, whole general, zero and span runs
// (what crossed the wire, register by register), the status poll's give-up and
// refusals, the checks before anything is sent, and the test weight.

#include "calibration/Calibration.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

using namespace vx;
using test::ScriptedOperator;

namespace {

// A request as "W reg data" or "R reg count", taken apart by position: "@", the
// function, the register, the register count, for a write the byte count and data,
// then the checksum and the CR.
QString describe(const QString &frame)
{
    const QString body = frame.chopped(3);
    const int reg = body.mid(3, 4).toInt(nullptr, 16);
    if (body.mid(1, 2) == "03")
        return QStringLiteral("R %1 %2").arg(reg).arg(body.mid(7, 4).toInt(nullptr, 16));
    return QStringLiteral("W %1 %2").arg(reg).arg(body.mid(13));
}

struct CalibrationTest : ::testing::Test, test::SimLink {
    explicit CalibrationTest(sim::CalibrationOptions calibration = {}) : SimLink({}, calibration) {}

    QStringList wire() const
    {
        QStringList out;
        for (const QString &frame : sim.port.framesSent())
            out << describe(frame);
        return out;
    }
    void clearWire() { sim.port.clearFramesSent(); }

    RangeReading enter() { return KalibrasyonHost(link, texts, disconnect); }

    CalibrationResult run(CalibrationKind kind, const RangeReading &read, std::optional<RangeCodes> choice = {})
    {
        CalibrationRequest request;
        request.kind = kind;
        request.indicator = read.range;
        request.choice = RangeChoice::of(choice ? *choice : read.range->codes);
        request.calibrationPermitted = read.permitted();
        CalibrationHooks hooks;
        hooks.disconnect = disconnect;
        return RunCalibration(link, op, service, request, hooks);
    }

    QStringList stepTexts() const
    {
        QStringList out;
        for (const auto &[text, tone] : op.steps)
            out << text;
        return out;
    }

    TextService service = test::NumberedTextService();  // the lines "T1".., English built-in texts
    const LanguageTexts &texts = service.lines();
};

// The built-in English text for an "@9" answer.
const QString kBusy = QStringLiteral("The indicator is busy and cannot take the calibration now. The link is fine: "
                                     "wait until the indicator has finished and try again.");

// The three reads of register 23 of one step: busy, busy, done.
const QStringList kPoll = {"R 23 1", "R 23 1", "R 23 1"};

TEST_F(CalibrationTest, EnteringTheTabReadsTheHardwareWordTheOutputTypeAndTheRange)
{
    const RangeReading read = enter();
    EXPECT_EQ(wire(), QStringList({"R 25 1", "R 195 1", "W 19 0007", "R 149 5", "W 19 000C", "R 128 3"}));
    ASSERT_TRUE(read.hardware);
    EXPECT_TRUE(read.hardware->CalibrationPermitted);
    EXPECT_TRUE(read.hardware->AnalogCardPresent);
    EXPECT_EQ(read.analogVoltage, std::optional<bool>(false));
    ASSERT_TRUE(read.range);
    // The default indicator: single range, 300 Kg (code 30) by 0.1 (code 9), legal trade.
    EXPECT_EQ(read.range->codes, (RangeCodes{0, 30, 9, 30, 9, 1}));
    EXPECT_EQ(read.range->metrologyLowByte, 0);
    EXPECT_EQ(read.range->metrologyBytes, (std::array<int, 3>{1, 1, 1}));
    EXPECT_FALSE(read.refused);
    EXPECT_TRUE(op.calls.empty());
}

TEST_F(CalibrationTest, AWholeGeneralCalibrationWritesTheRangeAndRunsZeroSpanAndFinish)
{
    sim.device.setReg(149, 0x0107);  // a second byte to be kept
    sim.device.setReg(150, 0x3301);  // M1 = 33
    sim.device.setReg(151, 0x0144);  // M2 = 44
    sim.device.setReg(152, 0x0155);  // M3 = 55
    const RangeReading read = enter();
    clearWire();
    op.inputAnswers = {QStringLiteral("50")};
    // Chosen: 100 Kg (code 22) by 0.01 (code 6) on both ranges, legal trade, single range.
    const CalibrationResult result = run(CalibrationKind::General, read, RangeCodes{0, 22, 6, 22, 6, 1});

    const QStringList expected = QStringList{
        // unlock: command 12, the seal 80260 read, moved to 144 and cleared
        "W 19 000C", "R 146 2", "W 144 00013984", "W 146 00000000",
        // the range block between host mode on and off
        "W 19 0013", "W 128 0000", "W 129 1606", "W 130 1606", "W 149 0107", "W 150 330101440155",
        "W 19 000D", "W 19 0009", "W 22 0001", "W 19 0014",
        // zero
        "W 22 0003"} + kPoll + QStringList{
        // span with 50 Kg in hundredths: 5000
        "W 20 00001388", "W 22 0004"} + kPoll + QStringList{
        // finish
        "W 22 0002"} + kPoll;
    EXPECT_EQ(wire(), expected);
    EXPECT_EQ(result.end, CalibrationEnd::Finished);
    EXPECT_FALSE(result.reportedProblem());
    EXPECT_TRUE(result.finishStepRan);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.written->codes, (RangeCodes{0, 22, 6, 22, 6, 1}));

    // One confirmation (264), one weight entry proposing half the capacity, no message.
    ASSERT_EQ(op.calls.size(), 2u);
    EXPECT_EQ(op.calls[0].kind, ScriptedOperator::Kind::OkCancel);
    EXPECT_EQ(op.calls[0].text, "T264");
    EXPECT_EQ(op.calls[1].kind, ScriptedOperator::Kind::Input);
    EXPECT_EQ(op.calls[1].text, "T259\nT260\n\nT295 ");
    EXPECT_EQ(op.calls[1].defaultText, "50");
    EXPECT_EQ(stepTexts(), QStringList({"T262", "T262 - 1", "T262 - 2", "T262 - 3", "T238",  // zero
                                        "T262", "T262 - 1", "T262 - 2", "T262 - 3", "T238",  // span
                                        "T263", "T262 - 1", "T262 - 2", "T262 - 3", "T238"}));
    EXPECT_EQ(op.steps.back().second, Tone::Success);

    // The indicator holds the new range and test weight; the seal is re-armed.
    EXPECT_EQ(sim.device.reg(129), 0x1606);
    EXPECT_EQ(sim.device.longAt(20), 5000);
    EXPECT_EQ(sim.device.longAt(144), 80260);
    EXPECT_EQ(sim.device.longAt(146), 80261);
    EXPECT_EQ(disconnects, 0);
}

TEST_F(CalibrationTest, SpanWeighsInTheRangeTheIndicatorHoldsNotTheChoiceOnScreen)
{
    const RangeReading read = enter();  // 300 Kg by 0.1
    clearWire();
    op.inputAnswers = {QStringLiteral("12.57")};
    // The range fields show 100 Kg by 0.01, not written to the indicator.
    const CalibrationResult result = run(CalibrationKind::Span, read, RangeCodes{0, 22, 6, 22, 6, 1});
    // The gross weight is checked first; 12.57 Kg in tenths is 125 (cut, not rounded).
    EXPECT_EQ(wire(), (QStringList{"R 0 2", "W 22 0001", "W 20 0000007D", "W 22 0004"} + kPoll
                          + QStringList{"W 22 0002"} + kPoll));
    EXPECT_EQ(result.end, CalibrationEnd::Finished);
    EXPECT_EQ(op.calls[0].defaultText, "150");
}

TEST_F(CalibrationTest, AWeightAboveTheCapacityIsRefusedAtTheEntry)
{
    const RangeReading read = enter();
    clearWire();
    op.inputAnswers = {QStringLiteral("300.1"), QStringLiteral("0"), QStringLiteral("300")};
    const CalibrationResult result = run(CalibrationKind::Span, read);
    EXPECT_EQ(result.end, CalibrationEnd::Finished);
    EXPECT_EQ(op.messages(), QStringList({"T296"}));  // the 0 is asked again silently
    EXPECT_EQ(op.count(ScriptedOperator::Kind::Input), 3);
    EXPECT_TRUE(wire().contains("W 20 00000BB8"));  // 300 Kg in tenths
}

// Runs that end before they finish: what was sent, how they ended, what was said.
struct ShortRun {
    const char *name;
    CalibrationKind kind;
    void (*setup)(CalibrationTest &);
    QStringList wire;
    CalibrationEnd end;
    QStringList messages;
    bool problem;  // counted as a failed calibration (the tool's exit status 4)
    int disconnects;
};

struct ShortRuns : CalibrationTest, ::testing::WithParamInterface<ShortRun> {};

TEST_P(ShortRuns, SendOnlyWhatTheyGotToAndSaySo)
{
    const ShortRun &r = GetParam();
    const RangeReading read = enter();
    clearWire();
    r.setup(*this);
    const CalibrationResult result = run(r.kind, read);
    EXPECT_EQ(wire(), r.wire);
    EXPECT_EQ(result.end, r.end);
    EXPECT_EQ(op.messages(), r.messages);
    EXPECT_EQ(result.reportedProblem(), r.problem);
    EXPECT_EQ(disconnects, r.disconnects);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortRuns,
    ::testing::Values(
        ShortRun{"DeclinedConfirmationSendsNothing", CalibrationKind::General,
                 [](CalibrationTest &t) { t.op.okCancelAnswers = {Choice::Cancel}; }, {}, CalibrationEnd::Cancelled,
                 {}, false, 0},
        ShortRun{"SpanRefusesToStartWithoutALoad", CalibrationKind::Span,
                 [](CalibrationTest &t) {
                     t.sim.device.onRead(0, [](sim::VirtualIndicator &d, int, int) { d.setLong(0, 0); });
                 },
                 {"R 0 2"}, CalibrationEnd::NoLoad, {"T281"}, true, 0},
        ShortRun{"CancelledWeightEndsASpanWithoutFinishing", CalibrationKind::Span,
                 [](CalibrationTest &t) { t.op.inputAnswers = {std::nullopt}; }, {"R 0 2"}, CalibrationEnd::Cancelled,
                 {}, false, 0},
        ShortRun{"RefusedAnswerDropsTheLink", CalibrationKind::Zero,
                 [](CalibrationTest &t) {
                     t.sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 22, 1});
                 },
                 {"W 22 0001"}, CalibrationEnd::Refused, {"T309"}, false, 1},
        // "@9": the line answered, the indicator cannot calibrate now; the link stays.
        ShortRun{"BusyIndicatorEndsASpanBeforeTheWeightEntry", CalibrationKind::Span,
                 [](CalibrationTest &t) {
                     t.sim.device.addFault({sim::FaultKind::Busy, sim::FaultScope::Register, 0, 1});
                 },
                 {"R 0 2"}, CalibrationEnd::Busy, {kBusy}, true, 0},
        ShortRun{"BusyIndicatorAfterTheRangeBlockEndsAGeneralCalibration", CalibrationKind::General,
                 [](CalibrationTest &t) {
                     t.sim.device.addFault({sim::FaultKind::Busy, sim::FaultScope::Command, 20, 1});
                 },
                 {"W 19 000C", "R 146 2", "W 144 00013984", "W 146 00000000", "W 19 0013", "W 128 0000",
                  "W 129 1E09", "W 130 1E09", "W 149 0100", "W 150 010101010101", "W 19 000D", "W 19 0009",
                  "W 22 0001", "W 19 0014"},
                 CalibrationEnd::Busy, {kBusy}, true, 0}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- the indicator stays busy, refuses a span, refuses a zero -------------------

struct StaysBusy : CalibrationTest {
    StaysBusy() : CalibrationTest({.busyPolls = 1000}) {}
};

TEST_F(StaysBusy, ThePollGivesUpAfterFifteenTriesAndTheRunGoesOn)
{
    const RangeReading read = enter();
    clearWire();
    const double before = sim.clock.elapsed();
    const CalibrationResult result = run(CalibrationKind::Zero, read);
    const QStringList fifteen(15, QStringLiteral("R 23 1"));
    EXPECT_EQ(wire(), (QStringList{"W 22 0001", "W 22 0003"} + fifteen + QStringList{"W 22 0002"} + fifteen));
    EXPECT_EQ(op.messages(), QStringList({"T282\nT283\nT284", "T282\nT283\nT284"}));
    EXPECT_EQ(op.calls[1].icon, Icon::Critical);
    ASSERT_GE(op.steps.size(), 17u);
    EXPECT_EQ(op.steps[15].first, "T262 - 15");
    EXPECT_EQ(op.steps[16].first, "T237");
    EXPECT_EQ(op.steps[16].second, Tone::Failure);
    EXPECT_TRUE(result.pollGaveUp);
    EXPECT_TRUE(result.reportedProblem());
    // 15 polls a second apart and a second after the message, twice.
    EXPECT_GE(sim.clock.elapsed() - before, 2 * (15 * 1.0 + 1));
}

struct RefusesOneSpan : CalibrationTest {
    RefusesOneSpan() : CalibrationTest({.spanRefusals = 1}) {}
};

TEST_F(RefusesOneSpan, ARefusedSpanGoesBackToTheWeightEntry)
{
    const RangeReading read = enter();
    clearWire();
    op.inputAnswers = {QStringLiteral("50"), QStringLiteral("60")};
    const CalibrationResult result = run(CalibrationKind::Span, read);
    EXPECT_EQ(wire(), (QStringList{"R 0 2", "W 22 0001", "W 20 000001F4", "W 22 0004"} + kPoll
                          + QStringList{"W 22 0001", "W 20 00000258", "W 22 0004"} + kPoll
                          + QStringList{"W 22 0002"} + kPoll));
    EXPECT_EQ(op.messages(), QStringList({"T285\nT286"}));
    EXPECT_EQ(op.count(ScriptedOperator::Kind::Input), 2);
    EXPECT_EQ(result.end, CalibrationEnd::Finished);
    EXPECT_TRUE(result.stepRefused);
}

TEST_F(RefusesOneSpan, WithNoOneToTypeAgainAGeneralCalibrationStillFinishes)
{
    const RangeReading read = enter();
    clearWire();
    op.inputAnswers = {QStringLiteral("50"), std::nullopt};
    const CalibrationResult result = run(CalibrationKind::General, read);
    EXPECT_EQ(wire().mid(wire().size() - 4), QStringList{"W 22 0002"} + kPoll);
    EXPECT_EQ(result.end, CalibrationEnd::Cancelled);
    EXPECT_TRUE(result.stepRefused);
    EXPECT_TRUE(result.reportedProblem());
}

TEST_F(CalibrationTest, ARefusedZeroStepEndsTheRunInsteadOfAskingForAWeight)
{
    const RangeReading read = enter();
    // The zero step ends with result code 31.
    sim.device.onRead(23, [](sim::VirtualIndicator &d, int, int) {
        if (d.reg(23) == 0x0000)
            d.setReg(23, 0x0031);
    });
    clearWire();
    const CalibrationResult result = run(CalibrationKind::General, read);
    EXPECT_EQ(result.end, CalibrationEnd::StepRefused);
    EXPECT_EQ(op.messages(), QStringList({"T285\nT287"}));
    EXPECT_EQ(op.count(ScriptedOperator::Kind::Input), 0);
    EXPECT_FALSE(wire().contains("W 22 0004"));
    EXPECT_FALSE(wire().contains("W 22 0002"));
}

// ---- the range read -------------------------------------------------------------

TEST_F(CalibrationTest, AHardwareWordWithALineFeedByteKeepsBothFlags)
{
    sim.device.setReg(25, 0x0A10);  // A = 0x0A: bit 3 set; B = 0x10: bit 4 set
    const RangeReading read = enter();
    ASSERT_TRUE(read.hardware);
    EXPECT_TRUE(read.hardware->CalibrationPermitted);
    EXPECT_TRUE(read.hardware->AnalogCardPresent);
}

// A cut answer reads the whole range again (command 7 to register 128); three cut
// answers leave it unknown.
TEST_F(CalibrationTest, AnIncompleteRangeReadLeavesTheRangeUnknownAndGeneralIsRefused)
{
    sim.device.addFault({sim::FaultKind::Partial, sim::FaultScope::Register, 128, 1});
    const RangeReading once = enter();
    ASSERT_TRUE(once.range) << "read again after one cut answer";
    EXPECT_EQ(once.range->codes, (RangeCodes{0, 30, 9, 30, 9, 1}));
    EXPECT_EQ(wire(), QStringList({"R 25 1", "R 195 1", "W 19 0007", "R 149 5", "W 19 000C", "R 128 3", "W 19 0007",
                                   "R 149 5", "W 19 000C", "R 128 3"}));
    EXPECT_TRUE(op.messages().isEmpty());

    sim.device.addFault({sim::FaultKind::Partial, sim::FaultScope::Register, 128, RangeReadAttempts});
    const RangeReading read = enter();
    EXPECT_FALSE(read.range);
    EXPECT_EQ(read.permitted(), std::optional<bool>(true));
    clearWire();
    const CalibrationResult result = run(CalibrationKind::General, read, RangeCodes{0, 30, 9, 30, 9, 1});
    EXPECT_EQ(result.end, CalibrationEnd::MissingField);
    EXPECT_EQ(op.messages(), QStringList({"T313"}));
    EXPECT_TRUE(wire().isEmpty()) << "no zeros written over the metrological bytes";
}

TEST_F(CalibrationTest, ARefusedCommandOnEnteringDropsTheLink)
{
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Command, 7, 1});
    const RangeReading read = enter();
    EXPECT_TRUE(read.refused);
    EXPECT_FALSE(read.range);
    EXPECT_EQ(op.messages(), QStringList({"T309"}));
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(wire(), QStringList({"R 25 1", "R 195 1", "W 19 0007"}));
}

// The same two bits the status tab reads (its walking-one test): A bit 3 and B bit 4.
TEST(HardwareFlags, OnlyABit3AndBBit4)
{
    for (int bit = 0; bit < 16; ++bit) {
        const HardwareFlags flags = HardwareFlagsOf(bit < 8 ? 1 << bit : 0, bit < 8 ? 0 : 1 << (bit - 8));
        EXPECT_EQ(flags.CalibrationPermitted, bit == 3) << "bit " << bit;
        EXPECT_EQ(flags.AnalogCardPresent, bit == 12) << "bit " << bit;
    }
}

// ---- checks before anything is sent --------------------------------------------

TEST(CalibrationChecks, RefuseBeforeSendingWithTheirText)
{
    const RangeChoice dual{1, 30, 9, 46, 10, 1};
    const struct {
        const char *name;
        std::optional<bool> permitted;
        RangeChoice choice;
        CalibrationKind kind;
        CalibrationEnd expected;
        const char *message;  // "" for none
    } cases[] = {
        {"NotPermitted", false, dual, CalibrationKind::Zero, CalibrationEnd::NotPermitted, "T310"},
        {"PermissionUnknown", std::nullopt, dual, CalibrationKind::Zero, CalibrationEnd::NotPermitted, "T310"},
        {"DualSameDivisions", true, {1, 30, 9, 46, 9, 1}, CalibrationKind::General, CalibrationEnd::BadDivisions,
         "T328"},
        {"DualSmallerSecondDivision", true, {1, 30, 9, 46, 8, 1}, CalibrationKind::Zero, CalibrationEnd::BadDivisions,
         "T328"},
        {"SingleIgnoresTheSecondRange", true, {0, 30, 9, 46, 8, 1}, CalibrationKind::General,
         CalibrationEnd::Finished, ""},
        {"EmptyDivision", true, {0, 30, std::nullopt, 30, 9, 1}, CalibrationKind::Zero, CalibrationEnd::MissingField,
         "T313"},
        {"NotPermittedComesFirst", false, {1, 30, 9, 46, 9, std::nullopt}, CalibrationKind::General,
         CalibrationEnd::NotPermitted, "T310"},
    };
    const LanguageTexts texts = test::NumberedTexts();
    for (const auto &c : cases) {
        ScriptedOperator op;
        CalibrationRequest request;
        request.kind = c.kind;
        request.choice = c.choice;
        request.calibrationPermitted = c.permitted;
        request.indicator = RangeSettings{{0, 30, 9, 30, 9, 1}, 0, {1, 1, 1}};
        EXPECT_EQ(CheckCalibration(request, op, texts), c.expected) << c.name;
        EXPECT_EQ(op.messages(), *c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList{}) << c.name;
    }
}

// ---- the test weight ------------------------------------------------------------

// Cut, not rounded, and the capacity itself taken: the span sequence tests.
TEST(TestWeightEntry, BecomesUnitsOfTheLastDecimal)
{
    const struct { const char *name, *entry, *capacity, *division; WeightCheck check; qint64 units; } cases[] = {
        {"Hundredths", "12.5", "100", "0.01", WeightCheck::Ok, 1250},
        {"Comma", "12,5", "100", "0.01", WeightCheck::Ok, 1250},
        {"WholeDivisionDropsDecimals", "5.7", "1000", "1", WeightCheck::Ok, 5},
        {"LeadingPoint", ".5", "10", "0.1", WeightCheck::Ok, 5},
        {"AboveTheCapacity", "150.01", "150", "0.01", WeightCheck::AboveCapacity, 0},
        {"BelowOneUnit", "0.04", "150", "0.1", WeightCheck::Zero, 0},
        {"Letters", "12a", "150", "0.1", WeightCheck::NotANumber, 0},
        {"Negative", "-5", "150", "0.1", WeightCheck::NotANumber, 0},
    };
    for (const auto &c : cases) {
        const TestWeight w = CheckTestWeight(QString::fromLatin1(c.entry), QString::fromLatin1(c.capacity),
                                             QString::fromLatin1(c.division));
        EXPECT_EQ(w.check, c.check) << c.name;
        if (c.check == WeightCheck::Ok) {
            EXPECT_EQ(w.units, c.units) << c.name;
        }
    }
}

// What the entry shows is what goes: the fraction cut to the division's decimals.
TEST(TestWeightCut, KeepsTheDivisionsDecimalsOnly)
{
    EXPECT_EQ(CutTestWeight("100,55", "0.1"), "100.5");
    EXPECT_EQ(CutTestWeight("100.59", "0.1"), "100.5") << "cut, not rounded";
    EXPECT_EQ(CutTestWeight("2.0049", "0.005"), "2.004");
    EXPECT_EQ(CutTestWeight("62.5", "1"), "62") << "no fraction with a whole division";
    EXPECT_EQ(CutTestWeight("100.", "0.1"), "100.") << "a point just typed stays";
    EXPECT_EQ(CutTestWeight("12", "0.01"), "12");
    EXPECT_EQ(CutTestWeight("1a.55", "0.1"), "1a.55") << "no number: left to the check";
    CalibrationRequest span;
    span.kind = CalibrationKind::Span;
    EXPECT_EQ(TestWeightDivision(span), QString()) << "no range read";
    span.indicator = RangeSettings{};
    span.indicator->codes.division1 = 9;  // 0.1
    EXPECT_EQ(TestWeightDivision(span), "0.1");
    span.kind = CalibrationKind::Zero;
    EXPECT_EQ(TestWeightDivision(span), QString());
}

TEST(TestWeightSuggestion, IsHalfTheCapacity)
{
    EXPECT_EQ(SuggestedTestWeight("300"), "150");
    EXPECT_EQ(SuggestedTestWeight("125"), "62.5");
}

}  // namespace
