#include "sim/InProcessPort.h"

namespace vx::sim {
namespace {

// "19200,n,8,1" -> {"19200", "N", "8"}: what must agree for characters to arrive whole.
QStringList lineKey(const QString &lineSettings)
{
    QStringList parts = lineSettings.split(QLatin1Char(','));
    for (QString &p : parts)
        p = p.trimmed().toUpper();
    return parts.mid(0, 3);
}

}  // namespace

InProcessPort::InProcessPort(VirtualIndicator &device, VirtualClock &clock)
    : InProcessPort(device, clock, Timing{})
{
}

InProcessPort::InProcessPort(VirtualIndicator &device, VirtualClock &clock, Timing timing)
    : m_devices{&device}
    , m_clock(clock)
    , m_timing(timing)
    , m_self(std::make_shared<InProcessPort *>(this))
{
}

InProcessPort::~InProcessPort() = default;

PortResult InProcessPort::open(const QString &portName, const QString &lineSettings)
{
    ++m_openCount;
    m_portName = portName;
    m_lineSettings = lineSettings;
    const QStringList key = lineKey(lineSettings);
    if (key.size() == 3 && m_refusedFramings.contains(key[1] + QLatin1Char(',') + key[2])) {
        m_open = false;
        return {PortErr::BadSettings, QStringLiteral("%1: the port cannot do %2").arg(portName, lineSettings)};
    }
    if (m_openError != PortErr::None) {
        m_open = false;
        return {m_openError, QStringLiteral("cannot open %1 (error %2)").arg(portName).arg(m_openError)};
    }
    m_open = true;
    return {};
}

void InProcessPort::close()
{
    // Whatever was on its way is lost with the port.
    m_open = false;
    ++m_generation;
    m_incoming.clear();
    m_pendingRequest.clear();
}

void InProcessPort::write(const QByteArray &bytes)
{
    if (!m_open) {
        ++m_writesWhileClosed;
        return;
    }
    m_pendingRequest.append(bytes);
    for (int cr = m_pendingRequest.indexOf('\r'); cr >= 0; cr = m_pendingRequest.indexOf('\r')) {
        const QByteArray frame = m_pendingRequest.left(cr + 1);
        m_pendingRequest.remove(0, cr + 1);
        m_framesSent.append(QString::fromLatin1(frame));
        if (!m_indicatorLine.isEmpty() && lineKey(m_lineSettings) != lineKey(m_indicatorLine))
            continue;  // garbled on the way: no indicator understands it
        std::optional<VirtualIndicator::Reply> reply;
        for (VirtualIndicator *device : m_devices) {
            const std::optional<VirtualIndicator::Reply> one = device->handle(frame.left(cr));
            if (!one || one->bytes.isEmpty())
                continue;
            if (!reply)
                reply = one;
            else
                reply->bytes += one->bytes;  // two on one address talk over each other
        }
        if (!reply || reply->bytes.isEmpty())
            continue;

        // The request itself takes 10 bits a character on the line before the reply latency.
        const double perChar = m_timing.baud > 0 ? 10.0 / m_timing.baud : 0.0;
        const double start = perChar * frame.size() + m_timing.latency + reply->extraDelay;
        const std::weak_ptr<InProcessPort *> self = m_self;
        const unsigned generation = m_generation;
        auto deliver = [self, generation](const QByteArray &chunk) {
            if (auto alive = self.lock()) {
                InProcessPort *port = *alive;
                if (port->m_open && port->m_generation == generation)
                    port->m_incoming.append(chunk);
            }
        };
        if (perChar <= 0) {
            m_clock.schedule(start, [deliver, bytes = reply->bytes] { deliver(bytes); });
        } else {
            for (int i = 0; i < reply->bytes.size(); ++i)
                m_clock.schedule(start + i * perChar, [deliver, c = reply->bytes.mid(i, 1)] { deliver(c); });
        }
    }
}

qint64 InProcessPort::bytesWaiting()
{
    return m_open ? m_incoming.size() : 0;
}

QByteArray InProcessPort::readAll()
{
    if (!m_open)
        return {};
    QByteArray out;
    out.swap(m_incoming);
    return out;
}

void InProcessPort::injectIncoming(const QByteArray &bytes)
{
    m_incoming.append(bytes);
}

}  // namespace vx::sim
