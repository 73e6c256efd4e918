#include "link/Codec.h"

#include "link/Cp1254.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace vx {
namespace {

constexpr QChar kDegree(0x00B0);  // "°" separates the fields of ID and setpoint records

// Value of one hexadecimal digit; any other character counts 0.
int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return 0;
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

// One byte written as two hex digits; a single trailing character is taken alone.
int hexByteValue(const QString &pair)
{
    int value = 0;
    for (QChar c : pair)
        value = value * 16 + hexDigitValue(c);
    return value;
}

// A number as upper-case hex text of exactly `width` digits: the two's complement
// for negatives, cut to its low-order digits when it is longer than the field.
QString hexField(qint64 value, int width)
{
    const QString digits = QString::number(static_cast<quint64>(value), 16).toUpper();
    if (value < 0 && width > digits.size())
        return QString(width - digits.size(), QLatin1Char('F')) + digits;
    return PadLeftZeros(digits, width);
}

// The integer an LG write carries: numbers are rounded, texts are read as numbers.
qint64 numberArgument(const QVariant &data)
{
    switch (data.typeId()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
        return data.toLongLong();
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return static_cast<qint64>(data.toULongLong());
    case QMetaType::Bool:
        return data.toBool() ? 1 : 0;
    case QMetaType::Double:
    case QMetaType::Float:
        return RoundHalfEven(data.toDouble());
    default:
        break;
    }
    if (!data.isValid())
        return 0;
    return RoundHalfEven(ReadLeadingNumber(data.toString()).value_or(0.0));
}

// Each character as two hex digits of its code-page byte.
QString textToHex(const QString &text)
{
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text)
        out += hexField(cp1254::fromUnicode(c), 2);
    return out;
}

QString encodeId(const QString &arg)
{
    if (arg.isEmpty())
        return {};
    QString field = hexField(cp1254::fromUnicode(arg.at(0)), 2);
    if (arg.size() == 1)
        return field + QStringLiteral("00");
    const QString rest = arg.mid(1);
    const int sep = rest.indexOf(kDegree);
    if (sep < 0)
        return {};
    field += hexField(RoundHalfEven(ReadLeadingNumber(rest.left(sep)).value_or(0.0)), 8);
    field += textToHex(rest.mid(sep + 1));
    field += QStringLiteral("0000");
    return field;
}

QString encodeIdHeader(const QString &arg)
{
    if (arg.isEmpty())
        return {};
    return PadLeftZeros(QString(arg.at(0)), 2) + textToHex(arg.mid(1)) + QStringLiteral("00");
}

QString encodeSetpoint(const QString &arg)
{
    if (arg.isEmpty())
        return {};
    QString field = hexField(cp1254::fromUnicode(arg.at(0)), 2);
    if (arg.size() == 1)
        return field + QStringLiteral("00");
    // Scanning ends at a carriage return; whatever follows it is not part of the record.
    QString rest = arg.mid(1);
    const int cr = rest.indexOf(QLatin1Char('\r'));
    if (cr >= 0)
        rest.truncate(cr);
    int sep;
    while (!rest.isEmpty() && (sep = rest.indexOf(kDegree)) >= 0) {
        field += hexField(RoundHalfEven(ReadLeadingNumber(rest.left(sep)).value_or(0.0)), 8);
        rest.remove(0, sep + 1);
    }
    // The last number: a decimal point typed by the user is read as the decimal comma.
    // When nothing follows the last "°" there is no last number to send.
    if (!rest.isEmpty())
        field += hexField(RoundHalfEven(ReadLeadingNumber(PointToComma(rest)).value_or(0.0)), 8);
    return field + QStringLiteral("00");
}

QString encodeData(WriteTag tag, const QVariant &data, int byteCount)
{
    switch (tag.kind()) {
    case WriteKind::LG:
        return hexField(numberArgument(data), qMax(0, 2 * byteCount));
    case WriteKind::BY:
        return data.toString();
    case WriteKind::TX:
        return textToHex(data.toString());
    case WriteKind::ID:
        return encodeId(data.toString());
    case WriteKind::IDH:
        return encodeIdHeader(data.toString());
    case WriteKind::SPT:
        return encodeSetpoint(data.toString());
    }
    return {};
}

QString addressField(const QString &address)
{
    const int value = AddressValue(address);
    return value != 0 ? hexField(value, 2) : QString();
}

