// The read-all, send-all and selective send jobs against the in-process virtual
// indicator: what crossed the wire, the result the front ends render, the working
// set's provenance and the one service history record, which names the indicator the
// data went to, never the one an opened file names.

#include "files/WorkingSet.h"
#include "link/Transaction.h"
#include "service/TransferJobs.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "support/DataHome.h"
#include "support/RequestText.h"
#include "support/SimLink.h"
#include "support/ShippedTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using namespace vx;

namespace {

using Kind = test::ScriptedOperator::Kind;

struct TransferJobTest : ::testing::Test, test::SimLink {
    TransferJobTest()
    {
        link.decode.weekdayNames = texts.lines().weekdayNames();
        weight.WeightFormatReference = "300.045";
        weight.DecimalsPattern = "005";
        LayOutGrid(set.parameters(), texts.lines(), Model::ZR2);
        set.parameters().weight = weight;
    }

    // The set holds what the indicator holds (the parameters), then, as a file of
    // another indicator would, names "SN0009999" in rows 82 and 83.
    void readParameters(bool anotherIndicator)
    {
        ReadAllChoice choice;
        choice.parameters = true;
        set.setSource(Model::ZR2, std::nullopt);  // connected
        const ReadAllJobResult read =
            RunReadAllJob(link, texts, set, {.choice = choice, .weight = weight, .disconnect = disconnect});
        ASSERT_EQ(read.read.outcome, BatchOutcome::Completed);
        if (anotherIndicator) {
            set.parameters().setValue(83, "SN0009999");
            set.opened("other.vxr");
        }
        set.collect();
        sim.port.clearFramesSent();
        sim.device.clearCommands();
    }
    SendAllJob nrmJob() const
    {
        SendAllChoice choice;
        choice.parameters.nrm = true;
        return {.choice = choice, .model = Model::ZR2, .modelText = "ZR2", .version = {}, .weight = weight,
                .allowClearing = {}, .askSameIndicator = true, .sameIndicatorOperator = nullptr,
                .restorePointFolder = {}, .disconnect = disconnect, .note = "cell changed",
                .tool = HistoryTool::Cli, .skippedWrites = {}, .restorePointMade = {}};
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
    std::vector<HistoryRecord> records() const { return ReadHistory().records; }

    test::DataHome home;
    TextService texts = test::ShippedEnglish();
    WeightFormat weight;
    WorkingSet set;
};

// ---- send-all ----

TEST_F(TransferJobTest, AnotherIndicatorsFileGoesOnlyWhenConfirmedAndItsRecordNamesTheIndicatorItWentTo)
{
    readParameters(true);
    op.yesNoAnswers = {Choice::No};
    SendAllJobResult declined = RunSendAllJob(link, op, texts, set, nrmJob());
    EXPECT_EQ(declined.end, SendJobEnd::Declined);
    EXPECT_EQ(writes(), QStringList()) << "not even the probe";
    EXPECT_FALSE(declined.record);
    EXPECT_TRUE(records().empty());
    ASSERT_EQ(op.count(Kind::YesNo), 1);
    EXPECT_TRUE(op.last().text.contains("SN0009999")) << op.last().text.toStdString();

    op.yesNoAnswers = {Choice::Yes};
    SendAllJob job = nrmJob();
    job.restorePointFolder = dir.filePath("BACKUP");
    const SendAllJobResult done = RunSendAllJob(link, op, texts, set, job);
    ASSERT_EQ(done.end, SendJobEnd::Sent) << op.messages().join('|').toStdString();
    EXPECT_TRUE(done.messages.empty());
    // The restore point's parameter read, the probe, then the Nrm group: host mode, its
    // eight blocks, command 8, host mode off.
    EXPECT_EQ(writes(), (QStringList{"19=19", "19=5", "19=12", "19=7", "19=20",  // the restore point
                                     "19=3", "19=19", "154:12", "160:14", "167:8", "171:8", "175:8", "179:8",
                                     "183:14", "190:4", "19=8", "19=20"}))
        << writes().join(' ').toStdString();
    ASSERT_TRUE(done.record);
    EXPECT_EQ(done.record->indicator.model, "ZR2");
    EXPECT_EQ(done.record->indicator.identification, "ZR2 V2.20");
    EXPECT_EQ(done.record->indicator.identification2, "SN0001234") << "the indicator, not the file's SN0009999";
    EXPECT_EQ(done.record->indicator.version, "ZR2 V2.20");
    EXPECT_EQ(done.record->result, "sent");
    EXPECT_EQ(done.record->note, "cell changed");
    EXPECT_TRUE(done.record->restorePoint.value_or("").startsWith("ZR2_SN0001234_"));
    EXPECT_TRUE(QFileInfo::exists(done.restorePoint.path));
    ASSERT_TRUE(done.record->changedRows);
    EXPECT_FALSE(done.historyError);
    const std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(HistoryLine(list[0]), HistoryLine(*done.record));
    // The data went to the connected indicator: it is the set's source from now on.
    EXPECT_EQ(set.sourceTexts(), (IdentificationTexts{"ZR2 V2.20", "SN0001234"}));
}

TEST_F(TransferJobTest, AValueThatCannotGoOrABlankMemoryNotAllowedStopsTheSendBeforeTheLine)
{
    // The parameters never read: the Jmp rows hold nothing.
    SendAllJob jmp = nrmJob();
    jmp.choice.parameters = {.jmp = true};
    const SendAllJobResult unfit = RunSendAllJob(link, op, texts, set, jmp);
    EXPECT_EQ(unfit.end, SendJobEnd::Unfit);
    ASSERT_TRUE(unfit.check.problem);
    EXPECT_EQ(unfit.check.problem->group, BatchGroup::Jmp);
    ASSERT_EQ(unfit.messages.size(), 1u);
    EXPECT_EQ(unfit.messages[0].icon, Icon::Critical);

    // An ID memory that holds nothing would clear the indicator's.
    SendAllJob ids = nrmJob();
    ids.choice = {};
    ids.choice.id = true;
    std::vector<BatchGroup> asked;
    ids.allowClearing = [&](const std::vector<BatchGroup> &blank) {
        asked = blank;
        return false;
    };
    set.collect();
    const SendAllJobResult kept = RunSendAllJob(link, op, texts, set, ids);
    EXPECT_EQ(kept.end, SendJobEnd::NotCleared);
    EXPECT_EQ(asked, std::vector<BatchGroup>{BatchGroup::Id});

    EXPECT_TRUE(sim.port.framesSent().isEmpty()) << "nothing on the line, not even a read";
    EXPECT_EQ(op.dialogCount(), 0) << "the job asks nothing the front end did not give it";
    EXPECT_TRUE(records().empty()) << "no record of a send that never reached the line";
}

TEST_F(TransferJobTest, AStoppedSendNamesTheGroupsNotSentAndIsRecordedAsItEnded)
{
    readParameters(false);
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 160, -1});
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    SendAllJob job = nrmJob();
    job.choice.parameters.jmp = true;
    job.askSameIndicator = false;
    const SendAllJobResult done = RunSendAllJob(link, op, texts, set, job);
    EXPECT_EQ(done.end, SendJobEnd::Stopped);
    // Jmp whole, then Nrm up to its second block, tried nine times before the question.
    const QStringList wire = writes();
    EXPECT_EQ(wire.mid(0, 7), (QStringList{"19=3", "19=19", "149:10", "19=9", "19=20", "19=19", "154:12"}));
    EXPECT_EQ(wire.count("160:14"), 9);
    EXPECT_FALSE(wire.contains("167:8") || wire.contains("19=8")) << "nothing after the refused block";
    ASSERT_EQ(done.messages.size(), 1u);
    EXPECT_EQ(done.messages[0].text, "Not sent: " + BatchGroupCaption(BatchGroup::Nrm, texts, true).trimmed());
    ASSERT_TRUE(done.record);
    EXPECT_EQ(done.record->result, "aborted");
    EXPECT_EQ(done.record->groupResults,
              (std::vector<std::pair<QString, QString>>{{"jmp", "sent"}, {"nrm", "failed"}}));
    // Asked nothing of the indicator: the record names the one the data was read from.
    EXPECT_EQ(done.record->indicator.identification2, "SN0001234");
    EXPECT_EQ(records().size(), 1u);
}

