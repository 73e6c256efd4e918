#include "link/Frames.h"

#include "link/NumberTexts.h"
#include "link/Payloads.h"

namespace vx {
namespace {

QString addressField(const QString &address)
{
    const int value = AddressValue(address);
    return value != 0 ? FixedHex(value, 2) : QString();
}

}  // namespace

int AddressValue(const QString &address)
{
    // Like the original's number conversion: the leading decimal digits, anything else 0.
    const QString t = address.trimmed();
    int value = 0;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 255)  // an address field is one byte; larger texts are not addresses
            return 0;
    }
    return value;
}

QString ComputeLrc(const QString &body)
{
    unsigned sum = 0;
    for (int i = 0; i < body.size(); i += 2)
        sum += static_cast<unsigned>(HexByteValue(body.mid(i, 2)));
    const unsigned lrc = (256u - (sum % 256u)) % 256u;
    return FixedHex(lrc, 2);
}

QString BuildWriteFrame(const QString &address, int reg, int byteCount, bool checksumOn,
                        WriteTag dataType, const QVariant &data)
{
    const QString body = addressField(address) + QStringLiteral("10") + FixedHex(reg, 4)
        + FixedHex(byteCount / 2, 4) + FixedHex(byteCount, 2)
        + EncodeWriteData(dataType, data, byteCount);
    const QString checksum = checksumOn ? ComputeLrc(body) : QString();
    return QLatin1Char(FrameStart) + body + checksum + QLatin1Char(FrameEnd);
}

QString BuildReadFrame(const QString &address, int reg, int byteCount, bool checksumOn)
{
    const QString body = addressField(address) + QStringLiteral("03") + FixedHex(reg, 4)
        + FixedHex(byteCount / 2, 4);
    const QString checksum = checksumOn ? ComputeLrc(body) : QString();
    return QLatin1Char(FrameStart) + body + checksum + QLatin1Char(FrameEnd);
}

bool IsRefusal(const QString &answer, const QString &address)
{
    if (answer.size() < 2 || answer.at(0) != QLatin1Char(FrameStart) || answer.at(1) != QLatin1Char('8'))
        return false;
    const int addressValue = AddressValue(address);
    return addressValue == 0 || !FixedHex(addressValue, 2).startsWith(QLatin1Char('8'));
}

ReadAnswer ParseReadAnswer(const QString &answer, const QString &address, bool checksumOn,
                           int expectedByteCount)
{
    ReadAnswer r;
    if (answer.isEmpty())
        return r;  // Missing
    if (answer.at(0) != QLatin1Char(FrameStart)) {
        r.fault = AnswerFault::NoStart;
        return r;
    }
    const int addressValue = AddressValue(address);
    const QString addressText = addressValue != 0 ? FixedHex(addressValue, 2) : QString();
    if (IsRefusal(answer, address)) {
        r.fault = AnswerFault::Refused;
        return r;
    }
    if (!answer.endsWith(QLatin1Char(FrameEnd))) {
        r.fault = AnswerFault::CutOff;
        return r;
    }

    // Between "@" and the CR: [address] "03" count data [checksum].
    const QString body = answer.mid(1, answer.size() - 2);
    const int addressLength = int(addressText.size());
    const int checksumLength = checksumOn ? 2 : 0;
    const int dataLength = int(body.size()) - addressLength - 4 - checksumLength;
    if (dataLength < 0) {
        r.fault = AnswerFault::WrongLength;
        return r;
    }
    if (addressLength > 0 && body.left(addressLength).compare(addressText, Qt::CaseInsensitive) != 0) {
        r.fault = AnswerFault::WrongAddress;
        return r;
    }
    if (body.mid(addressLength, 2) != QLatin1String("03")) {
        r.fault = AnswerFault::WrongFunction;
        return r;
    }
    const QString countText = body.mid(addressLength + 2, 2);
    const QString data = body.mid(addressLength + 4, dataLength);
    for (const QString &field : {countText, data}) {
        for (QChar c : field) {
            if (!IsHexDigit(c)) {
                r.fault = AnswerFault::NotHex;
                return r;
            }
        }
    }
    const int count = HexByteValue(countText);
    if (dataLength != 2 * count || (expectedByteCount >= 0 && count != expectedByteCount)) {
        r.fault = AnswerFault::WrongLength;
        return r;
    }

    r.fault = AnswerFault::None;
    r.byteCount = count;
    r.data = data;
    if (checksumOn) {
        r.receivedChecksum = body.right(2);
        r.expectedChecksum = ComputeLrc(body.left(body.size() - 2));
    }
    return r;
}

bool IsCompleteReadAnswer(const QString &answer, const QString &address, bool checksumOn,
                          int expectedByteCount)
{
    return ParseReadAnswer(answer, address, checksumOn, expectedByteCount).complete();
}

QString AnswerFaultText(AnswerFault fault)
{
    switch (fault) {
    case AnswerFault::None: return QStringLiteral("whole answer");
    case AnswerFault::Missing: return QStringLiteral("no answer");
    case AnswerFault::NoStart: return QStringLiteral("no frame (no \"@\")");
    case AnswerFault::CutOff: return QStringLiteral("cut off (no CR)");
    case AnswerFault::Refused: return QStringLiteral("refused (\"@8\")");
    case AnswerFault::WrongAddress: return QStringLiteral("wrong address");
    case AnswerFault::WrongFunction: return QStringLiteral("wrong function code");
    case AnswerFault::WrongLength: return QStringLiteral("wrong length");
    case AnswerFault::NotHex: return QStringLiteral("not hex digits");
    }
    return {};
}

QString PrintableFrame(const QString &frame)
{
    QString out;
    out.reserve(frame.size() + 8);
    for (const QChar ch : frame) {
        if (ch == QLatin1Char('\r'))
            out += QStringLiteral("<CR>");
        else if (ch == QLatin1Char('\n'))
            out += QStringLiteral("<LF>");
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            out += QStringLiteral("<%1>").arg(ch.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += ch;
    }
    return out;
}

QString PrintableAnswer(const QString &text)
{
    constexpr int kMaxShown = 200;
    QString out = PrintableFrame(text.left(kMaxShown));
    if (text.size() > kMaxShown)
        out += QStringLiteral("...");
    return out;
}

namespace {
// "@" [address] function, the fields between, [checksum] CR.
int frameLength(const QString &address, int between, bool checksumOn)
{
    return 1 + (AddressValue(address) != 0 ? 2 : 0) + 2 + between + (checksumOn ? 2 : 0) + 1;
}
// The refusal "@8" + function + "01" carries no address field.
int refusalLength(bool checksumOn)
{
    return 1 + 2 + 2 + 2 + (checksumOn ? 2 : 0) + 1;
}
}  // namespace

int ReadAnswerLength(const QString &address, int byteCount, bool checksumOn)
{
    const int count = qBound(0, byteCount, 255);
    return qMax(frameLength(address, 2 + 2 * count, checksumOn), refusalLength(checksumOn));
}

int WriteAnswerLength(const QString &address, bool checksumOn)
{
    return qMax(frameLength(address, 4, checksumOn), refusalLength(checksumOn));
}

}  // namespace vx
