#pragma once
// The history records of what the window and vextora-cli run: a send-all, a weighing
// calibration and an analog trim, built from the results those sequences already
// return (nothing more is read from the indicator for a record).

#include "calibration/AnalogOutput.h"
#include "calibration/Calibration.h"
#include "files/Batch.h"
#include "files/SelectiveSend.h"
#include "service/History.h"
#include "verify/Verification.h"

namespace vx {


// The stable keys of the send-all's groups ("header", "id", "setpoint", "datetime",
// "calibration", "jmp", "nrm"; "parameters" and "status" of a read-all).
QString BatchGroupKey(BatchGroup group);
QStringList SendGroupKeys(const SendAllChoice &choice);
// "sent", "aborted", "refused", "not-sent", "not-started".
QString SendOutcomeKey(BatchOutcome outcome);
// "zero", "span", "general"; "finished", "cancelled", "not-permitted", ...
QString CalibrationKindKey(CalibrationKind kind);
QString CalibrationEndKey(CalibrationEnd end);

// A send-all as it ended. skippedWrites: writes the tool skipped (--on-failure ignore).
HistoryRecord SendHistoryRecord(const IndicatorIdentity &indicator, const SendAllChoice &choice,
                                const SendAllResult &result, HistoryTool tool, int skippedWrites = 0);

// What a send-all changed in the parameter groups it sent, from the restore point read
// just before it (`before`) against the working set that went (`sent`); no read is
// made for it. The raw calibration values, when they changed, are one detail line.
void AddChangedRows(HistoryRecord &record, const WorkingSet &before, const WorkingSet &sent, const WriteGroups &groups);

// A send of the ticked rows only: the groups it concerned, each one's result, and the
// rows it changed (what the indicator held just before against what went).
HistoryRecord SelectiveSendHistoryRecord(const IndicatorIdentity &indicator, const SelectiveSendResult &result,
                                         HistoryTool tool, int skippedWrites = 0);

HistoryRecord CalibrationHistoryRecord(const IndicatorIdentity &indicator, CalibrationKind kind,
                                       const CalibrationResult &result, HistoryTool tool);

// A verification as it ended: the class (and "in service") as its procedure, its
// verdict ("pass", "fail", "cancelled", "no-answer") as the result, the steps measured
// and those that failed as details.
HistoryRecord VerificationHistoryRecord(const IndicatorIdentity &indicator, const VerificationResult &result,
                                        HistoryTool tool);
// The verdict's key as the record and the tool's JSON give it.
QString VerificationVerdictKey(const VerificationResult &result);

// How an analog adjustment run ended.
enum class AnalogTrimEnd {
    Ended,       // the end went to the indicator after the run
    Busy,        // the indicator answered busy to the start: nothing was adjusted
    Refused,     // the start got no answer or a refusal
    EndRefused,  // the end got no answer or a refusal
    EndNotSent,  // the link was gone or the port could not be opened for the end
};
// voltage: the output type (0-10 VDC, or 4-20 mA); values: the two points as last shown.
HistoryRecord AnalogTrimHistoryRecord(const IndicatorIdentity &indicator, bool voltage, AnalogTrimEnd end,
                                      const AnalogValues &values, HistoryTool tool);

}  // namespace vx
