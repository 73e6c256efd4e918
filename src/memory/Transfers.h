#pragma once
// The memories and the ticket layout on the indicator: reading them into the
// working copies and writing the configuration record's blocks back. Each is one
// memory session between the commands 19 and 20 on the command register; plain
// synchronous functions over the Link and its operator, run alike by the window,
// the command-line tool and the tests.
//
// The readers take a record only when every answer of it is confirmed (the selector
// and load command acknowledged, the record whole, an ID record under its own
// selector) and read it again otherwise, three tries in all (ReadRecord); they show
// language text 309, run `disconnect` and end when the indicator refuses or a
// record cannot be confirmed. A value lands in a model only from a whole answer.
// The writers go through the acknowledged write and stop when the operator chose
// Abort (Link::AbortRequested), which the caller clears before it starts a batch.
// Every sequence names its step through Operator::showStep (texts 253-255 reading,
// 265-267 sending) and drives ProgressId::Small and Main (reading) or Send (writing).

#include "link/WeightFormat.h"
#include "memory/IdMemory.h"
#include "memory/SetpointMemory.h"
#include "memory/TicketLayout.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace vx {

class Link;
class TextService;

enum class TransferResult {
    Completed,
    Aborted,   // AbortRequested stopped it (the operator's Abort, Escape)
    Refused,   // the indicator refused or did not answer: text 309, the disconnect action
    NotSent,   // refused before anything was sent: the data cannot go to the indicator
};

using DisconnectAction = std::function<void()>;

// ---- ID memory ----
// IDOKUHost: both ID headers, then records 0..100 into `memory`. A record that
// cannot be confirmed empties its row and ends the read.
TransferResult IDOKUHost(Link &link, IdMemory &memory, const TextService &texts, const DisconnectAction &disconnect);
// IDYaz: records 0..100 of the block, record 100 once more under the selector that
// follows the last one (227), then both ID headers (without their padding), each
// with its store command and their own waits; a header or store command not
// acknowledged after them goes into the transaction's retry series.
TransferResult IDYaz(Link &link, const IdMemoryBlock &block, const TextService &texts);

// ---- setpoint memory ----
// STPOKUHost: records 0..8 into `memory`, shown with the decimals of `weight`.
TransferResult STPOKUHost(Link &link, SetpointMemory &memory, const WeightFormat &weight, const TextService &texts,
                          const DisconnectAction &disconnect);
// STPYaz: records 0..8 of the block at the decimals of `weight`. A value with more
// digits than the write carries (or no number at all) is reported to the operator
// and nothing is sent (NotSent).
TransferResult STPYaz(Link &link, const SetpointMemoryBlock &block, const WeightFormat &weight,
                      const TextService &texts);
// The texts of STPYaz's refusal, one per value that cannot be sent ("SP Memory 3,
// Setpoint - 2: 1234567"); empty when every value can go.
QStringList SetpointsThatCannotBeSent(const SetpointMemoryBlock &block, int decimals);

// ---- ticket lines and EPL text ----
// ReadTicketLines: with Ticket the six lines as the indicator keeps them, blanks and all
// (the same whichever tab is shown), with Epl
// the EPL text, read in 8-byte chunks up to the first NUL. The EPL text changes
// only when the whole text has been read.
TransferResult ReadTicketLines(Link &link, TicketLayout &layout, PrinterKind kind, const TextService &texts,
                         const DisconnectAction &disconnect);

struct TicketWriteResult {
    TransferResult result = TransferResult::Completed;
    // Epl: the text as it went (trimmed, checked by EplKontrol, ending in CR LF); the
    // window puts it back into its EPL box.
    QString eplText;
};
// WriteTicketLines: with Ticket the six lines of the block (an empty line as 20 NULs) and
// command 4; with Epl the EPL text in 250 chunks of 4 bytes from register 217 and
// command 21.
TicketWriteResult WriteTicketLines(Link &link, const TicketBlock &block, PrinterKind kind, const TextService &texts);
// The EPL text as WriteTicketLines sends it, from the record's text.
QString EplTextToSend(const QString &recordText);
// The data of EPL chunk k (0..249) of a text: 4 characters as 8 hex digits, "00"
// for each character past its end.
QString EplChunkHex(const QString &text, int k);
inline constexpr int EplWriteChunks = 250;
inline constexpr int EplWriteChunkBytes = 4;
inline constexpr int EplReadChunks = 125;
inline constexpr int EplReadChunkBytes = 8;

}  // namespace vx
