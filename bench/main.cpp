// vextora-bench: how long the real sequences take over a real serial port
// against vextora-sim with baud pacing and reply latency, next to the floor: the
// time the characters need on the line, the indicator's reply latency and the
// plain waits the sequences make before sending (not the waits for answers). Not a
// test: it prints a table.
//
// Then the weight trend as the window runs it (monitor/TrendPoller.h: one lease and
// one display read of registers 0 and 3 a sample, as fast as the line allows) for a
// few seconds: its samples a second against the floor's, the longest pause of the
// event loop during the trend and during the read-all above, and the time the window
// takes to answer a key press (posted every 100 ms) during both.
//
//   vextora-bench [--runs N] [--batch-runs N] [--latency-ms N] [--reading-time S] [--trend-seconds S]

#include "files/Batch.h"
#include "files/WorkingSet.h"
#include "link/Connect.h"
#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "link/Transaction.h"
#include "monitor/Status.h"
#include "monitor/TrendPoller.h"
#include "params/Range.h"
#include "shell/ConsoleOperator.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>
#include <QFileInfo>
#include <QThread>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

namespace {

using namespace vx;

struct Sim {
    QTemporaryDir dir;
    QProcess process;
    QString link;
    bool start(int baud, int latencyMs)
    {
        link = dir.filePath(QStringLiteral("indicator"));
        process.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vextora-sim")),
                      {QStringLiteral("--link"), link, QStringLiteral("--baud"), QString::number(baud),
                       QStringLiteral("--latency-ms"), QString::number(latencyMs)});
        return process.waitForReadyRead(10000) && !process.readLine().trimmed().isEmpty();
    }
    ~Sim()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
};

struct Measure {
    double medianSeconds = 0;
    double floorSeconds = 0;
    bool ok = true;
    QByteArray result;  // what the sequence produced: the same in both drain modes
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

// Runs one sequence `runs` times; the floor comes from what crossed the line and the
// plain waits of the last run.
Measure measure(Link &link, int runs, int baud, double latency, const std::function<bool(QByteArray &)> &sequence)
{
    Measure m;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        link.stats = {};
        QElapsedTimer t;
        t.start();
        m.ok = sequence(m.result) && m.ok;
        times.push_back(t.nsecsElapsed() / 1e9);
        const qint64 chars = link.stats.charsSent + link.stats.charsReceived;
        m.floorSeconds = chars * 10.0 / baud + latency * link.stats.exchanges + link.stats.waitedSeconds;
    }
    m.medianSeconds = median(times);
    return m;
}

// The longest time the event loop went without running while it was on: a timer
// of 1 ms notes the time between its ticks. The sequences run on this thread with the
// window's waits (they process events as they wait), so a pause here is a pause the
// window's event loop would see: the longest stretch in which nothing processed events.
class LoopPauseMeter {
public:
    LoopPauseMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_longestNs = 0;
        m_clock.start();
        m_lastNs = 0;
        m_timer.start();
    }
    // The longest pause in ms since start.
    double stop()
    {
        tick();
        m_timer.stop();
        return m_longestNs / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestNs = std::max(m_longestNs, now - m_lastNs);
        m_lastNs = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
};

// The window's answer to a key: a synthetic key press posted every 100 ms, and the
// time from its posting until its handler runs. While a poll holds the mouse and the
// keys back (Clock::holdUserInput) the key waits, as the window's input does: it is
// posted again and comes at a later turn of the event loop.
class InputLatencyProbe : public QObject {
public:
    explicit InputLatencyProbe(const SystemClock &clock) : m_clock(clock)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QCoreApplication::postEvent(this, new KeyPress(m_elapsed.nsecsElapsed()));
        });
    }
    void start()
    {
        m_latenciesMs.clear();
        m_elapsed.start();
        m_timer.start();
    }
    // The mean and the longest latency in ms since start; -1 when no key came.
    std::pair<double, double> stop()
    {
        m_timer.stop();
        QCoreApplication::removePostedEvents(this, KeyPress::Type);
        if (m_latenciesMs.empty())
            return {-1, -1};
        double sum = 0;
        for (double v : m_latenciesMs)
            sum += v;
        return {sum / double(m_latenciesMs.size()), *std::max_element(m_latenciesMs.begin(), m_latenciesMs.end())};
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != KeyPress::Type)
            return QObject::event(e);
        const qint64 posted = static_cast<KeyPress *>(e)->postedNs;
        if (m_clock.userInputHeld())
            QCoreApplication::postEvent(this, new KeyPress(posted));  // still waiting
        else
            m_latenciesMs.push_back((m_elapsed.nsecsElapsed() - posted) / 1e6);
        return true;
    }

