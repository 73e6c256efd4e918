#pragma once
// Read-all and send-all: the groups of the working set read from the connected
// indicator, or written to it, one after the other in their fixed order, as plain
// synchronous sequences over the Link and its operator. The window's panels and
// vextora-cli decide which groups run and pass that in; the order never depends
// on it. The caller opens the port before and closes it after.

#include "link/Model.h"
#include "link/WeightFormat.h"
#include "memory/TicketLayout.h"
#include "memory/Transfers.h"
#include "monitor/Status.h"
#include "params/Transfer.h"

#include <functional>
#include <optional>
#include <vector>

namespace vx {

class Link;
class TextService;
class WorkingSet;

enum class BatchOutcome {
    Completed,     // every chosen group ran to its end
    Aborted,       // AbortRequested stopped it (the operator's Abort, Escape, cancel)
    Refused,       // a group's reader met a refusal or no answer (text 309, the disconnect action)
    NotSent,       // the data cannot go (a value the check before a send refused, no range); nothing was sent
    ProbeRefused,  // send-all: the indicator did not take command 3 (texts 313 and 309); nothing was sent
};

// The groups a batch runs, each once, in the order they run: the read-all's header,
// ID, setpoint, parameters and status; the send-all's header, ID, setpoint, then
// inside the parameter step date and time, calibration, Jmp and Nrm.
enum class BatchGroup { Header, Id, Setpoint, Parameters, Status, DateTime, Calibration, Jmp, Nrm };

enum class GroupOutcome {
    Done,    // read, or sent, whole
    Failed,  // begun and not ended: refused, not answered, stopped in it, or its data could not go
    NotRun,  // not begun: the batch had stopped before it (or, in a send, the probe was refused)
};

struct GroupResult {
    BatchGroup group;
    GroupOutcome outcome;
};

// The panel's caption of the group (the read panel's or the send panel's check box).
QString BatchGroupCaption(BatchGroup group, const TextService &texts, bool send);
// After a batch that stopped: "Not sent: ..." (send) or "Not read: ..." naming every
// chosen group that failed or did not run, in their order; empty when all were done.
QString GroupsNotDoneText(const std::vector<GroupResult> &groups, const TextService &texts, bool send);

// The groups of the read-all panel, in the order they run (SSCheck1 0-4; "Alibi"
// and "P.Dara Hafıza" read nothing).
struct ReadAllChoice {
    bool header = false;      // ReadTicketLines: the ticket lines, or the EPL text with the EPL printer
    bool id = false;          // IDOKUHost
    bool setpoint = false;    // STPOKUHost
    bool parameters = false;  // ParametreHostOku
    bool status = false;      // StatuOku
    PrinterKind printer = PrinterKind::Ticket;
    Model model = Model::ZR2;
};

struct ReadAllResult {
    BatchOutcome outcome = BatchOutcome::Completed;
    std::optional<StatusReading> status;  // when the status group ran
    std::vector<int> sendBoxesToTick;     // the parameter read's send boxes (SSCheck2)
    std::vector<GroupResult> groups;      // every chosen group, in the order they run
};

// Without the indicator's range (weight not known) the setpoints and the parameters
// (their weight rows) cannot be read: the message, NotSent, nothing on the line.
// Clears AbortRequested, then reads each chosen group into the working set's models
// while AbortRequested stays clear; a group that does not complete ends the batch.
// Setpoints are shown with the decimals of `weight`.
ReadAllResult ReadAll(Link &link, WorkingSet &set, const TextService &texts, const ReadAllChoice &choice,
                      const WeightFormat &weight, const DisconnectAction &disconnect = {});

// The groups of the send-all panel (SSCheck2 0, 1, 3 and 5-8; "P.Dara Hafıza" and
// "Alibi" send nothing).
struct SendAllChoice {
    bool header = false;    // WriteTicketLines from the record
    bool id = false;        // IDYaz from the record
    bool setpoint = false;  // STPYaz from the record
    WriteGroups parameters; // inside ParametreHostYaz, from the parameter set
    PrinterKind printer = PrinterKind::Ticket;
    // Hears of each chosen group as it begins (what the tool's skipped writes belong to).
    std::function<void(BatchGroup)> groupStarted;
};

struct SendAllResult {
    BatchOutcome outcome = BatchOutcome::Completed;
    bool dateTimeSkipped = false;  // row 1 held no date and time: the clock was not written
    std::vector<GroupResult> groups;  // every chosen group, in the order they run
};

// Without the indicator's range the setpoints and the parameters' weight rows (the
// Nrm group) cannot be sent: the message, NotSent, nothing on the line. Nor can a
// chosen group with a value the check before a send refuses (files/SendCheck.h, for
// the model the parameter set is laid out for): its message, NotSent.
// Command 3 as a probe (texts 313 and 309 when the indicator does not take it), then
// with AbortRequested cleared: the header, the ID memory, the setpoint memory, the
// parameters, each while AbortRequested stays clear. The memories go from the working
// record, which the collectors have filled; the parameters from the parameter set.
// After an EPL send the text as it went is put back into the ticket layout.
SendAllResult SendAll(Link &link, WorkingSet &set, const TextService &texts, const SendAllChoice &choice,
                      const WeightFormat &weight);

// What the send panel reads when it opens: register 25 on the port, decoded the same
// whichever tab is shown. Nothing when no whole answer came.
std::optional<HardwareStatus> SendPanelHardwareStatus(Link &link);

}  // namespace vx
