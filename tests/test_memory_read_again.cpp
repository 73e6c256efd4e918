// Memory transfers on a line that loses, cuts or refuses answers, against the
// in-process virtual indicator (frames written out by hand, no address, checksum
// off): a load command that did not come back acknowledged makes the record be
// selected, loaded and read again instead of taking the record before for this one;
// a record under another selector is read again; the ID headers of a send are judged
// after their own waits and go into the retry series only when unacknowledged; ticket
// lines come back from a read, a save and a send byte for byte; and a setpoint of any
// length beyond the write's digits is refused.

#include "files/WorkingSet.h"
#include "link/RecordRead.h"
#include "memory/Transfers.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "support/CliRunner.h"
#include "support/SimLink.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vx;

namespace {

const QString HostOn = QStringLiteral("@1000130001020013\r");
const QString HostOff = QStringLiteral("@1000130001020014\r");
const QString LoadId = QStringLiteral("@100013000102000A\r");
const QString ReadId = QStringLiteral("@030069000C\r");
const QString LoadSetpoint = QStringLiteral("@1000130001020001\r");
const QString ReadSetpoint = QStringLiteral("@0300750007\r");
const QString SelectHeader1 = QStringLiteral("@1000D10001020000\r");
const QString SelectHeader2 = QStringLiteral("@1000D10001020100\r");
const QString LoadHeader = QStringLiteral("@100013000102000F\r");
const QString ReadHeader = QStringLiteral("@0300D10007\r");

QString rep(const char *hexByte, int times) { return QString::fromLatin1(hexByte).repeated(times); }

WeightFormat noDecimals() { return WeightFormat{}; }

struct ReadAgainTest : ::testing::Test, test::SimLink {
    ReadAgainTest() : SimLink(test::WithoutChecksum()) {}

    QStringList frames() const { return sim.port.framesSent(); }

    // Once the indicator has taken in a write to `reg` whose first data byte is
    // `firstByte` (a selector), it commits `rule`, on the first such write only.
    void faultAfterSelect(int reg, int firstByte, sim::FaultRule rule)
    {
        auto armed = std::make_shared<bool>(true);
        sim.device.onWrite(reg, [armed, firstByte, rule](sim::VirtualIndicator &d, int, const QByteArray &data) {
            if (*armed && data.size() == 2 && quint8(data.at(0)) == firstByte) {
                *armed = false;
                d.addFault(rule);
            }
        });
    }
    // Each time the indicator carries out command `code` for the nth to the
    // (nth + times - 1)th time, it commits `rule` once more.
    void faultAfterCommand(int code, int nth, int times, sim::FaultRule rule)
    {
        auto seen = std::make_shared<int>(0);
        sim.device.onCommand(code, [seen, nth, times, rule](sim::VirtualIndicator &d) {
            ++*seen;
            if (*seen >= nth && *seen < nth + times)
                d.addFault(rule);
        });
    }
    bool logHas(const QString &text) const
    {
        QFile f(log.filePath());
        return f.open(QIODevice::ReadOnly) && QString::fromLatin1(f.readAll()).contains(text);
    }

    TextService texts = test::NumberedTextService();
};

// ---------------------------------------------------------------------------
// A load command lost or refused: the register still holds the record before (with
// the new selector in its first word), so the record is selected, loaded and read
// again. Record 9 is "ID Memory 8", record 8 "ID Memory 7"; setpoint record 1
// follows record 0; ID header 1 is the first one read.

struct LoadCommandFault : ReadAgainTest, ::testing::WithParamInterface<sim::FaultKind> {};

TEST_P(LoadCommandFault, IdRecordGetsItsOwnPlateNotTheOneBefore)
{
    sim::SetStoredId(sim.device, 8, 7, "07 AB 777");
    sim::SetStoredId(sim.device, 9, 8, "08 CD 888");
    faultAfterSelect(105, 0x87, {GetParam(), sim::FaultScope::Command, 10, 1});

    IdMemory memory;
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.number(8), "7");
    EXPECT_EQ(memory.name(8), "07 AB 777");
    EXPECT_EQ(memory.number(9), "8");
    EXPECT_EQ(memory.name(9), "08 CD 888");
    EXPECT_EQ(memory.number(10), "");  // the records after it go on as before
    EXPECT_TRUE(op.calls.empty());
    EXPECT_EQ(disconnects, 0);

