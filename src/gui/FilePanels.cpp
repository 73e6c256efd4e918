#include "gui/FilePanels.h"

#include "shell/LanguageTexts.h"
#include "files/Batch.h"
#include "files/RestorePoint.h"
#include "files/SameIndicator.h"
#include "files/SendCheck.h"
#include "files/WorkingSet.h"
#include "gui/HistoryRecorder.h"
#include "service/TransferJobs.h"
#include "gui/PanelHost.h"
#include "gui/ParameterPage.h"
#include "gui/StatusPage.h"
#include "gui/Widgets.h"
#include "gui/WindowState.h"
#include "link/LineLease.h"
#include "link/Settings.h"

#include <QFileInfo>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

constexpr int kTextNotConnected = TextLine::NotConnected;

ParameterPage *parameterPage(PanelHost &host)
{
    return qobject_cast<ParameterPage *>(&host.pageOf(Tab::Parameters));
}

StatusPage *statusPage(PanelHost &host) { return qobject_cast<StatusPage *>(&host.pageOf(Tab::Status)); }

}  // namespace

BatchPanels::BatchPanels(PanelHost &host, QWidget *parent, Captions &captions)
    : m_host(host), m_readAll(BuildReadAllPanel(parent, captions)), m_sendAll(BuildSendAllPanel(parent, captions))
{
    QObject::connect(m_readAll.start, &QPushButton::clicked, m_readAll.panel, [this] { SSCommand2_Click(0); });
    QObject::connect(m_readAll.cancel, &QPushButton::clicked, m_readAll.panel, [this] { SSCommand2_Click(1); });
    QObject::connect(m_sendAll.start, &QPushButton::clicked, m_sendAll.panel, [this] { SSCommand4_Click(0); });
    QObject::connect(m_sendAll.cancel, &QPushButton::clicked, m_sendAll.panel, [this] { SSCommand4_Click(1); });
    // The note for the service history, above the step caption; the panel grows by its row.
    m_sendNote = new NoteField(QStringLiteral("SendNote"), m_sendAll.panel->body());
    if (auto *layout = qobject_cast<QVBoxLayout *>(m_sendAll.panel->body()->layout()))
        layout->insertWidget(layout->indexOf(m_sendAll.step), m_sendNote);
    m_sendAll.panel->setFixedHeight(m_sendAll.panel->height() + 34);

    // Below the groups: the restore point, remembered in the settings.
    QWidget *body = m_sendAll.panel->body();
    m_restorePoint = Named<QCheckBox>(QStringLiteral("CheckRestorePoint"), body);
    if (auto *layout = qobject_cast<QVBoxLayout *>(body->layout()))
        layout->insertWidget(int(m_sendAll.checks.size()), m_restorePoint);
    m_sendAll.panel->setFixedHeight(m_sendAll.panel->height() + m_restorePoint->sizeHint().height());
    m_restorePoint->setText(m_host.texts().builtIn(BuiltIn::RestorePointCaption));
    m_restorePoint->setChecked(RestorePointBeforeSend(m_host.store()));
    QObject::connect(m_restorePoint, &QCheckBox::toggled, m_sendAll.panel,
                     [this](bool on) { StoreRestorePointBeforeSend(m_host.store(), on); });
}

// A box counts when it is ticked, shown (the ZR2's groups are hidden on a ZR1) and
// enabled (a send box of a group that holds nothing is not).
bool BatchPanels::ticked(bool send, int box) const
{
    const QCheckBox *check = (send ? m_sendAll : m_readAll).checks[std::size_t(box)];
    return check->isChecked() && !check->isHidden() && check->isEnabled();
}

// A send box stands for the parts it writes; a group that holds nothing in the window
// (never read, opened blank, never typed) cannot be ticked, and its box says why.
void BatchPanels::enableSendBoxes()
{
    WorkingSet &set = m_host.workingSet();
    const bool epl = FeaturesOf(m_host.state().IndicatorModel).eplPrinter
        && set.ticket().printerKind() == PrinterKind::Epl;
    const std::pair<int, SetGroup> boxes[] = {{0, epl ? SetGroup::EplText : SetGroup::TicketLines},
                                              {1, SetGroup::Ids},
                                              {3, SetGroup::Setpoints},
                                              {5, SetGroup::Calibration},
                                              {6, SetGroup::Jmp},
                                              {7, SetGroup::Nrm},
                                              {8, SetGroup::DateTime}};
    for (const auto &[index, group] : boxes) {
        QCheckBox *check = m_sendAll.checks[std::size_t(index)];
        const bool holds = set.holds(group);
        if (!holds)
            check->setChecked(false);
        check->setEnabled(holds);
        check->setToolTip(holds ? QString() : m_host.texts().builtIn(BuiltIn::SendGroupEmpty));
    }
}

