// vextora-cli history: the service history, newest first.

#include "cli/Cli.h"

#include "service/History.h"
#include "service/HistoryText.h"

#include <QDir>
#include <QJsonArray>

namespace vx::cli {
namespace {

const QString kIndicator = QStringLiteral("indicator");

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("history takes no argument"));
    const QString path = HistoryFilePath();
    const QString shownPath = QDir::toNativeSeparators(path);
    const HistoryReading reading = ReadHistory(path);
    if (!reading.readable) {
        s.error(QStringLiteral("cannot read the service history \"%1\": %2").arg(shownPath, reading.error));
        return ExitFile;
    }
    // A damaged line costs only itself.
    for (const HistoryDamage &d : reading.damaged)
        s.error(QStringLiteral("warning: \"%1\" line %2 is no history record and was skipped (%3)")
                    .arg(shownPath)
                    .arg(d.line)
                    .arg(d.reason));
    const std::vector<HistoryRecord> records =
        FilterByIndicator(NewestFirst(reading.records), args.value(kIndicator));

    if (s.json()) {
        QJsonArray list, damaged;
        for (const HistoryRecord &r : records)
            list.append(HistoryObject(r));
        for (const HistoryDamage &d : reading.damaged)
            damaged.append(d.line);
        s.printJson({{QStringLiteral("file"), shownPath},
                     {QStringLiteral("records"), list},
                     {QStringLiteral("damagedLines"), damaged}});
        return ExitOk;
    }
    if (records.empty()) {
        s.print(args.isSet(kIndicator) ? QStringLiteral("no records for \"%1\"").arg(args.value(kIndicator))
                                        : QStringLiteral("no records"));
        return ExitOk;
    }
    for (const HistoryRecord &r : records) {
        s.print(HistorySummary(r));
        for (const QString &line : HistoryDetailLines(r))
            s.print(QStringLiteral("    ") + line);
    }
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("history"),
    .synopsis = QStringLiteral("history [--indicator TEXT]"),
    .help = QStringLiteral(
        "list the service history (every send, calibration and analog trim with its\n"
        "result and note), newest first; --indicator keeps the records whose model or\n"
        "identification texts contain TEXT. A damaged line is named on standard error\n"
        "and skipped; exit 7 when the history cannot be read"),
    .options = {{kIndicator, QStringLiteral("TEXT"), QStringLiteral("Only the records of this indicator.")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
