// vextora-cli: the headless companion of the window for technicians and scripts.
// It shares the core with the window: the same settings, port, transaction,
// connect and status sequences. The commands are in cli/cmd_*.cpp.

#include "cli/Cli.h"

#include "Version.h"
#include "report/ReportPdf.h"

#include <QCoreApplication>
#include <QTextStream>

#include <atomic>
#include <csignal>
#include <signal.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// Signals seen so far. The first SIGINT or SIGTERM asks the running command to stop
// as Escape does in the window (a read or send closes its transfer with the closing
// command and exits 6); a second one ends the tool at once.
std::atomic<int> g_signals{0};
static_assert(std::atomic<int>::is_always_lock_free);

void onSignal(int sig)
{
    if (g_signals.fetch_add(1) > 0) {
        ::signal(sig, SIG_DFL);
        ::raise(sig);
    }
}

void installSignalHandlers()
{
    // Without SA_RESTART: a blocking call (the terminal's answer to a question) returns
    // with EINTR instead of going on waiting, so no wait outlives the signal.
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    // A file-size limit makes a write fail (and the save say so) instead of killing the tool.
    ::signal(SIGXFSZ, SIG_IGN);
}

// A calibration report or a configuration sheet is drawn with fonts, which need a
// QGuiApplication (offscreen).
bool drawsReport(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--report") == 0 || std::strncmp(argv[i], "--report=", 9) == 0
            || std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char *argv[])
{
    // Before anything can change argv: the bytes as they were given.
    if (const std::optional<QString> problem = vx::cli::ArgumentNotText(argc, argv)) {
        std::fprintf(stderr, "vextora-cli: %s\nTry 'vextora-cli --help'.\n", problem->toUtf8().constData());
        return vx::cli::ExitUsage;
    }
    const std::unique_ptr<QCoreApplication> application = vx::report::CreateApplication(argc, argv, drawsReport(argc, argv));
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("vextora-cli"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vx::version::Major).arg(vx::version::Minor).arg(vx::version::Revision));
    installSignalHandlers();

    QTextStream out(stdout);
    QTextStream err(stderr);
    vx::cli::Environment env{.out = out,
                             .err = err,
                             .interactive = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO),
                             .interrupted = [] { return g_signals.load() > 0; },
                             .progress = ::isatty(STDERR_FILENO) != 0};
    return vx::cli::RunCli(app.arguments(), env);
}
