// The virtual indicator sees the source tree's top (for "sim/X.h"); the program's
// code page by its path there must not build either.
#include "src/link/Cp1254.h"
