// vextora-cli send: open a configuration file and send-all of the chosen groups.

#include "cli/BatchRun.h"
#include "cli/ConfigFileArg.h"
#include "cli/HistoryNote.h"

#include "files/Batch.h"
#include "files/ConfigFile.h"
#include "files/RestorePoint.h"
#include "files/SameIndicator.h"
#include "files/SelectiveSend.h"
#include "files/SendCheck.h"
#include "files/WorkingSet.h"
#include "link/ForwardingOperator.h"
#include "link/LineLease.h"
#include "service/HistoryRecords.h"
#include "service/TransferJobs.h"
#include "shell/TextService.h"

#include <QFileInfo>
#include <QJsonArray>

namespace vx::cli {
namespace {

const QStringList kGroups = {QStringLiteral("header"),      QStringLiteral("id"),  QStringLiteral("setpoint"),
                             QStringLiteral("calibration"), QStringLiteral("jmp"), QStringLiteral("nrm"),
                             QStringLiteral("datetime")};

// The memories a file may clear on the indicator, on purpose only.
const QStringList kClearable = {QStringLiteral("id"), QStringLiteral("setpoint"), QStringLiteral("header")};

// The blank memories --clear does not name, by their --groups names.
QStringList NotClearedGroups(const std::vector<BatchGroup> &blank, const QStringList &clear)
{
    QStringList out;
    for (BatchGroup g : blank) {
        const QString key = g == BatchGroup::Id ? QStringLiteral("id")
            : g == BatchGroup::Setpoint         ? QStringLiteral("setpoint")
                                                : QStringLiteral("header");
        if (!clear.contains(key))
            out << key;
    }
    return out;
}

QString outcomeText(BatchOutcome outcome)
{
    switch (outcome) {
    case BatchOutcome::Completed: return QStringLiteral("sent");
    case BatchOutcome::Aborted: return QStringLiteral("aborted");
    case BatchOutcome::Refused: return QStringLiteral("refused");
    case BatchOutcome::NotSent: return QStringLiteral("not sent");
    case BatchOutcome::ProbeRefused: return QStringLiteral("not started");
    }
    return {};
}

// --yes answers the question before sending another indicator's file, saying so.
class ConfirmedOperator : public ForwardingOperator {
public:
    ConfirmedOperator(Session &s) : ForwardingOperator(s.op()), m_session(s) {}
    Choice yesNo(const QString &text, Icon, const QString &) override
    {
        m_session.error(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QStringLiteral(" (--yes)"));
        return Choice::Yes;
    }

private:
    Session &m_session;
};

// send FILE --only LIST: only the rows named, each group built from what the indicator
// holds just before the send.
int runOnly(Session &s, const CommandArgs &args, const QString &file)
{
    if (args.isSet(QStringLiteral("groups")) || args.isSet(QStringLiteral("printer")) || args.isSet(QStringLiteral("clear")))
        return s.usageError(QStringLiteral("--only goes without --groups, --printer and --clear"));
    QString bad;
    const std::optional<Selection> selection = ParseSelection(args.value(QStringLiteral("only")), &bad);
    if (!selection)
        return s.usageError(QStringLiteral("--only: \"%1\" names nothing that can be sent").arg(bad));
    if (selection->ticketLines && selection->eplText)
        return s.usageError(s.textService().builtIn(BuiltIn::SelectiveBothPrinters));
    const QString onFailure =
        args.isSet(QStringLiteral("on-failure")) ? args.value(QStringLiteral("on-failure")) : "abort";
    if (onFailure != QLatin1String("abort") && onFailure != QLatin1String("ignore"))
        return s.usageError(QStringLiteral("--on-failure must be abort or ignore"));

    const std::optional<ConfigurationRecord> record = ReadConfigurationArg(s, file);
    if (!record)
        return ExitFile;
    BatchRun batch(s, onFailure == QLatin1String("ignore") ? BatchRun::OnFailure::Ignore : BatchRun::OnFailure::Abort);
    VersionResult v;
    if (const int rc = batch.connect(v); rc != ExitOk)
        return rc;
    const ModelFeatures has = FeaturesOf(v.model);
    if ((!selection->idRecords.empty() || !selection->idHeaders.empty()) && !has.idMemory) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no ID memory").arg(v.modelText));
    }
    if (!selection->setpointRecords.empty() && !has.setpointMemory) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no setpoint memory").arg(v.modelText));
    }
    if (selection->eplText && !has.eplPrinter) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no EPL printer").arg(v.modelText));
    }
    WorkingSet set;
    set.showFile(*record, s.texts(), v.model, batch.weight());
    if (s.interrupted()) {
        batch.finish();
        return ExitCancelled;
    }

    // Another indicator's file (or one that names none) goes only when confirmed, as in a send-all.
    ConfirmedOperator confirmed(s);
    // The restore point is the re-read the selective send makes anyway, saved before it writes.
    const bool backup = args.isSet(QStringLiteral("backup")) || args.isSet(QStringLiteral("backup-dir"));
    const QString backupFolder =
        args.isSet(QStringLiteral("backup-dir")) ? args.value(QStringLiteral("backup-dir")) : DefaultRestorePointFolder();
    const SelectiveSendJobResult done = RunSelectiveSendJob(
        batch.link(), s.op(), set,
        {.selection = *selection,
         .modelText = v.modelText,
         .version = v.versionText,
         .askSameIndicator = true,
         .sameIndicatorOperator = args.isSet(QStringLiteral("yes")) ? &confirmed : nullptr,
         .confirmSend = {},
         .indicator = {},
         .context = {.texts = s.textService(), .weight = batch.weight(), .model = v.model, .confirmSend = {},
                     .disconnect = {}, .restorePointFolder = backup ? backupFolder : QString()},
         .note = args.value(QStringLiteral("note")),
         .tool = HistoryTool::Cli,
         .skippedWrites = [&batch] { return batch.skippedWrites(); }});
    batch.finish();
    if (!done.lineTaken)
        return ExitPort;
    const SelectiveSendResult &result = done.send;
    if (result.outcome == SelectiveOutcome::Declined)
        s.error(QStringLiteral("the send was not confirmed; nothing was sent (--yes sends another indicator's file)"));
    if (!result.restorePoint.isEmpty() && !s.json())
        s.error(s.textService().builtIn(BuiltIn::RestorePointMade).arg(result.restorePoint));
    const std::optional<QString> historyError = done.historyError;
    if (historyError && done.record)
        SayHistoryNotWritten(s, *done.record, *historyError);

    const bool whole = (result.outcome == SelectiveOutcome::Sent || result.outcome == SelectiveOutcome::NothingDiffers)
        && batch.skippedWrites() == 0;
    if (s.json()) {
        QJsonArray groups;
        for (BatchGroup g : result.groups)
            groups.append(GroupKey(g));
        QJsonObject o{{QStringLiteral("file"), file},
                     {QStringLiteral("model"), v.modelText},
                     {QStringLiteral("groups"), groups},
                     {QStringLiteral("outcome"), result.outcome == SelectiveOutcome::NothingDiffers
                                                     ? QStringLiteral("nothing differs")
                                                     : whole ? QStringLiteral("sent") : QStringLiteral("not sent")},
                     {QStringLiteral("skippedWrites"), batch.skippedWrites()},
                     {QStringLiteral("changed"), DifferencesJson(result.changed, s.textService())}};
        if (historyError)
            o.insert(QStringLiteral("historyError"), *historyError);
        if (backup)
            o.insert(QStringLiteral("backup"), result.restorePoint.isEmpty() ? QJsonValue() : QJsonValue(result.restorePoint));
        s.printJson(o, true);
    } else {
        const QString &message = done.message;
        if (whole)
            s.print(QStringLiteral("%1: %2").arg(file, message));
        else if (!message.isEmpty())
            s.error(message);
        if (batch.skippedWrites() > 0)
            s.error(QStringLiteral("%1 write(s) failed and were skipped (see ZRxLog.txt)").arg(batch.skippedWrites()));
    }
    if (whole)
        return WithHistory(ExitOk, historyError);
    return SelectiveSendFailureExit(result, batch.interrupted());
}

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.size() != 1)
        return s.usageError(QStringLiteral("send takes one FILE"));
    const QString file = args.positional.first();
    if (const std::optional<QString> badNote = CheckNote(args))
        return s.usageError(*badNote);
    if (args.isSet(QStringLiteral("only")))
        return runOnly(s, args, file);
    if (!args.isSet(QStringLiteral("groups")))
        return s.usageError(QStringLiteral("send needs --groups (from %1): a send is explicit").arg(kGroups.join(',')));
    QString unknown;
    const QStringList groups = SplitGroups(args.value(QStringLiteral("groups")), kGroups, &unknown);
    if (!unknown.isEmpty())
        return s.usageError(QStringLiteral("--groups: \"%1\" is none of %2").arg(unknown, kGroups.join(',')));
    if (groups.isEmpty())
        return s.usageError(QStringLiteral("--groups names no group"));
    const std::optional<PrinterKind> printer = PrinterChoice(args);
    if (!printer)
        return s.usageError(QStringLiteral("--printer must be ticket or epl"));
    QStringList clear;
    if (args.isSet(QStringLiteral("clear"))) {
        clear = SplitGroups(args.value(QStringLiteral("clear")), kClearable, &unknown);
        if (!unknown.isEmpty())
            return s.usageError(QStringLiteral("--clear: \"%1\" is none of %2").arg(unknown, kClearable.join(',')));
        for (const QString &g : clear)
            if (!groups.contains(g))
                return s.usageError(QStringLiteral("--clear %1: the group is not among --groups").arg(g));
    }
    const QString onFailure =
        args.isSet(QStringLiteral("on-failure")) ? args.value(QStringLiteral("on-failure")) : "abort";
    if (onFailure != QLatin1String("abort") && onFailure != QLatin1String("ignore"))
        return s.usageError(QStringLiteral("--on-failure must be abort or ignore"));

    // A restore point of what the send overwrites, read and saved before it starts.
    const bool backup = args.isSet(QStringLiteral("backup")) || args.isSet(QStringLiteral("backup-dir"));
    const QString backupFolder =
        args.isSet(QStringLiteral("backup-dir")) ? args.value(QStringLiteral("backup-dir")) : DefaultRestorePointFolder();
    QString backupPath;
    auto withBackup = [&](QJsonObject object) {
        if (backup)
            object.insert(QStringLiteral("backup"), backupPath.isEmpty() ? QJsonValue() : QJsonValue(backupPath));
        return object;
    };

    // With --json the run ends with one object, whatever happened after the arguments.
    auto reportNothingSent = [&](const QString &outcome = QStringLiteral("not started")) {
        if (s.json())
            s.printJson(withBackup({{QStringLiteral("file"), file},
                                    {QStringLiteral("groups"), QJsonArray::fromStringList(groups)},
                                    {QStringLiteral("outcome"), outcome},
                                    {QStringLiteral("results"), GroupResults(groups, {}, QStringLiteral("sent"))}}),
                        true);
    };

    const std::optional<ConfigurationRecord> record = ReadConfigurationArg(s, file);
    if (!record) {
        reportNothingSent();
        return ExitFile;
    }

    BatchRun batch(s, onFailure == QLatin1String("ignore") ? BatchRun::OnFailure::Ignore : BatchRun::OnFailure::Abort);
    VersionResult v;
    if (const int rc = batch.connect(v); rc != ExitOk) {
        reportNothingSent();
        return rc;
    }
    const ModelFeatures has = FeaturesOf(v.model);
    if (const std::optional<QString> missing = MissingFeature(groups, has)) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no %2").arg(v.modelText, *missing));
    }
    if (!has.eplPrinter && *printer == PrinterKind::Epl) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no EPL printer").arg(v.modelText));
    }

    // As the window does: the file opened into the working set, then collected when the
    // send panel opens.
    WorkingSet set;
    set.showFile(*record, s.texts(), v.model, batch.weight());
    set.collect();

    SendAllChoice choice;
    choice.header = groups.contains(QLatin1String("header"));
    choice.id = groups.contains(QLatin1String("id"));
    choice.setpoint = groups.contains(QLatin1String("setpoint"));
    choice.parameters = {.dateTime = groups.contains(QLatin1String("datetime")),
                         .calibration = groups.contains(QLatin1String("calibration")),
                         .jmp = groups.contains(QLatin1String("jmp")),
                         .nrm = groups.contains(QLatin1String("nrm"))};
    choice.printer = *printer;
    choice.groupStarted = [&batch](BatchGroup group) { batch.groupStarted(group); };

    if (s.interrupted()) {  // stopped while connecting: nothing has been sent
        batch.finish();
        reportNothingSent();
        return ExitCancelled;
    }
    // The job checks every value before the first frame (a group the file holds no value
    // for, or a value that cannot go, stops the send whole; a blank memory goes only with
    // --clear), asks about another indicator's file (on a terminal, otherwise only with
    // --yes), makes the restore point, sends and writes the history record.
    ConfirmedOperator confirmed(s);
    SendAllJob job{.choice = choice, .model = v.model, .modelText = v.modelText, .version = v.versionText,
                   .weight = batch.weight(),
                   .allowClearing =
                       [&](const std::vector<BatchGroup> &blank) {
                           if (!NotClearedGroups(blank, clear).isEmpty())
                               return false;
                           for (BatchGroup g : blank)
                               s.error(QStringLiteral("%1 is cleared on the indicator (--clear)")
                                           .arg(BatchGroupCaption(g, s.textService(), true).trimmed()));
                           return true;
                       },
                   .askSameIndicator = true,
                   .sameIndicatorOperator = args.isSet(QStringLiteral("yes")) ? &confirmed : nullptr,
                   .restorePointFolder = backup ? backupFolder : QString(),
                   .disconnect = {},
                   .note = args.value(QStringLiteral("note")),
                   .tool = HistoryTool::Cli,
                   .skippedWrites = [&batch] { return batch.skippedWrites(); },
                   .restorePointMade = {}};
    job.restorePointMade = [&](const QString &path) {
        if (!s.json())
            s.error(s.textService().builtIn(BuiltIn::RestorePointMade).arg(path));
    };
    const SendAllJobResult done = RunSendAllJob(batch.link(), s.op(), s.textService(), set, job);
    batch.finish();
    for (const JobMessage &m : done.messages)
        s.error(m.text);
    switch (done.end) {
    case SendJobEnd::Unfit:
        reportNothingSent(QStringLiteral("not sent"));
        return ExitFile;
    case SendJobEnd::NotCleared:
        s.error(QStringLiteral("%1 holds nothing for %2: sending would clear it on the indicator; nothing was sent "
                               "(--clear %3 clears it on purpose)")
                    .arg(file, BlankGroupsText(done.check.blank, s.textService()),
                         NotClearedGroups(done.check.blank, clear).join(QLatin1Char(','))));
        reportNothingSent(QStringLiteral("not sent"));
        return ExitFile;
    case SendJobEnd::NoLine:
        reportNothingSent();
        return ExitPort;
    case SendJobEnd::Declined:
        s.error(QStringLiteral("the send was not confirmed; nothing was sent (--yes sends another indicator's file)"));
        reportNothingSent(QStringLiteral("declined"));
        return ExitCancelled;
    case SendJobEnd::RestorePointFailed:
        reportNothingSent();
        if (done.restorePoint.failure == RestorePointResult::Failure::Folder
            || done.restorePoint.failure == RestorePointResult::Failure::Save)
            return ExitFile;
        return batch.interrupted() ? ExitCancelled : ExitNoAnswer;
    case SendJobEnd::Sent:
    case SendJobEnd::Stopped: break;
    }
    backupPath = done.restorePoint.path;
    const SendAllResult &result = done.sent;
    const std::optional<QString> historyError = done.historyError;
    if (historyError && done.record)
        SayHistoryNotWritten(s, *done.record, *historyError);

    const bool whole = result.outcome == BatchOutcome::Completed && batch.skippedWrites() == 0 && !result.dateTimeSkipped;
    if (s.json()) {
        QJsonObject o = withBackup({{QStringLiteral("file"), file},
                                    {QStringLiteral("model"), v.modelText},
                                    {QStringLiteral("groups"), QJsonArray::fromStringList(groups)},
                                    {QStringLiteral("outcome"), outcomeText(result.outcome)},
                                    {QStringLiteral("skippedWrites"), batch.skippedWrites()},
                                    {QStringLiteral("dateTimeSent"), choice.parameters.dateTime && !result.dateTimeSkipped},
                                    {QStringLiteral("results"), GroupResults(groups, result.groups, QStringLiteral("sent"), &batch)}});
        if (historyError)
            o.insert(QStringLiteral("historyError"), *historyError);
        s.printJson(o, true);
    } else if (whole) {
        s.print(QStringLiteral("%1: %2 sent to the %3").arg(file, groups.join(QStringLiteral(", ")), v.modelText));
    } else if (batch.skippedWrites() > 0) {
        s.error(QStringLiteral("%1 write(s) failed and were skipped (see ZRxLog.txt)").arg(batch.skippedWrites()));
    }
    if (whole)
        return WithHistory(ExitOk, historyError);
    if (batch.interrupted())
        return ExitCancelled;
    return ExitNoAnswer;
}

