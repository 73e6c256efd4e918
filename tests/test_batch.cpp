// Read-all and send-all against the in-process virtual indicator: the groups in
// their fixed order, a read cancelled in the middle, a send aborted through the
// transaction dialog, the command-3 probe and the status words on every tab.

#include "files/Batch.h"
#include "files/WorkingSet.h"
#include "link/Transaction.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct BatchTest : ::testing::Test, test::SimLink {
    BatchTest()
    {
        weight.WeightFormatReference = "309";  // the range is known: 300 by 1
    }

    ReadAllResult readAll(ReadAllChoice choice) { return ReadAll(link, set, texts, choice, weight, disconnect); }
    SendAllResult sendAll(const SendAllChoice &choice)
    {
        set.collect();
        return SendAll(link, set, texts, choice, weight);
    }
    // Where a command code first / last went to register 19; -1 when it never did.
    int firstCommand(int code) const
    {
        const auto &c = sim.device.commands();
        const auto it = std::find(c.begin(), c.end(), code);
        return it == c.end() ? -1 : int(it - c.begin());
    }
    int countCommand(int code) const
    {
        return int(std::count(sim.device.commands().begin(), sim.device.commands().end(), code));
    }
    QStringList stepTexts() const
    {
        QStringList out;
        for (const auto &[text, tone] : op.steps)
            out << text;
        return out;
    }

    TextService texts = test::NumberedTextService();
    WorkingSet set;
    WeightFormat weight;
};

// The groups' outcomes as one readable text: "Header=done Id=failed ...".
QString outcomes(const std::vector<GroupResult> &groups)
{
    static const char *const kGroup[] = {"Header", "Id", "Setpoint", "Parameters", "Status",
                                         "DateTime", "Calibration", "Jmp", "Nrm"};
    static const char *const kOutcome[] = {"done", "failed", "not-run"};
    QStringList out;
    for (const GroupResult &g : groups)
        out << QStringLiteral("%1=%2").arg(kGroup[int(g.group)], kOutcome[int(g.outcome)]);
    return out.join(' ');
}

ReadAllChoice everyGroup()
{
    ReadAllChoice c;
    c.header = c.id = c.setpoint = c.parameters = c.status = true;
    return c;
}

TEST_F(BatchTest, ReadAllReadsTheChosenGroupsInTheirOrder)
{
    weight.DecimalsPattern = "0";
    const ReadAllResult r = readAll(everyGroup());
    EXPECT_EQ(r.outcome, BatchOutcome::Completed);
    EXPECT_EQ(set.ticket().line(0), "   ÖZTÜRK KANTAR    ");
    EXPECT_EQ(set.ids().name(2), "ÖZKAN HAFRİYAT");
    EXPECT_EQ(set.ids().idHeader(1), "PLAKA");
    EXPECT_EQ(set.setpoints().value(0, 1), "1000,0");
    EXPECT_EQ(set.parameters().value(30), "3-9600");
    ASSERT_TRUE(r.status);
    EXPECT_TRUE(r.status->complete());
    EXPECT_EQ(r.sendBoxesToTick, (std::vector<int>{5, 6, 7}));
    // Ticket lines (3), ID memory (10), setpoints (1), parameters (5), then the status.
    EXPECT_LT(firstCommand(3), firstCommand(10));
    EXPECT_LT(firstCommand(10), firstCommand(1));
    EXPECT_LT(firstCommand(1), firstCommand(5));
    const QStringList steps = stepTexts();
    QStringList groupSteps;
    for (const QString &s : steps)
        if (s == "T253" || s == "T254" || s == "T255" || s == "T256" || s == "T257")
            if (groupSteps.isEmpty() || groupSteps.last() != s)
                groupSteps << s;
    EXPECT_EQ(groupSteps, QStringList({"T253", "T254", "T255", "T256", "T257"}));
    EXPECT_EQ(disconnects, 0);
    EXPECT_EQ(outcomes(r.groups), "Header=done Id=done Setpoint=done Parameters=done Status=done");
    EXPECT_EQ(GroupsNotDoneText(r.groups, texts, false), "");
}

