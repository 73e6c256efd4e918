#pragma once
// The controls of the main window's floating panels: connection settings (SSPanel1),
// read-all (SSPanel2), send-all (SSPanel3), language (SSPanel7), please-wait
// (SSPanel10) and the numeric entry (SSPanel8). Built here; each belongs to the class
// that acts on it (SettingsPanel, BatchPanels, LanguageFilePanel, WaitPanel,
// NumericEntry).

#include <QString>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace vx::gui {

class Captions;
class Panel;

struct ConnectionPanel {
    Panel *panel = nullptr;          // SSPanel1
    QComboBox *combo6 = nullptr;     // port "COMn"
    std::array<QLineEdit *, 2> text4{};  // port number, line settings
    QComboBox *combo7 = nullptr;     // baud
    QComboBox *combo9 = nullptr;     // parity
    QComboBox *combo8 = nullptr;     // data bits
    QComboBox *combo3 = nullptr;     // checksum "Yok" / "Var"
    QComboBox *combo2 = nullptr;     // device address
    QCheckBox *frameEnd = nullptr;   // how answers are collected
    QPushButton *ok = nullptr;       // SSCommand1
    QPushButton *cancel = nullptr;   // SSCommand7
};
ConnectionPanel BuildConnectionPanel(QWidget *parent, Captions &captions);

// The read-all and send-all panels: group check boxes, the step caption, the progress
// bar and the start and cancel buttons.
struct BatchPanel {
    Panel *panel = nullptr;
    std::vector<QCheckBox *> checks;
    QLabel *step = nullptr;
    QProgressBar *progress = nullptr;
    QPushButton *start = nullptr;
    QPushButton *cancel = nullptr;
};
BatchPanel BuildReadAllPanel(QWidget *parent, Captions &captions);
BatchPanel BuildSendAllPanel(QWidget *parent, Captions &captions);

struct LanguagePanel {
    Panel *panel = nullptr;                // SSPanel7
    std::array<QRadioButton *, 2> option2{};  // the shipped Turkish and English files
    QComboBox *files = nullptr;            // Combo5
    QPushButton *ok = nullptr;             // SSCommand9
    QPushButton *cancel = nullptr;         // SSCommand8
};
LanguagePanel BuildLanguagePanel(QWidget *parent, Captions &captions);

Panel *BuildWaitPanel(QWidget *parent);  // SSPanel10 "PLEASE WAIT"

// The numeric entry (test weight, parameter values). The date and time entry
// (SSPanel9) belongs to the parameter page.
struct EntryPanels {
    Panel *entry = nullptr;  // SSPanel8
    QLabel *label17 = nullptr;  // the close mark: acts as "İPTAL"
    QLabel *label18 = nullptr;
    QLineEdit *text10 = nullptr;
    std::array<QPushButton *, 2> ssCommand11{};
};
EntryPanels BuildEntryPanels(QWidget *parent, Captions &captions);

}  // namespace vx::gui
