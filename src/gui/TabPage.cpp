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

// The working-set group a tab's refresh reads, if any (the status and calibration tabs
// read nothing the working set holds).
std::optional<DataGroup> GroupOfTab(int tab)
{
    struct TabGroup {
        int tab;
        DataGroup group;
    };
    static constexpr TabGroup Groups[] = {
        {Tab::Header, DataGroup::Ticket},
        {Tab::IdMemory, DataGroup::Ids},
        {Tab::PresetTare, DataGroup::PresetTares},
        {Tab::Setpoint, DataGroup::Setpoints},
        {Tab::Parameters, DataGroup::Parameters},
    };
    for (const TabGroup &g : Groups)
        if (g.tab == tab)
            return g.group;
    return std::nullopt;
}

}  // namespace vx::gui
