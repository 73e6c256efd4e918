// The display read against the in-process virtual indicator: the gross and the net
// weight (registers 0 and 3), shown with the range's decimals; a register whose
// answer is not a whole frame gives no value, and neither whole gives nothing.

#include "monitor/DisplayRead.h"
#include "link/WeightFormat.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

namespace vx::test {
namespace {

// A read request as "R reg count": the register and the register count by position
// ("@", function 03, register, count, checksum, CR).
QString describe(const QString &frame)
{
    return QStringLiteral("R %1 %2").arg(frame.mid(3, 4).toInt(nullptr, 16)).arg(frame.mid(7, 4).toInt(nullptr, 16));
}

struct DisplayReadTest : ::testing::Test, SimLink {
    DisplayReadTest()
    {
        // Fixed weights instead of the moving ones of the live status.
        weigh(12345, -50);
    }
    void weigh(qint32 gross, qint32 net)
    {
        sim.device.onRead(0, [gross](sim::VirtualIndicator &d, int, int) { d.setLong(0, gross); });
        sim.device.onRead(3, [net](sim::VirtualIndicator &d, int, int) { d.setLong(3, net); });
    }
    QStringList wire() const
    {
        QStringList out;
        for (const QString &frame : sim.port.framesSent())
            out << describe(frame);
        return out;
    }
};

TEST_F(DisplayReadTest, ReadsGrossAndNetWithTheRangesDecimals)
{
    const std::optional<DisplayReading> shown = ReadDisplay(link, 2);
    ASSERT_TRUE(shown);
    EXPECT_EQ(wire(), QStringList({"R 0 2", "R 3 2"}));
    ASSERT_TRUE(shown->gross);
    ASSERT_TRUE(shown->net);
    EXPECT_EQ(shown->gross->units, 12345);
    EXPECT_EQ(shown->gross->text(), "123,45");
    EXPECT_DOUBLE_EQ(shown->gross->value(), 123.45);
    EXPECT_EQ(shown->net->units, -50);
    EXPECT_EQ(shown->net->text(), "-0,50");
    EXPECT_DOUBLE_EQ(shown->net->value(), -0.5);
}

TEST_F(DisplayReadTest, WithoutDecimalsTheDigitsStandAlone)
{
    weigh(300, 0);
    const std::optional<DisplayReading> shown = ReadDisplay(link, 0);
    ASSERT_TRUE(shown && shown->gross && shown->net);
    EXPECT_EQ(shown->gross->text(), "300");
    EXPECT_EQ(shown->net->text(), "0");
}

TEST_F(DisplayReadTest, ABigWeightKeepsAllItsDigits)
{
    // Beyond 16 bits: both registers of each value count (FFF0BDC0 is -1000000).
    weigh(2000000000, -1000000);
    const std::optional<DisplayReading> shown = ReadDisplay(link, 3);
    ASSERT_TRUE(shown && shown->gross && shown->net);
    EXPECT_EQ(shown->gross->text(), "2000000,000");
    EXPECT_EQ(shown->net->text(), "-1000,000");
}

TEST_F(DisplayReadTest, NeitherAnswerWholeGivesNothing)
{
    sim.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Always, 0});
    EXPECT_FALSE(ReadDisplay(link, 1));
    EXPECT_EQ(wire(), QStringList({"R 0 2", "R 3 2"})) << "both are asked for";
}

TEST_F(DisplayReadTest, AClosedPortGivesNothing)
{
    sim.port.close();
    EXPECT_FALSE(ReadDisplay(link, 1));
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
}

// The stable bit: bit 0 of the operating word's second byte (register 2), one read
// of one register; 0A and 00 bytes are kept; a word that did not come whole is no
// answer, never "not stable".
TEST_F(DisplayReadTest, TheStableBitIsBitZeroOfTheSecondByte)
{
    struct Case {
        QByteArray word;
        std::optional<bool> stable;
    };
    for (const Case &c : {Case{QByteArray::fromHex("2003"), true}, Case{QByteArray::fromHex("2002"), false},
                          Case{QByteArray::fromHex("0A01"), true}, Case{QByteArray::fromHex("FF00"), false}}) {
        sim.device.setBytes(2, c.word);
        sim.port.clearFramesSent();
        EXPECT_EQ(ReadStable(link), c.stable) << c.word.toHex().toStdString();
        EXPECT_EQ(wire(), QStringList({"R 2 1"}));
    }
    for (sim::FaultKind kind : {sim::FaultKind::NoAnswer, sim::FaultKind::Partial, sim::FaultKind::Refuse}) {
        sim.device.addFault({kind, sim::FaultScope::Register, 2, 1});
        EXPECT_EQ(ReadStable(link), std::nullopt) << int(kind);
    }
}

// One register's answer spoilt, the other whole: only the whole one is a value.
struct Spoilt {
    const char *name;
    sim::FaultKind kind;
    int reg;
};

class DisplayReadFaultTest : public DisplayReadTest, public ::testing::WithParamInterface<Spoilt> {};

TEST_P(DisplayReadFaultTest, OnlyTheWholeAnswerGivesAValue)
{
    const Spoilt &s = GetParam();
    sim.device.addFault({s.kind, sim::FaultScope::Register, s.reg});
    const std::optional<DisplayReading> shown = ReadDisplay(link, 1);
    ASSERT_TRUE(shown) << "the other register answered";
    if (s.reg == 0) {
        EXPECT_FALSE(shown->gross);
        ASSERT_TRUE(shown->net);
        EXPECT_EQ(shown->net->text(), "-5,0");
    } else {
        EXPECT_FALSE(shown->net);
        ASSERT_TRUE(shown->gross);
        EXPECT_EQ(shown->gross->text(), "1234,5");
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DisplayReadFaultTest,
                         ::testing::Values(Spoilt{"GrossMissing", sim::FaultKind::NoAnswer, 0},
                                           Spoilt{"GrossCut", sim::FaultKind::Partial, 0},
                                           Spoilt{"GrossRefused", sim::FaultKind::Refuse, 0},
                                           Spoilt{"GrossBusy", sim::FaultKind::Busy, 0},
                                           Spoilt{"GrossNoise", sim::FaultKind::Noise, 0},
                                           Spoilt{"NetMissing", sim::FaultKind::NoAnswer, 3},
                                           Spoilt{"NetCut", sim::FaultKind::Partial, 3},
                                           Spoilt{"NetRefused", sim::FaultKind::Refuse, 3},
                                           Spoilt{"NetBusy", sim::FaultKind::Busy, 3},
                                           Spoilt{"NetNoise", sim::FaultKind::Noise, 3}),
                         [](const ::testing::TestParamInfo<Spoilt> &info) { return std::string(info.param.name); });

TEST(DivisionDecimals, CountsTheDigitsAfterThePoint)
{
    EXPECT_EQ(DivisionDecimals("0.005"), 3);
    EXPECT_EQ(DivisionDecimals("0.1"), 1);
    EXPECT_EQ(DivisionDecimals("0.01"), 2);
    EXPECT_EQ(DivisionDecimals("2"), 0);
    EXPECT_EQ(DivisionDecimals("50"), 0);
}

}  // namespace
}  // namespace vx::test
