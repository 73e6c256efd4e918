#include "link/SerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vx {

// ---------------------------------------------------------------------------
// Line settings

std::optional<LineSettings> ParseLineSettings(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;

    LineSettings ls;

    bool ok = false;
    const QString baudText = parts[0].trimmed();
    const qint64 baud = baudText.toLongLong(&ok);
    if (!ok || baud < 50 || baud > 4000000)
        return std::nullopt;
    ls.baud = qint32(baud);

    const QString parity = parts[1].trimmed().toUpper();
    if (parity == QLatin1String("N"))
        ls.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E"))
        ls.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O"))
        ls.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("M"))
        ls.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("S"))
        ls.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const QString bits = parts[2].trimmed();
    if (bits == QLatin1String("5"))
        ls.dataBits = QSerialPort::Data5;
    else if (bits == QLatin1String("6"))
        ls.dataBits = QSerialPort::Data6;
    else if (bits == QLatin1String("7"))
        ls.dataBits = QSerialPort::Data7;
    else if (bits == QLatin1String("8"))
        ls.dataBits = QSerialPort::Data8;
    else
        return std::nullopt;

    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        ls.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        ls.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        ls.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;

    return ls;
}

double CharacterSeconds(const LineSettings &settings)
{
    double bits = 1.0 + int(settings.dataBits);
    if (settings.parity != QSerialPort::NoParity)
        bits += 1.0;
    bits += settings.stopBits == QSerialPort::TwoStop          ? 2.0
            : settings.stopBits == QSerialPort::OneAndHalfStop ? 1.5
                                                               : 1.0;
    return bits / settings.baud;
}

// ---------------------------------------------------------------------------
// COM numbers

ComPortMap::ComPortMap(const SettingsStore &store) { loadExplicit(store); }

void ComPortMap::reload(SettingsStore &store)
{
    store.sync();  // what was written to the file since it was read
    m_explicit.clear();
    loadExplicit(store);
}

void ComPortMap::loadExplicit(const SettingsStore &store)
{
    const QStringList keys = store.keys(SettingsKeys::ComPortSection);
    for (const QString &key : keys) {
        const int n = comNumber(key);
        const QString path = store.value(SettingsKeys::ComPortSection, key).trimmed();
        if (n > 0 && !path.isEmpty())
            m_explicit.insert(n, path);
    }
}

void ComPortMap::setExplicit(int comNumber, const QString &devicePath)
{
    if (devicePath.isEmpty())
        m_explicit.remove(comNumber);
    else
        m_explicit.insert(comNumber, devicePath);
}

void ComPortMap::setOverride(int comNumber, const QString &devicePath)
{
    if (devicePath.isEmpty())
        m_override.remove(comNumber);
    else
        m_override.insert(comNumber, devicePath);
}

QString ComPortMap::resolve(int comNumber) const
{
    if (comNumber <= 0)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    if (const auto it = m_explicit.constFind(comNumber); it != m_explicit.constEnd())
        return it.value();
    if (const auto it = m_override.constFind(comNumber); it != m_override.constEnd())
        return it.value();
    const QStringList devices = enumeratedDevices();
    if (comNumber <= devices.size())
        return devices.at(comNumber - 1);
    return {};
#endif
}

int ComPortMap::comNumber(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^\\s*COM(\\d{1,4})\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(name);
    if (!m.hasMatch())
        return 0;
    return m.captured(1).toInt();
}

namespace {

// Order of the enumeration: USB and ACM adapters first (by number), then the
// built-in ttyS ports (by number), then anything else by name.
std::tuple<int, int, QString> deviceOrder(const QString &portName)
{
    static const QRegularExpression re(QStringLiteral("^(ttyUSB|ttyACM|ttyS)(\\d+)$"));
    const auto m = re.match(portName);
    if (!m.hasMatch())
        return {2, 0, portName};
    const int group = m.captured(1) == QLatin1String("ttyS") ? 1 : 0;
    return {group, m.captured(2).toInt(), m.captured(1)};
}

}  // namespace

QStringList ComPortMap::enumeratedDevices()
{
    struct Entry {
        std::tuple<int, int, QString> key;
        QString path;
    };
    std::vector<Entry> entries;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        const QString path = info.systemLocation().isEmpty() ? info.portName() : info.systemLocation();
        entries.push_back(Entry{deviceOrder(info.portName()), path});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.key < b.key; });
    QStringList out;
    for (const Entry &e : entries)
        if (!out.contains(e.path))
            out << e.path;
    return out;
}

// ---------------------------------------------------------------------------
// QtSerialPort

