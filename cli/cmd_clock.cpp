// vextora-cli clock: the indicator's clock against this PC's, and with --set-now the
// PC's time written to it (the parameters' date-time transfer) and read back.

#include "cli/BatchRun.h"

#include "link/Features.h"
#include "link/LineLease.h"
#include "params/IndicatorClock.h"

namespace vx::cli {
namespace {

QJsonObject readingJson(const ClockReading &r)
{
    return {{QStringLiteral("indicator"), r.text},
            {QStringLiteral("pc"), ClockCellText(r.pc)},
            {QStringLiteral("differenceSeconds"), double(r.difference())}};
}

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("clock takes no argument"));
    const bool setNow = args.isSet(QStringLiteral("set-now"));
    BatchRun batch(s);
    Connection connection;
    if (const int rc = s.connect(connection, LearnRange::No); rc != ExitOk)
        return rc;
    const VersionResult &v = connection.version;
    if (!FeaturesOf(v.model).clock) {
        batch.finish();
        return s.usageError(QStringLiteral("the %1 has no clock to set").arg(v.modelText));
    }
    LineLease lease(batch.link());
    if (!lease)
        return ExitPort;

    if (!setNow) {
        const ClockReading r = ReadIndicatorClock(batch.link());
        lease.release();
        batch.finish();
        if (!r.answered) {
            s.error(QStringLiteral("the indicator did not answer the clock read"));
            return ExitNoAnswer;
        }
        if (!r.indicator.isValid()) {
            s.error(QStringLiteral("the indicator's clock shows \"%1\", no date and time of the calendar").arg(r.text));
            return ExitNoAnswer;
        }
        if (s.json())
            s.printJson(readingJson(r), true);
        else
            s.print(QStringLiteral("indicator %1, this PC %2, difference %3 s")
                        .arg(r.text, ClockCellText(r.pc))
                        .arg(r.difference()));
        return ExitOk;
    }

    batch.link().AbortRequested = false;
    const ClockSetting set = SetIndicatorClockToPc(batch.link(), s.textService());
    lease.release();
    batch.finish();
    if (s.json()) {
        QJsonObject o{{QStringLiteral("sent"), ClockCellText(set.sent)}, {QStringLiteral("set"), set.ok()}};
        if (set.readBack.valid())
            o.insert(QStringLiteral("readBack"), readingJson(set.readBack));
        s.printJson(o, true);
    } else if (set.ok()) {
        s.print(QStringLiteral("clock set to %1; read back %2 (difference %3 s)")
                    .arg(ClockCellText(set.sent), set.readBack.text)
                    .arg(set.readBack.difference()));
    }
    if (!set.ok()) {
        s.error(ClockSettingProblem(set, s.textService()));
        return batch.interrupted() ? ExitCancelled : ExitNoAnswer;
    }
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("clock"),
    .synopsis = QStringLiteral("clock [--set-now]"),
    .help = QStringLiteral("read the indicator's clock and print it with its difference to this PC's clock\n"
                           "in seconds (+: the indicator is ahead). --set-now writes this PC's time to it\n"
                           "(register 124, command 6) and reads it back: exit 1 unless the read-back\n"
                           "agrees within 2 seconds"),
    .options = {{QStringLiteral("set-now"), QString(), QStringLiteral("set the indicator's clock to this PC's time")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
