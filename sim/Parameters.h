#pragma once
// The indicator's parameters: its running clock at register 124 (command 5 shows
// the time, command 6 sets it from what was written there), the calibration block
// (128-147) and the configuration block (149-198) with a plausible default image,
// and the identification texts at 199 and 204 that the indicator core holds.
// Commands 7 and 12 select the configuration and calibration blocks for reading and
// 9, 8 and 13 store the Jmp group, the Nrm group and the calibration block; the
// register image is the indicator's memory, so they are acknowledged like any
// command and change nothing else.
//
// The range and metrological registers 128-130 and 149-152 are the calibration
// module's; this module never sets them. A register of its own blocks that already
// holds a value (another module's default, a loaded state) keeps it.

#include "sim/VirtualIndicator.h"

#include <QDateTime>
#include <functional>

namespace vx::sim {

struct ParameterOptions {
    // Where the clock starts; invalid: 12 March 2026, 10:00:00 (the tests' virtual clock).
    QDateTime clockStart;
    // A clock that acknowledges command 6 and keeps running as it was (a clock chip
    // that takes no setting): a setting's read-back then disagrees.
    bool clockIgnoresSetting = false;
};

// seconds: time since the indicator started (the clock runs with it).
void InstallParameters(VirtualIndicator &device, std::function<double()> seconds, ParameterOptions options = {});

// The clock's 8 bytes for a moment: BCD seconds, minutes, hours, weekday (00 Monday),
// day, month, two-digit year, then 00.
QByteArray ClockBytes(const QDateTime &time);

}  // namespace vx::sim
