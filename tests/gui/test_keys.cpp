// Escape, F5 and the refresh of the shown tab.

#include "GuiFixture.h"

#include <QCheckBox>
#include <QLineEdit>
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
    {
        const vx::LineLease held(form->link());
        ASSERT_TRUE(held);
        form->refresher().refresh();
        pressOnWindow(Qt::Key_F5);
        form->refresher().Timer4_Timer();
        EXPECT_EQ(statusReadings(), reads) << "another operation holds the line: skipped";
    }
    EXPECT_EQ(statusReadings(), reads) << "skipped, not queued";
    form->refresher().refresh();
    EXPECT_EQ(statusReadings(), reads + 1);
    form->DisconnectAction();
    form->refresher().Timer4_Timer();  // a timer tick after a disconnect reads nothing
    EXPECT_EQ(statusReadings(), reads + 1);
    EXPECT_FALSE(form->refresher().timer4().isActive());
}

// A port that cannot be opened any more (adapter pulled, or taken by another program)
// ends the connection: its message once, the red light, no timer.
TEST_F(WindowKeysTest, RefreshThatCannotOpenThePortDisconnectsAndSaysSoOnce)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    ASSERT_TRUE(form->refresher().timer4().isActive());
    const int reads = statusReadings();

    port.setOpenError(vx::PortErr::NoSuchPort);
    clock.advance(5.1);
    ASSERT_EQ(op.messages(), QStringList{"COM1 bulunmamaktadır"});
    EXPECT_EQ(statusReadings(), reads);
    EXPECT_EQ(light(), Light::Red);
    EXPECT_FALSE(form->refresher().timer4().isActive());
    EXPECT_EQ(action("connect")->text(), "E376");
    EXPECT_EQ(form->statusLine(), "Disconnected: COM1 · 9600,N,8,1 · address none — port not found");
    clock.advance(30.0);
    EXPECT_EQ(op.messages().size(), 1);

    // F5 on a busy port ends the same way.
    port.setOpenError(vx::PortErr::None);
    form->ConnectAction();
    port.setOpenError(vx::PortErr::Busy);
    form->refresher().F5Key();
    EXPECT_EQ(op.messages().size(), 2);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_TRUE(form->statusLine().endsWith("port busy")) << qPrintable(form->statusLine());
}

// Qt builds successive key events at one address. A key the window saw on a control
// must not hide the next one, which comes to the window itself.
TEST_F(WindowKeysTest, EscapeAfterTypingInAHeaderLineClosesTheReadPanelAndStopsAReadAll)
{
    start();
    form->show();
    form->ConnectAction();
    auto *line = ctl<QLineEdit>("Baslık_0");
    QTest::keyClick(line, Qt::Key_A);
    action("MnDosya_9")->trigger();
    ASSERT_TRUE(shown("SSPanel2"));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(shown("SSPanel2"));
    EXPECT_TRUE(form->tabs()->isEnabled());

    // Escape on the line (which passes it on), then on the window: both close.
    for (QWidget *to : {static_cast<QWidget *>(line), static_cast<QWidget *>(form.get())}) {
        action("MnDosya_9")->trigger();
        ASSERT_TRUE(shown("SSPanel2"));
        QTest::keyClick(to, Qt::Key_Escape);
        EXPECT_FALSE(shown("SSPanel2")) << qPrintable(to->objectName());
    }

    // The language panel the same way.
    QTest::keyClick(line, Qt::Key_B);
    form->MnAyar_Click(3);
    ASSERT_TRUE(shown("SSPanel7"));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(shown("SSPanel7"));

    // A read-all of the ID memory, Escape pressed on the window at its fifth record.
    QTest::keyClick(line, Qt::Key_C);
    int loads = 0;
    device.onCommand(10, [&](vx::sim::VirtualIndicator &) {
        if (++loads == 5)
            QTest::keyClick(form.get(), Qt::Key_Escape);
    });
    action("MnDosya_9")->trigger();
    for (int i = 0; i < 7; ++i)
        ctl<QCheckBox>(QStringLiteral("SSCheck1_%1").arg(i))->setChecked(i == 1);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    EXPECT_EQ(loads, 5) << "the read stops at the next record";
    EXPECT_FALSE(shown("SSPanel2"));
    EXPECT_EQ(light(), Light::Green);
    EXPECT_EQ(line->text(), "abc");
}

// F5 keeps its latch: the first press refreshes, the next only re-arms, whether the
// key goes to a control that passes it on or to the window itself.
TEST_F(WindowKeysTest, F5RefreshesOnEveryOtherPressWhenControlAndWindowTakeTurns)
{
    start();
    form->show();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    ASSERT_EQ(statusReadings(), 1);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(ctl("Label3_8"), Qt::Key_F5);
        QTest::keyClick(form.get(), Qt::Key_F5);
    }
    EXPECT_EQ(statusReadings(), 1 + 3) << "presses 1, 3 and 5 refresh";
}

}  // namespace
