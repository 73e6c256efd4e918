#include "gui/Captions.h"

#include "gui/Widgets.h"
#include "shell/TextService.h"

#include <QTabWidget>

namespace vx::gui {

void Captions::add(int line, QObject *control, const char *design, Kind kind)
{
    m_rules.push_back({line, control, kind, QString::fromUtf8(design)});
}

void Captions::addTab(int line, QTabWidget *tabs, int index, const char *design)
{
    m_rules.push_back({line, tabs, Kind::Caption, QString::fromUtf8(design), index});
}

void Captions::put(const Rule &rule, const QString &text) const
{
    if (!rule.control)
        return;
    if (rule.tab >= 0)
        static_cast<QTabWidget *>(rule.control.data())->setTabText(rule.tab, text);
    else if (rule.kind == Kind::ToolTip)
        SetToolTip(rule.control, text);
    else
        SetCaption(rule.control, text);
}

void Captions::applyDesign() const
{
    for (const Rule &rule : m_rules)
        put(rule, rule.design);
}

void Captions::apply(const TextService &texts) const
{
    for (const Rule &rule : m_rules)
        put(rule, texts.line(rule.line));
}

QString Captions::design(int line) const
{
    for (const Rule &rule : m_rules)
        if (rule.line == line)
            return rule.design;
    return {};
}

}  // namespace vx::gui
