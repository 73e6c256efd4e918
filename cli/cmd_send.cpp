// vextora-cli send: open a configuration file and send-all of the chosen groups.

#include "cli/BatchRun.h"

#include "files/Batch.h"
#include "files/ConfigFile.h"
#include "files/SelectiveSend.h"
#include "files/WorkingSet.h"
#include "link/LineLease.h"
#include "shell/TextService.h"

#include <QJsonArray>

namespace vx::cli {
namespace {

const QStringList kGroups = {QStringLiteral("header"),      QStringLiteral("id"),  QStringLiteral("setpoint"),
                             QStringLiteral("calibration"), QStringLiteral("jmp"), QStringLiteral("nrm"),
                             QStringLiteral("datetime")};

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

// send FILE --only LIST: only the rows named, each group built from what the indicator
// holds just before the send.
int runOnly(Session &s, const CommandArgs &args, const QString &file)
{
    if (args.isSet(QStringLiteral("groups")) || args.isSet(QStringLiteral("printer")))
        return s.usageError(QStringLiteral("--only goes without --groups and --printer"));
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

    FileError fileError;
    const std::optional<ConfigurationRecord> record = ReadConfigurationFile(file, &fileError);
    if (!record) {
        if (fileError.kind == FileError::CutOff)
            s.error(QStringLiteral("\"%1\" ends after %2 bytes, before the configuration does").arg(file, fileError.reason));
        else
            s.error(QStringLiteral("cannot read \"%1\": %2").arg(file, fileError.reason));
        return ExitFile;
    }
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
    set.parameters().weight = batch.weight();
    GridDüzen(set.parameters(), s.texts(), v.model);
    set.record() = *record;
    set.show(s.texts());
    if (s.interrupted()) {
        batch.finish();
        return ExitCancelled;
    }

    LineLease lease(batch.link());
    if (!lease)
        return ExitPort;
    const SelectiveSendResult result =
        SelectiveSend(batch.link(), set, *selection,
                      {.texts = s.textService(), .weight = batch.weight(), .model = v.model, .confirmSend = {},
                       .disconnect = {}});
    lease.release();
    batch.finish();

    const bool whole = result.outcome == SelectiveOutcome::Sent && batch.skippedWrites() == 0;
    if (s.json()) {
        QJsonArray groups;
        for (BatchGroup g : result.groups)
            groups.append(GroupKey(g));
        s.printJson({{QStringLiteral("file"), file},
                     {QStringLiteral("model"), v.modelText},
                     {QStringLiteral("groups"), groups},
                     {QStringLiteral("outcome"), whole ? QStringLiteral("sent") : QStringLiteral("not sent")},
                     {QStringLiteral("skippedWrites"), batch.skippedWrites()},
                     {QStringLiteral("changed"), DifferencesJson(result.changed, s.textService())}},
                    true);
    } else {
        const QString message = SelectiveSendMessage(result, s.textService());
        if (whole)
            s.print(QStringLiteral("%1: %2").arg(file, message));
        else if (!message.isEmpty())
            s.error(message);
        if (batch.skippedWrites() > 0)
            s.error(QStringLiteral("%1 write(s) failed and were skipped (see ZRxLog.txt)").arg(batch.skippedWrites()));
    }
    if (whole)
        return ExitOk;
    if (batch.interrupted())
        return ExitCancelled;
    return ExitNoAnswer;
}

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.size() != 1)
        return s.usageError(QStringLiteral("send takes one FILE"));
    const QString file = args.positional.first();
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
    const QString onFailure =
        args.isSet(QStringLiteral("on-failure")) ? args.value(QStringLiteral("on-failure")) : "abort";
    if (onFailure != QLatin1String("abort") && onFailure != QLatin1String("ignore"))
        return s.usageError(QStringLiteral("--on-failure must be abort or ignore"));

