#pragma once
// Connecting as the window does, in one operation on the line: the port opened (up to
// PortOpenAttempts), the version text read (VersiyonOku) and, when connected, the
// indicator's range (ReadRange), whose format every weight shown or sent uses.

#include "calibration/RangeLists.h"
#include "link/Connect.h"

#include <optional>

namespace vx {

class Link;

enum class LearnRange { No, Yes };

struct Connection {
    VersionResult version;                // PortFailed (with the port error) when the port did not open
    std::optional<IndicatorRange> range;  // asked for, connected and read whole
    bool connected() const { return version.connected(); }
};

// Takes the line for the connect (LineLease, joining an operation already in force,
// whose port then stays open after it), reads the version text and, with
// LearnRange::Yes and a connected indicator, the range. Says nothing itself beyond
// what opening the port says: a refused version read is the caller's to report.
Connection ConnectAndLearnRange(Link &link, LearnRange learn = LearnRange::Yes);

}  // namespace vx
