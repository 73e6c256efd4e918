// The memory and ticket sequences against the in-process virtual indicator: what
// crosses the wire (frames written out by hand, no address, checksum off), what
// lands in the working copies and on the indicator, and what the operator sees.

#include "memory/Transfers.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vx;

namespace {

QString rep(const char *hexByte, int times) { return QString::fromLatin1(hexByte).repeated(times); }

WeightFormat withDecimals(int decimals)
{
    WeightFormat f;
    f.DecimalsPattern = QString(decimals, QLatin1Char('0'));
    return f;
}

const QString HostOn = QStringLiteral("@1000130001020013\r");
const QString HostOff = QStringLiteral("@1000130001020014\r");

struct MemoryTransferTest : ::testing::Test, test::SimLink {
    MemoryTransferTest() : SimLink(test::WithoutChecksum()) {}

    QStringList frames() const { return sim.port.framesSent(); }
    void clearFrames() { sim.port.clearFramesSent(); }

    TextService texts = test::NumberedTextService();
};

// ---------------------------------------------------------------------------
// ID memory

TEST_F(MemoryTransferTest, IdWriteSendsEveryRecordTheExtraSelectorAndBothHeaders)
{
    IdMemory memory;
    memory.setRecord(0, "1234", "ACME");
    memory.setRecord(1, "7", "ŞEKER FABRİKASI");
    memory.setRecord(2, "42", "Z");
    memory.setRecord(100, "999999", "LAST ONE");
    memory.setIdHeader(0, "FİRMA");
    memory.setIdHeader(1, "PLAKA");
    IdMemoryBlock block;
    IdMemoryToRecord(memory, block);

    EXPECT_EQ(IDYaz(link, block, texts), TransferResult::Completed);
    const QStringList sent = frames();
    // Session, 101 records and the extra one (record and store each), two headers, session end.
    ASSERT_EQ(sent.size(), 1 + 2 * 102 + 4 + 1);
    EXPECT_EQ(sent[0], HostOn);
    EXPECT_EQ(sent[1], "@100069000C18" "00" "000004D2" "41434D45" + rep("20", 12) + "0000\r");
    EXPECT_EQ(sent[2], "@100013000102000B\r");
    EXPECT_EQ(sent[3], "@100069000C18" "01" "00000007" "DE454B45522046414252DD4B41534920" "0000\r");
    EXPECT_TRUE(sent[5].startsWith("@100069000C18" "80" "0000002A" "5A20"));  // grid row 3: selector 128
    // Grid row 101, then the same record under the selector that follows (227).
    const QString last = "000F423F" "4C415354204F4E45" + rep("20", 8) + "0000\r";
    EXPECT_EQ(sent[201], "@100069000C18" "E2" + last);
    EXPECT_EQ(sent[203], "@100069000C18" "E3" + last);
    EXPECT_EQ(sent[204], "@100013000102000B\r");
    // The headers without their padding, each stored with command 16.
    EXPECT_EQ(sent[205], "@1000D100070E" "00" "46DD524D41" "00\r");
    EXPECT_EQ(sent[206], "@1000130001020010\r");
    EXPECT_EQ(sent[207], "@1000D100070E" "01" "504C414B41" "00\r");
    EXPECT_EQ(sent[208], "@1000130001020010\r");
    EXPECT_EQ(sent[209], HostOff);
    EXPECT_TRUE(op.calls.empty());

    EXPECT_EQ(sim::StoredId(sim.device, 0).number, 1234);
    EXPECT_EQ(sim::StoredId(sim.device, 1).name, "ŞEKER FABRİKASI ");
    EXPECT_EQ(sim::StoredId(sim.device, 100).number, 999999);
    EXPECT_EQ(sim::StoredId(sim.device, 50).number, 0);  // an empty row goes as 0
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 0), "FİRMA");
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 1), "PLAKA");

    // Read back: the same memory, a stale row emptied by the unused record under it.
    clearFrames();
    IdMemory back;
    back.setRecord(50, "55", "OLD");
    EXPECT_EQ(IDOKUHost(link, back, texts, disconnect), TransferResult::Completed);
    for (int record = 0; record < IdRecordCount; ++record) {
        EXPECT_EQ(back.number(record), memory.number(record)) << record;
        EXPECT_EQ(back.name(record), memory.name(record)) << record;
    }
    EXPECT_EQ(back.idHeader(0), "FİRMA");
    EXPECT_EQ(back.idHeader(1), "PLAKA");

    const QStringList read = frames();
    ASSERT_EQ(read.size(), 1 + 2 * 3 + 3 * 101 + 1);
    EXPECT_EQ(read[0], HostOn);
    EXPECT_EQ(read.mid(1, 6), QStringList({"@1000D10001020000\r", "@100013000102000F\r", "@0300D10007\r",
                                           "@1000D10001020100\r", "@100013000102000F\r", "@0300D10007\r"}));
    EXPECT_EQ(read.mid(7, 3), QStringList({"@1000690001020000\r", "@100013000102000A\r", "@030069000C\r"}));
    // The selectors of grid rows 2, 3 and 101.
    EXPECT_EQ(read[10], "@1000690001020100\r");
    EXPECT_EQ(read[13], "@1000690001028000\r");
    EXPECT_EQ(read[307], "@100069000102E200\r");
    EXPECT_EQ(read[310], HostOff);
    EXPECT_EQ(op.progressValue[ProgressId::Main], 101);
    EXPECT_FALSE(op.progressVisible[ProgressId::Small]);
}

