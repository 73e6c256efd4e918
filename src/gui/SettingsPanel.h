#pragma once
// The connection settings panel (SSPanel1): port, line settings, address, checksum and
// the way answers are collected; plus the hidden reading-time entry (Shift+Ctrl+Alt+R
// on its accept button).

#include "gui/Panels.h"
#include "link/Scan.h"

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace vx {
class TextService;
}

namespace vx::gui {

class PanelHost;

class SettingsPanel {
public:
    SettingsPanel(PanelHost &host, QWidget *parent, Captions &captions);

    Panel *panel() const { return m_c.panel; }
    // The ports listed again, the panel filled from the settings and put in front.
    void open();
    void SSCommand1_Click();  // accept
    void SSCommand7_Click();  // cancel
    void Combo9_Click();      // parity chosen: data bits follow
    void readingTimeEntry();
    // The accept button, where Shift+Ctrl+Alt+R asks for the reading time.
    bool isAcceptButton(const QWidget *widget) const;
    // The port list as the start-up finds it.
    void showPorts(const QStringList &ports);
    // Address entries "00".."99" in front of the design-time ones (once).
    void fillAddressList();
    void applyTexts(const TextService &texts);
    void hide();

    // "Find…": scans the port chosen in the panel for an indicator (through the line
    // lease, with a progress dialog whose Cancel stops it) and shows what answered.
    void find();
    // "Use these settings": the panel's speed, framing, address and checksum become
    // what answered (stored only when the panel is accepted).
    void useFound();
    const std::optional<ScanFound> &found() const { return m_found; }

    // The tries Find… makes with the speeds and addresses chosen, the stored setting and
    // the common speeds first; nothing when the address list cannot be read.
    std::optional<std::vector<ScanTry>> plannedTries() const;

private:
    void showFound();
    // The network port typed in the panel (empty: none); a malformed one is said and
    // gives nothing.
    std::optional<QString> networkPortChosen();
    // "N tries, at most S s" under the choices, before anything starts.
    void showEstimate();
    PanelHost &m_host;
    ConnectionPanel m_c;
    QPushButton *m_find = nullptr;
    QCheckBox *m_sweep = nullptr;
    QLineEdit *m_addresses = nullptr;  // as --addresses takes them: "1-99", "5,7", 0 for none
    QLabel *m_speedsLabel = nullptr;
    QComboBox *m_speeds = nullptr;     // all, or one speed
    QLabel *m_estimate = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_use = nullptr;
    QLabel *m_networkLabel = nullptr;
    QLineEdit *m_network = nullptr;  // a network port, used instead of the COM list when filled
    std::optional<ScanFound> m_found;
};

}  // namespace vx::gui
