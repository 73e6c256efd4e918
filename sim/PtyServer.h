#pragma once
// Serves a VirtualIndicator on a pseudo-terminal so the real program talks to it
// through a real serial port. Ptys have no line speed: output is paced at the
// configured baud rate (10 bits a character) after the reply latency.

#include "sim/VirtualIndicator.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace vx::sim {

class PtyServer : public QObject {
    Q_OBJECT
public:
    struct Timing {
        int baud = 0;             // 0: no pacing
        double latency = 0.005;   // seconds
        // Understand only a client whose port is set to `baud` (read from the
        // terminal's settings when a request ends): at any other speed the request
        // would arrive garbled, so nobody answers. The framing cannot be checked on a
        // pseudo-terminal (it keeps 8 bits without parity).
        bool baudStrict = false;
    };
    PtyServer(VirtualIndicator &device, Timing timing, QObject *parent = nullptr);
    // Several indicators on one line (RS-485), each at its own address: every
    // request reaches each of them.
    PtyServer(std::vector<VirtualIndicator *> devices, Timing timing, QObject *parent = nullptr);
    ~PtyServer() override;

    // Opens the pty and makes linkPath (if not empty) a symlink to its slave side.
    bool start(const QString &linkPath, QString *error = nullptr);
    void stop();
    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }
    bool isRunning() const { return m_master >= 0; }
    // Called for every request received (without its CR) with the answer sent
    // (empty when the indicator stayed silent).
    using ExchangeLog = std::function<void(const QByteArray &request, const QByteArray &answer)>;
    void setExchangeLog(ExchangeLog log) { m_exchangeLog = std::move(log); }

private:
    void onReadable();
    void sendNext();
    void queueReply(const QByteArray &bytes, double delaySeconds);

    // The line speed the client's port is set to (0 when it cannot be read).
    int clientBaud() const;

    std::vector<VirtualIndicator *> m_devices;
    Timing m_timing;
    int m_master = -1;
    int m_slaveKeep = -1;  // kept open so the pty survives clients closing it
    QString m_slavePath, m_linkPath;
    QByteArray m_request;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct Pending;
    std::unique_ptr<Pending> m_pending;
    ExchangeLog m_exchangeLog;
};

}  // namespace vx::sim
