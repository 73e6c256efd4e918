#include "calibration/DisplayRead.h"

#include "link/Codec.h"
#include "link/Registers.h"
#include "link/Transaction.h"

#include <cmath>

namespace vx {

double DisplayWeight::value() const { return double(units) / std::pow(10.0, decimals); }

QString DisplayWeight::text() const { return InsertDecimalComma(QString::number(units), decimals); }

std::optional<DisplayReading> ReadDisplay(Link &link, int decimals)
{
    auto weight = [&link, decimals](int reg) -> std::optional<DisplayWeight> {
        // The decoded value is there only for a whole answer with data.
        const QVariant v = link.read(reg, 4, "LG");
        if (!v.isValid())
            return std::nullopt;
        return DisplayWeight{v.toLongLong(), decimals};
    };
    DisplayReading reading;
    reading.gross = weight(reg::GrossWeight);
    reading.net = weight(reg::NetWeight);
    if (!reading.gross && !reading.net)
        return std::nullopt;
    return reading;
}

}  // namespace vx
