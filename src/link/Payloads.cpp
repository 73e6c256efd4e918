#include "link/Payloads.h"

#include "link/Cp1254.h"
#include "link/Frames.h"
#include "link/NumberTexts.h"

namespace vx {
namespace {

constexpr QChar kDegree(0x00B0);  // "°" separates the fields of ID and setpoint records

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
        out += FixedHex(cp1254::fromUnicode(c), 2);
    return out;
}

QString encodeId(const QString &arg)
{
    if (arg.isEmpty())
        return {};
    QString field = FixedHex(cp1254::fromUnicode(arg.at(0)), 2);
    if (arg.size() == 1)
        return field + QStringLiteral("00");
    const QString rest = arg.mid(1);
    const int sep = rest.indexOf(kDegree);
    if (sep < 0)
        return {};
    field += FixedHex(RoundHalfEven(ReadLeadingNumber(rest.left(sep)).value_or(0.0)), 8);
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
    QString field = FixedHex(cp1254::fromUnicode(arg.at(0)), 2);
    if (arg.size() == 1)
        return field + QStringLiteral("00");
    // Scanning ends at a carriage return; whatever follows it is not part of the record.
    QString rest = arg.mid(1);
    const int cr = rest.indexOf(QLatin1Char('\r'));
    if (cr >= 0)
        rest.truncate(cr);
    int sep;
    while (!rest.isEmpty() && (sep = rest.indexOf(kDegree)) >= 0) {
        field += FixedHex(RoundHalfEven(ReadLeadingNumber(rest.left(sep)).value_or(0.0)), 8);
        rest.remove(0, sep + 1);
    }
    // The last number: a decimal point typed by the user is read as the decimal comma.
    // When nothing follows the last "°" there is no last number to send.
    if (!rest.isEmpty())
        field += FixedHex(RoundHalfEven(ReadLeadingNumber(PointToComma(rest)).value_or(0.0)), 8);
    return field + QStringLiteral("00");
}

}  // namespace

QString EncodeWriteData(WriteTag tag, const QVariant &data, int byteCount)
{
    switch (tag.kind()) {
    case WriteKind::LG:
        return FixedHex(numberArgument(data), qMax(0, 2 * byteCount));
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

namespace {

// Signed 32-bit reading of up to 8 hex digits ("FFFFFFFF" is -1).
qint32 signed32(const QString &hex)
{
    quint32 value = 0;
    for (QChar c : hex)
        value = value * 16 + static_cast<quint32>(HexDigitValue(c));
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
        out.append(cp1254::toUnicode(static_cast<unsigned char>(HexByteValue(pair) & 0xFF)));
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
        ctx.log(logPrefix + QStringLiteral("-[") + FixedHex(parsed.byteCount / 2, 4)
                + QStringLiteral("]--- CHKSum Hatası..."));

    // A whole frame without data (byte count 0) is no value either: the caller must
    // be able to tell it from a zero or a blank text.
    const QString &data = parsed.data;
    if (data.isEmpty())
        return {};
    switch (dataType.kind()) {
    case ReadKind::LG:
        return QVariant::fromValue<qint64>(HexToNumber(data).value_or(0));
    case ReadKind::Tx:
        return hexToText(data, true, false);
    case ReadKind::Tx0:
        return hexToText(data, true, true);
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
            allHex = allHex && IsHexDigit(c);
        if (allHex) {
            quint64 value = 0;
            for (QChar c : hexText)
                value = value * 16 + static_cast<quint64>(HexDigitValue(c));
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
        const auto d = static_cast<quint64>(HexDigitValue(c));
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

QString ReadTag::name() const
{
    switch (m_kind) {
    case ReadKind::LG: return QStringLiteral("LG");
    case ReadKind::Tx: return QStringLiteral("Tx");
    case ReadKind::Tx1: return QStringLiteral("Tx1");
    case ReadKind::Tx0: return QStringLiteral("Tx0");
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

}  // namespace vx
