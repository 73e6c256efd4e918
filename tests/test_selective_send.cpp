// Sending only ticked rows against the in-process virtual indicator: the groups
// concerned are read again, built from the indicator's values with only the ticked
// rows from the file, and sent whole in the send-all's order. What crossed the wire
// is checked byte by byte: the unticked rows of a block and the raw calibration stay
// as the indicator held them just before the send.

#include "files/Batch.h"
#include "files/ConfigFile.h"
#include "files/SameIndicator.h"
#include "files/SelectiveSend.h"
#include "files/WorkingSet.h"
#include "link/Transaction.h"
#include "params/BlockCodec.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "support/RequestText.h"
#include "support/SimLink.h"
#include "support/ShippedTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using namespace vx;
using vx::sim::FaultKind;
using vx::sim::FaultScope;

namespace {

QByteArray hexBytes(const char *hex) { return QByteArray::fromHex(hex); }

struct SelectiveSendTest : ::testing::Test, test::SimLink {
    SelectiveSendTest()
    {
        link.decode.weekdayNames = texts.lines().weekdayNames();
        weight.WeightFormatReference = "300.045";
        weight.DecimalsPattern = "005";
        // Jmp block: [200] 1, [201] 1, [202] 2, [203] 1, [204] 1, [205] 1, [206] 1, [801] 1, [207] 2, fixed 0.
        sim.device.setBytes(149, hexBytes("01010201010101010200"));
        // Calibration block: [210] 0, fixed 0, [211] 30 5, [212] 30 5, [970] 7, row 68 0, then the raw
        // values 98304, 1000000, 30000, 512, [800] 7, row 74 0, the two gravity values.
        sim.device.setBytes(128, hexBytes("00001E051E050700"
                                          "00018000000F42400000753000000200"
                                          "0000000700000000"
                                          "00013B1900013984"));
        LayOutGrid(file.parameters(), texts.lines(), Model::ZR2);
        file.parameters().weight = weight;
    }

    // The file: what the indicator held at some earlier time.
    void fileFromIndicator()
    {
        ReadAllChoice choice;
        choice.id = choice.setpoint = choice.parameters = true;
        const ReadAllResult r = ReadAll(link, file, texts, choice, weight, disconnect);
        ASSERT_EQ(r.outcome, BatchOutcome::Completed);
        sim.port.clearFramesSent();
        sim.device.clearCommands();
    }

    SelectiveSendResult send(const Selection &selection, std::function<bool()> confirm = {},
                             const QString &restorePointFolder = {})
    {
        return SelectiveSend(link, file, selection,
                             {.texts = texts, .weight = weight, .model = Model::ZR2, .confirmSend = std::move(confirm),
                              .disconnect = disconnect, .restorePointFolder = restorePointFolder});
    }
    // No block, record or line was written, nor the send's probe: reads only.
    void expectNothingWritten()
    {
        for (const QString &w : writes())
            EXPECT_FALSE(w.contains(':') || w == "19=3") << "written: " << w.toStdString();
    }

    // Every write that crossed the wire ("149:10", "19=9" ...), reads left out.
    QStringList writes() const
    {
        QStringList out;
        for (const QString &t : test::RequestTexts(sim.port.framesSent()))
            if (!t.contains(QLatin1Char('/')))
                out << t;
        return out;
    }
    // The data of the block write to `reg`, as hex.
    QString blockData(int reg) const
    {
        for (const QString &frame : sim.port.framesSent()) {
            const QString t = test::RequestText(frame);
            if (t.startsWith(QString::number(reg) + ":")) {
                const int bytes = t.mid(t.indexOf(':') + 1).toInt();
                return frame.mid(1 + 12, bytes * 2);
            }
        }
        return {};
    }

