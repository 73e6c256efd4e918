#pragma once
// Tab 2 "P.Dara Hafıza" (never shown): the area of the preset tare grid (Grid1 index 4).

#include "gui/TabPage.h"

class QFrame;

namespace vx::gui {

class PresetTarePage : public TabPage {
    Q_OBJECT
public:
    PresetTarePage(PageHost &host, QWidget *parent = nullptr);

private:
    QFrame *m_gridArea = nullptr;  // Grid1 index 4
};

}  // namespace vx::gui
