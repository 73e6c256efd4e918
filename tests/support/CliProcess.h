#pragma once
// The real executables: a vextora-sim process serving a pseudo-terminal, and
// vextora-cli command lines run as processes against it.

#include "support/CliRunner.h"

#include <QCoreApplication>
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

// vextora-cli with its own settings file and the English texts; interrupted
// (SIGINT) after interruptAfterMs when that is given and it still runs.
inline CliRun RunCliProcess(const QString &settings, const QStringList &args, int interruptAfterMs = 0)
{
    QProcess p;
    p.start(Binary("vextora-cli"), QStringList{"--settings", settings, "--language", "English.txt"} + args);
    p.closeWriteChannel();
    if (interruptAfterMs > 0 && !p.waitForFinished(interruptAfterMs))
        ::kill(pid_t(p.processId()), SIGINT);
    if (!p.waitForFinished(60000))
        p.kill();
    return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                  QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace vx::test
