// Connecting and disconnecting, the model correction and the model's features,
// and what the window says when a connect fails or the link is lost.

#include "gui/AnaForm.h"

#include "files/SameIndicator.h"
#include "gui/FileMenu.h"
#include "gui/FilePanels.h"
#include "gui/Widgets.h"
#include "link/SerialPort.h"
#include "link/LineLease.h"
#include "params/Connection.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>

namespace vx::gui {

void AnaForm::ConnectAction()
{
    // The waits keep the window alive; a second click meanwhile finds the line held and
    // starts no second connect.
    if (m_link->lineHeld())
        return;
    setLight(Light::Yellow);
    m_tabs->setEnabled(false);
    m_sidePanel->setEnabled(false);
    m_waitPanel->show(*this);

    VersiyonOku();

    m_waitPanel->hide();
    m_tabs->setEnabled(true);
    m_sidePanel->setEnabled(true);

    if (m_state.IsConnected) {
        updateConnectCaption();
        setLight(Light::Green);
        // Said once the connect has ended, not over its wait panel.
        if (m_rangeMessagePending) {
            m_rangeMessagePending = false;
            op().message(m_texts.builtIn(BuiltIn::RangeUnknown), Icon::Critical);
        }
        // Data of another indicator in the window: said now, before anything is read.
        checkDataIndicator();
        if (m_state.CurrentTab == Tab::Calibration) {
            m_state.TabRefreshPending = true;
            SSTab1_Click(Tab::Calibration);
        } else if (m_state.CurrentTab == Tab::Status) {
            // The table is filled at once, then every 5 seconds.
            m_refresh->refresh();
            if (m_state.IsConnected)
                m_refresh->timer4().start();
        }
    }
}

void AnaForm::DisconnectAction()
{
    m_state.IsConnected = false;
    // A serial server's session lasts while the program is connected.
    if (auto *serial = dynamic_cast<QtSerialPort *>(&m_link->port()))
        serial->network().endSession();
    m_connectedTexts.reset();
    m_linkProblem = nullptr;
    // The line says so, with the port it was on (a lost link's reason replaces it).
    setStatusLine([settings = m_link->settings](const TextService &texts) {
        return texts.builtIn(BuiltIn::Disconnected).arg(linkDescription(texts, settings));
    });
    setLight(Light::Red);
    updateConnectCaption();
    m_modelLabel->setText(m_state.IndicatorModelText);
}

void AnaForm::connectMenuClick()
{
    if (m_link->lineHeld())
        return;  // a running connect (or another operation) decides
    // The caption mirrors the state: it offers to disconnect exactly while connected.
    if (m_state.IsConnected)
        DisconnectAction();
    else
        ConnectAction();
    updateConnectCaption();
}

bool AnaForm::VersiyonOku()
{
    // One operation on the line: the version, then the range.
    const Connection connection = ConnectAndLearnRange(*m_link);
    m_lastVersion = connection.version;
    if (!m_lastVersion.connected()) {
        // A missing or busy port has already been reported by the lease; a silent or
        // refusing indicator gets no message box: the red light's tooltip and the
        // status line say what happened.
        op().showProgress(ProgressId::Small, false);
        DisconnectAction();
        showLinkProblem([settings = m_link->settings, version = m_lastVersion](const TextService &texts) {
            return texts.builtIn(BuiltIn::ConnectFailed)
                .arg(linkDescription(texts, settings), connectFailure(texts, version));
        });
        return false;
    }

    if (m_lastVersion.modelText != m_state.IndicatorModelText) {
        m_state.setModel(m_lastVersion.model, m_lastVersion.modelText);
        applyModel();
    }
    m_state.IsConnected = true;
    m_connectedTexts.reset();
    m_keptOtherData.reset();
    m_workingSet->setSource(m_state.IndicatorModel, std::nullopt);
    m_linkProblem = nullptr;
    showConnectedLine(true);
    m_modelLabel->setText(m_lastVersion.versionText.trimmed());
    tellPagesConnected(connection.range, true);
    return true;
}

void AnaForm::checkDataIndicator()
{
    // Data that names no indicator (typed, or a file of none) is not asked about.
    const std::optional<IdentificationTexts> data = m_workingSet->dataIndicator();
    if (!m_state.IsConnected || !data || data->empty())
        return;
    if (!m_connectedTexts) {
        LineLease lease(*m_link);
        if (!lease)
            return;
        m_connectedTexts = ReadIndicatorIdentification(*m_link, m_texts.lines());
        if (!m_connectedTexts)
            return;  // not known: asked again before the next read
        m_workingSet->setSource(m_state.IndicatorModel, m_connectedTexts);
    }
    if (*data == *m_connectedTexts || data == m_keptOtherData)
        return;
    // Another indicator's data: kept, it is bound to no file (Save asks for a name);
    // cleared, the window starts anew.
    if (op().yesNo(m_texts.builtIn(BuiltIn::OtherIndicatorQuestion).arg(data->shown(), m_connectedTexts->shown()),
                   Icon::Question)
        == Choice::Yes) {
        m_keptOtherData = data;
        m_fileMenu->unbind();
    } else {
        m_fileMenu->New();
    }
}

void AnaForm::HideUnlessZR2(const ModelFeatures &features)
{
    // The read-all and send-all groups and the tabs of the memories the model has.
    m_batchPanels->showGroups(features);
    m_tabs->setTabVisible(Tab::IdMemory, features.idMemory);
    m_tabs->setTabVisible(Tab::Setpoint, features.setpointMemory);
}

void AnaForm::applyModel()
{
    HideUnlessZR2(FeaturesOf(m_state.IndicatorModel));
    forEachPage([this](TabPage &p) { p.modelChanged(m_state.IndicatorModel); });
}

// ---- what went wrong ----

// "COM3 · 9600,N,8,1 · address 05"
QString AnaForm::linkDescription(const TextService &texts, const LinkSettings &s)
{
    return texts.builtIn(BuiltIn::LinkLine)
        .arg(PortNameFor(s.PortNumber), s.PortSettings,
             s.DeviceAddress.isEmpty() ? texts.builtIn(BuiltIn::NoAddress) : s.DeviceAddress);
}

QString AnaForm::portFailure(const TextService &texts, int error)
{
    switch (error) {
    case PortErr::NoSuchPort: return texts.builtIn(BuiltIn::PortNotFound);
    case PortErr::Busy: return texts.builtIn(BuiltIn::PortBusy);
    case PortErr::ServerClosed: return texts.builtIn(BuiltIn::ServerClosedPort);
    default: return texts.builtIn(BuiltIn::PortError).arg(error);
    }
}

QString AnaForm::connectFailure(const TextService &texts, const VersionResult &result)
{
    if (result.outcome == VersionResult::Outcome::PortFailed)
        return portFailure(texts, result.portError);
    switch (result.reason) {
    case VersionResult::Reason::NoAnswer: return texts.builtIn(BuiltIn::NoAnswer);
    case VersionResult::Reason::Refused: return texts.builtIn(BuiltIn::Refused);
    case VersionResult::Reason::None:
    case VersionResult::Reason::NotVersionText: break;
    }
    return texts.builtIn(BuiltIn::UnreadableAnswer);
}

void AnaForm::showLinkProblem(StatusText line)
{
    m_linkProblem = line;
    setStatusLine(std::move(line));
    updateConnectCaption();
}

void AnaForm::showConnectedLine(bool rangeKnown)
{
    setStatusLine([settings = m_link->settings, version = m_lastVersion.versionText.trimmed(),
                   rangeKnown](const TextService &texts) {
        QString line = texts.builtIn(BuiltIn::Connected).arg(linkDescription(texts, settings), version);
        if (!rangeKnown)
            line += QStringLiteral(" · ") + texts.builtIn(BuiltIn::RangeUnknownMark);
        return line;
    });
}

void AnaForm::setStatusLine(StatusText text)
{
    m_statusText = std::move(text);
    m_statusLine->setText(m_statusText ? m_statusText(m_texts) : QString());
}

void AnaForm::showStatusNote(StatusText text)
{
    m_statusNote = std::move(text);
    statusBar()->showMessage(m_statusNote(m_texts), 30000);
}

void AnaForm::renderStatusLine()
{
    m_statusLine->setText(m_statusText ? m_statusText(m_texts) : QString());
    // A note still shown is said again (for its full while).
    if (m_statusNote && !statusBar()->currentMessage().isEmpty())
        statusBar()->showMessage(m_statusNote(m_texts), 30000);
    updateConnectCaption();
}

QString AnaForm::statusLine() const { return m_statusLine->text(); }

void AnaForm::showBatchOutcome(BuiltIn text)
{
    // For a while over the connection line, which comes back by itself; a batch that lost
    // the connection leaves the line that says why.
    if (!m_state.IsConnected)
        return;
    showStatusNote([text, time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))](const TextService &texts) {
        return texts.builtIn(text).arg(time);
    });
}

}  // namespace vx::gui