    TextService texts = test::ShippedEnglish();
    WeightFormat weight;
    WorkingSet file;
};

TEST_F(SelectiveSendTest, OneTickedRowOfABlockLeavesItsOtherRowsAndTheRawCalibrationAsTheIndicatorHeldThem)
{
    fileFromIndicator();
    // The file differs from the indicator in [201] (ticked), [202] (not ticked), [970]
    // (ticked) and the first raw calibration value (not ticked).
    file.parameters().setValue(4, texts.line(179));     // [201] "0- ..."
    file.parameters().setValue(5, texts.line(181));     // [202] "0- ..."
    file.parameters().setValue(67, "9");                // [970]
    file.parameters().setRowValue(69, RowValue::of(0x11111));
    // Since the file was made, the indicator's [203] changed: the send keeps what it holds now.
    QByteArray jmp = sim.device.bytes(149, 10);
    jmp[3] = 0;
    sim.device.setBytes(149, jmp);

    Selection ticked;
    ticked.parameterRows = {4, 67};
    const SelectiveSendResult r = send(ticked);

    ASSERT_EQ(r.outcome, SelectiveOutcome::Sent);
    EXPECT_EQ(writes(), (QStringList{"19=19", "19=5", "19=12", "19=7", "19=20",  // the read again
                                     "19=3",                                      // the send's probe
                                     "19=19", "128:20", "138:4", "142:12", "19=13", "19=20",  // calibration
                                     "19=19", "149:10", "19=9", "19=20"}));                   // Jmp
    // [200] 1, [201] 0 from the file, [202] 2 and [203] 0 as the indicator holds them, the rest as it held.
    EXPECT_EQ(blockData(149), "01000200010101010200");
    // Rows 62-68 with [970] 9 from the file, then the indicator's raw values 98304, 1000000, 30000.
    EXPECT_EQ(blockData(128), "00001E051E050900" "00018000000F424000007530");
    EXPECT_EQ(blockData(138), "00000200");
    EXPECT_EQ(blockData(142), "00000000" "00013B19" "00013984");
    EXPECT_EQ(sim.device.bytes(128, 16).toHex().toUpper(), "00001E051E05090000018000000F4240");

    // What changed: the two ticked rows, indicator value first.
    ASSERT_EQ(r.changed.size(), 2u);
    EXPECT_EQ(r.changed[0].index, 4);
    EXPECT_EQ(r.changed[0].a.toLongLong(), 1);
    EXPECT_EQ(r.changed[0].b.toLongLong(), 0);
    EXPECT_EQ(r.changed[1].index, 67);
    EXPECT_EQ(r.changed[1].a.toLongLong(), 7);
    EXPECT_EQ(r.changed[1].b.toLongLong(), 9);
    EXPECT_EQ(SelectiveSendMessage(r, texts), "Sent: " + BatchGroupCaption(BatchGroup::Calibration, texts, true).trimmed()
                                                  + ", " + BatchGroupCaption(BatchGroup::Jmp, texts, true).trimmed());
}

TEST_F(SelectiveSendTest, TheCalibrationTickedSendsTheFilesRawValues)
{
    fileFromIndicator();
    file.parameters().setRowValue(69, RowValue::of(0x11111));
    file.parameters().setRowValue(70, RowValue::of(0x22222));
    file.parameters().setValue(67, "9");  // not ticked

    Selection ticked;
    ticked.calibration = true;
    ASSERT_EQ(send(ticked).outcome, SelectiveOutcome::Sent);
    EXPECT_EQ(writes(), (QStringList{"19=19", "19=5", "19=12", "19=7", "19=20", "19=3", "19=19", "128:20", "138:4",
                                     "142:12", "19=13", "19=20"}));
    EXPECT_EQ(blockData(128), "00001E051E050700" "000111110002222200007530");
}

TEST_F(SelectiveSendTest, AGroupNotReadAgainWholeStopsTheSendBeforeAnythingIsWritten)
{
    fileFromIndicator();
    file.parameters().setValue(4, texts.line(179));
    sim.device.addFault({FaultKind::Partial, FaultScope::Register, 149, -1});

    Selection ticked;
    ticked.parameterRows = {4};
    const SelectiveSendResult r = send(ticked);

    EXPECT_EQ(r.outcome, SelectiveOutcome::ReadFailed);
    for (const QString &w : writes())
        EXPECT_FALSE(w.contains(':') || w == "19=3") << "nothing written: " << w.toStdString();
    EXPECT_EQ(sim.device.bytes(149, 10).toHex().toUpper(), "01010201010101010200");
    EXPECT_TRUE(SelectiveSendMessage(r, texts).startsWith("Not sent: ")) << SelectiveSendMessage(r, texts).toStdString();
}

TEST_F(SelectiveSendTest, OneTickedIdRecordLeavesTheOthersAsTheIndicatorHolds)
{
    sim::SetStoredId(sim.device, 3, 111, "BIR");
    sim::SetStoredId(sim.device, 4, 222, "IKI");
    fileFromIndicator();
    file.ids().setRecord(3, "333", "UC");
    file.ids().setRecord(4, "444", "DORT");
    sim::SetStoredId(sim.device, 5, 555, "BES");  // the indicator's since the file was made

    Selection ticked;
    ticked.idRecords = {3};
    const SelectiveSendResult r = send(ticked);

    ASSERT_EQ(r.outcome, SelectiveOutcome::Sent);
    EXPECT_EQ(sim::StoredId(sim.device, 3).number, 333);
    EXPECT_EQ(sim::StoredId(sim.device, 3).name.trimmed(), "UC");
    EXPECT_EQ(sim::StoredId(sim.device, 4).number, 222);
    EXPECT_EQ(sim::StoredId(sim.device, 4).name.trimmed(), "IKI");
    EXPECT_EQ(sim::StoredId(sim.device, 5).number, 555);
    ASSERT_EQ(r.changed.size(), 1u);
    EXPECT_EQ(r.changed[0].kind, DifferenceKind::IdRecord);
    EXPECT_EQ(r.changed[0].index, 3);
    EXPECT_EQ(r.groups, std::vector<BatchGroup>{BatchGroup::Id});
}

TEST_F(SelectiveSendTest, NothingGoesOnTheLineWhenNothingIsTickedBothPrintersAreOrTheSendIsDeclined)
{
    Selection none;
    EXPECT_EQ(send(none).outcome, SelectiveOutcome::NothingTicked);

    Selection both;
    both.ticketLines = both.eplText = true;
    EXPECT_EQ(send(both).outcome, SelectiveOutcome::BothPrinters);

    Selection row;
    row.parameterRows = {4};
    int asked = 0;
    EXPECT_EQ(send(row, [&] { ++asked; return false; }).outcome, SelectiveOutcome::Declined);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
}

TEST_F(SelectiveSendTest, TheTicketLinesGoTogetherWithoutAReadAgain)
{
    file.ticket().setHeaderCentred(false);
    file.ticket().setLine(1, "KANTAR");
    Selection ticked;
    ticked.ticketLines = true;
    ASSERT_EQ(send(ticked).outcome, SelectiveOutcome::Sent);
    const QStringList w = writes();
    EXPECT_EQ(w.first(), "19=3") << "no read before the send";
    EXPECT_EQ(sim::StoredTicketLine(sim.device, 1), QByteArray("KANTAR").leftJustified(20, ' ') + '\0');
}

TEST_F(SelectiveSendTest, NothingIsWrittenWhenNoTickedRowDiffers)
{
    fileFromIndicator();
    Selection ticked;
    ticked.parameterRows = {4, 30, 67};  // [201], [001], [970]: as the indicator holds them
    const SelectiveSendResult r = send(ticked, {}, dir.filePath("BACKUP"));
    EXPECT_EQ(r.outcome, SelectiveOutcome::NothingDiffers);
    EXPECT_TRUE(r.changed.empty());
    expectNothingWritten();
    EXPECT_TRUE(r.restorePoint.isEmpty()) << "nothing sent, nothing to restore";
    EXPECT_EQ(SelectiveSendMessage(r, texts), "No ticked row differs from the indicator; nothing was sent.");
}

TEST_F(SelectiveSendTest, ATickedRowWithNoValueOrOneThatDoesNotFitStopsBeforeAnythingIsWritten)
{
    fileFromIndicator();
    file.parameters().setValue(19, "70000");  // [102]: one byte
    file.parameters().setValue(15, QString()); // [131]: no value
    file.setpoints().setValue(1, 0, "12abc");

    Selection ticked;
    ticked.parameterRows = {19};
    SelectiveSendResult r = send(ticked, {}, dir.filePath("BACKUP"));
    EXPECT_EQ(r.outcome, SelectiveOutcome::Unfit);
    EXPECT_EQ(SelectiveSendMessage(r, texts),
              "Nothing was sent: Configuration P.(Nrm), row 19 [102]: 70000 does not fit its field (0 to 255).");
    EXPECT_TRUE(r.restorePoint.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("BACKUP")) && !QDir(dir.filePath("BACKUP")).isEmpty());

