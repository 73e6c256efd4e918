// The status reading against the virtual indicator: what crosses the wire, what
// lands in the status grid and what the operator sees.

#include "link/Transaction.h"
#include "monitor/Status.h"
#include "shell/LanguageTexts.h"
#include "sim/InProcessPort.h"
#include "sim/LiveStatus.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"
#include "support/ScriptedOperator.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// Language texts "T<line>" so the grid shows which line was chosen.
LanguageTexts numberedTexts()
{
    LanguageTexts texts;
    for (int line = 1; line <= LanguageTexts::LineCount; ++line)
        texts.setText(line, QStringLiteral("T%1").arg(line));
    return texts;
}

class StatusReadingTest : public ::testing::Test {
protected:
    StatusReadingTest() : port(device, clock), log(dir.filePath("ZRxLog.txt")), link(port, clock, op, log)
    {
        sim::InstallLiveStatus(device, [this] { return clock.elapsed(); });
        link.decode.currentTab = Tab::Status;
        port.open("COM1", "9600,N,8,1");
    }

    void setWords(quint8 opA, quint8 opB, quint8 hwA, quint8 hwB)
    {
        device.setReg(2, quint16(opA << 8 | opB));
        device.setReg(25, quint16(hwA << 8 | hwB));
    }

    QStringList cells(int first, int last) const
    {
        QStringList out;
        for (int row = first; row <= last; ++row)
            out << grid.cell(row, 1);
        return out;
    }

    bool read()
    {
        StatusReading reading{link, texts, grid, flags, kept, reference, decimals, [this] { ++disconnects; }};
        return StatuOku(reading);
    }

    QTemporaryDir dir;
    sim::VirtualIndicator device;
    sim::VirtualClock clock;
    sim::InProcessPort port;
    test::ScriptedOperator op;
    CommsLog log;
    Link link;
    LanguageTexts texts = numberedTexts();
    StatusTable grid;
    MonitorFlags flags;
    std::array<QVariant, 3> kept;
    QString reference;
    int decimals = 0;
    int disconnects = 0;
};

TEST_F(StatusReadingTest, ReadsEveryRegisterInOrderBetweenHostModeCommands)
{
    ASSERT_TRUE(read());
    QStringList registers;
    for (const QString &request : device.requests()) {
        const QString fn = request.mid(1, 2);
        registers << fn + QLatin1Char(':') + QString::number(request.mid(3, 4).toInt(nullptr, 16));
    }
    EXPECT_EQ(registers.join(QLatin1Char(' ')),
              QStringLiteral("10:19 03:0 03:3 03:5 10:8 03:11 03:13 03:15 03:2 03:25 10:19"));
    EXPECT_EQ(device.commands(), (std::vector<int>{19, 20}));
    EXPECT_EQ(device.reg(8), 7);
    EXPECT_TRUE(op.calls.empty());
    EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
    EXPECT_EQ(op.progressValue[ProgressId::Main], 10);
}

TEST_F(StatusReadingTest, OperatingWordDecodesBitByBit)
{
    // Rows 7-17 show one bit each (a pair of texts: clear, set), row 18 the number in A bits 7-5.
    setWords(0x20, 0x01, 0x00, 0x00);  // n = 1, only B bit 0 set
    ASSERT_TRUE(read());
    EXPECT_EQ(cells(7, 18), QStringList({"T236", "T237", "T239", "T241", "T241", "T243", "T243", "T243", "T243",
                                         "T243", "T243", "T246"}));
    setWords(0xE7, 0xFE, 0x00, 0x00);  // n = 7; every shown bit set but B bit 0
    ASSERT_TRUE(read());
    EXPECT_EQ(cells(7, 18), QStringList({"T235", "T238", "T240", "T242", "T242", "T244", "T244", "T244", "T244",
                                         "T244", "T244", "T251"}));
}

