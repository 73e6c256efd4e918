#pragma once
// What the indicator shows on its status registers: weight-like values that move
// over time (0, 3, 5), three further values (11, 13, 15), the operating status
// word (2) and the hardware status word (25). Installed as read hooks, so every
// read sees the value of that moment.

#include "sim/VirtualIndicator.h"

#include <functional>

namespace vx::sim {

// A weight that moves as a real load cell's does, in display digits (0,1 kg in the
// default range of 300 kg by 0.1): noise about a resting value, a slow drift, and a
// load put on at a set time that settles in a moment. Off, the live status keeps its
// gentle sway, so existing wire logs stay as they were. The noise comes from the
// seed and the time alone: the same clock gives the same weights.
struct WeightMotion {
    bool on = false;
    quint32 seed = 1;
    qint32 rest = 1000;           // gross with nothing put on (100,0 kg)
    qint32 noise = 2;             // at most this many digits either way, new every NoiseStep
    double driftPerMinute = 3.0;  // digits a minute, from the start
    qint32 load = 500;            // digits put on (50,0 kg); 0 puts nothing on
    double loadAt = 30.0;         // seconds after the start
    double settle = 0.4;          // seconds the load takes to settle to 63 %
    qint32 tare = 200;            // a tare that stays put: net = gross - tare
    static constexpr double NoiseStep = 0.05;
};

// The gross weight in digits at `seconds` after the start.
qint32 MovingGross(const WeightMotion &motion, double seconds);

struct LiveStatusOptions {
    bool calibrationPermitted = true;  // hardware word A bit 3
    bool analogCard = true;            // hardware word B bit 4
    quint8 operatingA = 0x20;          // operating word, first byte
    quint8 operatingB = 0x03;          // operating word, second byte: stable, calibrated
    WeightMotion motion;               // the moving weight of registers 0, 3 and 5
};

// seconds: the time source (the virtual clock's elapsed time in tests, a monotonic
// timer on the pseudo-terminal).
void InstallLiveStatus(VirtualIndicator &device, std::function<double()> seconds,
                       LiveStatusOptions options = {});

// The hardware word for the given options (A in the high byte).
quint16 HardwareWord(const LiveStatusOptions &options);

}  // namespace vx::sim
