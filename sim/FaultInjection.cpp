#include "sim/FaultInjection.h"

#include "sim/RegisterBank.h"
#include "sim/Wire.h"

namespace vx::sim {
namespace {

bool matches(const FaultRule &rule, const Request &r, long requestCount)
{
    switch (rule.scope) {
    case FaultScope::Always:
        return true;
    case FaultScope::Register:
        return r.reg == rule.value;
    case FaultScope::Command:
        // The code a write would put into the command register.
        if (r.write && r.reg <= regs::Command) {
            const int offset = (regs::Command - r.reg) * 2;
            if (r.data.size() >= offset + 2) {
                const int code = (quint8(r.data[offset]) << 8) | quint8(r.data[offset + 1]);
                return code == rule.value;
            }
        }
        return false;
    case FaultScope::EveryNth:
        return rule.value > 0 && requestCount % rule.value == 0;
    }
    return false;
}

}  // namespace

std::optional<FaultRule> FaultInjector::fire(const Request &r, long requestCount)
{
    for (FaultRule &rule : m_rules) {
        if (rule.remaining == 0 || !matches(rule, r, requestCount))
            continue;
        if (rule.remaining > 0)
            --rule.remaining;
        m_fired.push_back(rule.kind);
        return rule;
    }
    return std::nullopt;
}

void FaultInjector::Distort(const FaultRule &rule, QByteArray &answer, double *extraDelay, bool checksum,
                            long requestCount)
{
    switch (rule.kind) {
    case FaultKind::BadChecksum:
        if (checksum && answer.size() >= 3) {
            // The last two characters before the CR are the checksum.
            const int pos = answer.size() - 3;
            const int good = HexValue(answer.mid(pos, 2));
            answer.replace(pos, 2, wire::hexNumber(quint32(good ^ 0x55), 2));
        }
        break;
    case FaultKind::Late:
        *extraDelay = rule.lateSeconds;
        break;
    case FaultKind::Partial:
        answer.truncate(answer.size() / 2);
        break;
    case FaultKind::Noise: {
        // Deterministic garbage of the answer's length, never "@" or CR.
        quint32 seed = quint32(requestCount) * 2654435761u + 12345u;
        for (char &c : answer) {
            seed = seed * 1103515245u + 12345u;
            char b = char((seed >> 16) & 0xFF);
            if (b == '@' || b == '\r')
                b = '?';
            c = b;
        }
        break;
    }
    case FaultKind::NoAnswer:
    case FaultKind::Refuse:
    case FaultKind::Busy:
        break;
    }
}

}  // namespace vx::sim
