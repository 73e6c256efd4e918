#pragma once
// The faults the virtual indicator has been told to commit (sim/Faults.h): which
// rule a request triggers, and what that rule does to the answer.

#include "sim/Dispatch.h"
#include "sim/Faults.h"

#include <QByteArray>
#include <optional>
#include <vector>

namespace vx::sim {

class FaultInjector {
public:
    void add(const FaultRule &rule) { m_rules.push_back(rule); }
    void clear() { m_rules.clear(); }

    // The first rule with firings left that matches r, the requestCount-th well
    // formed request (counted from 1); it is counted down and its kind recorded.
    std::optional<FaultRule> fire(const Request &r, long requestCount);
    // Faults that have fired, in order.
    const std::vector<FaultKind> &fired() const { return m_fired; }

    // Changes a finished answer (with its CR) the way a bad checksum, a late,
    // partial or noisy answer does; the other kinds leave it alone. *extraDelay
    // is set for a late answer.
    static void Distort(const FaultRule &rule, QByteArray &answer, double *extraDelay, bool checksum,
                        long requestCount);

private:
    std::vector<FaultRule> m_rules;
    std::vector<FaultKind> m_fired;
};

}  // namespace vx::sim
