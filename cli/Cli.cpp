// The command table of vextora-cli and the dispatcher that serves it: the shared
// options (cli/SharedOptions.h) and every command's own, then the session
// (cli/Session.h) the command runs in.

#include "cli/Cli.h"

#include "cli/SharedOptions.h"
#include "link/Settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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
// The dispatcher

namespace {

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
        "one of its messages; 5 diff found differences; 6 cancelled by the operator; 7 a\n"
        "file could not be read or written, or holds no value for what was asked; 8 the\n"
        "operation succeeded but its service history record could not be written. Errors go\n"
        "to standard error, one\n"
        "line each, with the language text the window would show.");
    return text;
}

// The shared options as given: first the one that chooses the settings, then the
// stored values, then the ones that override them. A usage error message when one is wrong.
std::optional<QString> sessionOptions(const QCommandLineParser &p, SessionOptions &out,
                                      std::unique_ptr<SettingsStore> &store)
{
    auto apply = [&](SharedOption::When when) -> std::optional<QString> {
        for (const SharedOption &o : SharedOptions()) {
            if (o.when != when || !p.isSet(o.name))
                continue;
            const QStringList values = o.repeatable ? p.values(o.name) : QStringList{p.value(o.name)};
            for (const QString &value : values)
                if (auto problem = o.apply(value, out))
                    return problem;
        }
        return std::nullopt;
    };
    if (auto problem = apply(SharedOption::When::BeforeStore))
        return problem;
    store = Session::openSettings(out.settingsFile);
    out.link = RegOku(*store);
    out.languageFile = out.link.LanguageFileName;
    return apply(SharedOption::When::OverStore);
}

}  // namespace

std::optional<QString> ArgumentNotText(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QString::fromLocal8Bit(bytes).toLocal8Bit() == bytes)
            continue;
        QString shown;
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            const QString hex = QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            shown += byte >= 0x20 && byte < 0x7F ? QString(QLatin1Char(c)) : QStringLiteral("\\x") + hex;
        }
        return QStringLiteral("argument %1 (\"%2\") is not valid UTF-8 text; a file name with such bytes "
                              "cannot be used as it is: rename the file")
            .arg(i)
            .arg(shown);
    }
    return std::nullopt;
}

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
    for (const SharedOption &o : SharedOptions()) {
        QCommandLineOption option(o.name, o.help);
        if (!o.valueName.isEmpty())
            option.setValueName(o.valueName);
        p.addOption(option);
    }
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

    SessionOptions options;
    std::unique_ptr<SettingsStore> store;
    if (const auto error = sessionOptions(p, options, store))
        return usage(*error);
    Session session(env, std::move(options), std::move(store));
    return command->run(session, args);
}

}  // namespace vx::cli
