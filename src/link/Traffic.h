#pragma once
// What crossed the line, as the link reports it to whoever listens: every request
// written, every answer taken in (or its absence once the reading time is over)
// with the outcome the answer rule gives it, bytes that arrived unasked, and every
// line that went to the communication log "ZRxLog.txt".
//
// The link reports only while a listener is set; without one it formats nothing and
// allocates nothing for it. The window's communication monitor and `vextora-cli
// --trace` both print the events with FormatTrafficLine, so the two read the same.

#include "link/Answer.h"
#include "link/Frames.h"
#include "link/Tags.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace vx {

enum class TrafficDirection {
    Out,  // a request written to the port
    In,   // an answer taken in, its absence, or bytes that arrived unasked
    Log,  // a line appended to the communication log
};

struct TrafficEvent {
    double time = 0;                  // the link clock's seconds since midnight
    TrafficDirection direction = TrafficDirection::Out;
    QString frame;                    // as sent or received (Log: the log line)
    std::optional<int> reg;           // the register the request named
    QString value;                    // what the request asks or carries, what the answer says
    std::optional<double> answerSeconds;  // In: from the request handed to the port to the answer taken in
    std::optional<AnswerOutcome> outcome; // In: the answer rule's outcome (none for unasked bytes)
    bool logged = false;              // the line also went to "ZRxLog.txt"
};

class TrafficListener {
public:
    virtual ~TrafficListener() = default;
    // Called on the link's thread while the exchange runs: keep it short.
    virtual void traffic(const TrafficEvent &event) = 0;
};

// One line for an event:
//   "08:30:00.000 > 199 version: read 10 bytes  @0300C70005<CR>"
//   "08:30:00.005 < 199 version: = \"ZR2 1.00  \"  5 ms  whole  @030A...<CR>"
//   "08:30:00.175 < 199 version  175 ms  no answer"
//   "08:30:00.175 * ZRxLog: 07.12.2026 - ..."
// The time is the clock's time of day with milliseconds; ">" a request, "<" an
// answer, "*" a line that went to the communication log ("!" one that was meant for
// it but could not be written there). Control characters of a
// frame are shown as <CR>, <LF>, <1B>.
QString FormatTrafficLine(const TrafficEvent &event);

// The word of an outcome on a monitor line: whole, no answer, cut off, refused,
// busy, other frame, checksum mismatch.
QString TrafficOutcomeWord(AnswerOutcome outcome);

// The name of a register of the map ("version", "command"), empty for one without.
QString TrafficRegisterName(int reg);

// The value of a request: "read 10 bytes", "write 2 bytes = 19 (host on)",
// "write 20 bytes = \"text\"", "write 40 bytes = 0A0B..." (the "BY" hex as given).
QString TrafficReadRequestValue(int byteCount);
QString TrafficWriteValue(int reg, int byteCount, WriteTag tag, const QVariant &data);
// The value of a whole read answer's data field: up to four bytes as the hex and the
// number they make ("= 0013 (19)"), longer data as text in quotes when every byte is
// a printable character (trailing NULs dropped), otherwise as its hex.
QString TrafficReadValue(const QString &data);


}  // namespace vx
