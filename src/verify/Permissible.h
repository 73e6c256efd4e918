#pragma once
// The permissible errors of a non-automatic scale at a load, counted in
// verification divisions e: one table per accuracy class, doubled in service; and
// the division a load is weighed with on a single- or a dual-range scale.
//
//   const double mpe = PermissibleError(AccuracyClass::III, false, 150.0, 0.1);  // 0.1 kg

#include <optional>
#include <span>

namespace vx {

enum class AccuracyClass { III, IIII };

// One band of the table: up to `upToE` divisions (inclusive) the error may be
// `errorE` divisions either way. The last band has no upper end.
struct ErrorBand {
    double upToE;
    double errorE;
};

// The bands of a class, lowest first.
std::span<const ErrorBand> ErrorBands(AccuracyClass accuracy);

// The permissible error in kg at `loadKg` weighed with division `e` kg (absolute
// value; the error may lie that far either way). In service it is twice that.
double PermissibleError(AccuracyClass accuracy, bool inService, double loadKg, double e);

// The scale's range as the indicator holds it, in kg: one range, or two (the second
// from above the first capacity up to its own).
struct ScaleRange {
    double max1 = 0, e1 = 0;
    std::optional<double> max2, e2;  // both set for a dual range
    double max() const { return max2 ? *max2 : max1; }
    bool dual() const { return max2.has_value() && e2.has_value(); }
    // The division of the range the load lies in.
    double divisionAt(double loadKg) const { return dual() && loadKg > max1 + 1e-9 ? *e2 : e1; }
};

// The smallest load of the weighing test: 20 e (III) or 10 e (IIII) of the first range.
double MinimumLoad(AccuracyClass accuracy, const ScaleRange &range);

}  // namespace vx
