#include "gui/GuiOperator.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

namespace vx::gui {
namespace {

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ask(QWidget *parent, const QString &title, const QString &text, Icon icon,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def)
{
    QMessageBox box(boxIcon(icon), title, text, buttons, parent);
    box.setDefaultButton(def);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString GuiOperator::titleOr(const QString &title) const
{
    if (!title.isEmpty())
        return title;
    if (m_parent && !m_parent->windowTitle().isEmpty())
        return m_parent->windowTitle();
    return QStringLiteral("VEXTORA");
}

void GuiOperator::message(const QString &text, Icon icon, const QString &title)
{
    ask(m_parent, titleOr(title), text, icon, QMessageBox::Ok, QMessageBox::Ok);
}

Choice GuiOperator::abortRetryIgnore(const QString &text, Icon icon, const QString &title)
{
    switch (ask(m_parent, titleOr(title), text, icon, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                QMessageBox::Retry)) {
    case QMessageBox::Abort: return Choice::Abort;
    case QMessageBox::Ignore: return Choice::Ignore;
    case QMessageBox::Retry: return Choice::Retry;
    default: return Choice::Abort;  // the box closed otherwise
    }
}

Choice GuiOperator::okCancel(const QString &text, Icon icon, const QString &title)
{
    return ask(m_parent, titleOr(title), text, icon, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
                   == QMessageBox::Ok
               ? Choice::Ok
               : Choice::Cancel;
}

Choice GuiOperator::yesNo(const QString &text, Icon icon, const QString &title)
{
    return ask(m_parent, titleOr(title), text, icon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
                   == QMessageBox::Yes
               ? Choice::Yes
               : Choice::No;
}

std::optional<QString> GuiOperator::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, titleOr(title), prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

}  // namespace vx::gui
