#pragma once
// The operator without a window (the command-line tool, the window's smoke
// check): messages go to standard error as one line each, behind the program's
// name; questions are asked on the terminal, or answered safely (Abort, Cancel,
// No) when nobody is there to answer.

#include "link/Interfaces.h"

#include <QString>

class QTextStream;

namespace vx {

class ConsoleOperator : public Operator {
public:
    // Messages and questions go to `errors` when given, else to standard error.
    ConsoleOperator(QString program, bool interactive, QTextStream *errors = nullptr);

    void message(const QString &text, Icon icon = Icon::None, const QString &title = {}) override;
    Choice abortRetryIgnore(const QString &text, Icon icon, const QString &title = {}) override;
    Choice okCancel(const QString &text, Icon icon, const QString &title = {}) override;
    Choice yesNo(const QString &text, Icon icon, const QString &title = {}) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    void showProgress(ProgressId, bool) override {}
    void setProgress(ProgressId, int, int) override {}


private:
    // Asks on the terminal until one of the keys is typed; returns its index, or
    // fallback when there is no terminal or input ends.
    int ask(const QString &text, const QString &options, int fallback);
    void write(const QString &text);
    QString m_program;
    bool m_interactive;
    QTextStream *m_errors;
};

}  // namespace vx
