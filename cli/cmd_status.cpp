// vextora-cli status: one status reading, or one every N seconds, rendered from
// the typed reading through the status grid's row table.

#include "cli/Cli.h"

#include "link/Interfaces.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "monitor/Status.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QDateTime>
#include <QJsonArray>
#include <algorithm>

namespace vx::cli {
namespace {

constexpr double kWaitStep = 0.05;

QJsonValue jsonOf(const StatusRowValue &v)
{
    if (v.bit)
        return *v.bit;
    if (v.number)
        return QJsonValue(*v.number);
    return QJsonValue(QJsonValue::Null);
}

QJsonValue jsonOf(const std::optional<bool> &flag)
{
    return flag ? QJsonValue(*flag) : QJsonValue(QJsonValue::Null);
}

QString timeText(const QDateTime &time) { return time.toString(Qt::ISODateWithMs); }

// A language line as JSON carries it: a blank that pads it in a file is no part of it.
QString withoutTrailingBlanks(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// The rows that carry a weight: shown raw, and marked, while the range is unknown.
bool isWeightRow(const StatusRow &row) { return row.kind == StatusRowKind::Weight || row.kind == StatusRowKind::Scaled; }

// The texts of a reading: weights in the range's format, as the window shows them.
struct Rendering {
    const LanguageTexts &texts;
    StatusFormat format;
    bool rangeKnown = false;
    QString unknownMark;  // "range unknown"
    QString text(const StatusReading &reading, const StatusRow &row) const
    {
        return StatusValueText(reading, row, texts, format);
    }
};

QJsonObject statusJson(const StatusReading &reading, const Rendering &r, const QDateTime &time)
{
    const LanguageTexts &texts = r.texts;
    QJsonObject values, operating, hardware;
    QJsonArray rows;
    for (const StatusRow &row : StatusRows()) {
        const QString key = QString::fromLatin1(row.key);
        QJsonObject &group = row.reg == OperatingRegister ? operating : row.reg == HardwareRegister ? hardware : values;
        group.insert(key, jsonOf(StatusValueOf(reading, row)));
        rows.append(QJsonObject{{QStringLiteral("row"), row.row},
                                {QStringLiteral("key"), key},
                                {QStringLiteral("caption"), withoutTrailingBlanks(texts.text(row.captionLine))},
                                {QStringLiteral("text"), withoutTrailingBlanks(r.text(reading, row))}});
    }
    auto bytes = [](QJsonObject &group, const std::optional<StatusWord> &word) {
        group.insert(QStringLiteral("a"), word ? QJsonValue(word->a) : QJsonValue(QJsonValue::Null));
        group.insert(QStringLiteral("b"), word ? QJsonValue(word->b) : QJsonValue(QJsonValue::Null));
    };
    bytes(operating, reading.operating);
    bytes(hardware, reading.hardware ? std::optional(reading.hardware->word) : std::nullopt);
    QJsonArray unanswered;
    for (int reg : reading.unanswered)
        unanswered.append(reg);
    const MonitorFlags flags = reading.flags();
    return QJsonObject{{QStringLiteral("time"), timeText(time)},
                       {QStringLiteral("complete"), reading.complete()},
                       {QStringLiteral("rangeKnown"), r.rangeKnown},
                       {QStringLiteral("unanswered"), unanswered},
                       {QStringLiteral("values"), values},
                       {QStringLiteral("operating"), operating},
                       {QStringLiteral("hardware"), hardware},
                       {QStringLiteral("calibrationPermitted"), jsonOf(flags.CalibrationPermitted)},
                       {QStringLiteral("analogCardPresent"), jsonOf(flags.AnalogCardPresent)},
                       {QStringLiteral("rows"), rows}};
}

void printText(Session &s, const StatusReading &reading, const Rendering &r, const QDateTime &time)
{
    const LanguageTexts &texts = r.texts;
    s.print(QStringLiteral("status at ") + timeText(time));
    for (const StatusRow &row : StatusRows()) {
        QString line = QStringLiteral("%1  %2  %3")
                           .arg(row.row, 2)
                           .arg(texts.text(row.captionLine).leftJustified(28, QLatin1Char(' ')),
                                r.text(reading, row));
        if (!r.rangeKnown && isWeightRow(row) && StatusValueOf(reading, row).present())
            line += QStringLiteral("  (") + r.unknownMark + QLatin1Char(')');
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);  // an empty value leaves no trailing blanks
        s.print(line);
    }
    auto flag = [](const std::optional<bool> &f) {
        return f ? QString::fromLatin1(*f ? "yes" : "no") : QStringLiteral("unknown");
    };
    const MonitorFlags flags = reading.flags();
    s.print(QStringLiteral("calibration permitted  ") + flag(flags.CalibrationPermitted));
    s.print(QStringLiteral("analog output card     ") + flag(flags.AnalogCardPresent));
}

// One line on standard error for each register that gave no value.
void reportUnanswered(Session &s, const StatusReading &reading)
{
    for (int reg : reading.unanswered) {
        int first = 0, last = 0;
        for (const StatusRow &row : StatusRows()) {
            if (row.reg != reg)
                continue;
            first = first == 0 ? row.row : first;
            last = row.row;
        }
        const QString rows = first == last ? QStringLiteral("row %1").arg(first)
                                           : QStringLiteral("rows %1-%2").arg(first).arg(last);
        s.error(QStringLiteral("register %1 did not answer (%2 left empty)").arg(reg).arg(rows));
    }
}

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("status takes no argument"));
    int watch = 0;
    if (args.isSet(QStringLiteral("watch"))) {
        bool ok = false;
        watch = args.value(QStringLiteral("watch")).toInt(&ok);
        if (!ok || watch < 1)
            return s.usageError(QStringLiteral("--watch needs a whole number of seconds, 1 or more"));
    }

