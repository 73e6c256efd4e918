// vextora-cli trend: the gross and the net weight sampled at a chosen rate (the
// display read, no host-mode commands), one line per sample as it comes, and at the
// end the figures a load cell is judged by, in kg and in divisions; the samples
// optionally as CSV.

#include "cli/Cli.h"

#include "calibration/RangeLists.h"
#include "link/Interfaces.h"
#include "link/LineLease.h"
#include "link/SafeFile.h"
#include "link/Transaction.h"
#include "link/WeightFormat.h"
#include "monitor/Trend.h"
#include "params/Connection.h"
#include "shell/TextService.h"


namespace vx::cli {
namespace {

constexpr double kLongestRun = 86400;  // a day

QString weightText(const std::optional<DisplayWeight> &w)
{
    return w ? w->text().replace(QLatin1Char(','), QLatin1Char('.')) : QStringLiteral("-");
}

QJsonValue weightJson(const std::optional<DisplayWeight> &w)
{
    return w ? QJsonValue(w->value()) : QJsonValue(QJsonValue::Null);
}

QJsonValue figureJson(const std::optional<double> &figure)
{
    return figure ? QJsonValue(*figure) : QJsonValue(QJsonValue::Null);
}

QJsonObject channelJson(const ChannelFigures &f)
{
    return {{QStringLiteral("count"), f.count},
            {QStringLiteral("minimum"), figureJson(f.minimum)},
            {QStringLiteral("maximum"), figureJson(f.maximum)},
            {QStringLiteral("mean"), figureJson(f.mean)},
            {QStringLiteral("standardDeviation"), figureJson(f.standardDeviation)},
            {QStringLiteral("driftPerMinute"), figureJson(f.driftPerMinute)}};
}

QJsonObject figuresJson(const TrendFigures &f)
{
    return {{QStringLiteral("gross"), channelJson(f.gross)}, {QStringLiteral("net"), channelJson(f.net)}};
}

QString sampleLine(const TrendSample &s)
{
    return QStringLiteral("%1  %2  %3")
        .arg(QString::number(s.seconds, 'f', 3), 9)
        .arg(weightText(s.gross), 12)
        .arg(weightText(s.net), 12);
}

// The figures as a table: a row per figure, kg and divisions of both weights.
void printLine(Session &s, QString line)
{
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    s.print(line);
}

void printFigures(Session &s, const TrendFigures &kg, const TrendFigures &d, int decimals)
{
    auto number = [](const std::optional<double> &v, int digits) {
        return v ? QString::number(*v, 'f', digits) : QStringLiteral("-");
    };
    s.print(QStringLiteral("%1  %2  %3  %4  %5")
                .arg(QStringLiteral("figures"), -18)
                .arg(QStringLiteral("gross kg"), 12)
                .arg(QStringLiteral("gross d"), 10)
                .arg(QStringLiteral("net kg"), 12)
                .arg(QStringLiteral("net d"), 10));
    printLine(s, QStringLiteral("%1  %2  %3  %4  %5")
                .arg(QStringLiteral("samples"), -18)
                .arg(kg.gross.count, 12)
                .arg(QString(), 10)
                .arg(kg.net.count, 12)
                .arg(QString(), 10));
    // Minimum and maximum are weights as sent; the others carry two digits more.
    const struct {
        const char *name;
        std::optional<double> ChannelFigures::*figure;
        int extraDigits;
    } rows[] = {{"minimum", &ChannelFigures::minimum, 0},
                {"maximum", &ChannelFigures::maximum, 0},
                {"mean", &ChannelFigures::mean, 2},
                {"standard deviation", &ChannelFigures::standardDeviation, 2},
                {"drift per minute", &ChannelFigures::driftPerMinute, 2}};
    for (const auto &row : rows) {
        s.print(QStringLiteral("%1  %2  %3  %4  %5")
                    .arg(QString::fromLatin1(row.name), -18)
                    .arg(number(kg.gross.*row.figure, decimals + row.extraDigits), 12)
                    .arg(number(d.gross.*row.figure, row.extraDigits), 10)
                    .arg(number(kg.net.*row.figure, decimals + row.extraDigits), 12)
                    .arg(number(d.net.*row.figure, row.extraDigits), 10));
    }
}

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("trend takes no argument"));
    TrendPace pace{.rate = 1, .seconds = 0};
    if (args.isSet(QStringLiteral("rate"))) {
        const QString text = args.value(QStringLiteral("rate")).trimmed();
        bool ok = text == QLatin1String("fastest");
        pace.rate = ok ? 0 : text.toInt(&ok);
        if (!ok || !IsTrendRate(pace.rate))
            return s.usageError(QStringLiteral("--rate takes 0 (or fastest: as fast as the line allows), 1, 2, 5 or 10"));
    }
    if (args.isSet(QStringLiteral("seconds"))) {
        bool ok = false;
        pace.seconds = args.value(QStringLiteral("seconds")).trimmed().toDouble(&ok);
        if (!ok || !(pace.seconds > 0) || pace.seconds > kLongestRun)
            return s.usageError(QStringLiteral("--seconds takes a number of seconds above 0, at most 86400"));
    }
    const QString csvPath = args.value(QStringLiteral("csv"));
    if (args.isSet(QStringLiteral("csv"))) {
        // A file that cannot be written is found out before the sampling, not after it.
        QString why;
        if (csvPath.isEmpty() || !CheckWritableTarget(csvPath, &why)) {
            s.error(QStringLiteral("cannot write \"%1\": %2").arg(csvPath, why));
            return ExitFile;
        }
    }

