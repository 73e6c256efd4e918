#pragma once
// Runs vextora-cli command lines in this process against an in-process virtual
// indicator on the virtual clock, with a settings file and a log folder of their
// own, capturing standard output and standard error.

#include "cli/Cli.h"
#include "link/AppPaths.h"
#include "support/SimFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace vx::test {

struct CliRun {
    int exitCode = -1;
    QString out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

class InProcessCli {
public:
    InProcessCli() { setWritableFolder(dir.path()); }
    ~InProcessCli() { setWritableFolder(QString()); }

    // interrupted: polled while a command waits (--watch); the run so far is passed in.
    CliRun run(InProcessIndicator &sim, const QStringList &args,
               std::function<bool(const CliRun &)> interrupted = {})
    {
        CliRun r;
        QTextStream out(&r.out), err(&r.err);
        std::function<bool()> poll;
        if (interrupted)
            poll = [&] { return interrupted(r); };
        cli::Environment env{
            .out = out, .err = err, .port = &sim.port, .clock = &sim.clock, .interactive = false, .interrupted = poll};
        const QStringList common = {"vextora-cli", "--settings", dir.filePath("vextora.ini"), "--language",
                                    "English.txt"};
        r.exitCode = cli::RunCli(common + args, env);
        out.flush();
        err.flush();
        return r;
    }

    QTemporaryDir dir;
};

}  // namespace vx::test
