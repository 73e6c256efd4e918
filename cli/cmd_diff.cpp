// vextora-cli diff: the differences of two configuration files, or of a file and the
// connected indicator (read whole into memory, nothing saved).

#include "cli/BatchRun.h"
#include "cli/ConfigFileArg.h"

#include "files/Compare.h"
#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
#include "service/TransferJobs.h"
#include "shell/TextService.h"

#include <QDir>

namespace vx::cli {
namespace {


// The file opened into a working set as the window opens it; an error line and nothing
// when it cannot be read.
bool openFile(Session &s, const QString &file, WorkingSet &set, const WeightFormat &weight, Model model)
{
    const std::optional<ConfigurationRecord> record = ReadConfigurationArg(s, file);
    if (!record)
        return false;
    set.showFile(*record, s.texts(), model, weight);
    return true;
}

// The differences of the parts both sides hold; a part one side does not hold is one
// line and no difference (the exit status says whether what both hold differs).
int report(Session &s, const Comparison &comparison, const QString &a, const QString &b)
{
    if (s.json()) {
        s.printJson({{QStringLiteral("a"), a},
                     {QStringLiteral("b"), b},
                     {QStringLiteral("equal"), comparison.equal()},
                     {QStringLiteral("differences"), DifferencesJson(comparison.differences, s.textService())},
                     {QStringLiteral("notHeld"), NotHeldJson(comparison.notHeld, s.textService())}},
                    true);
    } else {
        QString text = ComparisonText(comparison, s.textService(), a, b);
        text.chop(1);  // print ends the line
        s.print(text);
    }
    return comparison.equal() ? int(ExitOk) : ExitDifferent;
}

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.isEmpty() || args.positional.size() > 2)
        return s.usageError(QStringLiteral("diff takes FILE (against the indicator) or FILE_A FILE_B"));
    const std::optional<PrinterKind> printer = PrinterChoice(args);
    if (!printer)
        return s.usageError(QStringLiteral("--printer must be ticket or epl"));
    PartChoice chosen = PartChoice::all();
    if (args.isSet(QStringLiteral("groups"))) {
        QString unknown;
        const std::optional<PartChoice> parsed = ParsePartChoice(args.value(QStringLiteral("groups")), &unknown);
        if (!parsed)
            return s.usageError(unknown.isEmpty() ? QStringLiteral("--groups names no group")
                                                  : QStringLiteral("--groups: \"%1\" is none of %2")
                                                        .arg(unknown, PartChoiceNames().join(QLatin1Char(','))));
        chosen = *parsed;
    }

    if (args.positional.size() == 2) {
        if (args.isSet(QStringLiteral("printer")))
            return s.usageError(QStringLiteral("--printer goes with a diff against the indicator"));
        const QString fileA = args.positional.at(0), fileB = args.positional.at(1);
        WorkingSet a, b;
        if (!openFile(s, fileA, a, {}, Model::ZR2) || !openFile(s, fileB, b, {}, Model::ZR2))
            return ExitFile;
        return report(s, CompareHeld(a, b, CompareScope::FileVsFile, {}, chosen), QDir::toNativeSeparators(fileA),
                      QDir::toNativeSeparators(fileB));
    }

    const QString file = args.positional.first();
    // The file first: a file that cannot be read costs no exchange.
    const std::optional<ConfigurationRecord> record = ReadConfigurationArg(s, file);
    if (!record)
        return ExitFile;

    BatchRun batch(s);
    VersionResult v;
    if (const int rc = batch.connect(v); rc != ExitOk)
        return rc;
    const ModelFeatures has = FeaturesOf(v.model);
    if (!has.eplPrinter && *printer == PrinterKind::Epl) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no EPL printer").arg(v.modelText));
    }
    if (s.interrupted()) {
        batch.finish();
        return ExitCancelled;
    }

    // Every group the model has, into memory only.
    WorkingSet indicator;
    indicator.parameters().weight = batch.weight();
    LayOutGrid(indicator.parameters(), s.texts(), v.model);
    ReadAllChoice choice;
    choice.header = true;
    choice.id = has.idMemory;
    choice.setpoint = has.setpointMemory;
    choice.parameters = true;
    choice.printer = *printer;
    choice.model = v.model;
    indicator.setSource(v.model, std::nullopt);
    const ReadAllJobResult done =
        RunReadAllJob(batch.link(), s.textService(), indicator, {.choice = choice, .weight = batch.weight(), .disconnect = {}});
    batch.finish();
    if (!done.lineTaken)
        return ExitPort;
    if (done.read.outcome != BatchOutcome::Completed) {
        for (const JobMessage &m : done.messages)
            s.error(m.text);
        s.error(s.textService().builtIn(BuiltIn::CompareReadFailed));
        return batch.interrupted() ? ExitCancelled : ExitNoAnswer;
    }

    WorkingSet fromFile;
    fromFile.showFile(*record, s.texts(), v.model, batch.weight());
    const CompareParts parts{.ticketLines = *printer == PrinterKind::Ticket,
                             .eplText = *printer == PrinterKind::Epl,
                             .ids = has.idMemory,
                             .setpoints = has.setpointMemory,
                             .parameters = true};
    return report(s, CompareHeld(indicator, fromFile, CompareScope::IndicatorVsFile, parts, chosen), v.modelText,
                  QDir::toNativeSeparators(file));
}

const Registration registration{{
    .name = QStringLiteral("diff"),
    .synopsis = QStringLiteral("diff FILE [FILE_B] [--printer ticket|epl] [--groups LIST]"),
    .help = QStringLiteral(
        "the differences of two configuration files, or of FILE and the connected\n"
        "indicator (every group the model has, read into memory, nothing saved): one line\n"
        "each, parameter rows as \"[101] ...\" by row and code, records by number. The clock\n"
        "[140] and the identification rows are left out; preset tares only between files.\n"
        "A group one side does not hold (never read into the file) is one line, \"not in\n"
        "the file\", and no difference. --groups limits the compare: header, id, setpoint,\n"
        "calibration, jmp, nrm, datetime, and params for calibration, jmp and nrm.\n"
        "Exit 0 equal, 5 different"),
    .options = {PrinterOption(), GroupsOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
