// vextora: the service and setup tool for ZR1 / ZR2 weighing indicators.

#include "Version.h"
#include "gui/AnaForm.h"
#include "gui/GuiOperator.h"
#include "shell/ConsoleOperator.h"
#include "link/AppPaths.h"
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

bool hasArgument(int argc, char **argv, std::initializer_list<const char *> names)
{
    for (int i = 1; i < argc; ++i)
        for (const char *name : names)
            if (std::strcmp(argv[i], name) == 0)
                return true;
    return false;
}

int fail(const QString &text)
{
    std::fprintf(stderr, "vextora: %s\n", qPrintable(text));
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    // A headless check and the help text need no screen.
    const bool noScreen = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && (hasArgument(argc, argv, {"--smoke"})
            || (noScreen && hasArgument(argc, argv, {"-h", "--help", "--help-all", "-v", "--version"}))))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vextora"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vx::version::Major).arg(vx::version::Minor).arg(vx::version::Revision));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Service and setup tool for ZR1 / ZR2 weighing indicators on an RS-232 line.\n"
        "Settings live in the per-user store (application \"Kormel\", section \"ZR\");\n"
        "language files in LANGUAGE/ and help documents in Help/ beside the program."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(QStringLiteral("settings"),
        QStringLiteral("Use the ini file FILE as settings store instead of the user's store."), QStringLiteral("FILE"));
    const QCommandLineOption mapOption(QStringLiteral("map"),
        QStringLiteral("For this run, COMn is the serial device PATH (repeatable; the stored COM map is left as it is)."),
        QStringLiteral("COMn=PATH"));
    const QCommandLineOption folderOption(QStringLiteral("program-folder"),
        QStringLiteral("Look for LANGUAGE/ and Help/ in DIR instead of the program's folder."), QStringLiteral("DIR"));
    const QCommandLineOption modelOption(QStringLiteral("model"),
        QStringLiteral("Take the indicator model ZR1 or ZR2 without asking at start-up."), QStringLiteral("MODEL"));
    const QCommandLineOption smokeOption(QStringLiteral("smoke"),
        QStringLiteral("Headless check: start (model ZR2 unless --model says otherwise), connect, print the "
                       "indicator's version text and the status light, exit 0 when connected, 1 otherwise."));
    parser.addOptions({settingsOption, mapOption, folderOption, modelOption, smokeOption});
    parser.process(app);

    if (parser.isSet(folderOption)) {
        const QString folder = parser.value(folderOption);
        if (!QDir(folder).exists())
            return fail(QStringLiteral("--program-folder: no such folder: %1").arg(folder));
        vx::setProgramFolder(QDir(folder).absolutePath());
    }

    const bool smoke = parser.isSet(smokeOption);
    QString model = parser.value(modelOption).trimmed().toUpper();
    if (parser.isSet(modelOption) && model != QLatin1String("ZR1") && model != QLatin1String("ZR2"))
        return fail(QStringLiteral("--model: expected ZR1 or ZR2, got \"%1\"").arg(parser.value(modelOption)));
    if (smoke && model.isEmpty())
        model = QStringLiteral("ZR2");

    std::unique_ptr<vx::SettingsStore> store = parser.isSet(settingsOption)
                                                   ? std::make_unique<vx::SettingsStore>(parser.value(settingsOption))
                                                   : std::make_unique<vx::SettingsStore>();

    vx::ComPortMap map(*store);
    for (const QString &entry : parser.values(mapOption)) {
        const int eq = entry.indexOf(QLatin1Char('='));
        const int number = eq > 0 ? vx::ComPortMap::comNumber(entry.left(eq)) : 0;
        const QString path = eq > 0 ? entry.mid(eq + 1) : QString();
        if (number < 1 || number > 16 || path.isEmpty())
            return fail(QStringLiteral("--map: expected COMn=PATH with n from 1 to 16, got \"%1\"").arg(entry));
        map.setOverride(number, path);
    }

    vx::QtSerialPort port(map);
    vx::SystemClock clock;
    vx::gui::GuiOperator guiOperator;
    vx::ConsoleOperator consoleOperator(QStringLiteral("vextora"), false);
    vx::Operator &op = smoke ? static_cast<vx::Operator &>(consoleOperator) : guiOperator;

    vx::gui::AnaForm form(port, clock, op, *store);
    guiOperator.setParent(&form);
    QObject::connect(&form, &vx::gui::AnaForm::exitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    if (!form.FormLoad(model))
        return 0;  // closed before a model was chosen

    if (smoke) {
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
