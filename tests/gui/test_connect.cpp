// Connecting: the version read on the wire, the model correction, the light, the
// connect menu, and the ways a connect fails.

#include "GuiFixture.h"

#include "link/Connect.h"
#include "link/LineLease.h"
#include "sim/Faults.h"

#include <QTabWidget>
#include <QTest>

using vx::test::GuiTest;
using vx::gui::Light;

namespace {

class WindowConnectTest : public GuiTest {};

// A fault on the version register.
vx::sim::FaultRule versionFault(vx::sim::FaultKind kind, double lateSeconds = 1.0)
{
    return {kind, vx::sim::FaultScope::Register, 199, -1, lateSeconds};
}

TEST_F(WindowConnectTest, RedLightConnectsGreenLightAndMenuDisconnect)
{
    device.setModel("ZR2 V2.20");
    start("ZR2");
    port.clearFramesSent();
    EXPECT_EQ(action("connect")->text(), "E376");

    QTest::mouseClick(ctl("Image2_0"), Qt::LeftButton);

    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(light(), Light::Green);
    EXPECT_EQ(action("connect")->text(), "E377");
    EXPECT_EQ(form->lastVersion().versionText.trimmed(), "ZR2 V2.20");
    // The version text, then the range the weights are shown in (TaksimatBul).
    EXPECT_EQ(port.framesSent(), (QStringList{"@0300C7000531\r", "@1000130001020007D3\r", "@030095000167\r",
                                              "@100013000102000CCE\r", "@03008000037A\r"}));
    EXPECT_FALSE(port.isOpen()) << "the port is open only during an operation";
    EXPECT_EQ(op.dialogCount(), 0);
    EXPECT_EQ(form->statusLine(), "Connected: COM1 · 9600,N,8,1 · address none — ZR2 V2.20");

    QTest::mouseClick(ctl("Image2_1"), Qt::LeftButton);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(light(), Light::Red);
    // The status line says so, never blank.
    EXPECT_EQ(form->statusLine(), "Disconnected: COM1 · 9600,N,8,1 · address none");
    action("connect")->trigger();
    EXPECT_TRUE(form->state().IsConnected);
    action("connect")->trigger();
    EXPECT_EQ(action("connect")->text(), "E376");
    EXPECT_EQ(form->statusLine(), "Disconnected: COM1 · 9600,N,8,1 · address none");
}

TEST_F(WindowConnectTest, VersionOfAnotherModelCorrectsTheModelAndItsFeatures)
{
    device.setModel("ZR1 V1.05");
    start("ZR2");
    ASSERT_TRUE(form->tabs()->isTabVisible(1));

    form->ConnectAction();
    EXPECT_EQ(form->state().IndicatorModelText, "ZR1");
    EXPECT_FALSE(form->tabs()->isTabVisible(1));
    EXPECT_FALSE(form->tabs()->isTabVisible(3));
    EXPECT_FALSE(shown("SSCheck1_1"));
    EXPECT_FALSE(shown("EPL"));

    // A ZR2 behind the same port brings the features back.
    device.setModel("ZR2 V2.20");
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_TRUE(form->tabs()->isTabVisible(1));
    EXPECT_TRUE(shown("SSCheck1_1"));
    EXPECT_TRUE(shown("EPL"));
}

// A failed connect puts up no box of its own; the red light's tooltip and the status
// line say what was tried and what went wrong.
TEST_F(WindowConnectTest, PortErrorsLeaveTheLightRedAndSayWhy)
{
    store->setValue("ZR", "Adrres", "05");
    device.setAddress("05");
    start("ZR2");
    // A missing, busy or unusable port is not tried ten times; other errors are, and reported once.
    const struct { int error; int opens; const char *message; vx::Icon icon; const char *reason; } cases[] = {
        {vx::PortErr::NoSuchPort, 1, "COM1 bulunmamaktadır", vx::Icon::Critical, "port not found"},
        {vx::PortErr::Busy, 1, " 8005 :", vx::Icon::None, "port busy"},
        {vx::PortErr::NotOpen, 1, " 8012 :", vx::Icon::None, "port cannot be opened (error 8012)"},
        {vx::PortErr::BadSettings, 1, " 8015 :", vx::Icon::None, "port cannot be opened (error 8015)"},
        {vx::PortErr::Other, 10, " 8020 :", vx::Icon::None, "port cannot be opened (error 8020)"},
    };
    for (const auto &c : cases) {
        op.clear();
        port.setOpenError(c.error);
        const int opensBefore = port.openCount();
        form->ConnectAction();
        EXPECT_EQ(port.openCount() - opensBefore, c.opens);
        ASSERT_EQ(op.messages().size(), 1);
        EXPECT_TRUE(op.last().text.startsWith(QString::fromUtf8(c.message))) << qPrintable(op.last().text);
        EXPECT_EQ(op.last().icon, c.icon);
        EXPECT_EQ(light(), Light::Red);
        EXPECT_TRUE(port.framesSent().isEmpty());
        const QString why = QStringLiteral("Not connected: COM1 · 9600,N,8,1 · address 05 — ") + QLatin1String(c.reason);
        EXPECT_EQ(form->statusLine(), why);
        EXPECT_EQ(ctl("Image2_0")->toolTip(), "E376\n" + why);
        // The chosen model keeps its features while no indicator is reachable.
        EXPECT_TRUE(form->tabs()->isTabVisible(1));
        EXPECT_FALSE(shown("SSPanel10"));
    }
    // A connect that works clears the reason.
    port.setOpenError(vx::PortErr::None);
    form->ConnectAction();
    EXPECT_EQ(ctl("Image2_0")->toolTip(), "E376");
}

TEST_F(WindowConnectTest, SilentOrRefusingIndicatorFailsWithoutABoxButSaysWhy)
{
    store->setValue("ZR", "dil", "Türkçe.txt");
    start();
    const std::pair<vx::sim::FaultKind, const char *> cases[] = {{vx::sim::FaultKind::NoAnswer, "yanıt yok"},
                                                                 {vx::sim::FaultKind::Refuse, "reddedildi"},
                                                                 {vx::sim::FaultKind::Noise, "anlaşılmayan yanıt"}};
    for (const auto &[kind, reason] : cases) {
        device.clearFaults();
        device.addFault(versionFault(kind));
        form->ConnectAction();
        EXPECT_EQ(light(), Light::Red) << int(kind);
        EXPECT_EQ(action("connect")->text(), "T376");
        EXPECT_EQ(form->statusLine(), QStringLiteral("Bağlanılamadı: COM1 · 9600,N,8,1 · adres yok — ") + QString::fromUtf8(reason));
    }
    EXPECT_EQ(op.dialogCount(), 0);
}

// The connect sequence without the window.
TEST_F(WindowConnectTest, VersionIsReadAfterThePreDelayAndThePortKeptOpenForTheNextStep)
{
    vx::CommsLog log;
    vx::Link link{port, clock, op, log};
    device.setModel("ZR1 V1.05");
    link.settings.drainMode = vx::DrainMode::Fixed;  // the whole waits, not up to the answer's end
    // The connect's operation holds the line; the version read joins it.
    const vx::LineLease connect(link, {.attempts = vx::PortOpenAttempts});
    ASSERT_TRUE(connect);
    const double before = clock.elapsed();
    const vx::VersionResult r = vx::VersiyonOku(link);
    ASSERT_TRUE(r.connected());
    EXPECT_EQ(r.model, vx::Model::ZR1);
    EXPECT_EQ(r.versionText, "ZR1 V1.05 ");
    EXPECT_TRUE(port.isOpen()) << "the range read comes next on the same line";
    EXPECT_GE(clock.elapsed() - before, 0.2 + 0.15 - 1e-9);

    // With an address, without the checksum, and with an answer late but within the reading time.
    device.setAddress("05");
    device.setChecksum(false);
    link.settings.DeviceAddress = "05";
    link.settings.ChecksumEnabled = false;
    device.addFault(versionFault(vx::sim::FaultKind::Late, 0.1));
    link.settings.ReadingTime = 0.5;
    EXPECT_TRUE(vx::VersiyonOku(link).connected());
    EXPECT_EQ(port.framesSent().last(), "@050300C70005\r");
}

}  // namespace
