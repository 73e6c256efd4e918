// vextora-cli set: parameter rows changed from a script, in a configuration file
// (only the bytes of the rows changed are new) or, with --live, on the connected
// indicator through the selective send.

#include "cli/BatchRun.h"
#include "cli/HistoryNote.h"

#include "files/RestorePoint.h"
#include "files/SameIndicator.h"
#include "files/ScriptEdit.h"
#include "files/SelectiveSend.h"
#include "files/WorkingSet.h"
#include "link/LineLease.h"
#include "params/Catalogue.h"
#include "params/ScriptValue.h"
#include "service/HistoryRecords.h"
#include "service/TransferJobs.h"
#include "shell/TextService.h"

#include <QFileInfo>
#include <QJsonArray>

namespace vx::cli {
namespace {


QJsonArray changesJson(const std::vector<RowChange> &changes)
{
    QJsonArray out;
    for (const RowChange &c : changes)
        out.append(QJsonObject{{QStringLiteral("row"), c.row},
                               {QStringLiteral("code"), params::RowCode(params::RowAt(c.row))},
                               {QStringLiteral("before"), c.before.trimmed()},
                               {QStringLiteral("after"), c.after.trimmed()}});
    return out;
}

void printChanges(Session &s, const std::vector<RowChange> &changes)
{
    for (const RowChange &c : changes)
        s.print(QStringLiteral("%1: %2 -> %3")
                    .arg(params::RowName(c.row, s.texts()), c.before.trimmed(), c.after.trimmed()));
}

int runFile(Session &s, const QString &file, const std::vector<Assignment> &assignments)
{
    const FileEdit edit = SetRowsInFile(file, assignments, s.texts());
    switch (edit.failure) {
    case FileEdit::Failure::Usage: return s.usageError(edit.message);
    case FileEdit::Failure::Read:
    case FileEdit::Failure::Write: s.error(edit.message); return ExitFile;
    case FileEdit::Failure::None: break;
    }
    if (s.json()) {
        s.printJson({{QStringLiteral("file"), file},
                     {QStringLiteral("written"), !edit.edit.changes.empty()},
                     {QStringLiteral("changed"), changesJson(edit.edit.changes)}},
                    true);
    } else if (edit.edit.changes.empty()) {
        s.print(QStringLiteral("%1: the rows already hold these values; the file is unchanged").arg(file));
    } else {
        printChanges(s, edit.edit.changes);
        s.print(QStringLiteral("%1: written").arg(file));
    }
    return ExitOk;
}

int runLive(Session &s, const CommandArgs &args, const std::vector<Assignment> &assignments)
{
    if (const std::optional<QString> badNote = CheckNote(args))
        return s.usageError(*badNote);
    if (args.isSet(QStringLiteral("no-backup")) && args.isSet(QStringLiteral("backup-dir")))
        return s.usageError(QStringLiteral("--no-backup goes without --backup-dir"));
    BatchRun batch(s);
    VersionResult v;
    if (const int rc = batch.connect(v); rc != ExitOk)
        return rc;

    // The values entered as the grid enters them, for this model and range.
    WorkingSet wanted;
    LayOutGrid(wanted.parameters(), s.texts(), v.model);
    wanted.parameters().weight = batch.weight();
    const ScriptEdit edit = ApplyAssignments(wanted.parameters(), assignments, s.texts(), v.model);
    if (!edit.ok()) {
        batch.finish();
        return s.usageError(edit.refused);
    }
    Selection selection;
    selection.parameterRows = edit.rows;

    if (s.interrupted()) {
        batch.finish();
        return ExitCancelled;
    }
    // The restore point is the re-read the selective send makes anyway, saved before it writes.
    const QString backupFolder = args.isSet(QStringLiteral("no-backup")) ? QString()
                                 : args.isSet(QStringLiteral("backup-dir")) ? args.value(QStringLiteral("backup-dir"))
                                                                              : DefaultRestorePointFolder();
    // The indicator's identification texts, for the restore point and the history record,
    // are read first, in the selective send's line: the rows and the set's source.
    const SelectiveSendJobResult done = RunSelectiveSendJob(
        batch.link(), s.op(), wanted,
        {.selection = selection,
         .modelText = v.modelText,
         .version = v.versionText,
         .askSameIndicator = false,
         .sameIndicatorOperator = nullptr,
         .confirmSend =
             [&] {
                 const std::optional<IdentificationTexts> identification =
                     ReadIndicatorIdentification(batch.link(), s.texts());
                 if (identification) {
                     wanted.parameters().setValue(params::ModelTextRow, identification->model);
                     wanted.parameters().setValue(params::SecondTextRow, identification->second);
                     wanted.setSource(v.model, identification);
                 }
                 return true;
             },
         .indicator = {},
         .context = {.texts = s.textService(), .weight = batch.weight(), .model = v.model, .confirmSend = {},
                     .disconnect = {}, .restorePointFolder = backupFolder},
         .note = args.value(QStringLiteral("note")),
         .tool = HistoryTool::Cli,
         .skippedWrites = [&batch] { return batch.skippedWrites(); }});
    batch.finish();
    if (!done.lineTaken)
        return ExitPort;
    const SelectiveSendResult &result = done.send;
    const QString backupPath = result.restorePoint;
    if (!backupPath.isEmpty() && !s.json())
        s.error(s.textService().builtIn(BuiltIn::RestorePointMade).arg(backupPath));
    const std::optional<QString> historyError = done.historyError;
    if (historyError && done.record)
        SayHistoryNotWritten(s, *done.record, *historyError);

    const bool whole = (result.outcome == SelectiveOutcome::Sent || result.outcome == SelectiveOutcome::NothingDiffers)
        && batch.skippedWrites() == 0;
    if (s.json()) {
        QJsonObject o{{QStringLiteral("model"), v.modelText},
                      {QStringLiteral("outcome"), whole ? QStringLiteral("sent") : QStringLiteral("not sent")},
                      {QStringLiteral("changed"), DifferencesJson(result.changed, s.textService())},
                      {QStringLiteral("backup"), backupPath.isEmpty() ? QJsonValue() : QJsonValue(backupPath)}};
        if (historyError)
            o.insert(QStringLiteral("historyError"), *historyError);
        s.printJson(o, true);
    } else {
        const QString &message = done.message;
        if (whole) {
            if (!result.changed.empty()) {
                QString text = DifferencesText(result.changed, s.textService(), v.modelText, QStringLiteral("set"));
                text.chop(1);
                s.print(text);
            }
            s.print(message);
        } else if (!message.isEmpty()) {
            s.error(message);
        }
    }
    if (whole)
        return WithHistory(ExitOk, historyError);
    return SelectiveSendFailureExit(result, batch.interrupted());
}

int run(Session &s, const CommandArgs &args)
{
    const bool live = args.isSet(QStringLiteral("live"));
    QStringList words = args.positional;
    QString file;
    if (!live) {
        if (words.isEmpty())
            return s.usageError(QStringLiteral("set takes FILE KEY=VALUE... (or --live KEY=VALUE...)"));
        file = words.takeFirst();
        for (const char *liveOnly : {"no-backup", "backup-dir", "note"})
            if (args.isSet(QString::fromLatin1(liveOnly)))
                return s.usageError(QStringLiteral("--%1 goes with set --live").arg(QString::fromLatin1(liveOnly)));
    }
    if (words.isEmpty())
        return s.usageError(QStringLiteral("set needs at least one KEY=VALUE"));
    std::vector<Assignment> assignments;
    QString bad;
    if (!ParseAssignments(words, &assignments, &bad))
        return s.usageError(QStringLiteral("\"%1\" is no KEY=VALUE").arg(bad));
    return live ? runLive(s, args, assignments) : runFile(s, file, assignments);
}

const Registration registration{{
    .name = QStringLiteral("set"),
    .synopsis = QStringLiteral("set FILE KEY=VALUE...\n"
                               "set --live KEY=VALUE... [--no-backup] [--backup-dir DIR] [--note TEXT]"),
    .help = QStringLiteral(
        "change parameter rows of the configuration file FILE: KEY is a parameter code\n"
        "(101) or row:N (211, 212 and 300 stand on two rows: name the row), VALUE as the\n"
        "grid takes it (a choice's number, a weight in kg, tenths 7.5, a number). Only the\n"
        "rows changed are written; every other byte stays. A key or value the row does not\n"
        "take changes nothing (exit 2). --live sets the rows on the connected indicator\n"
        "through the selective send: its groups read again, only these rows changed, a\n"
        "restore point in BACKUP first (unless --no-backup) and the history record"),
    .options = {{QStringLiteral("live"), QString(), QStringLiteral("set the rows on the connected indicator")},
                {QStringLiteral("no-backup"), QString(), QStringLiteral("no restore point before the send")},
                {QStringLiteral("backup-dir"), QStringLiteral("DIR"), QStringLiteral("the restore point's folder (default BACKUP)")},
                NoteOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
