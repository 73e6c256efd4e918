// Escape, F5, the tab refresh, the status timer and the tab change.

#include "GuiFixture.h"

#include <QProgressBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using vx::test::GuiTest;

namespace {

class WindowKeysTest : public GuiTest {
protected:
    // A reader for the status tab that records how it was called.
    void countStatusReads()
    {
        form->setTabReader(vx::Tab::Status, [this] {
            ++reads;
            portOpenDuringRead = port.isOpen();
            tabsEnabledDuringRead = form->tabs()->isEnabled();
            lightDuringRead = form->lightColour();
        });
    }
    void pressOnWindow(Qt::Key key) { QTest::keyClick(form->tabs(), key); }

    int reads = 0;
    bool portOpenDuringRead = false, tabsEnabledDuringRead = true;
    QString lightDuringRead;
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
    EXPECT_TRUE(action("connect")->isEnabled());
    EXPECT_TRUE(ctl<QMenu>("MnDosya1")->menuAction()->isEnabled());
    EXPECT_EQ(form->lightColour(), "kırmızı");  // green is red while disconnected

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

TEST_F(WindowKeysTest, EverySecondF5RefreshesTheSelectedTab)
{
    start();
    form->show();
    countStatusReads();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);  // the tab change reads once
    ASSERT_EQ(reads, 1);

    // Keys pressed on controls that pass them on to their parents count once.
    for (int i = 0; i < 4; ++i)
        pressOnWindow(Qt::Key_F5);
    EXPECT_EQ(reads, 3);
    QTest::keyClick(ctl("Label3_8"), Qt::Key_F5);
    QTest::keyClick(ctl("SSCommand3"), Qt::Key_F5);
    EXPECT_EQ(reads, 4);
    EXPECT_TRUE(portOpenDuringRead);
    EXPECT_FALSE(tabsEnabledDuringRead);
    EXPECT_EQ(lightDuringRead, "sarı");
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_EQ(form->lightColour(), "yeşil");
    EXPECT_TRUE(form->link().AbortRequested);
}

TEST_F(WindowKeysTest, RefreshSaysSoWhileDisconnectedAndSendsNothingWithoutReaderOrWhileBusy)
{
    start();
    form->show();
    countStatusReads();
    pressOnWindow(Qt::Key_F5);
    action("Toolbar1_11")->trigger();  // the toolbar's refresh button goes the same way
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(op.messages(), QStringList({"E375", "E375"}));
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);

    op.clear();
    form->ConnectAction();
    port.clearFramesSent();
    const int opens = port.openCount();
    form->RefKatmaOlum();  // the header tab has no reader
    EXPECT_EQ(port.openCount(), opens);
    EXPECT_TRUE(port.framesSent().isEmpty());
    EXPECT_EQ(op.dialogCount(), 0);

    form->tabs()->setCurrentIndex(vx::Tab::Status);
    reads = 0;
    form->beginOperation();
    form->RefKatmaOlum();
    EXPECT_EQ(reads, 0) << "another operation runs";
    form->endOperation();
    port.setOpenError(vx::PortErr::Busy);
    form->RefKatmaOlum();
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_EQ(form->lightColour(), "yeşil");
    port.setOpenError(vx::PortErr::None);
    form->RefKatmaOlum();
    EXPECT_EQ(reads, 1);
    form->DisconnectAction();
    form->Timer4_Timer();  // a timer tick after a disconnect reads nothing
    EXPECT_EQ(reads, 1);
}

TEST_F(WindowKeysTest, TabChangeStopsTheTimerStoresTheTabAndClosesThePort)
{
    start();
    std::vector<int> changes;
    form->addTabChangeHook([&](int tab) { changes.push_back(tab); });
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    ASSERT_TRUE(form->timer4()->isActive());
    ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok());

    form->tabs()->setCurrentIndex(vx::Tab::Parameters);

    EXPECT_FALSE(form->timer4()->isActive());
    EXPECT_EQ(form->state().CurrentTab, vx::Tab::Parameters);
    EXPECT_EQ(form->link().decode.currentTab, vx::Tab::Parameters);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(changes, (std::vector<int>{vx::Tab::Status, vx::Tab::Parameters}));
}

TEST_F(WindowKeysTest, RefreshOnTheParameterTabGoesThroughTheTabChange)
{
    start();
    int entered = 0;
    bool pendingSeen = false;
    form->setTabEnterHook(vx::Tab::Parameters, [&] {
        ++entered;
        pendingSeen = pendingSeen || form->state().TabRefreshPending;
    });
    form->tabs()->setCurrentIndex(vx::Tab::Parameters);
    EXPECT_EQ(entered, 1);
    form->ConnectAction();
    entered = 0;
    form->RefKatmaOlum();
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(pendingSeen);
}

}  // namespace