    // Session, headers, records 0..8; record 9 twice (the first load unanswered, so its
    // stale register is not even read), then record 10.
    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), 1 + 6 + 3 * 101 + 2 + 1);
    EXPECT_EQ(sent.mid(31, 8), QStringList({"@1000690001028600\r", LoadId, ReadId,
                                            "@1000690001028700\r", LoadId,  // not acknowledged
                                            "@1000690001028700\r", LoadId, ReadId}));
    EXPECT_EQ(sent[39], "@1000690001028800\r");
    EXPECT_EQ(sent.last(), HostOff);
    EXPECT_TRUE(logHas("[105]--- not confirmed, read again (2/3)"));
}

TEST_P(LoadCommandFault, SetpointRecordGetsItsOwnValuesNotTheOnesBefore)
{
    sim::SetStoredSetpoint(sim.device, 0, {100, 200, 300});
    sim::SetStoredSetpoint(sim.device, 1, {111, 222, 333});
    faultAfterSelect(117, 1, {GetParam(), sim::FaultScope::Command, 1, 1});

    SetpointMemory memory;
    EXPECT_EQ(STPOKUHost(link, memory, noDecimals(), texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.value(0, 0), "100");
    EXPECT_EQ(memory.value(1, 0), "111");
    EXPECT_EQ(memory.value(1, 1), "222");
    EXPECT_EQ(memory.value(1, 2), "333");
    EXPECT_TRUE(op.calls.empty());
    EXPECT_EQ(frames().mid(4, 6), QStringList({"@1000750001020100\r", LoadSetpoint,
                                               "@1000750001020100\r", LoadSetpoint, ReadSetpoint,
                                               "@1000750001020200\r"}));
    EXPECT_EQ(frames().size(), 1 + 3 * 9 + 2 + 1);
}

TEST_P(LoadCommandFault, IdHeaderIsNotSavedEmpty)
{
    sim.device.addFault({GetParam(), sim::FaultScope::Command, 15, 1});
    IdMemory memory;
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.idHeader(0), "FİRMA");
    EXPECT_EQ(memory.idHeader(1), "PLAKA");
    EXPECT_EQ(frames().mid(1, 8), QStringList({SelectHeader1, LoadHeader, SelectHeader1, LoadHeader, ReadHeader,
                                               SelectHeader2, LoadHeader, ReadHeader}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, LoadCommandFault, ::testing::Values(sim::FaultKind::NoAnswer, sim::FaultKind::Busy),
                         [](const auto &info) {
                             return std::string(info.param == sim::FaultKind::NoAnswer ? "Lost" : "Busy");
                         });

// A refused load command ("@8") ends the read at once, as every refusal does: the
// record is not selected and loaded again, the refusal text is shown, the link dropped.
TEST_F(ReadAgainTest, ARefusedIdRecordLoadEndsTheReadAtOnce)
{
    sim::SetStoredId(sim.device, 9, 8, "08 CD 888");
    faultAfterSelect(105, 0x87, {sim::FaultKind::Refuse, sim::FaultScope::Command, 10, 1});
    IdMemory memory;
    memory.setRecord(9, "55", "OLD");
    memory.setRecord(10, "66", "KEEP");
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Refused);
    EXPECT_EQ(op.messages(), QStringList({"T309"}));
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(memory.number(9), "") << "not the record before, not the old text";
    EXPECT_EQ(memory.number(10), "66");
    // Session, headers, records 0..8, record 9's selector and its refused load, host off.
    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), 1 + 6 + 3 * 9 + 2 + 1) << sent.join(' ').toStdString();
    EXPECT_EQ(sent.mid(34, 3), QStringList({"@1000690001028700\r", LoadId, HostOff}));
    EXPECT_FALSE(logHas("read again"));
}

TEST_F(ReadAgainTest, ARefusedSetpointOrHeaderLoadEndsTheReadAtOnce)
{
    faultAfterSelect(117, 1, {sim::FaultKind::Refuse, sim::FaultScope::Command, 1, 1});
    SetpointMemory setpoints;
    EXPECT_EQ(STPOKUHost(link, setpoints, noDecimals(), texts, disconnect), TransferResult::Refused);
    EXPECT_EQ(frames().mid(4), QStringList({"@1000750001020100\r", LoadSetpoint, HostOff}));

    sim.port.clearFramesSent();
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Command, 15, 1});
    IdMemory memory;
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Refused);
    EXPECT_EQ(frames(), QStringList({HostOn, SelectHeader1, LoadHeader, HostOff}));
    EXPECT_EQ(disconnects, 2);
}

