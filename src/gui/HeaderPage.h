#pragma once
// Tab 0 "Başlık ve Dip Not": the four header and two footnote lines with their
// alignment toolbars, the printer kind, the EPL command text and the ticket code
// help beside them. Reading, writing and editing come with the ticket layout work.

#include "gui/Captions.h"
#include "gui/TabPage.h"

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolBar;

namespace vx::gui {

class Panel;

class HeaderPage : public TabPage {
    Q_OBJECT
public:
    HeaderPage(PageHost &host, QWidget *parent = nullptr);

    void applyLanguage(const TextService &texts) override;
    void modelChanged(Model model) override;

private:
    // An alignment toolbar (Toolbar2 index) with its two buttons: centred, flush left.
    struct AlignBar {
        QToolBar *bar = nullptr;
        QAction *centred = nullptr;
        QAction *left = nullptr;
    };
    AlignBar makeAlignBar(int index, QWidget *parent);
    void Command2_Click();

    Captions m_captions;
    QGroupBox *m_frame9[4] = {};  // Frame9_1 .. Frame9_4: header, footnote, printer, EPL
    AlignBar m_toolbar2[2];
    std::array<QLineEdit *, 4> m_baslık{};
    std::array<QLineEdit *, 2> m_dipNot{};
    QRadioButton *m_option3[2] = {};
    QPlainTextEdit *m_epl = nullptr;
    QPushButton *m_ssCommand10[2] = {};
    Panel *m_ssPanel6 = nullptr;  // the ticket codes
    QLabel *m_label15 = nullptr;
    QLabel *m_label14 = nullptr;
    QPushButton *m_command2 = nullptr;
};

}  // namespace vx::gui
