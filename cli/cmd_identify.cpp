// vextora-cli identify: connect as the window does and name the indicator.

#include "cli/Cli.h"

namespace vx::cli {
namespace {

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("identify takes no argument"));
    Connection connection;
    if (const int rc = s.connect(connection); rc != ExitOk)
        return rc;
    const VersionResult &v = connection.version;
    const QString assumed = ModelName(s.options().model);
    const QString version = v.versionText.trimmed();
    if (s.json()) {
        s.printJson(QJsonObject{{QStringLiteral("model"), v.modelText},
                                {QStringLiteral("version"), version},
                                {QStringLiteral("assumedModel"), assumed},
                                {QStringLiteral("device"), s.devicePath()}});
        return ExitOk;
    }
    s.print(QStringLiteral("model    ") + v.modelText);
    s.print(QStringLiteral("version  ") + version);
    if (v.modelText != assumed)
        s.print(QStringLiteral("(the indicator is a %1, not the assumed %2)").arg(v.modelText, assumed));
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("identify"),
    .synopsis = QStringLiteral("identify"),
    .help = QStringLiteral("connect as the window does: read the version text, print model and version"),
    .options = {},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
