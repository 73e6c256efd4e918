#pragma once
// Reading a record the indicator keeps in its memory: requests that store nothing
// (a selector written, a load command, the read of the working register) whose
// answers together tell whether what was read is the record asked for. A record
// that cannot be confirmed is read again, never taken for this one; a refusal
// ends the read at once.

#include "link/Answer.h"
#include "link/Tags.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace vx {

class Link;

// How one attempt at a record went, and how the reading of it ended.
enum class RecordCheck {
    Confirmed,    // every answer as it must be: the record is the one asked for
    Unconfirmed,  // an answer missing, cut off, not the acknowledgement, or not this record
    Refused,      // the indicator refused (AnswerOutcome::Refused)
    Aborted,      // AbortRequested was set before a further attempt (ReadRecord only)
};

// Attempts after the first one: three in all.
inline constexpr int RecordReadAgainTimes = 2;

// Runs `attempt` (select, load, read: all of it, each time) until it is confirmed,
// at most 1 + again times. A refusal ends it at once; an abort before a further
// attempt ends it too. Every attempt that is followed by another one is logged with
// the register it reads, and the line is let fall quiet before the next one.
// Returns the last attempt's check (or Aborted).
RecordCheck ReadRecord(Link &link, int reg, const std::function<RecordCheck()> &attempt,
                       int again = RecordReadAgainTimes);

// The judged answer to a write that stores nothing but must have been carried out
// (a selector): the write acknowledgement confirms it, a refusal refuses.
RecordCheck CheckWriteAnswer(const Answer &answer);
// The judged answer to a read: confirmed when it is a whole frame of the count
// asked for (a checksum mismatch included), refused on a refusal. *dataHex, when
// given, gets its data field.
RecordCheck CheckReadAnswer(const Answer &answer, QString *dataHex = nullptr);
// Reads byteCount bytes of `reg` (after preDelay) and decodes them as `tag` into
// *value: confirmed only for a whole answer that decodes, refused on a refusal.
// *dataHex, when given, gets the answer's data field.
RecordCheck ReadDecoded(Link &link, int reg, int byteCount, ReadTag tag, double preDelay, QVariant *value,
                        QString *dataHex = nullptr);

}  // namespace vx
