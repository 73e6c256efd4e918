#include "calibration/RangeCheck.h"

#include <algorithm>

namespace vx {
namespace {

// Wider than any range in the lists: the entry's shape alone decides.
const QString kAnyCapacity = QStringLiteral("1e15");
const QString kFinestDivision = QStringLiteral("0.000001");

}  // namespace

std::optional<ProfileMismatch> CheckRangeAgainstProfile(const RangeCodes &codes, const MetrologyProfiles &profiles)
{
    const ProfileTag tag = ProfileFor(codes.metrology, codes.mode);
    const MetrologyTable &table = profiles.table(tag);
    auto check = [&](int range, int capacity, int division) -> std::optional<ProfileMismatch> {
        std::vector<int> offered = table.divisionCodes(capacity);
        if (std::find(offered.begin(), offered.end(), division) != offered.end())
            return std::nullopt;
        return ProfileMismatch{range, capacity, division, tag, std::move(offered)};
    };
    if (auto mismatch = check(1, codes.capacity1, codes.division1))
        return mismatch;
    if (codes.mode != 0)
        return check(2, codes.capacity2, codes.division2);
    return std::nullopt;
}

std::optional<WeighingRange> TestWeightRange(const CalibrationRequest &request)
{
    switch (request.kind) {
    case CalibrationKind::General:
        if (request.choice.capacity1 && request.choice.division1)
            return WeighingRange{*request.choice.capacity1, *request.choice.division1};
        return std::nullopt;
    case CalibrationKind::Span:
        if (request.indicator)
            return WeighingRange{request.indicator->codes.capacity1, request.indicator->codes.division1};
        return std::nullopt;
    case CalibrationKind::Zero:
        break;
    }
    return std::nullopt;
}

TestWeight CheckTestWeight(const QString &entry, const WeighingRange &range)
{
    return CheckTestWeight(entry, range.capacityText(), range.divisionText());
}

WeightCheck CheckTestWeightShape(const QString &entry)
{
    const WeightCheck check = CheckTestWeight(entry, kAnyCapacity, kFinestDivision).check;
    return check == WeightCheck::AboveCapacity ? WeightCheck::Ok : check;
}

}  // namespace vx
