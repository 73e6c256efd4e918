#include "cli/StandardInput.h"

#include <iostream>
#include <string>
#include <unistd.h>

namespace vx::cli {

LineReader &StandardInputReader()
{
    static LineReader reader;
    return reader;
}

std::optional<QString> ReadStandardInputLine(const QString &prompt)
{
    if (const LineReader &reader = StandardInputReader())
        return reader(prompt);
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    return QString::fromStdString(line);
}

bool AsksOnTerminal()
{
    return !StandardInputReader() && ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
}

}  // namespace vx::cli
