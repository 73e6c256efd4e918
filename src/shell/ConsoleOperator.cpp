#include "shell/ConsoleOperator.h"

#include <QTextStream>

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

ConsoleOperator::ConsoleOperator(QString program, bool interactive, QTextStream *errors)
    : m_program(std::move(program)), m_interactive(interactive), m_errors(errors)
{
}

void ConsoleOperator::write(const QString &text)
{
    if (m_errors) {
        *m_errors << text;
        m_errors->flush();
        return;
    }
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void ConsoleOperator::message(const QString &text, Icon, const QString &)
{
    write(m_program + QStringLiteral(": ") + oneLine(text) + QLatin1Char('\n'));
}

int ConsoleOperator::ask(const QString &text, const QString &options, int fallback)
{
    write(m_program + QStringLiteral(": ") + oneLine(text) + QLatin1Char('\n'));
    if (!m_interactive)
        return fallback;
    for (;;) {
        write(options + QLatin1Char(' '));
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
    write(QStringLiteral("%1 [%2] ").arg(oneLine(prompt), defaultText));
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    return line.empty() ? defaultText : QString::fromStdString(line);
}

}  // namespace vx