TEST_F(BatchTest, ReadAllCancelledInTheMiddleStopsAtTheNextRecordAndSkipsTheRest)
{
    // The cancel button pressed while the fifth ID record is loaded.
    int loads = 0;
    sim.device.onCommand(10, [&](sim::VirtualIndicator &) {
        if (++loads == 5)
            link.AbortRequested = true;
    });
    const ReadAllResult r = readAll(everyGroup());
    EXPECT_EQ(r.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(countCommand(10), 5);
    EXPECT_EQ(sim.device.commands().back(), 20) << "the ID session is closed";
    EXPECT_EQ(firstCommand(1), -1) << "no setpoint read";
    EXPECT_EQ(firstCommand(5), -1) << "no parameter read";
    EXPECT_FALSE(r.status);
    EXPECT_EQ(set.ids().name(3), "ÇAKIR BETON") << "records read so far stay";
    EXPECT_EQ(set.ids().name(5), "") << "the record after the cancel is not read";
    EXPECT_EQ(outcomes(r.groups), "Header=done Id=failed Setpoint=not-run Parameters=not-run Status=not-run");
    // The read panel's captions: lines 22, 23, 26 and 24.
    EXPECT_EQ(GroupsNotDoneText(r.groups, texts, false), "Not read: T22, T23, T26, T24");
}

TEST_F(BatchTest, AReadThatIsRefusedEndsTheBatch)
{
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 117, 1});
    const ReadAllResult r = readAll(everyGroup());
    EXPECT_EQ(r.outcome, BatchOutcome::Refused);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(op.messages(), QStringList({"T309"}));
    EXPECT_EQ(firstCommand(5), -1);
    EXPECT_EQ(outcomes(r.groups), "Header=done Id=done Setpoint=failed Parameters=not-run Status=not-run");
}

// Without the indicator's range a setpoint or a weight row would be read, saved and
// sent at a guessed number of decimals (x10 on the way in, /10 on the way out): the
// groups that carry weights are refused before anything goes on the line.
TEST_F(BatchTest, WithoutTheRangeNothingThatCarriesAWeightIsReadOrSent)
{
    readAll(everyGroup());  // what the sends below would send, read while the range was known
    weight = {};
    struct Case {
        const char *name;
        ReadAllChoice read;
        bool refused;
    };
    ReadAllChoice setpoints, parameters, memories;
    setpoints.setpoint = true;
    parameters.parameters = true;
    memories.header = memories.id = true;
    for (const Case &c : {Case{"setpoints", setpoints, true}, Case{"parameters", parameters, true},
                          Case{"header and ID memory", memories, false}}) {
        sim.device.clearCommands();
        sim.port.clearFramesSent();
        op.clear();
        const ReadAllResult r = readAll(c.read);
        EXPECT_EQ(r.outcome, c.refused ? BatchOutcome::NotSent : BatchOutcome::Completed) << c.name;
        EXPECT_EQ(sim.port.framesSent().isEmpty(), c.refused) << c.name;
        EXPECT_EQ(op.messages().size(), c.refused ? 1 : 0) << c.name;
        EXPECT_EQ(disconnects, 0) << c.name << ": the line is fine, the link stays";
    }

    SendAllChoice sendSetpoints;
    sendSetpoints.setpoint = true;
    SendAllChoice sendNrm;
    sendNrm.parameters.nrm = true;
    SendAllChoice sendClock;
    sendClock.parameters.calibration = sendClock.parameters.jmp = true;
    for (const auto &[name, choice, refused] : {std::tuple{"setpoints", sendSetpoints, true},
                                                std::tuple{"Nrm parameters (the weight rows)", sendNrm, true},
                                                std::tuple{"calibration and Jmp parameters", sendClock, false}}) {
        sim.device.clearCommands();
        sim.port.clearFramesSent();
        op.clear();
        const SendAllResult r = sendAll(choice);
        EXPECT_EQ(r.outcome, refused ? BatchOutcome::NotSent : BatchOutcome::Completed) << name;
        EXPECT_EQ(sim.port.framesSent().isEmpty(), refused) << name << ": not even the probe";
        if (refused) {
            EXPECT_TRUE(op.messages().value(0).contains("range could not be read")) << name;
        }
    }
}

