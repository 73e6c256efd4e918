// The window through a network port: the virtual indicator's pseudo-terminal behind a
// real serial server (ser2net, raw TCP) on the loopback address, named in the
// connection panel's network field; and the network port's failures as the window
// shows them: nobody listening and a server that goes away look as a pulled cable
// does, a server that turns a second client away says so.

#include "GuiFixture.h"

#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "sim/PtyServer.h"
#include "support/Ser2net.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

using vx::gui::Light;
using vx::test::GuiTest;

namespace {

class WindowNetworkTest : public GuiTest {
protected:
    // The virtual indicator on a pseudo-terminal with a 5 ms reply latency, at 9600 baud.
    void startIndicator()
    {
        QElapsedTimer *running = &m_running;
        running->start();
        vx::sim::ModuleOptions modules;
        modules.seconds = [running] { return running->elapsed() / 1000.0; };
        vx::sim::InstallDefaultModules(m_indicator, modules);
        m_pty = std::make_unique<vx::sim::PtyServer>(m_indicator, vx::sim::PtyServer::Timing{9600, 0.005});
        QString error;
        ASSERT_TRUE(m_pty->start(dir.filePath("tty-indicator"), &error)) << qPrintable(error);
    }
    QString ptyPath() const { return m_pty->slavePath(); }
    // A window on the network port `name` (reading time 1 s), started as a ZR2.
    std::unique_ptr<vx::gui::AnaForm> networkWindow(const QString &name)
    {
        store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::ReadingTime, "1");
        store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::Network, name);
        auto window = std::make_unique<vx::gui::AnaForm>(serial, systemClock, op, *store);
        EXPECT_TRUE(window->FormLoad("ZR2"));
        return window;
    }
    // A port on the loopback address that nobody listens on once the probe closes.
    static QString nobodyListening()
    {
        QTcpServer probe;
        EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        return QStringLiteral("tcp://127.0.0.1:%1").arg(probe.serverPort());
    }

    vx::QtSerialPort serial;
    vx::SystemClock systemClock;

private:
    QElapsedTimer m_running;
    vx::sim::VirtualIndicator m_indicator;
    std::unique_ptr<vx::sim::PtyServer> m_pty;
};

TEST_F(WindowNetworkTest, TheNetworkFieldIsStoredUnderItsOwnKeyAndTheWindowConnectsThroughIt)
{
    startIndicator();
    vx::test::Ser2net server(ptyPath(), vx::test::Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());

    store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::Port, "2");
    auto window = networkWindow(QString());

    // The connection panel: a malformed name is said and nothing is stored.
    window->MnAyar_Click(0);
    auto *field = window->findChild<QLineEdit *>("NetworkPort");
    ASSERT_NE(field, nullptr);
    field->setText("tcp://127.0.0.1");
    window->findChild<QPushButton *>("SSCommand1")->click();
    ASSERT_EQ(op.dialogCount(), 1);
    EXPECT_TRUE(op.last().text.contains("tcp://127.0.0.1")) << op.last().text.toStdString();
    EXPECT_EQ(store->value(vx::SettingsKeys::Section, "NetworkPort"), "");

    field->setText(server.portName());
    window->findChild<QPushButton *>("SSCommand1")->click();
    EXPECT_EQ(store->value(vx::SettingsKeys::Section, "NetworkPort"), server.portName());
    EXPECT_EQ(store->value(vx::SettingsKeys::Section, vx::SettingsKeys::Port), "2") << "the COM number stays";

    window->ConnectAction();
    EXPECT_EQ(window->light(), vx::gui::Light::Green);
    EXPECT_EQ(window->state().IndicatorModelText, "ZR2");
    EXPECT_TRUE(window->state().weight.known()) << "the range came through the server too";
    EXPECT_FALSE(serial.isOpen());
    EXPECT_TRUE(serial.network().sessionAlive()) << "the session stays while connected";
    EXPECT_EQ(op.dialogCount(), 1);

    // Opened again, the panel shows the network port.
    window->MnAyar_Click(0);
    EXPECT_EQ(field->text(), server.portName());
}

