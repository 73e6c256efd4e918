#pragma once
// A real serial device server: Debian's ser2net serving a device (the virtual
// indicator's pseudo-terminal) on the loopback address, as raw TCP or as Telnet with
// the COM port control option (RFC 2217). Its configuration goes to a temporary folder;
// it runs in the foreground as a child of the test and ends with it.
//
//   vx::test::SimProcess sim;
//   vx::test::Ser2net server(sim.ptyPath, vx::test::Ser2net::Kind::RawTcp);
//   ASSERT_TRUE(server.ready()) << server.why();
//   RunCliProcess(settings, {"--port", server.portName(), "identify"});

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

namespace vx::test {

inline const QString Ser2netProgram = QStringLiteral("/usr/sbin/ser2net");

class Ser2net {
public:
    enum class Kind { RawTcp, Rfc2217 };

    // The device's own settings ("9600n81") are what a raw TCP client gets; an RFC 2217
    // client sets its own.
    Ser2net(const QString &device, Kind kind, const QString &deviceSettings = QStringLiteral("9600n81"))
        : m_kind(kind)
    {
        if (!QFileInfo(Ser2netProgram).isExecutable()) {
            m_why = QStringLiteral("ser2net is not installed (scripts/setup.sh installs it)");
            return;
        }
        // A free port: the system names one for a listener on port 0. Another program
        // may take it before ser2net does, so a failed start is tried again on another.
        for (int attempt = 0; attempt < 5 && !ready(); ++attempt) {
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost, 0))
                continue;
            m_port = probe.serverPort();
            probe.close();
            start(device, deviceSettings);
        }
    }
    ~Ser2net() { stop(); }
    Ser2net(const Ser2net &) = delete;
    Ser2net &operator=(const Ser2net &) = delete;

    bool ready() const { return m_ready; }
    QString why() const { return m_why; }
    quint16 port() const { return m_port; }
    QString portName() const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(m_kind == Kind::RawTcp ? QStringLiteral("tcp") : QStringLiteral("rfc2217"))
            .arg(m_port);
    }
    // The server goes away (its connections with it).
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
        m_ready = false;
    }

private:
    void start(const QString &device, const QString &deviceSettings)
    {
        // nodelay: the server sends each piece of an answer at once. Without it the
        // server's socket holds a second small piece back until the first is acknowledged,
        // and the client's delayed acknowledgement stalls every answer by tens of ms.
        const QString accepter = (m_kind == Kind::RawTcp ? QStringLiteral("tcp(nodelay),127.0.0.1,%1")
                                                         : QStringLiteral("telnet(rfc2217),tcp(nodelay),127.0.0.1,%1"))
                                     .arg(m_port);
        // No character delay: the answer goes on as it comes (the benchmark measures the
        // line, not ser2net's batching).
        const QString config = QStringLiteral("%YAML 1.1\n---\n"
                                              "connection: &indicator\n"
                                              "  accepter: %1\n"
                                              "  connector: serialdev,%2,%3,local\n"
                                              "  options:\n"
                                              "    kickolduser: false\n"
                                              "    chardelay: false\n")
                                   .arg(accepter, device, deviceSettings);
        const QString path = m_dir.filePath(QStringLiteral("ser2net.yaml"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(config.toUtf8()) != config.toUtf8().size()) {
            m_why = QStringLiteral("cannot write %1").arg(path);
            return;
        }
        f.close();
        stop();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(Ser2netProgram, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                                         QStringLiteral("-P"), m_dir.filePath(QStringLiteral("ser2net.pid")),
                                         QStringLiteral("-c"), path});
        if (!m_process.waitForStarted(5000)) {
            m_why = QStringLiteral("ser2net did not start: %1").arg(m_process.errorString());
            return;
        }
        // Ready once it listens (read from the system's table, so no connection is spent on it).
        for (int i = 0; i < 100; ++i) {
            if (m_process.state() == QProcess::NotRunning)
                break;
            if (listening()) {
                m_ready = true;
                return;
            }
            m_process.waitForFinished(50);
        }
        m_why = QStringLiteral("ser2net did not listen on %1: %2")
                    .arg(m_port)
                    .arg(QString::fromUtf8(m_process.readAll()));
        stop();
    }
    bool listening() const
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        // "sl local_address rem_address st": 127.0.0.1 is 0100007F; 0A is LISTEN.
        const QByteArray local = QStringLiteral("0100007F:%1").arg(m_port, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
        for (const QByteArray &line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
                return true;
        }
        return false;
    }

    Kind m_kind;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_ready = false;
    QString m_why;
};

}  // namespace vx::test
