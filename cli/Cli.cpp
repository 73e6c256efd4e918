// The dispatcher of vextora-cli and the session its commands share.

#include "cli/Cli.h"

#include "link/AppPaths.h"
#include "link/Codec.h"
#include "link/SafeFile.h"
#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "link/Transaction.h"
#include "shell/ConsoleOperator.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <algorithm>
#include <optional>

namespace vx::cli {

// ---------------------------------------------------------------------------
// The command table

namespace {

std::vector<Command> &table()
{
    static std::vector<Command> commands;
    return commands;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : table())
        if (c.name == name)
            return &c;
    return nullptr;
}

}  // namespace

void RegisterCommand(Command command)
{
    auto &commands = table();
    // Two files claiming one name is a build mistake: say so at start.
    if (findCommand(command.name))
        qFatal("vextora-cli: two commands are named \"%s\"", qPrintable(command.name));
    const auto at = std::lower_bound(commands.begin(), commands.end(), command.name,
                                     [](const Command &c, const QString &name) { return c.name < name; });
    commands.insert(at, std::move(command));
}

const std::vector<Command> &Commands() { return table(); }

// ---------------------------------------------------------------------------
// Session

struct Session::Owned {
    std::unique_ptr<QtSerialPort> port;
    std::unique_ptr<SystemClock> clock;
    std::unique_ptr<ConsoleOperator> op;
    std::unique_ptr<CommsLog> log;
    std::optional<TextService> texts;
};

Session::Session(Environment &env, SessionOptions options, std::unique_ptr<SettingsStore> store)
    : m_env(env), m_options(std::move(options)), m_store(std::move(store)), m_owned(std::make_unique<Owned>())
{
    if (env.port) {
        m_port = env.port;
    } else {
        ComPortMap map(*m_store);
        for (const ComMapping &m : m_options.maps)
            map.setOverride(m.number, m.path);
        m_owned->port = std::make_unique<QtSerialPort>(std::move(map));
        m_port = m_owned->port.get();
    }
    if (env.clock) {
        m_clock = env.clock;
    } else {
        m_owned->clock = std::make_unique<SystemClock>();
        m_clock = m_owned->clock.get();
    }
    m_owned->op = std::make_unique<ConsoleOperator>(QStringLiteral("vextora-cli"), env.interactive, &env.err);
    m_owned->log = std::make_unique<CommsLog>(QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt")));
    m_link = std::make_unique<Link>(*m_port, *m_clock, *m_owned->op, *m_owned->log);
    m_link->settings = m_options.link;
}

Session::~Session() = default;

Operator &Session::op() { return *m_owned->op; }

const TextService &Session::textService()
{
    std::optional<TextService> &texts = m_owned->texts;
    if (texts)
        return *texts;
    texts.emplace();
    const QString english = TextService::shippedFile(Language::English);
    if (!texts->load(m_options.languageFile)) {
        if (texts->load(english))
            error(QStringLiteral("language file \"%1\" not found, using %2").arg(m_options.languageFile, english));
    }
    m_link->transactionErrorText = texts->transactionErrorText();
    m_link->decode.weekdayNames = texts->lines().weekdayNames();
    return *texts;
}

const LanguageTexts &Session::texts() { return textService().lines(); }

QString Session::text(int line, BuiltIn fallback)
{
    const QString t = textService().line(line);
    return t.isEmpty() ? textService().builtIn(fallback) : t;
}

QString Session::devicePath() const
{
    return m_owned->port ? m_owned->port->devicePath() : QString();
}

void Session::print(const QString &line)
{
    m_env.out << line << '\n';
    m_env.out.flush();
}

void Session::printJson(const QJsonObject &object, bool compact)
{
    const QByteArray json = QJsonDocument(object).toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented);
    m_env.out << QString::fromUtf8(json);
    if (compact)
        m_env.out << '\n';
    m_env.out.flush();
}

void Session::error(const QString &text)
{
    m_env.err << "vextora-cli: " << text << '\n';
    m_env.err.flush();
}

int Session::usageError(const QString &text)
{
    m_env.err << "vextora-cli: " << text << "\nTry 'vextora-cli --help'.\n";
    m_env.err.flush();
    return ExitUsage;
}

bool Session::interrupted() const { return m_env.interrupted && m_env.interrupted(); }

bool Session::showsProgress() const { return m_env.progress; }

void Session::progress(const QString &line)
{
    if (!m_env.progress)
        return;
    m_env.err << "\r\x1b[K" << line;
    m_env.err.flush();
    m_progressShown = true;
}

void Session::endProgress()
{
    if (!m_progressShown)
        return;
    m_env.err << '\n';
    m_env.err.flush();
    m_progressShown = false;
}

int Session::connect(VersionResult &result)
{
    texts();  // the transaction's texts before the first exchange
    result = VersiyonOku(*m_link);
    if (result.outcome == VersionResult::Outcome::PortFailed)
        return ExitPort;
    if (!result.connected()) {
        op().message(text(309, BuiltIn::DeviceRefused), Icon::Critical);
        return ExitNoAnswer;
    }
    return ExitOk;
}