TEST_F(StatusReadingTest, BytesZeroAndLineFeedSurviveOnlyOnTheStatusTab)
{
    setWords(0x0A, 0x00, 0x00, 0x0A);  // A = line feed, B = 0
    ASSERT_TRUE(read());
    EXPECT_EQ(cells(7, 17), QStringList({"T235", "T237", "T239", "T241", "T241", "T243", "T243", "T243", "T243",
                                         "T244", "T243"}));  // A bits 0-2 on rows 15-17
    EXPECT_EQ(grid.cell(24, 1), "5");  // B = 0x0A: bits 3 and 1

    // On the header tab both bytes are dropped by text decoding: the rows keep their text.
    grid.setCell(16, 1, "unchanged");
    link.decode.currentTab = Tab::Header;
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(16, 1), "unchanged");
}

TEST_F(StatusReadingTest, EveryByteValueReachesTheFlags)
{
    // 0x81 and 0x9D have no character in the Turkish code page; the bits must still arrive.
    setWords(0x9D, 0x81, 0x00, 0x00);
    ASSERT_TRUE(read());
    EXPECT_EQ(cells(7, 18), QStringList({"T236", "T237", "T239", "T241", "T241", "T243", "T243", "T244", "T244",
                                         "T243", "T244", "T249"}));  // A bits 7,6,5 = 100: n = 4
}

TEST_F(StatusReadingTest, HardwareWordSetsRowsAndFlags)
{
    setWords(0, 0, 0x08, 0x10);
    ASSERT_TRUE(read());
    EXPECT_EQ(cells(23, 29), QStringList({"T243", "0", "T242", "T241", "T241", "T241", "T241"}));
    EXPECT_TRUE(flags.CalibrationPermitted);
    EXPECT_TRUE(flags.AnalogCardPresent);

    setWords(0, 0, 0x00, 0x0E);
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(24, 1), "7");
    EXPECT_FALSE(flags.CalibrationPermitted);
    EXPECT_FALSE(flags.AnalogCardPresent);
}

TEST_F(StatusReadingTest, MeasuredValuesAreFormattedAndOnlyRewrittenWhenChanged)
{
    device.onRead(0, [](sim::VirtualIndicator &d, int, int) { d.setLong(0, 1234); });
    device.onRead(11, [](sim::VirtualIndicator &d, int, int) { d.setLong(11, 5); });
    reference = QStringLiteral("3000.5");
    decimals = 2;
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(1, 1), "0123.4");
    EXPECT_EQ(grid.cell(4, 1), "0,05");

    grid.setCell(1, 1, "edited");
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(1, 1), "edited");  // same value: row not rewritten

    device.onRead(0, [](sim::VirtualIndicator &d, int, int) { d.setLong(0, -25); });
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(1, 1), "-0002.5");
}

TEST_F(StatusReadingTest, FirstRequestUnansweredOrRefusedShowsRefusalAndDisconnects)
{
    for (sim::FaultKind kind : {sim::FaultKind::NoAnswer, sim::FaultKind::Refuse}) {
        SCOPED_TRACE(int(kind));
        op.clear();
        device.clearCommands();
        disconnects = 0;
        device.clearFaults();
        device.addFault({kind, sim::FaultScope::Register, 0});
        EXPECT_FALSE(read());
        ASSERT_EQ(op.calls.size(), 1u);
        EXPECT_EQ(op.calls[0].text, "T309");
        EXPECT_EQ(op.calls[0].icon, Icon::Critical);
        EXPECT_EQ(disconnects, 1);
        EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
        // Nothing after the first read but leaving host mode again.
        EXPECT_EQ(device.commands(), (std::vector<int>{19, 20}));
        EXPECT_EQ(grid.cell(7, 1), QString());
    }
}

TEST_F(StatusReadingTest, FirstReadingClearsHardwareRowsOnlyOnce)
{
    grid.setCell(23, 1, "stale");
    device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Register, 25});
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(23, 1), QString());  // cleared before the first reading
    grid.setCell(23, 1, "kept");
    ASSERT_TRUE(read());
    EXPECT_EQ(grid.cell(23, 1), "kept");  // row 9 filled: no more clearing
}

}  // namespace
