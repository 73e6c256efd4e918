// The rules the window and the tool share: what a model has, the reading time a user
// may give, the range and the test weight against a metrology profile, and connecting
// with the range learnt, run against the virtual indicator.

#include "calibration/RangeCheck.h"
#include "link/Features.h"
#include "link/LineLease.h"
#include "link/ReadingTime.h"
#include "params/Connection.h"
#include "support/RequestText.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

namespace vx::test {
namespace {

using sim::FaultKind;
using sim::FaultScope;

// ---- what a model has -------------------------------------------------------------

TEST(ModelFeatures, OnlyTheZr2HasTheMemoriesThePrinterTextTheClockAndTheExtendedRows)
{
    const ModelFeatures zr2 = FeaturesOf(Model::ZR2);
    EXPECT_TRUE(zr2.idMemory);
    EXPECT_TRUE(zr2.setpointMemory);
    EXPECT_TRUE(zr2.eplPrinter);
    EXPECT_TRUE(zr2.clock);
    EXPECT_TRUE(zr2.extendedParameters);
    // A ZR1, a model not chosen yet and a version text naming neither have none of it.
    for (Model model : {Model::ZR1, Model::None, Model::Other}) {
        const ModelFeatures f = FeaturesOf(model);
        EXPECT_FALSE(f.idMemory || f.setpointMemory || f.eplPrinter || f.clock || f.extendedParameters)
            << "model " << int(model);
    }
}

// ---- the reading time -------------------------------------------------------------

struct ReadingTimeCase {
    const char *name;
    const char *typed;
    std::optional<double> seconds;
};

class ValidReadingTimeTest : public ::testing::TestWithParam<ReadingTimeCase> {};

TEST_P(ValidReadingTimeTest, AcceptsSecondsFromNoneToAMinute)
{
    const ReadingTimeCase &c = GetParam();
    EXPECT_EQ(ValidReadingTime(QString::fromUtf8(c.typed)), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, ValidReadingTimeTest,
    ::testing::Values(ReadingTimeCase{"Zero", "0", 0.0}, ReadingTimeCase{"Fraction", "0.15", 0.15},
                      ReadingTimeCase{"DecimalComma", "0,5", 0.5}, ReadingTimeCase{"BlanksAround", " 2 ", 2.0},
                      ReadingTimeCase{"AMinute", "60", 60.0}, ReadingTimeCase{"JustAboveAMinute", "60.001", std::nullopt},
                      ReadingTimeCase{"Negative", "-0.1", std::nullopt}, ReadingTimeCase{"Empty", "", std::nullopt},
                      ReadingTimeCase{"Word", "fast", std::nullopt},
                      ReadingTimeCase{"NumberThenText", "1s", std::nullopt},
                      ReadingTimeCase{"NotANumber", "nan", std::nullopt},
                      ReadingTimeCase{"Infinite", "inf", std::nullopt}),
    [](const ::testing::TestParamInfo<ReadingTimeCase> &info) { return std::string(info.param.name); });

TEST(ReadingTimeLimits, AreNoneAndAMinute)
{
    EXPECT_EQ(MinReadingTime, 0.0);
    EXPECT_EQ(MaxReadingTime, 60.0);
}

// ---- the range against the metrology profile --------------------------------------

// Capacity code 22 is 100 kg; division codes 5, 6 and 7 are 0.005, 0.01 and 0.02.
MetrologyProfiles profiles()
{
    MetrologyProfiles p;
    StoreMetrologyLine(p.N, QStringLiteral("22 - 100 Kg;5 - 0.005;6 - 0.01;7 - 0.02;"), 22);
    StoreMetrologyLine(p.M1, QStringLiteral("22 - 100 Kg;6 - 0.01;"), 22);
    StoreMetrologyLine(p.M2, QStringLiteral("22 - 100 Kg;7 - 0.02;"), 22);
    return p;
}

RangeCodes range(int mode, int division1, int division2, int metrology)
{
    return RangeCodes{.mode = mode, .capacity1 = 22, .division1 = division1, .capacity2 = 22,
                      .division2 = division2, .metrology = metrology};
}

TEST(RangeAgainstProfile, ADivisionOfferedForItsCapacityPasses)
{
    EXPECT_FALSE(CheckRangeAgainstProfile(range(0, 5, 3, 0), profiles()));       // normal, single
    EXPECT_FALSE(CheckRangeAgainstProfile(range(0, 6, 3, 1), profiles()));       // legal trade, single
    EXPECT_FALSE(CheckRangeAgainstProfile(range(1, 7, 7, 1), profiles()));       // legal trade, dual
    EXPECT_FALSE(CheckRangeAgainstProfile(range(1, 5, 7, 0), profiles()));       // normal, dual
}

TEST(RangeAgainstProfile, NamesTheRangeTheProfileAndWhatItOffers)
{
    // The normal profile does not offer 0.001 (code 3) for 100 kg.
    std::optional<ProfileMismatch> m = CheckRangeAgainstProfile(range(0, 3, 5, 0), profiles());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->range, 1);
    EXPECT_EQ(m->capacity, 22);
    EXPECT_EQ(m->division, 3);
    EXPECT_EQ(m->profile, ProfileTag::N);
    EXPECT_EQ(m->offered, (std::vector<int>{5, 6, 7}));

    // Legal trade on a single range: 0.005 is a normal division, not a legal-trade one.
    m = CheckRangeAgainstProfile(range(0, 5, 5, 1), profiles());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->profile, ProfileTag::M1);
    EXPECT_EQ(m->offered, std::vector<int>{6});

