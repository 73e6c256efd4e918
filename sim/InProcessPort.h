#pragma once
// SerialPortIo bound to a VirtualIndicator on a VirtualClock: the fast,
// deterministic transport for tests. Answers arrive after the reply latency and,
// with a baud rate set, one character every 10 bits' time.

#include "link/Interfaces.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <vector>

namespace vx::sim {

class InProcessPort : public SerialPortIo {
public:
    struct Timing {
        int baud = 0;             // 0: no pacing, the whole answer arrives at once
        double latency = 0.005;   // seconds between the request's CR and the first answer byte
    };
    InProcessPort(VirtualIndicator &device, VirtualClock &clock);
    InProcessPort(VirtualIndicator &device, VirtualClock &clock, Timing timing);
    ~InProcessPort() override;

    PortResult open(const QString &portName, const QString &lineSettings) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void write(const QByteArray &bytes) override;
    qint64 bytesWaiting() override;
    QByteArray readAll() override;

    // Test controls.
    void setOpenError(int error) { m_openError = error; }  // next opens fail with this number
    void injectIncoming(const QByteArray &bytes);            // bytes appear at once
    const QStringList &framesSent() const { return m_framesSent; }  // each with its CR
    void clearFramesSent() { m_framesSent.clear(); }
    int openCount() const { return m_openCount; }
    QString lastPortName() const { return m_portName; }
    QString lastLineSettings() const { return m_lineSettings; }
    // Writes attempted while the port was closed (they send nothing).
    int writesWhileClosed() const { return m_writesWhileClosed; }
    Timing timing() const { return m_timing; }
    void setTiming(Timing timing) { m_timing = timing; }
    // The line settings the indicators are set to ("19200,N,8,1"): a request reaches
    // them only while the port is set to the same speed, parity and data bits; at any
    // other it arrives garbled and nobody answers. Empty (the default): any settings.
    void setIndicatorLine(const QString &lineSettings) { m_indicatorLine = lineSettings; }
    // Opens with this framing ("O,7": parity and data bits) fail with error 8015, as
    // on an adapter that cannot do it.
    void refuseFraming(const QString &parityAndBits) { m_refusedFramings << parityAndBits.toUpper(); }
    // Another indicator on the same line (RS-485): every request reaches each of them.
    void addDevice(VirtualIndicator &device) { m_devices.push_back(&device); }

private:
    std::vector<VirtualIndicator *> m_devices;
    VirtualClock &m_clock;
    Timing m_timing;
    bool m_open = false;
    int m_openError = 0;
    int m_openCount = 0;
    QString m_portName, m_lineSettings;
    QString m_indicatorLine;
    QStringList m_refusedFramings;
    QByteArray m_pendingRequest;
    QByteArray m_incoming;
    QStringList m_framesSent;
    unsigned m_generation = 0;  // answers scheduled before a close are dropped
    int m_writesWhileClosed = 0;
    // Answers still on the clock hold a weak reference: a port destroyed before
    // they fall due is not touched.
    std::shared_ptr<InProcessPort *> m_self;
};

}  // namespace vx::sim
