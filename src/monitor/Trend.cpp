#include "monitor/Trend.h"

#include "link/SafeFile.h"
#include "link/Transaction.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// Waits are taken in steps of at most this, so that a stop is seen soon.
constexpr qint64 kWaitStepMs = 50;

}  // namespace

std::span<const TrendSample> TrendWindow(const TrendSeries &series, double seconds)
{
    if (series.empty())
        return {};
    const double from = series.back().seconds - seconds;
    const auto first = std::find_if(series.begin(), series.end(),
                                    [from](const TrendSample &s) { return s.seconds >= from; });
    return {first, series.end()};
}

namespace {

// The figures of one weight, each value counted by `measure`.
ChannelFigures channelFigures(std::span<const TrendSample> samples, std::optional<DisplayWeight> TrendSample::*weight,
                              const std::function<double(const DisplayWeight &)> &measure)
{
    ChannelFigures f;
    double sum = 0, sumTime = 0;
    for (const TrendSample &s : samples) {
        const std::optional<DisplayWeight> &w = s.*weight;
        if (!w)
            continue;
        const double v = measure(*w);
        ++f.count;
        sum += v;
        sumTime += s.seconds;
        f.minimum = f.minimum ? std::min(*f.minimum, v) : v;
        f.maximum = f.maximum ? std::max(*f.maximum, v) : v;
    }
    if (f.count == 0)
        return f;
    const double mean = sum / f.count;
    const double meanTime = sumTime / f.count;
    // Second pass about the means: no loss of digits on large weights or long runs.
    double squares = 0, timeSquares = 0, products = 0;
    for (const TrendSample &s : samples) {
        const std::optional<DisplayWeight> &w = s.*weight;
        if (!w)
            continue;
        const double dv = measure(*w) - mean;
        const double dt = s.seconds - meanTime;
        squares += dv * dv;
        timeSquares += dt * dt;
        products += dt * dv;
    }
    f.mean = mean;
    f.standardDeviation = std::sqrt(squares / f.count);
    if (f.count >= 2 && timeSquares > 0)
        f.driftPerMinute = products / timeSquares * 60.0;
    return f;
}

TrendFigures figures(std::span<const TrendSample> samples, const std::function<double(const DisplayWeight &)> &measure)
{
    return {channelFigures(samples, &TrendSample::gross, measure), channelFigures(samples, &TrendSample::net, measure)};
}

}  // namespace

TrendFigures ComputeTrendFigures(std::span<const TrendSample> samples)
{
    return figures(samples, [](const DisplayWeight &w) { return w.value(); });
}

std::optional<TrendFigures> ComputeTrendFiguresInDivisions(std::span<const TrendSample> samples, double division)
{
    if (!(division > 0))
        return std::nullopt;
    return figures(samples, [division](const DisplayWeight &w) {
        // The division in the weight's digits (5 for 0.005 kg at three decimals).
        const double digits = division * std::pow(10.0, w.decimals);
        const double whole = std::round(digits);
        if (whole >= 1 && std::abs(digits - whole) < 1e-6)
            return double(w.units) / whole;
        return w.value() / division;
    });
}

TrendSummary SummariseTrend(std::span<const TrendSample> samples, double division)
{
    TrendSummary summary;
    summary.kg = ComputeTrendFigures(samples);
    summary.divisions = ComputeTrendFiguresInDivisions(samples, division);
    summary.samples = int(samples.size());
    summary.lacking = int(std::count_if(samples.begin(), samples.end(),
                                        [](const TrendSample &x) { return !x.gross || !x.net; }));
    return summary;
}

TrendResult RunTrend(Link &link, int decimals, double division, const TrendPace &pace,
                     const std::function<void(const TrendSample &)> &onSample, const std::function<bool()> &stop)
{
    TrendResult result;
    result.end = RunTrendSampler(
        link, decimals, pace,
        [&](const TrendSample &sample) {
            result.series.push_back(sample);
            if (onSample)
                onSample(sample);
        },
        stop);
    result.summary = SummariseTrend(result.series, division);
    return result;
}

TrendSample TakeSample(Link &link, int decimals, const QDateTime &start)
{
    TrendSample sample;
    sample.seconds = start.msecsTo(link.clock().now()) / 1000.0;
    if (const std::optional<DisplayReading> shown = ReadDisplay(link, decimals)) {
        sample.gross = shown->gross;
        sample.net = shown->net;
    }
    return sample;
}

bool IsTrendRate(int rate) { return rate == 0 || rate == 1 || rate == 2 || rate == 5 || rate == 10; }

TrendEnd RunTrendSampler(Link &link, int decimals, const TrendPace &pace,
                         const std::function<void(const TrendSample &)> &onSample,
                         const std::function<bool()> &stop)
{
    Clock &clock = link.clock();
    const QDateTime start = clock.now();
    // Whole milliseconds throughout: the clock's time is no finer, and a wait that
    // ends on its due time is then known to have ended.
    auto elapsedMs = [&] { return start.msecsTo(clock.now()); };
    auto halted = [&]() -> std::optional<TrendEnd> {
        if (link.AbortRequested)
            return TrendEnd::Aborted;
        if (stop && stop())
            return TrendEnd::Stopped;
        return std::nullopt;
    };
    const qint64 durationMs = pace.seconds > 0 ? qint64(std::llround(pace.seconds * 1000.0)) : 0;

    qint64 anchorMs = 0;  // samples are due at anchor + k / rate
    qint64 slot = 0;
    for (;; ++slot) {
        if (const auto end = halted())
            return *end;
        qint64 dueMs = elapsedMs();
        if (pace.rate > 0) {
            dueMs = anchorMs + qint64(std::llround(slot * 1000.0 / pace.rate));
            const qint64 now = elapsedMs();
            if (now > dueMs) {
                // The last sample ran past this one's time: take it now, pace from here.
                anchorMs = dueMs = now;
                slot = 0;
            }
        }
        if (durationMs > 0 && dueMs >= durationMs)
            return TrendEnd::Duration;
        for (qint64 left = dueMs - elapsedMs(); left > 0; left = dueMs - elapsedMs()) {
            clock.idle(std::min(left, kWaitStepMs) / 1000.0, true);
            if (const auto end = halted())
                return *end;
        }
        const TrendSample sample = TakeSample(link, decimals, start);
        // A stop that came while the sample was taken may have cut its answers short
        // (a signal ends the waits): such a sample is no sample.
        if (const auto end = halted())
            return *end;
        if (onSample)
            onSample(sample);
    }
}

QByteArray TrendCsv(std::span<const TrendSample> samples)
{
    auto field = [](const std::optional<DisplayWeight> &w) {
        return w ? w->text().replace(QLatin1Char(','), QLatin1Char('.')) : QString();
    };
    QString text = QStringLiteral("time,gross,net\r\n");
    for (const TrendSample &s : samples) {
        text += QString::number(s.seconds, 'f', 3) + QLatin1Char(',') + field(s.gross) + QLatin1Char(',')
                + field(s.net) + QStringLiteral("\r\n");
    }
    return text.toLatin1();
}

bool WriteTrendCsv(const QString &path, std::span<const TrendSample> samples, QString *error)
{
    return WriteFileSafely(path, TrendCsv(samples), error);
}

}  // namespace vx
