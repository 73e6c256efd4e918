// One operation at a time on the window's line. Every operation takes the line through
// a LineLease; a tick of the status timer, F5, the refresh button, a connect click, a
// read-all or the parameter reload that comes while another operation holds it is
// skipped (not queued), touches nothing on the wire and leaves that operation's port
// alone. Each operation ends with the port closed and the line free.

#include "GuiFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

using vx::gui::Light;

class LineLeaseWindowTest : public vx::test::GuiTest {
protected:
    // Requests for the version text (register 199 = 00C7, 5 words): one a connect.
    int versionReads() const
    {
        return int(std::count_if(device.requests().begin(), device.requests().end(),
                                 [](const QString &r) { return r.startsWith(QStringLiteral("@0300C7")); }));
    }
    // Runs `during` at the first wait of the operation `run` starts.
    void inTheMiddle(const std::function<void()> &run, const std::function<void()> &during)
    {
        bool ran = false;
        clock.callAfter(0, [&] {
            EXPECT_TRUE(form->link().lineHeld()) << "the operation holds the line";
            during();
            ran = true;
        });
        run();
        EXPECT_TRUE(ran);
    }
    void everythingElseOnce()
    {
        form->refresher().F5Key();
        action("Toolbar1_11")->trigger();
        form->refresher().Timer4_Timer();
        form->ConnectAction();
        action("connect")->trigger();  // while connected it would disconnect
    }
};

TEST_F(LineLeaseWindowTest, WhatComesDuringAStatusRefreshIsSkippedAndNotRunAfterwards)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    ASSERT_TRUE(form->state().IsConnected);
    ASSERT_TRUE(form->refresher().timer4().isActive());
    const int reads = statusReadings();
    const int versions = versionReads();

    inTheMiddle([&] { form->refresher().refresh(); }, [&] { everythingElseOnce(); });
    EXPECT_EQ(statusReadings(), reads + 1) << "the refresh itself, nothing else";
    EXPECT_EQ(versionReads(), versions) << "no connect in the middle of the refresh";
    EXPECT_TRUE(form->state().IsConnected) << "the connect menu did not disconnect";
    EXPECT_EQ(light(), Light::Green);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(form->link().lineHeld());
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join(" | ").toStdString();

    // Nothing was queued: the next read is the timer's own, five seconds on.
    device.clearRequests();
    clock.advance(0.5);
    EXPECT_EQ(statusReadings(), 0);
    clock.advance(5.0);
    EXPECT_EQ(statusReadings(), 1);
}

TEST_F(LineLeaseWindowTest, ASecondClickDuringAConnectStartsNoSecondConnect)
{
    start();
    inTheMiddle([&] { form->ConnectAction(); }, [&] {
        form->ConnectAction();
        action("connect")->trigger();
    });
    EXPECT_EQ(versionReads(), 1);
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(light(), Light::Green);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(ctl("SSPanel10")->isVisible()) << "the wait panel is gone";
}

TEST_F(LineLeaseWindowTest, WhileAnotherOperationHoldsTheLineNothingTouchesItsPort)
{
    start();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    ASSERT_TRUE(form->refresher().timer4().isActive());
    device.clearRequests();
    device.clearCommands();

    {
        const vx::LineLease held(form->link());
        ASSERT_TRUE(held);
        const int opens = port.openCount();
        clock.advance(5.1);  // Timer4
        everythingElseOnce();
        // A read-all: its panel closes again without a word.
        action("MnDosya_9")->trigger();
        QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
        EXPECT_FALSE(shown("SSPanel2"));
        // The send panel opens without the hardware read it makes on a free line.
        action("MnDosya_8")->trigger();
        EXPECT_TRUE(shown("SSPanel3"));
        QTest::mouseClick(ctl("SSCommand4_1"), Qt::LeftButton);
        // The parameter tab's reload.
        form->tabs()->setCurrentIndex(vx::Tab::Parameters);
        clock.advance(0.5);

        EXPECT_TRUE(device.requests().isEmpty()) << device.requests().join(" ").toStdString();
        EXPECT_TRUE(device.commands().empty());
        EXPECT_TRUE(port.isOpen()) << "the holder's port stays open";
        EXPECT_EQ(port.openCount(), opens);
        EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join(" | ").toStdString();
        EXPECT_TRUE(form->state().IsConnected);
    }
    EXPECT_FALSE(port.isOpen());

    // The line free again, the parameter tab reloads as a visit to it does.
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    form->tabs()->setCurrentIndex(vx::Tab::Parameters);
    clock.advance(0.5);
    EXPECT_FALSE(device.requests().isEmpty());
    EXPECT_FALSE(port.isOpen());
}

// Each operation gives the line up when it ends: the port closed, the line free, the
// light green.
TEST_F(LineLeaseWindowTest, EveryOperationEndsWithThePortClosedAndTheLineFree)
{
    start();
    const std::pair<const char *, std::function<void()>> operations[] = {
        {"connect", [&] { form->ConnectAction(); }},
        {"status tab", [&] { form->tabs()->setCurrentIndex(vx::Tab::Status); }},
        {"status timer", [&] { clock.advance(5.1); }},
        {"F5", [&] { form->refresher().F5Key(); }},
        {"parameter tab", [&] {
             form->tabs()->setCurrentIndex(vx::Tab::Parameters);
             clock.advance(0.5);
         }},
        {"read-all", [&] {
             action("MnDosya_9")->trigger();
             ctl<QCheckBox>("SSCheck1_4")->setChecked(true);  // the status
             QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
         }},
        {"send panel", [&] { action("MnDosya_8")->trigger(); }},
        {"send-all", [&] { QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton); }},
        {"new address", [&] {
             form->MnAyar_Click(0);
             auto *addresses = ctl<QComboBox>("Combo2");
             addresses->setCurrentIndex(addresses->findText("07"));
             form->settingsPanel().SSCommand1_Click();
         }},
    };
    for (const auto &[name, run] : operations) {
        const int requests = int(device.requests().size());
        run();
        EXPECT_GT(int(device.requests().size()), requests) << name << ": it talked to the indicator";
        EXPECT_FALSE(port.isOpen()) << name;
        EXPECT_FALSE(form->link().lineHeld()) << name;
        EXPECT_TRUE(form->state().IsConnected) << name;
    }
    EXPECT_EQ(light(), Light::Green);
}

}  // namespace
