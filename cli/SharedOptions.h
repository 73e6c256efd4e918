#pragma once
// The options every command of vextora-cli shares, as one table: each row is an
// option's name, the name of its value, its help line and how a value given applies
// to the session's options. The dispatcher adds the rows to the parser in table
// order (the order --help lists them) and applies them in that order too, so the
// first wrong one is the one reported.

#include "cli/Session.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace vx::cli {

struct SharedOption {
    enum class When {
        BeforeStore,  // chooses the settings the stored values come from
        OverStore,    // overrides a stored value (applied after they are read)
    };
    QString name;       // without "--"
    QString valueName;  // empty for a switch
    QString help;
    // Applies a value given ("" for a switch): nothing, or what is wrong with it as
    // the usage error says it.
    std::function<std::optional<QString>(const QString &value, SessionOptions &out)> apply;
    When when = When::OverStore;
    bool repeatable = false;  // every value applies, in order; otherwise the last one given
};

const std::vector<SharedOption> &SharedOptions();

}  // namespace vx::cli