    Connection connection;
    if (const int rc = s.connect(connection, LearnRange::Yes); rc != ExitOk)
        return rc;
    // The weights' decimals and the division the figures are counted in.
    const std::optional<IndicatorRange> &range = connection.range;
    const QString divisionText = range ? DivisionValueText(range->codes.division1) : QString();
    if (divisionText.isEmpty()) {
        s.error(s.textService().builtIn(BuiltIn::RangeUnknown));
        return ExitNoAnswer;
    }
    const int decimals = DivisionDecimals(divisionText);
    const double division = divisionText.toDouble();

    if (s.json()) {
        s.printJson({{QStringLiteral("rate"), pace.rate},
                     {QStringLiteral("seconds"), pace.seconds > 0 ? QJsonValue(pace.seconds) : QJsonValue()},
                     {QStringLiteral("division"), division},
                     {QStringLiteral("decimals"), decimals}},
                    true);
    } else {
        const QString rate = pace.rate > 0 ? QStringLiteral("%1 a second").arg(pace.rate)
                                           : QStringLiteral("as fast as the line allows");
        const QString length = pace.seconds > 0 ? QStringLiteral("for %1 s").arg(pace.seconds)
                                                : QStringLiteral("until interrupted");
        s.print(QStringLiteral("gross and net weight, %1, %2; division %3 kg").arg(rate, length, divisionText));
        s.print(QStringLiteral("%1  %2  %3")
                    .arg(QStringLiteral("time s"), 9)
                    .arg(QStringLiteral("gross kg"), 12)
                    .arg(QStringLiteral("net kg"), 12));
    }

    // The line for the whole run: the samples follow one another on it.
    LineLease lease(s.link());
    if (!lease)
        return ExitPort;
    const TrendResult trend = RunTrend(
        s.link(), decimals, division, pace,
        [&](const TrendSample &sample) {
            if (s.json()) {
                s.printJson({{QStringLiteral("time"), sample.seconds},
                             {QStringLiteral("gross"), weightJson(sample.gross)},
                             {QStringLiteral("net"), weightJson(sample.net)}},
                            true);
            } else {
                s.print(sampleLine(sample));
            }
        },
        [&s] { return s.interrupted(); });
    lease.release();

    const TrendSummary &summary = trend.summary;
    const TrendFigures inDivisions = summary.divisions.value_or(TrendFigures{});
    if (s.json()) {
        s.printJson({{QStringLiteral("samples"), summary.samples},
                     {QStringLiteral("interrupted"), trend.end != TrendEnd::Duration},
                     {QStringLiteral("kg"), figuresJson(summary.kg)},
                     {QStringLiteral("divisions"), figuresJson(inDivisions)}},
                    true);
    } else {
        s.print(QString());
        printFigures(s, summary.kg, inDivisions, decimals);
    }

    if (summary.lacking > 0)
        s.error(QStringLiteral("%1 of %2 samples lack a weight (shown as -, left empty in the CSV)")
                    .arg(summary.lacking)
                    .arg(summary.samples));
    if (!csvPath.isEmpty()) {
        QString why;
        if (!WriteTrendCsv(csvPath, trend.series, &why)) {
            s.error(QStringLiteral("cannot write \"%1\": %2").arg(csvPath, why));
            return ExitFile;
        }
    }
    // The trend follows the gross weight: without one answer of it the trend has failed.
    if (!summary.grossAnswered()) {
        s.error(QStringLiteral("no gross weight answered"));
        return ExitNoAnswer;
    }
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("trend"),
    .synopsis = QStringLiteral("trend [--rate N] [--seconds S] [--csv FILE]"),
    .help = QStringLiteral("samples the gross and the net weight (registers 0 and 3, as the calibration\n"
                           "tab's display read) N times a second for S seconds, or until interrupted;\n"
                           "prints each sample as it comes (time, gross, net; - for a weight whose\n"
                           "answer was not whole), then minimum, maximum, mean, standard deviation\n"
                           "(population) and drift per minute (least-squares slope) in kg and in\n"
                           "divisions; an interruption still prints the figures and writes the CSV;\n"
                           "exit 1 when the range cannot be read or no gross weight answered"),
    .options = {{QStringLiteral("rate"), QStringLiteral("N"),
                 QStringLiteral("Samples a second: 1 (default), 2, 5, 10, or 0 (fastest) for as fast as the line "
                                "allows.")},
                {QStringLiteral("seconds"), QStringLiteral("S"),
                 QStringLiteral("Sample for S seconds (default: until interrupted).")},
                {QStringLiteral("csv"), QStringLiteral("FILE"),
                 QStringLiteral("Write the samples to FILE as CSV (time,gross,net; decimal point).")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
