#pragma once
// The reading time a user gives (the settings panel's question, the tool's
// --reading-time): how long the link waits for an answer after a request.

#include <QString>
#include <optional>

namespace vx {

// 0 drains at once; a wait beyond a minute is a typing error.
inline constexpr double MinReadingTime = 0.0;
inline constexpr double MaxReadingTime = 60.0;

// The seconds in `typed` ("0.3", "0,3", blanks around it allowed) when they lie from
// MinReadingTime to MaxReadingTime; nothing for anything else (no number, a number
// with more after it, out of range). A value read back from the settings store is
// read by ParseReadingTime (link/Settings.h), which never refuses.
std::optional<double> ValidReadingTime(const QString &typed);

}  // namespace vx
