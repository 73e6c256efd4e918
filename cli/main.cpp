// vextora-cli: the headless companion of the window for technicians and scripts.
// It shares the core with the window: the same settings, port, transaction,
// connect and status sequences.

#include "link/AppPaths.h"
#include "link/Codec.h"
#include "link/Connect.h"
#include "link/SerialPort.h"
#include "link/Settings.h"
#include "link/SystemClock.h"
#include "link/Transaction.h"
#include "monitor/Status.h"
#include "shell/ConsoleOperator.h"
#include "shell/LanguageTexts.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace vx;

// Exit status of every command.
enum Exit { ExitOk = 0, ExitNoAnswer = 1, ExitUsage = 2, ExitPort = 3 };

constexpr int TextRefused = 309;
const char *const FallbackRefused = "The indicator did not answer or refused the request.";

std::atomic<bool> g_interrupted{false};
void onInterrupt(int) { g_interrupted = true; }

[[noreturn]] void usageError(const QString &text)
{
    std::fprintf(stderr, "vextora-cli: %s\nTry 'vextora-cli --help'.\n", qPrintable(text));
    std::exit(ExitUsage);
}

void printJson(const QJsonObject &object)
{
    std::fputs(QJsonDocument(object).toJson(QJsonDocument::Indented).constData(), stdout);
    std::fflush(stdout);
}

void printLine(const QString &text)
{
    std::fprintf(stdout, "%s\n", qPrintable(text));
    std::fflush(stdout);
}

struct Options {
    LinkSettings link;
    QString model = QStringLiteral("ZR2");
    QString languageFile;
    bool json = false;
    int watchSeconds = 0;
    QString command;
    std::unique_ptr<SettingsStore> store;
};

// Everything a command needs to talk to the indicator.
struct Session {
    explicit Session(Options &o)
        : options(o),
          op(QStringLiteral("vextora-cli"), ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO)),
          port(ComPortMap(*o.store)),
          log(QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt"))),
          link(port, clock, op, log)
    {
        link.settings = o.link;
        QString error;
        if (auto loaded = LanguageTexts::fromFile(LanguageFilePath(o.languageFile), &error)) {
            texts = *loaded;
        } else if (auto english = LanguageTexts::fromFile(LanguageFilePath(QStringLiteral("English.txt")))) {
            std::fprintf(stderr, "vextora-cli: language file \"%s\" not found, using English.txt\n",
                         qPrintable(o.languageFile));
            texts = *english;
        }
        link.transactionErrorText = texts.text(306);
        link.decode.weekdayNames = texts.weekdayNames();
    }

    QString text(int line, const char *fallback) const
    {
        const QString t = texts.text(line);
        return t.isEmpty() ? QString::fromUtf8(fallback) : t;
    }

    Options &options;
    ConsoleOperator op;
    QtSerialPort port;
    SystemClock clock;
    CommsLog log;
    Link link;
    LanguageTexts texts;
};