TEST_F(BatchTest, StatusWordsKeepTheirBytes)
{
    // Hardware word A = 0A (calibration permitted), B = 00 (no analog card).
    sim.device.setReg(25, 0x0A00);
    ReadAllChoice status;
    status.status = true;
    const ReadAllResult r = readAll(status);
    ASSERT_TRUE(r.status && r.status->hardware);
    EXPECT_EQ(r.status->hardware->word, (StatusWord{0x0A, 0x00}));
    EXPECT_TRUE(r.status->hardware->CalibrationPermitted);
    EXPECT_FALSE(r.status->hardware->AnalogCardPresent);

    const std::optional<HardwareStatus> opened = SendPanelHardwareStatus(link);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->word, (StatusWord{0x0A, 0x00}));
    EXPECT_TRUE(opened->CalibrationPermitted);
}

// ---- send-all ----

SendAllChoice everyGroupSent()
{
    SendAllChoice c;
    c.header = c.id = c.setpoint = true;
    c.parameters = {.dateTime = false, .calibration = true, .jmp = true, .nrm = true};
    return c;
}

TEST_F(BatchTest, SendAllProbesThenSendsHeaderIdSetpointsParametersInThatOrder)
{
    readAll(everyGroup());
    sim.device.clearCommands();
    sim::SetStoredTicketLine(sim.device, 0, QByteArray(21, '\0'));
    sim::SetStoredId(sim.device, 3, -1, QString());
    sim::SetStoredSetpoint(sim.device, 2, {0, 0, 0});

    const SendAllResult r = sendAll(everyGroupSent());
    EXPECT_EQ(r.outcome, BatchOutcome::Completed);
    EXPECT_EQ(sim.device.commands().front(), 3) << "the probe first";
    EXPECT_LT(firstCommand(4), firstCommand(11));   // ticket lines stored, then ID records
    EXPECT_LT(firstCommand(11), firstCommand(2));   // then setpoints
    EXPECT_LT(firstCommand(2), firstCommand(13));   // then calibration, Jmp, Nrm
    EXPECT_LT(firstCommand(13), firstCommand(9));
    EXPECT_LT(firstCommand(9), firstCommand(8));
    EXPECT_EQ(countCommand(11), 102) << "101 records and record 100 once more";
    // What the indicator held before is back.
    EXPECT_TRUE(sim::StoredTicketLine(sim.device, 0).contains("\xD6ZT\xDCRK KANTAR"));
    EXPECT_EQ(sim::StoredId(sim.device, 3).number, 1002);
    EXPECT_EQ(sim::StoredSetpoint(sim.device, 2), (std::array<qint32, 3>{20000, 25000, 30000}));
    EXPECT_TRUE(stepTexts().contains("T268"));
    EXPECT_TRUE(op.calls.empty());
}

TEST_F(BatchTest, AProbeTheIndicatorRefusesSendsNothing)
{
    readAll(everyGroup());
    sim.device.clearRequests();
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Command, 3, 1});
    const SendAllResult r = sendAll(everyGroupSent());
    EXPECT_EQ(r.outcome, BatchOutcome::ProbeRefused);
    EXPECT_EQ(op.messages(), QStringList({"T313\nT309"}));
    EXPECT_EQ(op.last().icon, Icon::Critical);
    EXPECT_EQ(sim.device.requests().size(), 1) << "the probe alone";
    EXPECT_EQ(outcomes(r.groups), "Header=not-run Id=not-run Setpoint=not-run Calibration=not-run Jmp=not-run "
                                  "Nrm=not-run");
}

