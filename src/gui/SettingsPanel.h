#pragma once
// The connection settings panel (SSPanel1): port, line settings, address, checksum and
// the way answers are collected; plus the hidden reading-time entry (Shift+Ctrl+Alt+R
// on its accept button).

#include "gui/Panels.h"

namespace vx {
class TextService;
}

namespace vx::gui {

class PanelHost;

class SettingsPanel {
public:
    SettingsPanel(PanelHost &host, QWidget *parent, Captions &captions);

    Panel *panel() const { return m_c.panel; }
    // The ports listed again, the panel filled from the settings and put in front.
    void open();
    void SSCommand1_Click();  // accept
    void SSCommand7_Click();  // cancel
    void Combo9_Click();      // parity chosen: data bits follow
    void readingTimeEntry();
    // The accept button, where Shift+Ctrl+Alt+R asks for the reading time.
    bool isAcceptButton(const QWidget *widget) const;
    // The port list as the start-up finds it.
    void showPorts(const QStringList &ports);
    // Address entries "00".."99" in front of the design-time ones (once).
    void fillAddressList();
    void applyTexts(const TextService &texts);
    void hide();

private:
    PanelHost &m_host;
    ConnectionPanel m_c;
};

}  // namespace vx::gui
