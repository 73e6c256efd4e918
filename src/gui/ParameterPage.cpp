#include "gui/ParameterPage.h"

#include "gui/Widgets.h"

#include <QFrame>
#include <QVBoxLayout>

namespace vx::gui {

ParameterPage::ParameterPage(PageHost &host, QWidget *parent) : TabPage(Tab::Parameters, host, parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    // The grid and its reads come with the parameter work.
    m_gridArea = MakeGridArea(2, this);
    layout->addWidget(m_gridArea);
}

}  // namespace vx::gui
