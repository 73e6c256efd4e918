// vextora-cli ports: the COM numbers that can be opened, with their devices.

#include "cli/Cli.h"

#include "link/SerialPort.h"

#include <QJsonArray>

namespace vx::cli {
namespace {

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("ports takes no argument"));
    QJsonArray list;
    Portkontrol(s.port(), s.options().link.PortSettings, [&](const QString &name) {
        const QString device = s.devicePath();
        if (s.json())
            list.append(QJsonObject{{QStringLiteral("port"), name}, {QStringLiteral("device"), device}});
        else
            s.print(name + QLatin1Char('\t') + device);
    });
    if (s.json())
        s.printJson(QJsonObject{{QStringLiteral("ports"), list}});
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("ports"),
    .synopsis = QStringLiteral("ports"),
    .help = QStringLiteral("list the COM numbers that can be opened, with their device paths"),
    .options = {},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
