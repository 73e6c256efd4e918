#pragma once
// The numeric entry panel SSPanel8 at work: a prompt (Label18), a field (Text10)
// that takes digits and one decimal point only, "TAMAM" and "İPTAL"
// (SSCommand11_0/1) and the close mark Label17. A sequence asks through it and
// waits, the window's events running, until the panel is closed.

#include "gui/Panels.h"

#include <QObject>
#include <QString>
#include <functional>

class QKeyEvent;

namespace vx {
class Clock;
}

namespace vx::gui {

class NumericEntry : public QObject {
    Q_OBJECT
public:
    NumericEntry(const EntryPanels &panels, Clock &clock, QObject *parent = nullptr);

    // Shows the panel with the prompt and the proposed text (selected), and waits until
    // it is closed or `abandon` says so. Returns the field's text: empty after
    // "İPTAL", the close mark or an abandoned wait. `shape`, when given, turns every
    // text the field gets into the one it shows (and returns), e.g. a weight cut to
    // the decimals that will be sent.
    using Shape = std::function<QString(const QString &)>;
    QString ask(const QString &prompt, const QString &text, const std::function<bool()> &abandon = {},
                const Shape &shape = {});
    bool isOpen() const;
    Panel *panel() const { return m_panels.entry; }

    void ok();      // "TAMAM", Enter in the field
    void cancel();  // "İPTAL", the close mark: the field emptied

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Text10's key filter: true when the key is dropped (or handled here).
    bool filterKey(QKeyEvent *key);

    void reshape();

    EntryPanels m_panels;
    Clock &m_clock;
    Shape m_shape;  // of the question open
    bool m_selectOnPress = false;  // the field got the keys from a press of the mouse button
};

}  // namespace vx::gui
