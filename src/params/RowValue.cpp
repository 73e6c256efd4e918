#include "params/RowValue.h"

#include "link/Codec.h"
#include "params/BlockCodec.h"
#include "shell/LanguageTexts.h"

#include <QRegularExpression>
#include <cmath>
#include <vector>

namespace vx {

using params::Kind;
using params::Row;

namespace {

std::optional<QString> itemText(params::Items items, qint64 code, const LanguageTexts &texts)
{
    for (const params::Item &item : items)
        if (item.code == code)
            return item.text.text(texts);
    return std::nullopt;
}

// A choice: the list it was chosen from first, then what a read shows for the code.
QString choiceText(const Row &row, const RowValue &v, const LanguageTexts &texts)
{
    if (v.from == RowValue::From::Other && !row.otherText.empty())
        return row.otherText.text(texts);
    if (v.from == RowValue::From::List)
        if (const std::optional<QString> t = itemText(row.editorItems(), v.number, texts))
            return *t;
    if (const std::optional<QString> t = itemText(row.read, v.number, texts))
        return *t;
    return itemText(row.editorItems(), v.number, texts).value_or(QString());
}

QString digitText(const RowValue &v)
{
    if (v.from == RowValue::From::List)
        return PadLeftZeros(QString::number(v.number), 2);
    return (v.number >= 1 && v.number <= 9 ? QString::number(v.number) : QStringLiteral("0")) + QLatin1Char(' ');
}

QString numberText(const Row &row, qint64 n, const WeightFormat &weight)
{
    switch (row.kind) {
    case Kind::Tenths: return TenthsText(int(n));
    case Kind::Weight: return weight.format(QString::number(n));
    case Kind::WordPair: return ikile(n);
    case Kind::LongPrefixed: {
        const QString digits = QString::number(n);
        return digits.size() > 1 ? QStringLiteral("9,") + digits : digits;
    }
    default: return QString::number(n);
    }
}

// The values a display text may stand for, most likely first.
std::vector<RowValue> candidates(const Row &row, const QString &text, const WeightFormat &weight)
{
    std::vector<RowValue> out;
    auto number = [&](const QString &t) -> std::optional<qint64> {
        static const QRegularExpression whole(QStringLiteral("^-?[0-9]{1,12}$"));
        if (!whole.match(t).hasMatch())
            return std::nullopt;
        return t.toLongLong();
    };
    switch (row.kind) {
    case Kind::Choice:
        for (const params::Item &item : row.read)
            out.push_back(RowValue::code(item.code));
        out.push_back(RowValue::code(CellCode(text), RowValue::From::Other));
        for (const params::Item &item : row.editorItems())
            out.push_back(RowValue::code(item.code, RowValue::From::List));
        break;
    case Kind::Digit:
        for (int c = 0; c <= 9; ++c) {
            out.push_back(RowValue::code(c));
            out.push_back(RowValue::code(c, RowValue::From::List));
        }
        break;
    case Kind::Number:
    case Kind::Word:
    case Kind::Long:
        if (const std::optional<qint64> n = number(text))
            out.push_back(RowValue::of(*n));
        break;
    case Kind::LongPrefixed:
        if (const std::optional<qint64> n = number(text.startsWith(QLatin1String("9,")) ? text.mid(2) : text))
            out.push_back(RowValue::of(*n));
        break;
    case Kind::Tenths:
        if (const std::optional<double> n = ReadLeadingNumber(CommaToPoint(text)); n && std::fabs(*n) < 1e6)
            out.push_back(RowValue::of(RoundHalfEven(*n * 10.0)));
        break;
    case Kind::Weight:
        if (const std::optional<double> n = ReadLeadingNumber(CommaToPoint(text)); n && std::fabs(*n) < 1e12)
            out.push_back(RowValue::of(RoundHalfEven(*n * std::pow(10.0, weight.decimals()))));
        break;
    case Kind::WordPair: {
        static const QRegularExpression pair(QStringLiteral("^([0-9]{1,5}) - ([0-9]{1,5})$"));
        const QRegularExpressionMatch m = pair.match(text);
        if (m.hasMatch()) {
            qint64 high = m.captured(1).toLongLong();
            if (high >= 32768)
                high -= 65536;
            out.push_back(RowValue::of(high * 65536 + m.captured(2).toLongLong()));
        }
        break;
    }
    case Kind::DateTime: {
        RowValue clock = RowValue::indicatorText(text);
        out.push_back(clock);
        break;
    }
    default:
        break;
    }
    return out;
}

}  // namespace

QString RenderValue(const Row &row, const RowValue &value, const LanguageTexts &texts, const WeightFormat &weight)
{
    switch (value.kind) {
    case RowValue::Kind::Empty: return {};
    case RowValue::Kind::Shown: return value.text;
    case RowValue::Kind::Text:
        if (row.area == params::Area::ModelText)
            return ModelRowText(value.text, texts);
        if (row.area == params::Area::SecondText)
            return SecondRowText(value.text);
        return value.text;
    case RowValue::Kind::Code:
        return row.kind == Kind::Digit ? digitText(value) : choiceText(row, value, texts);
    case RowValue::Kind::Number: return numberText(row, value.number, weight);
    }
    return {};
}

RowValue ParseValue(const Row &row, const QString &text, const LanguageTexts &texts, const WeightFormat &weight)
{
    if (text.isEmpty())
        return {};
    for (const RowValue &v : candidates(row, text, weight))
        if (RenderValue(row, v, texts, weight) == text)
            return v;
    return RowValue::shown(text);
}

std::optional<qint64> WireNumber(const Row &row, const RowValue &value)
{
    switch (value.kind) {
    case RowValue::Kind::Code:
    case RowValue::Kind::Number: return value.number;
    case RowValue::Kind::Shown: return row.kind == Kind::Tenths ? TenthsByte(value.text) : CellCode(value.text);
    default: return std::nullopt;
    }
}

}  // namespace vx
