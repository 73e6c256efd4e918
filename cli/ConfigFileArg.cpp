#include "cli/ConfigFileArg.h"

#include "cli/Session.h"
#include "files/ConfigFile.h"

namespace vx::cli {

std::optional<ConfigurationRecord> ReadConfigurationArg(Session &s, const QString &file)
{
    FileError error;
    std::optional<ConfigurationRecord> record = ReadConfigurationFile(file, &error);
    if (!record) {
        if (error.kind == FileError::CutOff)
            s.error(QStringLiteral("\"%1\" ends after %2 bytes, before the configuration does").arg(file, error.reason));
        else
            s.error(QStringLiteral("cannot read \"%1\": %2").arg(file, error.reason));
    }
    return record;
}

}  // namespace vx::cli
