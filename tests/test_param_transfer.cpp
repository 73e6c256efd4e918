// Reading and writing the parameters against the in-process virtual indicator: the
// order of transfers, what lands in the grid rows' values, the stops on
// bad answers, the write groups, the clamp, the abort, the range (TaksimatBul) and a
// read-edit-write-read round trip. What a calibration writes to the range registers is
// pinned register by register by the calibration tests.

#include "link/Transaction.h"
#include "params/BlockCodec.h"
#include "params/Editing.h"
#include "params/ParameterSet.h"
#include "params/Range.h"
#include "params/Transfer.h"
#include "shell/TextService.h"
#include "support/RequestText.h"
#include "support/SimLink.h"
#include "support/ShippedTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using namespace vx;
using vx::sim::FaultKind;
using vx::sim::FaultRule;
using vx::sim::FaultScope;
using vx::test::RequestTexts;

namespace {

struct ParameterTransferTest : ::testing::Test, test::SimLink {
    ParameterTransferTest()
    {
        link.decode.weekdayNames = texts.lines().weekdayNames();
        link.AbortRequested = false;
        // The range registers (the calibration module's): one range, 300 kg in steps of 0,005 kg.
        sim.device.setReg(128, 0x0000);
        sim.device.setReg(129, 0x1E05);
        sim.device.setReg(130, 0x1E05);
        sim.device.setReg(149, 0x0000);
        set.weight.WeightFormatReference = "300.045";
        set.weight.DecimalsPattern = "005";
        LayOutGrid(set, texts.lines(), Model::ZR2);
    }

    ParameterReadResult read(Model model = Model::ZR2) { return ParametreHostOku(link, set, texts, model, disconnect); }
    QStringList sent() const { return RequestTexts(sim.port.framesSent()); }
    QStringList values() const
    {
        QStringList out;
        for (int row = 0; row < ParameterSet::RowCount; ++row)
            out << set.value(row);
        return out;
    }

    TextService texts = test::ShippedEnglish();
    ParameterSet set;
};

// ---- reading --------------------------------------------------------------------

TEST_F(ParameterTransferTest, ReadTransfersInTheIndicatorsOrderAndFillsTheGrid)
{
    const ParameterReadResult r = read();
    ASSERT_TRUE(r.completed);
    EXPECT_EQ(sent(), (QStringList{"19=19", "19=5", "124/8", "19=12", "128/40", "19=7", "149/50", "174/50",
                                   "199/10", "204/10", "19=20"}));
    EXPECT_EQ(r.sendBoxesToTick, (std::vector<int>{5, 6, 7}));
    EXPECT_TRUE(op.calls.empty());
    EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
    EXPECT_EQ(op.progressValue[ProgressId::Main], 15);

    // 12 March 2026 was a Thursday; the indicator's clock runs from 10:00:00.
    EXPECT_TRUE(set.value(1).startsWith("12-03-26 \\ 10:00:0")) << qPrintable(set.value(1));
    EXPECT_EQ(set.clockSuffix(), " \\ Thursday");
    // A few rows of each block (every value kind: the block decode tests).
    EXPECT_EQ(set.value(3), "0- Normal");
    EXPECT_EQ(set.value(18), "000.200");
    EXPECT_EQ(set.rowValue(18), RowValue::of(200));
    EXPECT_EQ(set.value(30), "3-9600");
    EXPECT_EQ(set.value(69), "1 - 32768");
    EXPECT_EQ(set.rowValue(69), RowValue::of(98304));
    EXPECT_EQ(set.value(79), "60000");
    EXPECT_EQ(set.rowValue(79), RowValue::of(60000));
    EXPECT_EQ(set.value(82), "ZR2 V2.20 ");
    EXPECT_EQ(set.value(83), "SN0001234");
}

TEST_F(ParameterTransferTest, AZR1ReadFillsTheRowsItHides)
{
    sim.device.setModel("ZR1 V1.07");
    ASSERT_TRUE(read(Model::ZR1).completed);
    // The rows a ZR1 hides (the catalogue tests pin which) are filled all the same.
    for (int row : {1, 14, 18, 19, 20, 21, 27, 52, 54, 55}) {
        EXPECT_TRUE(set.isHidden(row)) << row;
        EXPECT_FALSE(set.value(row).isEmpty()) << row;
    }
    EXPECT_EQ(set.value(82), "ZR1 V1.07 ");
}

// A bad answer ends the read where it stands: text 309, the disconnect, no command 20.
struct ReadStop {
    const char *name;
    FaultRule fault;
    QStringList transfers;
    int failedRegister;
    bool blocksFilled;  // rows 62-76 got values before the stop
};

class ReadStopTest : public ParameterTransferTest, public ::testing::WithParamInterface<ReadStop> {};

TEST_P(ReadStopTest, StopsWithoutLeavingHostMode)
{
    const ReadStop &c = GetParam();
    sim.device.addFault(c.fault);
    const ParameterReadResult r = read();
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.failedRegister, c.failedRegister);
    EXPECT_EQ(sent(), c.transfers);
    EXPECT_EQ(op.messages(), QStringList{texts.line(309)});
    EXPECT_EQ(op.last().icon, Icon::Critical);
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
    EXPECT_EQ(r.sendBoxesToTick, (std::vector<int>{5, 6, 7}));
    // Nothing of the configuration block: neither half came whole.
    for (int row : {3, 13, 18, 30, 51, 56, 58, 60, 78, 79})
        EXPECT_TRUE(set.value(row).isEmpty()) << row;
    EXPECT_EQ(set.value(69).isEmpty(), !c.blocksFilled);
}

