#pragma once
// The display read of the calibration tab (Frame6): "GÖSTERGE'Yİ OKU" and Timer3
// read the gross and net weight (ReadDisplay) and show them with the decimals of
// the range the fields show, on Label9. Each read takes the line for itself; a tick
// or a click while another operation holds the line is skipped.

#include "monitor/DisplayRead.h"
#include "gui/Captions.h"

#include <QGroupBox>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace vx {
class ClockTimer;
class TextService;
}  // namespace vx

namespace vx::gui {

class PageHost;

class DisplayReadout : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int TimerMs = 100;  // Timer3
    static inline const QString NoValue = QStringLiteral(" - - - - ");

    // decimals: those of the range the fields show, asked at each read.
    DisplayReadout(PageHost &host, std::function<int()> decimals, QWidget *parent = nullptr);
    ~DisplayReadout() override;

    void applyLanguage(const TextService &texts);
    void SSCommand6_Click();  // "GÖSTERGE'Yİ OKU"
    void Timer3_Timer();

    void start();  // Timer3 runs
    void stop();   // Timer3 stops; the last value stays shown
    // An operation takes the line over: Timer3 stops and the value shown goes.
    void suspend();
    ClockTimer &timer3() const { return *m_timer3; }

    // The last whole display read (none since suspend()), and how many reads have
    // given one: the calibration report takes its weights from the reads made anyway
    // just before and after a run.
    const std::optional<DisplayReading> &lastReading() const { return m_last; }
    unsigned readings() const { return m_readings; }

private:
    void read();

    PageHost &m_host;
    std::function<int()> m_decimals;
    Captions m_captions;
    std::unique_ptr<ClockTimer> m_timer3;
    QPushButton *m_ssCommand6 = nullptr;
    QLabel *m_label9 = nullptr;
    std::optional<DisplayReading> m_last;
    unsigned m_readings = 0;
};

}  // namespace vx::gui
