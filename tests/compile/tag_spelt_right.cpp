#include "link/Codec.h"
QString frame() { return vx::BuildWriteFrame({}, 19, 2, false, "Lg", 20) + vx::DecodeAnswer({}, "Tx", {}, false, 0, *new vx::DecodeContext).toString(); }
