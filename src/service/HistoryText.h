#pragma once
// A history record as people read it, shared by the window's list and vextora-cli
// history: the time in this computer's local time with its offset from UTC, and the
// details one fact a line, a changed parameter named by its code as the parameter
// grid shows it ("[120] 5 -> 07"). Only the rendering: the file keeps its records as
// they were written (rows by number, times with the offset of the computer that wrote them).

#include "service/History.h"

namespace vx {

// "2026-12-07 15:00:00 UTC+03:00": the moment in local time, with the local offset.
QString HistoryLocalTime(const QDateTime &time);

// "[120] 5 -> 07"; a row without a code in its caption is named by its number ("row 80: …").
QString HistoryChangeText(const HistoryChangedRow &change);

// The facts of a record beyond its columns, in order: a group whose result differs
// from the record's ("id: failed"), the details, each changed row, the restore point
// and the report.
QStringList HistoryDetailLines(const HistoryRecord &record);

}  // namespace vx
