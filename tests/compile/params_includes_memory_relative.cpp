// Compiled as a file of src/params: a relative include into the memory room, a room
// params does not declare, must not build.
#include "../memory/IdMemory.h"
