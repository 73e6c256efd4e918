// The window through a network port: the virtual indicator's pseudo-terminal behind a
// real serial server (ser2net, raw TCP) on the loopback address, named in the
// connection panel's network field.

#include "GuiFixture.h"

#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "sim/PtyServer.h"
#include "support/Ser2net.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

using vx::test::GuiTest;

namespace {

class WindowNetworkTest : public GuiTest {};

TEST_F(WindowNetworkTest, TheNetworkFieldIsStoredUnderItsOwnKeyAndTheWindowConnectsThroughIt)
{
    vx::sim::VirtualIndicator indicator;
    QElapsedTimer running;
    running.start();
    vx::sim::ModuleOptions modules;
    modules.seconds = [&running] { return running.elapsed() / 1000.0; };
    vx::sim::InstallDefaultModules(indicator, modules);
    vx::sim::PtyServer pty(indicator, vx::sim::PtyServer::Timing{9600, 0.005});
    QString error;
    ASSERT_TRUE(pty.start(dir.filePath("tty-indicator"), &error)) << qPrintable(error);
    vx::test::Ser2net server(pty.slavePath(), vx::test::Ser2net::Kind::RawTcp);
    ASSERT_TRUE(server.ready()) << qPrintable(server.why());

    vx::QtSerialPort serial;
    vx::SystemClock systemClock;
    store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::ReadingTime, "1");
    store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::Port, "2");
    vx::gui::AnaForm window(serial, systemClock, op, *store);
    ASSERT_TRUE(window.FormLoad("ZR2"));

    // The connection panel: a malformed name is said and nothing is stored.
    window.MnAyar_Click(0);
    auto *field = window.findChild<QLineEdit *>("NetworkPort");
    ASSERT_NE(field, nullptr);
    field->setText("tcp://127.0.0.1");
    window.findChild<QPushButton *>("SSCommand1")->click();
    ASSERT_EQ(op.dialogCount(), 1);
    EXPECT_TRUE(op.last().text.contains("tcp://127.0.0.1")) << op.last().text.toStdString();
    EXPECT_EQ(store->value(vx::SettingsKeys::Section, "NetworkPort"), "");

    field->setText(server.portName());
    window.findChild<QPushButton *>("SSCommand1")->click();
    EXPECT_EQ(store->value(vx::SettingsKeys::Section, "NetworkPort"), server.portName());
    EXPECT_EQ(store->value(vx::SettingsKeys::Section, vx::SettingsKeys::Port), "2") << "the COM number stays";

    window.ConnectAction();
    EXPECT_EQ(window.light(), vx::gui::Light::Green);
    EXPECT_EQ(window.state().IndicatorModelText, "ZR2");
    EXPECT_TRUE(window.state().weight.known()) << "the range came through the server too";
    EXPECT_FALSE(serial.isOpen());
    EXPECT_TRUE(serial.network().sessionAlive()) << "the session stays while connected";
    EXPECT_EQ(op.dialogCount(), 1);

    // Opened again, the panel shows the network port.
    window.MnAyar_Click(0);
    EXPECT_EQ(field->text(), server.portName());
}

}  // namespace
