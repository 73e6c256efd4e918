// Compiled as a file of src/params: a relative include into the monitor, a room
// params does not declare, must not build.
#include "../monitor/StatusTable.h"
