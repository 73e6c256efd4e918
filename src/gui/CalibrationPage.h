#pragma once
// Tab 5 "Kalibrasyon": two pages chosen by Option5, the weighing calibration
// (WeighingCalibrationPanel: procedure, weighing range with its twin combos) and the
// analog output adjustment (AnalogOutputPanel), above the display read
// (DisplayReadout).
//
// Entering the tab releases the analog step buttons, clears the procedure options
// and locks the range fields; the refresh of the tab (refreshKind Reenter) has the
// range settings read (KalibrasyonHost), once an entry and right after it, and the
// display timer Timer3 started. Leaving the tab stops Timer3 and Timer1 and ends a running
// adjustment. Every operation of the tab takes the line through a LineLease: one
// that finds the line held (a display read or an adjustment tick waiting for its
// answer) is skipped, not run later.

#include "calibration/Calibration.h"
#include "calibration/MetrologyProfile.h"
#include "gui/AnalogOutputPanel.h"
#include "gui/Captions.h"
#include "gui/DisplayReadout.h"
#include "gui/TabPage.h"

#include <array>
#include <optional>

class QRadioButton;
class QStackedWidget;

namespace vx {
class ClockTimer;
}

namespace vx::gui {

class WeighingCalibrationPanel;

class CalibrationPage : public TabPage {
    Q_OBJECT
public:
    static constexpr int DisplayTimerMs = DisplayReadout::TimerMs;      // Timer3
    static constexpr int RepeatTimerMs = AnalogOutputPanel::RepeatTimerMs;  // Timer1
    static inline const QString LimitText = AnalogOutputPanel::LimitText;

    CalibrationPage(PageHost &host, QWidget *parent = nullptr);
    ~CalibrationPage() override;

    Refresh refreshKind() const override { return Refresh::Reenter; }
    void applyLanguage(const TextService &texts) override;
    void startUp() override;
    void entered() override;
    void left() override;
    // Selects the range fields from the codes the indicator holds.
    void rangeKnown(const IndicatorRange &range) override;

    void KalibrasyonHost();         // the range read of entering the tab (the line held)
    void Option5_Click(int index);  // weighing or analog page

    // ---- the panels and what they hold ----
    WeighingCalibrationPanel &weighing() const { return *m_weighing; }
    AnalogOutputPanel &analog() const { return *m_analog; }
    DisplayReadout &readout() const { return *m_readout; }
    const std::optional<RangeSettings> &indicatorRange() const;
    std::optional<bool> calibrationPermitted() const;
    std::optional<bool> analogCardPresent() const { return m_analog->cardPresent(); }
    const MetrologyProfiles &profiles() const;
    bool adjusting() const { return m_analog->adjusting(); }
    ClockTimer &timer1() const { return m_analog->timer1(); }
    ClockTimer &timer3() const { return m_readout->timer3(); }
    // The range the fields show; a field without a usable selection is empty.
    RangeChoice rangeChoice() const;

private:
    void rangeRead();  // the deferred read of an entry, in an operation of its own

    Captions m_captions;
    unsigned m_entry = 0;  // counts entries: a deferred range read belongs to one

    std::array<QRadioButton *, 2> m_option5{};  // weighing, analog
    QStackedWidget *m_pages = nullptr;
    DisplayReadout *m_readout = nullptr;
    WeighingCalibrationPanel *m_weighing = nullptr;
    AnalogOutputPanel *m_analog = nullptr;
};

}  // namespace vx::gui
