#pragma once
// Tab 4 "Parametreler": the area of the parameter grid (Grid1 index 2). The grid
// comes with the parameter work: its layout in layOutGrids and modelChanged, the
// range (TaksimatBul) in connected, and the deferred read on entering the tab
// (Timer2) in entered with refreshKind() Reenter.

#include "gui/TabPage.h"

class QFrame;

namespace vx::gui {

class ParameterPage : public TabPage {
    Q_OBJECT
public:
    ParameterPage(PageHost &host, QWidget *parent = nullptr);

private:
    QFrame *m_gridArea = nullptr;  // Grid1 index 2
};

}  // namespace vx::gui
