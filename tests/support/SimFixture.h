#pragma once
// The virtual indicator in this process, with its default modules, answering on
// the in-process port in virtual time.

#include "sim/InProcessPort.h"
#include "sim/Modules.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"

namespace vx::test {

struct InProcessIndicator {
    explicit InProcessIndicator(sim::VirtualIndicator::Options options = {}, sim::LiveStatusOptions status = {},
                                sim::CalibrationOptions calibration = {})
        : device(std::move(options))
    {
        sim::ModuleOptions modules;
        modules.seconds = [this] { return clock.elapsed(); };
        modules.status = status;
        modules.calibration = calibration;
        sim::InstallDefaultModules(device, modules);
    }

    sim::VirtualIndicator device;
    sim::VirtualClock clock;
    sim::InProcessPort port{device, clock};
};

}  // namespace vx::test
