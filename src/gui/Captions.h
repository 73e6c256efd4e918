#pragma once
// Which language line goes to which control of a page or panel, and the design
// caption the control shows before a language file is read. Every page and the
// frame keep one such list, filled while they build their controls.

#include <QPointer>
#include <QString>
#include <vector>

class QObject;
class QTabWidget;

namespace vx {
class TextService;
}

namespace vx::gui {

class Captions {
public:
    enum class Kind { Caption, ToolTip };

    // line -> caption or tooltip of control; several controls may share a line.
    void add(int line, QObject *control, const char *design, Kind kind = Kind::Caption);
    // line -> caption of tab `index` of tabs.
    void addTab(int line, QTabWidget *tabs, int index, const char *design);

    void applyDesign() const;
    void apply(const TextService &texts) const;
    // The design caption of a line; empty when no control of this list has that line.
    QString design(int line) const;

private:
    struct Rule {
        int line;
        QPointer<QObject> control;
        Kind kind;
        QString design;
        int tab = -1;  // a tab caption of control (a QTabWidget)
    };
    void put(const Rule &rule, const QString &text) const;
    std::vector<Rule> m_rules;
};

}  // namespace vx::gui