// Signed 32-bit reading of up to 8 hex digits ("FFFFFFFF" is -1).
qint32 signed32(const QString &hex)
{
    quint32 value = 0;
    for (QChar c : hex)
        value = value * 16 + static_cast<quint32>(hexDigitValue(c));
    return static_cast<qint32>(value);
}

// Text made of the bytes of a hex data field, two characters per byte.
QString hexToText(const QString &data, bool dropLineFeeds, bool dropNuls)
{
    QString out;
    out.reserve(data.size() / 2 + 1);
    for (int i = 0; i < data.size(); i += 2) {
        const QString pair = data.mid(i, 2);
        if (dropLineFeeds && pair == QLatin1String("0A"))
            continue;
        if (dropNuls && pair == QLatin1String("00"))
            continue;
        out.append(cp1254::toUnicode(static_cast<unsigned char>(hexByteValue(pair) & 0xFF)));
    }
    return out;
}

QString decodeTarih(const QString &data, DecodeContext &ctx)
{
    const QString seconds = data.mid(0, 2);
    const QString minutes = data.mid(2, 2);
    const QString hours = data.mid(4, 2);
    const QString weekday = data.mid(6, 2);
    const QString day = data.mid(8, 2);
    const QString month = data.mid(10, 2);
    const QString year = data.mid(12, 2);
    ctx.weekdayText = QStringLiteral(" \\ ") + WeekdayName(weekday, ctx.weekdayNames);
    return day + QLatin1Char('-') + month + QLatin1Char('-') + year + QStringLiteral(" \\ ") + hours
        + QLatin1Char(':') + minutes + QLatin1Char(':') + seconds;
}

}  // namespace

QString PadLeftZeros(const QString &value, int width)
{
    if (width <= 0)
        return {};
    if (value.size() >= width)
        return value.right(width);
    return QString(width - value.size(), QLatin1Char('0')) + value;
}

QString PadLeftZeros(qint64 value, int width)
{
    return PadLeftZeros(QString::number(value), width);
}

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
        sum += static_cast<unsigned>(hexByteValue(body.mid(i, 2)));
    const unsigned lrc = (256u - (sum % 256u)) % 256u;
    return hexField(lrc, 2);
}

QString BuildWriteFrame(const QString &address, int reg, int byteCount, bool checksumOn,
                        WriteTag dataType, const QVariant &data)
{
    const QString body = addressField(address) + QStringLiteral("10") + hexField(reg, 4)
        + hexField(byteCount / 2, 4) + hexField(byteCount, 2)
        + encodeData(dataType, data, byteCount);
    const QString checksum = checksumOn ? ComputeLrc(body) : QString();
    return QLatin1Char(FrameStart) + body + checksum + QLatin1Char(FrameEnd);
}

QString BuildReadFrame(const QString &address, int reg, int byteCount, bool checksumOn)
{
    const QString body = addressField(address) + QStringLiteral("03") + hexField(reg, 4)
        + hexField(byteCount / 2, 4);
    const QString checksum = checksumOn ? ComputeLrc(body) : QString();
    return QLatin1Char(FrameStart) + body + checksum + QLatin1Char(FrameEnd);
}

bool IsRefusal(const QString &answer, const QString &address)
{
    if (answer.size() < 2 || answer.at(0) != QLatin1Char(FrameStart) || answer.at(1) != QLatin1Char('8'))
        return false;
    const int addressValue = AddressValue(address);
    return addressValue == 0 || !hexField(addressValue, 2).startsWith(QLatin1Char('8'));
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
    const QString addressText = addressValue != 0 ? hexField(addressValue, 2) : QString();
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
            if (!isHexDigit(c)) {
                r.fault = AnswerFault::NotHex;
                return r;
            }
        }
    }
    const int count = hexByteValue(countText);
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

