#include "gui/FilePanels.h"

#include "files/Batch.h"
#include "files/WorkingSet.h"
#include "gui/AnaForm.h"
#include "gui/ParameterPage.h"
#include "gui/StatusPage.h"
#include "gui/Widgets.h"
#include "link/SerialPort.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace vx::gui {
namespace {

constexpr int kTextNotConnected = 375;

}  // namespace

BatchPanels::BatchPanels(AnaForm &form) : m_form(form)
{
    QObject::connect(form.m_readAll.start, &QPushButton::clicked, &form, [this] { SSCommand2_Click(0); });
    QObject::connect(form.m_readAll.cancel, &QPushButton::clicked, &form, [this] { SSCommand2_Click(1); });
    QObject::connect(form.m_sendAll.start, &QPushButton::clicked, &form, [this] { SSCommand4_Click(0); });
    QObject::connect(form.m_sendAll.cancel, &QPushButton::clicked, &form, [this] { SSCommand4_Click(1); });
}

// A box counts when it is ticked and shown (the ZR2's groups are hidden on a ZR1).
bool BatchPanels::ticked(bool send, int box) const
{
    const QCheckBox *check = (send ? m_form.m_sendAll : m_form.m_readAll).checks[std::size_t(box)];
    return check->isChecked() && !check->isHidden();
}

bool BatchPanels::reopenPort()
{
    if (m_form.m_port.isOpen())
        m_form.m_port.close();
    if (PortAç(m_form.m_port, m_form.m_link->settings, m_form.op()) != PortErr::None)
        return false;
    m_form.link().DrainStaleInput();  // the rest of an earlier answer is not this batch's
    return true;
}

// ---- read-all ----

void BatchPanels::openReadPanel()
{
    m_form.setShellEnabled(false);
    m_form.ışık(Light::Yellow);
    m_form.showPanel(m_form.m_readAll.panel);
}

void BatchPanels::SSCommand2_Click(int index)
{
    if (index != 0) {
        closePanel(m_form.m_readAll);
        return;
    }
    AppState &state = m_form.state();
    if (!state.IsConnected) {
        m_form.op().message(m_form.texts().line(kTextNotConnected), Icon::Critical);
        return;
    }
    m_form.m_readAll.start->setEnabled(false);
    m_form.link().AbortRequested = false;
    if (reopenPort()) {
        ReadAllChoice choice;
        choice.header = ticked(false, 0);
        choice.id = ticked(false, 1);
        choice.setpoint = ticked(false, 2);
        choice.parameters = ticked(false, 3);
        choice.status = ticked(false, 4);
        WorkingSet &set = m_form.workingSet();
        choice.printer = state.isZR2() ? set.ticket().printerKind() : PrinterKind::Ticket;
        choice.model = state.IndicatorModel;
        if (ParameterPage *page = m_form.parameterPage())
            page->hideEditors();
        // Setpoints and weight rows need the range: read it again when the connect could not.
        if (choice.setpoint || choice.parameters)
            m_form.rangeReady();
        const ReadAllResult result =
            ReadAll(m_form.link(), set, m_form.texts(), choice, state.weight, [this] { m_form.DisconnectAction(); });
        if (result.status)
            if (auto *page = qobject_cast<StatusPage *>(m_form.page(Tab::Status)))
                page->show(*result.status);
        m_form.tickSendBoxes(result.sendBoxesToTick);
        // The groups read whole now hold the indicator's data; a stopped read may have
        // replaced part of any of them.
        const std::pair<bool, DataGroup> groups[] = {{choice.header, DataGroup::Ticket},
                                                     {choice.id, DataGroup::Ids},
                                                     {choice.setpoint, DataGroup::Setpoints},
                                                     {choice.parameters, DataGroup::Parameters}};
        for (const auto &[ran, group] : groups)
            if (ran)
                result.outcome == BatchOutcome::Completed ? set.readFromIndicator(group) : set.readInPart(group);
        m_form.showBatchOutcome(result.outcome == BatchOutcome::Completed ? BuiltIn::ReadAllDone
                                                                          : BuiltIn::ReadAllStopped);
    }
    closePanel(m_form.m_readAll);
}

