#pragma once
// A configuration file named on the command line, read for a command: the record, or
// nothing after one line on standard error saying why (cut off, or the system's reason).

#include "files/ConfigurationRecord.h"

#include <QString>
#include <optional>

namespace vx::cli {

class Session;

std::optional<ConfigurationRecord> ReadConfigurationArg(Session &s, const QString &file);

}  // namespace vx::cli