    Connection connection;
    if (const int rc = s.connect(connection, LearnRange::Yes); rc != ExitOk)
        return rc;
    // Weights carry the range's decimals, as in the window. Without the range the
    // reading still runs (it is the first thing to look at), its weights raw and marked.
    const std::optional<IndicatorRange> &range = connection.range;
    Rendering rendering{s.texts(), {}, range.has_value(), s.textService().builtIn(BuiltIn::RangeUnknownMark)};
    if (range)
        rendering.format = {range->format.WeightFormatReference, range->format.decimals()};
    else
        s.error(s.textService().builtIn(BuiltIn::RangeUnknown));

    bool allComplete = true;
    QDateTime anchor = s.clock().now();  // the readings start at anchor + k x N seconds
    for (int slot = 1;; ++slot) {
        const QDateTime started = s.clock().now();
        LineLease lease(s.link());
        if (!lease)
            return ExitPort;
        const StatusReading reading = StatuOku(s.link(), s.texts());
        lease.release();
        if (reading.refused)
            return ExitNoAnswer;  // the refusal text is on standard error
        if (s.json())
            s.printJson(statusJson(reading, rendering, started), watch > 0);
        else
            printText(s, reading, rendering, started);
        reportUnanswered(s, reading);
        allComplete = allComplete && reading.complete();
        if (watch <= 0)
            break;

        // Keep the period: the next reading starts N seconds after the one before.
        // A reading that took longer than that is followed at once, and the
        // period counts from there.
        QDateTime next = anchor.addSecs(qint64(watch) * slot);
        if (s.clock().now() >= next) {
            anchor = s.clock().now();
            slot = 0;
            next = anchor;
        }
        while (!s.interrupted()) {
            const qint64 left = s.clock().now().msecsTo(next);
            if (left <= 0)
                break;
            s.clock().idle(std::min(kWaitStep, left / 1000.0), true);
        }
        if (s.interrupted())
            break;
        if (!s.json())
            s.print(QString());
    }
    return allComplete && range ? ExitOk : ExitNoAnswer;
}

const Registration registration{{
    .name = QStringLiteral("status"),
    .synopsis = QStringLiteral("status [--watch N]"),
    .help = QStringLiteral("one status reading (or one every N seconds until interrupted): the six\n"
                           "values and every flag row, plus the two derived flags; registers that did\n"
                           "not answer are named on standard error and their rows left empty (exit 1);\n"
                           "weights carry the range's decimals; when the range cannot be read they are\n"
                           "shown raw, marked \"range unknown\" (JSON: rangeKnown false), exit 1"),
    .options = {{QStringLiteral("watch"), QStringLiteral("N"),
                 QStringLiteral("Read again every N seconds until interrupted; with --json one object a line.")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