// Nobody listens on the port: the connect fails as with a pulled adapter (the port is
// not found): the same box, the red light, the menu offering to connect, the status
// line naming the network port.
TEST_F(WindowNetworkTest, APortNobodyListensOnFailsTheConnectAsAPulledCableDoes)
{
    const QString name = nobodyListening();
    auto window = networkWindow(name);
    window->ConnectAction();
    EXPECT_EQ(window->light(), Light::Red);
    EXPECT_FALSE(window->state().IsConnected);
    ASSERT_EQ(op.messages(), QStringList{name + " bulunmamaktadır"});
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_EQ(window->findChild<QAction *>("connect")->text(), "E376");
    EXPECT_EQ(window->statusLine(), "Not connected: " + name + " · 9600,N,8,1 · address none — port not found");
    EXPECT_FALSE(serial.network().sessionAlive());
}

// Connected through ser2net, the server goes away: the next operation (F5 on the
// status tab) ends the connection as an adapter pulled between two operations does.
TEST_F(WindowNetworkTest, AServerThatGoesAwayEndsTheConnectionAsAPulledCableDoes)
{
    startIndicator();
    vx::test::Ser2net server(ptyPath(), vx::test::Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());
    auto window = networkWindow(server.portName());
    window->ConnectAction();
    ASSERT_EQ(window->light(), Light::Green);
    window->tabs()->setCurrentIndex(vx::Tab::Status);
    ASSERT_TRUE(window->refresher().timer4().isActive());
    ASSERT_EQ(op.dialogCount(), 0);

    server.stop();
    window->refresher().F5Key();
    ASSERT_EQ(op.messages(), QStringList{server.portName() + " bulunmamaktadır"});
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_EQ(window->light(), Light::Red);
    EXPECT_FALSE(window->state().IsConnected);
    EXPECT_FALSE(window->refresher().timer4().isActive());
    EXPECT_EQ(window->findChild<QAction *>("connect")->text(), "E376");
    EXPECT_EQ(window->statusLine(),
              "Disconnected: " + server.portName() + " · 9600,N,8,1 · address none — port not found");
}

// ser2net serves one client on a port: while another holds it, it takes the window's
// connection and closes it. The connect fails at once (one attempt, not ten) as a port
// failure that says so, in the language in use; once the other client leaves, it works.
TEST_F(WindowNetworkTest, AServerThatTurnsTheWindowAwaySaysAnotherClientMayHoldThePort)
{
    startIndicator();
    vx::test::Ser2net server(ptyPath(), vx::test::Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());
    QTcpSocket other;
    other.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(other.waitForConnected(5000));

    store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::Language, "Türkçe.txt");
    auto window = networkWindow(server.portName());
    window->ConnectAction();
    EXPECT_EQ(window->light(), Light::Red);
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_EQ(op.last().text, server.portName()
                                  + ": the serial server closed the connection: another client may hold the port "
                                    "(the server said \"Port already in use\")");
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_EQ(window->statusLine(), "Bağlanılamadı: " + server.portName()
                                        + " · 9600,N,8,1 · adres yok — seri sunucu bağlantıyı kapattı: portu başka "
                                          "bir istemci kullanıyor olabilir");

    other.disconnectFromHost();
    if (other.state() != QAbstractSocket::UnconnectedState)
        other.waitForDisconnected(5000);
    // ser2net frees the port once it has seen the other client go.
    for (int i = 0; i < 50 && window->light() != Light::Green; ++i) {
        QThread::msleep(100);
        window->ConnectAction();
    }
    EXPECT_EQ(window->light(), Light::Green);
    EXPECT_EQ(window->state().IndicatorModelText, "ZR2");
}

}  // namespace
