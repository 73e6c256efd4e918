// vextora-bench: how long the real sequences take over a real serial port
// against vextora-sim with baud pacing and reply latency, next to the time the
// characters alone need on the line. Not a test: it prints a table.
//
//   vextora-bench [--runs N] [--latency-ms N] [--reading-time S]

#include "link/Connect.h"
#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "link/Transaction.h"
#include "monitor/Status.h"
#include "shell/ConsoleOperator.h"
#include "shell/LanguageTexts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
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
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

// Runs one sequence `runs` times; the wire floor comes from what crossed the line in the last run.
Measure measure(Link &link, int runs, int baud, double latency, const std::function<bool()> &sequence)
{
    Measure m;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        link.stats = {};
        QElapsedTimer t;
        t.start();
        m.ok = sequence() && m.ok;
        times.push_back(t.nsecsElapsed() / 1e9);
        const qint64 chars = link.stats.charsSent + link.stats.charsReceived;
        m.floorSeconds = chars * 10.0 / baud + latency * link.stats.exchanges;
    }
    m.medianSeconds = median(times);
    return m;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times identify and one full status reading against vextora-sim on a pseudo-terminal\n"
        "at 9600 and 57600 baud in both drain modes, and compares them with the wire-time floor\n"
        "(characters x 10 bits / baud + reply latency per exchange)."));
    parser.addHelpOption();
    const QCommandLineOption runsOpt(QStringLiteral("runs"), QStringLiteral("Runs per figure (default 5)."),
                                     QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption latencyOpt(QStringLiteral("latency-ms"),
                                        QStringLiteral("Reply latency of the simulator (default 5)."),
                                        QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption readingOpt(QStringLiteral("reading-time"),
                                        QStringLiteral("Reading time in seconds (default 0.15)."),
                                        QStringLiteral("S"), QStringLiteral("0.15"));
    parser.addOptions({runsOpt, latencyOpt, readingOpt});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOpt).toInt());
    const int latencyMs = std::max(0, parser.value(latencyOpt).toInt());
    const double readingTime = std::max(0.0, parser.value(readingOpt).toDouble());

    const auto texts = LanguageTexts::fromFile(LanguageFilePath(QStringLiteral("English.txt")))
                           .value_or(LanguageTexts());
    std::printf("%-10s %6s  %-9s  %10s  %10s  %6s\n", "sequence", "baud", "drain", "median ms", "floor ms",
                "ratio");
    int failures = 0;
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
            link.decode.currentTab = Tab::Status;

            const Measure identify = measure(link, runs, baud, latencyMs / 1000.0, [&] {
                const bool ok = VersiyonOku(link).connected();
                port.close();
                return ok;
            });
            const Measure status = measure(link, runs, baud, latencyMs / 1000.0, [&] {
                if (PortAç(port, link.settings, op) != 0)
                    return false;
                const bool ok = StatuOku(link, texts).complete();
                port.close();
                return ok;
            });
            for (const auto &[name, m] : {std::pair{"identify", identify}, std::pair{"status", status}}) {
                std::printf("%-10s %6d  %-9s  %10.1f  %10.1f  %6.2f%s\n", name, baud,
                            qPrintable(DrainModeName(drain)), m.medianSeconds * 1000, m.floorSeconds * 1000,
                            m.floorSeconds > 0 ? m.medianSeconds / m.floorSeconds : 0.0, m.ok ? "" : "  (failed)");
                failures += m.ok ? 0 : 1;
            }
            std::fflush(stdout);
        }
    }
    return failures == 0 ? 0 : 1;
}