// ---- what the window asks of the panels ----

void BatchPanels::showReadProgress(const QString &step)
{
    for (QCheckBox *check : m_readAll.checks)
        check->hide();
    m_readAll.start->hide();
    m_readAll.cancel->hide();
    m_readAll.step->setText(step);
    m_host.putInFront(m_readAll.panel);
    m_readAll.panel->repaint();
}

void BatchPanels::hideReadProgress(const ModelFeatures &features)
{
    m_readAll.panel->hide();
    // The step and the bar of the read that is over: not for the next opening.
    m_readAll.step->clear();
    m_readAll.progress->setValue(0);
    for (QCheckBox *check : m_readAll.checks)
        check->show();
    m_readAll.start->show();
    m_readAll.cancel->show();
    // The groups the model lacks stay hidden.
    showGroups(features);
}

void BatchPanels::tickSendBoxes(const std::vector<int> &indexes)
{
    for (int index : indexes)
        if (index >= 0 && index < int(m_sendAll.checks.size()))
            m_sendAll.checks[std::size_t(index)]->setChecked(true);
}

void BatchPanels::showGroups(const ModelFeatures &features)
{
    m_readAll.checks[1]->setVisible(features.idMemory);
    m_readAll.checks[2]->setVisible(features.setpointMemory);
    m_sendAll.checks[1]->setVisible(features.idMemory);
    m_sendAll.checks[3]->setVisible(features.setpointMemory);
    m_sendAll.checks[8]->setVisible(features.clock);
}

QProgressBar *BatchPanels::progressBar(ProgressId bar) const
{
    switch (bar) {
    case ProgressId::Main: return m_readAll.progress;
    case ProgressId::Send: return m_sendAll.progress;
    case ProgressId::Small: break;
    }
    return nullptr;
}

void BatchPanels::showStep(const QString &text)
{
    if (!m_sendAll.panel->isHidden())
        m_sendAll.step->setText(text);
    else if (!m_readAll.panel->isHidden())
        m_readAll.step->setText(text);
}

bool BatchPanels::sendRunning() const { return !m_sendAll.panel->isHidden() && m_sendAll.progress->value() > 0; }

void BatchPanels::refreshBegins() { m_readAll.start->setEnabled(false); }

void BatchPanels::refreshEnded()
{
    m_readAll.start->setEnabled(true);
    m_readAll.cancel->setEnabled(true);
    m_readAll.panel->hide();
    m_readAll.progress->setValue(0);
    m_readAll.step->clear();
}

void BatchPanels::escape()
{
    m_readAll.panel->hide();
    m_sendAll.panel->hide();
    m_readAll.start->setEnabled(true);
    m_sendAll.start->setEnabled(true);
}

// ---- read-all ----

void BatchPanels::openReadPanel()
{
    // The bar is shared with the tabs' own reads: a panel opens with it empty.
    m_readAll.progress->setValue(m_readAll.progress->minimum());
    m_host.panelShown(m_readAll.panel);
}

void BatchPanels::SSCommand2_Click(int index)
{
    if (index != 0) {
        closePanel(m_readAll);
        return;
    }
    AppState &state = m_host.state();
    if (!state.IsConnected) {
        m_host.link().op().message(m_host.texts().line(kTextNotConnected), Icon::Critical);
        return;
    }
    m_readAll.start->setEnabled(false);
    m_host.checkDataIndicator();
    if (LineLease lease(m_host.link()); lease) {
        ReadAllChoice choice;
        choice.header = ticked(false, 0);
        choice.id = ticked(false, 1);
        choice.setpoint = ticked(false, 2);
        choice.parameters = ticked(false, 3);
        choice.status = ticked(false, 4);
        WorkingSet &set = m_host.workingSet();
        choice.printer = FeaturesOf(state.IndicatorModel).eplPrinter ? set.ticket().printerKind() : PrinterKind::Ticket;
        choice.model = state.IndicatorModel;
        if (ParameterPage *page = parameterPage(m_host))
            page->hideEditors();
        // Setpoints and weight rows need the range: read it again when the connect could not.
        if (choice.setpoint || choice.parameters)
            m_host.rangeReady();
        // The job marks the groups read whole as the indicator's, those of a stopped read
        // as read in part; the status bar says how it ended (the groups not read are the
        // tool's message).
        const ReadAllJobResult done =
            RunReadAllJob(m_host.link(), m_host.texts(), set,
                          {.choice = choice, .weight = state.weight, .disconnect = [this] { m_host.DisconnectAction(); }});
        const ReadAllResult &result = done.read;
        if (result.status)
            if (StatusPage *page = statusPage(m_host))
                page->show(*result.status);
        tickSendBoxes(result.sendBoxesToTick);
        m_host.showBatchOutcome(result.outcome == BatchOutcome::Completed ? BuiltIn::ReadAllDone
                                                                          : BuiltIn::ReadAllStopped);
    }
    closePanel(m_readAll);
}