TEST_F(BatchTest, SendAllAbortedThroughTheTransactionDialogSkipsTheRest)
{
    readAll(everyGroup());
    sim.device.clearCommands();
    // The indicator stops acknowledging ID records from the tenth on; the operator aborts.
    int stores = 0;
    sim.device.onCommand(11, [&](sim::VirtualIndicator &d) {
        if (++stores == 9)
            d.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Register, 105, -1});
    });
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    const SendAllResult r = sendAll(everyGroupSent());
    EXPECT_EQ(r.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(op.count(test::ScriptedOperator::Kind::AbortRetryIgnore), 1);
    EXPECT_TRUE(link.AbortRequested);
    EXPECT_NE(firstCommand(4), -1) << "the header went before";
    EXPECT_EQ(countCommand(11), 9);
    for (int code : {2, 13, 9, 8})
        EXPECT_EQ(firstCommand(code), -1) << code;
    EXPECT_EQ(outcomes(r.groups), "Header=done Id=failed Setpoint=not-run Calibration=not-run Jmp=not-run "
                                  "Nrm=not-run");
    // Every group that did not go, by the send panel's captions (lines 32, 34, 37, 38, 39).
    EXPECT_EQ(GroupsNotDoneText(r.groups, texts, true), "Not sent: T32, T34, T37, T38, T39");
}

TEST_F(BatchTest, AnAbortInsideTheParameterStepNamesTheGroupItStoppedIn)
{
    readAll(everyGroup());
    // The Jmp block (register 149) is never acknowledged; the operator aborts.
    sim.device.addFault({sim::FaultKind::NoAnswer, sim::FaultScope::Register, 149, -1});
    op.abortRetryIgnoreAnswers = {Choice::Abort};
    SendAllChoice c;
    c.setpoint = true;
    c.parameters = WriteGroups::all();
    std::vector<BatchGroup> begun;
    c.groupStarted = [&](BatchGroup g) { begun.push_back(g); };
    const SendAllResult r = sendAll(c);
    EXPECT_EQ(r.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(outcomes(r.groups), "Setpoint=done DateTime=done Calibration=done Jmp=failed Nrm=not-run");
    EXPECT_EQ(begun, (std::vector<BatchGroup>{BatchGroup::Setpoint, BatchGroup::DateTime, BatchGroup::Calibration,
                                              BatchGroup::Jmp}));
    EXPECT_EQ(firstCommand(8), -1) << "Nrm is not confirmed";
    EXPECT_EQ(GroupsNotDoneText(r.groups, texts, true), "Not sent: T38, T39");
}

// Whoever calls it, the send-all checks what it would write before its probe.
TEST_F(BatchTest, AValueThatCannotGoStopsTheSendBeforeTheProbe)
{
    readAll(everyGroup());
    const QByteArray before = sim.device.bytes(149, 100);
    struct Case {
        int row;
        const char *text;
        const char *message;
    };
    for (const Case &c : {Case{19, "70000", "Nothing was sent: T39, row 19 [102]: 70000 does not fit its field (0 to 255)."},
                          Case{32, "", "Nothing was sent: T39, row 32 [003] holds no value. Read the group from the "
                                       "indicator or fill it in first."}}) {
        const QString kept = set.parameters().value(c.row);
        set.parameters().setValue(c.row, c.text);
        sim.device.clearRequests();
        op.clear();
        SendAllChoice nrm;
        nrm.parameters.nrm = true;
        const SendAllResult r = sendAll(nrm);
        EXPECT_EQ(r.outcome, BatchOutcome::NotSent) << c.row;
        EXPECT_EQ(op.messages(), QStringList{c.message});
        EXPECT_TRUE(sim.device.requests().isEmpty()) << "not even the probe";
        EXPECT_EQ(outcomes(r.groups), "Nrm=not-run");
        set.parameters().setValue(c.row, kept);
    }
    EXPECT_EQ(sim.device.bytes(149, 100), before);
}

TEST_F(BatchTest, AnEplSendPutsTheTextAsItWentBackIntoTheLayout)
{
    set.ticket().setEplText("N\r\nA10,10,0,1,1,1,N,\"X\"");
    SendAllChoice c;
    c.header = true;
    c.printer = PrinterKind::Epl;
    const SendAllResult r = sendAll(c);
    EXPECT_EQ(r.outcome, BatchOutcome::Completed);
    EXPECT_EQ(set.ticket().eplText(), "N\r\nA10,10,0,1,1,1,N,\"X\"\r\nP1\r\n");
    EXPECT_TRUE(sim::StoredEpl(sim.device).startsWith("N\r\nA10"));
}

}  // namespace
