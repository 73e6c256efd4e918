#pragma once
// The person at the screen, through message boxes and an input box.

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

}  // namespace vx::gui
