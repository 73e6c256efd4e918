// The room's own include folder, climbed out of: must not build.
#include "params/../gui/Captions.h"