const QStringList kUpToConfiguration = {"19=19", "19=5", "124/8", "19=12", "128/40", "19=7", "149/50", "174/50"};

INSTANTIATE_TEST_SUITE_P(
    BadAnswers, ReadStopTest,
    ::testing::Values(
        ReadStop{"FirstConfigurationAnswerRefused", {FaultKind::Refuse, FaultScope::Register, 149, -1},
                 kUpToConfiguration, 149, true},
        ReadStop{"SecondConfigurationAnswerRefused", {FaultKind::Refuse, FaultScope::Register, 174, -1},
                 kUpToConfiguration, 174, true},
        ReadStop{"FirstConfigurationAnswerCutOff", {FaultKind::Partial, FaultScope::Register, 149, -1},
                 kUpToConfiguration, 149, true},
        ReadStop{"CalibrationBlockNoise", {FaultKind::Noise, FaultScope::Register, 128, -1},
                 {"19=19", "19=5", "124/8", "19=12", "128/40"}, 128, false},
        ReadStop{"FirstCommandUnanswered", {FaultKind::NoAnswer, FaultScope::Command, 5, -1},
                 {"19=19", "19=5"}, 19, false}),
    [](const ::testing::TestParamInfo<ReadStop> &info) { return std::string(info.param.name); });

TEST_F(ParameterTransferTest, ARefusedModelTextStopsTheReadAfterTheBlocks)
{
    sim.device.addFault({FaultKind::Refuse, FaultScope::Register, 204, -1});
    const ParameterReadResult r = read();
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(sent().last(), "204/10");
    EXPECT_EQ(set.value(30), "3-9600") << "rows read before the stop keep their values";
    EXPECT_EQ(set.value(82), "ZR2 V2.20 ");
    EXPECT_TRUE(set.value(83).isEmpty());
}

// ---- writing --------------------------------------------------------------------

TEST_F(ParameterTransferTest, OnlyTheJmpBoxGivesExactlyItsFourTransfersAndSwapsTheWeightRowsBack)
{
    ASSERT_TRUE(read().completed);
    sim.port.clearFramesSent();
    QStringList duringWrite;
    sim.device.onWrite(149, [&](sim::VirtualIndicator &, int, const QByteArray &) {
        duringWrite = {set.value(18), set.value(20), set.value(56)};
    });

    const ParameterWriteResult r = ParametreHostYaz(link, set, texts, {.jmp = true});

    EXPECT_FALSE(r.aborted);
    EXPECT_EQ(sent(), (QStringList{"19=19", "149:10", "19=9", "19=20"}));
    EXPECT_EQ(duringWrite, (QStringList{"200", "2500", "20"})) << "raw values while the write runs";
    EXPECT_EQ(set.value(18), "000.200");
    EXPECT_EQ(set.value(20), "002.500");
    EXPECT_EQ(set.value(56), "000.020");
    EXPECT_EQ(op.steps.front().first, texts.line(304));
}

TEST_F(ParameterTransferTest, AllBoxesGiveTheFullOrder)
{
    ASSERT_TRUE(read().completed);
    sim.port.clearFramesSent();
    const ParameterWriteResult r = ParametreHostYaz(link, set, texts, WriteGroups::all());
    EXPECT_FALSE(r.aborted);
    EXPECT_FALSE(r.dateTimeSkipped);
    EXPECT_EQ(sent(), (QStringList{"124:8", "19=6", "19=19", "128:20", "138:4", "142:12", "19=13", "19=20",
                                   "19=19", "149:10", "19=9", "19=20", "19=19", "154:12", "160:14", "167:8",
                                   "171:8", "175:8", "179:8", "183:14", "190:4", "19=8", "19=20"}));
    QStringList steps;
    for (const auto &s : op.steps)
        steps << s.first;
    EXPECT_EQ(steps, (QStringList{texts.line(303), texts.line(304), texts.line(305)}));
}

