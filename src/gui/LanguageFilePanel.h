#pragma once
// The language panel (SSPanel7): the shipped Turkish and English files as options and
// every language file in a list; the chosen file is tried before it is taken.

#include "gui/Panels.h"

namespace vx::gui {

class PanelHost;

class LanguageFilePanel {
public:
    LanguageFilePanel(PanelHost &host, QWidget *parent, Captions &captions);

    Panel *panel() const { return m_l.panel; }
    void open();              // the files listed, the one in use selected
    void SSCommand9_Click();  // apply the chosen file
    void SSCommand8_Click();  // close
    void hide();

private:
    PanelHost &m_host;
    LanguagePanel m_l;
};

}  // namespace vx::gui
