// Connecting: the version read on the wire, the model correction, the light, the
// connect menu, and the ways a connect fails.

#include "GuiFixture.h"

#include "link/Connect.h"
#include "sim/Faults.h"

#include <QCheckBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTimer>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

class WindowConnectTest : public GuiTest {};

vx::sim::FaultRule fault(vx::sim::FaultKind kind, int reg = 0)
{
    vx::sim::FaultRule rule;
    rule.kind = kind;
    if (reg) {
        rule.scope = vx::sim::FaultScope::Register;
        rule.value = reg;
    }
    return rule;
}

TEST_F(WindowConnectTest, ClickOnTheRedLightConnectsAndTurnsItGreen)
{
    device.setModel(QStringLiteral("ZR2 V2.20"));
    start(QStringLiteral("ZR2"));
    port.clearFramesSent();

    QTest::mouseClick(ctl(QStringLiteral("Image2_0")), Qt::LeftButton);

    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(form->lightColour(), QStringLiteral("yeşil"));
    EXPECT_EQ(action(QStringLiteral("connect"))->text(), QStringLiteral("E377"));
    EXPECT_EQ(form->lastVersion().versionText.trimmed(), QStringLiteral("ZR2 V2.20"));
    ASSERT_EQ(port.framesSent().size(), 1);
    EXPECT_EQ(port.framesSent().at(0), vx::BuildReadFrame(QString(), 199, 10, true));
    EXPECT_FALSE(port.isOpen()) << "the port is open only during an operation";
    EXPECT_FALSE(shown(QStringLiteral("SSPanel10")));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(WindowConnectTest, VersionOfAnotherModelCorrectsTheModelAndItsFeatures)
{
    device.setModel(QStringLiteral("ZR1 V1.05"));
    start(QStringLiteral("ZR2"));
    std::vector<int> laidOut;
    form->setGridDüzen([&](int index) { laidOut.push_back(index); });
    ASSERT_TRUE(form->tabs()->isTabVisible(1));

    form->ConnectAction();

    EXPECT_EQ(form->state().IndicatorModel, QStringLiteral("ZR1"));
    EXPECT_FALSE(form->tabs()->isTabVisible(1));
    EXPECT_FALSE(form->tabs()->isTabVisible(3));
    EXPECT_FALSE(shown(QStringLiteral("SSCheck1_1")));
    EXPECT_EQ(laidOut, (std::vector<int>{2, 3}));

    // The same model again: nothing is rebuilt.
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(laidOut, (std::vector<int>{2, 3}));

    // A ZR2 behind the same port brings the features back.
    device.setModel(QStringLiteral("ZR2 V2.20"));
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_TRUE(form->tabs()->isTabVisible(1));
    EXPECT_TRUE(shown(QStringLiteral("SSCheck1_1")));
}

TEST_F(WindowConnectTest, CapacityReadRunsAfterEveryConnectWithThePortOpen)
{
    start();
    int calls = 0;
    bool portOpen = false;
    form->setTaksimatBul([&] {
        ++calls;
        portOpen = port.isOpen();
    });
    form->ConnectAction();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(portOpen);
    device.addFault(fault(vx::sim::FaultKind::NoAnswer, 199));
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_EQ(calls, 1) << "a failed connect does not read the capacity";
}

TEST_F(WindowConnectTest, MissingPortLeavesTheLightRedAndTheMenuOfferingToConnect)
{
    start(QStringLiteral("ZR2"));
    port.setOpenError(vx::PortErr::NoSuchPort);
    const int opensBefore = port.openCount();

    form->ConnectAction();

    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(form->lightColour(), QStringLiteral("kırmızı"));
    EXPECT_EQ(action(QStringLiteral("connect"))->text(), QStringLiteral("E376"));
    EXPECT_EQ(port.openCount() - opensBefore, 1) << "a missing port is not tried ten times";
    ASSERT_EQ(op.messages(), QStringList{QStringLiteral("COM1 bulunmamaktadır")});
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_TRUE(port.framesSent().isEmpty());
    // The chosen model keeps its features while no indicator is reachable.
    EXPECT_EQ(form->state().IndicatorModel, QStringLiteral("ZR2"));
    EXPECT_TRUE(form->tabs()->isTabVisible(1));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_FALSE(shown(QStringLiteral("SSPanel10")));
}

TEST_F(WindowConnectTest, OtherPortErrorsAreTriedTenTimesAndReportedOnce)
{
    start();
    port.setOpenError(vx::PortErr::Other);
    const int opensBefore = port.openCount();
    form->ConnectAction();
    EXPECT_EQ(port.openCount() - opensBefore, 10);
    EXPECT_EQ(op.count(Kind::Message), 1);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(form->lightColour(), QStringLiteral("kırmızı"));
}

TEST_F(WindowConnectTest, SilentOrRefusingIndicatorFailsWithoutAMessage)
{
    start();
    for (vx::sim::FaultKind kind : {vx::sim::FaultKind::NoAnswer, vx::sim::FaultKind::Refuse, vx::sim::FaultKind::Noise}) {
        device.clearFaults();
        device.addFault(fault(kind, 199));
        form->ConnectAction();
        EXPECT_FALSE(form->state().IsConnected) << int(kind);
        EXPECT_EQ(form->lightColour(), QStringLiteral("kırmızı"));
        EXPECT_EQ(action(QStringLiteral("connect"))->text(), QStringLiteral("E376"));
    }
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(WindowConnectTest, ConnectClickedAgainWhileConnectingIsIgnored)
{
    start();
    int capacityReads = 0;
    form->setTaksimatBul([&] {
        ++capacityReads;
        if (capacityReads == 1)
            action(QStringLiteral("connect"))->trigger();  // the user clicks again meanwhile
    });
    form->ConnectAction();
    EXPECT_EQ(capacityReads, 1);
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(action(QStringLiteral("connect"))->text(), QStringLiteral("E377"));
}

TEST_F(WindowConnectTest, ConnectMenuTogglesBetweenConnectAndDisconnect)
{
    start();
    QAction *menu = action(QStringLiteral("connect"));
    EXPECT_EQ(menu->text(), QStringLiteral("E376"));
    menu->trigger();
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(menu->text(), QStringLiteral("E377"));
    menu->trigger();
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(menu->text(), QStringLiteral("E376"));
    EXPECT_EQ(form->lightColour(), QStringLiteral("kırmızı"));
}

TEST_F(WindowConnectTest, GreenLightClickDisconnects)
{
    start();
    form->ConnectAction();
    QTest::mouseClick(ctl(QStringLiteral("Image2_1")), Qt::LeftButton);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(form->lightColour(), QStringLiteral("kırmızı"));
}

TEST_F(WindowConnectTest, LightShowsExactlyOneLampAndNoGreenWhileDisconnected)
{
    start();
    auto visibleLamps = [&] {
        int n = 0;
        for (int i = 0; i < 3; ++i)
            n += shown(QStringLiteral("Image2_%1").arg(i)) ? 1 : 0;
        return n;
    };
    form->ışık(QStringLiteral("yeşil"));
    EXPECT_EQ(form->lightColour(), QStringLiteral("kırmızı"));
    EXPECT_EQ(visibleLamps(), 1);
    form->ışık(QStringLiteral("sarı"));
    EXPECT_EQ(form->lightColour(), QStringLiteral("sarı"));
    EXPECT_EQ(visibleLamps(), 1);
    form->ışık(QStringLiteral("mavi"));
    EXPECT_EQ(visibleLamps(), 0);
}

TEST_F(WindowConnectTest, ConnectOnTheStatusTabStartsTheStatusTimerOnlyThere)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    form->ConnectAction();
    EXPECT_FALSE(form->timer4()->isActive());
    form->DisconnectAction();

    form->tabs()->setCurrentIndex(vx::Tab::Status);
    EXPECT_EQ(form->state().CurrentTab, vx::Tab::Status);
    form->ConnectAction();
    EXPECT_TRUE(form->timer4()->isActive());
    EXPECT_EQ(form->timer4()->interval(), 5000);
}

TEST_F(WindowConnectTest, ConnectOnTheCalibrationTabReloadsThatTab)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    int entered = 0;
    bool pending = false;
    form->setTabEnterHook(vx::Tab::Calibration, [&] {
        ++entered;
        pending = form->state().TabRefreshPending;
    });
    form->ConnectAction();
    EXPECT_GE(entered, 1);
    EXPECT_TRUE(pending);
}

