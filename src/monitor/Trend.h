#pragma once
// Following the weight over time: samples of the gross and the net weight (the
// display read of registers 0 and 3, no host-mode commands) taken at a chosen rate,
// the figures a load cell is judged by over a span of them, and the samples as CSV.
// The command-line tool's trend and the window's trend view share all of it; the
// live weights come from the one reader of monitor/DisplayRead.h.
//
//   TrendSeries series;
//   RunTrendSampler(link, decimals, {.rate = 5, .seconds = 60},
//                   [&](const TrendSample &s) { series.push_back(s); });
//   const TrendSummary shown = SummariseTrend(TrendWindow(series, 60), 0.1);

#include "monitor/DisplayRead.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vx {

class Link;

// One sample: when its read began, in seconds since the sampling started, and the
// two weights. A weight whose answer was not a whole frame has no value; it is
// left out of the figures and written as an empty field, never as 0.
struct TrendSample {
    double seconds = 0;
    std::optional<DisplayWeight> gross;
    std::optional<DisplayWeight> net;
};
using TrendSeries = std::vector<TrendSample>;

// The samples of the last `seconds` before the newest one (all of them when the
// series is shorter): the view's window of 1, 5 or 15 minutes.
std::span<const TrendSample> TrendWindow(const TrendSeries &series, double seconds);

// The figures of one weight over a span of samples, from its values alone.
struct ChannelFigures {
    int count = 0;  // samples with a value; the others are not counted
    // Empty while no value has come.
    std::optional<double> minimum, maximum, mean;
    // Population standard deviation: the spread of the values taken (divided by
    // their count, not by count - 1), 0 for one value.
    std::optional<double> standardDeviation;
    // The least-squares slope of value over time, per minute. Needs two values at
    // two different times.
    std::optional<double> driftPerMinute;
};

// Both weights' figures.
struct TrendFigures {
    ChannelFigures gross;
    ChannelFigures net;
};

// The figures in kg (the weights' own unit).
TrendFigures ComputeTrendFigures(std::span<const TrendSample> samples);
// The figures counted in divisions of `division` kg (0.005 for a division of 5 g):
// a weight of 12,345 kg with that division is 2469 divisions. Counted from the
// digits as sent when the division is a whole number of them, so a minimum or a
// maximum is a whole number of divisions. Nothing for a division not above 0.
std::optional<TrendFigures> ComputeTrendFiguresInDivisions(std::span<const TrendSample> samples, double division);

// What a trend gives over a span of samples, for the window's figures table and the
// tool's table alike: the figures in kg and in divisions of `division` kg, the
// samples, those lacking a weight, and whether the gross weight ever answered (a
// trend without one has failed: the tool exits 1).
struct TrendSummary {
    TrendFigures kg;
    std::optional<TrendFigures> divisions;  // nothing for a division not above 0
    int samples = 0;
    int lacking = 0;  // samples without the gross weight, the net weight or both
    bool grossAnswered() const { return kg.gross.count > 0; }
};
TrendSummary SummariseTrend(std::span<const TrendSample> samples, double division);

// One sample: the display read, timed from `start` by the link's clock.
TrendSample TakeSample(Link &link, int decimals, const QDateTime &start);

// How the sampler paces itself.
struct TrendPace {
    // Samples a second: 0 takes the next one as soon as the last has ended (as fast as
    // the line allows); otherwise one every 1/rate seconds from the start. A sample
    // that ends after its successor's time is followed at once, and the pace counts
    // on from there (no burst to catch up).
    int rate = 0;
    // The sampling ends when a sample would begin this many seconds after the start;
    // 0 runs until stopped.
    double seconds = 0;
};
// The rates offered: 0 (as fast as the line allows), 1, 2, 5 and 10 a second.
bool IsTrendRate(int rate);

// Why the sampler ended.
enum class TrendEnd { Duration, Stopped, Aborted };

// Takes samples on a port that is open until the duration is over, `stop` returns
// true or the link's AbortRequested is set (both checked before every sample, while
// waiting for the next, and as each sample ends: a sample during which the stop came
// is dropped, its answers may have been cut short). onSample sees each sample as it
// comes. The waits go through the link's clock with events processed.
TrendEnd RunTrendSampler(Link &link, int decimals, const TrendPace &pace,
                         const std::function<void(const TrendSample &)> &onSample,
                         const std::function<bool()> &stop = {});

// The trend as a job on a port that is open (the tool's): the sampler's run, then
// its series and summary. The window runs the same samples one at a time on its
// event loop (TrendPoller) and summarises what it shows with SummariseTrend.
struct TrendResult {
    TrendSeries series;
    TrendEnd end = TrendEnd::Duration;
    TrendSummary summary;
};
TrendResult RunTrend(Link &link, int decimals, double division, const TrendPace &pace,
                     const std::function<void(const TrendSample &)> &onSample = {},
                     const std::function<bool()> &stop = {});

// The samples as CSV: a header line "time,gross,net", then one line per sample:
// the seconds with three decimals and the weights with their own decimals, with a
// decimal point; a weight without a value is an empty field. Lines end in CR LF.
QByteArray TrendCsv(std::span<const TrendSample> samples);
// TrendCsv written through the checked file write: the old file stays as it was
// when the write fails (error says why).
bool WriteTrendCsv(const QString &path, std::span<const TrendSample> samples, QString *error = nullptr);

}  // namespace vx
