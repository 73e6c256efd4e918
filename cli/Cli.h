#pragma once
// vextora-cli as a library: a table of commands (name, options, handler, help)
// that one dispatcher serves, and the session every command shares (port,
// clock, operator, link, language texts and the connection options).
//
// A command lives in a file of its own (cli/cmd_<name>.cpp) and registers itself:
//
//   namespace {
//   int run(vx::cli::Session &s, const vx::cli::CommandArgs &args) { ... return vx::cli::ExitOk; }
//   const vx::cli::Registration registration{{
//       .name = "read",
//       .synopsis = "read REG COUNT",
//       .help = "read COUNT bytes from register REG and print them",
//       .options = {{"tag", "TAG", "decode the answer with TAG"}},
//       .run = run,
//   }};
//   }
//
// Handlers validate their own arguments first (Session::usageError), then talk to
// the indicator through the session. main() runs the table on the real port and
// clock; tests run it in-process on the virtual indicator and the virtual clock.

#include "link/Connect.h"
#include "link/Model.h"
#include "link/Options.h"
#include "link/Settings.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

namespace vx {
class Clock;
class CommsLog;
class LanguageTexts;
class TextService;
enum class BuiltIn;
class Link;
class Operator;
class SerialPortIo;
class SettingsStore;
}  // namespace vx

namespace vx::cli {

// Exit status of every command.
enum Exit : int {
    ExitOk = 0,
    ExitNoAnswer = 1,  // the indicator did not answer, refused, or left registers unanswered
    ExitUsage = 2,
    ExitPort = 3,      // the port could not be opened
    ExitCalibration = 4,  // a calibration ended with one of its messages (not permitted, range, status, refused step)
    ExitCancelled = 6,    // the operator cancelled (a confirmation declined, the end of input)
    ExitFile = 7,         // a configuration file could not be read or written
};

// What a run of the tool talks to. main() leaves port and clock empty (the real
// serial port over the COM map, the system clock) and passes the standard streams.
struct Environment {
    QTextStream &out;
    QTextStream &err;
    SerialPortIo *port = nullptr;
    Clock *clock = nullptr;
    bool interactive = false;           // questions may be asked on the terminal
    std::function<bool()> interrupted;  // polled while a command waits (--watch)
    bool progress = false;              // standard error is a terminal: long commands show progress there
};

// An option only one command takes (the shared ones belong to the session).
struct CommandOption {
    QString name;       // without "--"
    QString valueName;  // empty for a switch
    QString help;
};

// A command's own arguments: its options as given and the words after its name.
struct CommandArgs {
    QMap<QString, QString> options;  // option name -> value (empty for a switch)
    QStringList positional;
    bool isSet(const QString &option) const { return options.contains(option); }
    QString value(const QString &option) const { return options.value(option); }
};

class Session;
using Handler = std::function<int(Session &, const CommandArgs &)>;

struct Command {
    QString name;
    QString synopsis;  // as the help lists it, e.g. "status [--watch N]"
    QString help;      // what it does, one or more lines
    std::vector<CommandOption> options;
    Handler run;
};

// The command table, in the order of the names.
void RegisterCommand(Command command);
const std::vector<Command> &Commands();
struct Registration {
    explicit Registration(Command command) { RegisterCommand(std::move(command)); }
};

// The options every command shares, over the stored settings.
struct SessionOptions {
    LinkSettings link;
    Model model = Model::ZR2;  // assumed before the version text is read
    QString languageFile;
    bool json = false;
    std::vector<ComMapping> maps;  // --map COMn=PATH, this run only
};

class Session {
public:
    Session(Environment &env, SessionOptions options, std::unique_ptr<SettingsStore> store);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    const SessionOptions &options() const { return m_options; }
    bool json() const { return m_options.json; }
    SettingsStore &store() { return *m_store; }
    SerialPortIo &port() { return *m_port; }
    Clock &clock() { return *m_clock; }
    Operator &op();
    Link &link() { return *m_link; }
    // The language texts, loaded on first use (English when the file is missing).
    const LanguageTexts &texts();
    // The text service: language lines and the built-in texts, loaded on first use.
    const TextService &textService();
    // Language line `line`, or the built-in text when the file has none.
    QString text(int line, BuiltIn fallback);
    // The device the real port opened last; empty in-process.
    QString devicePath() const;

    void print(const QString &line);                                // a line on standard output
    void printJson(const QJsonObject &object, bool compact = false);  // compact: one line
    void error(const QString &text);                                // "vextora-cli: text" on standard error
    int usageError(const QString &text);                            // reports it, returns ExitUsage
    bool interrupted() const;
    // A progress line on standard error, rewritten in place; shown only on a terminal.
    bool showsProgress() const;
    void progress(const QString &line);
    void endProgress();  // the line shown so far stays, the next output starts below it

    // Connects as the window does: opens the port, reads the version text. ExitOk
    // when connected, ExitPort when the port did not open, ExitNoAnswer otherwise
    // (with the refusal text on standard error).
    int connect(VersionResult &result);
    // Opens the port for one operation (PortAç): ExitOk or ExitPort.
    int openPort();

private:
    struct Owned;
    Environment &m_env;
    SessionOptions m_options;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<Owned> m_owned;  // the real port, clock, operator, log, texts
    SerialPortIo *m_port = nullptr;
    Clock *m_clock = nullptr;
    std::unique_ptr<Link> m_link;
    bool m_progressShown = false;
};

// Runs one command line (arguments[0] is the program) and returns its exit status.
int RunCli(const QStringList &arguments, Environment &env);

}  // namespace vx::cli