TEST_F(TransferJobTest, ARecordThatCannotBeWrittenIsSaidAndTheSendStillCounts)
{
    readParameters(false);
    ASSERT_TRUE(QDir().mkpath(home.historyFile()));  // a folder where the file should be
    SendAllJob job = nrmJob();
    job.askSameIndicator = false;
    const SendAllJobResult done = RunSendAllJob(link, op, texts, set, job);
    EXPECT_EQ(done.end, SendJobEnd::Sent);
    EXPECT_TRUE(done.record);
    EXPECT_TRUE(done.historyError);
}

// ---- read-all ----

TEST_F(TransferJobTest, AReadMarksWhatItReadAsTheIndicatorsAndAStoppedOneNamesWhatWasNotRead)
{
    set.setSource(Model::ZR2, std::nullopt);
    ReadAllChoice choice;
    choice.header = choice.parameters = true;
    const ReadAllJobResult whole = RunReadAllJob(link, texts, set, {.choice = choice, .weight = weight, .disconnect = disconnect});
    ASSERT_TRUE(whole.lineTaken);
    EXPECT_EQ(whole.read.outcome, BatchOutcome::Completed);
    EXPECT_TRUE(whole.messages.empty());
    EXPECT_EQ(set.provenance(SetGroup::Nrm).origin, Origin::Indicator);
    EXPECT_EQ(set.provenance(SetGroup::Nrm).indicator, (IdentificationTexts{"ZR2 V2.20", "SN0001234"}));
    EXPECT_EQ(set.provenance(SetGroup::TicketLines).origin, Origin::Indicator);
    EXPECT_EQ(set.provenance(SetGroup::Ids).origin, Origin::Empty);
    EXPECT_FALSE(set.notOnIndicator(DataGroup::Parameters));

    WorkingSet other;
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 117, 1});
    choice.id = choice.setpoint = true;
    const ReadAllJobResult stopped =
        RunReadAllJob(link, texts, other, {.choice = choice, .weight = weight, .disconnect = disconnect});
    EXPECT_EQ(stopped.read.outcome, BatchOutcome::Refused);
    EXPECT_EQ(disconnects, 1);
    ASSERT_EQ(stopped.messages.size(), 1u);
    EXPECT_EQ(stopped.messages[0].text, "Not read: " + BatchGroupCaption(BatchGroup::Setpoint, texts, false).trimmed()
                                            + ", " + BatchGroupCaption(BatchGroup::Parameters, texts, false).trimmed());
    EXPECT_TRUE(other.holds(SetGroup::Setpoints)) << "part of it may be the indicator's now";
    EXPECT_TRUE(other.unsaved());
}

