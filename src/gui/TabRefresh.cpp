#include "gui/TabRefresh.h"

#include "gui/TabPage.h"
#include "gui/WindowState.h"
#include "link/LineLease.h"
#include "shell/TextService.h"

namespace vx::gui {
namespace {

constexpr int kTextNotConnected = TextLine::NotConnected;

}  // namespace

TabRefresh::TabRefresh(RefreshHost &host, Clock &clock)
    : m_host(host), m_timer4(std::make_unique<ClockTimer>(clock, StatusTimerMs, [this] { Timer4_Timer(); }))
{
}

void TabRefresh::refresh()
{
    WindowState &state = m_host.state();
    Link &link = m_host.link();
    if (!state.IsConnected) {
        link.op().message(m_host.texts().line(kTextNotConnected), Icon::Critical);
        return;
    }
    // Another operation holds the line (this refresh's own tab change among them), or a
    // panel is in front: skipped, and nothing is asked.
    if (link.lineHeld() || m_host.shellLocked())
        return;
    const int tab = state.CurrentTab;
    TabPage &page = m_host.pageOf(tab);
    const TabPage::Refresh kind = page.refreshKind();
    if (kind == TabPage::Refresh::None)
        return;  // nothing on this tab reads from the indicator
    if (!m_host.mayReplace(tab))
        return;  // the technician keeps what the page shows; nothing is read

    m_host.refreshBegins();
    LineLease lease(link);
    if (lease) {
        if (kind == TabPage::Refresh::Reenter) {
            state.TabRefreshPending = true;
            m_host.enterTab(tab);
        } else {
            page.refresh();
        }
    }
    lease.release();
    link.AbortRequested = true;
    m_host.refreshEnded(lease.portError());
}

void TabRefresh::F5Key()
{
    if (m_host.sendRunning())
        return;
    m_keyLatch = !m_keyLatch;
    if (m_keyLatch)
        refresh();
}

void TabRefresh::Timer4_Timer()
{
    WindowState &state = m_host.state();
    if (!state.IsConnected) {
        m_timer4->stop();
        return;
    }
    state.CurrentTab = Tab::Status;
    refresh();
}

}  // namespace vx::gui