QString PrintableAnswer(const QString &text)
{
    constexpr int kMaxShown = 200;
    QString out;
    for (const QChar ch : text.left(kMaxShown)) {
        if (ch == QLatin1Char('\r'))
            out += QStringLiteral("<CR>");
        else if (ch == QLatin1Char('\n'))
            out += QStringLiteral("<LF>");
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            out += QStringLiteral("<%1>").arg(ch.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += ch;
    }
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

QVariant DecodeAnswer(const QString &answer, ReadTag dataType, const QString &address,
                      bool checksumOn, int reg, DecodeContext &ctx, int expectedByteCount)
{
    const ReadAnswer parsed = ParseReadAnswer(answer, address, checksumOn, expectedByteCount);
    const QString logPrefix = ctx.shortDate + QStringLiteral(" - [") + PadLeftZeros(reg, 3) + QStringLiteral("]");
    if (!parsed.complete()) {
        // Nothing that is not a whole frame becomes a value. What came is logged once.
        if (parsed.fault != AnswerFault::Missing && ctx.log)
            ctx.log(logPrefix + QStringLiteral("--- ") + AnswerFaultText(parsed.fault) + QStringLiteral(": ")
                    + PrintableAnswer(answer));
        return {};
    }
    if (checksumOn && !parsed.checksumMatches() && ctx.log)
        ctx.log(logPrefix + QStringLiteral("-[") + hexField(parsed.byteCount / 2, 4)
                + QStringLiteral("]--- CHKSum Hatası..."));

    // A whole frame without data (byte count 0) is no value either: the caller must
    // be able to tell it from a zero or a blank text.
    const QString &data = parsed.data;
    if (data.isEmpty())
        return {};
    switch (dataType.kind()) {
    case ReadKind::LG:
        return QVariant::fromValue<qint64>(HexToNumber(data).value_or(0));
    case ReadKind::Tx: {
        const bool keepAll = ctx.currentTab == Tab::Status;
        return hexToText(data, !keepAll, !keepAll && ctx.currentTab == Tab::Header);
    }
    case ReadKind::Tx1:
        return hexToText(data, false, false);
    case ReadKind::ID: {
        const QString type = hexToText(data.left(2), false, false);
        const qint32 number = signed32(data.mid(2, 8));
        const QString text = hexToText(data.mid(10), false, false).left(16);
        return type + QString::number(number) + kDegree + text;
    }
    case ReadKind::IDB:
        return hexToText(data.mid(2), false, false);
    case ReadKind::STP: {
        QStringList numbers;
        for (int i = 0; i < 3; ++i)
            numbers << QString::number(signed32(data.mid(2 + 8 * i, 8)));
        return numbers.join(kDegree);
    }
    case ReadKind::Tarih:
        return decodeTarih(data, ctx);
    case ReadKind::Hex:
        return data;
    }
    return {};
}

std::optional<qint64> HexToNumber(const QString &hexText)
{
    if (hexText.isEmpty())
        return std::nullopt;

    // A text starting with upper-case "F" is a negative number in two's complement:
    // 16-bit up to four digits, 32-bit for five to eight. Longer texts and texts with
    // other characters would overflow or fail in the original; they are read like
    // any other text below.
    if (hexText.at(0) == QLatin1Char('F') && hexText.size() <= 8) {
        bool allHex = true;
        for (QChar c : hexText)
            allHex = allHex && isHexDigit(c);
        if (allHex) {
            quint64 value = 0;
            for (QChar c : hexText)
                value = value * 16 + static_cast<quint64>(hexDigitValue(c));
            if (hexText.size() <= 4)
                return static_cast<qint64>(static_cast<qint16>(static_cast<quint16>(value)));
            return static_cast<qint64>(static_cast<qint32>(static_cast<quint32>(value)));
        }
    }

    // Everything from the first "," on is ignored; other characters count 0. A value
    // beyond the 64-bit range (more than 15 significant digits) is held at the largest
    // number rather than wrapping to a wrong or negative value.
    const int comma = hexText.indexOf(QLatin1Char(','));
    const QString digits = comma >= 0 ? hexText.left(comma) : hexText;
    constexpr quint64 kMax = static_cast<quint64>(std::numeric_limits<qint64>::max());
    quint64 value = 0;
    for (QChar c : digits) {
        const auto d = static_cast<quint64>(hexDigitValue(c));
        if (value > (kMax - d) / 16)
            return std::numeric_limits<qint64>::max();
        value = value * 16 + d;
    }
    return static_cast<qint64>(value);
}

QString WeekdayName(const QString &code, const QStringList &weekdayNames)
{
    static const QStringList codes = {QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("02"),
                                      QStringLiteral("03"), QStringLiteral("04"), QStringLiteral("05"),
                                      QStringLiteral("06")};
    const int index = codes.indexOf(code);
    if (index < 0 || index >= weekdayNames.size())
        return {};
    return weekdayNames.at(index);
}

QString CommaToPoint(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    out.remove(QLatin1Char('%'));
    return out;
}

QString PointToComma(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('.'), QLatin1Char(','));
    return out;
}

QString StripDecimalPoint(const QString &text)
{
    QString out = CommaToPoint(text);
    out.remove(QLatin1Char('.'));
    return out;
}

QString FormatWithDecimals(const QString &digits, const QString &referenceValue)
{
    if (referenceValue.isEmpty())
        return digits;
    QString value = digits;
    QString sign;
    if (value.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        value.remove(0, 1);
    }
    value = QString(10, QLatin1Char('0')) + StripDecimalPoint(value);
    QString reference = referenceValue;
    reference.replace(QLatin1Char(','), QLatin1Char('.'));
    const int length = reference.size();
    const int pointPos = reference.indexOf(QLatin1Char('.')) + 1;  // 1-based, 0 when absent
    // The reference's layout gives the width (leading zeros fill it) and the decimals; a
    // value with more digits than the layout keeps them all in front of the point.
    qsizetype significant = value.size();
    for (const QChar c : value) {
        if (c != QLatin1Char('0'))
            break;
        --significant;
    }
    QString result;
    if (pointPos > 1) {
        const qsizetype decimals = length - pointPos;
        result = value.right(qMax<qsizetype>(length - 1, significant));
        result.insert(qMax<qsizetype>(result.size() - decimals, 0), QLatin1Char('.'));
    } else {
        result = value.right(qMax<qsizetype>(length, significant));
    }
    return sign + result;
}

QString InsertDecimalComma(const QString &digits, int decimals)
{
    QString value = digits;
    QString sign;
    if (value.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        value.remove(0, 1);
    }
    if (decimals > 0 && value.size() < decimals) {
        // The original padded to decimals + 2 - length characters, which leaves too few
        // digits (and fails) when the text has three or more digits but fewer than the
        // decimals; at least decimals + 1 characters gives the same result wherever the
        // original worked and a correct one elsewhere.
        const int target = qMax(decimals + 2 - static_cast<int>(value.size()), decimals + 1);
        value = PadLeftZeros(value, target);
    }
    if (decimals > 0)
        value = value.left(value.size() - decimals) + QLatin1Char(',') + value.right(decimals);
    if (value.startsWith(QLatin1Char(',')) || value.startsWith(QLatin1Char('.')))
        value.prepend(QLatin1Char('0'));
    return sign + value;
}

std::optional<double> ReadLeadingNumber(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    QString normalized;
    bool seenSeparator = false;
    bool seenDigit = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            normalized.append(c);
            seenDigit = true;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !seenSeparator) {
            seenSeparator = true;
            normalized.append(QLatin1Char('.'));
        } else {
            break;
        }
    }
    bool ok = false;
    const double value = normalized.toDouble(&ok);
    if (!seenDigit || !ok)
        return std::nullopt;
    return negative ? -value : value;
}


