// The send panel " İndikatöre Yolla" (SSPanel3). Its parameter step: the groups its
// boxes 5 (calibration), 6 (Jmp), 7 (Nrm) and 8 (date and time) choose are written
// by the parameter page. The other groups join with the batch work.

#include "gui/AnaForm.h"

#include "gui/ParameterPage.h"
#include "link/SerialPort.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace vx::gui {
namespace {

constexpr int kTextNotConnected = 375;
constexpr int kTextParameterStep = 268;

}  // namespace

void AnaForm::openSendPanel()
{
    m_sendAll.start->setEnabled(m_state.IsConnected);
    setShellEnabled(false);
    ışık(Light::Yellow);
    showPanel(m_sendAll.panel);
}

void AnaForm::SSCommand4_Click()
{
    if (!m_state.IsConnected) {
        op().message(m_texts.line(kTextNotConnected), Icon::Critical);
        return;
    }
    m_sendAll.start->setEnabled(false);
    if (m_port.isOpen())
        m_port.close();
    if (PortAç(m_port, m_link->settings, op()) == PortErr::None) {
        m_sendAll.cancel->setEnabled(false);
        m_link->AbortRequested = false;
        auto ticked = [this](int box) {
            QCheckBox *check = m_sendAll.checks[std::size_t(box)];
            return check->isChecked() && !check->isHidden();
        };
        if (ParameterPage *page = parameterPage(); page && !m_link->AbortRequested) {
            m_sendAll.step->setText(m_texts.line(kTextParameterStep));
            page->write({.dateTime = ticked(8), .calibration = ticked(5), .jmp = ticked(6), .nrm = ticked(7)});
        }
    }

    // The closing steps.
    m_sendAll.cancel->setEnabled(true);
    if (m_port.isOpen())
        m_port.close();
    m_link->AbortRequested = true;
    setShellEnabled(true);
    ışık(Light::Green);
    m_sendAll.panel->hide();
    m_sendAll.progress->setValue(0);
    m_sendAll.step->clear();
    m_sendAll.start->setEnabled(true);
}

}  // namespace vx::gui