TEST_F(ParameterTransferTest, BlocksAreConfirmedAndTheGroupCommandsAroundThemArePlain)
{
    ASSERT_TRUE(read().completed);
    sim.port.clearFramesSent();
    // One lost answer each: a confirmed write sends again, a plain one does not.
    sim.device.addFault({FaultKind::NoAnswer, FaultScope::Command, 9, 1});
    sim.device.addFault({FaultKind::NoAnswer, FaultScope::Command, 20, 1});
    sim.device.addFault({FaultKind::NoAnswer, FaultScope::Register, 149, 1});
    ParametreHostYaz(link, set, texts, {.jmp = true});
    EXPECT_EQ(sent(), (QStringList{"19=19", "149:10", "149:10", "19=9", "19=9", "19=20"}));
    EXPECT_TRUE(op.calls.empty()) << "two attempts need no question";
}

TEST_F(ParameterTransferTest, AbortLeavesHostModeRestoresTheWeightRowsAndSendsNothingMore)
{
    ASSERT_TRUE(read().completed);
    sim.port.clearFramesSent();
    sim.device.addFault({FaultKind::NoAnswer, FaultScope::Register, 138, -1});
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    const ParameterWriteResult r = ParametreHostYaz(link, set, texts, WriteGroups::all());
    EXPECT_TRUE(r.aborted);
    QStringList expected = {"124:8", "19=6", "19=19", "128:20"};
    for (int i = 0; i < 9; ++i)
        expected << "138:4";
    expected << "19=20";
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(op.count(test::ScriptedOperator::Kind::AbortRetryIgnore), 1);
    EXPECT_EQ(set.value(18), "000.200");
    EXPECT_EQ(set.value(56), "000.020");
}

TEST_F(ParameterTransferTest, Row21IsHeldBetween5And9Comma9)
{
    ASSERT_TRUE(read().completed);
    // One after another, each changing the byte the one before left.
    const struct { const char *typed, *held; int byte; } cases[] = {
        {"4,2", "5", 0x32}, {"12", "9,9", 0x63}, {"7.5", "7.5", 0x4B}, {"", "5", 0x32}, {"9,9", "9,9", 0x63},
    };
    for (const auto &c : cases) {
        set.setValue(21, QString::fromUtf8(c.typed));
        ParametreHostYaz(link, set, texts, {.nrm = true});
        EXPECT_EQ(set.value(21), QString::fromUtf8(c.held)) << "typed " << c.typed;
        EXPECT_EQ(sim.device.reg(162) & 0xFF, c.byte) << "byte 27 of the configuration block, typed " << c.typed;
    }
}

TEST_F(ParameterTransferTest, AnImpossibleDateIsNotSentToTheClock)
{
    ASSERT_TRUE(read().completed);
    set.setValue(1, "31-04-26 \\ 10:00:00");
    sim.port.clearFramesSent();
    const ParameterWriteResult r = ParametreHostYaz(link, set, texts, {.dateTime = true, .jmp = true});
    EXPECT_TRUE(r.dateTimeSkipped);
    EXPECT_EQ(sent(), (QStringList{"19=19", "149:10", "19=9", "19=20"}));
    EXPECT_EQ(op.messages(), QStringList{texts.builtIn(BuiltIn::DateTimeNotSent)});
}

TEST_F(ParameterTransferTest, TheClockIsSetFromRow1)
{
    ASSERT_TRUE(read().completed);
    set.setValue(1, "07-03-26 \\ 09:05:00");
    ParametreHostYaz(link, set, texts, {.dateTime = true});
    ASSERT_TRUE(read().completed);
    EXPECT_TRUE(set.value(1).startsWith("07-03-26 \\ 09:05:0")) << qPrintable(set.value(1));
    EXPECT_EQ(set.clockSuffix(), " \\ Saturday");
}