int Session::openPort()
{
    if (PortAç(*m_port, m_link->settings, op()) != 0)
        return ExitPort;
    m_link->DrainStaleInput();  // what an earlier run left arriving is not this one's
    return ExitOk;
}

// ---------------------------------------------------------------------------
// The dispatcher

namespace {

// The options every command shares.
struct SharedOptions {
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("Port: COMn or a device path (default: the stored \"Port\")."),
                            QStringLiteral("COMn|PATH")};
    QCommandLineOption line{QStringLiteral("line-settings"),
                            QStringLiteral("Line settings, e.g. \"9600,N,8,1\" (default: stored \"Setting\")."),
                            QStringLiteral("TEXT")};
    QCommandLineOption address{QStringLiteral("address"),
                               QStringLiteral("Device address, empty or 0..99 (default: stored \"Adrres\")."),
                               QStringLiteral("NN")};
    QCommandLineOption checksum{QStringLiteral("checksum"),
                                QStringLiteral("Checksum on or off (default: stored \"CSUM\")."),
                                QStringLiteral("on|off")};
    QCommandLineOption reading{QStringLiteral("reading-time"),
                               QStringLiteral("Reading time in seconds, 0 to 60 (default: stored \"OkumaZamanı\")."),
                               QStringLiteral("SECONDS")};
    QCommandLineOption drain{QStringLiteral("drain"),
                             QStringLiteral("Answer draining: fixed or frame-end (default: stored)."),
                             QStringLiteral("fixed|frame-end")};
    QCommandLineOption model{QStringLiteral("model"),
                             QStringLiteral("Model assumed before the version text is read (default ZR2)."),
                             QStringLiteral("ZR1|ZR2")};
    QCommandLineOption language{QStringLiteral("language"),
                                QStringLiteral("Language file name in LANGUAGE/ (default: stored \"dil\")."),
                                QStringLiteral("FILE")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Machine-readable output: raw values as numbers, flags as booleans, "
                                           "the language texts as extra fields.")};
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("Use this settings file instead of the user's store."),
                                QStringLiteral("FILE")};
    QCommandLineOption map{QStringLiteral("map"),
                           QStringLiteral("For this run, COMn is the serial device PATH (repeatable)."),
                           QStringLiteral("COMn=PATH")};

    QList<QCommandLineOption> all() const
    {
        return {port, line, address, checksum, reading, drain, model, language, json, settings, map};
    }
};

QString description()
{
    QString text = QStringLiteral("Command-line companion of the Vextora window.\n\nCommands:\n");
    for (const Command &c : Commands()) {
        const QString synopsis = c.synopsis.isEmpty() ? c.name : c.synopsis;
        const QStringList lines = c.help.split(QLatin1Char('\n'));
        QString first = QStringLiteral("  ") + synopsis.leftJustified(22, QLatin1Char(' '));
        if (synopsis.size() > 22) {
            text += first + QLatin1Char('\n');
            first = QString(24, QLatin1Char(' '));
        }
        for (int i = 0; i < lines.size(); ++i)
            text += (i == 0 ? first : QString(24, QLatin1Char(' '))) + QStringLiteral("  ") + lines[i] + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\nExit status: 0 success; 1 the indicator did not answer, refused, or left registers\n"
        "unanswered; 2 wrong usage; 3 the port could not be opened; 4 a calibration ended with\n"
        "one of its messages; 6 cancelled by the operator; 7 a configuration file could not be\n"
        "read or written. Errors go to standard error, one line each, with the language text\n"
        "the window would show.");
    return text;
}