    // With --json the run ends with one object, whatever happened after the arguments.
    auto reportNothingSent = [&] {
        if (s.json())
            s.printJson({{QStringLiteral("file"), file},
                         {QStringLiteral("groups"), QJsonArray::fromStringList(groups)},
                         {QStringLiteral("outcome"), QStringLiteral("not started")},
                         {QStringLiteral("results"), GroupResults(groups, {}, QStringLiteral("sent"))}},
                        true);
    };

    FileError fileError;
    const std::optional<ConfigurationRecord> record = ReadConfigurationFile(file, &fileError);
    if (!record) {
        reportNothingSent();
        if (fileError.kind == FileError::CutOff)
            s.error(QStringLiteral("\"%1\" ends after %2 bytes, before the configuration does").arg(file, fileError.reason));
        else
            s.error(QStringLiteral("cannot read \"%1\": %2").arg(file, fileError.reason));
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
    set.parameters().weight = batch.weight();
    GridDüzen(set.parameters(), s.texts(), v.model);
    set.record() = *record;
    set.show(s.texts());
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
    LineLease lease(batch.link());
    if (!lease) {
        reportNothingSent();
        return ExitPort;
    }
    const SendAllResult result = SendAll(batch.link(), set, s.textService(), choice, batch.weight());
    lease.release();
    batch.finish();
    // A send that stopped in a group names every group that did not go, not only that one.
    if (result.outcome != BatchOutcome::Completed && result.outcome != BatchOutcome::ProbeRefused) {
        if (const QString notSent = GroupsNotDoneText(result.groups, s.textService(), true); !notSent.isEmpty())
            s.error(notSent);
    }

    const bool whole = result.outcome == BatchOutcome::Completed && batch.skippedWrites() == 0 && !result.dateTimeSkipped;
    if (s.json()) {
        s.printJson({{QStringLiteral("file"), file},
                     {QStringLiteral("model"), v.modelText},
                     {QStringLiteral("groups"), QJsonArray::fromStringList(groups)},
                     {QStringLiteral("outcome"), outcomeText(result.outcome)},
                     {QStringLiteral("skippedWrites"), batch.skippedWrites()},
                     {QStringLiteral("dateTimeSent"), choice.parameters.dateTime && !result.dateTimeSkipped},
                     {QStringLiteral("results"), GroupResults(groups, result.groups, QStringLiteral("sent"), &batch)}},
                    true);
    } else if (whole) {
        s.print(QStringLiteral("%1: %2 sent to the %3").arg(file, groups.join(QStringLiteral(", ")), v.modelText));
    } else if (batch.skippedWrites() > 0) {
        s.error(QStringLiteral("%1 write(s) failed and were skipped (see ZRxLog.txt)").arg(batch.skippedWrites()));
    }
    if (whole)
        return ExitOk;
    if (batch.interrupted())
        return ExitCancelled;
    return ExitNoAnswer;
}

const Registration registration{{
    .name = QStringLiteral("send"),
    .synopsis = QStringLiteral("send FILE --groups LIST [--printer ticket|epl] [--on-failure abort|ignore]"),
    .help = QStringLiteral(
        "open the configuration file FILE and send-all. LIST from header,id,setpoint,\n"
        "calibration,jmp,nrm,datetime in any order (no default: a send is explicit); the\n"
        "groups go in the window's order. A write that keeps failing aborts the send, or with\n"
        "--on-failure ignore is skipped and logged (exit 1 either way). --only sends only\n"
        "the rows named (diff's keys: row:N, id:N, idheader:N, setpoint:N, calibration,\n"
        "ticket, epl, or a parameter code such as 101): their groups are read again from\n"
        "the indicator and sent with only those rows taken from FILE"),
    .options = {GroupsOption(), PrinterOption(),
                {QStringLiteral("on-failure"), QStringLiteral("abort|ignore"),
                 QStringLiteral("what a write that keeps failing does (default abort)")},
                {QStringLiteral("only"), QStringLiteral("ROWS"),
                 QStringLiteral("send only these rows, the rest of their groups as the indicator holds them")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
