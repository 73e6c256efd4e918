// The table of the options every command shares.

#include "cli/SharedOptions.h"

#include "link/AppPaths.h"
#include "link/ReadingTime.h"
#include "link/SafeFile.h"
#include "link/SerialPort.h"
#include "shell/LanguageTexts.h"

#include <QFileInfo>

namespace vx::cli {
namespace {

using Problem = std::optional<QString>;

Problem applyPort(const QString &given, SessionOptions &out)
{
    const QString value = given.trimmed();
    if (value.isEmpty())
        return QStringLiteral("--port needs COMn, a device path or a network port");
    if (IsNetworkPortName(value)) {
        QString why;
        if (!ParseNetworkPortName(value, &why))
            return QStringLiteral("--port: ") + why;
        out.link.PortNumber = value;
        return std::nullopt;
    }
    const int n = ComPortMap::comNumber(value);
    if (n > 16 || value.compare(QStringLiteral("COM0"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("--port: COM numbers run from 1 to 16");
    out.link.PortNumber = n > 0 ? QString::number(n) : value;
    return std::nullopt;
}

Problem applyLineSettings(const QString &value, SessionOptions &out)
{
    if (!ParseLineSettings(value))
        return QStringLiteral("--line-settings \"%1\" is not like \"9600,N,8,1\"").arg(value);
    out.link.PortSettings = value;
    return std::nullopt;
}

Problem applyAddress(const QString &value, SessionOptions &out)
{
    const auto address = ParseAddressOption(value);
    if (!address)
        return QStringLiteral("--address must be empty or a number from 0 to 99");
    out.link.DeviceAddress = *address;
    return std::nullopt;
}

Problem applyChecksum(const QString &value, SessionOptions &out)
{
    const auto on = ParseOnOff(value);
    if (!on)
        return QStringLiteral("--checksum must be on or off");
    out.link.ChecksumEnabled = *on;
    return std::nullopt;
}

Problem applyReadingTime(const QString &value, SessionOptions &out)
{
    const std::optional<double> seconds = ValidReadingTime(value);
    if (!seconds)
        return QStringLiteral("--reading-time must be a number of seconds from %1 to %2")
            .arg(MinReadingTime)
            .arg(MaxReadingTime);
    out.link.ReadingTime = *seconds;
    return std::nullopt;
}

Problem applyDrain(const QString &value, SessionOptions &out)
{
    const auto mode = ParseDrainMode(value.trimmed());
    if (!mode)
        return QStringLiteral("--drain must be fixed or frame-end");
    out.link.drainMode = *mode;
    return std::nullopt;
}

Problem applyModel(const QString &value, SessionOptions &out)
{
    const auto model = ParseModelOption(value);
    if (!model)
        return QStringLiteral("--model must be ZR1 or ZR2");
    out.model = *model;
    return std::nullopt;
}

Problem applyLanguage(const QString &name, SessionOptions &out)
{
    // A name inside LANGUAGE/, never a path that leads out of it.
    if (!IsLanguageFileName(name))
        return QStringLiteral("--language \"%1\": a language file is a name inside the LANGUAGE folder").arg(name);
    const QString path = LanguageFilePath(name);
    QString why;
    if (QFileInfo::exists(path) && !IsReadableRegularFile(path, &why))
        return QStringLiteral("--language \"%1\": %2").arg(name, why);
    out.languageFile = name;
    return std::nullopt;
}

Problem applyJson(const QString &, SessionOptions &out)
{
    out.json = true;
    return std::nullopt;
}

Problem applyTrace(const QString &, SessionOptions &out)
{
    out.trace = true;
    return std::nullopt;
}

Problem applySettings(const QString &file, SessionOptions &out)
{
    if (const auto why = SettingsFileProblem(file))
        return QStringLiteral("--settings \"%1\": %2").arg(file, *why);
    out.settingsFile = file;
    return std::nullopt;
}

Problem applyMap(const QString &entry, SessionOptions &out)
{
    const auto mapping = ParseComMapping(entry);
    if (!mapping)
        return QStringLiteral("--map: expected COMn=PATH with n from 1 to 16, got \"%1\"").arg(entry);
    out.maps.push_back(*mapping);
    return std::nullopt;
}

}  // namespace

const std::vector<SharedOption> &SharedOptions()
{
    using When = SharedOption::When;
    static const std::vector<SharedOption> table = {
        {QStringLiteral("port"), QStringLiteral("COMn|PATH|tcp://HOST:PORT|rfc2217://HOST:PORT"),
         QStringLiteral("Port: COMn, a device path or a serial server on the network (default: the stored "
                        "\"NetworkPort\", else \"Port\")."),
         applyPort},
        {QStringLiteral("line-settings"), QStringLiteral("TEXT"),
         QStringLiteral("Line settings, e.g. \"9600,N,8,1\" (default: stored \"Setting\")."), applyLineSettings},
        {QStringLiteral("address"), QStringLiteral("NN"),
         QStringLiteral("Device address, empty or 0..99 (default: stored \"Adrres\")."), applyAddress},
        {QStringLiteral("checksum"), QStringLiteral("on|off"),
         QStringLiteral("Checksum on or off (default: stored \"CSUM\")."), applyChecksum},
        {QStringLiteral("reading-time"), QStringLiteral("SECONDS"),
         QStringLiteral("Reading time in seconds, %1 to %2 (default: stored \"OkumaZamanı\").")
             .arg(MinReadingTime)
             .arg(MaxReadingTime),
         applyReadingTime},
        {QStringLiteral("drain"), QStringLiteral("fixed|frame-end"),
         QStringLiteral("Answer draining: fixed or frame-end (default: stored)."), applyDrain},
        {QStringLiteral("model"), QStringLiteral("ZR1|ZR2"),
         QStringLiteral("Model assumed before the version text is read (default ZR2)."), applyModel},
        {QStringLiteral("language"), QStringLiteral("FILE"),
         QStringLiteral("Language file name in LANGUAGE/ (default: stored \"dil\")."), applyLanguage},
        {QStringLiteral("json"), QString(),
         QStringLiteral("Machine-readable output: raw values as numbers, flags as booleans, "
                        "the language texts as extra fields."),
         applyJson},
        {QStringLiteral("trace"), QString(),
         QStringLiteral("Every frame out and in, and every communication log line, on standard error."),
         applyTrace},
        {QStringLiteral("settings"), QStringLiteral("FILE"),
         QStringLiteral("Use this settings file instead of the user's store."), applySettings, When::BeforeStore},
        {QStringLiteral("map"), QStringLiteral("COMn=PATH"),
         QStringLiteral("For this run, COMn is the serial device PATH (repeatable)."), applyMap, When::OverStore,
         true},
    };
    return table;
}

}  // namespace vx::cli
