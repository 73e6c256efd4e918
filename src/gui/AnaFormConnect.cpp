// Connecting and disconnecting, the model correction and the model's features.

#include "gui/AnaForm.h"

#include "gui/Widgets.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

namespace vx::gui {

void AnaForm::ConnectAction()
{
    // The waits keep the window alive; a second click meanwhile must not start a second connect.
    if (m_connecting)
        return;
    m_connecting = true;
    ışık(QStringLiteral("sarı"));
    m_tabs->setEnabled(false);
    m_sidePanel->setEnabled(false);
    showPanel(m_waitPanel);
    m_waitPanel->repaint();

    VersiyonOku();
    // The port stays open only for the length of an operation.
    if (m_port.isOpen())
        m_port.close();

    m_waitPanel->hide();
    m_connecting = false;
    m_tabs->setEnabled(true);
    m_sidePanel->setEnabled(true);

    if (m_state.IsConnected) {
        updateConnectCaption();
        ışık(QStringLiteral("yeşil"));
        if (m_state.CurrentTab == Tab::Calibration) {
            m_state.TabRefreshPending = true;
            SSTab1_Click(Tab::Calibration);
        } else if (m_state.CurrentTab == Tab::Status) {
            m_timer4->start();
        }
    }
}

void AnaForm::DisconnectAction()
{
    m_state.IsConnected = false;
    ışık(QStringLiteral("kırmızı"));
    updateConnectCaption();
    m_modelLabel->setText(m_state.IndicatorModelText);
}

void AnaForm::connectMenuClick()
{
    if (m_connecting)
        return;  // the running connect decides
    // The caption mirrors the state: it offers to disconnect exactly while connected.
    if (m_state.IsConnected)
        DisconnectAction();
    else
        ConnectAction();
    updateConnectCaption();
}

bool AnaForm::VersiyonOku()
{
    m_lastVersion = vx::VersiyonOku(*m_link);
    if (!m_lastVersion.connected()) {
        // A missing or busy port has already been reported by PortAç; a silent or
        // refusing indicator leaves the red light as the only sign.
        op().showProgress(ProgressId::Small, false);
        DisconnectAction();
        return false;
    }

    if (m_lastVersion.modelText != m_state.IndicatorModelText) {
        m_state.setModel(m_lastVersion.model, m_lastVersion.modelText);
        runGridDüzen(2);
        runGridDüzen(3);
        ZR2DeğilseGizle(m_state.isZR2());
    }
    m_state.IsConnected = true;
    m_modelLabel->setText(m_lastVersion.versionText.trimmed());
    if (m_taksimatBul)
        m_taksimatBul();
    return true;
}

namespace {
// The controls that exist only on the "ZR2" model.
const char *const ZR2Controls[] = {
    "SSCheck2_1", "SSCheck2_3", "SSCheck2_8",                // send-all options
    "SSCheck1_1", "SSCheck1_2",                              // read-all options
    "Option3_0", "Option3_1", "EPL", "SSCommand10_0", "SSCommand10_1",  // EPL printer
    "SSPanel6", "Command2",                                  // ticket code help
};
const int ZR2Tabs[] = {Tab::IdMemory, Tab::Setpoint};
}  // namespace

void AnaForm::ZR2DeğilseGizle(bool visible)
{
    for (const char *name : ZR2Controls) {
        if (QWidget *w = control(QString::fromLatin1(name)))
            w->setVisible(visible);
    }
    for (int tab : ZR2Tabs)
        m_tabs->setTabVisible(tab, visible);
    // The frames around the printer kind and the EPL text hold nothing else.
    for (const char *frame : {"Frame9_3", "Frame9_4"}) {
        if (QWidget *w = control(QString::fromLatin1(frame)))
            w->setVisible(visible);
    }
}

}  // namespace vx::gui
