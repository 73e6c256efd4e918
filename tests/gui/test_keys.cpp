// Escape, F5 and the refresh of the shown tab.

#include "GuiFixture.h"

#include <QProgressBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using vx::gui::Light;
using vx::test::GuiTest;

namespace {

class WindowKeysTest : public GuiTest {
protected:
    void pressOnWindow(Qt::Key key) { QTest::keyClick(form->tabs(), key); }
};

TEST_F(WindowKeysTest, EscapeClosesThePanelsAndAsksRunningWorkToStopUnlessASendAllShowsProgress)
{
    start();
    form->show();
    form->MnAyar_Click(0);
    ASSERT_TRUE(shown("SSPanel1"));
    EXPECT_FALSE(form->tabs()->isEnabled());
    EXPECT_FALSE(ctl<QToolBar>("Toolbar1")->isEnabled());
    form->link().AbortRequested = false;

    QTest::keyClick(ctl("Combo7"), Qt::Key_Escape);

    EXPECT_FALSE(shown("SSPanel1"));
    EXPECT_TRUE(form->link().AbortRequested);
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_TRUE(ctl<QToolBar>("Toolbar1")->isEnabled());
    EXPECT_TRUE(ctl<QMenu>("MnDosya1")->menuAction()->isEnabled());
    EXPECT_EQ(light(), Light::Red);  // green is red while disconnected

    ctl("SSPanel3")->show();
    ctl<QProgressBar>("ProgressBar2")->setValue(3);
    form->link().AbortRequested = false;
    pressOnWindow(Qt::Key_Escape);
    EXPECT_TRUE(shown("SSPanel3"));
    EXPECT_FALSE(form->link().AbortRequested);
    ctl<QProgressBar>("ProgressBar2")->setValue(0);
    pressOnWindow(Qt::Key_Escape);
    EXPECT_FALSE(shown("SSPanel3"));
    EXPECT_TRUE(form->link().AbortRequested);
}

TEST_F(WindowKeysTest, EverySecondF5RefreshesOnceWhicheverControlHasTheKey)
{
    start();
    form->show();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);  // the tab change reads once
    ASSERT_EQ(statusReadings(), 1);
    // Keys pressed on controls that pass them on to their parents count once.
    for (int i = 0; i < 4; ++i)
        pressOnWindow(Qt::Key_F5);
    QTest::keyClick(ctl("Label3_8"), Qt::Key_F5);
    QTest::keyClick(ctl("SSCommand3"), Qt::Key_F5);
    EXPECT_EQ(statusReadings(), 4);
    EXPECT_EQ(light(), Light::Green);
    EXPECT_TRUE(form->link().AbortRequested);
}

TEST_F(WindowKeysTest, RefreshSaysSoWhileDisconnectedAndWaitsWhileAnotherOperationRuns)
{
    start();
    form->show();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    pressOnWindow(Qt::Key_F5);
    action("Toolbar1_11")->trigger();  // the toolbar's refresh button goes the same way
    EXPECT_EQ(op.messages(), QStringList({"E375", "E375"}));
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);

    form->ConnectAction();
    const int reads = statusReadings();
    form->beginOperation();
    form->RefKatmaOlum();
    EXPECT_EQ(statusReadings(), reads) << "another operation runs";
    form->endOperation();
    form->RefKatmaOlum();
    EXPECT_EQ(statusReadings(), reads + 1);
    form->DisconnectAction();
    form->Timer4_Timer();  // a timer tick after a disconnect reads nothing
    EXPECT_EQ(statusReadings(), reads + 1);
    EXPECT_FALSE(form->timer4()->isActive());
}

// A port that cannot be opened any more (adapter pulled, or taken by another program)
// ends the connection: its message once, the red light, no timer.
TEST_F(WindowKeysTest, RefreshThatCannotOpenThePortDisconnectsAndSaysSoOnce)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    ASSERT_TRUE(form->timer4()->isActive());
    const int reads = statusReadings();

    port.setOpenError(vx::PortErr::NoSuchPort);
    clock.advance(5.1);
    ASSERT_EQ(op.messages(), QStringList{"COM1 bulunmamaktadır"});
    EXPECT_EQ(statusReadings(), reads);
    EXPECT_EQ(light(), Light::Red);
    EXPECT_FALSE(form->timer4()->isActive());
    EXPECT_EQ(action("connect")->text(), "E376");
    EXPECT_EQ(form->statusLine(), "Disconnected: COM1 · 9600,N,8,1 · address none — port not found");
    clock.advance(30.0);
    EXPECT_EQ(op.messages().size(), 1);

    // F5 on a busy port ends the same way.
    port.setOpenError(vx::PortErr::None);
    form->ConnectAction();
    port.setOpenError(vx::PortErr::Busy);
    form->F5Key();
    EXPECT_EQ(op.messages().size(), 2);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_TRUE(form->statusLine().endsWith("port busy")) << qPrintable(form->statusLine());
}

}  // namespace
