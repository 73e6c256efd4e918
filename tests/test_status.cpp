// The status reading against the virtual indicator: what crosses the wire, the
// typed reading, what lands in the status grid and what the operator sees.

#include "monitor/Status.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct StatusReadingTest : ::testing::Test, test::SimLink {
    StatusReadingTest() {}

    void setWords(int opA, int opB, int hwA, int hwB)
    {
        sim.device.setReg(2, quint16(opA << 8 | opB));
        sim.device.setReg(25, quint16(hwA << 8 | hwB));
    }

    QStringList cells(int first, int last) const
    {
        QStringList out;
        for (int row = first; row <= last; ++row)
            out << grid.cell(row, 1);
        return out;
    }

    StatusReading read()
    {
        last = StatuOku(link, texts, disconnect);
        ShowStatusReading(grid, last, texts, format);
        return last;
    }

    LanguageTexts texts = test::NumberedTexts();
    StatusTable grid;
    StatusFormat format;
    StatusReading last;
};

TEST_F(StatusReadingTest, ReadsEveryRegisterInOrderBetweenHostModeCommands)
{
    ASSERT_TRUE(read().complete());
    // No address, checksum on: host mode, registers 0 3 5, 7 into 8, 11 13 15, 2, 25, host mode off.
    EXPECT_EQ(sim.port.framesSent(),
              QStringList({"@1000130001020013C7\r", "@0300000002FB\r", "@0300030002F8\r", "@0300050002F6\r",
                           "@1000080001020007DE\r", "@03000B0002F0\r", "@03000D0002EE\r", "@03000F0002EC\r",
                           "@0300020001FA\r", "@0300190001E3\r", "@1000130001020014C6\r"}));
    EXPECT_TRUE(op.calls.empty());
    EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
    EXPECT_EQ(op.progressValue[ProgressId::Main], 10);
}

// Bit by bit: a word with one bit set must change exactly the row that bit belongs
// to, so a swapped row mapping fails. Rows 7-18 with every bit clear show:
const QStringList kOperatingClear = {"T235", "T237", "T239", "T241", "T241", "T243",
                                     "T243", "T243", "T243", "T243", "T243", "T245"};

TEST_F(StatusReadingTest, OperatingWordWalkingOne)
{
    setWords(0, 0, 0, 0);
    read();
    EXPECT_EQ(cells(7, 18), kOperatingClear);

    struct Bit { const char *name; int a, b; int row; const char *text; };
    const Bit bits[] = {
        {"B0", 0, 0x01, 7, "T236"},  {"B1", 0, 0x02, 8, "T238"},  {"B2", 0, 0x04, 9, "T240"},
        {"B3", 0, 0x08, 10, "T242"}, {"B4", 0, 0x10, 11, "T242"}, {"B5", 0, 0x20, 12, "T244"},
        {"B6", 0, 0x40, 13, "T244"}, {"B7", 0, 0x80, 14, "T244"}, {"A0", 0x01, 0, 15, "T244"},
        {"A1", 0x02, 0, 16, "T244"}, {"A2", 0x04, 0, 17, "T244"}, {"A3", 0x08, 0, 0, nullptr},
        {"A4", 0x10, 0, 0, nullptr}, {"A5", 0x20, 0, 18, "T246"}, {"A6", 0x40, 0, 18, "T247"},
        {"A7", 0x80, 0, 18, "T249"},
    };
    for (const Bit &bit : bits) {
        setWords(bit.a, bit.b, 0, 0);
        read();
        QStringList expected = kOperatingClear;
        if (bit.text)
            expected[bit.row - 7] = QString::fromLatin1(bit.text);
        EXPECT_EQ(cells(7, 18), expected) << bit.name;
    }
    // The mode number of A bits 7-5: 5 is the last with a text of its own, 6 and 7 share one.
    for (const auto &[a, text] : {std::pair{0xA0, "T250"}, {0xC0, "T251"}, {0xE0, "T251"}}) {
        setWords(a, 0, 0, 0);
        read();
        EXPECT_EQ(grid.cell(18, 1), QString::fromLatin1(text)) << a;
    }
}

TEST_F(StatusReadingTest, HardwareWordWalkingOne)
{
    const QStringList clear = {"T243", "0", "T241", "T241", "T241", "T241", "T241"};  // rows 23-29
    struct Bit { const char *name; int a, b; int row; const char *text; bool calibration, analog; };
    const Bit bits[] = {
        {"B0", 0, 0x01, 23, "T244", false, false}, {"B1", 0, 0x02, 24, "1", false, false},
        {"B2", 0, 0x04, 24, "2", false, false},    {"B3", 0, 0x08, 24, "4", false, false},
        {"B4", 0, 0x10, 25, "T242", false, true},  {"B5", 0, 0x20, 26, "T242", false, false},
        {"B6", 0, 0x40, 27, "T242", false, false}, {"B7", 0, 0x80, 28, "T242", false, false},
        {"A0", 0x01, 0, 29, "T242", false, false}, {"A1", 0x02, 0, 0, nullptr, false, false},
        {"A2", 0x04, 0, 0, nullptr, false, false}, {"A3", 0x08, 0, 0, nullptr, true, false},
        {"A4", 0x10, 0, 0, nullptr, false, false}, {"A5", 0x20, 0, 0, nullptr, false, false},
        {"A6", 0x40, 0, 0, nullptr, false, false}, {"A7", 0x80, 0, 0, nullptr, false, false},
    };
    for (const Bit &bit : bits) {
        setWords(0, 0, bit.a, bit.b);
        const StatusReading r = read();
        QStringList expected = clear;
        if (bit.text)
            expected[bit.row - 23] = QString::fromLatin1(bit.text);
        EXPECT_EQ(cells(23, 29), expected) << bit.name;
        EXPECT_EQ(r.flags().CalibrationPermitted, bit.calibration) << bit.name;
        EXPECT_EQ(r.flags().AnalogCardPresent, bit.analog) << bit.name;
    }
    setWords(0, 0, 0x00, 0x0E);
    read();
    EXPECT_EQ(grid.cell(24, 1), "7");
}

