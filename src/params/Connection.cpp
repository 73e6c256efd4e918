#include "params/Connection.h"

#include "link/LineLease.h"
#include "params/Range.h"

namespace vx {

Connection ConnectAndLearnRange(Link &link, LearnRange learn)
{
    Connection connection;
    const LineLease lease(link, {.policy = LineLease::Policy::Join, .attempts = PortOpenAttempts});
    if (!lease) {
        connection.version.outcome = VersionResult::Outcome::PortFailed;
        connection.version.portError = lease.portError();
        return connection;
    }
    // VersiyonOku opens the port itself: inside the lease it opens it again, which
    // leaves it as it was (PortAç closes an open port first).
    connection.version = VersiyonOku(link);
    if (learn == LearnRange::Yes && connection.connected())
        connection.range = ReadRange(link);
    return connection;
}

}  // namespace vx
