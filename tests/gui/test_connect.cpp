// Connecting: the version read on the wire, the model correction, the light, the
// connect menu, and the ways a connect fails.

#include "GuiFixture.h"

#include "link/Connect.h"
#include "sim/Faults.h"

#include <QTabWidget>
#include <QTest>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

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
    EXPECT_EQ(form->lightColour(), "yeşil");
    EXPECT_EQ(action("connect")->text(), "E377");
    EXPECT_EQ(form->lastVersion().versionText.trimmed(), "ZR2 V2.20");
    EXPECT_EQ(port.framesSent(), QStringList{vx::BuildReadFrame(QString(), 199, 10, true)});
    EXPECT_FALSE(port.isOpen()) << "the port is open only during an operation";
    EXPECT_FALSE(shown("SSPanel10"));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_EQ(op.dialogCount(), 0);

    QTest::mouseClick(ctl("Image2_1"), Qt::LeftButton);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(form->lightColour(), "kırmızı");
    action("connect")->trigger();
    EXPECT_TRUE(form->state().IsConnected);
    action("connect")->trigger();
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(action("connect")->text(), "E376");
    EXPECT_EQ(form->lightColour(), "kırmızı");
}

TEST_F(WindowConnectTest, VersionOfAnotherModelCorrectsTheModelAndItsFeatures)
{
    device.setModel("ZR1 V1.05");
    start("ZR2");
    std::vector<int> laidOut;
    form->setGridDüzen([&](int index) { laidOut.push_back(index); });
    ASSERT_TRUE(form->tabs()->isTabVisible(1));

    form->ConnectAction();

    EXPECT_EQ(form->state().IndicatorModelText, "ZR1");
    EXPECT_FALSE(form->tabs()->isTabVisible(1));
    EXPECT_FALSE(form->tabs()->isTabVisible(3));
    EXPECT_FALSE(shown("SSCheck1_1"));
    EXPECT_EQ(laidOut, (std::vector<int>{2, 3}));

    // The same model again: nothing is rebuilt.
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(laidOut, (std::vector<int>{2, 3}));

    // A ZR2 behind the same port brings the features back.
    device.setModel("ZR2 V2.20");
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_TRUE(form->tabs()->isTabVisible(1));
    EXPECT_TRUE(shown("SSCheck1_1"));
}

TEST_F(WindowConnectTest, CapacityReadRunsOnceAfterEveryConnectWithThePortOpen)
{
    start();
    int calls = 0;
    bool portOpen = false;
    form->setTaksimatBul([&] {
        ++calls;
        portOpen = port.isOpen();
        action("connect")->trigger();  // the user clicks again meanwhile: ignored
    });
    form->ConnectAction();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(portOpen);
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(action("connect")->text(), "E377");
    device.addFault(versionFault(vx::sim::FaultKind::NoAnswer));
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_EQ(calls, 1) << "a failed connect does not read the capacity";
}

TEST_F(WindowConnectTest, PortErrorsLeaveTheLightRedAndTheMenuOfferingToConnect)
{
    start("ZR2");
    // A missing, busy or unusable port is not tried ten times; other errors are, and reported once.
    const struct { int error; int opens; const char *message; vx::Icon icon; } cases[] = {
        {vx::PortErr::NoSuchPort, 1, "COM1 bulunmamaktadır", vx::Icon::Critical},
        {vx::PortErr::Busy, 1, " 8005 :", vx::Icon::None},
        {vx::PortErr::NotOpen, 1, " 8012 :", vx::Icon::None},
        {vx::PortErr::BadSettings, 1, " 8015 :", vx::Icon::None},
        {vx::PortErr::Other, 10, " 8020 :", vx::Icon::None},
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
        EXPECT_FALSE(form->state().IsConnected);
        EXPECT_EQ(form->lightColour(), "kırmızı");
        EXPECT_EQ(action("connect")->text(), "E376");
        EXPECT_TRUE(port.framesSent().isEmpty());
        // The chosen model keeps its features while no indicator is reachable.
        EXPECT_EQ(form->state().IndicatorModelText, "ZR2");
        EXPECT_TRUE(form->tabs()->isTabVisible(1));
        EXPECT_TRUE(form->tabs()->isEnabled());
        EXPECT_FALSE(shown("SSPanel10"));
    }
}

TEST_F(WindowConnectTest, SilentOrRefusingIndicatorFailsWithoutAMessage)
{
    start();
    for (vx::sim::FaultKind kind : {vx::sim::FaultKind::NoAnswer, vx::sim::FaultKind::Refuse, vx::sim::FaultKind::Noise}) {
        device.clearFaults();
        device.addFault(versionFault(kind));
        form->ConnectAction();
        EXPECT_FALSE(form->state().IsConnected) << int(kind);
        EXPECT_EQ(form->lightColour(), "kırmızı");
        EXPECT_EQ(action("connect")->text(), "E376");
    }
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(WindowConnectTest, LightShowsExactlyOneLampAndNoGreenWhileDisconnected)
{
    start();
    auto visibleLamps = [&] { return int(shown("Image2_0")) + int(shown("Image2_1")) + int(shown("Image2_2")); };
    const struct { const char *asked, *shown; int lamps; } cases[] = {
        {"yeşil", "kırmızı", 1}, {"sarı", "sarı", 1}, {"mavi", "", 0}};
    for (const auto &c : cases) {
        form->ışık(QString::fromUtf8(c.asked));
        EXPECT_TRUE(!*c.shown || form->lightColour() == QString::fromUtf8(c.shown)) << c.asked;
        EXPECT_EQ(visibleLamps(), c.lamps) << c.asked;
    }
}

TEST_F(WindowConnectTest, ConnectOnTheCalibrationTabReloadsThatTab)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    bool pending = false;
    form->setTabEnterHook(vx::Tab::Calibration, [&] { pending = form->state().TabRefreshPending; });
    form->ConnectAction();
    EXPECT_TRUE(pending);
}

// The connect sequence without the window.
TEST_F(WindowConnectTest, VersionIsReadAfterThePreDelayAndThePortKeptOpenForTheNextStep)
{
    vx::CommsLog log;
    vx::Link link{port, clock, op, log};
    device.setModel("ZR1 V1.05");
    link.settings.drainMode = vx::DrainMode::Fixed;  // the whole waits, not up to the answer's end
    const double before = clock.elapsed();
    const vx::VersionResult r = vx::VersiyonOku(link);
    ASSERT_TRUE(r.connected());
    EXPECT_EQ(r.model, vx::Model::ZR1);
    EXPECT_EQ(r.modelText, "ZR1");
    EXPECT_EQ(r.versionText, "ZR1 V1.05 ");
    EXPECT_TRUE(port.isOpen());
    EXPECT_GE(clock.elapsed() - before, 0.2 + 0.15 - 1e-9);

    // With an address, without the checksum, and with an answer late but within the reading time.
    device.setAddress("05");
    device.setChecksum(false);
    link.settings.DeviceAddress = "05";
    link.settings.ChecksumEnabled = false;
    device.addFault(versionFault(vx::sim::FaultKind::Late, 0.1));
    link.settings.ReadingTime = 0.5;
    EXPECT_TRUE(vx::VersiyonOku(link).connected());
    EXPECT_EQ(port.framesSent().last(), vx::BuildReadFrame("05", 199, 10, false));
}

}  // namespace
