#pragma once
// How weights are shown: derived from the connected indicator's capacity and
// division (TaksimatBul) and read by every screen that shows or sends a weight.
// Empty until the range is known: weights are then shown as the raw digits.

#include "link/Codec.h"

#include <QString>
#include <optional>

namespace vx {

struct WeightFormat {
    std::optional<double> RangeCapacity;          // e.g. 300 from "30 - 300 Kg"
    QString WeightFormatReference;                // capacity + 9 x division as text, e.g. "300.045"
    std::optional<double> NegativeCapacityTenth;  // -(capacity / 10)
    QString DivisionIntegerText;                  // "0" from division 0.005
    QString DecimalsPattern;                      // "005" from division 0.005: its length is the decimals

    bool known() const { return !WeightFormatReference.isEmpty(); }
    int decimals() const { return int(DecimalsPattern.size()); }
    // A raw value in the reference's digit layout (leading zeros kept).
    QString format(const QString &digits) const { return FormatWithDecimals(digits, WeightFormatReference); }
    // A raw value with the decimal comma at the division's decimals.
    QString withComma(const QString &digits) const { return InsertDecimalComma(digits, decimals()); }
};

// Digits after the decimal point of a division text: 3 for "0.005", 0 for "2".
inline int DivisionDecimals(const QString &divisionText)
{
    const qsizetype point = divisionText.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(divisionText.size() - point - 1);
}

}  // namespace vx