// The connect sequence without the window.
class VersionReadTest : public ::testing::Test {
protected:
    vx::sim::VirtualIndicator device;
    vx::sim::VirtualClock clock;
    vx::sim::InProcessPort port{device, clock};
    vx::test::ScriptedOperator op;
    vx::CommsLog log;
    vx::Link link{port, clock, op, log};
};

TEST_F(VersionReadTest, ReadsTheVersionAfterThePreDelayAndKeepsThePortOpen)
{
    device.setModel(QStringLiteral("ZR1 V1.05"));
    link.settings.drainMode = vx::DrainMode::Fixed;  // the whole waits, not up to the answer's end
    const double before = clock.elapsed();
    const vx::VersionResult r = vx::VersiyonOku(link);
    ASSERT_TRUE(r.connected());
    EXPECT_EQ(r.model, QStringLiteral("ZR1"));
    EXPECT_EQ(r.versionText, QStringLiteral("ZR1 V1.05 "));
    EXPECT_TRUE(port.isOpen());
    EXPECT_GE(clock.elapsed() - before, 0.2 + 0.15 - 1e-9);
}

TEST_F(VersionReadTest, WorksWithAddressAndWithoutChecksum)
{
    device.setAddress(QStringLiteral("05"));
    device.setChecksum(false);
    link.settings.DeviceAddress = QStringLiteral("05");
    link.settings.ChecksumEnabled = false;
    const vx::VersionResult r = vx::VersiyonOku(link);
    ASSERT_TRUE(r.connected());
    EXPECT_EQ(r.model, QStringLiteral("ZR2"));
    EXPECT_EQ(port.framesSent().last(), vx::BuildReadFrame(QStringLiteral("05"), 199, 10, false));
}

TEST_F(VersionReadTest, FatalPortErrorsStopAtOnce)
{
    for (int error : {vx::PortErr::NoSuchPort, vx::PortErr::Busy, vx::PortErr::NotOpen, vx::PortErr::BadSettings}) {
        port.setOpenError(error);
        const int before = port.openCount();
        const vx::VersionResult r = vx::VersiyonOku(link);
        EXPECT_EQ(r.outcome, vx::VersionResult::Outcome::PortFailed);
        EXPECT_EQ(r.portError, error);
        EXPECT_EQ(port.openCount() - before, 1);
    }
}

TEST_F(VersionReadTest, LateAnswerWithinTheReadingTimeStillConnects)
{
    vx::sim::FaultRule late = fault(vx::sim::FaultKind::Late, 199);
    late.lateSeconds = 0.1;
    device.addFault(late);
    link.settings.ReadingTime = 0.5;
    EXPECT_TRUE(vx::VersiyonOku(link).connected());
}

}  // namespace