Options parse(QCoreApplication &app)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Command-line companion of the Vextora window.\n\n"
        "Commands:\n"
        "  ports                   list the COM numbers that can be opened, with their device paths\n"
        "  identify                connect as the window does: read the version text, print model and version\n"
        "  status [--watch N]      one status reading (or one every N seconds until interrupted): the six\n"
        "                          values and every flag row with its language text, plus the two derived flags\n\n"
        "Exit status: 0 success; 1 the indicator did not answer or refused; 2 wrong usage;\n"
        "3 the port could not be opened. Errors go to standard error, one line each."));
    p.addHelpOption();
    p.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port: COMn or a device path (default: the stored \"Port\")."),
                                  QStringLiteral("COMn|PATH"));
    const QCommandLineOption line(QStringLiteral("line-settings"),
                                  QStringLiteral("Line settings, e.g. \"9600,N,8,1\" (default: stored \"Setting\")."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Device address, empty or 00..99 (default: stored \"Adrres\")."),
                                     QStringLiteral("NN"));
    const QCommandLineOption checksum(QStringLiteral("checksum"),
                                      QStringLiteral("Checksum on or off (default: stored \"CSUM\")."),
                                      QStringLiteral("on|off"));
    const QCommandLineOption reading(QStringLiteral("reading-time"),
                                     QStringLiteral("Reading time in seconds (default: stored \"OkumaZamanı\")."),
                                     QStringLiteral("SECONDS"));
    const QCommandLineOption drain(QStringLiteral("drain"),
                                   QStringLiteral("Answer draining: fixed or frame-end (default: stored)."),
                                   QStringLiteral("fixed|frame-end"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Model assumed before the version text is read (default ZR2)."),
                                   QStringLiteral("ZR1|ZR2"));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("Language file name in LANGUAGE/ (default: stored \"dil\")."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Machine-readable output."));
    const QCommandLineOption watch(QStringLiteral("watch"),
                                   QStringLiteral("With status: read again every N seconds until interrupted."),
                                   QStringLiteral("N"));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("Use this settings file instead of the user's store."),
                                      QStringLiteral("FILE"));
    p.addOptions({port, line, address, checksum, reading, drain, model, language, json, watch, settings});

    if (!p.parse(app.arguments()))
        usageError(p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(p.helpText()), stdout);
        std::exit(ExitOk);
    }
    if (p.isSet(QStringLiteral("version"))) {
        printLine(QStringLiteral("vextora-cli ") + QCoreApplication::applicationVersion());
        std::exit(ExitOk);
    }

    Options o;
    o.store = p.isSet(settings) ? std::make_unique<SettingsStore>(p.value(settings))
                                : std::make_unique<SettingsStore>();
    o.link = RegOku(*o.store);
    o.languageFile = o.link.LanguageFileName;
    o.json = p.isSet(json);

    const QStringList positional = p.positionalArguments();
    if (positional.isEmpty())
        usageError(QStringLiteral("no command given (ports, identify or status)"));
    if (positional.size() > 1)
        usageError(QStringLiteral("unexpected argument \"%1\"").arg(positional.at(1)));
    o.command = positional.first();
    if (o.command != QLatin1String("ports") && o.command != QLatin1String("identify")
        && o.command != QLatin1String("status"))
        usageError(QStringLiteral("unknown command \"%1\"").arg(o.command));

    if (p.isSet(port)) {
        const QString value = p.value(port).trimmed();
        if (value.isEmpty())
            usageError(QStringLiteral("--port needs COMn or a device path"));
        const int n = ComPortMap::comNumber(value);
        if (n > 0 && (n < 1 || n > 16))
            usageError(QStringLiteral("--port: COM numbers run from 1 to 16"));
        o.link.PortNumber = n > 0 ? QString::number(n) : value;
    }
    if (p.isSet(line)) {
        if (!ParseLineSettings(p.value(line)))
            usageError(QStringLiteral("--line-settings \"%1\" is not like \"9600,N,8,1\"").arg(p.value(line)));
        o.link.PortSettings = p.value(line);
    }
    if (p.isSet(address)) {
        const QString a = p.value(address).trimmed();
        bool ok = true;
        const int v = a.isEmpty() ? 0 : a.toInt(&ok);
        if (!ok || a.size() > 2 || v < 0 || v > 99 || (!a.isEmpty() && a.size() != 2))
            usageError(QStringLiteral("--address must be empty or two digits 00..99"));
        o.link.DeviceAddress = a;
    }
    if (p.isSet(checksum)) {
        const QString c = p.value(checksum).trimmed().toLower();
        if (c != QLatin1String("on") && c != QLatin1String("off"))
            usageError(QStringLiteral("--checksum must be on or off"));
        o.link.ChecksumEnabled = c == QLatin1String("on");
    }
    if (p.isSet(reading)) {
        bool ok = false;
        const double s = CommaToPoint(p.value(reading)).toDouble(&ok);
        if (!ok || !(s >= 0) || s > 60)
            usageError(QStringLiteral("--reading-time must be a number of seconds from 0 to 60"));
        o.link.ReadingTime = s;
    }
    if (p.isSet(drain)) {
        const auto mode = ParseDrainMode(p.value(drain).trimmed());
        if (!mode)
            usageError(QStringLiteral("--drain must be fixed or frame-end"));
        o.link.drainMode = *mode;
    }
    if (p.isSet(model)) {
        const QString m = p.value(model).trimmed().toUpper();
        if (m != QLatin1String("ZR1") && m != QLatin1String("ZR2"))
            usageError(QStringLiteral("--model must be ZR1 or ZR2"));
        o.model = m;
    }
    if (p.isSet(language))
        o.languageFile = p.value(language);
    if (p.isSet(watch)) {
        if (o.command != QLatin1String("status"))
            usageError(QStringLiteral("--watch goes with the status command"));
        bool ok = false;
        o.watchSeconds = p.value(watch).toInt(&ok);
        if (!ok || o.watchSeconds < 1)
            usageError(QStringLiteral("--watch needs a whole number of seconds, 1 or more"));
    }
    return o;
}

