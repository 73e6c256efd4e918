#pragma once
// One weighing calibration as a job: the window's "BAŞLA" and `vextora-cli
// calibrate` give it what they gathered (the request, the model, the note, whether a
// report is wanted) and render what it returns; the run, the reads around it, the
// report and the service history record are made here, once, for both.
//
//   CalibrationJob job{.request = request, .model = "ZR2", .report = true, .note = note,
//                      .tool = HistoryTool::Cli};
//   CalibrationJobResult done = RunCalibrationJob(link, op, texts, job);
//   if (done.report) ...write ReportText(*done.report, texts) as a PDF...
//   AppendHistory(done.record, &why);
//
// Around the run, once its checks have passed and the port is open: one read of the
// indicator's version and identification texts (registers 199 and 204, for the
// record and the report) and, when a report is wanted, the display (registers 0 and
// 3: the gross weight as found). After a run that gave the indicator a step and did
// not drop the link, a report reads the range (command 7, 149, command 12, 128) and
// the display again (as left).

#include "calibration/Calibration.h"
#include "calibration/CalibrationReport.h"
#include "service/History.h"

#include <optional>

namespace vx {

class Link;
class Operator;
class TextService;

struct CalibrationJob {
    CalibrationRequest request;
    QString model;        // the connected model as the version text names it ("ZR2")
    bool report = false;  // make the report (and read what it needs around the run)
    QString note;         // the operator's note: the record's and the report's
    HistoryTool tool = HistoryTool::Window;
};

struct CalibrationJobResult {
    CalibrationResult run;
    // The model, version and both identification texts; the model alone when the run
    // ended before the port was open (its checks, the port).
    IndicatorIdentity indicator;
    // Made when asked for and the run gave the indicator a step and was not cancelled.
    std::optional<CalibrationReport> report;
    // One record of this run, whatever its outcome (the front end appends it; the tool
    // adds the report's file name once written).
    HistoryRecord record;
};

CalibrationJobResult RunCalibrationJob(Link &link, Operator &op, const TextService &texts, const CalibrationJob &job,
                                       const CalibrationHooks &hooks = {});

}  // namespace vx
