#pragma once
// The weighing calibration of the calibration tab: the procedure (Frame1: general,
// zero or span, "BAŞLA", the state label Label4) beside the weighing range (Frame3:
// mode, the capacity and division of each range with their twin combos, metrology).
//
// The procedures are the calibration core's (RunCalibration); the panel gives them
// the range fields, the entry panel for the test weight and Label4, and holds the
// line for the whole run: a click on "BAŞLA" while another operation holds it is
// skipped.

#include "calibration/Calibration.h"
#include "calibration/CalibrationReport.h"
#include "calibration/MetrologyProfile.h"
#include "gui/Captions.h"
#include "link/Interfaces.h"

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vx {
class TextService;
}

namespace vx::gui {

class DisplayReadout;
class NoteField;
class PageHost;

class WeighingCalibrationPanel : public QWidget {
    Q_OBJECT
public:
    // readout: stopped while a run holds the indicator, started again after it.
    WeighingCalibrationPanel(PageHost &host, DisplayReadout &readout, QWidget *parent = nullptr);
    ~WeighingCalibrationPanel() override;

    void applyLanguage(const TextService &texts);
    // Once at start-up: the range lists and the metrology profiles.
    void startUp();
    // Entering the tab: no procedure chosen, the range fields locked, nothing to start.
    void entered();
    // What the range read of entering the tab found; the fields show a whole range.
    void rangeRead(const RangeReading &read);
    // Selects the range fields from the codes the indicator holds.
    void selectRange(const RangeCodes &codes);
    // "BAŞLA" waits for a procedure to be chosen again.
    void lockStart();

    void ComboKalibDoldur();        // the language-dependent items of the mode and metrology fields
    void SSCommand3_Click();        // "BAŞLA"
    void Option1_Click(int index);  // general, zero, span
    void Combo4_Click(int index);   // a range field chosen
    void Combo44_Click(int index);  // its twin chosen

    const std::optional<RangeSettings> &indicatorRange() const { return m_indicator; }
    std::optional<bool> calibrationPermitted() const { return m_permitted; }
    const MetrologyProfiles &profiles() const { return m_profiles; }
    // The range the fields show; a field without a usable selection is empty.
    RangeChoice rangeChoice() const;
    // The decimals of the first division the fields show (0 when none is chosen).
    int divisionDecimals() const;
    // The operator's note for the service history record of the next run.
    NoteField *note() const { return m_note; }

    // ---- the calibration report ----
    // After a run that gave the indicator a step and was not cancelled, "Save
    // calibration report…" is offered: a note (the run's, to change), a file, a
    // one-page PDF. The report is the calibration job's, as the tool's: the range
    // read on entering the tab and read again after the run, the display read just
    // before the run and just after it. Saving it adds no history record.
    void saveReport();
    QPushButton *reportButton() const { return m_reportButton; }
    // The save dialog: the proposed path in, the chosen path out (empty: cancelled).
    // Tests put their own here; by default the standard save dialog.
    std::function<QString(const QString &proposed)> reportDialog;

signals:
    // A report was written (for the service history).
    void reportSaved(const QString &path);

private:
    class PageOperator;

    void buildProcedure();
    void buildRange();
    void fillRangeLists();
    void setRangeField(int index, bool enabled);  // Combo4(i) and its twin
    void setRangeFieldsEnabled(bool enabled);
    void selectCode(int index, std::optional<int> code);
    void refillDivisions(bool first, bool second);
    void twinFollows(int index);
    void clearOptions();
    int modeCode() const;
    int metrologyCode() const;
    void showLabel4(const QString &text, Tone tone);

    PageHost &m_host;
    DisplayReadout &m_readout;
    Captions m_captions;
    MetrologyProfiles m_profiles;
    std::optional<RangeSettings> m_indicator;  // the range the indicator holds, from a whole read
    std::optional<bool> m_permitted;           // from the range read

    // Procedure.
    QGroupBox *m_frame1 = nullptr;
    std::array<QRadioButton *, 3> m_option1{};  // general, zero, span
    QPushButton *m_ssCommand3 = nullptr;        // "BAŞLA"
    QLabel *m_label4 = nullptr;                 // calibration state
    NoteField *m_note = nullptr;                // the service history's note
    QPushButton *m_reportButton = nullptr;      // "Save calibration report…", after a run
    std::optional<CalibrationReport> m_report;  // of the last run
    // Weighing range.
    QGroupBox *m_frame3 = nullptr;
    std::array<QLabel *, 10> m_label3{};
    std::array<QComboBox *, 6> m_combo4{};   // mode, 1st capacity, 1st division, 2nd capacity, 2nd division, metrology
    std::array<QComboBox *, 5> m_combo44{};  // twins of 1..4 (index 0 unused)
};

}  // namespace vx::gui
