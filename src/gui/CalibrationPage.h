#pragma once
// Tab 5 "Kalibrasyon": the calibration procedure, the weighing range, the analog
// output adjustment and the display read. The procedures come with the calibration
// work: the range read on entering (KalibrasyonHost) in entered with refreshKind()
// Reenter, the display timer (Timer3) and the adjustment loop (Timer1) stopped in left.

#include "gui/Captions.h"
#include "gui/TabPage.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vx::gui {

class Panel;

class CalibrationPage : public TabPage {
    Q_OBJECT
public:
    CalibrationPage(PageHost &host, QWidget *parent = nullptr);
    void applyLanguage(const TextService &texts) override;

private:
    void buildProcedure();
    void buildRange();
    void buildAnalog();
    void buildDisplay();

    Captions m_captions;
    // Procedure.
    QGroupBox *m_frame1 = nullptr;
    std::array<QRadioButton *, 3> m_option1{};  // general, zero, span
    QPushButton *m_ssCommand3 = nullptr;        // "BAŞLA"
    QLabel *m_label4 = nullptr;                 // calibration state
    // Weighing range.
    QGroupBox *m_frame3 = nullptr;
    std::array<QLabel *, 10> m_label3{};
    std::array<QComboBox *, 6> m_combo4{};  // mode, 1st capacity, 1st division, 2nd capacity, 2nd division, metrology
    // Analog output.
    QGroupBox *m_frame2 = nullptr;
    QGroupBox *m_frame5 = nullptr;  // output type
    std::array<QRadioButton *, 2> m_option4{};
    std::array<QRadioButton *, 2> m_option6{};  // zero, full scale
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