    // Dual range: the 2nd is checked once the 1st passes, against the dual profile.
    m = CheckRangeAgainstProfile(range(1, 7, 6, 1), profiles());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->range, 2);
    EXPECT_EQ(m->division, 6);
    EXPECT_EQ(m->profile, ProfileTag::M2);
    EXPECT_EQ(m->offered, std::vector<int>{7});
}

TEST(RangeAgainstProfile, ACapacityTheProfileDoesNotListOffersNothing)
{
    RangeCodes codes = range(0, 5, 5, 0);
    codes.capacity1 = 30;
    const std::optional<ProfileMismatch> m = CheckRangeAgainstProfile(codes, profiles());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->capacity, 30);
    EXPECT_TRUE(m->offered.empty());
}

// ---- the test weight --------------------------------------------------------------

TEST(TestWeightRange, IsTheChosenRangeForAGeneralCalibrationAndTheHeldOneForASpan)
{
    CalibrationRequest request;
    request.choice.capacity1 = 22;
    request.choice.division1 = 6;
    request.indicator = RangeSettings{.codes = range(0, 5, 5, 0)};
    request.indicator->codes.capacity1 = 30;

    request.kind = CalibrationKind::General;
    std::optional<WeighingRange> r = TestWeightRange(request);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->capacity, 22);
    EXPECT_EQ(r->division, 6);
    EXPECT_EQ(r->capacityText(), "100");
    EXPECT_EQ(r->divisionText(), "0.01");

    request.kind = CalibrationKind::Span;
    r = TestWeightRange(request);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->capacity, 30);
    EXPECT_EQ(r->division, 5);

    request.kind = CalibrationKind::Zero;
    EXPECT_FALSE(TestWeightRange(request));

    // Without a division chosen, or without the range read, there is nothing to weigh in.
    request.kind = CalibrationKind::General;
    request.choice.division1.reset();
    EXPECT_FALSE(TestWeightRange(request));
    request.kind = CalibrationKind::Span;
    request.indicator.reset();
    EXPECT_FALSE(TestWeightRange(request));
}

TEST(TestWeight, IsCheckedAgainstTheCapacityAndInUnitsOfTheDivision)
{
    const WeighingRange hundredByHundredth{22, 6};  // 100 kg by 0.01
    EXPECT_EQ(CheckTestWeight("150", hundredByHundredth).check, WeightCheck::AboveCapacity);
    const TestWeight w = CheckTestWeight("12,5", hundredByHundredth);
    EXPECT_EQ(w.check, WeightCheck::Ok);
    EXPECT_EQ(w.units, 1250);
    EXPECT_EQ(CheckTestWeight("0.001", hundredByHundredth).check, WeightCheck::Zero);
    EXPECT_EQ(CheckTestWeight("100", hundredByHundredth).units, 10000);
}

TEST(TestWeight, ItsShapeIsKnownBeforeAnyRange)
{
    EXPECT_EQ(CheckTestWeightShape("12.5"), WeightCheck::Ok);
    EXPECT_EQ(CheckTestWeightShape("0,5"), WeightCheck::Ok);
    EXPECT_EQ(CheckTestWeightShape("250000"), WeightCheck::Ok) << "no capacity yet to be above";
    EXPECT_EQ(CheckTestWeightShape("0"), WeightCheck::Zero);
    EXPECT_EQ(CheckTestWeightShape("0.0000001"), WeightCheck::Zero);
    EXPECT_EQ(CheckTestWeightShape("-5"), WeightCheck::NotANumber);
    EXPECT_EQ(CheckTestWeightShape("1e3"), WeightCheck::NotANumber);
    EXPECT_EQ(CheckTestWeightShape("kg"), WeightCheck::NotANumber);
}

// ---- connecting and learning the range ---------------------------------------------