// A load answer that comes after its wait (a slow or busy line) is no acknowledgement
// of this try, and must not be taken for an answer of the next one: the record is
// read again once the line has fallen quiet, and every record lands in its own row.
TEST_F(ReadAgainTest, ALateLoadAnswerIsNotTakenForTheNextTrysAnswer)
{
    sim::SetStoredId(sim.device, 8, 7, "07 AB 777");
    sim::SetStoredId(sim.device, 9, 8, "08 CD 888");
    sim::FaultRule late{sim::FaultKind::Late, sim::FaultScope::Command, 10, 1};
    late.lateSeconds = 0.2;
    faultAfterSelect(105, 0x87, late);

    IdMemory memory;
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.name(8), "07 AB 777");
    EXPECT_EQ(memory.number(9), "8");
    EXPECT_EQ(memory.name(9), "08 CD 888");
    EXPECT_EQ(memory.name(10), "");
    EXPECT_EQ(disconnects, 0);
    EXPECT_TRUE(logHas("[105]--- not confirmed, read again (2/3)"));
}

TEST_F(ReadAgainTest, IdRecordUnderAnotherSelectorIsReadAgain)
{
    // The load is acknowledged, but what lands in the register the first time is the
    // record of another selector.
    sim::SetStoredId(sim.device, 9, 8, "08 CD 888");
    auto loads = std::make_shared<int>(0);
    sim.device.onCommand(10, [loads](sim::VirtualIndicator &d) {
        if (++*loads == 10)
            d.setBytes(105, QByteArray(1, char(0x86)));
    });
    IdMemory memory;
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Completed);
    EXPECT_EQ(memory.number(9), "8");
    EXPECT_EQ(frames().mid(34, 7), QStringList({"@1000690001028700\r", LoadId, ReadId, "@1000690001028700\r",
                                                LoadId, ReadId, "@1000690001028800\r"}));
}

TEST_F(ReadAgainTest, ThreeLostLoadCommandsEndTheReadWithTheRefusalText)
{
    faultAfterSelect(105, 0x87, {sim::FaultKind::NoAnswer, sim::FaultScope::Command, 10, 3});
    IdMemory memory;
    memory.setRecord(9, "55", "OLD");
    memory.setRecord(10, "66", "KEEP");
    EXPECT_EQ(IDOKUHost(link, memory, texts, disconnect), TransferResult::Refused);
    EXPECT_EQ(op.messages(), QStringList({"T309"}));
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(memory.number(9), "");  // not the record before, not the old text
    EXPECT_EQ(memory.number(10), "66");
    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), 1 + 6 + 3 * 9 + 3 * 2 + 1);
    EXPECT_EQ(sent.mid(34, 6), QStringList({"@1000690001028700\r", LoadId, "@1000690001028700\r", LoadId,
                                            "@1000690001028700\r", LoadId}));
    EXPECT_EQ(sent.last(), HostOff);
}

// ---------------------------------------------------------------------------
// The tool: a lost load command makes no difference to the saved file; three in a
// row end the read with exit 1 and no file.

TEST(ReadAgainCli, ALostLoadCommandIsReadAgainAndThreeEndTheReadWithoutAFile)
{
    test::InProcessIndicator indicator;
    test::InProcessCli cli;
    // The first ID record's load: the register still holds zeros, which read as
    // "unused" under the right selector.
    indicator.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Command, 10, 1});
    const test::CliRun read = cli.run(indicator, {"read", cli.dir.filePath("a.vxr"), "--groups", "id"});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const test::CliRun dump = cli.run(indicator, {"dump", cli.dir.filePath("a.vxr")});
    EXPECT_TRUE(dump.out.contains("\"YILDIZ NAKLİYAT\"")) << dump.out.toStdString();

    indicator.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Command, 10, 3});
    const test::CliRun failed = cli.run(indicator, {"read", cli.dir.filePath("b.vxr"), "--groups", "id"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(cli.dir.filePath("b.vxr")));
}

// ---------------------------------------------------------------------------
// The ID headers of a send: the same frames and waits when they are acknowledged;
// an unacknowledged header write or command 16 goes into the transaction's retry
// series (attempts, then Abort / Retry / Ignore).

IdMemoryBlock headersOnly()
{
    IdMemory memory;
    memory.setIdHeader(0, "FİŞ NO");
    memory.setIdHeader(1, "ARAÇ");
    IdMemoryBlock block;
    IdMemoryToRecord(memory, block);
    return block;
}

