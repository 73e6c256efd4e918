#include "gui/PresetTarePage.h"

#include "gui/Widgets.h"

#include <QFrame>
#include <QVBoxLayout>

namespace vx::gui {

PresetTarePage::PresetTarePage(PageHost &host, QWidget *parent) : TabPage(Tab::PresetTare, host, parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    // The grid comes with the preset tare work.
    m_gridArea = MakeGridArea(4, this);
    layout->addWidget(m_gridArea);
}

}  // namespace vx::gui
