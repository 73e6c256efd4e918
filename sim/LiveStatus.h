#pragma once
// What the indicator shows on its status registers: weight-like values that move
// over time (0, 3, 5), three further values (11, 13, 15), the operating status
// word (2) and the hardware status word (25). Installed as read hooks, so every
// read sees the value of that moment.

#include "sim/VirtualIndicator.h"

#include <functional>

namespace vx::sim {

struct LiveStatusOptions {
    bool calibrationPermitted = true;  // hardware word A bit 3
    bool analogCard = true;            // hardware word B bit 4
    quint8 operatingA = 0x20;          // operating word, first byte
    quint8 operatingB = 0x03;          // operating word, second byte: stable, calibrated
};

// seconds: the time source (the virtual clock's elapsed time in tests, a monotonic
// timer on the pseudo-terminal).
void InstallLiveStatus(VirtualIndicator &device, std::function<double()> seconds,
                       LiveStatusOptions options = {});

// The hardware word for the given options (A in the high byte).
quint16 HardwareWord(const LiveStatusOptions &options);

}  // namespace vx::sim