// After the session and 102 records (record and store command each).
constexpr int FirstHeaderFrame = 1 + 2 * 102;
const QString Header1 = QStringLiteral("@1000D100070E" "00" "46DDDE204E4F" "00\r");  // "FİŞ NO"
const QString Header2 = QStringLiteral("@1000D100070E" "01" "415241C7" "00\r");      // "ARAÇ"
const QString StoreHeader = QStringLiteral("@1000130001020010\r");

TEST_F(ReadAgainTest, AcknowledgedIdHeadersKeepTheirFramesAndWaits)
{
    std::vector<double> at;  // when the headers and their store commands came in
    sim.device.onWrite(209, [&](sim::VirtualIndicator &, int, const QByteArray &) { at.push_back(sim.clock.elapsed()); });
    sim.device.onCommand(16, [&](sim::VirtualIndicator &) { at.push_back(sim.clock.elapsed()); });
    EXPECT_EQ(IDYaz(link, headersOnly(), texts), TransferResult::Completed);
    const QStringList sent = frames();
    ASSERT_EQ(sent.size(), FirstHeaderFrame + 4 + 1);
    EXPECT_EQ(sent.mid(FirstHeaderFrame), QStringList({Header1, StoreHeader, Header2, StoreHeader, HostOff}));
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 0), "FİŞ NO");
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 1), "ARAÇ");
    EXPECT_TRUE(op.calls.empty());
    ASSERT_EQ(at.size(), 4u);
    EXPECT_GE(at[2] - at[1], 1.0) << "the second after the store command";
}

TEST_F(ReadAgainTest, LostIdHeaderWriteIsSentAgainByTheTransaction)
{
    // The first header write is swallowed: nothing stored, nothing answered.
    sim.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Register, 209, 1});
    EXPECT_EQ(IDYaz(link, headersOnly(), texts), TransferResult::Completed);
    EXPECT_EQ(frames().mid(FirstHeaderFrame), QStringList({Header1, Header1, StoreHeader, Header2, StoreHeader, HostOff}));
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 0), "FİŞ NO");
    EXPECT_TRUE(op.calls.empty()) << "one attempt of the series was enough";
}

TEST_F(ReadAgainTest, LostStoreCommandOfAHeaderIsSentAgainByTheTransaction)
{
    sim.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Command, 16, 1});
    EXPECT_EQ(IDYaz(link, headersOnly(), texts), TransferResult::Completed);
    EXPECT_EQ(frames().mid(FirstHeaderFrame),
              QStringList({Header1, StoreHeader, StoreHeader, Header2, StoreHeader, HostOff}));
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 0), "FİŞ NO");
    EXPECT_EQ(sim::StoredIdHeader(sim.device, 1), "ARAÇ");
}

TEST_F(ReadAgainTest, AStoreCommandAnsweredDuringItsSecondCounts)
{
    // The answer to command 16 comes after the 0.2 s and the reading time, within the second.
    sim.device.addFault({sim::FaultKind::Late, sim::FaultScope::Command, 16, 1, 0.5});
    EXPECT_EQ(IDYaz(link, headersOnly(), texts), TransferResult::Completed);
    EXPECT_EQ(frames().mid(FirstHeaderFrame), QStringList({Header1, StoreHeader, Header2, StoreHeader, HostOff}));
    EXPECT_TRUE(op.calls.empty());
}

TEST_F(ReadAgainTest, IdHeadersNeverAcknowledgedAskTheOperatorAndAbortOrSkip)
{
    sim.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Command, 16, -1});
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    EXPECT_EQ(IDYaz(link, headersOnly(), texts), TransferResult::Aborted);
    ASSERT_EQ(op.count(test::ScriptedOperator::Kind::AbortRetryIgnore), 1);
    EXPECT_TRUE(op.calls[0].text.startsWith("[019]-[0001]--- ")) << qPrintable(op.calls[0].text);
    // The header, command 16 with its own waits, nine attempts of the series, no second header.
    QStringList expected = {Header1};
    for (int i = 0; i < 10; ++i)
        expected << StoreHeader;
    expected << HostOff;
    EXPECT_EQ(frames().mid(FirstHeaderFrame), expected);

    // Ignore: the header is skipped (and logged) and the next one goes.
    sim.port.clearFramesSent();
    op.calls.clear();
    link.AbortRequested = false;
    op.abortRetryIgnoreAnswers = {Choice::Ignore, Choice::Ignore};
    EXPECT_EQ(IDYaz(link, headersOnly(), texts), TransferResult::Completed);
    EXPECT_EQ(op.count(test::ScriptedOperator::Kind::AbortRetryIgnore), 2);
    EXPECT_EQ(frames().mid(FirstHeaderFrame).count(Header2), 1);
    EXPECT_TRUE(logHas("[019]-[0001]--- "));
}

