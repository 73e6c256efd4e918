#pragma once
// Tab 5 "Kalibrasyon": two pages chosen by Option5, the weighing calibration
// (procedure, weighing range with its twin combos) and the analog output
// adjustment, above the display read.
//
// Entering the tab releases the analog step buttons, clears the procedure options
// and locks the range fields; the refresh of the tab (refreshKind Reenter) has the
// range settings read (KalibrasyonHost), once an entry and right after it, and the
// display timer Timer3 started. Leaving the tab stops Timer3 and Timer1 and ends a running
// adjustment. The procedures themselves are the calibration core's; the page gives
// them the range fields, the entry panel for the test weight and the status label.

#include "calibration/AnalogOutput.h"
#include "calibration/Calibration.h"
#include "calibration/MetrologyProfile.h"
#include "gui/Captions.h"
#include "gui/TabPage.h"
#include "link/Interfaces.h"

#include <QColor>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace vx {
class ClockTimer;
}

namespace vx::gui {

class Panel;

class CalibrationPage : public TabPage {
    Q_OBJECT
public:
    static constexpr int DisplayTimerMs = 100;  // Timer3
    static constexpr int RepeatTimerMs = 100;   // Timer1
    static inline const QString LimitText = QStringLiteral("----- LİMİT -----");

    CalibrationPage(PageHost &host, QWidget *parent = nullptr);
    ~CalibrationPage() override;

    Refresh refreshKind() const override { return Refresh::Reenter; }
    void applyLanguage(const TextService &texts) override;
    void startUp() override;
    void entered() override;
    void left() override;
    // Selects the range fields from the codes the indicator holds.
    void rangeKnown(const IndicatorRange &range) override;

    // ---- what the controls run ----
    void ComboKalibDoldur();          // the language-dependent items of the mode and metrology fields
    void KalibrasyonHost();           // the range read of entering the tab (the port open)
    void SSCommand3_Click();          // "BAŞLA"
    void Option1_Click(int index);    // general, zero, span
    void Combo4_Click(int index);     // a range field chosen
    void Combo44_Click(int index);    // its twin chosen
    void SSCommand6_Click();          // "GÖSTERGE'Yİ OKU"
    void SSCommand5_Click();          // start or end an analog adjustment
    void Option5_Click(int index);    // weighing or analog page
    void analokartkon();              // ends pressed steps and a running adjustment

    // ---- what the page holds ----
    const std::optional<RangeSettings> &indicatorRange() const { return m_indicator; }
    std::optional<bool> calibrationPermitted() const;
    std::optional<bool> analogCardPresent() const;
    const MetrologyProfiles &profiles() const { return m_profiles; }
    bool adjusting() const { return m_adjusting; }
    ClockTimer &timer1() const { return *m_timer1; }
    ClockTimer &timer3() const { return *m_timer3; }
    // The range the fields show; a field without a usable selection is empty.
    RangeChoice rangeChoice() const;

private:
    class PageOperator;

    void buildProcedure();
    void buildRange();
    void buildAnalog();
    void buildDisplay();
    void fillRangeLists();
    void connectControls();
    void rangeRead();  // the deferred read of an entry, in an operation frame of its own

    // Range fields.
    void setRangeField(int index, bool enabled);  // Combo4(i) and its twin
    void setRangeFieldsEnabled(bool enabled);
    void selectRange(const RangeCodes &codes);
    void selectCode(int index, std::optional<int> code);
    void refillDivisions(bool first, bool second);
    void twinFollows(int index);
    void clearOptions();
    int modeCode() const;
    int metrologyCode() const;

    // Status label, display read, adjustment.
    void showLabel4(const QString &text, Tone tone);
    void showLabel7(const QString &text, const QColor &background);
    void displayRead();
    void Timer3_Timer();
    void Timer1_Timer();
    void startAdjustment();
    void endAdjustment();
    void stepPressed(AnalogButton button);
    void releaseSteps();
    std::optional<AnalogButton> heldStep() const;
    void setStepPanelsEnabled(bool enabled);
    void dimAnalogPage(bool dimmed);
    bool reopenPort();  // the port closed and opened again, quietly
    // Runs an action that talks to the indicator now, or once the display read or the
    // adjustment tick under way is over.
    void whenLineFree(std::function<void()> action);
    void runDeferred();

    Captions m_captions;
    MetrologyProfiles m_profiles;
    std::optional<RangeSettings> m_indicator;    // the range the indicator holds, from a whole read
    std::optional<HardwareFlags> m_hardware;      // from the range read
    AnalogValues m_analogValues;                  // as last shown
    bool m_adjusting = false;
    bool m_analogBusy = false;  // a tick or a step is under way
    bool m_displayBusy = false;
    unsigned m_entry = 0;       // counts entries: a deferred range read belongs to one
    std::function<void()> m_deferred;  // clicked while the line was busy
    std::unique_ptr<ClockTimer> m_timer1;
    std::unique_ptr<ClockTimer> m_timer3;

    // Pages.
    std::array<QRadioButton *, 2> m_option5{};  // weighing, analog
    QStackedWidget *m_pages = nullptr;
    // Procedure.
    QGroupBox *m_frame1 = nullptr;
    std::array<QRadioButton *, 3> m_option1{};  // general, zero, span
    QPushButton *m_ssCommand3 = nullptr;        // "BAŞLA"
    QLabel *m_label4 = nullptr;                 // calibration state
    // Weighing range.
    QGroupBox *m_frame3 = nullptr;
    std::array<QLabel *, 10> m_label3{};
    std::array<QComboBox *, 6> m_combo4{};   // mode, 1st capacity, 1st division, 2nd capacity, 2nd division, metrology
    std::array<QComboBox *, 5> m_combo44{};  // twins of 1..4 (index 0 unused)
    // Analog output.
    QGroupBox *m_frame2 = nullptr;
    QGroupBox *m_frame5 = nullptr;  // output type
    std::array<QRadioButton *, 2> m_option4{};
    std::array<QRadioButton *, 2> m_option6{};  // zero, full scale
    std::array<QLabel *, 2> m_values{};        // Label10, Label11: ": 13107"
    Panel *m_ssPanel4 = nullptr;                // zero steps
    Panel *m_ssPanel5 = nullptr;                // full-scale steps
    std::array<QPushButton *, 4> m_sıfır{};
    std::array<QPushButton *, 4> m_fs{};
    std::array<QLabel *, 2> m_label1{};
    std::array<QLabel *, 2> m_label8{};
    QPushButton *m_ssCommand5 = nullptr;  // analog start
    QLabel *m_label7 = nullptr;
    // Display read.
    QGroupBox *m_frame6 = nullptr;
    QPushButton *m_ssCommand6 = nullptr;
    QLabel *m_label9 = nullptr;
};

}  // namespace vx::gui
