#include "shell/ConsoleOperator.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace vx {
namespace {

// One line: inner line breaks become blanks so scripts can read errors line by line.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text.trimmed();
}

}  // namespace

ConsoleOperator::ConsoleOperator(QString program, bool interactive)
    : m_program(std::move(program)), m_interactive(interactive)
{
}

void ConsoleOperator::message(const QString &text, Icon, const QString &)
{
    ++m_messages;
    std::fprintf(stderr, "%s: %s\n", qPrintable(m_program), qPrintable(oneLine(text)));
    std::fflush(stderr);
}

int ConsoleOperator::ask(const QString &text, const QString &options, int fallback)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(m_program), qPrintable(oneLine(text)));
    if (!m_interactive)
        return fallback;
    for (;;) {
        std::fprintf(stderr, "%s ", qPrintable(options));
        std::fflush(stderr);
        std::string line;
        if (!std::getline(std::cin, line))
            return fallback;
        if (line.empty())
            continue;
        const QChar c = QChar(line[0]).toLower();
        for (int i = 0; i < options.size(); ++i) {
            // Options read like "[a]bort [r]etry [i]gnore": the bracketed letters count.
            if (options.at(i) == QLatin1Char('[') && i + 1 < options.size() && options.at(i + 1) == c)
                return options.left(i).count(QLatin1Char('['));
        }
    }
}

Choice ConsoleOperator::abortRetryIgnore(const QString &text, Icon, const QString &)
{
    const int i = ask(text, QStringLiteral("[a]bort [r]etry [i]gnore?"), 0);
    return i == 1 ? Choice::Retry : i == 2 ? Choice::Ignore : Choice::Abort;
}

Choice ConsoleOperator::okCancel(const QString &text, Icon, const QString &)
{
    return ask(text, QStringLiteral("[o]k [c]ancel?"), 1) == 0 ? Choice::Ok : Choice::Cancel;
}

Choice ConsoleOperator::yesNo(const QString &text, Icon, const QString &)
{
    return ask(text, QStringLiteral("[y]es [n]o?"), 1) == 0 ? Choice::Yes : Choice::No;
}

std::optional<QString> ConsoleOperator::input(const QString &prompt, const QString &,
                                              const QString &defaultText)
{
    if (!m_interactive)
        return std::nullopt;
    std::fprintf(stderr, "%s [%s] ", qPrintable(oneLine(prompt)), qPrintable(defaultText));
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    return line.empty() ? defaultText : QString::fromStdString(line);
}

}  // namespace vx
