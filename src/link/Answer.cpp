#include "link/Answer.h"

#include "link/NumberTexts.h"
#include "link/Transaction.h"

namespace vx {
namespace {

// An answer beginning "@" and `digit` whose address field (if any) does not itself
// begin with that digit.
bool beginsWithCode(const QString &raw, const QString &address, QChar digit)
{
    if (raw.size() < 2 || raw.at(0) != QLatin1Char(FrameStart) || raw.at(1) != digit)
        return false;
    const int addressValue = AddressValue(address);
    return addressValue == 0 || !FixedHex(addressValue, 2).startsWith(digit);
}

}  // namespace

bool IsBusyAnswer(const QString &raw, const QString &address)
{
    return beginsWithCode(raw, address, QLatin1Char('9'));
}

Answer JudgeReadAnswer(const QString &raw, const QString &address, bool checksumOn, int expectedByteCount)
{
    Answer a;
    a.raw = raw;
    a.byteCount = expectedByteCount;
    const ReadAnswer parsed = ParseReadAnswer(raw, address, checksumOn, expectedByteCount);
    a.fault = parsed.fault;
    switch (parsed.fault) {
    case AnswerFault::None:
        a.data = parsed.data;
        a.outcome = checksumOn && !parsed.checksumMatches() ? AnswerOutcome::ChecksumMismatch : AnswerOutcome::Whole;
        break;
    case AnswerFault::Missing: a.outcome = AnswerOutcome::Missing; break;
    case AnswerFault::Refused: a.outcome = AnswerOutcome::Refused; break;
    case AnswerFault::CutOff:
        a.outcome = IsBusyAnswer(raw, address) ? AnswerOutcome::Busy : AnswerOutcome::CutOff;
        break;
    case AnswerFault::NoStart:
    case AnswerFault::WrongAddress:
    case AnswerFault::WrongFunction:
    case AnswerFault::WrongLength:
    case AnswerFault::NotHex:
        a.outcome = IsBusyAnswer(raw, address) ? AnswerOutcome::Busy : AnswerOutcome::OtherFrame;
        break;
    }
    return a;
}

bool WriteAcknowledgementChecksumMatches(const QString &raw, const QString &address)
{
    // Between "@" and the CR: [address] "10" and the count (6), the checksum (2).
    const int fields = (AddressValue(address) != 0 ? 2 : 0) + 6;
    if (raw.size() != 1 + fields + 2 + 1 || raw.at(0) != QLatin1Char(FrameStart) ||
        raw.back() != QLatin1Char(FrameEnd))
        return false;
    return raw.mid(1 + fields, 2) == ComputeLrc(raw.mid(1, fields));
}

Answer JudgeWriteAnswer(const QString &raw, const QString &address, int byteCount, bool checksumOn)
{
    Answer a;
    a.raw = raw;
    a.byteCount = byteCount;
    a.fault = AnswerFault::None;
    // The acknowledgement is recognised by its echo alone, as the retry series does;
    // a checksum that does not match is told apart so that the trace and the log show it.
    if (IsWriteAcknowledgement(address, raw, byteCount))
        a.outcome = checksumOn && !WriteAcknowledgementChecksumMatches(raw, address) ? AnswerOutcome::ChecksumMismatch
                                                                                      : AnswerOutcome::Whole;
    else if (raw.isEmpty())
        a.outcome = AnswerOutcome::Missing;
    else if (IsRefusal(raw, address))
        a.outcome = AnswerOutcome::Refused;
    else if (IsBusyAnswer(raw, address))
        a.outcome = AnswerOutcome::Busy;
    else if (raw.at(0) == QLatin1Char(FrameStart) && !raw.endsWith(QLatin1Char(FrameEnd)))
        a.outcome = AnswerOutcome::CutOff;
    else
        a.outcome = AnswerOutcome::OtherFrame;
    if (a.outcome == AnswerOutcome::Missing)
        a.fault = AnswerFault::Missing;
    return a;
}

QString AnswerOutcomeName(AnswerOutcome outcome)
{
    switch (outcome) {
    case AnswerOutcome::Whole: return QStringLiteral("whole");
    case AnswerOutcome::Missing: return QStringLiteral("missing");
    case AnswerOutcome::CutOff: return QStringLiteral("cut off");
    case AnswerOutcome::Refused: return QStringLiteral("refused");
    case AnswerOutcome::Busy: return QStringLiteral("busy");
    case AnswerOutcome::OtherFrame: return QStringLiteral("other frame");
    case AnswerOutcome::ChecksumMismatch: return QStringLiteral("checksum mismatch");
    }
    return {};
}

}  // namespace vx
