#pragma once
// The weighing-range lists of the indicator: capacities (codes 0..85) and
// divisions (codes 3..19). A range setting travels as these codes; the window's
// range combos show "code - value Kg" / "code - value" items, the twin combos the
// value alone. Used by calibration (range settings) and by the weight display
// format (capacity and division of the connected indicator).

#include "link/WeightFormat.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

inline constexpr int CapacityCodeCount = 86;     // codes 0..85
inline constexpr int FirstDivisionCode = 3;      // code 3 = 0.001
inline constexpr int LastDivisionCode = 19;      // code 19 = 200

// The value texts: "100" for capacity code 22, "0.01" for division code 6.
// Empty for a code outside the list.
QString CapacityValueText(int code);
QString DivisionValueText(int code);

// List items as the range combos hold them: "22 - 100 Kg", "6 - 0.01".
QString CapacityItem(int code);
QString DivisionItem(int code);
QStringList CapacityItems();  // codes 0..85 in order
QStringList DivisionItems();  // codes 3..19 in order

// The code an item begins with (its leading number); nothing when it has none.
std::optional<int> ItemCode(const QString &item);
// The number an item carries after "- ", without a trailing "Kg":
// "30 - 300 Kg" gives "300", "5 - 0.005 Kg" gives "0.005", "5 - 0.005" gives "0.005".
QString ItemValueText(const QString &item);

// A range setting as the indicator holds it (registers 128-130 and 149).
struct RangeCodes {
    int mode = 0;        // 0 single range, any other value dual range
    int capacity1 = 0;
    int division1 = FirstDivisionCode;
    int capacity2 = 0;
    int division2 = FirstDivisionCode;
    int metrology = 0;   // 1: legal trade (metrological)
    friend bool operator==(const RangeCodes &, const RangeCodes &) = default;
};

// What the window learns of the connected indicator's range (TaksimatBul): the codes
// it holds, for the calibration page's range combos, and the weight display format
// derived from them, for every weight shown.
struct IndicatorRange {
    RangeCodes codes;
    WeightFormat format;
};

// Every read of the range (the connect's, the calibration tab's): a lost or cut
// answer reads the whole range again, up to this many tries in all.
inline constexpr int RangeReadAttempts = 3;

}  // namespace vx