namespace {

bool isFatal(QSerialPort::SerialPortError e)
{
    return e == QSerialPort::ReadError || e == QSerialPort::ResourceError
           || e == QSerialPort::WriteError;
}

int mapOpenError(QSerialPort::SerialPortError e)
{
    switch (e) {
    case QSerialPort::DeviceNotFoundError:
        return PortErr::NoSuchPort;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return PortErr::Busy;
    case QSerialPort::NotOpenError:
        return PortErr::NotOpen;
    default:
        return PortErr::Other;
    }
}

// After a failed open: true when the device exists but is no terminal (a plain
// file, /dev/null), so the failure can be named instead of an ioctl error.
bool isNoSerialPort(const QString &device)
{
#ifdef Q_OS_WIN
    Q_UNUSED(device);
    return false;
#else
    const QByteArray path = QFile::encodeName(device);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return false;
    if (!S_ISCHR(st.st_mode))
        return true;
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;  // busy or not permitted: the port's own error says so
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return !terminal;
#endif
}

}  // namespace

QtSerialPort::QtSerialPort(ComPortMap map) : m_map(std::move(map)), m_deferredCloses(std::make_unique<QObject>()) {}

QtSerialPort::~QtSerialPort()
{
    m_deferredCloses.reset();  // no deferred close runs after this
    if (m_onNetwork)
        m_network.close();
    closeDevice();
}

bool QtSerialPort::takeUpParked(const QString &portName, const QString &lineSettings)
{
    if (!m_parked || m_onNetwork || m_broken || !m_port || !m_port->isOpen())
        return false;
    if (portName != m_parkedName || lineSettings != m_parkedSettings)
        return false;
#ifndef Q_OS_WIN
    // A device that went away (an adapter pulled) is opened anew, and fails as it should.
    if (m_devicePath.startsWith(QLatin1Char('/')) && !QFileInfo::exists(m_devicePath))
        return false;
#endif
    m_parked = false;
    ++m_parkCount;
    m_salvaged.clear();
    return true;
}

void QtSerialPort::closeDevice()
{
    m_parked = false;
    ++m_parkCount;
    m_salvaged.clear();
    m_broken = false;
    if (m_port) {
        m_port->disconnect();
        if (m_port->isOpen())
            m_port->close();
        m_port.reset();
    }
}

PortResult QtSerialPort::open(const QString &portName, const QString &lineSettings)
{
    if (takeUpParked(portName, lineSettings))
        return {};
    if (m_onNetwork)
        m_network.close();
    closeDevice();
    m_onNetwork = IsNetworkPortName(portName);
    if (m_onNetwork) {
        m_devicePath = portName.trimmed();
        return m_network.open(portName, lineSettings);
    }
    m_network.endSession();  // another port chosen: the server's session is not needed

    const std::optional<LineSettings> ls = ParseLineSettings(lineSettings);
    if (!ls) {
        return {PortErr::BadSettings,
                QStringLiteral("Invalid line settings \"%1\" (expected baud,parity,data bits,stop bits, "
                               "for example 9600,N,8,1)")
                    .arg(lineSettings)};
    }

    // "COMn" goes through the map; a plain number means the same; anything else is
    // a device path (or native name) opened as given.
    int n = ComPortMap::comNumber(portName);
    if (n == 0) {
        bool isNumber = false;
        const int plain = portName.trimmed().toInt(&isNumber);
        if (isNumber && plain > 0)
            n = plain;
    }
    QString device;
    if (n > 0) {
        device = m_map.resolve(n);
        if (device.isEmpty()) {
            return {PortErr::NoSuchPort,
                    QStringLiteral("COM%1 is not mapped to a serial device on this machine").arg(n)};
        }
    } else {
        device = portName.trimmed();
        if (device.isEmpty())
            return {PortErr::NoSuchPort, QStringLiteral("No port name given")};
    }
    m_devicePath = device;

#ifndef Q_OS_WIN
    // QSerialPort reports a missing path as a generic failure on some systems.
    if (device.startsWith(QLatin1Char('/')) && !QFileInfo::exists(device))
        return {PortErr::NoSuchPort, QStringLiteral("%1: no such device").arg(device)};
#endif

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(device);
    port->setBaudRate(ls->baud);
    port->setParity(ls->parity);
    port->setDataBits(ls->dataBits);
    port->setStopBits(ls->stopBits);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite)) {
        if (isNoSerialPort(device))
            return {PortErr::NotSerialPort, QStringLiteral("%1 is not a serial port").arg(device)};
        const int err = mapOpenError(port->error());
        return {err, QStringLiteral("%1: %2").arg(device, port->errorString())};
    }

    // A read error makes QSerialPort keep firing its read notifier; note the break
    // at once and close at the next chance outside QSerialPort's own code (closing
    // inside its notification handler would pull the buffer from under it).
    QSerialPort *raw = port.get();
    QObject::connect(raw, &QSerialPort::errorOccurred, raw, [this, raw](QSerialPort::SerialPortError e) {
        if (!isFatal(e) || m_port.get() != raw)
            return;
        m_broken = true;
        // Posted to the port object: deleting the port drops the call with it.
        QMetaObject::invokeMethod(
            raw,
            [this, raw] {
                if (m_port.get() == raw && m_broken)
                    closeBroken();
            },
            Qt::QueuedConnection);
    });

    m_port = std::move(port);
    m_broken = false;
    m_salvaged.clear();
    m_parkedName = portName;
    m_parkedSettings = lineSettings;
    return {};
}