// ---------------------------------------------------------------------------
// Ticket lines: what the indicator holds comes back from read -> save -> open ->
// send byte for byte, whatever the alignment toggles say. A line the indicator ends
// early with a NUL is aligned by its toggle.

const QByteArray StoredLines[6] = {
    QByteArray("KANTAR A.\xDE.         ") + '\0',  // flush left (0xDE is "Ş")
    QByteArray("  OSB 3. CADDE      ") + '\0',     // indented
    QByteArray("   \xD6ZT\xDCRK KANTAR    ") + '\0',  // centred the indicator's way (3 before)
    QByteArray("ABC") + QByteArray(18, '\0'),     // ended early
    QByteArray("ABCDEFGHIJKLMNOPQRST") + '\0',     // the whole width
    QByteArray(21, '\0'),                          // empty
};

TEST_F(ReadAgainTest, TicketLinesGoBackAsTheyCameWhateverTheToggles)
{
    for (int k = 0; k < 6; ++k)
        sim::SetStoredTicketLine(sim.device, k, StoredLines[k]);

    for (const bool centred : {true, false}) {
        SCOPED_TRACE(centred ? "centred" : "flush left");
        WorkingSet read;
        read.ticket().setHeaderCentred(centred);
        read.ticket().setFootnoteCentred(centred);
        ASSERT_EQ(ReadTicketLines(link, read.ticket(), PrinterKind::Ticket, texts, disconnect), TransferResult::Completed);
        EXPECT_EQ(read.ticket().line(0), "KANTAR A.Ş.         ");  // untrimmed in the box
        EXPECT_EQ(read.ticket().line(3), "ABC");
        read.collect();  // the save

        WorkingSet opened;  // the open, and the collect of the send panel
        opened.record() = read.record();
        opened.show(LanguageTexts{});
        opened.collect();

        for (int k = 0; k < 6; ++k)
            sim::SetStoredTicketLine(sim.device, k, QByteArray(21, 'x'));
        sim.port.clearFramesSent();
        ASSERT_EQ(WriteTicketLines(link, opened.record().ticket, PrinterKind::Ticket, texts).result,
                  TransferResult::Completed);
        for (int k : {0, 1, 2, 4, 5})
            EXPECT_EQ(sim::StoredTicketLine(sim.device, k), StoredLines[k]) << k;
        EXPECT_EQ(sim::StoredTicketLine(sim.device, 3),
                  (centred ? QByteArray("        ABC         ") : QByteArray("ABC                 ")) + '\0');
        const QStringList sent = frames();
        ASSERT_EQ(sent.size(), 9);
        EXPECT_EQ(sent[1], "@100028000A14" "4B414E54415220412EDE2E" + rep("20", 9) + "\r");
        EXPECT_EQ(sent[2], "@100032000B16" "00" "2020" "4F534220332E204341444445" + rep("20", 6) + "00\r");
        EXPECT_EQ(sent[3], "@10003D000A14" "202020" "D65A54DC524B204B414E544152" "20202020" "\r");

        for (int k = 0; k < 6; ++k)
            sim::SetStoredTicketLine(sim.device, k, StoredLines[k]);
    }
}

TEST(TicketLineOpened, ShownWithoutBlanksOnlyWhereStoringItAgainGivesTheSameLine)
{
    const QString nul(QChar(u'\0'));
    // Centred and shown centred: the box without the blanks.
    EXPECT_EQ(ShownTicketLine("        ABC         " + nul, true), "ABC");
    EXPECT_EQ(ShownTicketLine("ABC                 " + nul, false), "ABC");
    EXPECT_EQ(ShownTicketLine("        ABC         " + nul, false), "        ABC");
    // Flush left or indented under the centring toggle: kept as it is.
    EXPECT_EQ(ShownTicketLine("ABC                 " + nul, true), "ABC                 ");
    EXPECT_EQ(ShownTicketLine("  ABC               " + nul, true), "  ABC               ");
    // A whole line is not aligned again; a shorter one is.
    EXPECT_EQ(AlignedTicketLine("ABC                 ", true), "ABC                 " + nul);
    EXPECT_EQ(AlignedTicketLine("  ABC  ", true), "        ABC         " + nul);
}

