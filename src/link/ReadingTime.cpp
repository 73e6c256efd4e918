#include "link/ReadingTime.h"

#include "link/Codec.h"

namespace vx {

std::optional<double> ValidReadingTime(const QString &typed)
{
    bool ok = false;
    const double seconds = CommaToPoint(typed.trimmed()).toDouble(&ok);
    // Written so that a NaN fails too.
    if (!ok || !(seconds >= MinReadingTime && seconds <= MaxReadingTime))
        return std::nullopt;
    return seconds;
}

}  // namespace vx