// The shared options over the stored settings; a usage error message when one is wrong.
std::optional<QString> sessionOptions(const QCommandLineParser &p, const SharedOptions &o,
                                      const SettingsStore &store, SessionOptions &out)
{
    out.link = RegOku(store);
    out.languageFile = out.link.LanguageFileName;
    out.json = p.isSet(o.json);
    if (p.isSet(o.port)) {
        const QString value = p.value(o.port).trimmed();
        if (value.isEmpty())
            return QStringLiteral("--port needs COMn or a device path");
        const int n = ComPortMap::comNumber(value);
        if (n > 16 || value.compare(QStringLiteral("COM0"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("--port: COM numbers run from 1 to 16");
        out.link.PortNumber = n > 0 ? QString::number(n) : value;
    }
    if (p.isSet(o.line)) {
        if (!ParseLineSettings(p.value(o.line)))
            return QStringLiteral("--line-settings \"%1\" is not like \"9600,N,8,1\"").arg(p.value(o.line));
        out.link.PortSettings = p.value(o.line);
    }
    if (p.isSet(o.address)) {
        const auto address = ParseAddressOption(p.value(o.address));
        if (!address)
            return QStringLiteral("--address must be empty or a number from 0 to 99");
        out.link.DeviceAddress = *address;
    }
    if (p.isSet(o.checksum)) {
        const auto on = ParseOnOff(p.value(o.checksum));
        if (!on)
            return QStringLiteral("--checksum must be on or off");
        out.link.ChecksumEnabled = *on;
    }
    if (p.isSet(o.reading)) {
        bool ok = false;
        const double s = CommaToPoint(p.value(o.reading)).toDouble(&ok);
        if (!ok || !(s >= 0) || s > 60)
            return QStringLiteral("--reading-time must be a number of seconds from 0 to 60");
        out.link.ReadingTime = s;
    }
    if (p.isSet(o.drain)) {
        const auto mode = ParseDrainMode(p.value(o.drain).trimmed());
        if (!mode)
            return QStringLiteral("--drain must be fixed or frame-end");
        out.link.drainMode = *mode;
    }
    if (p.isSet(o.model)) {
        const auto model = ParseModelOption(p.value(o.model));
        if (!model)
            return QStringLiteral("--model must be ZR1 or ZR2");
        out.model = *model;
    }
    if (p.isSet(o.language)) {
        // A name inside LANGUAGE/, never a path that leads out of it.
        const QString name = p.value(o.language);
        if (!IsLanguageFileName(name))
            return QStringLiteral("--language \"%1\": a language file is a name inside the LANGUAGE folder").arg(name);
        const QString path = LanguageFilePath(name);
        QString why;
        if (QFileInfo::exists(path) && !IsReadableRegularFile(path, &why))
            return QStringLiteral("--language \"%1\": %2").arg(name, why);
        out.languageFile = name;
    }
    for (const QString &entry : p.values(o.map)) {
        const auto mapping = ParseComMapping(entry);
        if (!mapping)
            return QStringLiteral("--map: expected COMn=PATH with n from 1 to 16, got \"%1\"").arg(entry);
        out.maps.push_back(*mapping);
    }
    return std::nullopt;
}

}  // namespace

int RunCli(const QStringList &arguments, Environment &env)
{
    auto usage = [&env](const QString &text) {
        env.err << "vextora-cli: " << text << "\nTry 'vextora-cli --help'.\n";
        env.err.flush();
        return int(ExitUsage);
    };

    QCommandLineParser p;
    p.setApplicationDescription(description());
    p.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run (see Commands above)."),
                            QStringLiteral("COMMAND"));
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    const SharedOptions shared;
    p.addOptions(shared.all());
    // Every command's own options, once each; the owner is checked after parsing.
    // An option several commands take is listed once, with all of them.
    QStringList commandOptions;
    for (const Command &c : Commands()) {
        for (const CommandOption &o : c.options) {
            if (commandOptions.contains(o.name))
                continue;
            commandOptions << o.name;
            QStringList owners;
            for (const Command &other : Commands())
                for (const CommandOption &same : other.options)
                    if (same.name == o.name)
                        owners << other.name;
            QCommandLineOption option(o.name, o.help + QStringLiteral(" (") + owners.join(QStringLiteral(", ")) +
                                                  QLatin1Char(')'));
            if (!o.valueName.isEmpty())
                option.setValueName(o.valueName);
            p.addOption(option);
        }
    }

    if (!p.parse(arguments))
        return usage(p.errorText());
    if (p.isSet(help)) {
        env.out << p.helpText();
        env.out.flush();
        return ExitOk;
    }
    if (p.isSet(version)) {
        env.out << "vextora-cli " << QCoreApplication::applicationVersion() << '\n';
        env.out.flush();
        return ExitOk;
    }

    QStringList words = p.positionalArguments();
    if (words.isEmpty()) {
        QStringList names;
        for (const Command &c : Commands())
            names << c.name;
        return usage(QStringLiteral("no command given (%1)").arg(names.join(QStringLiteral(", "))));
    }
    const Command *command = findCommand(words.first());
    if (!command)
        return usage(QStringLiteral("unknown command \"%1\"").arg(words.first()));
    words.removeFirst();

    CommandArgs args;
    args.positional = words;
    for (const QString &name : commandOptions) {
        if (!p.isSet(name))
            continue;
        const auto own = std::find_if(command->options.begin(), command->options.end(),
                                      [&](const CommandOption &o) { return o.name == name; });
        if (own == command->options.end()) {
            QStringList owners;
            for (const Command &c : Commands())
                for (const CommandOption &o : c.options)
                    if (o.name == name)
                        owners << c.name;
            return usage(QStringLiteral("--%1 goes with the %2 command").arg(name, owners.join(QStringLiteral(" or "))));
        }
        args.options.insert(name, own->valueName.isEmpty() ? QString() : p.value(name));
    }

    if (p.isSet(shared.settings)) {
        if (const auto why = SettingsFileProblem(p.value(shared.settings)))
            return usage(QStringLiteral("--settings \"%1\": %2").arg(p.value(shared.settings), *why));
    }
    auto store = p.isSet(shared.settings) ? std::make_unique<SettingsStore>(p.value(shared.settings))
                                          : std::make_unique<SettingsStore>();
    SessionOptions options;
    if (const auto error = sessionOptions(p, shared, *store, options))
        return usage(*error);
    Session session(env, std::move(options), std::move(store));
    return command->run(session, args);
}

}  // namespace vx::cli