TEST_F(MemoryTransferTest, AbortInTheMiddleOfAnIdWriteSkipsTheRest)
{
    // After the fifth record is stored the indicator stops answering; the operator aborts.
    int stored = 0;
    sim.device.onCommand(11, [&](sim::VirtualIndicator &d) {
        if (++stored == 5) {
            sim::FaultRule silent;
            silent.kind = sim::FaultKind::NoAnswer;
            d.addFault(silent);
        }
    });
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    IdMemory memory;
    for (int record = 0; record < IdRecordCount; ++record)
        memory.setRecord(record, QString::number(500 + record), QStringLiteral("N%1").arg(record));
    IdMemoryBlock block;
    IdMemoryToRecord(memory, block);

    EXPECT_EQ(IDYaz(link, block, texts), TransferResult::Aborted);
    EXPECT_TRUE(link.AbortRequested);
    EXPECT_EQ(op.count(test::ScriptedOperator::Kind::AbortRetryIgnore), 1);
    const QStringList sent = frames();
    // Session, five records stored, nine attempts at the sixth, the session's end.
    ASSERT_EQ(sent.size(), 1 + 2 * 5 + 9 + 1);
    for (int attempt = 11; attempt < 20; ++attempt)
        EXPECT_TRUE(sent[attempt].startsWith("@100069000C18" "83" "000001F9")) << attempt;
    EXPECT_EQ(sent.last(), HostOff);
    EXPECT_EQ(sim::StoredId(sim.device, 4).number, 504);
    EXPECT_EQ(sim::StoredId(sim.device, 5).number, 2001);  // as it was
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 0), "FİRMA");  // no header sent
}

// ---------------------------------------------------------------------------
// Setpoint memory

