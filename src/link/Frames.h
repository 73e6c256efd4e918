#pragma once
// Frames of the indicator's register protocol: request frames, the LRC checksum,
// and taking an answer apart. All functions are pure.

#include "link/Tags.h"

#include <QString>
#include <QVariant>

namespace vx {

inline constexpr char FrameStart = '@';
inline constexpr char FrameEnd = '\r';

// Numeric value of a device address text ("", "00".."99"); 0 means "no address field".
int AddressValue(const QString &address);

QString ComputeLrc(const QString &body);

// Complete request texts, carriage return included.
QString BuildWriteFrame(const QString &address, int reg, int byteCount, bool checksumOn,
                        WriteTag dataType, const QVariant &data);
QString BuildReadFrame(const QString &address, int reg, int byteCount, bool checksumOn);

// ---- answers to a read -------------------------------------------------------
// An answer counts only as a whole frame: "@", the address field when an address is
// set, the function code "03", a byte count that matches the data, the checksum
// when it is on, and the final CR. Everything else is one of these faults.
enum class AnswerFault {
    None,           // a whole frame
    Missing,        // nothing came
    NoStart,        // does not begin with "@" (noise)
    CutOff,         // no final CR: the answer was cut off
    Refused,        // "@8...": the indicator refused the request
    WrongAddress,   // another address field, or none where one is set
    WrongFunction,  // not the function code of a read answer
    WrongLength,    // byte count, data and frame length do not agree, or not the count asked for
    NotHex,         // characters other than hex digits inside the frame
};

// A read answer taken apart. data, byteCount and the checksum fields are set only
// for a whole frame.
struct ReadAnswer {
    AnswerFault fault = AnswerFault::Missing;
    QString data;                // the data field, two hex digits a byte
    int byteCount = -1;          // the byte count field
    QString receivedChecksum;    // with the checksum on: the two characters before the CR
    QString expectedChecksum;    // ...and what they should be
    bool complete() const { return fault == AnswerFault::None; }
    bool checksumMatches() const { return receivedChecksum == expectedChecksum; }
};

// A refusal: an answer beginning "@8", whole or not, to a read or a write. Only an
// address field that itself begins with "8" (an address above 127) could start a
// real answer so.
bool IsRefusal(const QString &answer, const QString &address);

// expectedByteCount: the byte count the request asked for; -1 accepts any count
// that matches the data. A checksum that does not match still gives a whole frame
// (the caller logs it and uses the value).
ReadAnswer ParseReadAnswer(const QString &answer, const QString &address, bool checksumOn,
                           int expectedByteCount = -1);
bool IsCompleteReadAnswer(const QString &answer, const QString &address, bool checksumOn,
                          int expectedByteCount = -1);
// Short English reason for the communication log ("cut off (no CR)", ...).
QString AnswerFaultText(AnswerFault fault);
// Frame text with its control characters spelt out (<CR>, <LF>, <1B>), never cut.
QString PrintableFrame(const QString &frame);
// Received text for a log line: the same, with long texts cut.
QString PrintableAnswer(const QString &text);

// Longest answer a request can get, in characters (a refusal included): a read of
// byteCount bytes, a write, and any answer of the protocol at all.
int ReadAnswerLength(const QString &address, int byteCount, bool checksumOn);
int WriteAnswerLength(const QString &address, bool checksumOn);
inline constexpr int LongestAnswerLength = 1 + 2 + 2 + 2 + 2 * 255 + 2 + 1;

}  // namespace vx
