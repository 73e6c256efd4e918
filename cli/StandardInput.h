#pragma once
// The lines of standard input a command takes as confirmations when no terminal is
// there to ask on (verify): one line a confirmation, its end a cancel. Tests running
// the tool in-process put a reader of their own here.

#include <QString>
#include <functional>
#include <optional>

namespace vx::cli {

// Sees the prompt that went to standard error before the line is read.
using LineReader = std::function<std::optional<QString>(const QString &prompt)>;

// The reader in use: empty reads standard input.
LineReader &StandardInputReader();
// The next line (without its end); nothing at the end of input.
std::optional<QString> ReadStandardInputLine(const QString &prompt);
// Standard input and standard error are a terminal, and no reader was put in place.
bool AsksOnTerminal();

}  // namespace vx::cli
