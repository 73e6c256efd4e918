#pragma once
// The one rule by which every sequence judges what the indicator answered: each
// exchange gives the raw text and a typed outcome beside it. A sequence asks the
// outcome ("refused?", "whole?"), never the text.
//
//   const Answer a = link.readAnswer(reg::Version, 10, 0.2);
//   if (a.missing() || a.refused()) ...
//   const QVariant value = link.valueOf(a, "Tx0", reg::Version);

#include "link/Frames.h"

#include <QString>

namespace vx {

enum class AnswerOutcome {
    Whole,             // a whole frame: the read answer of the count asked, or the write acknowledgement
    Missing,           // nothing came
    CutOff,            // a frame begun but without its final CR
    Refused,           // the indicator refused the request ("@8")
    Busy,              // the indicator cannot take the request now ("@9")
    OtherFrame,        // another function code or address, a wrong length, or noise
    ChecksumMismatch,  // a whole frame whose checksum differs: logged, still used (a write
                       // acknowledgement is judged by its echo)
};

struct Answer {
    QString raw;                                  // what came, as it came
    AnswerOutcome outcome = AnswerOutcome::Missing;
    AnswerFault fault = AnswerFault::Missing;     // a read answer's fault in detail (for the log)
    QString data;                                 // a read answer's data field when whole()
    int byteCount = -1;                           // the byte count asked for (-1: any)

    // A whole frame that may be used: the checksum mismatch included.
    bool whole() const { return outcome == AnswerOutcome::Whole || outcome == AnswerOutcome::ChecksumMismatch; }
    bool missing() const { return outcome == AnswerOutcome::Missing; }
    bool refused() const { return outcome == AnswerOutcome::Refused; }
    bool busy() const { return outcome == AnswerOutcome::Busy; }
    // What most sequences stop on: nothing came, or the indicator refused.
    bool missingOrRefused() const { return missing() || refused(); }
};

// The answer to a read of expectedByteCount bytes (-1: any count that matches the data).
Answer JudgeReadAnswer(const QString &raw, const QString &address, bool checksumOn, int expectedByteCount = -1);
// The answer to a write of byteCount bytes: Whole when it acknowledges the write.
// With the checksum on, an acknowledgement whose checksum differs (or is missing) is
// ChecksumMismatch: it still counts as the acknowledgement (whole()), as the echo says.
Answer JudgeWriteAnswer(const QString &raw, const QString &address, int byteCount, bool checksumOn = false);
// With the checksum on: whether a write acknowledgement carries the checksum of its
// own fields ("@" [address] "10" count, then the two checksum characters and CR).
bool WriteAcknowledgementChecksumMatches(const QString &raw, const QString &address);
// Whether an answer is the indicator's busy answer ("@9", whole or not). As with a
// refusal, only an address field that itself begins with "9" could start a real answer so.
bool IsBusyAnswer(const QString &raw, const QString &address);

// Short English name of an outcome, for logs and test names.
QString AnswerOutcomeName(AnswerOutcome outcome);

}  // namespace vx