int commandPorts(Options &o)
{
    ComPortMap map(*o.store);
    QtSerialPort port(map);
    QJsonArray list;
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (!port.open(name, o.link.PortSettings).ok())
            continue;
        const QString device = port.devicePath();
        port.close();
        if (o.json)
            list.append(QJsonObject{{QStringLiteral("port"), name}, {QStringLiteral("device"), device}});
        else
            printLine(name + QLatin1Char('\t') + device);
    }
    if (o.json)
        printJson(QJsonObject{{QStringLiteral("ports"), list}});
    return ExitOk;
}

// Connects as the window does. Returns an exit status, ExitOk when connected.
int connect(Session &s, VersionResult &result)
{
    result = VersiyonOku(s.link);
    if (result.outcome == VersionResult::Outcome::PortFailed)
        return ExitPort;
    if (!result.connected()) {
        s.op.message(s.text(TextRefused, FallbackRefused), Icon::Critical);
        return ExitNoAnswer;
    }
    return ExitOk;
}

int commandIdentify(Session &s)
{
    VersionResult v;
    if (const int rc = connect(s, v); rc != ExitOk)
        return rc;
    s.port.close();
    if (s.options.json) {
        printJson(QJsonObject{{QStringLiteral("model"), v.modelText},
                              {QStringLiteral("version"), v.versionText},
                              {QStringLiteral("assumedModel"), s.options.model},
                              {QStringLiteral("device"), s.port.devicePath()}});
    } else {
        printLine(QStringLiteral("model    ") + v.modelText);
        printLine(QStringLiteral("version  ") + v.versionText.trimmed());
        if (v.modelText != s.options.model)
            printLine(QStringLiteral("(the indicator is a %1, not the assumed %2)").arg(v.modelText, s.options.model));
    }
    return ExitOk;
}

void printStatus(Session &s, const StatusTable &grid, const MonitorFlags &flags)
{
    auto rows = [&](int first, int last) {
        QJsonArray out;
        for (int row = first; row <= last; ++row) {
            if (s.options.json) {
                out.append(QJsonObject{{QStringLiteral("row"), row},
                                       {QStringLiteral("caption"), grid.cell(row, 0)},
                                       {QStringLiteral("value"), grid.cell(row, 1)}});
            } else {
                printLine(QStringLiteral("%1  %2  %3")
                              .arg(row, 2)
                              .arg(grid.cell(row, 0).leftJustified(28, QLatin1Char(' ')), grid.cell(row, 1)));
            }
        }
        return out;
    };
    const QString time = s.clock.now().toString(Qt::ISODate);
    if (s.options.json) {
        printJson(QJsonObject{{QStringLiteral("time"), time},
                              {QStringLiteral("values"), rows(1, 6)},
                              {QStringLiteral("operating"), rows(7, 18)},
                              {QStringLiteral("hardware"), rows(23, 29)},
                              {QStringLiteral("calibrationPermitted"), flags.CalibrationPermitted},
                              {QStringLiteral("analogCardPresent"), flags.AnalogCardPresent}});
        return;
    }
    printLine(QStringLiteral("status at ") + time);
    rows(1, 6);
    rows(7, 18);
    rows(23, 29);
    printLine(QStringLiteral("calibration permitted  ") + (flags.CalibrationPermitted ? "yes" : "no"));
    printLine(QStringLiteral("analog output card     ") + (flags.AnalogCardPresent ? "yes" : "no"));
}

int commandStatus(Session &s)
{
    VersionResult v;
    if (const int rc = connect(s, v); rc != ExitOk)
        return rc;
    StatusTable grid;
    ApplyStatusCaptions(grid, s.texts);
    MonitorFlags flags;
    std::array<QVariant, 3> kept;
    s.link.decode.currentTab = Tab::Status;
    bool refused = false;
    StatusReading reading{s.link, s.texts, grid, flags, kept, QString(), 0, [&] { refused = true; }};
    for (;;) {
        if (PortAç(s.port, s.link.settings, s.op) != 0)
            return ExitPort;
        const bool ok = StatuOku(reading);
        s.port.close();
        if (!ok || refused)
            return ExitNoAnswer;
        printStatus(s, grid, flags);
        if (s.options.watchSeconds <= 0)
            return ExitOk;
        const QDateTime next = s.clock.now().addSecs(s.options.watchSeconds);
        while (!g_interrupted && s.clock.now() < next)
            s.clock.idle(0.05, true);
        if (g_interrupted)
            return ExitOk;
        if (!s.options.json)
            printLine(QString());
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vextora-cli"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(vx::version::Major).arg(vx::version::Minor).arg(vx::version::Revision));
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    Options options = parse(app);
    if (options.command == QLatin1String("ports"))
        return commandPorts(options);
    Session session(options);
    if (options.command == QLatin1String("identify"))
        return commandIdentify(session);
    return commandStatus(session);
}
