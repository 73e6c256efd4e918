#pragma once
// The analog output adjustment of the calibration tab (Frame2): the output type,
// "BAŞLA"/"BİTİR" (SSCommand5), the zero and full-scale step buttons and Timer1,
// whose ticks read both values and repeat the step of a held button.
//
// Every start, step, tick and end takes the line for itself (LineLease). A tick or
// a step while the line is held is skipped (the held button steps again at the next
// tick); so is a click on SSCommand5. The end of a run is always sent: when the tab
// is left in the middle of a tick it goes inside that tick's hold of the line.

#include "calibration/AnalogOutput.h"
#include "gui/Captions.h"

#include <QGroupBox>
#include <array>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QRadioButton;

namespace vx {
enum class AnalogTrimEnd;
class ClockTimer;
class TextService;
}  // namespace vx

namespace vx::gui {

class DisplayReadout;
class NoteField;
class PageHost;
class Panel;

class AnalogOutputPanel : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int RepeatTimerMs = 100;  // Timer1
    static inline const QString LimitText = QStringLiteral("----- LİMİT -----");

    // readout: stopped while a run holds the indicator, started again after it.
    AnalogOutputPanel(PageHost &host, DisplayReadout &readout, QWidget *parent = nullptr);
    ~AnalogOutputPanel() override;

    void applyLanguage(const TextService &texts);
    // What the range read of entering the tab found: the output type the indicator
    // holds (true 0-10 VDC) and whether the analog card is fitted.
    void rangeRead(std::optional<bool> voltage, std::optional<bool> cardPresent);
    std::optional<bool> cardPresent() const { return m_cardPresent; }

    // Option5 chose a page while connected: the analog page without a card is dimmed
    // and says why; otherwise a running adjustment ends.
    void pageChosen(bool analog);
    void SSCommand5_Click();  // start or end an adjustment
    void analokartkon();      // ends pressed steps and a running adjustment
    void releaseSteps();

    bool adjusting() const { return m_adjusting; }
    ClockTimer &timer1() const { return *m_timer1; }
    // The operator's note for the service history record of the next run.
    NoteField *note() const { return m_note; }

private:
    void startAdjustment();
    void endAdjustment();
    void stepPressed(AnalogButton button);
    void Timer1_Timer();
    std::optional<AnalogButton> heldStep() const;
    void setStepPanelsEnabled(bool enabled);
    void showLabel7(const QString &text, const QColor &background);
    void recordTrim(AnalogTrimEnd end, const AnalogValues &values);

    PageHost &m_host;
    DisplayReadout &m_readout;
    Captions m_captions;
    std::optional<bool> m_cardPresent;  // from the range read
    AnalogValues m_analogValues;        // as last shown
    bool m_adjusting = false;
    bool m_startedBusy = false;  // the run's start was answered busy: nothing adjusts
    std::unique_ptr<ClockTimer> m_timer1;

    QGroupBox *m_frame5 = nullptr;  // output type
    std::array<QRadioButton *, 2> m_option4{};
    std::array<QRadioButton *, 2> m_option6{};  // zero, full scale
    std::array<QLabel *, 2> m_values{};        // Label10, Label11: ": 13107"
    Panel *m_ssPanel4 = nullptr;                // zero steps
    Panel *m_ssPanel5 = nullptr;                // full-scale steps
    std::array<QPushButton *, 4> m_zeroButtons{};
    std::array<QPushButton *, 4> m_fs{};
    std::array<QLabel *, 2> m_label1{};
    std::array<QLabel *, 2> m_label8{};
    QPushButton *m_ssCommand5 = nullptr;  // analog start
    QLabel *m_label7 = nullptr;
    NoteField *m_note = nullptr;  // the service history's note
};

}  // namespace vx::gui
