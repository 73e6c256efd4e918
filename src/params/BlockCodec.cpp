#include "params/BlockCodec.h"

#include "link/Answer.h"
#include "link/Codec.h"
#include "params/ParameterSet.h"
#include "params/RowValue.h"
#include "shell/LanguageTexts.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <limits>
#include <vector>

namespace vx {

using params::Area;
using params::Kind;
using params::Row;

namespace {

constexpr int kModelZR1Line = 366;
constexpr int kModelZR2Line = 367;

bool isHex(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')))
            return false;
    }
    return true;
}

// Hex text to bytes; the caller has checked it.
std::vector<int> bytesOf(const QString &hex)
{
    std::vector<int> out;
    out.reserve(std::size_t(hex.size() / 2));
    for (int i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(hex.mid(i, 2).toInt(nullptr, 16));
    return out;
}

quint32 unsignedAt(const std::vector<int> &bytes, int offset, int width)
{
    quint32 v = 0;
    for (int i = 0; i < width; ++i)
        v = (v << 8) | quint32(bytes[std::size_t(offset + i)]);
    return v;
}

// One row's value from the bytes of its area.
std::optional<RowValue> decodeRow(const Row &row, const std::vector<int> &bytes, const LanguageTexts &texts)
{
    const int byte = bytes[std::size_t(row.offset)];
    const quint32 word = unsignedAt(bytes, row.offset, row.width);
    switch (row.kind) {
    case Kind::Choice:
        for (const params::Item &item : row.read)
            if (item.code == byte)
                return RowValue::code(byte);
        switch (row.other) {
        // A code outside the list shows the row's other text and is written as its code.
        case params::Other::Text: return RowValue::code(CellCode(row.otherText.text(texts)), RowValue::From::Other);
        case params::Other::Empty: return RowValue{};
        case params::Other::Keep: return std::nullopt;  // [040]: the value stays as it was
        }
        return RowValue{};
    case Kind::Digit:
        return RowValue::code(byte >= 1 && byte <= 9 ? byte : 0);
    case Kind::Number:
    case Kind::Tenths:
        return RowValue::of(byte);
    case Kind::Weight:
        // A leading "F" is a negative value; any other text is read unsigned.
        return RowValue::of(HexToNumber(HexField(qint64(word), 8)).value_or(0));
    case Kind::Word:
        return RowValue::of(word);
    case Kind::Long:
    case Kind::WordPair:
    case Kind::LongPrefixed:
        return RowValue::of(qint32(word));
    default:
        return std::nullopt;
    }
}

bool decodeArea(ParameterSet &set, Area area, const QString &hex, const LanguageTexts &texts)
{
    if (hex.size() != 2 * params::AreaBytes(area) || !isHex(hex))
        return false;
    const std::vector<int> bytes = bytesOf(hex);
    set.setTexts(texts);
    for (const Row &row : params::Rows())
        if (row.area == area)
            if (const std::optional<RowValue> value = decodeRow(row, bytes, texts))
                set.setRowValue(row.row, *value);
    return true;
}

// What one row puts on the wire.
qint64 encodeRow(const ParameterSet &set, const Row &row)
{
    return WireNumber(row, set.rowValue(row.row)).value_or(0);
}

}  // namespace

QString ikile(qint64 value)
{
    qint64 high = value >= 0 ? value / 65536 : -((-value + 65535) / 65536);  // floor
    const qint64 low = value - high * 65536;
    if (high < 0)
        high += 65536;
    return QString::number(high) + QStringLiteral(" - ") + QString::number(low);
}

qint64 CellCode(const QString &text) { return RoundHalfEven(ReadLeadingNumber(text).value_or(0.0)); }

QString HexField(qint64 value, int digits)
{
    return PadLeftZeros(QString::number(quint32(value), 16).toUpper(), digits);
}

qint64 TenthsByte(const QString &text)
{
    return RoundHalfEven(ReadLeadingNumber(CommaToPoint(text)).value_or(0.0) * 10.0);
}

QString TenthsText(int byte)
{
    if (byte % 10 == 0)
        return QString::number(byte / 10);
    return QString::number(byte / 10) + QLatin1Char(',') + QString::number(byte % 10);
}

std::optional<QString> DateTimeToWire(const QString &dateTimeText)
{
    // "DD-MM-YY \ hh:mm:ss": the groups at fixed places, the separators between them.
    static const int groupAt[6] = {0, 3, 6, 11, 14, 17};
    static const QString separators[5] = {QStringLiteral("-"), QStringLiteral("-"), QStringLiteral(" \\ "),
                                          QStringLiteral(":"), QStringLiteral(":")};
    const QString t = dateTimeText;
    if (t.size() < 19)
        return std::nullopt;
    QString group[6];
    int value[6];
    for (int i = 0; i < 6; ++i) {
        group[i] = t.mid(groupAt[i], 2);
        if (group[i].size() != 2 || !group[i].at(0).isDigit() || !group[i].at(1).isDigit()
            || group[i].at(0).unicode() > '9' || group[i].at(1).unicode() > '9')
            return std::nullopt;
        value[i] = group[i].toInt();
        if (i < 5 && t.mid(groupAt[i] + 2, separators[i].size()) != separators[i])
            return std::nullopt;
    }
    const int day = value[0], month = value[1], year = value[2];
    if (year < 1 || !QDate::isValid(2000 + year, month, day) || !QTime::isValid(value[3], value[4], value[5]))
        return std::nullopt;
    return group[5] + group[4] + group[3] + QStringLiteral("00") + group[0] + group[1] + group[2]
        + QStringLiteral("00");
}

std::optional<QString> AnswerDataHex(const QString &answer, const QString &address, bool checksumOn,
                                               int byteCount)
{
    const Answer judged = JudgeReadAnswer(answer, address, checksumOn, byteCount);
    if (!judged.whole())
        return std::nullopt;
    return judged.data;
}

bool PlaceConfigurationBlock(ParameterSet &set, const QString &blockHex, const LanguageTexts &texts)
{
    return decodeArea(set, Area::Configuration, blockHex, texts);
}

bool PlaceCalibrationBlock(ParameterSet &set, const QString &blockHex, const LanguageTexts &texts)
{
    return decodeArea(set, Area::Calibration, blockHex, texts);
}

QString ModelRowText(const QString &versionText, const LanguageTexts &texts)
{
    const QString model = versionText.left(3);
    QString name;
    if (model == QLatin1String("ZR1"))
        name = texts.text(kModelZR1Line);
    else if (model == QLatin1String("ZR2"))
        name = texts.text(kModelZR2Line);
    return name + versionText.mid(3);
}

QString SecondRowText(const QString &text) { return text.left(text.size() - 1); }

QString EncodeArea(const ParameterSet &set, Area area)
{
    const int size = params::AreaBytes(area);
    std::vector<qint64> bytes(std::size_t(size), 0);
    for (const params::FixedByte &f : params::FixedBytes())
        if (f.area == area)
            bytes[std::size_t(f.offset)] = f.value;
    for (const Row &row : params::Rows()) {
        if (row.area != area || row.group == params::Group::None)
            continue;
        // Multi-byte values go high byte first, cut to their width.
        const quint32 v = quint32(encodeRow(set, row));
        for (int i = 0; i < row.width; ++i)
            bytes[std::size_t(row.offset + i)] = (v >> (8 * (row.width - 1 - i))) & 0xFF;
    }
    QString hex;
    hex.reserve(size * 2);
    for (qint64 b : bytes)
        hex += HexField(b, 2);
    return hex;
}

QString PieceText(const ParameterSet &set, const params::Piece &piece)
{
    return EncodeArea(set, piece.area).mid(piece.offset * 2, piece.bytes * 2);
}

}  // namespace vx
