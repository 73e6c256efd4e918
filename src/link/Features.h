#pragma once
// What a model has. The window hides the tabs and groups a model lacks, and the tool
// refuses them, from this one table instead of comparing models where the choice is made.

#include "link/Model.h"

namespace vx {

struct ModelFeatures {
    bool idMemory = false;        // the ID memory: its tab and the "id" group of read-all and send-all
    bool setpointMemory = false;  // the setpoint memory: its tab and the "setpoint" group
    bool eplPrinter = false;      // the EPL printer text in the header, beside the ticket lines
    bool clock = false;           // a clock a send-all can set (the "datetime" group)
    bool extendedParameters = false;  // the parameter rows and choices marked for the ZR2 only
};

// ZR2: everything above; ZR1, a model not chosen yet and a version text that names
// neither model: none of it.
ModelFeatures FeaturesOf(Model model);

}  // namespace vx