    ticked.parameterRows = {15};
    r = send(ticked);
    ASSERT_TRUE(r.problem);
    EXPECT_EQ(r.problem->fault, SendFault::NoValue);
    EXPECT_EQ(r.problem->row, 15);

    Selection setpoint;
    setpoint.setpointRecords = {1};
    r = send(setpoint);
    EXPECT_EQ(r.outcome, SelectiveOutcome::Unfit);
    EXPECT_EQ(SelectiveSendMessage(r, texts),
              "Nothing was sent: Setpoint Memory, SP Memory 2, Setpoint - 1: \"12abc\" is not a number.");
    for (const QString &w : writes())
        EXPECT_FALSE(w == "19=3" || w.startsWith("149:") || w.startsWith("154:") || w == "19=2")
            << "written: " << w.toStdString();
}

TEST_F(SelectiveSendTest, TheRestorePointIsTheReadAgainSavedBeforeTheSend)
{
    fileFromIndicator();
    file.parameters().setValue(4, texts.line(179));  // [201] 0; the indicator holds 1
    Selection ticked;
    ticked.parameterRows = {4};
    const QString folder = dir.filePath("BACKUP");
    const SelectiveSendResult r = send(ticked, {}, folder);

    ASSERT_EQ(r.outcome, SelectiveOutcome::Sent);
    ASSERT_TRUE(r.restorePoint.startsWith(folder + "/ZR2_")) << r.restorePoint.toStdString();
    const std::optional<ConfigurationRecord> point = ReadConfigurationFile(r.restorePoint);
    ASSERT_TRUE(point);
    WorkingSet back;
    back.showFile(*point, texts.lines(), Model::ZR2, weight);
    EXPECT_EQ(CellCode(back.parameters().value(4)), 1) << "[201] as the indicator held it before";
    EXPECT_EQ(CellCode(back.parameters().value(5)), 2) << "[202], the rest of its block";
    EXPECT_FALSE(RecordIdentification(*point).model.isEmpty()) << "it names its indicator";
    EXPECT_EQ(sim.device.bytes(149, 10).toHex().toUpper(), "01000201010101010200") << "[201] from the file went";

    // A folder that cannot take the file: nothing read, nothing written.
    QFile blocker(dir.filePath("taken"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    sim.port.clearFramesSent();
    file.parameters().setValue(4, texts.line(180));
    const SelectiveSendResult failed = send(ticked, {}, dir.filePath("taken"));
    EXPECT_EQ(failed.outcome, SelectiveOutcome::RestorePointFailed);
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
    EXPECT_FALSE(SelectiveSendMessage(failed, texts).isEmpty());
}

}  // namespace