TEST_F(MemoryTransferTest, SetpointsScaledByTheDecimals)
{
    SetpointMemoryBlock block;
    block.Setpoint1[0] = "12,5";
    block.Setpoint2[0] = "";
    block.Setpoint3[0] = "-3,25";
    block.Setpoint1[8] = "0,05";
    EXPECT_EQ(STPYaz(link, block, withDecimals(2), texts), TransferResult::Completed);
    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), 1 + 2 * 9 + 1);
    EXPECT_EQ(sent[0], HostOn);
    EXPECT_EQ(sent[1], "@10007500070E" "00" "000004E2" "00000000" "FFFFFEBB" "00\r");
    EXPECT_EQ(sent[2], "@1000130001020002\r");
    EXPECT_EQ(sent[17], "@10007500070E" "08" "00000005" "00000000" "00000000" "00\r");
    EXPECT_EQ(sent[19], HostOff);
    EXPECT_EQ(sim::StoredSetpoint(sim.device, 0), (std::array<qint32, 3>{1250, 0, -325}));

    clearFrames();
    block = {};
    block.Setpoint1[0] = "12";
    EXPECT_EQ(STPYaz(link, block, withDecimals(0), texts), TransferResult::Completed);
    EXPECT_EQ(frames()[1], "@10007500070E" "00" "0000000C" "00000000" "00000000" "00\r");
}

TEST_F(MemoryTransferTest, SetpointsReadWithTheDecimalComma)
{
    sim::SetStoredSetpoint(sim.device, 0, {1250, 5, 0});
    sim::SetStoredSetpoint(sim.device, 8, {-1, 65535, 100});
    SetpointMemory memory;
    EXPECT_EQ(STPOKUHost(link, memory, withDecimals(2), texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.value(0, 0), "12,50");
    EXPECT_EQ(memory.value(0, 1), "0,05");
    EXPECT_EQ(memory.value(0, 2), "0,00");
    EXPECT_EQ(memory.value(8, 0), "655,35");
    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), 1 + 3 * 9 + 1);
    EXPECT_EQ(sent.mid(0, 4), QStringList({HostOn, "@1000750001020000\r", "@1000130001020001\r", "@0300750007\r"}));
    EXPECT_EQ(sent[25], "@1000750001020800\r");
    EXPECT_EQ(sent.last(), HostOff);

    EXPECT_EQ(STPOKUHost(link, memory, withDecimals(0), texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.value(8, 0), "65535");  // -1 before any decimal formatting
    EXPECT_EQ(memory.value(8, 1), "65535");
    EXPECT_EQ(memory.value(0, 0), "1250");
}

TEST_F(MemoryTransferTest, SetpointTooLongForTheWriteIsNotSentShortened)
{
    SetpointMemoryBlock block;
    block.Setpoint1[0] = "12";
    block.Setpoint3[1] = "1234567";
    EXPECT_EQ(STPYaz(link, block, withDecimals(0), texts), TransferResult::NotSent);
    EXPECT_TRUE(frames().isEmpty());
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages()[0].contains("SP Memory 2, Setpoint - 3: 1234567")) << qPrintable(op.messages()[0]);

    // The same digits fit once the decimals take two of them... but not at two decimals
    // when the text itself already has seven.
    block.Setpoint3[1] = "12345,67";
    EXPECT_EQ(STPYaz(link, block, withDecimals(2), texts), TransferResult::NotSent);
    block.Setpoint3[1] = "9999,99";
    EXPECT_EQ(STPYaz(link, block, withDecimals(2), texts), TransferResult::Completed);
    EXPECT_EQ(sim::StoredSetpoint(sim.device, 1)[2], 999999);
}

// ---------------------------------------------------------------------------
// Ticket lines

TEST_F(MemoryTransferTest, TicketLinesSentInTheirRegisters)
{
    TicketLayout layout;
    layout.setHeaderCentred(true);
    layout.setFootnoteCentred(false);
    layout.setLine(0, "ABC");
    layout.setLine(1, "HELLO");
    layout.setLine(4, "XY");
    TicketBlock block;
    TicketLinesToRecord(layout, block);

    const TicketWriteResult written = WriteTicketLines(link, block, PrinterKind::Ticket, texts);
    EXPECT_EQ(written.result, TransferResult::Completed);
    EXPECT_EQ(frames(), QStringList({
                            HostOn,
                            "@100028000A14" + rep("20", 8) + "414243" + rep("20", 9) + "\r",
                            "@100032000B16" "00" + rep("20", 8) + "48454C4C4F" + rep("20", 7) + "00\r",
                            "@10003D000A14" + rep("00", 20) + "\r",
                            "@100047000B16" + rep("00", 22) + "\r",
                            "@100053000A14" "5859" + rep("20", 18) + "\r",
                            // An empty footnote line 2: NUL, 20 NULs, NUL.
                            "@10005D000B16" + rep("00", 22) + "\r",
                            "@1000130001020004\r",
                            HostOff,
                        }));
    EXPECT_EQ(sim::StoredTicketLine(sim.device, 0), QByteArray("        ABC         ") + '\0');
    EXPECT_EQ(sim::StoredTicketLine(sim.device, 5), QByteArray(21, '\0'));
}

