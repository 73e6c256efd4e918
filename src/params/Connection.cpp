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
    // VersiyonOku and TaksimatBul join this lease: one opening, one drain, one close.
    connection.version = VersiyonOku(link);
    if (learn == LearnRange::Yes && connection.connected())
        connection.range = TaksimatBul(link);
    return connection;
}

}  // namespace vx
