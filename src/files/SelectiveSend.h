#pragma once
// Sending only the ticked rows of a file. A parameter write block carries many rows
// (149/10 rows 3-11; 154/12 and 160/14 rows 13-27; 183/14 rows 51-60; 128/20 rows
// 62-68 and the raw calibration values), so the blocks are never built from the file
// alone: just before the send the groups concerned are read again from the indicator,
// each is built from the indicator's values with only the ticked rows taken from the
// file, and the whole groups go through the send-all's own sequences in their usual
// order. The raw calibration values come from the indicator unless the calibration
// itself (its one row in the compare) is ticked.
//
// The smallest units: a parameter row (inside its group), an ID record, an ID header,
// a setpoint record (all three values), the six ticket lines together (command 4),
// the EPL text. The ticket lines and the EPL text are whole groups of their own: they
// are not read again.

#include "files/Batch.h"
#include "files/Compare.h"
#include "files/SendCheck.h"

#include <QString>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace vx {

class LanguageTexts;

struct Selection {
    std::set<int> parameterRows;  // grid rows (the raw calibration rows go with `calibration`)
    bool calibration = false;     // the raw zero and span values from the file
    std::set<int> idRecords;      // 0..100
    std::set<int> idHeaders;      // 0, 1
    std::set<int> setpointRecords;  // 0..8
    bool ticketLines = false;     // the six lines, command 4
    bool eplText = false;

    bool empty() const;
    // Ticks the unit a compare's difference stands for (a preset tare has none: it
    // never goes to the indicator).
    void tick(const Difference &d);
    // Every unit of the differences (what "tick all" gives).
    static Selection of(const Differences &differences);
    // How many units are ticked.
    int count() const;
};

// A list as the tool takes it: "101,row:63,id:3,idheader:1,setpoint:2,ticket,epl,
// calibration". A plain number is a parameter code (one that names one row only);
// "id:N" and "setpoint:N" count from 1 as the pages do ("id:1" the first current ID,
// "idmemory:N" the stored record N), "row:N" is a grid row. Nothing, with the word
// that is wrong in `bad`, when a word names nothing that can be sent.
std::optional<Selection> ParseSelection(const QString &list, QString *bad);

enum class SelectiveOutcome {
    Sent,            // every group concerned went whole
    NothingTicked,   // nothing to send; nothing on the line
    BothPrinters,    // the ticket lines and the EPL text ticked together; nothing on the line
    Declined,        // confirmSend said no; nothing on the line
    ReadFailed,      // a group concerned was not read again whole; nothing written
    NothingDiffers,  // every ticked unit already holds the file's value; nothing written
    Unfit,           // a value the check before a send refuses (`problem`); nothing written
    RestorePointFailed,  // the restore point was not made (`restorePointError`); nothing written
    SendStopped,     // the send began and did not end (aborted, refused, not sent)
};

struct SelectiveSendResult {
    SelectiveOutcome outcome = SelectiveOutcome::NothingTicked;
    std::vector<GroupResult> read;  // the groups read again, as the read-all reports them
    SendAllResult sent;             // the send-all of the groups concerned
    // What the indicator held against what went, for the ticked units only (a ticked
    // row that already held the file's value is not listed). Column a: the indicator.
    Differences changed;
    // The groups concerned, in the send's order (for the messages).
    std::vector<BatchGroup> groups;
    std::optional<SendProblem> problem;  // Unfit: the first value that cannot go
    QString restorePoint;                // the restore point written before the send (empty: none)
    QString restorePointError;           // RestorePointFailed: the message...
    bool restorePointUnread = false;     // ...and whether it was the indicator that did not answer
};

// The groups the selection concerns, in the send-all's order.
std::vector<BatchGroup> SelectionGroups(const Selection &selection);

struct SelectiveSendContext {
    const TextService &texts;
    WeightFormat weight;            // the indicator's range, as the send-all needs it
    Model model = Model::ZR2;
    // Asked before anything goes on the line (e.g. whether a file of another indicator
    // may be sent); false stops the send: Declined.
    std::function<bool()> confirmSend;
    DisconnectAction disconnect;    // for a refused re-read, as the read-all runs it
    // A restore point in this folder (empty: none): the groups read again, as the
    // indicator held them, saved before anything is written. The ticket lines or the
    // EPL text, when ticked, are read again for it too.
    QString restorePointFolder;
};

// The caller holds the line (LineLease). `file` is the file's working set as shown
// (opened and shown, or the window's); it is not changed. In order: confirmSend, the
// restore point's folder, the groups read again, the ticked units compared (nothing
// written when none differs), the groups built and checked (files/SendCheck.h), the
// restore point saved, the send.
SelectiveSendResult SelectiveSend(Link &link, const WorkingSet &file, const Selection &selection,
                                  const SelectiveSendContext &context);

// What the window and the tool say after it: the groups sent, the groups not read again
// whole (nothing written), the groups a stopped send did not send; empty after Declined.
QString SelectiveSendMessage(const SelectiveSendResult &result, const TextService &texts);

}  // namespace vx
