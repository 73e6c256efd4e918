#include "params/Range.h"

#include "link/LineLease.h"

#include "link/Codec.h"
#include "link/Connect.h"
#include "link/RecordRead.h"
#include "link/Registers.h"
#include "link/Transaction.h"

#include <algorithm>
#include <iterator>

namespace vx {
namespace {

constexpr int kRangeBytes = 6;
constexpr double kReadWait = 0.3;

// "0.005" as 5 and 3 decimals; nothing for anything but digits with at most one point.
struct Decimal {
    qint64 scaled = 0;
    int decimals = 0;
};
std::optional<Decimal> decimalOf(const QString &text)
{
    const QString t = text.trimmed();
    const int point = t.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? t : t.left(point);
    const QString fraction = point < 0 ? QString() : t.mid(point + 1);
    if (whole.isEmpty() || whole.size() > 9 || fraction.size() > 6)
        return std::nullopt;
    for (QChar c : whole + fraction)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return Decimal{(whole + fraction).toLongLong(), int(fraction.size())};
}

QString withPoint(qint64 scaled, int decimals)
{
    QString digits = QString::number(scaled);
    if (decimals == 0)
        return digits;
    digits = PadLeftZeros(digits, qMax(int(digits.size()), decimals + 1));
    return digits.left(digits.size() - decimals) + QLatin1Char('.') + digits.right(decimals);
}

qint64 power10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

}  // namespace

std::optional<WeightFormat> DeriveWeightFormat(const QString &capacity, const QString &division)
{
    // A list item counts by the number after "- ", without a unit.
    const QString capText = capacity.contains(QLatin1Char('-')) ? ItemValueText(capacity) : capacity.trimmed();
    const QString divText = division.contains(QLatin1Char('-')) ? ItemValueText(division) : division.trimmed();
    const std::optional<Decimal> cap = decimalOf(capText);
    const std::optional<Decimal> d = decimalOf(divText);
    if (!cap || !d || cap->decimals != 0)
        return std::nullopt;

    WeightFormat f;
    f.RangeCapacity = double(cap->scaled);
    f.WeightFormatReference = withPoint(cap->scaled * power10(d->decimals) + 9 * d->scaled, d->decimals);
    f.NegativeCapacityTenth = -(double(cap->scaled) / 10.0);
    const int point = divText.indexOf(QLatin1Char('.'));
    if (point > 0) {
        f.DivisionIntegerText = divText.left(point);
        f.DecimalsPattern = divText.mid(point + 1);
    } else {
        f.DivisionIntegerText = divText;
    }
    return f;
}

std::optional<IndicatorRange> RangeFromCodes(const RangeCodes &codes)
{
    const QString capacity = CapacityValueText(codes.capacity2);
    const QString division = DivisionValueText(codes.division1);
    if (capacity.isEmpty() || division.isEmpty())
        return std::nullopt;
    const std::optional<WeightFormat> format = DeriveWeightFormat(capacity, division);
    if (!format)
        return std::nullopt;
    return IndicatorRange{codes, *format};
}

std::optional<IndicatorRange> ReadRange(Link &link)
{
    const double readingTime = link.settings.ReadingTime;
    // A command counts as done only when the indicator acknowledged it: a lost one
    // leaves the registers as they were, and what they hold is not this range.
    auto command = [&](int code) {
        return CheckWriteAnswer(link.writeAnswer(reg::Command, 2, "Lg", code, readingTime));
    };
    auto read = [&](int reg, int byteCount, QString *data) {
        return CheckReadAnswer(link.readAnswer(reg, byteCount, kReadWait), data);
    };

    for (int attempt = 0; attempt < RangeReadAttempts; ++attempt) {
        QString metrology, range;
        const RecordCheck configuration = command(cmd::LoadConfiguration);
        if (configuration == RecordCheck::Refused)
            return std::nullopt;
        const RecordCheck metrologyRead = read(reg::Metrology, 2, &metrology);
        const RecordCheck calibration = command(cmd::LoadCalibration);
        if (calibration == RecordCheck::Refused)
            return std::nullopt;
        const RecordCheck rangeRead = read(reg::OperatingMode, kRangeBytes, &range);
        const RecordCheck checks[] = {configuration, metrologyRead, calibration, rangeRead};
        if (std::find(std::begin(checks), std::end(checks), RecordCheck::Refused) != std::end(checks))
            return std::nullopt;
        if (std::find(std::begin(checks), std::end(checks), RecordCheck::Unconfirmed) != std::end(checks))
            continue;

        auto byte = [](const QString &hex, int index) { return hex.mid(index * 2, 2).toInt(nullptr, 16); };
        RangeCodes codes;
        codes.metrology = byte(metrology, 0);
        codes.mode = byte(range, 0);
        codes.capacity1 = byte(range, 2);
        codes.division1 = byte(range, 3);
        codes.capacity2 = byte(range, 4);
        codes.division2 = byte(range, 5);
        // Codes outside the lists are a whole answer: reading again gives the same.
        return RangeFromCodes(codes);
    }
    return std::nullopt;
}

std::optional<IndicatorRange> TaksimatBul(Link &link)
{
    const LineLease lease(link, {.policy = LineLease::Policy::Join, .attempts = PortOpenAttempts});
    if (!lease)
        return std::nullopt;
    return ReadRange(link);
}

}  // namespace vx
