// vextora-cli: the headless companion of the window for technicians and scripts.
// It shares the core with the window: the same settings, port, transaction,
// connect and status sequences. The commands are in cli/cmd_*.cpp.

#include "cli/Cli.h"

#include "Version.h"

#include <QCoreApplication>
#include <QTextStream>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::atomic<bool> g_interrupted{false};
void onInterrupt(int) { g_interrupted = true; }

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vextora-cli"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vx::version::Major).arg(vx::version::Minor).arg(vx::version::Revision));
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    QTextStream out(stdout);
    QTextStream err(stderr);
    vx::cli::Environment env{.out = out,
                             .err = err,
                             .interactive = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO),
                             .interrupted = [] { return g_interrupted.load(); },
                             .progress = ::isatty(STDERR_FILENO) != 0};
    return vx::cli::RunCli(app.arguments(), env);
}
