#pragma once
// vextora-cli as a library: a table of commands (name, options, handler, help)
// that one dispatcher serves, and the session every command shares (cli/Session.h:
// port, clock, operator, link, language texts and the connection options).
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

#include "cli/Session.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace vx::cli {

// An option only one command takes (the shared ones are the table in cli/SharedOptions.h).
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

// Runs one command line (arguments[0] is the program) and returns its exit status.
int RunCli(const QStringList &arguments, Environment &env);

// The arguments reach the commands as text (QString). An argument whose bytes are not
// valid UTF-8 (a file name made elsewhere) would come out as another name, so the tool
// refuses it before anything runs: the usage message for the first such argument
// (its bytes shown as \xFF), nothing when every argument is text.
std::optional<QString> ArgumentNotText(int argc, const char *const argv[]);

}  // namespace vx::cli