// ---- the selective send ----

TEST_F(TransferJobTest, ASelectiveSendOfAnotherIndicatorsFileIsRecordedForTheIndicatorItChanged)
{
    readParameters(true);
    set.parameters().setValue(67, "9");  // [970], on the indicator 7
    Selection ticked;
    ticked.parameterRows = {67};
    op.yesNoAnswers = {Choice::Yes};
    const SelectiveSendJobResult done = RunSelectiveSendJob(
        link, op, set,
        {.selection = ticked, .modelText = "ZR2", .version = {}, .askSameIndicator = true,
         .sameIndicatorOperator = nullptr, .confirmSend = {}, .indicator = {},
         .context = {.texts = texts, .weight = weight, .model = Model::ZR2, .confirmSend = {}, .disconnect = disconnect,
                     .restorePointFolder = {}},
         .note = {}, .tool = HistoryTool::Window, .skippedWrites = {}});
    ASSERT_TRUE(done.lineTaken);
    ASSERT_EQ(done.send.outcome, SelectiveOutcome::Sent) << op.messages().join('|').toStdString();
    EXPECT_EQ(op.count(Kind::YesNo), 1) << "the one question about the file";
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join('|').toStdString();
    EXPECT_EQ(writes(), (QStringList{"19=19", "19=5", "19=12", "19=7", "19=20",  // the read again
                                     "19=3",                                      // the send's probe
                                     "19=19", "128:20", "138:4", "142:12", "19=13", "19=20"}));
    EXPECT_EQ(sim.device.bytes(128, 8).toHex().toUpper().right(4), "0900") << "[970] 9 from the file";
    EXPECT_EQ(done.message, "Sent: " + BatchGroupCaption(BatchGroup::Calibration, texts, true).trimmed());
    ASSERT_TRUE(done.record);
    EXPECT_EQ(done.record->indicator.identification2, "SN0001234");
    EXPECT_EQ(done.record->indicator.version, "ZR2 V2.20");
    ASSERT_TRUE(done.record->changedRows);
    ASSERT_EQ(done.record->changedRows->size(), 1u);
    EXPECT_EQ(done.record->changedRows->at(0).row, 67);
    EXPECT_EQ(records().size(), 1u);

    // Nothing that differs: nothing written, nothing recorded.
    sim.port.clearFramesSent();
    op.yesNoAnswers = {Choice::Yes};
    const SelectiveSendJobResult again = RunSelectiveSendJob(
        link, op, set,
        {.selection = ticked, .modelText = "ZR2", .version = {}, .askSameIndicator = true,
         .sameIndicatorOperator = nullptr, .confirmSend = {}, .indicator = {},
         .context = {.texts = texts, .weight = weight, .model = Model::ZR2, .confirmSend = {}, .disconnect = disconnect,
                     .restorePointFolder = {}},
         .note = {}, .tool = HistoryTool::Window, .skippedWrites = {}});
    EXPECT_EQ(again.send.outcome, SelectiveOutcome::NothingDiffers);
    EXPECT_FALSE(again.record);
    EXPECT_EQ(records().size(), 1u);
}

}  // namespace
