#include "monitor/DisplayRead.h"

#include "link/Codec.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "monitor/Status.h"

#include <cmath>

namespace vx {

namespace {
constexpr int kWeightBytes = 4;
constexpr int kWordBytes = 2;
}  // namespace

double DisplayWeight::value() const { return double(units) / std::pow(10.0, decimals); }

QString DisplayWeight::text() const { return InsertDecimalComma(QString::number(units), decimals); }

std::optional<DisplayWeight> LiveWeightOf(Link &link, const Answer &answer, int reg, int decimals)
{
    if (!answer.whole())
        return std::nullopt;
    const QVariant v = link.valueOf(answer, "LG", reg);
    if (!v.isValid())
        return std::nullopt;
    return DisplayWeight{v.toLongLong(), decimals};
}

std::optional<DisplayReading> ReadDisplay(Link &link, int decimals)
{
    auto weight = [&link, decimals](int reg) {
        return LiveWeightOf(link, link.readAnswer(reg, kWeightBytes), reg, decimals);
    };
    DisplayReading reading;
    reading.gross = weight(reg::GrossWeight);
    reading.net = weight(reg::NetWeight);
    if (!reading.gross && !reading.net)
        return std::nullopt;
    return reading;
}

std::optional<bool> ReadStable(Link &link)
{
    const Answer answer = link.readAnswer(OperatingRegister, kWordBytes);
    if (!answer.whole())
        return std::nullopt;
    // The word keeps every byte (00 and 0A included), as the status reading takes it.
    const QVariant text = link.valueOf(answer, "Tx1", OperatingRegister);
    const std::optional<StatusWord> word = text.isValid() ? DurumOku(text.toString()) : std::nullopt;
    if (!word || text.toString().size() != kWordBytes)
        return std::nullopt;
    StatusReading reading;
    reading.operating = word;
    for (const StatusRow &row : StatusRows())
        if (row.key == QLatin1String("stable"))
            return StatusValueOf(reading, row).bit;
    return std::nullopt;
}

}  // namespace vx
