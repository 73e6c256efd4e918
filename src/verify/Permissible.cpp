#include "verify/Permissible.h"

#include <array>
#include <cmath>

namespace vx {
namespace {

constexpr double kAbove = 1e300;  // no upper end

constexpr std::array<ErrorBand, 3> kClassIII = {{{500, 0.5}, {2000, 1.0}, {kAbove, 1.5}}};
constexpr std::array<ErrorBand, 3> kClassIIII = {{{50, 0.5}, {200, 1.0}, {kAbove, 1.5}}};

}  // namespace

std::span<const ErrorBand> ErrorBands(AccuracyClass accuracy)
{
    return accuracy == AccuracyClass::IIII ? std::span<const ErrorBand>(kClassIIII) : std::span<const ErrorBand>(kClassIII);
}

double PermissibleError(AccuracyClass accuracy, bool inService, double loadKg, double e)
{
    if (!(e > 0))
        return 0;
    // The load in divisions; a load a hair above a boundary through the kg's rounding
    // is still at it.
    const double divisions = std::abs(loadKg) / e;
    const std::span<const ErrorBand> bands = ErrorBands(accuracy);
    double errorE = bands.back().errorE;
    for (const ErrorBand &band : bands) {
        if (divisions <= band.upToE + 1e-6) {
            errorE = band.errorE;
            break;
        }
    }
    return errorE * e * (inService ? 2.0 : 1.0);
}

double MinimumLoad(AccuracyClass accuracy, const ScaleRange &range)
{
    return (accuracy == AccuracyClass::IIII ? 10.0 : 20.0) * range.e1;
}

}  // namespace vx
