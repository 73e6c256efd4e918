#pragma once
// Link settings and the per-user settings store (application "Kormel", section "ZR").

#include <QMap>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace vx {

enum class DrainMode {
    Fixed,     // wait the whole reading time, then drain what has arrived
    FrameEnd,  // return as soon as a complete answer (ending in CR) has arrived
};

QString DrainModeName(DrainMode mode);                    // "fixed" / "frame-end"
std::optional<DrainMode> ParseDrainMode(const QString &);  // accepts the two names

// The shared values loaded by RegOku.
struct LinkSettings {
    QString PortNumber = QStringLiteral("1");
    QString PortSettings = QStringLiteral("9600,N,8,1");
    QString DeviceAddress;  // empty or "00".."99"
    bool ChecksumEnabled = true;
    QString LanguageFileName = QStringLiteral("English.txt");
    double ReadingTime = 0.15;
    DrainMode drainMode = DrainMode::FrameEnd;
};

// String values by section and key. The default store is the per-user one
// (on Windows the registry path the original program used, so settings carry over);
// a store built on a file path is used by tests and by --settings.
class SettingsStore {
public:
    SettingsStore();                              // the user's store
    explicit SettingsStore(const QString &iniFile);  // an explicit file
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString value(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void remove(const QString &section, const QString &key);
    QStringList keys(const QString &section) const;
    void sync();
    QString location() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

namespace SettingsKeys {
inline const QString Section = QStringLiteral("ZR");
inline const QString Port = QStringLiteral("Port");
// A network port ("tcp://HOST:PORT", "rfc2217://HOST:PORT") used instead of "Port",
// which keeps its decimal COM number; absent while a COM port is chosen.
inline const QString Network = QStringLiteral("NetworkPort");
inline const QString Setting = QStringLiteral("Setting");
inline const QString Address = QStringLiteral("Adrres");
inline const QString Checksum = QStringLiteral("CSUM");
inline const QString Language = QStringLiteral("dil");
inline const QString ReadingTime = QStringLiteral("OkumaZamanı");
inline const QString Drain = QStringLiteral("Drain");
// "1" (the default) or "0": the send panel makes a restore point before a send-all.
inline const QString RestorePoint = QStringLiteral("RestorePoint");
// COM number -> device path map (keys "COM1".."COM16") for platforms without COM names.
inline const QString ComPortSection = QStringLiteral("ComPorts");
}  // namespace SettingsKeys

// Loads the six settings and the drain mode (defaults when absent).
LinkSettings RegOku(const SettingsStore &store);
// Reads a typed reading time ("0,3", "0.3", "15%") the way the original did: not a number gives 0.
double ParseReadingTime(const QString &typed);
// What the accept action of the connection panel stores: Port (or NetworkPort for a
// network port), Setting, Adrres, CSUM and the drain mode.
void StoreConnectionSettings(SettingsStore &store, const LinkSettings &settings);
void StoreReadingTime(SettingsStore &store, const QString &typed);
void StoreLanguage(SettingsStore &store, const QString &fileName);
// The send panel's "restore point before sending": on unless "0" is stored.
bool RestorePointBeforeSend(const SettingsStore &store);
void StoreRestorePointBeforeSend(SettingsStore &store, bool on);

}  // namespace vx
