#pragma once
// The connected indicator's weighing range and the weight display format derived
// from it (TaksimatBul). The format is what every weight shown or typed uses: the
// status values, the parameter grid's weight rows, the memories.

#include "calibration/RangeLists.h"
#include "link/WeightFormat.h"

#include <QString>
#include <optional>

namespace vx {

class Link;

// The format from a capacity ("300") and a division ("0.005") as numbers: the
// reference capacity + 9 x division ("300.045"), the negative tenth of the capacity,
// the division's integer part and its decimals ("0" and "005"). A division given as
// a list item ("5 - 0.005" or "5 - 0.005 Kg") counts by its number alone. Nothing
// when either is not a plain non-negative decimal number.
std::optional<WeightFormat> DeriveWeightFormat(const QString &capacity, const QString &division);

// The range the codes name: the capacity of the 2nd range and the division of the
// 1st give the format. Nothing when a code lies outside the lists.
std::optional<IndicatorRange> RangeFromCodes(const RangeCodes &codes);

// The range on a port that is open: command 7, register 149 (the metrology byte),
// command 12, registers 128-130 (mode, 1st and 2nd capacity and division). A lost or
// cut answer, or a command the indicator did not acknowledge, reads the whole range
// again, up to RangeReadAttempts in all; a refusal ends it at once. Nothing
// when no try gave a whole range or its codes lie outside the lists: the caller then
// knows no range at all (weights and setpoints are neither shown nor sent).
std::optional<IndicatorRange> ReadRange(Link &link);

// TaksimatBul: ReadRange on the line of the operation in force, or on a line taken
// for it (a LineLease: up to 10 opening attempts, closed again after).
std::optional<IndicatorRange> TaksimatBul(Link &link);

}  // namespace vx
