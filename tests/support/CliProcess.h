#pragma once
// The real executables: a vextora-sim process serving a pseudo-terminal, and
// vextora-cli command lines run as processes against it.

#include "support/CliRunner.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace vx::test {

inline QString Binary(const QString &name) { return QDir(QCoreApplication::applicationDirPath()).filePath(name); }

// vextora-sim linked at `link` (a temporary path when empty), ready once it has
// named its pseudo-terminal.
class SimProcess {
public:
    explicit SimProcess(const QStringList &extra = {}, const QString &linkPath = {})
    {
        link = linkPath.isEmpty() ? dir.filePath("indicator") : linkPath;
        process.start(Binary("vextora-sim"), QStringList{"--link", link} + extra);
        if (process.waitForReadyRead(10000))
            ptyPath = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~SimProcess() { stop(); }
    void stop()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
    bool ready() const { return !ptyPath.isEmpty(); }

    QTemporaryDir dir;
    QString link, ptyPath;
    QProcess process;
};

// The reading time every test process uses. Frame-end returns at the CR, so a long
// reading time costs nothing when the indicator answers, and a machine busy with
// other work cannot make a whole answer late. (A later --reading-time overrides it.)
inline const QStringList ProcessReadingTime = {QStringLiteral("--reading-time"), QStringLiteral("1")};

// vextora-cli with its own settings file, the English texts and the reading time
// above, run as a process; interrupted (SIGINT) after interruptAfterMs when that is
// given and it still runs; killed after timeoutMs (exit code -1), so no fault can
// hang the suite.
inline CliRun RunCliProcess(const QString &settings, const QStringList &args, int interruptAfterMs = 0,
                            int timeoutMs = 60000)
{
    QProcess p;
    p.start(Binary("vextora-cli"),
            QStringList{"--settings", settings, "--language", "English.txt"} + ProcessReadingTime + args);
    p.closeWriteChannel();
    if (interruptAfterMs > 0 && !p.waitForFinished(interruptAfterMs))
        ::kill(pid_t(p.processId()), SIGINT);
    if (!p.waitForFinished(timeoutMs))
        p.kill();
    p.waitForFinished(5000);
    return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                  QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// vextora-cli started as a process (same options as RunCliProcess) and left running,
// for tests that act while it works: wait for a condition, send it signals.
class RunningCli {
public:
    RunningCli(const QString &settings, const QStringList &args)
    {
        process.start(Binary("vextora-cli"),
                      QStringList{"--settings", settings, "--language", "English.txt"} + ProcessReadingTime + args);
        process.closeWriteChannel();
    }
    ~RunningCli()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    void signal(int sig) { ::kill(pid_t(process.processId()), sig); }
    // Waits for at most timeoutMs until `done` holds (checked as output arrives and
    // every 50 ms); false when it never did.
    template <typename Done>
    bool waitUntil(Done done, int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents();
            process.waitForReadyRead(50);
            out += QString::fromUtf8(process.readAllStandardOutput());
        }
        return true;
    }
    // Waits for the end (killed after timeoutMs): the exit code, or -1 when it did not
    // end by itself; crashed() tells a signal's end from an exit.
    CliRun finish(int timeoutMs = 30000)
    {
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(5000);
            killedByTest = true;
        }
        out += QString::fromUtf8(process.readAllStandardOutput());
        return CliRun{!killedByTest && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, out,
                      QString::fromUtf8(process.readAllStandardError())};
    }
    bool crashed() const { return !killedByTest && process.exitStatus() == QProcess::CrashExit; }

    QProcess process;
    QString out;
    bool killedByTest = false;
};

}  // namespace vx::test
