#pragma once
// Read-all, send-all and the selective send as jobs: the window's panels and compare
// dialog and vextora-cli's read, send and set give them what they gathered (the
// groups, the options, the operator that answers the questions) and render what they
// return. The checks, the restore point, the run, the working set's provenance and the
// service history record are made here, once, for both.
//
//   SendAllJob job{.choice = choice, .model = model, .modelText = "ZR2", .weight = weight,
//                  .note = note, .tool = HistoryTool::Cli};
//   const SendAllJobResult done = RunSendAllJob(link, op, texts, set, job);
//   for (const JobMessage &m : done.messages) ...show m...
//   if (done.historyError) ...say the record was not written...
//
// Each job takes the line itself (LineLease) once its checks have passed, or joins the
// front end's lease in force.

#include "files/Batch.h"
#include "files/RestorePoint.h"
#include "files/SameIndicator.h"
#include "files/SelectiveSend.h"
#include "files/SendCheck.h"
#include "link/Interfaces.h"
#include "service/History.h"

#include <functional>
#include <optional>
#include <vector>

namespace vx {

class Link;
class Operator;
class TextService;
class WorkingSet;

// A message the front end shows as it shows messages (the window in a box, the tool on
// standard error), in the order the job met them.
struct JobMessage {
    QString text;
    Icon icon = Icon::Warning;
};

// The indicator a record names: the model and version the front end connected to and
// the identification texts of the indicator the operation went to (`wentTo`, read from
// it just before), else of the indicator the working set's data comes from (the
// connected one once known, else the indicator its parts were read from or the opened
// file names). The same for a send from the window and from the tool.
IndicatorIdentity ProvenanceIdentity(const WorkingSet &set, const std::optional<IdentificationTexts> &wentTo,
                                     const QString &modelText, const QString &version);

// The record, with the operator's note put in (none when blank), appended; the reason
// when it could not be written.
std::optional<QString> AppendJobRecord(HistoryRecord &record, const QString &note);

// ---- read-all ----

struct ReadAllJob {
    ReadAllChoice choice;
    WeightFormat weight;
    DisconnectAction disconnect;
};

struct ReadAllJobResult {
    bool lineTaken = false;   // false: the port could not be opened; nothing was read
    ReadAllResult read;
    std::vector<JobMessage> messages;  // a stopped read: the groups not read
};

// Reads the chosen groups into `set` and marks them as the indicator's: whole, or in
// part when the read stopped.
ReadAllJobResult RunReadAllJob(Link &link, const TextService &texts, WorkingSet &set, const ReadAllJob &job);

// ---- send-all ----

struct SendAllJob {
    SendAllChoice choice;
    Model model = Model::ZR2;
    QString modelText;  // the connected model as its version text names it ("ZR2")
    QString version;    // the version text, when the front end knows it
    WeightFormat weight;
    // Asked (with the chosen memories that hold nothing) whether they may clear the
    // indicator's; false stops the send, nothing written. None: never.
    std::function<bool(const std::vector<BatchGroup> &blank)> allowClearing;
    // Whether a file of another indicator (or one naming none) is asked about, and the
    // operator who answers (the job's operator when none).
    bool askSameIndicator = true;
    Operator *sameIndicatorOperator = nullptr;
    QString restorePointFolder;  // a restore point there first (empty: none)
    DisconnectAction disconnect;
    QString note;
    HistoryTool tool = HistoryTool::Window;
    std::function<int()> skippedWrites;  // the tool's writes skipped so far (--on-failure ignore)
    // Hears of the restore point's file once it is saved, before the send begins.
    std::function<void(const QString &path)> restorePointMade = {};
};

enum class SendJobEnd {
    Sent,                // every group went whole
    Stopped,             // the send began and did not end whole (aborted, refused, probe refused)
    Unfit,               // a value cannot go (check.problem); nothing on the line
    NotCleared,          // a blank memory was not allowed to clear the indicator's; nothing on the line
    NoLine,              // the port could not be opened; nothing sent
    Declined,            // another indicator's file, not confirmed; nothing written
    RestorePointFailed,  // the restore point was not made; nothing written
};

struct SendAllJobResult {
    SendJobEnd end = SendJobEnd::NoLine;
    SendCheck check;
    RestorePointResult restorePoint;
    SendAllResult sent;
    std::optional<HistoryRecord> record;  // made when the send went on the line
    std::optional<QString> historyError;  // the record was not written: why
    std::vector<JobMessage> messages;
};

// In order: the check before a send, the question about blank memories, the line, the
// same-indicator question, the restore point, the send, the record; after a whole send
// the working set's groups sent count as on the indicator.
SendAllJobResult RunSendAllJob(Link &link, Operator &op, const TextService &texts, WorkingSet &set,
                               const SendAllJob &job);

// ---- the selective send ----

struct SelectiveSendJob {
    Selection selection;
    QString modelText;
    QString version;
    // The same-indicator question, as in a send-all; `confirmSend` instead when given.
    bool askSameIndicator = true;
    Operator *sameIndicatorOperator = nullptr;
    std::function<bool()> confirmSend;
    // The connected indicator's texts when the front end knows them (for the record when
    // no question read them).
    std::optional<IdentificationTexts> indicator;
    SelectiveSendContext context;
    QString note;
    HistoryTool tool = HistoryTool::Window;
    std::function<int()> skippedWrites;
};

struct SelectiveSendJobResult {
    bool lineTaken = false;
    SelectiveSendResult send;
    std::optional<HistoryRecord> record;  // made when the send went on the line
    std::optional<QString> historyError;
    QString message;  // SelectiveSendMessage: the groups sent, not read or not sent
};

// The selective send of `file` (not changed) inside a line of its own, and its record.
SelectiveSendJobResult RunSelectiveSendJob(Link &link, Operator &op, const WorkingSet &file,
                                           const SelectiveSendJob &job);

}  // namespace vx
