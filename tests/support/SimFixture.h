#pragma once
// The virtual indicator in this process, with its default modules, answering on
// the in-process port in virtual time.

#include "sim/InProcessPort.h"
#include "sim/Modules.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"

namespace vx::test {

struct InProcessIndicator {
    explicit InProcessIndicator(sim::VirtualIndicator::Options options = {}, sim::LiveStatusOptions status = {})
        : device(std::move(options))
    {
        sim::InstallDefaultModules(device, {[this] { return clock.elapsed(); }, status});
    }

    sim::VirtualIndicator device;
    sim::VirtualClock clock;
    sim::InProcessPort port{device, clock};
};

}  // namespace vx::test
