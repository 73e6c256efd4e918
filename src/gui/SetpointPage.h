#pragma once
// Tab 3 "Setpoint Hafıza" (ZR2 only): the area of the setpoint grid (Grid1 index 1).

#include "gui/TabPage.h"

class QFrame;

namespace vx::gui {

class SetpointPage : public TabPage {
    Q_OBJECT
public:
    SetpointPage(PageHost &host, QWidget *parent = nullptr);

private:
    QFrame *m_gridArea = nullptr;  // Grid1 index 1
};

}  // namespace vx::gui
