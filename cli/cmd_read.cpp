// vextora-cli read: connect, read-all of the chosen groups, save the working set as a
// configuration file.

#include "cli/BatchRun.h"

#include "files/Batch.h"
#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
#include "link/Features.h"
#include "service/TransferJobs.h"
#include "link/SafeFile.h"
#include "shell/TextService.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace vx::cli {
namespace {

const QStringList kGroups = {QStringLiteral("header"), QStringLiteral("id"), QStringLiteral("setpoint"),
                             QStringLiteral("params")};

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.size() != 1)
        return s.usageError(QStringLiteral("read takes one FILE"));
    const QString file = args.positional.first();
    QStringList groups;
    if (args.isSet(QStringLiteral("groups"))) {
        QString unknown;
        groups = SplitGroups(args.value(QStringLiteral("groups")), kGroups, &unknown);
        if (!unknown.isEmpty())
            return s.usageError(QStringLiteral("--groups: \"%1\" is none of %2").arg(unknown, kGroups.join(',')));
        if (groups.isEmpty())
            return s.usageError(QStringLiteral("--groups names no group"));
    }
    const std::optional<PrinterKind> printer = PrinterChoice(args);
    if (!printer)
        return s.usageError(QStringLiteral("--printer must be ticket or epl"));

    // With --json the run ends with one object, whatever happened after the arguments.
    QString model;
    auto report = [&](const std::vector<GroupResult> &ran, bool written, const BatchRun *batch) {
        if (!s.json())
            return;
        QJsonObject o{{QStringLiteral("file"), QDir::toNativeSeparators(file)},
                      {QStringLiteral("written"), written},
                      {QStringLiteral("groups"), QJsonArray::fromStringList(groups)},
                      {QStringLiteral("results"), GroupResults(groups, ran, QStringLiteral("read"), batch)}};
        if (!model.isEmpty())
            o.insert(QStringLiteral("model"), model);
        if (written)
            o.insert(QStringLiteral("bytes"), QFileInfo(file).size());
        s.printJson(o, true);
    };

    // A file that cannot be written is found out before the read, not after it.
    QString why;
    if (!CheckWritableTarget(file, &why)) {
        s.error(QStringLiteral("cannot write \"%1\": %2").arg(file, why));
        report({}, false, nullptr);
        return ExitFile;
    }

    BatchRun batch(s);
    VersionResult v;
    if (const int rc = batch.connect(v); rc != ExitOk) {
        report({}, false, nullptr);
        return rc;
    }
    model = v.modelText;
    const ModelFeatures has = FeaturesOf(v.model);
    if (groups.isEmpty()) {
        for (const QString &group : kGroups)  // every group the model has
            if (!MissingFeature({group}, has))
                groups << group;
    }
    if (const std::optional<QString> missing = MissingFeature(groups, has)) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no %2").arg(v.modelText, *missing));
    }
    if (!has.eplPrinter && *printer == PrinterKind::Epl) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no EPL printer").arg(v.modelText));
    }
    if (s.interrupted()) {  // stopped while connecting: nothing of the read has begun
        batch.finish();
        report({}, false, nullptr);
        return ExitCancelled;
    }

    WorkingSet set;
    set.parameters().weight = batch.weight();
    LayOutGrid(set.parameters(), s.texts(), v.model);
    ReadAllChoice choice;
    choice.header = groups.contains(QLatin1String("header"));
    choice.id = groups.contains(QLatin1String("id"));
    choice.setpoint = groups.contains(QLatin1String("setpoint"));
    choice.parameters = groups.contains(QLatin1String("params"));
    choice.printer = *printer;
    choice.model = v.model;

    set.setSource(v.model, std::nullopt);
    const ReadAllJobResult done =
        RunReadAllJob(batch.link(), s.textService(), set, {.choice = choice, .weight = batch.weight(), .disconnect = {}});
    batch.finish();
    if (!done.lineTaken) {
        report({}, false, nullptr);
        return ExitPort;
    }
    const ReadAllResult &result = done.read;
    if (result.outcome != BatchOutcome::Completed) {
        // What was read stays unsaved: a file of half a working set would be sent later as a whole.
        for (const JobMessage &m : done.messages)
            s.error(m.text);
        s.error(QStringLiteral("the read stopped; \"%1\" was not written").arg(file));
        report(result.groups, false, &batch);
        return batch.interrupted() ? ExitCancelled : ExitNoAnswer;
    }

    set.collect();
    const bool existed = QFileInfo::exists(file);
    const FileError error = WriteConfigurationFile(file, set.record());
    if (!error.ok()) {
        s.error(QStringLiteral("cannot write \"%1\": %2; %3")
                    .arg(file, error.reason,
                         existed ? QStringLiteral("the file stays as it was") : QStringLiteral("no file was written")));
        report(result.groups, false, &batch);
        return ExitFile;
    }
    if (s.json()) {
        report(result.groups, true, &batch);
    } else {
        s.print(QStringLiteral("%1: %2 from the %3 (%4 bytes)").arg(file, groups.join(QStringLiteral(", ")), v.modelText)
                    .arg(QFileInfo(file).size()));
    }
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("read"),
    .synopsis = QStringLiteral("read FILE [--groups LIST] [--printer ticket|epl]"),
    .help = QStringLiteral(
        "read-all, then save the working set as the configuration file FILE (written as\n"
        "named). LIST from header,id,setpoint,params in any order (default: every group\n"
        "the model has); --printer: the header group reads the ticket lines or the EPL text.\n"
        "A read that stops writes no file (exit 1); a file that cannot be written is\n"
        "found before the read and a failed write keeps the old file (exit 7)"),
    .options = {GroupsOption(), PrinterOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
