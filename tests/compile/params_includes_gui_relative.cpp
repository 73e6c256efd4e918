// Compiled as a file of src/params: a relative include into the window must not build.
#include "../gui/Captions.h"