// The closing steps of either panel (the line already given up): a run still waiting
// stops at its next check, the shell back, the panel hidden and reset.
void BatchPanels::closePanel(BatchPanel &panel)
{
    panel.cancel->setEnabled(true);
    m_host.link().AbortRequested = true;
    m_host.panelClosed();
    panel.panel->hide();
    panel.progress->setValue(0);
    panel.step->clear();
    panel.start->setEnabled(true);
}

// ---- send-all ----

void BatchPanels::openSendPanel()
{
    m_host.workingSet().collect();
    if (m_host.state().IsConnected) {
        // What the indicator's hardware says now, on the status tab and for calibration.
        m_host.beginOperation();
        if (LineLease lease(m_host.link()); lease)
            if (const std::optional<HardwareStatus> hardware = SendPanelHardwareStatus(m_host.link()))
                if (StatusPage *page = statusPage(m_host))
                    page->showHardware(*hardware);
        m_host.endOperation();
    }
    m_sendAll.start->setEnabled(m_host.state().IsConnected);
    m_sendAll.progress->setValue(m_sendAll.progress->minimum());  // empty until the send starts
    enableSendBoxes();
    m_sendNote->applyLanguage(m_host.texts());
    m_restorePoint->setText(m_host.texts().builtIn(BuiltIn::RestorePointCaption));
    m_host.panelShown(m_sendAll.panel);
}

void BatchPanels::SSCommand4_Click(int index)
{
    if (index != 0) {
        closePanel(m_sendAll);
        return;
    }
    const AppState &state = m_host.state();
    if (!state.IsConnected) {
        m_host.link().op().message(m_host.texts().line(kTextNotConnected), Icon::Critical);
        return;
    }
    m_sendAll.start->setEnabled(false);
    if (LineLease lease(m_host.link()); lease) {
        SendAllChoice choice;
        choice.header = ticked(true, 0);
        choice.id = ticked(true, 1);
        choice.setpoint = ticked(true, 3);
        choice.parameters = {.dateTime = ticked(true, 8),
                             .calibration = ticked(true, 5),
                             .jmp = ticked(true, 6),
                             .nrm = ticked(true, 7)};
        WorkingSet &set = m_host.workingSet();
        choice.printer = FeaturesOf(state.IndicatorModel).eplPrinter ? set.ticket().printerKind() : PrinterKind::Ticket;
        if (ParameterPage *page = parameterPage(m_host))
            page->hideEditors();
        if (choice.setpoint || choice.parameters.nrm)
            m_host.rangeReady();
        // The job checks what would go before anything else (a group that holds no value,
        // a parameter table never read, or a value that cannot go stops the send; a blank
        // memory clears the indicator's only when the operator says so), asks about
        // another indicator's data, makes the restore point, sends and records it. Data
        // typed or read here names no file: it is asked about only when it names an
        // indicator, or when it is a configuration file's.
        Operator &op = m_host.link().op();
        const TextService &texts = m_host.texts();
        const bool fromFile = !fileInUse || fileInUse();
        // Once it has begun, a send is stopped only by the transaction's Abort.
        m_sendAll.cancel->setEnabled(false);
        const SendAllJobResult done = RunSendAllJob(
            m_host.link(), op, texts, set,
            {.choice = choice,
             .model = state.IndicatorModel,
             .modelText = state.IndicatorModelText,
             .version = {},
             .weight = state.weight,
             .allowClearing =
                 [&](const std::vector<BatchGroup> &blank) { return ConfirmClearing(op, texts, blank); },
             .askSameIndicator = fromFile || !RecordIdentification(set.record()).empty(),
             .sameIndicatorOperator = nullptr,
             .restorePointFolder = m_restorePoint->isChecked() ? DefaultRestorePointFolder() : QString(),
             .disconnect = [this] { m_host.DisconnectAction(); },
             .note = m_sendNote->note(),
             .tool = HistoryTool::Window,
             .skippedWrites = {},
             .restorePointMade = {}});
        for (const JobMessage &m : done.messages)
            op.message(m.text, m.icon);
        if (done.end != SendJobEnd::Sent && done.end != SendJobEnd::Stopped) {
            lease.release();
            closePanel(m_sendAll);
            return;
        }
        // The note goes with one record and is not offered again.
        if (done.historyError)
            SayHistoryNotWritten(op, texts, *done.historyError);
        else
            m_sendNote->edit()->clear();
        const SendAllResult &result = done.sent;
        m_host.showBatchOutcome(result.outcome == BatchOutcome::Completed ? BuiltIn::SendAllDone
                                                                          : BuiltIn::SendAllStopped);
    }
    closePanel(m_sendAll);
}

}  // namespace vx::gui