TEST_F(MemoryTransferTest, TicketLinesReadAgainAlike)
{
    const char *lines[6] = {"FIRST", "SECOND", "THIRD", "FOURTH", "FIFTH", "SIXTH"};
    for (int k = 0; k < 6; ++k)
        sim::SetStoredTicketLine(sim.device, k, QByteArray(lines[k]).leftJustified(20, ' ') + '\0');

    for (int pass = 1; pass <= 2; ++pass) {
        clearFrames();
        TicketLayout layout;
        layout.setHeaderCentred(false);
        layout.setFootnoteCentred(false);
        EXPECT_EQ(ReadTicketLines(link, layout, PrinterKind::Ticket, texts, disconnect), TransferResult::Completed);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(layout.line(k), QString::fromLatin1(lines[k]).leftJustified(20)) << "pass " << pass << " line " << k;
        EXPECT_EQ(frames(), QStringList({HostOn, "@1000130001020003\r", "@030028000A\r", "@030032000B\r",
                                         "@03003D000A\r", "@030047000B\r", "@030053000A\r", "@03005D000B\r",
                                         HostOff}));
    }
    EXPECT_TRUE(op.calls.empty());
}

// ---------------------------------------------------------------------------
// EPL text

TEST_F(MemoryTransferTest, FiveCharacterEplTextGoesAs250ChunksThenCommand21)
{
    TicketLayout layout;
    layout.setEplText("AP1");  // checked: it prints; a CR LF is added
    TicketBlock block;
    TicketLinesToRecord(layout, block);
    const TicketWriteResult written = WriteTicketLines(link, block, PrinterKind::Epl, texts);
    EXPECT_EQ(written.result, TransferResult::Completed);
    EXPECT_EQ(written.eplText, "AP1\r\n");

    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), 1 + 250 + 1 + 1);
    EXPECT_EQ(sent[1], "@1000D9000204" "4150310D" "\r");  // register 217
    EXPECT_EQ(sent[2], "@1000DD000204" "0A000000" "\r");  // 221
    EXPECT_EQ(sent[3], "@1000E1000204" "00000000" "\r");  // 225
    EXPECT_EQ(sent[250], "@1004BD000204" "00000000" "\r");  // 1213, the last chunk
    for (int k = 3; k <= 250; ++k)
        EXPECT_TRUE(sent[k].endsWith("00000000\r")) << k;
    EXPECT_EQ(sent[251], "@1000130001020015\r");
    EXPECT_EQ(sent[252], HostOff);
    EXPECT_EQ(sim::StoredEpl(sim.device).left(8), QByteArray("AP1\r\n\0\0\0", 8));
}

