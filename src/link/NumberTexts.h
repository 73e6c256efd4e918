#pragma once
// Number texts: hex digits and fields, zero padding, the leading number of a typed
// text, rounding, the decimal comma and point, and the weight layout every screen
// uses. All functions are pure.

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vx {

// PadLeftZeros(value, width): left-pad with '0' and keep the rightmost width characters.
QString PadLeftZeros(const QString &value, int width);
QString PadLeftZeros(qint64 value, int width);

// Value of one hexadecimal digit; any other character counts 0.
int HexDigitValue(QChar c);
bool IsHexDigit(QChar c);
// One byte written as two hex digits; a single trailing character is taken alone.
int HexByteValue(const QString &pair);
// A number as upper-case hex text of exactly `width` digits: the two's complement
// for negatives, cut to its low-order digits when it is longer than the field.
QString FixedHex(qint64 value, int width);

// The leading number of a typed text, as the original's number conversion reads
// it: blanks, an optional sign, digits and one decimal separator ("." or ",");
// reading stops at the first other character. Nothing when no digit came.
std::optional<double> ReadLeadingNumber(const QString &text);

// Rounds to the nearest integer, halves to the even neighbour; NaN gives 0 and values
// outside the 64-bit range (infinities too) are held at its ends.
qint64 RoundHalfEven(double x);

QString CommaToPoint(const QString &text);
QString PointToComma(const QString &text);
QString StripDecimalPoint(const QString &text);
// referenceValue: the weight format reference of the parameter work (empty: unchanged).
QString FormatWithDecimals(const QString &digits, const QString &referenceValue);
// decimals: number of decimals (the length of the decimals pattern).
QString InsertDecimalComma(const QString &digits, int decimals);

}  // namespace vx
