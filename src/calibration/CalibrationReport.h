#pragma once
// What a calibration report holds: when and on which indicator a zero, span or
// general calibration ran, the range and the displayed gross weight before the run
// (as found) and after it (as left), the test weight, each step with the
// indicator's code, and the operator's note. The window and the tool fill it from
// the reads the calibration job makes around a run; ReportText turns it into the lines of
// the page in the language in use, and the report library (report/ReportPdf.h)
// lays them out on one A4 page.
//
//   CalibrationReport report;
//   report.rangeFound = before.range->codes;  ...
//   const CalibrationReportText page = ReportText(report, texts);

#include "calibration/Calibration.h"
#include "calibration/RangeLists.h"
#include "monitor/DisplayRead.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace vx {

class TextService;

struct CalibrationReport {
    QDateTime when;                    // the run's end
    CalibrationKind kind = CalibrationKind::General;
    QString model;                     // "ZR1" or "ZR2"
    QString versionText;               // the indicator's version text, empty when not read
    QString modelText, secondText;     // parameter rows 82 and 83, empty when not known
    std::optional<RangeCodes> rangeFound, rangeLeft;
    std::optional<DisplayWeight> grossFound, grossLeft;
    QString testWeight;                // in kg, as sent; empty when none was sent
    std::vector<CalibrationStepRecord> steps;
    CalibrationEnd end = CalibrationEnd::Finished;
    bool pollGaveUp = false;   // a step's poll got no valid status
    bool stepRefused = false;  // the indicator refused a step
    QString note;
    // The run's outcome as the tool's exit status counts it: finished only when every
    // step ran and no message was shown.
    bool finished() const;
};

// The report from a run's result: the kind, the steps, the test weight and the
// outcome; the range and the weights before and after are the caller's (the
// calibration job's, service/CalibrationJob.h).
CalibrationReport ReportOfRun(CalibrationKind kind, const CalibrationResult &result);

// The page's texts, every value already formatted; "—" stands for what is not known.
struct CalibrationReportText {
    struct Row {
        QString label, found, left;
    };
    QString title;
    std::vector<std::pair<QString, QString>> facts;  // date, model, version, texts, procedure, weight, outcome
    QString foundHeading, leftHeading;
    std::vector<Row> comparison;                     // the range fields, then the gross weight
    QString stepsHeading;
    std::array<QString, 3> stepColumns;              // step, result, code
    std::vector<std::array<QString, 3>> steps;
    QString noteLabel, note;
    QString signatureLabel;
};

inline const QString ReportUnknown = QStringLiteral("—");

CalibrationReportText ReportText(const CalibrationReport &report, const TextService &texts);

// A report file's name as the save dialog proposes it: "calibration-YYYYMMDD-HHMM.pdf".
QString ReportFileName(const QDateTime &when);

}  // namespace vx