struct ConnectTest : ::testing::Test, SimLink {
    ConnectTest()
    {
        sim.port.close();  // every operation begins from a closed port
        link.settings.PortNumber = QStringLiteral("1");
        sim.device.setReg(149, 0x0100);  // legal trade
        sim.device.setReg(129, 0x1E05);  // 1st range: 300 kg (code 30) by 0.005 (code 5)
        sim.device.setReg(130, 0x1E05);  // 2nd range the same
        sim.port.clearFramesSent();
    }
    QStringList sent() const { return RequestTexts(sim.port.framesSent()); }
};

TEST_F(ConnectTest, ReadsTheVersionThenTheRangeAndLeavesTheLineFree)
{
    const Connection c = ConnectAndLearnRange(link);
    ASSERT_TRUE(c.connected());
    EXPECT_EQ(sent(), (QStringList{"199/10", "19=7", "149/2", "19=12", "128/6"}));
    EXPECT_EQ(c.version.versionText, "ZR2 V2.20 ");
    EXPECT_EQ(c.version.model, Model::ZR2);
    ASSERT_TRUE(c.range);
    EXPECT_EQ(c.range->codes, (RangeCodes{0, 30, 5, 30, 5, 1}));
    EXPECT_EQ(c.range->format.WeightFormatReference, "300.045");
    EXPECT_FALSE(sim.port.isOpen());
    EXPECT_FALSE(link.lineHeld());
    EXPECT_TRUE(op.calls.empty());
}

TEST_F(ConnectTest, WithoutTheRangeOnlyTheVersionIsRead)
{
    sim.device.setModel("ZR1 V1.07");
    const Connection c = ConnectAndLearnRange(link, LearnRange::No);
    ASSERT_TRUE(c.connected());
    EXPECT_EQ(sent(), QStringList{"199/10"});
    EXPECT_EQ(c.version.model, Model::ZR1);
    EXPECT_FALSE(c.range);
}

TEST_F(ConnectTest, ARefusedVersionReadAsksNothingMoreAndSaysNothing)
{
    for (FaultKind kind : {FaultKind::Refuse, FaultKind::NoAnswer}) {
        sim.device.clearFaults();
        sim.device.addFault({kind, FaultScope::Register, 199});
        sim.port.clearFramesSent();
        const Connection c = ConnectAndLearnRange(link);
        EXPECT_EQ(c.version.outcome, VersionResult::Outcome::Refused) << int(kind);
        EXPECT_FALSE(c.range);
        EXPECT_EQ(sent(), QStringList{"199/10"});
        EXPECT_FALSE(sim.port.isOpen());
        EXPECT_TRUE(op.calls.empty()) << "the caller reports the refusal";
    }
}

TEST_F(ConnectTest, ARangeThatCannotBeReadLeavesTheConnectionWithoutIt)
{
    sim.device.addFault({FaultKind::Refuse, FaultScope::Command, 7});
    const Connection c = ConnectAndLearnRange(link);
    EXPECT_TRUE(c.connected());
    EXPECT_FALSE(c.range);
    EXPECT_EQ(sent(), (QStringList{"199/10", "19=7"}));
    EXPECT_FALSE(sim.port.isOpen());
}

TEST_F(ConnectTest, APortThatDoesNotOpenIsTriedTenTimesAndReportedOnce)
{
    sim.port.setOpenError(PortErr::Other);
    const int opensBefore = sim.port.openCount();
    const Connection c = ConnectAndLearnRange(link);
    EXPECT_EQ(c.version.outcome, VersionResult::Outcome::PortFailed);
    EXPECT_EQ(c.version.portError, PortErr::Other);
    EXPECT_EQ(sim.port.openCount() - opensBefore, 10);
    EXPECT_EQ(op.dialogCount(), 1);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_FALSE(link.lineHeld());

    // A port that does not exist is not tried again.
    op.clear();
    sim.port.setOpenError(PortErr::NoSuchPort);
    const int opensThen = sim.port.openCount();
    EXPECT_EQ(ConnectAndLearnRange(link).version.portError, PortErr::NoSuchPort);
    EXPECT_EQ(sim.port.openCount() - opensThen, 1);
    EXPECT_EQ(op.messages(), QStringList{"COM1 bulunmamaktadır"});
}

TEST_F(ConnectTest, InsideAnOperationItJoinsItAndTheLineStaysOpen)
{
    LineLease operation(link);
    ASSERT_TRUE(operation);
    const Connection c = ConnectAndLearnRange(link);
    EXPECT_TRUE(c.range);
    EXPECT_TRUE(sim.port.isOpen());
    EXPECT_TRUE(link.lineHeld());
    // The operation goes on on the same line.
    EXPECT_FALSE(link.readRaw(25, 2).isEmpty());
    operation.release();
    EXPECT_FALSE(sim.port.isOpen());
}

}  // namespace
}  // namespace vx::test
