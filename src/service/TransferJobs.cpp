#include "service/TransferJobs.h"

#include "files/WorkingSet.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "service/HistoryRecords.h"
#include "shell/TextService.h"

#include <QFileInfo>

namespace vx {

namespace {
// A job runs inside the front end's operation when one holds the line.
const LineLease::Options kJoin{.policy = LineLease::Policy::Join};
}  // namespace

IndicatorIdentity ProvenanceIdentity(const WorkingSet &set, const std::optional<IdentificationTexts> &wentTo,
                                     const QString &modelText, const QString &version)
{
    std::optional<IdentificationTexts> texts = wentTo;
    if (!texts || texts->empty())
        texts = set.sourceTexts();
    if (!texts || texts->empty())
        texts = set.dataIndicator();
    const IdentificationTexts named = texts.value_or(IdentificationTexts{});
    return {.model = modelText, .identification = named.model, .identification2 = named.second,
            .version = version.trimmed()};
}

std::optional<QString> AppendJobRecord(HistoryRecord &record, const QString &note)
{
    if (!note.trimmed().isEmpty())
        record.note = note.trimmed();
    QString why;
    if (AppendHistory(record, &why))
        return std::nullopt;
    return why;
}

// ---- read-all ----

ReadAllJobResult RunReadAllJob(Link &link, const TextService &texts, WorkingSet &set, const ReadAllJob &job)
{
    ReadAllJobResult done;
    LineLease lease(link, kJoin);
    if (!lease)
        return done;
    done.lineTaken = true;
    done.read = ReadAll(link, set, texts, job.choice, job.weight, job.disconnect);
    lease.release();
    // The groups read whole now hold the indicator's data; a stopped read may have
    // replaced part of any of them.
    const bool whole = done.read.outcome == BatchOutcome::Completed;
    const std::pair<bool, DataGroup> groups[] = {{job.choice.header, DataGroup::Ticket},
                                                 {job.choice.id, DataGroup::Ids},
                                                 {job.choice.setpoint, DataGroup::Setpoints},
                                                 {job.choice.parameters, DataGroup::Parameters}};
    for (const auto &[ran, group] : groups)
        if (ran)
            whole ? set.readFromIndicator(group) : set.readInPart(group);
    if (!whole)
        if (const QString notRead = GroupsNotDoneText(done.read.groups, texts, false); !notRead.isEmpty())
            done.messages.push_back({notRead, Icon::Warning});
    return done;
}

// ---- send-all ----

namespace {

// After a whole send the indicator holds the groups sent; the parameters only when
// every part of them went.
void markSent(WorkingSet &set, const SendAllChoice &choice, const SendAllResult &sent)
{
    const WriteGroups &p = choice.parameters;
    const bool allParameters = p.dateTime && p.calibration && p.jmp && p.nrm && !sent.dateTimeSkipped;
    const std::pair<bool, DataGroup> groups[] = {{choice.header, DataGroup::Ticket},
                                                 {choice.id, DataGroup::Ids},
                                                 {choice.setpoint, DataGroup::Setpoints},
                                                 {allParameters, DataGroup::Parameters}};
    for (const auto &[went, group] : groups)
        if (went)
            set.sentToIndicator(group);
}

}  // namespace

SendAllJobResult RunSendAllJob(Link &link, Operator &op, const TextService &texts, WorkingSet &set,
                               const SendAllJob &job)
{
    SendAllJobResult done;
    // Every value is checked before the first frame: a group that holds no value or a
    // value that cannot go stops the send whole; a blank memory goes only when allowed.
    done.check = CheckBeforeSend(set.record(), set.parameters(), job.choice, job.model, job.weight);
    if (done.check.problem) {
        done.end = SendJobEnd::Unfit;
        done.messages.push_back({SendProblemText(*done.check.problem, texts), Icon::Critical});
        return done;
    }
    if (!done.check.blank.empty() && !(job.allowClearing && job.allowClearing(done.check.blank))) {
        done.end = SendJobEnd::NotCleared;
        return done;
    }
    LineLease lease(link, kJoin);
    if (!lease) {
        done.end = SendJobEnd::NoLine;
        return done;
    }
    SameIndicatorCheck same;
    bool checked = false;
    if (job.askSameIndicator) {
        Operator &asker = job.sameIndicatorOperator ? *job.sameIndicatorOperator : op;
        if (!ConfirmSameIndicator(link, asker, texts, set, job.choice.parameters.calibration, &same)) {
            done.end = SendJobEnd::Declined;
            return done;
        }
        checked = true;
    }
    if (!job.restorePointFolder.isEmpty() && RestorePointNeeded(job.choice)) {
        if (!checked)
            same.indicator = ReadIndicatorIdentification(link, texts.lines());
        done.restorePoint = MakeRestorePoint(link, texts, job.choice, job.model, same.indicator, job.weight,
                                             job.restorePointFolder, job.disconnect);
        if (!done.restorePoint.ok) {
            done.end = SendJobEnd::RestorePointFailed;
            done.messages.push_back({done.restorePoint.message, Icon::Critical});
            return done;
        }
        if (job.restorePointMade && !done.restorePoint.path.isEmpty())
            job.restorePointMade(done.restorePoint.path);
    }
    // The indicator read just now is the one the data goes to.
    if (same.indicator && !same.indicator->empty())
        set.setSource(job.model, same.indicator);
    done.sent = SendAll(link, set, texts, job.choice, job.weight);
    lease.release();
    const bool whole = done.sent.outcome == BatchOutcome::Completed;
    done.end = whole ? SendJobEnd::Sent : SendJobEnd::Stopped;
    // A send that stopped in a group names every group that did not go, not only that one.
    if (!whole && done.sent.outcome != BatchOutcome::ProbeRefused)
        if (const QString notSent = GroupsNotDoneText(done.sent.groups, texts, true); !notSent.isEmpty())
            done.messages.push_back({notSent, Icon::Warning});

    // The service history: one record of this send, whatever its outcome.
    const int skipped = job.skippedWrites ? job.skippedWrites() : 0;
    HistoryRecord record =
        SendHistoryRecord(ProvenanceIdentity(set, same.indicator, job.modelText,
                                             same.version.isEmpty() ? job.version : same.version),
                          job.choice, done.sent, job.tool, skipped);
    if (!done.restorePoint.path.isEmpty())
        record.restorePoint = QFileInfo(done.restorePoint.path).fileName();
    if (done.restorePoint.before)
        AddChangedRows(record, *done.restorePoint.before, set, job.choice.parameters);
    done.historyError = AppendJobRecord(record, job.note);
    done.record = std::move(record);
    if (whole)
        markSent(set, job.choice, done.sent);
    return done;
}

// ---- the selective send ----

SelectiveSendJobResult RunSelectiveSendJob(Link &link, Operator &op, const WorkingSet &file,
                                           const SelectiveSendJob &job)
{
    SelectiveSendJobResult done{.lineTaken = false, .send = {}, .record = {}, .historyError = {}, .message = {}};
    LineLease lease(link, kJoin);
    if (!lease)
        return done;
    done.lineTaken = true;
    SameIndicatorCheck same;
    SelectiveSendContext context = job.context;
    if (job.confirmSend) {
        context.confirmSend = job.confirmSend;
    } else if (job.askSameIndicator) {
        Operator &asker = job.sameIndicatorOperator ? *job.sameIndicatorOperator : op;
        context.confirmSend = [&] {
            return ConfirmSameIndicator(link, asker, job.context.texts, file, job.selection.calibration, &same);
        };
    }
    done.send = SelectiveSend(link, file, job.selection, context);
    lease.release();
    done.message = SelectiveSendMessage(done.send, job.context.texts);
    // The service history hears of every send that went on the line.
    const SelectiveOutcome outcome = done.send.outcome;
    if (outcome != SelectiveOutcome::Sent && outcome != SelectiveOutcome::SendStopped)
        return done;
    HistoryRecord record = SelectiveSendHistoryRecord(
        ProvenanceIdentity(file, same.indicator ? same.indicator : job.indicator, job.modelText, same.version.isEmpty() ? job.version : same.version),
        done.send, job.tool, job.skippedWrites ? job.skippedWrites() : 0);
    done.historyError = AppendJobRecord(record, job.note);
    done.record = std::move(record);
    return done;
}

}  // namespace vx
