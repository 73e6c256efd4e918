// The virtual indicator must not reach the program's codec: this must not build.
#include "link/Codec.h"
#include "sim/VirtualIndicator.h"

int simUsesTheClientsChecksum() { return vx::ComputeLrc(QStringLiteral("0300")).size(); }
