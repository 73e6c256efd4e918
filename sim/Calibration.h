#pragma once
// The indicator's calibration and analog output, on the one register image:
//   - the range settings: registers 128..130 (mode, 1st and 2nd capacity and
//     division codes) and 149..152 (metrology code and the metrological bytes),
//     with a default range a new user can calibrate at once;
//   - the seal (146, 4 bytes) that a general calibration moves to 144 and clears;
//     finishing re-arms it with the next count;
//   - register 22 starts the steps (1 begin, 3 zero, 4 span with the test weight of
//     register 20, 2 finish); register 23 answers busy for a few reads, then A = 00
//     (zero, finish) or 01 (span) with B = the result code (00 accepted, 25 test
//     weight too small, 30 no calibration begun);
//   - register 195 the output type; register 24 the adjustment (1 start, 2 end, 3..10
//     steps) moving the values of 190 (zero point) and 191 (second point) in 0..65535.

#include "sim/VirtualIndicator.h"

namespace vx::sim {

struct CalibrationOptions {
    int busyPolls = 2;    // reads of register 23 that still say busy after a step starts
    int spanRefusals = 0;  // the next N span steps are refused with code 25
    qint32 seal = 80260;   // register 146 at start (it reads as [300] 9,80260 among the parameters)
};

void InstallCalibration(VirtualIndicator &device, CalibrationOptions options = {});

// What a step leaves in register 23 while it runs (A = 02, B = 00).
inline constexpr quint16 CalibrationBusyWord = 0x0200;

}  // namespace vx::sim
