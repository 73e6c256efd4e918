#pragma once
// The virtual indicator's features beyond its register memory. Each feature is a
// module in a file of its own that installs itself on the one register image
// through the indicator's hooks (onRead, onWrite, onCommand), like LiveStatus.
// vextora-sim, the in-process test fixtures and the benchmark (through
// vextora-sim) all get their indicator from InstallDefaultModules.
//
// A new feature: write sim/<Feature>.h/.cpp with an Install<Feature>(device,
// options) function, give it an options member below if it needs one, and add
// one line to the module table in sim/Modules.cpp.

#include "sim/Calibration.h"
#include "sim/LiveStatus.h"
#include "sim/Parameters.h"
#include "sim/VirtualIndicator.h"

#include <QStringList>
#include <functional>

namespace vx::sim {

struct ModuleOptions {
    // Seconds since the indicator started: the virtual clock's elapsed time in
    // tests, a monotonic timer on the pseudo-terminal. Moving values follow it.
    std::function<double()> seconds;
    LiveStatusOptions status;
    CalibrationOptions calibration;
    ParameterOptions parameters = {};
};

// Installs every module of the table, in its order.
void InstallDefaultModules(VirtualIndicator &device, const ModuleOptions &options);
// The names of the modules, in the order they are installed.
QStringList DefaultModuleNames();

}  // namespace vx::sim
