// vextora-cli read: connect, read-all of the chosen groups, save the working set as a
// configuration file.

#include "cli/BatchRun.h"

#include "files/Batch.h"
#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
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
    // A file that cannot be written is found out before the read, not after it.
    if (!QFileInfo(QFileInfo(file).absolutePath()).isDir()) {
        s.error(QStringLiteral("cannot write \"%1\": no such folder").arg(file));
        return ExitFile;
    }

    BatchRun batch(s);
    VersionResult v;
    if (const int rc = batch.connect(v); rc != ExitOk)
        return rc;
    const bool zr2 = v.model == Model::ZR2;
    if (groups.isEmpty())
        groups = zr2 ? kGroups : QStringList{QStringLiteral("header"), QStringLiteral("params")};
    if (!zr2) {
        batch.finish();
        if (groups.contains(QLatin1String("id")))
            return s.usageError(QStringLiteral("the %1 has no ID memory").arg(v.modelText));
        if (groups.contains(QLatin1String("setpoint")))
            return s.usageError(QStringLiteral("the %1 has no setpoint memory").arg(v.modelText));
        if (*printer == PrinterKind::Epl)
            return s.usageError(QStringLiteral("the %1 has no EPL printer").arg(v.modelText));
    }

    WorkingSet set;
    set.parameters().weight = batch.weight();
    GridDüzen(set.parameters(), s.texts(), v.model);
    ReadAllChoice choice;
    choice.header = groups.contains(QLatin1String("header"));
    choice.id = groups.contains(QLatin1String("id"));
    choice.setpoint = groups.contains(QLatin1String("setpoint"));
    choice.parameters = groups.contains(QLatin1String("params"));
    choice.printer = *printer;
    choice.model = v.model;

    if (batch.openPort() != ExitOk)
        return ExitPort;
    const ReadAllResult result = ReadAll(batch.link(), set, s.textService(), choice, batch.weight());
    batch.finish();
    if (result.outcome != BatchOutcome::Completed) {
        // What was read stays unsaved: a file of half a working set would be sent later as a whole.
        s.error(QStringLiteral("the read stopped; \"%1\" was not written").arg(file));
        return batch.interrupted() ? ExitCancelled : ExitNoAnswer;
    }

    set.collect();
    const FileError error = WriteConfigurationFile(file, set.record());
    if (!error.ok()) {
        s.error(QStringLiteral("cannot write \"%1\": %2").arg(file, error.reason));
        return ExitFile;
    }
    const qint64 bytes = QFileInfo(file).size();
    if (s.json()) {
        s.printJson({{QStringLiteral("file"), QDir::toNativeSeparators(file)},
                     {QStringLiteral("bytes"), bytes},
                     {QStringLiteral("model"), v.modelText},
                     {QStringLiteral("groups"), QJsonArray::fromStringList(groups)}},
                    true);
    } else {
        s.print(QStringLiteral("%1: %2 from the %3 (%4 bytes)").arg(file, groups.join(QStringLiteral(", ")), v.modelText)
                    .arg(bytes));
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
        "A read that stops writes no file (exit 1)"),
    .options = {GroupsOption(), PrinterOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
