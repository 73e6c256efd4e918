#include "sim/Modules.h"

#include "sim/Memories.h"

#include <array>

namespace vx::sim {
namespace {

struct Module {
    const char *name;
    void (*install)(VirtualIndicator &, const ModuleOptions &);
};

// The one registration point: one line per feature.
constexpr std::array kModules = {
    Module{"live-status",
           [](VirtualIndicator &d, const ModuleOptions &o) { InstallLiveStatus(d, o.seconds, o.status); }},
    Module{"calibration", [](VirtualIndicator &d, const ModuleOptions &o) { InstallCalibration(d, o.calibration); }},
    Module{"memories", [](VirtualIndicator &d, const ModuleOptions &) { InstallMemories(d); }},
    Module{"parameters",
           [](VirtualIndicator &d, const ModuleOptions &o) { InstallParameters(d, o.seconds, o.parameters); }},
};

}  // namespace

void InstallDefaultModules(VirtualIndicator &device, const ModuleOptions &options)
{
    ModuleOptions given = options;
    if (!given.seconds)
        given.seconds = [] { return 0.0; };
    for (const Module &m : kModules)
        m.install(device, given);
}

QStringList DefaultModuleNames()
{
    QStringList names;
    for (const Module &m : kModules)
        names << QString::fromLatin1(m.name);
    return names;
}

}  // namespace vx::sim
