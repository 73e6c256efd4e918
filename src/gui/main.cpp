// vextora: the service and setup tool for ZR1 / ZR2 weighing indicators.

#include "Version.h"
#include "gui/AnaForm.h"
#include "gui/GuiOperator.h"
#include "shell/ConsoleOperator.h"
#include "link/AppPaths.h"
#include "link/Options.h"
#include "link/SerialPort.h"
#include "link/Settings.h"
#include "link/SystemClock.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Exit status: 0 done, 1 not connected (smoke check) or no display, 2 wrong usage.
constexpr int ExitNoDisplay = 1;
constexpr int ExitUsage = 2;

bool hasArgument(int argc, char **argv, std::initializer_list<const char *> names)
{
    for (int i = 1; i < argc; ++i)
        for (const char *name : names)
            if (std::strcmp(argv[i], name) == 0)
                return true;
    return false;
}

// Whether the window has a screen to go on. On X11 and Wayland systems a display
// variable must be set, unless a platform was chosen that needs none.
bool haveDisplay(int argc, char **argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (hasArgument(argc, argv, {"-platform", "--platform"}))
        return true;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.startsWith("xcb"))
        return x11;
    if (platform.startsWith("wayland"))
        return wayland;
    return !platform.isEmpty() || x11 || wayland;
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}

struct Options {
    std::unique_ptr<vx::SettingsStore> store;
    std::vector<vx::ComMapping> maps;
    QString model;  // "ZR1", "ZR2" or empty: ask at start-up
    bool smoke = false;
};

class CommandLine {
public:
    CommandLine()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Service and setup tool for ZR1 / ZR2 weighing indicators on an RS-232 line.\n"
            "Settings live in the per-user store (application \"Kormel\", section \"ZR\");\n"
            "language files in LANGUAGE/ and help documents in Help/ beside the program.\n"
            "Without a display, use --smoke for a headless check or vextora-cli for the\n"
            "command-line tool.\n\n"
            "Exit status: 0 done; 1 not connected (--smoke) or no display; 2 wrong usage."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({settings, map, folder, model, smoke});
    }

    // Reads the command line. Returns an exit status when the run ends here: the
    // help or the version printed, or a usage error reported.
    std::optional<int> parse(const QStringList &arguments, Options &out)
    {
        if (!parser.parse(arguments))
            return usage(parser.errorText());
        if (parser.isSet(QStringLiteral("help"))) {
            std::fputs(qPrintable(parser.helpText()), stdout);
            return 0;
        }
        if (parser.isSet(QStringLiteral("version"))) {
            std::printf("vextora %s\n", qPrintable(QCoreApplication::applicationVersion()));
            return 0;
        }
        if (!parser.positionalArguments().isEmpty())
            return usage(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
        if (parser.isSet(folder)) {
            const QString path = parser.value(folder);
            if (!QDir(path).exists())
                return usage(QStringLiteral("--program-folder: no such folder: %1").arg(path));
            vx::setProgramFolder(QDir(path).absolutePath());
        }
        out.smoke = parser.isSet(smoke);
        if (parser.isSet(model)) {
            const auto m = vx::ParseModelOption(parser.value(model));
            if (!m)
                return usage(QStringLiteral("--model: expected ZR1 or ZR2, got \"%1\"").arg(parser.value(model)));
            out.model = vx::ModelName(*m);
        } else if (out.smoke) {
            out.model = QStringLiteral("ZR2");
        }
        for (const QString &entry : parser.values(map)) {
            const auto mapping = vx::ParseComMapping(entry);
            if (!mapping)
                return usage(QStringLiteral("--map: expected COMn=PATH with n from 1 to 16, got \"%1\"").arg(entry));
            out.maps.push_back(*mapping);
        }
        if (parser.isSet(settings)) {
            if (const auto why = vx::SettingsFileProblem(parser.value(settings)))
                return usage(QStringLiteral("--settings \"%1\": %2").arg(parser.value(settings), *why));
        }
        out.store = parser.isSet(settings) ? std::make_unique<vx::SettingsStore>(parser.value(settings))
                                           : std::make_unique<vx::SettingsStore>();
        return std::nullopt;
    }

private:
    static int usage(const QString &text)
    {
        std::fprintf(stderr, "vextora: %s\nTry 'vextora --help'.\n", qPrintable(text));
        return ExitUsage;
    }

    QCommandLineParser parser;
    const QCommandLineOption settings{QStringLiteral("settings"),
        QStringLiteral("Use the ini file FILE as settings store instead of the user's store."), QStringLiteral("FILE")};
    const QCommandLineOption map{QStringLiteral("map"),
        QStringLiteral("For this run, COMn is the serial device PATH (repeatable; the stored COM map is left as it is)."),
        QStringLiteral("COMn=PATH")};
    const QCommandLineOption folder{QStringLiteral("program-folder"),
        QStringLiteral("Look for LANGUAGE/ and Help/ in DIR instead of the program's folder."), QStringLiteral("DIR")};
    const QCommandLineOption model{QStringLiteral("model"),
        QStringLiteral("Take the indicator model ZR1 or ZR2 without asking at start-up."), QStringLiteral("MODEL")};
    const QCommandLineOption smoke{QStringLiteral("smoke"),
        QStringLiteral("Headless check: start (model ZR2 unless --model says otherwise), connect, print the "
                       "indicator's version text and the status light, exit 0 when connected, 1 otherwise.")};
};

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("vextora"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vx::version::Major).arg(vx::version::Minor).arg(vx::version::Revision));
}

}  // namespace

