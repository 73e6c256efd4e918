#include "monitor/TrendPoller.h"

#include "link/LineLease.h"
#include "link/Transaction.h"

#include <algorithm>

namespace vx {

TrendPoller::TrendPoller(Link &link, SampleHandler onSample) : m_link(link), m_onSample(std::move(onSample)) {}

TrendPoller::~TrendPoller() { ++*m_generation; }

void TrendPoller::start(int rate, int decimals, const QDateTime &origin)
{
    ++*m_generation;
    m_rate = rate;
    m_decimals = decimals;
    m_origin = origin;
    m_running = true;
    m_skipped = 0;
    m_quietAfter = -1;
    arm(0);
}

void TrendPoller::stop()
{
    ++*m_generation;
    m_running = false;
}

void TrendPoller::arm(double seconds)
{
    const std::weak_ptr<unsigned> token = m_generation;
    const unsigned armed = *m_generation;
    m_link.clock().callAfter(seconds, [this, token, armed] {
        const auto generation = token.lock();
        if (!generation || *generation != armed)
            return;  // stopped, restarted or destroyed
        tick();
    });
}

void TrendPoller::tick()
{
    // Held here: the input handed on next, or the handler, may close the view that owns the poller.
    const std::shared_ptr<unsigned> current = m_generation;
    const unsigned generation = *current;
    // What the mouse and the keys did while the last sample had the line, first: at
    // the fastest rate the next sample would otherwise follow at once, before the
    // window ever gets to it (a zero timer comes before the input waiting).
    m_link.clock().idle(0, true);
    if (*current != generation)
        return;  // paused, restarted or closed meanwhile
    if (mayRun && !mayRun()) {
        stop();
        if (onStopped)
            onStopped();
        return;
    }
    Clock &clock = m_link.clock();
    const double began = clock.secondsSinceMidnight();
    const bool quiet = m_quietAfter >= 0 && m_link.stats.exchanges == m_quietAfter;

    std::optional<TrendSample> taken;
    bool portFailed = false;
    {
        LineLease lease(m_link, {.quiet = true, .poll = true, .drainStale = !quiet, .givesWay = true});
        if (lease.busy()) {
            ++m_skipped;
        } else if (lease) {
            taken = TakeSample(m_link, m_decimals, m_origin);
            if (lease.takenOver()) {
                // A click's operation took the line during the sample: no sample, and the
                // next one after a while, as after a busy line.
                taken.reset();
                ++m_skipped;
            }
        } else {
            // The port would not open: a sample without values, shown as a gap.
            taken = TrendSample{m_origin.msecsTo(clock.now()) / 1000.0, std::nullopt, std::nullopt};
            portFailed = true;
        }
    }
    m_quietAfter = taken && taken->gross && taken->net ? m_link.stats.exchanges : -1;
    // A stop that came while the sample was taken (a timer of the window's) may have
    // cut its answers short: such a sample is no sample.
    if (*current != generation)
        return;
    if (taken && m_onSample)
        m_onSample(*taken);
    if (*current != generation)
        return;  // the handler stopped, restarted or destroyed the poller
    if (portFailed) {
        stop();
        if (onPortFailed)
            onPortFailed();
        return;
    }

    // The next sample is due one interval after this one began, and never sooner than
    // the gap after its end.
    double took = clock.secondsSinceMidnight() - began;
    if (took < 0)
        took += 24 * 60 * 60;  // midnight passed
    const double interval = m_rate > 0 ? 1.0 / m_rate : 0.0;
    // A line held by another operation (a read-all) is asked again after a while,
    // not at every turn of its waits.
    arm(taken ? std::max(interval - took, GapSeconds) : std::max(interval, BusyRetrySeconds));
}

}  // namespace vx
