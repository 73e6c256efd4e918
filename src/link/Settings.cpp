#include "link/Settings.h"

#include "link/ReadingTime.h"

#include "link/Codec.h"
#include "link/NetworkPort.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <cmath>

namespace vx {
namespace {

constexpr double kDefaultReadingTime = 0.15;

// CSUM as the original stored it ("True"/"False"), read case-insensitively; a number
// counts as true unless it is 0. Anything else (a damaged entry) keeps the checksum
// on, the safer default: a checksum the indicator does not expect shows at once as
// failing exchanges, while one switched off silently would hide corrupted answers.
bool readChecksumSwitch(const QString &stored)
{
    const QString t = stored.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = t.toDouble(&isNumber);
    if (isNumber && std::isfinite(number))
        return number != 0.0;
    return true;
}

}  // namespace

QString DrainModeName(DrainMode mode)
{
    return mode == DrainMode::Fixed ? QStringLiteral("fixed") : QStringLiteral("frame-end");
}

std::optional<DrainMode> ParseDrainMode(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("fixed"), Qt::CaseInsensitive) == 0)
        return DrainMode::Fixed;
    if (t.compare(QLatin1String("frame-end"), Qt::CaseInsensitive) == 0)
        return DrainMode::FrameEnd;
    return std::nullopt;
}

SettingsStore::SettingsStore()
{
#ifdef Q_OS_WIN
    // The registry key the original program used, so existing settings carry over.
    m_settings = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Kormel"),
        QSettings::NativeFormat);
#else
    m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Kormel"), QStringLiteral("Vextora"));
#endif
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    m_settings->beginGroup(section);
    const QVariant v = m_settings->value(key);
    m_settings->endGroup();
    if (!v.isValid())
        return defaultValue;
    // A hand-edited ini file may hold "9600,N,8,1" without quotes, which the ini
    // reader hands back as a list; it is still the one string that was written.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void SettingsStore::setValue(const QString &section, const QString &key, const QString &value)
{
    m_settings->beginGroup(section);
    m_settings->setValue(key, value);
    m_settings->endGroup();
}

void SettingsStore::remove(const QString &section, const QString &key)
{
    m_settings->beginGroup(section);
    m_settings->remove(key);
    m_settings->endGroup();
}

QStringList SettingsStore::keys(const QString &section) const
{
    m_settings->beginGroup(section);
    const QStringList result = m_settings->childKeys();
    m_settings->endGroup();
    return result;
}

void SettingsStore::sync()
{
    m_settings->sync();
}

QString SettingsStore::location() const
{
    return m_settings->fileName();
}

double ParseReadingTime(const QString &typed)
{
    const std::optional<double> number = ReadLeadingNumber(CommaToPoint(typed));
    if (!number)
        return 0.0;  // not a number: no wait at all, as the original read it
    const double value = *number;
    // 0 is legal (drain at once); a negative wait means nothing and is read as 0.
    if (!(value > 0.0))
        return 0.0;
    // Longer waits would freeze every exchange for minutes: such a value can only be a slip.
    return qMin(value, MaxReadingTime);
}

LinkSettings RegOku(const SettingsStore &store)
{
    using namespace SettingsKeys;
    LinkSettings s;

    const QString port = store.value(Section, Port).trimmed();
    s.PortNumber = port.isEmpty() ? QStringLiteral("1") : port;
    // A network port chosen in the panel is used instead of the COM number, which
    // stays as the earlier program knows it.
    const QString network = store.value(Section, Network).trimmed();
    if (ParseNetworkPortName(network))
        s.PortNumber = network;

    // An empty line settings text or language name cannot be used at all; it is
    // read like an absent one.
    const QString lineSettings = store.value(Section, Setting).trimmed();
    if (!lineSettings.isEmpty())
        s.PortSettings = lineSettings;

    s.DeviceAddress = store.value(Section, Address).trimmed();

    const QString checksum = store.value(Section, Checksum);
    if (!checksum.trimmed().isEmpty())
        s.ChecksumEnabled = readChecksumSwitch(checksum);

    const QString language = store.value(Section, Language).trimmed();
    if (!language.isEmpty())
        s.LanguageFileName = language;

    // An empty entry (an input box left empty) counts as absent; any other text
    // that is not a number reads as 0 like in the original.
    const QString readingTime = store.value(Section, ReadingTime);
    s.ReadingTime = readingTime.trimmed().isEmpty() ? kDefaultReadingTime : ParseReadingTime(readingTime);

    if (const auto mode = ParseDrainMode(store.value(Section, Drain)))
        s.drainMode = *mode;
    return s;
}

void StoreConnectionSettings(SettingsStore &store, const LinkSettings &settings)
{
    using namespace SettingsKeys;
    if (IsNetworkPortName(settings.PortNumber)) {
        store.setValue(Section, Network, settings.PortNumber.trimmed());
    } else {
        store.setValue(Section, Port, settings.PortNumber);
        store.remove(Section, Network);
    }
    store.setValue(Section, Setting, settings.PortSettings);
    store.setValue(Section, Address, settings.DeviceAddress);
    store.setValue(Section, Checksum, settings.ChecksumEnabled ? QStringLiteral("True") : QStringLiteral("False"));
    store.setValue(Section, Drain, DrainModeName(settings.drainMode));
    store.sync();
}

void StoreReadingTime(SettingsStore &store, const QString &typed)
{
    store.setValue(SettingsKeys::Section, SettingsKeys::ReadingTime, typed);
    store.sync();
}

void StoreLanguage(SettingsStore &store, const QString &fileName)
{
    store.setValue(SettingsKeys::Section, SettingsKeys::Language, fileName);
    store.sync();
}

bool RestorePointBeforeSend(const SettingsStore &store)
{
    return store.value(SettingsKeys::Section, SettingsKeys::RestorePoint).trimmed() != QLatin1String("0");
}

void StoreRestorePointBeforeSend(SettingsStore &store, bool on)
{
    store.setValue(SettingsKeys::Section, SettingsKeys::RestorePoint, on ? QStringLiteral("1") : QStringLiteral("0"));
    store.sync();
}

}  // namespace vx
