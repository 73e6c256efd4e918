#include "files/Batch.h"

#include "files/SendCheck.h"
#include "files/WorkingSet.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "shell/Refusal.h"
#include "shell/TextService.h"

#include <QStringList>

#include <functional>

namespace vx {
namespace {

// Step captions of the read-all panel (groups 0-4) and the send panel's parameter step.
constexpr int kTextReading[5] = {253, 254, 255, 256, 257};
constexpr int kTextSendingParameters = 268;
constexpr int kTextNotReady = TextLine::NotReady;

// The send-all asks the indicator whether it listens with the ticket lines' load command.
constexpr int kProbeCommand = cmd::LoadTicketLines;
constexpr double kShortWait = 0.05;

// The check boxes' captions: the read panel's SSCheck1 (lines 21-27) and the send
// panel's SSCheck2 (lines 31-39).
struct GroupCaption {
    BatchGroup group;
    int readLine;  // 0: not a group of the read
    int sendLine;  // 0: not a group of the send
    const char *key;
};
constexpr GroupCaption kCaptions[] = {
    {BatchGroup::Header, 21, 31, "header"},        {BatchGroup::Id, 22, 32, "id"},
    {BatchGroup::Setpoint, 23, 34, "setpoint"},    {BatchGroup::Parameters, 26, 268, "params"},
    {BatchGroup::Status, 24, 0, "status"},         {BatchGroup::DateTime, 0, 36, "datetime"},
    {BatchGroup::Calibration, 0, 37, "calibration"}, {BatchGroup::Jmp, 0, 38, "jmp"},
    {BatchGroup::Nrm, 0, 39, "nrm"},
};

void setOutcome(std::vector<GroupResult> &groups, BatchGroup group, GroupOutcome outcome)
{
    for (GroupResult &g : groups)
        if (g.group == group)
            g.outcome = outcome;
}

// The groups sent inside the parameter step, as the batch and the parameter write name them.
constexpr std::pair<BatchGroup, params::Group> kParameterGroups[] = {
    {BatchGroup::DateTime, params::Group::DateTime},
    {BatchGroup::Calibration, params::Group::Calibration},
    {BatchGroup::Jmp, params::Group::Jmp},
    {BatchGroup::Nrm, params::Group::Nrm},
};

std::optional<params::Group> parameterGroupOf(BatchGroup group)
{
    for (const auto &[batch, inner] : kParameterGroups)
        if (batch == group)
            return inner;
    return std::nullopt;
}

BatchGroup batchGroupOf(params::Group group)
{
    for (const auto &[batch, inner] : kParameterGroups)
        if (inner == group)
            return batch;
    return BatchGroup::Parameters;
}

// Weights at a guessed number of decimals would be saved and sent back wrong: without
// the range, a batch that carries weights is refused before anything goes on the line.
bool refusedWithoutRange(Link &link, const TextService &texts, const WeightFormat &weight, bool carriesWeights)
{
    if (weight.known() || !carriesWeights)
        return false;
    link.op().message(texts.builtIn(BuiltIn::RangeUnknown), Icon::Critical);
    return true;
}

BatchOutcome outcomeOf(TransferResult result)
{
    switch (result) {
    case TransferResult::Completed: return BatchOutcome::Completed;
    case TransferResult::Aborted: return BatchOutcome::Aborted;
    case TransferResult::Refused: return BatchOutcome::Refused;
    case TransferResult::NotSent: return BatchOutcome::NotSent;
    }
    return BatchOutcome::Refused;
}

}  // namespace

ReadAllResult ReadAll(Link &link, WorkingSet &set, const TextService &texts, const ReadAllChoice &choice,
                      const WeightFormat &weight, const DisconnectAction &disconnect)
{
    ReadAllResult result;
    link.AbortRequested = false;
    const bool chosen[5] = {choice.header, choice.id, choice.setpoint, choice.parameters, choice.status};
    constexpr BatchGroup kOrder[5] = {BatchGroup::Header, BatchGroup::Id, BatchGroup::Setpoint, BatchGroup::Parameters,
                                      BatchGroup::Status};
    for (int group = 0; group < 5; ++group)
        if (chosen[group])
            result.groups.push_back({kOrder[group], GroupOutcome::NotRun});
    if (refusedWithoutRange(link, texts, weight, choice.setpoint || choice.parameters)) {
        result.outcome = BatchOutcome::NotSent;
        return result;
    }
    for (int group = 0; group < 5 && result.outcome == BatchOutcome::Completed; ++group) {
        if (!chosen[group])
            continue;
        if (link.AbortRequested) {
            result.outcome = BatchOutcome::Aborted;
            break;
        }
        link.op().showStep(texts.line(kTextReading[group]), Tone::Working);
        switch (group) {
        case 0:
            result.outcome = outcomeOf(ReadTicketLines(link, set.ticket(), choice.printer, texts, disconnect));
            break;
        case 1:
            result.outcome = outcomeOf(IDOKUHost(link, set.ids(), texts, disconnect));
            break;
        case 2:
            result.outcome = outcomeOf(STPOKUHost(link, set.setpoints(), weight, texts, disconnect));
            break;
        case 3: {
            const ParameterReadResult read = ParametreHostOku(link, set.parameters(), texts, choice.model, disconnect);
            result.sendBoxesToTick = read.sendBoxesToTick;
            if (!read.completed)
                result.outcome = link.AbortRequested ? BatchOutcome::Aborted : BatchOutcome::Refused;
            break;
        }
        case 4:
            result.status = StatuOku(link, texts.lines(), disconnect);
            if (result.status->refused)
                result.outcome = BatchOutcome::Refused;
            break;
        }
        setOutcome(result.groups, kOrder[group],
                   result.outcome == BatchOutcome::Completed ? GroupOutcome::Done : GroupOutcome::Failed);
    }
    return result;
}

SendAllResult SendAll(Link &link, WorkingSet &set, const TextService &texts, const SendAllChoice &choice,
                      const WeightFormat &weight)
{
    SendAllResult result;
    const std::pair<BatchGroup, bool> chosen[] = {
        {BatchGroup::Header, choice.header},
        {BatchGroup::Id, choice.id},
        {BatchGroup::Setpoint, choice.setpoint},
        {BatchGroup::DateTime, choice.parameters.dateTime},
        {BatchGroup::Calibration, choice.parameters.calibration},
        {BatchGroup::Jmp, choice.parameters.jmp},
        {BatchGroup::Nrm, choice.parameters.nrm},
    };
    for (const auto &[group, on] : chosen)
        if (on)
            result.groups.push_back({group, GroupOutcome::NotRun});

    Operator &op = link.op();
    if (refusedWithoutRange(link, texts, weight, choice.setpoint || choice.parameters.nrm)) {
        result.outcome = BatchOutcome::NotSent;
        return result;
    }
    // A value that cannot go stops the whole send before its first frame (the front ends
    // check first, to say so before a restore point; this keeps every caller to it).
    if (const SendCheck check = CheckBeforeSend(set.record(), set.parameters(), choice, set.parameters().model(), weight);
        check.problem) {
        op.message(SendProblemText(*check.problem, texts), Icon::Critical);
        result.outcome = BatchOutcome::NotSent;
        return result;
    }
    if (link.writeAnswer(reg::Command, 2, "Lg", kProbeCommand, kShortWait).missingOrRefused()) {
        op.message(texts.line(kTextNotReady) + QLatin1Char('\n') + RefusalText(texts), Icon::Critical);
        result.outcome = BatchOutcome::ProbeRefused;
        return result;
    }

    link.AbortRequested = false;
    const ConfigurationRecord &record = set.record();
    auto started = [&](BatchGroup group) {
        if (choice.groupStarted)
            choice.groupStarted(group);
    };
    auto run = [&](bool chosenGroup, std::optional<BatchGroup> group, const std::function<TransferResult()> &writer) {
        if (!chosenGroup || result.outcome != BatchOutcome::Completed)
            return;
        if (link.AbortRequested) {
            result.outcome = BatchOutcome::Aborted;
            return;
        }
        if (group)
            started(*group);
        result.outcome = outcomeOf(writer());
        if (group)
            setOutcome(result.groups, *group,
                       result.outcome == BatchOutcome::Completed ? GroupOutcome::Done : GroupOutcome::Failed);
    };
    run(choice.header, BatchGroup::Header, [&] {
        const TicketWriteResult written = WriteTicketLines(link, record.ticket, choice.printer, texts);
        if (choice.printer == PrinterKind::Epl && written.result == TransferResult::Completed)
            set.ticket().setEplText(written.eplText);
        return written.result;
    });
    run(choice.id, BatchGroup::Id, [&] { return IDYaz(link, record.idMemory, texts); });
    run(choice.setpoint, BatchGroup::Setpoint, [&] { return STPYaz(link, record.setpoints, weight, texts); });
    run(true, std::nullopt, [&] {
        op.showStep(texts.line(kTextSendingParameters), Tone::Working);
        const ParameterWriteResult written = ParametreHostYaz(
            link, set.parameters(), texts, choice.parameters, [&](params::Group g) { started(batchGroupOf(g)); });
        result.dateTimeSkipped = written.dateTimeSkipped;
        // The groups run in their fixed order and an abort ends the step: the first chosen
        // group that did not go (a clock left unset aside) is the one it stopped in.
        bool stoppedIn = false;
        for (GroupResult &g : result.groups) {
            const std::optional<params::Group> inner = parameterGroupOf(g.group);
            if (!inner)
                continue;
            if (written.sent.has(*inner)) {
                g.outcome = GroupOutcome::Done;
            } else if (*inner == params::Group::DateTime && written.dateTimeSkipped) {
                g.outcome = GroupOutcome::Failed;
            } else if (written.aborted && !stoppedIn) {
                g.outcome = GroupOutcome::Failed;
                stoppedIn = true;
            }
        }
        return written.aborted ? TransferResult::Aborted : TransferResult::Completed;
    });
    return result;
}

QString BatchGroupCaption(BatchGroup group, const TextService &texts, bool send)
{
    for (const GroupCaption &c : kCaptions) {
        if (c.group != group)
            continue;
        const int line = send ? c.sendLine : c.readLine;
        const QString caption = line > 0 ? texts.line(line).trimmed() : QString();
        return caption.isEmpty() ? QString::fromLatin1(c.key) : caption;
    }
    return {};
}

QString GroupsNotDoneText(const std::vector<GroupResult> &groups, const TextService &texts, bool send)
{
    QStringList names;
    for (const GroupResult &g : groups)
        if (g.outcome != GroupOutcome::Done)
            names << BatchGroupCaption(g.group, texts, send);
    if (names.isEmpty())
        return {};
    return texts.builtIn(send ? BuiltIn::GroupsNotSent : BuiltIn::GroupsNotRead).arg(names.join(QStringLiteral(", ")));
}

std::optional<HardwareStatus> SendPanelHardwareStatus(Link &link)
{
    // "Tx1" keeps every byte: a word holding 00 or 0A is read whole.
    const QVariant word = link.valueOf(link.readAnswer(HardwareRegister, 2, kShortWait), "Tx1", HardwareRegister);
    if (!word.isValid())
        return std::nullopt;
    return HWDurumOku(word.toString());
}

}  // namespace vx