int main(int argc, char **argv)
{
    // The headless check needs no screen.
    const bool smoke = hasArgument(argc, argv, {"--smoke"});
    if (smoke && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    if (!smoke && !haveDisplay(argc, argv)) {
        // Qt would abort without a screen: read the command line without one, so
        // the help, the version and usage errors still work, then say what to use.
        QCoreApplication app(argc, argv);
        nameApplication();
        CommandLine commandLine;
        Options options;
        if (const auto done = commandLine.parse(app.arguments(), options))
            return *done;
        std::fputs("vextora: no display (neither DISPLAY nor WAYLAND_DISPLAY is set). Use \"vextora --smoke\" "
                   "for a headless check, or vextora-cli for the command-line tool.\n",
                   stderr);
        return ExitNoDisplay;
    }

    QApplication app(argc, argv);
    nameApplication();
    CommandLine commandLine;
    Options options;
    if (const auto done = commandLine.parse(app.arguments(), options))
        return *done;

    vx::ComPortMap map(*options.store);
    for (const vx::ComMapping &m : options.maps)
        map.setOverride(m.number, m.path);

    vx::QtSerialPort port(map);
    vx::SystemClock clock;
    vx::gui::GuiOperator guiOperator;
    vx::ConsoleOperator consoleOperator(QStringLiteral("vextora"), false);
    vx::Operator &op = options.smoke ? static_cast<vx::Operator &>(consoleOperator) : guiOperator;

    vx::gui::AnaForm form(port, clock, op, *options.store);
    form.reloadPortMap = [&port, &options] { port.portMap().reload(*options.store); };
    // While a network port's session is being made the window goes on: its events run,
    // and Escape (or closing it) cancels the connecting.
    port.network().setWhileConnecting([&clock, &form] {
        clock.idle(0, true);
        return !form.link().AbortRequested;
    });
    guiOperator.setParent(&form);
    QObject::connect(&form, &vx::gui::AnaForm::exitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    if (!form.FormLoad(options.model))
        return 0;  // closed before a model was chosen

    if (options.smoke) {
        form.ConnectAction();
        std::printf("model: %s\n", qPrintable(form.state().IndicatorModelText));
        std::printf("version: %s\n", qPrintable(form.lastVersion().versionText.trimmed()));
        std::printf("light: %s\n", qPrintable(form.lightColour()));
        std::printf("%s\n", form.state().IsConnected ? "connected" : "not connected");
        return form.state().IsConnected ? 0 : 1;
    }

    form.show();
    return app.exec();
}
