#pragma once
// The trend's sampling as the window runs it: one sample (the display read of the
// gross and the net weight) per tick of the clock, each in a line lease of its own
// taken as a poll. Between two samples the line is free: the status timer's tick,
// a click or a read-all that comes then takes it, and a sample that falls due while
// another operation holds the line is skipped (counted, not queued). While a sample
// holds the line the mouse and the keys wait for its end (the lease's poll); each
// sample begins by handing on what waited (a wait that processes events with no hold
// on), so they get through between two samples at every rate, the fastest too. With the
// fixed drain a sample waits the whole reading time twice; it gives way then (the
// lease's givesWay): the mouse and the keys get through during those waits, and an
// operation they start takes the line and the sample is dropped (counted as skipped).
//
//   TrendPoller poller(link, [&](const TrendSample &s) { series.push_back(s); });
//   poller.mayRun = [&] { return state.IsConnected; };
//   poller.start(5, decimals, link.clock().now());  // five a second
//   ...
//   poller.stop();
//
// The benchmark runs this same class on the system clock to measure the trend's rate.

#include "monitor/Trend.h"

#include <QDateTime>
#include <functional>
#include <memory>

namespace vx {

class Link;

class TrendPoller {
public:
    // The least time between the end of one sample and the start of the next. None:
    // the next sample comes from a zero timer. A zero timer comes before the mouse and
    // the keys held back, so each sample hands those on itself before it takes the line.
    static constexpr double GapSeconds = 0.0;
    // After a sample skipped because another operation held the line, the next try
    // comes one interval later, and at the fastest rate after this.
    static constexpr double BusyRetrySeconds = 0.05;

    using SampleHandler = std::function<void(const TrendSample &)>;
    TrendPoller(Link &link, SampleHandler onSample);
    ~TrendPoller();
    TrendPoller(const TrendPoller &) = delete;
    TrendPoller &operator=(const TrendPoller &) = delete;

    // Samples `rate` times a second (0: as fast as the line allows), the weights with
    // `decimals`, the times in seconds from `origin`. The first sample comes at once
    // (from the next event processing). Starting a running poller starts it afresh.
    void start(int rate, int decimals, const QDateTime &origin);
    void stop();
    bool running() const { return m_running; }
    // Takes effect from the next sample.
    void setRate(int rate) { m_rate = rate; }
    int rate() const { return m_rate; }

    // Asked before each sample: false stops the poller, and onStopped runs (the
    // window's: "still connected").
    std::function<bool()> mayRun;
    std::function<void()> onStopped;
    // The port would not open for a sample (the cable pulled, the adapter gone): the
    // sample is a gap, the poller stops, and this runs. Sampling on would only repeat
    // the failure every interval.
    std::function<void()> onPortFailed;

    // Samples that fell due while another operation held the line, or that gave the
    // line up to one, since start.
    int skipped() const { return m_skipped; }

private:
    void arm(double seconds);
    void tick();

    Link &m_link;
    SampleHandler m_onSample;
    int m_rate = 0;
    int m_decimals = 0;
    QDateTime m_origin;
    bool m_running = false;
    int m_skipped = 0;
    // The link's exchange count after a sample of this poller whose two answers came
    // whole; -1 when there was none. The same count at the next sample means nothing
    // else used the line since, and nothing of an earlier answer can be arriving.
    qint64 m_quietAfter = -1;
    // Ticks handed to the clock carry the generation they were armed in; stop, start
    // and destruction make them stale.
    std::shared_ptr<unsigned> m_generation = std::make_shared<unsigned>(0);
};

}  // namespace vx
