#include "link/Codec.h"
QString frame() { return vx::BuildWriteFrame({}, 19, 2, false, "Lgg", 20); }
