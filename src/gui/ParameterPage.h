#pragma once
// Tab 4 "Parametreler": the parameter grid Grid1_2 over the parameter set, the
// editors laid over its value column (the text box Text1, the list Combo1 and the
// date and time panel SSPanel9), the deferred read on entering the tab (Timer2,
// with the read-all panel as progress display), the weight rows at the range of the
// connected indicator, and the write of the groups the send panel chooses. The rules live in the core
// (params/Editing.h); the page only carries them to the widgets.

#include "gui/Captions.h"
#include "gui/TabPage.h"
#include "params/Editing.h"
#include "params/ParameterSet.h"
#include "params/Transfer.h"

#include <array>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vx {
class ClockTimer;
}

namespace vx::gui {

class Panel;

class ParameterPage : public TabPage {
    Q_OBJECT
public:
    static constexpr int Timer2IntervalMs = 10;

    ParameterPage(PageHost &host, QWidget *parent = nullptr);
    ~ParameterPage() override;

    Refresh refreshKind() const override { return Refresh::Reenter; }
    void applyLanguage(const TextService &texts) override;
    void layOutGrids() override;
    void modelChanged(Model model) override;
    void entered() override;
    void left() override;
    void rangeKnown(const IndicatorRange &range) override;
    void rangeLost() override;
    // The editors hidden, every value emptied, the grid laid out afresh.
    void clearPage() override;

    // The parameter set the window works on (the working set's).
    ParameterSet &parameters() { return m_set; }
    QTableView *grid() const { return m_grid; }
    ClockTimer &timer2() const { return *m_timer2; }

    // Timer2's tick: the read of the whole parameter set with the read-all panel as
    // progress display, the port opened and closed around it.
    void Timer2_Timer();
    // ParametreHostOku with the window's link (the port open); the send boxes follow.
    ParameterReadResult read();
    // ParametreHostYaz of the chosen groups (the port open).
    ParameterWriteResult write(const WriteGroups &groups);

    // The editor of a row laid over its value cell (none for rows without one).
    void openEditor(int row);
    void hideEditors();
    int editorRow() const { return m_editorRow; }

    // The date and time panel: its OK and cancel images.
    void Image1_Click(int index);
    // Its "Set to this PC's time" (ClockFromPc): the PC's time written to the indicator
    // and read back into row 1; a read-back more than 2 s off is said, not hidden.
    void setClockFromPc();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGrid();
    void buildEditors();
    void buildDatePanel();
    void placeEditors();
    void moveEditor(int step);
    void setText1Limit();
    void text1Changed(const QString &text);
    void combo1Activated(int index);
    void openDatePanel();
    bool text1Key(class QKeyEvent *key);
    bool text13Key(int field, class QKeyEvent *key);
    Model model() const;
    const LanguageTexts &lines() const;

    ParameterSet &m_set;
    Captions m_captions;
    std::unique_ptr<ClockTimer> m_timer2;
    QTableView *m_grid = nullptr;  // Grid1_2
    QLineEdit *m_text1 = nullptr;
    QComboBox *m_combo1 = nullptr;
    Panel *m_ssPanel9 = nullptr;
    QLabel *m_label16 = nullptr;
    std::array<QGroupBox *, 2> m_frames{};  // Frame10 date, Frame12 time
    std::array<QLineEdit *, 6> m_text13{};
    std::array<QPushButton *, 2> m_image1{};  // OK, cancel
    QPushButton *m_clockFromPc = nullptr;
    int m_editorRow = -1;
    bool m_settingEditor = false;  // the program, not the user, changes an editor
    params::PortFunctionWatch m_portWatch;
};

}  // namespace vx::gui
