#pragma once
// Faults the virtual indicator can be told to commit, for tests and demos.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vx::sim {

enum class FaultKind {
    NoAnswer,     // the request is swallowed
    Refuse,       // the answer begins "@8"
    Busy,         // the answer begins "@9": the indicator cannot take the request now
    BadChecksum,  // the answer's checksum is wrong
    Late,         // the answer comes lateSeconds after the normal reply latency
    Partial,      // only the first half of the answer is sent
    Noise,        // bytes without a frame instead of the answer
};

enum class FaultScope {
    Always,    // every request
    Register,  // requests whose register equals value
    Command,   // writes of command code value to register 19
    EveryNth,  // every value-th request (counted from 1)
};

struct FaultRule {
    FaultKind kind = FaultKind::NoAnswer;
    FaultScope scope = FaultScope::Always;
    int value = 0;
    int remaining = -1;         // how many more times it fires; -1 without limit
    double lateSeconds = 1.0;   // for Late
};

// Parses a --fault RULE: KIND[:reg=N|:cmd=N|:every=N][:times=N][:late=SECONDS]
// KIND is one of noanswer, refuse, busy, badsum, late, partial, noise.
// Returns nothing and sets *error for a malformed text.
std::optional<FaultRule> ParseFault(const QString &ruleText, QString *error = nullptr);
QString FaultHelp();
// The KIND word of a fault ("noanswer", "refuse", ...).
QString FaultKindName(FaultKind kind);

}  // namespace vx::sim
