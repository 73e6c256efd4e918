#pragma once
// The real serial port (QSerialPort behind SerialPortIo), the COM-number mapping
// and the port procedures of the connection settings: listing and opening.

#include "link/Interfaces.h"
#include "link/NetworkPort.h"
#include "link/Settings.h"

#include <QList>
#include <QMap>
#include <QSerialPort>
#include <QStringList>
#include <functional>
#include <memory>

namespace vx {

struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
// "9600,N,8,1" -> settings; empty optional for a malformed text.
std::optional<LineSettings> ParseLineSettings(const QString &text);
// Seconds one character takes on the line: start bit, data bits, parity bit, stop bits.
double CharacterSeconds(const LineSettings &settings);

// Resolves "COMn" to a device. On Windows COMn is the native name. Elsewhere:
// first the explicit map of the settings store (section "ComPorts", key "COMn"),
// then run-only overrides (command line), then a stable enumeration of the
// machine's serial devices (USB and ACM adapters by number, then ttyS by number).
class ComPortMap {
public:
    ComPortMap() = default;
    // Loads the explicit map from the store.
    explicit ComPortMap(const SettingsStore &store);
    // Reads the explicit map from the store again (the file may have changed since);
    // the run-only overrides stay.
    void reload(SettingsStore &store);
    void setExplicit(int comNumber, const QString &devicePath);   // stored map
    void setOverride(int comNumber, const QString &devicePath);   // this run only
    // Device path (or native name) for COMn; empty when nothing is mapped.
    QString resolve(int comNumber) const;
    // Maps a name "COMn" (any case) to n; 0 when it is not of that form.
    static int comNumber(const QString &name);
    // The enumerated devices in their stable order (no explicit entries).
    static QStringList enumeratedDevices();

private:
    void loadExplicit(const SettingsStore &store);
    QMap<int, QString> m_explicit;
    QMap<int, QString> m_override;
};

// SerialPortIo over QSerialPort. Bytes are polled without an event loop, so the
// no-pump wait sees them too. A close keeps the device open until the program next
// runs its events: an open of the same device with the same settings before then takes
// it up again (what arrived meanwhile stays for the next drain) instead of making the
// system's lock file for the device anew. Operations that follow each other at once
// (a command's steps) so share one opening; between the window's operations the device
// is closed as before. When the other end goes away the port is closed
// (QSerialPort would otherwise keep reporting read errors). A network port name
// (tcp://, rfc2217://) is opened as a NetworkPort instead: every port is named the same
// way wherever a port is named.
class QtSerialPort : public SerialPortIo {
public:
    explicit QtSerialPort(ComPortMap map = {});
    ~QtSerialPort() override;
    PortResult open(const QString &portName, const QString &lineSettings) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes) override;
    qint64 bytesWaiting() override;
    QByteArray readAll() override;
    bool waitForBytes(double maxSeconds) override;
    double roundTripSeconds() const override;

    ComPortMap &portMap() { return m_map; }
    QString devicePath() const;  // what the last open resolved to
    // The network port behind the network names (its session, its cancel hook).
    NetworkPort &network() { return m_network; }

private:
    void poll();
    void closeBroken();  // the other end went away: keep what arrived, close
    bool takeUpParked(const QString &portName, const QString &lineSettings);
    void closeDevice();  // the device closed now (a parked one too)
    bool deviceOpen() const { return m_port && m_port->isOpen() && !m_parked; }
    ComPortMap m_map;
    std::unique_ptr<QSerialPort> m_port;
    QString m_devicePath;
    QByteArray m_salvaged;  // bytes received before the port broke, not read yet
    bool m_broken = false;
    NetworkPort m_network;
    bool m_onNetwork = false;  // the last open was of a network port
    // Closed, the device kept open until events run (see above): the name and settings it
    // was opened with, and the count that tells a deferred close it is still wanted.
    bool m_parked = false;
    QString m_parkedName;
    QString m_parkedSettings;
    quint64 m_parkCount = 0;
    std::unique_ptr<QObject> m_deferredCloses;  // context of the deferred closes
};

// The name handed to the port for a stored port number: "COMn" for a number (an
// empty text gives COM1), anything else (a device path) as it is.
QString PortNameFor(const QString &portNumber);

// OpenLinkPort: opens the port with the stored number and settings, closing it first when
// open; shows the message of a failure through the operator and returns its error number.
int OpenLinkPort(SerialPortIo &port, const LinkSettings &settings, Operator &op);
// Portkontrol: "COM1".."COM16" that can be opened now, ascending; errors swallowed.
// whileOpen, when given, runs for each port found while it is open (to ask where it leads).
QStringList Portkontrol(SerialPortIo &port, const QString &lineSettings = QStringLiteral("9600,N,8,1"),
                        const std::function<void(const QString &name)> &whileOpen = {});

}  // namespace vx