const Registration registration{{
    .name = QStringLiteral("send"),
    .synopsis = QStringLiteral("send FILE --groups LIST [--printer ticket|epl] [--on-failure abort|ignore] [--yes]\n"
                               "     [--clear LIST] [--backup] [--backup-dir DIR] [--note TEXT]\n"
                               "send FILE --only ROWS [--on-failure abort|ignore] [--yes] [--backup] [--backup-dir DIR]\n"
                               "     [--note TEXT]"),
    .help = QStringLiteral(
        "open the configuration file FILE and send-all. LIST from header,id,setpoint,\n"
        "calibration,jmp,nrm,datetime in any order (no default: a send is explicit); the\n"
        "groups go in the window's order. A write that keeps failing aborts the send, or with\n"
        "--on-failure ignore is skipped and logged (exit 1 either way). A file whose\n"
        "identification texts (rows 82, 83) are not the indicator's, or that holds none, is\n"
        "sent only when confirmed on the terminal or with --yes (declined: exit 6). --backup\n"
        "first reads the groups the send overwrites and saves them as a restore point in\n"
        "BACKUP (or --backup-dir DIR); when that fails nothing is sent (exit 7 for the\n"
        "folder or the file, 1 for the read). Before anything is sent every chosen group is\n"
        "checked: a parameter part with an empty row, a value outside its row's field, a\n"
        "setpoint that is not wholly a number or an ID number that is none stops the send\n"
        "(exit 7, the group and row named). A blank ID or setpoint memory or blank ticket\n"
        "lines clear the indicator's: they go only when --clear names them (--yes does not).\n"
        "--only sends only the rows named (diff's keys: row:N, id:N, idheader:N, setpoint:N,\n"
        "calibration, ticket, epl, or a parameter code such as 101): their groups are read\n"
        "again from the indicator and sent with only those rows taken from FILE; nothing\n"
        "is sent when none of them differs (exit 0); --backup saves that re-read as the\n"
        "restore point"),
    .options = {GroupsOption(), PrinterOption(),
                {QStringLiteral("on-failure"), QStringLiteral("abort|ignore"),
                 QStringLiteral("what a write that keeps failing does (default abort)")},
                {QStringLiteral("yes"), QString(), QStringLiteral("send another indicator's file without asking")},
                {QStringLiteral("clear"), QStringLiteral("LIST"),
                 QStringLiteral("id,setpoint,header: send these memories although the file holds them blank")},
                {QStringLiteral("backup"), QString(), QStringLiteral("a restore point before sending")},
                {QStringLiteral("backup-dir"), QStringLiteral("DIR"),
                 QStringLiteral("the restore point's folder (default BACKUP; implies --backup)")},
                {QStringLiteral("only"), QStringLiteral("ROWS"),
                 QStringLiteral("send only these rows, the rest of their groups as the indicator holds them")},
                NoteOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
