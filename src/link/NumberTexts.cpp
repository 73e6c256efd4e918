#include "link/NumberTexts.h"

#include <cmath>
#include <limits>

namespace vx {

// Value of one hexadecimal digit; any other character counts 0.
int HexDigitValue(QChar c)
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

bool IsHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

// One byte written as two hex digits; a single trailing character is taken alone.
int HexByteValue(const QString &pair)
{
    int value = 0;
    for (QChar c : pair)
        value = value * 16 + HexDigitValue(c);
    return value;
}

// A number as upper-case hex text of exactly `width` digits: the two's complement
// for negatives, cut to its low-order digits when it is longer than the field.
QString FixedHex(qint64 value, int width)
{
    const QString digits = QString::number(static_cast<quint64>(value), 16).toUpper();
    if (value < 0 && width > digits.size())
        return QString(width - digits.size(), QLatin1Char('F')) + digits;
    return PadLeftZeros(digits, width);
}

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
