#pragma once
// The person at the screen, through message boxes and an input box; and the same
// for a run without a screen (messages to standard error, default answers).

#include "link/Interfaces.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace vx::gui {

class GuiOperator : public Operator {
public:
    explicit GuiOperator(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, Icon icon = Icon::None, const QString &title = {}) override;
    Choice abortRetryIgnore(const QString &text, Icon icon, const QString &title = {}) override;
    Choice okCancel(const QString &text, Icon icon, const QString &title = {}) override;
    Choice yesNo(const QString &text, Icon icon, const QString &title = {}) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    // The window drives its own progress bars.
    void showProgress(ProgressId, bool) override {}
    void setProgress(ProgressId, int, int) override {}

private:
    QString titleOr(const QString &title) const;
    QPointer<QWidget> m_parent;
};

// Without a screen: every message goes to standard error; questions take the answer
// that ends the running operation safely (Abort, Cancel, No); input keeps its default.
class ConsoleOperator : public Operator {
public:
    void message(const QString &text, Icon icon = Icon::None, const QString &title = {}) override;
    Choice abortRetryIgnore(const QString &text, Icon icon, const QString &title = {}) override;
    Choice okCancel(const QString &text, Icon icon, const QString &title = {}) override;
    Choice yesNo(const QString &text, Icon icon, const QString &title = {}) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    void showProgress(ProgressId, bool) override {}
    void setProgress(ProgressId, int, int) override {}
    int messageCount() const { return m_messages; }

private:
    int m_messages = 0;
};

}  // namespace vx::gui