QString ReadTag::name() const
{
    switch (m_kind) {
    case ReadKind::LG: return QStringLiteral("LG");
    case ReadKind::Tx: return QStringLiteral("Tx");
    case ReadKind::Tx1: return QStringLiteral("Tx1");
    case ReadKind::ID: return QStringLiteral("ID");
    case ReadKind::IDB: return QStringLiteral("IDB");
    case ReadKind::STP: return QStringLiteral("STP");
    case ReadKind::Tarih: return QStringLiteral("Tarih");
    case ReadKind::Hex: return QStringLiteral("Hex");
    }
    return {};
}

QString WriteTag::name() const
{
    switch (m_kind) {
    case WriteKind::LG: return QStringLiteral("LG");
    case WriteKind::BY: return QStringLiteral("BY");
    case WriteKind::TX: return QStringLiteral("TX");
    case WriteKind::ID: return QStringLiteral("ID");
    case WriteKind::IDH: return QStringLiteral("IDH");
    case WriteKind::SPT: return QStringLiteral("SPT");
    }
    return {};
}

qint64 RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (x <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    const double floorValue = std::floor(x);
    const double diff = x - floorValue;
    auto result = static_cast<qint64>(floorValue);
    if (diff > 0.5 || (diff == 0.5 && (result % 2) != 0))
        ++result;
    return result;
}

}  // namespace vx