// ---------------------------------------------------------------------------
// A setpoint text too long for the write is refused whatever its length, also after
// a file's record has been shown and collected again (as a send does).

TEST_F(ReadAgainTest, OverLongSetpointsAreRefusedWhateverTheirLength)
{
    for (const int digits : {7, 20, 400, 65535}) {
        SCOPED_TRACE(digits);
        SetpointMemoryBlock file;
        file.Setpoint2[3] = QString(digits, QLatin1Char('9'));
        SetpointMemory shown;
        SetpointOku(file, shown);
        EXPECT_EQ(shown.value(3, 1), file.Setpoint2[3]) << "not shown as 0";
        SetpointMemoryBlock toSend;
        SetpointMemoryToRecord(shown, toSend);

        sim.port.clearFramesSent();
        op.calls.clear();
        EXPECT_EQ(STPYaz(link, toSend, noDecimals(), texts), TransferResult::NotSent);
        EXPECT_TRUE(frames().isEmpty());
        ASSERT_EQ(op.messages().size(), 1);
        EXPECT_TRUE(op.messages()[0].contains("SP Memory 4, Setpoint - 2: 9999999"));
    }
    // Zeros of any length are still 0, and so is a text without digits.
    SetpointMemoryBlock zeros;
    zeros.Setpoint1[0] = QString(65535, QLatin1Char('0'));
    zeros.Setpoint1[1] = "-0,000";
    zeros.Setpoint1[2] = "abc";
    SetpointMemory shown;
    SetpointOku(zeros, shown);
    EXPECT_EQ(shown.value(0, 0), "0");
    EXPECT_EQ(shown.value(1, 0), "0");
    EXPECT_EQ(shown.value(2, 0), "0");
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------
// The link's pieces of the rule on their own.

TEST(WriteAcknowledgement, TenAndTheRegisterCountAfterTheAddress)
{
    EXPECT_TRUE(IsWriteAcknowledgement("", "@100001\r", 2));
    EXPECT_TRUE(IsWriteAcknowledgement("05", "@05100001\r", 2));
    EXPECT_TRUE(IsWriteAcknowledgement("", "@10000C\r", 24));
    EXPECT_FALSE(IsWriteAcknowledgement("", "@100002\r", 2)) << "another count";
    EXPECT_FALSE(IsWriteAcknowledgement("05", "@100001\r", 2)) << "no address field";
    EXPECT_FALSE(IsWriteAcknowledgement("", "@801001\r", 2));
    EXPECT_FALSE(IsWriteAcknowledgement("", "@1000", 2)) << "cut off";
    EXPECT_FALSE(IsWriteAcknowledgement("", "", 2));

    EXPECT_TRUE(IsRefusal("@801001\r", ""));
    EXPECT_TRUE(IsRefusal("@8", "05")) << "the refusal carries no address field";
    EXPECT_FALSE(IsRefusal("", ""));
    EXPECT_FALSE(IsRefusal("801001\r", ""));
    EXPECT_FALSE(IsRefusal("@0503", "05"));
}

struct RecordReadTest : ::testing::Test, test::SimLink {
    // Runs ReadRecord over attempts that answer `checks` in turn.
    RecordCheck run(std::vector<RecordCheck> checks)
    {
        attempts = 0;
        return ReadRecord(link, 105, [&] { return checks.at(size_t(attempts++)); });
    }
    int attempts = 0;
};

TEST_F(RecordReadTest, ThreeTriesAtMostAndARefusalOrAnAbortEndsThem)
{
    using C = RecordCheck;
    EXPECT_EQ(run({C::Confirmed}), C::Confirmed);
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(run({C::Unconfirmed, C::Unconfirmed, C::Confirmed}), C::Confirmed);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(run({C::Unconfirmed, C::Unconfirmed, C::Unconfirmed, C::Confirmed}), C::Unconfirmed);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(run({C::Unconfirmed, C::Refused, C::Confirmed}), C::Refused);
    EXPECT_EQ(attempts, 2);

    // An abort (Escape, the Abort of a dialog) set during an attempt: no further one.
    attempts = 0;
    EXPECT_EQ(ReadRecord(link, 105,
                         [&] {
                             ++attempts;
                             link.AbortRequested = true;
                             return RecordCheck::Unconfirmed;
                         }),
              RecordCheck::Aborted);
    EXPECT_EQ(attempts, 1);
}

}  // namespace