TEST_F(MemoryTransferTest, EplReadStopsAtTheFirstChunkWithANul)
{
    sim::SetStoredEpl(sim.device, "P1\r\n");
    TicketLayout layout;
    layout.setEplText("OLD");
    EXPECT_EQ(ReadTicketLines(link, layout, PrinterKind::Epl, texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(layout.eplText(), "P1\r\n");
    EXPECT_EQ(frames(), QStringList({HostOn, "@0300D90004\r", HostOff}));

    // Thirteen characters (0xDE is "Ş"): the second chunk holds the NUL.
    sim::SetStoredEpl(sim.device, "N\r\nA1,\xDE\r\nP1\r\n");
    clearFrames();
    EXPECT_EQ(ReadTicketLines(link, layout, PrinterKind::Epl, texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(layout.eplText(), "N\r\nA1,Ş\r\nP1\r\n");
    EXPECT_EQ(frames(), QStringList({HostOn, "@0300D90004\r", "@0300E10004\r", HostOff}));
}

// ---------------------------------------------------------------------------
// A record whose answer is missing or cut off is read again (select, load and read
// for a memory record), up to three tries; then the read ends as a refused one does:
// the refusal text, the link dropped, host mode left, nothing shown that did not
// come. A refusal ("@8") ends it at once.

struct ReadFault {
    const char *name;
    void (*arm)(MemoryTransferTest &);  // the faults
    bool refused;  // the read ends with the refusal
    int frames;    // sent in all, the closing host mode command included
    void (*run)(MemoryTransferTest &);  // runs the read and checks what it left
};

struct ReadFaults : MemoryTransferTest, ::testing::WithParamInterface<ReadFault> {
    // From the nth time the indicator carries out command `code`, `times` times, it
    // commits `kind` once on the next request to `reg` (the read of the record loaded).
    static void afterLoad(MemoryTransferTest &t, int code, int nth, int times, sim::FaultKind kind, int reg)
    {
        auto seen = std::make_shared<int>(0);
        t.sim.device.onCommand(code, [=](sim::VirtualIndicator &d) {
            ++*seen;
            if (*seen >= nth && *seen < nth + times)
                d.addFault({kind, sim::FaultScope::Register, reg, 1});
        });
    }
};

TEST_P(ReadFaults, ReadAgainOrEndedWithTheRefusal)
{
    const ReadFault &f = GetParam();
    f.arm(*this);
    f.run(*this);
    if (f.refused) {
        EXPECT_EQ(op.messages(), QStringList({"T309"}));
        EXPECT_EQ(op.last().icon, Icon::Critical);
        EXPECT_EQ(disconnects, 1);
    } else {
        EXPECT_TRUE(op.calls.empty());
        EXPECT_EQ(disconnects, 0);
    }
    EXPECT_EQ(frames().size(), f.frames);
    EXPECT_EQ(frames().last(), HostOff);
}

using K = sim::FaultKind;
using S = sim::FaultScope;

// ID requests: session 1, headers 2-7, then record k's select 8+3k, load 9+3k,
// read 10+3k: 311 in all. Setpoints: session 1, record k's select 2+3k, load 3+3k,
// read 4+3k: 29 in all. Ticket lines: session, command 3, six lines, session end.
INSTANTIATE_TEST_SUITE_P(
    Cases, ReadFaults,
    ::testing::Values(
        ReadFault{"CutIdRecordIsReadAgain",
                  [](MemoryTransferTest &t) { ReadFaults::afterLoad(t, 10, 4, 1, K::Partial, 105); }, false,
                  311 + 3,
                  [](MemoryTransferTest &t) {
                      IdMemory memory;
                      EXPECT_EQ(IDOKUHost(t.link, memory, t.texts, t.disconnect), TransferResult::Completed);
                      EXPECT_EQ(memory.number(3), "1002");
                      EXPECT_EQ(memory.name(3), "ÇAKIR BETON");
                      EXPECT_EQ(t.frames().mid(16, 7),
                                QStringList({"@1000690001028100\r", "@100013000102000A\r", "@030069000C\r",
                                             "@1000690001028100\r", "@100013000102000A\r", "@030069000C\r",
                                             "@1000690001028200\r"}));
                  }},
        ReadFault{"IdRecordCutThreeTimesEmptiesItsRow",
                  [](MemoryTransferTest &t) { ReadFaults::afterLoad(t, 10, 4, 3, K::Partial, 105); }, true,
                  7 + 3 * 3 + 3 * 3 + 1,
                  [](MemoryTransferTest &t) {
                      IdMemory memory;
                      memory.setRecord(3, "55", "OLD");
                      memory.setRecord(4, "66", "KEEP");
                      EXPECT_EQ(IDOKUHost(t.link, memory, t.texts, t.disconnect), TransferResult::Refused);
                      EXPECT_EQ(memory.number(2), "1001");  // the rows before came
                      EXPECT_EQ(memory.number(3), QString());  // not the previous row's number
                      EXPECT_EQ(memory.name(3), QString());
                      EXPECT_EQ(memory.number(4), "66");  // not read
                  }},
        ReadFault{"RefusedIdRecordEndsTheReadAtOnce",
                  [](MemoryTransferTest &t) { ReadFaults::afterLoad(t, 10, 4, 1, K::Refuse, 105); }, true,
                  7 + 3 * 3 + 3 + 1,
                  [](MemoryTransferTest &t) {
                      IdMemory memory;
                      memory.setRecord(3, "55", "OLD");
                      EXPECT_EQ(IDOKUHost(t.link, memory, t.texts, t.disconnect), TransferResult::Refused);
                      EXPECT_EQ(memory.number(3), QString());
                  }},
        ReadFault{"LostIdHeaderIsReadAgain",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::NoAnswer, S::EveryNth, 4, 1}); }, false,
                  311 + 3,
                  [](MemoryTransferTest &t) {
                      IdMemory memory;
                      memory.setIdHeader(0, "OLD");
                      EXPECT_EQ(IDOKUHost(t.link, memory, t.texts, t.disconnect), TransferResult::Completed);
                      EXPECT_EQ(memory.idHeader(0), "FİRMA");
                  }},
        ReadFault{"IdHeaderLostThreeTimesIsKept",
                  [](MemoryTransferTest &t) { ReadFaults::afterLoad(t, 15, 1, 3, K::NoAnswer, 209); }, true, 11,
                  [](MemoryTransferTest &t) {
                      IdMemory memory;
                      memory.setIdHeader(0, "OLD");
                      EXPECT_EQ(IDOKUHost(t.link, memory, t.texts, t.disconnect), TransferResult::Refused);
                      EXPECT_EQ(memory.idHeader(0), "OLD");
                  }},
        ReadFault{"RefusedIdSelectorKeepsTheHeadersRead",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::Refuse, S::EveryNth, 8, 1}); }, true, 9,
                  [](MemoryTransferTest &t) {
                      IdMemory memory;
                      EXPECT_EQ(IDOKUHost(t.link, memory, t.texts, t.disconnect), TransferResult::Refused);
                      EXPECT_EQ(memory.idHeader(0), "FİRMA");
                  }},
        ReadFault{"CutSetpointRecordIsReadAgain",
                  [](MemoryTransferTest &t) { ReadFaults::afterLoad(t, 1, 3, 1, K::Partial, 117); }, false, 29 + 3,
                  [](MemoryTransferTest &t) {
                      SetpointMemory memory;
                      EXPECT_EQ(STPOKUHost(t.link, memory, withDecimals(0), t.texts, t.disconnect),
                                TransferResult::Completed);
                      EXPECT_EQ(memory.value(2, 0), "20000");
                      EXPECT_EQ(memory.value(2, 2), "30000");
                  }},
        ReadFault{"SetpointRecordCutThreeTimesIsKept",
                  [](MemoryTransferTest &t) { ReadFaults::afterLoad(t, 1, 3, 3, K::Partial, 117); }, true,
                  1 + 3 * 2 + 3 * 3 + 1,
                  [](MemoryTransferTest &t) {
                      SetpointMemory memory;
                      memory.setValue(2, 0, "OLD");
                      EXPECT_EQ(STPOKUHost(t.link, memory, withDecimals(0), t.texts, t.disconnect),
                                TransferResult::Refused);
                      EXPECT_EQ(memory.value(1, 0), "2500");
                      EXPECT_EQ(memory.value(2, 0), "OLD");
                  }},
        ReadFault{"LostTicketLineIsReadAgain",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::NoAnswer, S::Register, 61, 1}); }, false,
                  9 + 1,
                  [](MemoryTransferTest &t) {
                      TicketLayout layout;
                      EXPECT_EQ(ReadTicketLines(t.link, layout, PrinterKind::Ticket, t.texts, t.disconnect),
                                TransferResult::Completed);
                      EXPECT_EQ(layout.line(2).trimmed(), "Tel 0262 555 12 34");
                      EXPECT_EQ(t.frames().mid(4, 3), QStringList({"@03003D000A\r", "@03003D000A\r", "@030047000B\r"}));
                  }},
        ReadFault{"TicketLineLostThreeTimesKeepsItsBox",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::NoAnswer, S::Register, 61, 3}); }, true,
                  1 + 1 + 2 + 3 + 1,
                  [](MemoryTransferTest &t) {
                      TicketLayout layout;
                      for (int k = 0; k < 6; ++k)
                          layout.setLine(k, "OLD");
                      EXPECT_EQ(ReadTicketLines(t.link, layout, PrinterKind::Ticket, t.texts, t.disconnect),
                                TransferResult::Refused);
                      EXPECT_EQ(layout.line(0), "   ÖZTÜRK KANTAR    ");
                      EXPECT_EQ(layout.line(2), "OLD");
                      EXPECT_EQ(layout.line(4), "OLD");
                  }},
        ReadFault{"LostTicketLoadCommandIsSentAgain",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::NoAnswer, S::Command, 3, 1}); }, false,
                  9 + 1,
                  [](MemoryTransferTest &t) {
                      TicketLayout layout;
                      EXPECT_EQ(ReadTicketLines(t.link, layout, PrinterKind::Ticket, t.texts, t.disconnect),
                                TransferResult::Completed);
                      EXPECT_EQ(t.frames().mid(1, 3),
                                QStringList({"@1000130001020003\r", "@1000130001020003\r", "@030028000A\r"}));
                  }},
        ReadFault{"RefusedTicketLoadCommandReadsNoLine",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::Refuse, S::Command, 3, 1}); }, true, 3,
                  [](MemoryTransferTest &t) {
                      TicketLayout layout;
                      EXPECT_EQ(ReadTicketLines(t.link, layout, PrinterKind::Ticket, t.texts, t.disconnect),
                                TransferResult::Refused);
                  }},
        // 40 characters: five chunks and the sixth with the NUL; the third is register 233.
        ReadFault{"CutEplChunkIsReadAgain",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::Partial, S::Register, 217 + 16, 1}); }, false,
                  1 + 6 + 1 + 1,
                  [](MemoryTransferTest &t) {
                      sim::SetStoredEpl(t.sim.device, QByteArray(40, 'A'));
                      TicketLayout layout;
                      layout.setEplText("OLD");
                      EXPECT_EQ(ReadTicketLines(t.link, layout, PrinterKind::Epl, t.texts, t.disconnect),
                                TransferResult::Completed);
                      EXPECT_EQ(layout.eplText(), QString(40, QLatin1Char('A')));
                  }},
        ReadFault{"EplChunkCutThreeTimesKeepsTheText",
                  [](MemoryTransferTest &t) { t.sim.device.addFault({K::Partial, S::Register, 217 + 16, 3}); }, true,
                  1 + 2 + 3 + 1,
                  [](MemoryTransferTest &t) {
                      sim::SetStoredEpl(t.sim.device, QByteArray(40, 'A'));
                      TicketLayout layout;
                      layout.setEplText("OLD");
                      EXPECT_EQ(ReadTicketLines(t.link, layout, PrinterKind::Epl, t.texts, t.disconnect),
                                TransferResult::Refused);
                      EXPECT_EQ(layout.eplText(), "OLD");
                  }}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
