#include "sim/Faults.h"

#include <array>
#include <cmath>

namespace vx::sim {
namespace {

struct KindName {
    const char *name;
    FaultKind kind;
    const char *help;
};

constexpr std::array<KindName, 7> kKinds = {{
    {"noanswer", FaultKind::NoAnswer, "the request is swallowed: nothing is done, nothing is answered"},
    {"refuse", FaultKind::Refuse, "the request is refused: the answer begins \"@8\""},
    {"busy", FaultKind::Busy, "the indicator is busy: nothing is done, the answer begins \"@9\""},
    {"badsum", FaultKind::BadChecksum, "the answer carries a wrong checksum (no effect with the checksum off)"},
    {"late", FaultKind::Late, "the answer comes late=SECONDS after the normal latency (default 1)"},
    {"partial", FaultKind::Partial, "only the first half of the answer is sent, without its CR"},
    {"noise", FaultKind::Noise, "bytes without \"@\" or CR are sent instead of the answer"},
}};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool parseInt(const QString &text, int minimum, int maximum, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < minimum || v > maximum)
        return false;
    *out = v;
    return true;
}

}  // namespace

QString FaultKindName(FaultKind kind)
{
    for (const auto &k : kKinds)
        if (k.kind == kind)
            return QString::fromLatin1(k.name);
    return {};
}

std::optional<FaultRule> ParseFault(const QString &ruleText, QString *error)
{
    const QStringList parts = ruleText.trimmed().split(QLatin1Char(':'));
    const QString kindText = parts.value(0).trimmed().toLower();
    FaultRule rule;
    bool kindFound = false;
    for (const auto &k : kKinds) {
        if (kindText == QLatin1String(k.name)) {
            rule.kind = k.kind;
            kindFound = true;
        }
    }
    if (!kindFound) {
        fail(error, QStringLiteral("unknown fault kind \"%1\" (expected noanswer, refuse, busy, badsum, late, "
                                   "partial or noise)").arg(parts.value(0)));
        return std::nullopt;
    }

    bool scopeSeen = false, timesSeen = false, lateSeen = false;
    for (int i = 1; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        const int eq = part.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? part : part.left(eq)).trimmed().toLower();
        const QString value = eq < 0 ? QString() : part.mid(eq + 1).trimmed();
        if (eq < 0 || value.isEmpty()) {
            fail(error, QStringLiteral("fault \"%1\": \"%2\" needs a value (KEY=VALUE)").arg(ruleText, part));
            return std::nullopt;
        }
        if (key == QLatin1String("reg") || key == QLatin1String("cmd") || key == QLatin1String("every")) {
            if (scopeSeen) {
                fail(error, QStringLiteral("fault \"%1\": only one of reg=, cmd=, every= may be given").arg(ruleText));
                return std::nullopt;
            }
            scopeSeen = true;
            const int minimum = key == QLatin1String("every") ? 1 : 0;
            if (!parseInt(value, minimum, 65535, &rule.value)) {
                fail(error, QStringLiteral("fault \"%1\": %2= needs a whole number from %3 to 65535")
                                .arg(ruleText, key).arg(minimum));
                return std::nullopt;
            }
            rule.scope = key == QLatin1String("reg")   ? FaultScope::Register
                         : key == QLatin1String("cmd") ? FaultScope::Command
                                                       : FaultScope::EveryNth;
        } else if (key == QLatin1String("times")) {
            if (timesSeen || !parseInt(value, 1, 1000000000, &rule.remaining)) {
                fail(error, QStringLiteral("fault \"%1\": times= needs a whole number of at least 1, once").arg(ruleText));
                return std::nullopt;
            }
            timesSeen = true;
        } else if (key == QLatin1String("late")) {
            bool ok = false;
            const double s = value.toDouble(&ok);
            if (lateSeen || !ok || !std::isfinite(s) || s < 0 || s > 3600) {
                fail(error, QStringLiteral("fault \"%1\": late= needs seconds from 0 to 3600, once").arg(ruleText));
                return std::nullopt;
            }
            lateSeen = true;
            rule.lateSeconds = s;
        } else {
            fail(error, QStringLiteral("fault \"%1\": unknown key \"%2\" (expected reg, cmd, every, times or late)")
                            .arg(ruleText, key));
            return std::nullopt;
        }
    }
    if (lateSeen && rule.kind != FaultKind::Late) {
        fail(error, QStringLiteral("fault \"%1\": late= belongs to the late kind only").arg(ruleText));
        return std::nullopt;
    }
    return rule;
}

QString FaultHelp()
{
    QString text = QStringLiteral(
        "Fault RULE: KIND[:reg=N|:cmd=N|:every=N][:times=N][:late=SECONDS]\n"
        "  KIND:\n");
    for (const auto &k : kKinds)
        text += QStringLiteral("    %1  %2\n").arg(QString::fromLatin1(k.name), -9).arg(QString::fromLatin1(k.help));
    text += QStringLiteral(
        "  Where (at most one; default every request):\n"
        "    reg=N     requests whose first register is N (decimal)\n"
        "    cmd=N     writes of command code N to the command register 19\n"
        "    every=N   every N-th request addressed to the indicator, counted from 1\n"
        "  times=N     fires N times, then the fault is spent (default: without limit)\n"
        "  Requests for another address or with a bad checksum are ignored before faults.\n"
        "  Examples: noanswer:reg=199  refuse:cmd=19:times=1  late:every=3:late=0.5  badsum");
    return text;
}

}  // namespace vx::sim
