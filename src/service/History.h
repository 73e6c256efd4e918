#pragma once
// The service history: one record per send, weighing calibration and analog trim,
// appended as one JSON line to "history.jsonl" in the per-user data folder. The
// window and vextora-cli append after the operation has ended (a failed or stopped
// one too, with its result); both list the file newest first.
//
//   HistoryRecord r = SendHistoryRecord(identity, groups, result, HistoryTool::Cli);
//   r.note = "after the repair";
//   QString why;
//   if (!AppendHistory(r, &why))
//       ...say so: the send itself went through...
//
// An append never touches the line or the configuration files, and never rewrites
// what the file holds: it adds one whole line or, when that fails, leaves the file
// as it was.

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vx {

enum class HistoryOperation { Send, Calibration, AnalogTrim, Verification };
enum class HistoryTool { Window, Cli };

// A parameter row a send changed, as a compare or a restore point already read it.
struct HistoryChangedRow {
    int row = 0;
    QString before;
    QString after;
    friend bool operator==(const HistoryChangedRow &, const HistoryChangedRow &) = default;
};

// What the record says about the indicator: the model and the identification texts
// of parameter rows 82 and 83 (from the last parameter read or the file; empty when
// neither gave them), and the version text when the connect read one.
struct IndicatorIdentity {
    QString model;  // "ZR1", "ZR2"
    QString identification;   // row 82
    QString identification2;  // row 83
    QString version;
};

struct HistoryRecord {
    QDateTime time;  // local time; written ISO 8601 with its offset
    IndicatorIdentity indicator;
    HistoryOperation operation = HistoryOperation::Send;
    HistoryTool tool = HistoryTool::Window;
    // Send: the groups asked for (stable keys: header, id, setpoint, datetime,
    // calibration, jmp, nrm) and each one's result (sent, failed, not-run).
    QStringList groups;
    std::vector<std::pair<QString, QString>> groupResults;
    // Calibration: zero, span or general; analog trim: the output type.
    QString procedure;
    // How it ended: a send's outcome (sent, aborted, refused, not-sent, not-started), a
    // calibration's (finished, cancelled, not-permitted, ...), a trim's (ended, busy,
    // refused, end-refused).
    QString result;
    // Further facts, one "key: value" text each (a range written, the trim's values).
    QStringList details;
    // Filled when the operation already knows them; absent otherwise.
    std::optional<std::vector<HistoryChangedRow>> changedRows;
    std::optional<QString> restorePoint;  // the backup file name taken before a send
    std::optional<QString> report;        // the report (or test record) written after a calibration (verification)
    std::optional<QString> note;          // the operator's note
};

// The stable key of an operation ("send", "calibration", "analog-trim", "verification") and of a tool.
QString HistoryOperationKey(HistoryOperation operation);
QString HistoryToolKey(HistoryTool tool);

// One record as one JSON line, without the line end, and as that object.
QByteArray HistoryLine(const HistoryRecord &record);
QJsonObject HistoryObject(const HistoryRecord &record);
// A line read back; nothing for a line that is no record (error says why).
std::optional<HistoryRecord> ParseHistoryLine(const QByteArray &line, QString *error = nullptr);

// "history.jsonl" in the per-user data folder.
QString HistoryFilePath();

// Appends one line to `path` (by default the history file): the file opened for
// appending (created when missing; a folder, FIFO or device is refused), a line end
// put first when a line before was cut off, the line written in one piece, flushed
// to the disk and checked. A failed write is cut back off, so the file is as it was.
// Appends of several processes are serialised by the lock file "history.jsonl.lock"
// beside it: no append cuts or interleaves with another process's line.
bool AppendHistory(const HistoryRecord &record, QString *error = nullptr, const QString &path = {});

struct HistoryDamage {
    int line = 0;  // 1-based
    QString reason;
};
struct HistoryReading {
    bool readable = true;            // false: the file exists and cannot be read (error says why)
    QString error;
    std::vector<HistoryRecord> records;  // in the file's order
    std::vector<HistoryDamage> damaged;  // the lines that are no record, in their order
};
// The whole file; a missing file is an empty history. Blank lines are skipped, a
// damaged line is counted and skipped, the others kept.
HistoryReading ReadHistory(const QString &path = {});

// Newest first (by time; records of the same time, the later line first).
std::vector<HistoryRecord> NewestFirst(std::vector<HistoryRecord> records);
// The records whose model, identification or version text contains `text` (case
// ignored); all of them for an empty text.
std::vector<HistoryRecord> FilterByIndicator(const std::vector<HistoryRecord> &records, const QString &text);

// One line for a list: time, model and identification, operation, groups or
// procedure, result, note.
QString HistorySummary(const HistoryRecord &record);

}  // namespace vx
