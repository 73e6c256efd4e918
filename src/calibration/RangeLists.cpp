#include "calibration/RangeLists.h"

#include <array>

namespace vx {
namespace {

constexpr std::array<const char *, CapacityCodeCount> kCapacities = {
    "1", "2", "3", "4", "5", "6", "8", "10", "12", "15", "16", "20", "24", "25", "30", "32", "40",
    "48", "50", "60", "75", "80", "100", "120", "125", "150", "160", "200", "240", "250", "300",
    "320", "400", "480", "500", "600", "750", "800", "1000", "1200", "1250", "1500", "1600",
    "2000", "2400", "2500", "3000", "3200", "4000", "4800", "5000", "6000", "7500", "8000",
    "10000", "12000", "12500", "15000", "16000", "20000", "24000", "25000", "30000", "32000",
    "40000", "48000", "50000", "60000", "75000", "80000", "100000", "120000", "125000",
    "150000", "160000", "200000", "240000", "250000", "300000", "320000", "400000", "480000",
    "500000", "600000", "750000", "800000"};

constexpr std::array<const char *, LastDivisionCode - FirstDivisionCode + 1> kDivisions = {
    "0.001", "0.002", "0.005", "0.01", "0.02", "0.05", "0.1", "0.2", "0.5",
    "1", "2", "5", "10", "20", "50", "100", "200"};

const QString kSeparator = QStringLiteral(" - ");
const QString kUnit = QStringLiteral(" Kg");

}  // namespace

QString CapacityValueText(int code)
{
    if (code < 0 || code >= CapacityCodeCount)
        return {};
    return QString::fromLatin1(kCapacities[size_t(code)]);
}

QString DivisionValueText(int code)
{
    if (code < FirstDivisionCode || code > LastDivisionCode)
        return {};
    return QString::fromLatin1(kDivisions[size_t(code - FirstDivisionCode)]);
}

QString CapacityItem(int code)
{
    const QString value = CapacityValueText(code);
    return value.isEmpty() ? QString() : QString::number(code) + kSeparator + value + kUnit;
}

QString DivisionItem(int code)
{
    const QString value = DivisionValueText(code);
    return value.isEmpty() ? QString() : QString::number(code) + kSeparator + value;
}

QStringList CapacityItems()
{
    QStringList items;
    for (int code = 0; code < CapacityCodeCount; ++code)
        items << CapacityItem(code);
    return items;
}

QStringList DivisionItems()
{
    QStringList items;
    for (int code = FirstDivisionCode; code <= LastDivisionCode; ++code)
        items << DivisionItem(code);
    return items;
}

std::optional<int> ItemCode(const QString &item)
{
    const QString t = item.trimmed();
    int value = 0;
    int digits = 0;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        if (++digits > 6)
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

QString ItemValueText(const QString &item)
{
    const int sep = item.indexOf(QStringLiteral("- "));
    QString value = (sep >= 0 ? item.mid(sep + 2) : item).trimmed();
    if (value.endsWith(QStringLiteral("Kg")))
        value.chop(2);
    return value.trimmed();
}

}  // namespace vx