// The closing steps of either panel: the port closed, a run still waiting stops at its
// next check, the shell back, the panel hidden and reset.
void BatchPanels::closePanel(BatchPanel &panel)
{
    panel.cancel->setEnabled(true);
    if (m_form.m_port.isOpen())
        m_form.m_port.close();
    m_form.link().AbortRequested = true;
    m_form.setShellEnabled(true);
    m_form.ışık(Light::Green);
    panel.panel->hide();
    panel.progress->setValue(0);
    panel.step->clear();
    panel.start->setEnabled(true);
}

// ---- send-all ----

void BatchPanels::openSendPanel()
{
    m_form.workingSet().collect();
    if (m_form.state().IsConnected) {
        // What the indicator's hardware says now, on the status tab and for calibration.
        m_form.beginOperation();
        if (reopenPort()) {
            if (const std::optional<HardwareStatus> hardware = SendPanelHardwareStatus(m_form.link()))
                if (auto *page = qobject_cast<StatusPage *>(m_form.page(Tab::Status)))
                    page->showHardware(*hardware);
            m_form.m_port.close();
        }
        m_form.endOperation();
    }
    m_form.m_sendAll.start->setEnabled(m_form.state().IsConnected);
    m_form.setShellEnabled(false);
    m_form.ışık(Light::Yellow);
    m_form.showPanel(m_form.m_sendAll.panel);
}

void BatchPanels::SSCommand4_Click(int index)
{
    if (index != 0) {
        closePanel(m_form.m_sendAll);
        return;
    }
    const AppState &state = m_form.state();
    if (!state.IsConnected) {
        m_form.op().message(m_form.texts().line(kTextNotConnected), Icon::Critical);
        return;
    }
    m_form.m_sendAll.start->setEnabled(false);
    if (reopenPort()) {
        SendAllChoice choice;
        choice.header = ticked(true, 0);
        choice.id = ticked(true, 1);
        choice.setpoint = ticked(true, 3);
        choice.parameters = {.dateTime = ticked(true, 8),
                             .calibration = ticked(true, 5),
                             .jmp = ticked(true, 6),
                             .nrm = ticked(true, 7)};
        WorkingSet &set = m_form.workingSet();
        choice.printer = state.isZR2() ? set.ticket().printerKind() : PrinterKind::Ticket;
        if (ParameterPage *page = m_form.parameterPage())
            page->hideEditors();
        if (choice.setpoint || choice.parameters.nrm)
            m_form.rangeReady();
        // Once it has begun, a send is stopped only by the transaction's Abort.
        m_form.m_sendAll.cancel->setEnabled(false);
        const SendAllResult result = SendAll(m_form.link(), set, m_form.texts(), choice, state.weight);
        // A send that stopped in a group names every group that did not go, not only that one.
        if (result.outcome != BatchOutcome::Completed && result.outcome != BatchOutcome::ProbeRefused) {
            const QString notSent = GroupsNotDoneText(result.groups, m_form.texts(), true);
            if (!notSent.isEmpty())
                m_form.op().message(notSent, Icon::Warning);
        }
        // After a whole send the indicator holds the groups sent; the parameters only
        // when every part of them went.
        if (result.outcome == BatchOutcome::Completed) {
            const WriteGroups &p = choice.parameters;
            const bool allParameters = p.dateTime && p.calibration && p.jmp && p.nrm && !result.dateTimeSkipped;
            const std::pair<bool, DataGroup> groups[] = {{choice.header, DataGroup::Ticket},
                                                         {choice.id, DataGroup::Ids},
                                                         {choice.setpoint, DataGroup::Setpoints},
                                                         {allParameters, DataGroup::Parameters}};
            for (const auto &[sent, group] : groups)
                if (sent)
                    set.sentToIndicator(group);
        }
        m_form.showBatchOutcome(result.outcome == BatchOutcome::Completed ? BuiltIn::SendAllDone
                                                                          : BuiltIn::SendAllStopped);
    }
    closePanel(m_form.m_sendAll);
}

}  // namespace vx::gui
