// The virtual indicator reaches the port and clock interfaces: this builds.
#include "link/Interfaces.h"
#include "sim/InProcessPort.h"

int simSeesThePortInterface() { return vx::PortErr::NoSuchPort; }