TEST_F(StatusReadingTest, BytesZeroLineFeedAndUndefinedCodesReachTheFlags)
{
    // A = line feed, B = 0; 0x81 and 0x9D have no character in the Turkish code page.
    setWords(0x0A, 0x00, 0x9D, 0x81);
    ASSERT_TRUE(read().complete());
    EXPECT_EQ(last.operating, (StatusWord{0x0A, 0x00}));
    EXPECT_EQ(last.hardware->word, (StatusWord{0x9D, 0x81}));
    EXPECT_EQ(cells(15, 17), QStringList({"T243", "T244", "T243"}));  // A bits 0-2 of 0x0A

    // Read again: the words keep every byte each time.
    const StatusReading again = read();
    EXPECT_TRUE(again.complete());
    EXPECT_EQ(again.operating, (StatusWord{0x0A, 0x00}));
    EXPECT_EQ(again.hardware->word, (StatusWord{0x9D, 0x81}));
}

TEST_F(StatusReadingTest, MeasuredValuesAreFormattedAndOnlyRewrittenWhenChanged)
{
    sim.device.onRead(0, [](sim::VirtualIndicator &d, int, int) { d.setLong(0, 1234); });
    sim.device.onRead(11, [](sim::VirtualIndicator &d, int, int) { d.setLong(11, 5); });
    format = {QStringLiteral("3000.5"), 2};
    read();
    EXPECT_EQ(grid.cell(1, 1), "0123.4");
    EXPECT_EQ(grid.cell(4, 1), "0,05");

    grid.setCell(1, 1, "edited");
    read();
    EXPECT_EQ(grid.cell(1, 1), "edited");  // same value: row not rewritten

    sim.device.onRead(0, [](sim::VirtualIndicator &d, int, int) { d.setLong(0, -25); });
    read();
    EXPECT_EQ(grid.cell(1, 1), "-0002.5");
}

TEST_F(StatusReadingTest, LaterRegistersWithoutAnswerLeaveTheirRowsEmptyAndTheFlagsUnknown)
{
    read();
    ASSERT_FALSE(grid.cell(2, 1).isEmpty());
    for (int reg : {3, 13, 2, 25})
        sim.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Register, reg});
    const StatusReading r = read();
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(r.unanswered, (std::vector<int>{3, 13, 2, 25}));
    EXPECT_FALSE(r.flags().CalibrationPermitted.has_value());
    EXPECT_FALSE(r.flags().AnalogCardPresent.has_value());
    for (int row : {2, 5, 7, 12, 18, 23, 24, 29})
        EXPECT_EQ(grid.cell(row, 1), QString()) << row;  // never the previous value
    for (int row : {1, 3, 4, 6})
        EXPECT_FALSE(grid.cell(row, 1).isEmpty()) << row;
    EXPECT_TRUE(op.calls.empty());
    EXPECT_EQ(disconnects, 0);
    EXPECT_EQ(sim.device.commands(), (std::vector<int>{19, 20, 19, 20}));
}

TEST_F(StatusReadingTest, FirstRequestUnansweredOrRefusedShowsRefusalAndDisconnects)
{
    for (sim::FaultKind kind : {sim::FaultKind::NoAnswer, sim::FaultKind::Refuse}) {
        SCOPED_TRACE(int(kind));
        op.clear();
        sim.device.clearFaults();
        read();  // a good reading first: the failed one must not leave its values
        sim.device.clearCommands();
        sim.port.clearFramesSent();
        disconnects = 0;
        qsizetype framesAtMessage = -1;
        op.onCall = [&](const test::ScriptedOperator::Call &) { framesAtMessage = sim.port.framesSent().size(); };
        sim.device.addFault({kind, sim::FaultScope::Register, 0});
        const StatusReading r = read();
        EXPECT_TRUE(r.refused);
        EXPECT_FALSE(r.complete());
        ASSERT_EQ(op.calls.size(), 1u);
        EXPECT_EQ(op.calls[0].text, "T309");
        EXPECT_EQ(op.calls[0].icon, Icon::Critical);
        EXPECT_EQ(disconnects, 1);
        EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
        // Host mode is left before the message; nothing else is asked.
        EXPECT_EQ(framesAtMessage, 3);
        EXPECT_EQ(sim.port.framesSent(),
                  QStringList({"@1000130001020013C7\r", "@0300000002FB\r", "@1000130001020014C6\r"}));
        for (int row : {1, 7, 23})
            EXPECT_EQ(grid.cell(row, 1), QString()) << row;
    }
}

}  // namespace