TEST_F(ParameterTransferTest, ReadEditWriteReadChangesExactlyWhatWasEdited)
{
    ASSERT_TRUE(read().completed);
    std::map<int, quint16> before;
    for (int reg = 128; reg <= 198; ++reg)
        before[reg] = sim.device.reg(reg);

    params::PortFunctionWatch watch;
    params::ApplyChoice(set, watch, 30, "5-38400", texts.lines());  // [001], byte 37
    params::ApplyText(set, 19, "7");                               // [102], byte 22
    params::ApplyText(set, 56, "1,5");                             // [045], bytes 72-75: 1500
    const QStringList edited = values();
    ParametreHostYaz(link, set, texts, {.calibration = true, .jmp = true, .nrm = true});

    std::map<int, quint16> changed;
    for (int reg = 128; reg <= 198; ++reg)
        if (sim.device.reg(reg) != before[reg])
            changed[reg] = sim.device.reg(reg);
    EXPECT_EQ(changed, (std::map<int, quint16>{{160, 0x0700}, {167, 0x0305}, {186, 0x05DC}}));

    set.clearValues();
    ASSERT_TRUE(read().completed);
    QStringList again = values();
    again[1] = edited[1];  // the clock runs on
    EXPECT_EQ(again, edited);
}

// ---- the range ------------------------------------------------------------------

TEST_F(ParameterTransferTest, TaksimatBulReadsTheRangeAndClosesThePort)
{
    sim.device.setReg(149, 0x0100);
    sim.port.clearFramesSent();
    const std::optional<IndicatorRange> range = TaksimatBul(link);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(sent(), (QStringList{"19=7", "149/2", "19=12", "128/6"}));
    EXPECT_EQ(range->codes, (RangeCodes{0, 30, 5, 30, 5, 1}));
    EXPECT_EQ(range->format.RangeCapacity, 300.0);
    EXPECT_EQ(range->format.WeightFormatReference, "300.045");
    EXPECT_EQ(range->format.NegativeCapacityTenth, -30.0);
    EXPECT_EQ(range->format.DivisionIntegerText, "0");
    EXPECT_EQ(range->format.DecimalsPattern, "005");
    EXPECT_FALSE(sim.port.isOpen());
}

TEST_F(ParameterTransferTest, TaksimatBulGivesNothingForARefusalOrCodesOutsideTheLists)
{
    // A refusal ends the range read at once: it is not read again.
    sim.device.addFault({FaultKind::Refuse, FaultScope::Command, 7, 1});
    sim.port.clearFramesSent();
    EXPECT_FALSE(TaksimatBul(link).has_value());
    EXPECT_EQ(sent(), QStringList{"19=7"});

    // A whole answer with a code outside the lists: reading it again would give the same.
    sim.device.setReg(129, 0x1E00);  // division code 0 does not exist
    sim.port.clearFramesSent();
    EXPECT_FALSE(TaksimatBul(link).has_value());
    EXPECT_EQ(sent(), (QStringList{"19=7", "149/2", "19=12", "128/6"}));
    sim.device.setReg(129, 0x1E05);
}

// A lost or cut answer, or a command the indicator did not acknowledge, reads the whole
// range again; after three tries without a whole range nothing is known, so no weight
// is shown or sent at a guessed number of decimals.
TEST_F(ParameterTransferTest, TaksimatBulReadsTheRangeAgainAfterALostAnswer)
{
    const QStringList once{"19=7", "149/2", "19=12", "128/6"};
    struct Case {
        const char *name;
        FaultRule fault;
        bool found;
        int tries;
    };
    const Case cases[] = {
        {"range answer cut once", {FaultKind::Partial, FaultScope::Register, 128, 1}, true, 2},
        {"metrology answer lost once", {FaultKind::NoAnswer, FaultScope::Register, 149, 1}, true, 2},
        {"command 7 lost twice", {FaultKind::NoAnswer, FaultScope::Command, 7, 2}, true, 3},
        {"command 12 lost once", {FaultKind::NoAnswer, FaultScope::Command, 12, 1}, true, 2},
        {"range answer cut three times", {FaultKind::Partial, FaultScope::Register, 128, 3}, false, 3},
        {"range answer noise three times", {FaultKind::Noise, FaultScope::Register, 128, 3}, false, 3},
    };
    for (const Case &c : cases) {
        sim.device.clearFaults();
        sim.device.addFault(c.fault);
        sim.port.clearFramesSent();
        const std::optional<IndicatorRange> range = TaksimatBul(link);
        EXPECT_EQ(range.has_value(), c.found) << c.name;
        QStringList expected;
        for (int i = 0; i < c.tries; ++i)
            expected << once;
        EXPECT_EQ(sent(), expected) << c.name;
        if (range) {
            EXPECT_EQ(range->format.WeightFormatReference, "300.045") << c.name;
        }
        EXPECT_FALSE(sim.port.isOpen()) << c.name;
    }
}

}  // namespace
