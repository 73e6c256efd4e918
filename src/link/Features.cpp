#include "link/Features.h"

namespace vx {

ModelFeatures FeaturesOf(Model model)
{
    switch (model) {
    case Model::ZR2:
        return {.idMemory = true, .setpointMemory = true, .eplPrinter = true, .clock = true, .extendedParameters = true};
    case Model::ZR1:
    case Model::None:
    case Model::Other:
        break;
    }
    return {};
}

}  // namespace vx