void QtSerialPort::close()
{
    if (m_onNetwork) {
        m_network.close();
        return;
    }
    if (m_parked)
        return;
    if (!m_port || !m_port->isOpen() || m_broken) {
        closeDevice();
        return;
    }
    // What is on hand now belongs to no one; what comes later the next drain meets.
    m_salvaged.clear();
    m_port->readAll();
    m_parked = true;
    const quint64 count = ++m_parkCount;
    QMetaObject::invokeMethod(
        m_deferredCloses.get(),
        [this, count] {
            if (m_parked && count == m_parkCount)
                closeDevice();
        },
        Qt::QueuedConnection);
}

void QtSerialPort::closeBroken()
{
    if (!m_port)
        return;
    if (m_port->isOpen()) {
        m_salvaged += m_port->readAll();
        m_port->close();
    }
    m_broken = false;
}

bool QtSerialPort::isOpen() const
{
    if (m_onNetwork)
        return m_network.isOpen();
    return deviceOpen();
}

QString QtSerialPort::devicePath() const
{
    return m_devicePath;
}

void QtSerialPort::poll()
{
    if (!deviceOpen())
        return;
    if (!m_broken) {
        // Reads whatever the driver holds into QSerialPort's buffer without an
        // event loop (the no-pump wait runs none).
        m_port->clearError();
        m_port->waitForReadyRead(0);
        if (isFatal(m_port->error()))
            m_broken = true;
    }
    if (m_broken)
        closeBroken();
}

void QtSerialPort::write(const QByteArray &bytes)
{
    if (m_onNetwork) {
        m_network.write(bytes);
        return;
    }
    if (!isOpen() || m_broken || bytes.isEmpty())
        return;
    m_port->write(bytes);
    // Push the bytes to the driver now: nothing else may run an event loop.
    for (int i = 0; i < 50 && m_port && m_port->isOpen() && m_port->bytesToWrite() > 0; ++i) {
        if (!m_port->waitForBytesWritten(20) && isFatal(m_port->error())) {
            m_broken = true;
            break;
        }
    }
    if (m_broken)
        closeBroken();
}

qint64 QtSerialPort::bytesWaiting()
{
    if (m_onNetwork)
        return m_network.bytesWaiting();
    poll();
    qint64 n = m_salvaged.size();
    if (deviceOpen())
        n += m_port->bytesAvailable();
    return n;
}

QByteArray QtSerialPort::readAll()
{
    if (m_onNetwork)
        return m_network.readAll();
    poll();
    QByteArray out;
    out.swap(m_salvaged);
    if (deviceOpen())
        out += m_port->readAll();
    return out;
}

bool QtSerialPort::waitForBytes(double maxSeconds)
{
    if (m_onNetwork)
        return m_network.waitForBytes(maxSeconds);
    // Below a millisecond the port cannot wait exactly: the clock does.
    if (!deviceOpen() || m_broken || !(maxSeconds >= 0.001))
        return false;
    if (!m_salvaged.isEmpty() || m_port->bytesAvailable() > 0)
        return true;
    m_port->clearError();
    m_port->waitForReadyRead(int(maxSeconds * 1000));
    if (isFatal(m_port->error())) {
        m_broken = true;
        closeBroken();
    }
    return true;
}

double QtSerialPort::roundTripSeconds() const
{
    return m_onNetwork ? m_network.roundTripSeconds() : 0.0;
}

// ---------------------------------------------------------------------------
// Port procedures

QString PortNameFor(const QString &portNumber)
{
    const QString t = portNumber.trimmed();
    bool isNumber = false;
    t.toInt(&isNumber);
    if (isNumber || t.isEmpty())
        return QStringLiteral("COM") + (t.isEmpty() ? QStringLiteral("1") : t);
    return t;
}

int OpenLinkPort(SerialPortIo &port, const LinkSettings &settings, Operator &op)
{
    if (port.isOpen())
        port.close();
    const QString name = PortNameFor(settings.PortNumber);
    const PortResult r = port.open(name, settings.PortSettings);
    if (r.ok())
        return 0;
    if (r.error == PortErr::NoSuchPort) {
        // "COM" + the port number; a device path is named as it is.
        op.message(name + QStringLiteral(" bulunmamaktadır"), Icon::Critical);
    } else if (r.error == PortErr::NotSerialPort || r.error == PortErr::ServerClosed) {
        // A number would say nothing here: name what is wrong.
        op.message(r.description, Icon::Critical);
    } else {
        op.message(QStringLiteral(" ") + QString::number(r.error) + QStringLiteral(" :") + r.description,
                   Icon::None);
    }
    return r.error;
}

QStringList Portkontrol(SerialPortIo &port, const QString &lineSettings,
                        const std::function<void(const QString &name)> &whileOpen)
{
    QStringList found;
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        const PortResult r = port.open(name, lineSettings);
        if (r.ok()) {
            found << name;
            if (whileOpen)
                whileOpen(name);
        }
        port.close();
    }
    return found;
}

}  // namespace vx
