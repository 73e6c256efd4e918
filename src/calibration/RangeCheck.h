#pragma once
// The checks a range and a test weight pass before a calibration sends anything,
// shared by the calibration tab and the tool: a division the metrology profile does
// not offer for its capacity, and a test weight that does not fit the range it is
// weighed in.

#include "calibration/Calibration.h"
#include "calibration/MetrologyProfile.h"
#include "calibration/RangeLists.h"

#include <QString>
#include <optional>
#include <vector>

namespace vx {

// A range whose division the profile does not offer for the capacity beside it.
struct ProfileMismatch {
    int range = 1;     // 1: the 1st capacity and division, 2: the 2nd
    int capacity = 0;  // capacity code
    int division = 0;  // division code
    ProfileTag profile = ProfileTag::N;  // the profile the range is checked against
    std::vector<int> offered;            // the division codes it offers for the capacity
};

// The range as it will be written (the one read from the indicator with what the
// operator changed in it) against the profile its metrology and mode choose
// (ProfileFor). The 1st range first; the 2nd only for a dual range. Nothing when
// every division is offered.
std::optional<ProfileMismatch> CheckRangeAgainstProfile(const RangeCodes &codes, const MetrologyProfiles &profiles);

// The 1st capacity and division a test weight is weighed in.
struct WeighingRange {
    int capacity = 0;  // capacity code
    int division = 0;  // division code
    QString capacityText() const { return CapacityValueText(capacity); }
    QString divisionText() const { return DivisionValueText(division); }
};

// The range of `request`'s span step: what a general calibration writes (the 1st
// capacity and division chosen), what the indicator holds for a span calibration.
// Nothing for a zero calibration, or when that range is not known.
std::optional<WeighingRange> TestWeightRange(const CalibrationRequest &request);

// A test weight against its range (CheckTestWeight with the range's texts).
TestWeight CheckTestWeight(const QString &entry, const WeighingRange &range);

// What can be told of an entry before any range is known: NotANumber, Zero (0 or
// below a millionth) or Ok. A weight above a capacity is found once the range is.
WeightCheck CheckTestWeightShape(const QString &entry);

}  // namespace vx