private:
    struct KeyPress : QEvent {
        static constexpr QEvent::Type Type = QEvent::Type(QEvent::User + 1);
        explicit KeyPress(qint64 ns) : QEvent(Type), postedNs(ns) {}
        qint64 postedNs;
    };
    const SystemClock &m_clock;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    std::vector<double> m_latenciesMs;
};

struct TrendMeasure {
    int samples = 0;
    int incomplete = 0;        // samples without both weights
    double perSecond = 0;      // samples a second
    double floorPerSecond = 0;
    double longestPauseMs = 0;
    double keyMeanMs = -1;     // the key press's latency: mean and longest
    double keyLongestMs = -1;
};

// The trend as the window runs it, for `seconds`, as fast as the line allows. The
// floor of one sample is the time its two reads need on the wire: the characters of
// the requests and answers as they crossed (link.stats), 10 bits each (start, 8 data
// bits, stop) at the baud, plus the simulator's reply latency once per exchange. The
// floor's rate is one over that.
TrendMeasure measureTrend(Link &link, SystemClock &clock, int decimals, double seconds, int baud, double latency)
{
    TrendMeasure m;
    InputLatencyProbe keys(clock);
    TrendPoller poller(link, [&m](const TrendSample &s) {
        ++m.samples;
        m.incomplete += s.gross && s.net ? 0 : 1;
    });
    LoopPauseMeter pauses;
    link.stats = {};
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    QElapsedTimer elapsed;
    elapsed.start();
    pauses.start();
    keys.start();
    poller.start(0, decimals, link.clock().now());
    loop.exec();
    poller.stop();
    m.longestPauseMs = pauses.stop();
    std::tie(m.keyMeanMs, m.keyLongestMs) = keys.stop();
    const double took = elapsed.nsecsElapsed() / 1e9;
    m.perSecond = m.samples / took;
    const qint64 chars = link.stats.charsSent + link.stats.charsReceived;
    const double floorSeconds = chars * 10.0 / baud + latency * link.stats.exchanges;
    if (m.samples > 0 && floorSeconds > 0)
        m.floorPerSecond = m.samples / floorSeconds;
    return m;
}

