#include "gui/SetpointPage.h"

#include "gui/Widgets.h"

#include <QFrame>
#include <QVBoxLayout>

namespace vx::gui {

SetpointPage::SetpointPage(PageHost &host, QWidget *parent) : TabPage(Tab::Setpoint, host, parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    // The grid comes with the setpoint memory work.
    m_gridArea = MakeGridArea(1, this);
    layout->addWidget(m_gridArea);
}

}  // namespace vx::gui
