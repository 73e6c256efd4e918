#include "gui/TabPage.h"

#include "files/WorkingSet.h"
#include "memory/Transfers.h"

namespace vx::gui {

TabPage::TabPage(int tab, PageHost &host, QWidget *parent) : QWidget(parent), m_tab(tab), m_host(host)
{
    setObjectName(QStringLiteral("SSTab1_%1").arg(tab));
}

void ReportRead(WorkingSet &set, DataGroup group, TransferResult result)
{
    switch (result) {
    case TransferResult::Completed:
        set.readFromIndicator(group);
        break;
    case TransferResult::Aborted:
    case TransferResult::Refused:
        set.readInPart(group);
        break;
    case TransferResult::NotSent:
        break;
    }
}

}  // namespace vx::gui
