#include "gui/TabPage.h"

namespace vx::gui {

TabPage::TabPage(int tab, PageHost &host, QWidget *parent) : QWidget(parent), m_tab(tab), m_host(host)
{
    setObjectName(QStringLiteral("SSTab1_%1").arg(tab));
}

}  // namespace vx::gui
