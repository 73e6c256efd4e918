#pragma once
// Tab 0 "Başlık ve Dip Not": the four header and two footnote lines with their
// alignment toolbars, the printer kind, the EPL command text with its load and
// save buttons, and the ticket code help beside them, all over the ticket layout
// of the core. The tab's refresh reads the lines (or, with the EPL printer chosen,
// the EPL text) from the indicator; they are written by the send-all.

#include "gui/Captions.h"
#include "gui/TabPage.h"
#include "memory/TicketLayout.h"
#include "memory/Transfers.h"

#include <array>
#include <functional>

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

    Refresh refreshKind() const override { return Refresh::Read; }
    void applyLanguage(const TextService &texts) override;
    void modelChanged(Model model) override;
    void refresh() override { read(); }

    // The working copy the boxes show and edit.
    TicketLayout &ticketLayout() { return m_layout; }
    // The printer kind in use: the EPL printer exists only on the ZR2.
    PrinterKind printerKind() const;
    TransferResult read();
    // The page emptied (the clear button): lines, EPL text, both groups flush left.
    void clearPage() override { m_layout.clear(); }

    // SSCommand10: load the EPL text from a file, save it to one.
    void SSCommand10_Click(int index);
    // The standard open (save = false) and save dialogs; tests put their own here.
    // Returns the chosen path, empty when cancelled.
    std::function<QString(bool save)> chooseEplFile;

private:
    // An alignment toolbar (Toolbar2 index) with its two buttons: centred, flush left.
    struct AlignBar {
        QToolBar *bar = nullptr;
        QAction *centred = nullptr;
        QAction *left = nullptr;
    };
    AlignBar makeAlignBar(int index, QWidget *parent);
    void Command2_Click();
    void Option3_Click(int index);
    void showAlignment();
    void showPrinterKind();
    void showLine(int k);
    void showEpl();
    QLineEdit *lineBox(int k) const;
    bool lineKey(QLineEdit *box, int key);

    TicketLayout &m_layout;  // the working set's
    Captions m_captions;
    QGroupBox *m_frame9[4] = {};  // Frame9_1 .. Frame9_4: header, footnote, printer, EPL
    AlignBar m_toolbar2[2];
    std::array<QLineEdit *, 4> m_headerLines{};
    std::array<QLineEdit *, 2> m_dipNot{};
    QRadioButton *m_option3[2] = {};
    QPlainTextEdit *m_epl = nullptr;
    QPushButton *m_ssCommand10[2] = {};
    Panel *m_ssPanel6 = nullptr;  // the ticket codes
    QLabel *m_label15 = nullptr;
    QLabel *m_label14 = nullptr;
    QPushButton *m_command2 = nullptr;
    bool m_zr2 = true;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

}  // namespace vx::gui