// ser2net serving the simulator's pseudo-terminal as a raw TCP server on the loopback
// address, its character delay off (it passes each character on as it comes) and its
// socket without Nagle's delay (nodelay: a small piece of an answer is not held back
// until the one before it is acknowledged, which the client acknowledges late).
struct Ser2netServer {
    QTemporaryDir dir;
    QProcess process;
    QString name;  // tcp://127.0.0.1:PORT
    bool start(const QString &device)
    {
        const QString program = QStringLiteral("/usr/sbin/ser2net");
        if (!QFileInfo(program).isExecutable())
            return false;
        QTcpServer probe;  // a free port: the system names one for a listener on port 0
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        const quint16 port = probe.serverPort();
        probe.close();
        const QString config = dir.filePath(QStringLiteral("ser2net.yaml"));
        QFile f(config);
        const QByteArray text = QStringLiteral("%YAML 1.1\n---\nconnection: &indicator\n"
                                               "  accepter: tcp(nodelay),127.0.0.1,%1\n"
                                               "  connector: serialdev,%2,9600n81,local\n"
                                               "  options:\n    kickolduser: false\n    chardelay: false\n")
                                    .arg(port)
                                    .arg(device)
                                    .toUtf8();
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            return false;
        f.close();
        process.start(program, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"), QStringLiteral("-P"),
                                dir.filePath(QStringLiteral("pid")), QStringLiteral("-c"), config});
        name = QStringLiteral("tcp://127.0.0.1:%1").arg(port);
        return process.waitForStarted(5000);
    }
    ~Ser2netServer()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times identify, one full status reading, and read-all and send-all of every group of a\n"
        "ZR2 against vextora-sim on a pseudo-terminal at 9600 and 57600 baud in both drain modes,\n"
        "and compares them with the floor (characters x 10 bits / baud + reply latency per\n"
        "exchange + the plain waits the sequences make before sending). Then the weight trend as\n"
        "the window runs it: samples a second against the floor's, the longest event-loop\n"
        "pause during the trend and during the read-all, and the latency of a key press posted\n"
        "every 100 ms during both (its mean within 50 ms). Read-all at 9600 baud also goes through\n"
        "ser2net (raw TCP on the loopback address) in front of the same pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption runsOpt(QStringLiteral("runs"), QStringLiteral("Runs per figure (default 5)."),
                                     QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption latencyOpt(QStringLiteral("latency-ms"),
                                        QStringLiteral("Reply latency of the simulator (default 5)."),
                                        QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption readingOpt(QStringLiteral("reading-time"),
                                        QStringLiteral("Reading time in seconds (default 0.15)."),
                                        QStringLiteral("S"), QStringLiteral("0.15"));
    const QCommandLineOption batchRunsOpt(QStringLiteral("batch-runs"),
                                          QStringLiteral("Runs of read-all and send-all per figure (default 1)."),
                                          QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption trendOpt(QStringLiteral("trend-seconds"),
                                      QStringLiteral("Seconds of the weight trend per figure (default 5)."),
                                      QStringLiteral("S"), QStringLiteral("5"));
    const QCommandLineOption trendOnlyOpt(QStringLiteral("trend-only"),
                                          QStringLiteral("Only the weight trend (no read-all pause then)."));
    parser.addOptions({runsOpt, batchRunsOpt, latencyOpt, readingOpt, trendOpt, trendOnlyOpt});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOpt).toInt());
    const int batchRuns = std::max(1, parser.value(batchRunsOpt).toInt());
    const int latencyMs = std::max(0, parser.value(latencyOpt).toInt());
    const double readingTime = std::max(0.0, parser.value(readingOpt).toDouble());
    const double trendSeconds = std::max(1.0, parser.value(trendOpt).toDouble());
    const bool trendOnly = parser.isSet(trendOnlyOpt);

    const auto texts = LanguageTexts::fromFile(LanguageFilePath(QStringLiteral("English.txt")))
                           .value_or(LanguageTexts());
    TextService textService;
    textService.use(texts, QStringLiteral("English.txt"));
    std::printf("%-10s %6s  %-9s  %10s  %10s  %6s\n", "sequence", "baud", "drain", "median ms", "floor ms",
                "ratio");
    int failures = 0;
    std::map<std::pair<QString, int>, QByteArray> results;  // (sequence, baud) -> the fixed drain's result
    struct TrendRow {
        int baud;
        DrainMode drain;
        TrendMeasure trend;
        double readAllPauseMs;
        double readAllKeyMeanMs;
        double readAllKeyLongestMs;
    };
    std::vector<TrendRow> trendRows;
    for (int baud : {9600, 57600}) {
        Sim sim;
        if (!sim.start(baud, latencyMs)) {
            std::fprintf(stderr, "vextora-bench: vextora-sim did not start\n");
            return 1;
        }
        for (DrainMode drain : {DrainMode::Fixed, DrainMode::FrameEnd}) {
            QtSerialPort port;
            SystemClock clock;
            // Messages to standard error; questions answered Abort, Cancel, No.
            ConsoleOperator op(QStringLiteral("vextora-bench"), false);
            QTemporaryDir logDir;
            CommsLog log(logDir.filePath(QStringLiteral("ZRxLog.txt")));
            Link link(port, clock, op, log);
            link.settings.PortNumber = sim.link;
            link.settings.PortSettings = QStringLiteral("%1,N,8,1").arg(baud);
            link.settings.ReadingTime = readingTime;
            link.settings.drainMode = drain;
            // Each sequence measured, unless only the trend is.
            auto timed = [&](int n, const std::function<bool(QByteArray &)> &sequence) {
                return trendOnly ? Measure{} : measure(link, n, baud, latencyMs / 1000.0, sequence);
            };

            const Measure identify = timed(runs, [&](QByteArray &) {
                const bool ok = VersiyonOku(link).connected();
                port.close();
                return ok;
            });
            const Measure status = timed(runs, [&](QByteArray &) {
                if (OpenLinkPort(port, link.settings, op) != 0)
                    return false;
                const bool ok = StatuOku(link, texts).complete();
                port.close();
                return ok;
            });

            // Every group of a ZR2, with the indicator's decimals, as the window would.
            const std::optional<IndicatorRange> range = TaksimatBul(link);
            const WeightFormat weight = range ? range->format : WeightFormat{};
            WorkingSet set;
            set.parameters().weight = weight;
            LoopPauseMeter readAllPauses;
            InputLatencyProbe readAllKeys(clock);
            readAllPauses.start();
            readAllKeys.start();
            const Measure readAll = timed(batchRuns, [&](QByteArray &result) {
                if (OpenLinkPort(port, link.settings, op) != 0)
                    return false;
                ReadAllChoice choice;
                choice.header = choice.id = choice.setpoint = choice.parameters = choice.status = true;
                const bool ok = ReadAll(link, set, textService, choice, weight).outcome == BatchOutcome::Completed;
                port.close();
                // The record read, without the running clock.
                set.parameters().setRowValue(1, RowValue{});
                set.collect();
                result = EncodeRecord(set.record());
                return ok;
            });
            const double readAllPauseMs = trendOnly ? -1 : readAllPauses.stop();
            const auto [readAllKeyMeanMs, readAllKeyLongestMs] = readAllKeys.stop();
            const Measure sendAll = timed(batchRuns, [&](QByteArray &result) {
                if (OpenLinkPort(port, link.settings, op) != 0)
                    return false;
                SendAllChoice choice;
                choice.header = choice.id = choice.setpoint = true;
                choice.parameters = {.dateTime = false, .calibration = true, .jmp = true, .nrm = true};
                const bool ok = SendAll(link, set, textService, choice, weight).outcome == BatchOutcome::Completed;
                port.close();
                // The same frames went out: as many characters in as many exchanges.
                result = QByteArray::number(link.stats.charsSent) + ' ' + QByteArray::number(link.stats.exchanges);
                return ok;
            });

            for (const auto &[name, m] : {std::pair{"identify", identify}, std::pair{"status", status},
                                          std::pair{"read-all", readAll}, std::pair{"send-all", sendAll}}) {
                if (trendOnly)
                    break;
                QByteArray &fixedResult = results[{QString::fromLatin1(name), baud}];
                if (drain == DrainMode::Fixed)
                    fixedResult = m.result;
                const bool same = drain == DrainMode::Fixed || m.result == fixedResult;
                std::printf("%-10s %6d  %-9s  %10.1f  %10.1f  %6.2f%s%s\n", name, baud,
                            qPrintable(DrainModeName(drain)), m.medianSeconds * 1000, m.floorSeconds * 1000,
                            m.floorSeconds > 0 ? m.medianSeconds / m.floorSeconds : 0.0, m.ok ? "" : "  (failed)",
                            same ? "" : "  (result differs from the fixed drain)");
                failures += m.ok && same ? 0 : 1;
                std::fflush(stdout);
            }
            std::fflush(stdout);

            const TrendMeasure trend =
                measureTrend(link, clock, weight.decimals(), trendSeconds, baud, latencyMs / 1000.0);
            trendRows.push_back({baud, drain, trend, readAllPauseMs, trendOnly ? -1 : readAllKeyMeanMs,
                                 trendOnly ? -1 : readAllKeyLongestMs});
            failures += trend.samples > 0 && trend.incomplete == 0 ? 0 : 1;
        }
    }

    // Read-all through a serial server (ser2net, raw TCP) beside the direct pseudo-terminal above.
    if (!trendOnly) {
        Sim sim;
        Ser2netServer server;
        if (!sim.start(9600, latencyMs) || !server.start(QFileInfo(sim.link).symLinkTarget())) {
            std::printf("\nread-all through ser2net: not measured (ser2net or vextora-sim did not start)\n");
        } else {
            QtSerialPort port;
            SystemClock clock;
            ConsoleOperator op(QStringLiteral("vextora-bench"), false);
            QTemporaryDir logDir;
            CommsLog log(logDir.filePath(QStringLiteral("ZRxLog.txt")));
            Link link(port, clock, op, log);
            link.settings.PortNumber = server.name;
            link.settings.PortSettings = QStringLiteral("9600,N,8,1");
            link.settings.ReadingTime = readingTime;
            link.settings.drainMode = DrainMode::FrameEnd;
            // The server listens a moment after it starts.
            bool listening = false;
            for (int i = 0; i < 100 && !listening; ++i) {
                listening = port.open(server.name, link.settings.PortSettings).ok();
                if (!listening)
                    QThread::msleep(50);
            }
            port.close();
            const std::optional<IndicatorRange> range = listening ? TaksimatBul(link) : std::nullopt;
            const WeightFormat weight = range ? range->format : WeightFormat{};
            WorkingSet set;
            set.parameters().weight = weight;
            const Measure m = measure(link, batchRuns, 9600, latencyMs / 1000.0, [&](QByteArray &) {
                if (!listening || OpenLinkPort(port, link.settings, op) != 0)
                    return false;
                ReadAllChoice choice;
                choice.header = choice.id = choice.setpoint = choice.parameters = choice.status = true;
                const bool ok = ReadAll(link, set, textService, choice, weight).outcome == BatchOutcome::Completed;
                port.close();
                return ok;
            });
            std::printf("\n%-10s %6s  %-9s  %10s  %10s  %6s  %s\n", "sequence", "baud", "drain", "median ms",
                        "floor ms", "ratio", "port");
            std::printf("%-10s %6d  %-9s  %10.1f  %10.1f  %6.2f  ser2net, raw TCP (round trip %.2f ms)%s\n",
                        "read-all", 9600, qPrintable(DrainModeName(DrainMode::FrameEnd)), m.medianSeconds * 1000,
                        m.floorSeconds * 1000, m.floorSeconds > 0 ? m.medianSeconds / m.floorSeconds : 0.0,
                        port.roundTripSeconds() * 1000, m.ok ? "" : "  (failed)");
            failures += m.ok ? 0 : 1;
        }
    }

    std::printf("\n%-10s %6s  %-9s  %10s  %10s  %6s  %14s  %14s\n", "sequence", "baud", "drain", "samples/s",
                "floor /s", "ratio", "trend pause ms", "read-all pause");
    for (const TrendRow &row : trendRows) {
        const TrendMeasure &t = row.trend;
        const QString readAllPause = row.readAllPauseMs < 0 ? QStringLiteral("-")
                                                            : QString::number(row.readAllPauseMs, 'f', 1);
        std::printf("%-10s %6d  %-9s  %10.2f  %10.2f  %6.2f  %14.1f  %14s%s\n", "trend", row.baud,
                    qPrintable(DrainModeName(row.drain)), t.perSecond, t.floorPerSecond,
                    t.floorPerSecond > 0 ? t.perSecond / t.floorPerSecond : 0.0, t.longestPauseMs,
                    qPrintable(readAllPause),
                    t.samples == 0 ? "  (no sample)"
                                   : t.incomplete > 0 ? qPrintable(QStringLiteral("  (%1 of %2 samples incomplete)")
                                                                       .arg(t.incomplete)
                                                                       .arg(t.samples))
                                                      : "");
    }
    // The window's answer to a key press during the fastest trend and during the
    // read-all: its mean must stay within KeyLatencyBoundMs.
    constexpr double KeyLatencyBoundMs = 50.0;
    std::printf("\n%-14s %6s  %-9s  %12s  %12s  %s\n", "key press", "baud", "drain", "mean ms", "longest ms",
                "bound");
    const auto keyRow = [&](const char *during, const TrendRow &row, double mean, double longest) {
        if (mean < 0)
            return;
        const bool within = mean <= KeyLatencyBoundMs;
        std::printf("%-14s %6d  %-9s  %12.1f  %12.1f  %s\n", during, row.baud, qPrintable(DrainModeName(row.drain)),
                    mean, longest, within ? "<= 50 ms" : "OVER 50 ms");
        failures += within ? 0 : 1;
    };
    for (const TrendRow &row : trendRows) {
        keyRow("during trend", row, row.trend.keyMeanMs, row.trend.keyLongestMs);
        keyRow("during read-all", row, row.readAllKeyMeanMs, row.readAllKeyLongestMs);
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
