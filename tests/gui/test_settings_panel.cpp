// The connection settings panel and the hidden reading-time entry.

#include "GuiFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

class WindowSettingsPanelTest : public GuiTest {
protected:
    QString stored(const QString &key) const { return store->value(QStringLiteral("ZR"), key, QStringLiteral("(none)")); }
    QComboBox *combo(const char *name) const { return ctl<QComboBox>(QString::fromLatin1(name)); }
    void pick(const char *name, const QString &text)
    {
        QComboBox *c = combo(name);
        const int i = c->findText(text);
        ASSERT_GE(i, 0) << name << " " << qPrintable(text);
        c->setCurrentIndex(i);
        emit c->activated(i);  // as the user's choice
    }
};

TEST_F(WindowSettingsPanelTest, OpeningShowsTheStoredSettings)
{
    store->setValue(QStringLiteral("ZR"), QStringLiteral("Port"), QStringLiteral("3"));
    store->setValue(QStringLiteral("ZR"), QStringLiteral("Setting"), QStringLiteral("19200,O,7,1"));
    store->setValue(QStringLiteral("ZR"), QStringLiteral("Adrres"), QStringLiteral("07"));
    store->setValue(QStringLiteral("ZR"), QStringLiteral("CSUM"), QStringLiteral("False"));
    start();
    form->MnAyar_Click(0);

    EXPECT_TRUE(shown(QStringLiteral("SSPanel1")));
    EXPECT_EQ(combo("Combo6")->currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(ctl<QLineEdit>(QStringLiteral("Text4_0"))->text(), QStringLiteral("3"));
    EXPECT_EQ(ctl<QLineEdit>(QStringLiteral("Text4_1"))->text(), QStringLiteral("19200,O,7,1"));
    EXPECT_EQ(combo("Combo7")->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(combo("Combo9")->currentText(), QStringLiteral("ODD"));
    EXPECT_EQ(combo("Combo8")->currentText(), QStringLiteral("7"));
    EXPECT_EQ(combo("Combo2")->currentText(), QStringLiteral("07"));
    EXPECT_EQ(combo("Combo3")->currentText(), QStringLiteral("Yok"));
    EXPECT_EQ(form->lightColour(), QStringLiteral("sarı"));
    EXPECT_FALSE(form->tabs()->isEnabled());
    EXPECT_FALSE(action(QStringLiteral("connect"))->isEnabled());
}

TEST_F(WindowSettingsPanelTest, DefaultsShowNineSixHundredNoParityAndAddressZero)
{
    start();
    form->MnAyar_Click(0);
    EXPECT_EQ(combo("Combo7")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(combo("Combo9")->currentText(), QStringLiteral("NONE"));
    EXPECT_EQ(combo("Combo8")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(combo("Combo2")->currentText(), QStringLiteral("00"));
    EXPECT_EQ(combo("Combo3")->currentText(), QStringLiteral("Var"));
    EXPECT_EQ(combo("Combo6")->currentText(), QStringLiteral("COM1"));
}

TEST_F(WindowSettingsPanelTest, ParityChoiceSetsTheDataBits)
{
    start();
    form->MnAyar_Click(0);
    pick("Combo9", QStringLiteral("EVEN"));
    EXPECT_EQ(combo("Combo8")->currentText(), QStringLiteral("7"));
    pick("Combo9", QStringLiteral("NONE"));
    EXPECT_EQ(combo("Combo8")->currentText(), QStringLiteral("8"));
    pick("Combo9", QStringLiteral("ODD"));
    EXPECT_EQ(combo("Combo8")->currentText(), QStringLiteral("7"));
}

TEST_F(WindowSettingsPanelTest, AcceptStoresWhatThePanelShows)
{
    start();
    form->MnAyar_Click(0);
    pick("Combo6", QStringLiteral("COM12"));
    pick("Combo7", QStringLiteral("9600"));
    pick("Combo9", QStringLiteral("EVEN"));
    pick("Combo2", QStringLiteral("05"));
    pick("Combo3", QStringLiteral("Yok"));
    ctl<QCheckBox>(QStringLiteral("CheckFrameEnd"))->setChecked(false);
    QTest::mouseClick(ctl<QPushButton>(QStringLiteral("SSCommand1")), Qt::LeftButton);

    EXPECT_EQ(stored(QStringLiteral("Port")), QStringLiteral("12"));
    EXPECT_EQ(stored(QStringLiteral("Setting")), QStringLiteral("9600,E,7,1"));
    EXPECT_EQ(stored(QStringLiteral("Adrres")), QStringLiteral("05"));
    EXPECT_EQ(stored(QStringLiteral("CSUM")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("Drain")), vx::DrainModeName(vx::DrainMode::Fixed));
    const vx::LinkSettings &s = form->settings();
    EXPECT_EQ(s.PortNumber, QStringLiteral("12"));
    EXPECT_EQ(s.PortSettings, QStringLiteral("9600,E,7,1"));
    EXPECT_EQ(s.DeviceAddress, QStringLiteral("05"));
    EXPECT_FALSE(s.ChecksumEnabled);
    EXPECT_EQ(s.drainMode, vx::DrainMode::Fixed);
    EXPECT_FALSE(shown(QStringLiteral("SSPanel1")));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_TRUE(action(QStringLiteral("connect"))->isEnabled());

    // The next connect uses them.
    form->ConnectAction();
    EXPECT_EQ(port.lastPortName(), QStringLiteral("COM12"));
    EXPECT_EQ(port.lastLineSettings(), QStringLiteral("9600,E,7,1"));
}

TEST_F(WindowSettingsPanelTest, CancelStoresNothing)
{
    start();
    form->MnAyar_Click(0);
    pick("Combo6", QStringLiteral("COM4"));
    QTest::mouseClick(ctl<QPushButton>(QStringLiteral("SSCommand7")), Qt::LeftButton);
    EXPECT_EQ(stored(QStringLiteral("Port")), QStringLiteral("(none)"));
    EXPECT_EQ(form->settings().PortNumber, QStringLiteral("1"));
    EXPECT_FALSE(shown(QStringLiteral("SSPanel1")));
    EXPECT_TRUE(form->tabs()->isEnabled());
}

TEST_F(WindowSettingsPanelTest, SixDigitBaudRateSurvivesTheRoundTrip)
{
    store->setValue(QStringLiteral("ZR"), QStringLiteral("Setting"), QStringLiteral("115200,N,8,1"));
    start();
    form->MnAyar_Click(0);
    EXPECT_EQ(combo("Combo7")->currentText(), QStringLiteral("115200"));
    form->SSCommand1_Click();
    EXPECT_EQ(stored(QStringLiteral("Setting")), QStringLiteral("115200,N,8,1"));
}

TEST_F(WindowSettingsPanelTest, NewAddressReadsTheCapacityAgainWhileConnected)
{
    start();
    int capacityReads = 0;
    form->setTaksimatBul([&] { ++capacityReads; });
    form->ConnectAction();
    ASSERT_EQ(capacityReads, 1);

    // The panel shows "00" for no address; accepting it is a change from the empty text.
    form->MnAyar_Click(0);
    form->SSCommand1_Click();
    EXPECT_EQ(capacityReads, 2);
    EXPECT_EQ(form->settings().DeviceAddress, QStringLiteral("00"));
    form->MnAyar_Click(0);
    form->SSCommand1_Click();  // same address: nothing read
    EXPECT_EQ(capacityReads, 2);

    form->MnAyar_Click(0);
    pick("Combo2", QStringLiteral("05"));
    form->SSCommand1_Click();
    EXPECT_EQ(capacityReads, 3);
    EXPECT_FALSE(port.isOpen());

    // Not connected: nothing is sent.
    form->DisconnectAction();
    form->MnAyar_Click(0);
    pick("Combo2", QStringLiteral("06"));
    form->SSCommand1_Click();
    EXPECT_EQ(capacityReads, 3);
}

TEST_F(WindowSettingsPanelTest, HiddenKeyOnTheAcceptButtonSetsTheReadingTime)
{
    start();
    form->show();
    form->MnAyar_Click(0);
    auto *accept = ctl<QPushButton>(QStringLiteral("SSCommand1"));
    op.inputAnswers.push_back(QStringLiteral("0,3"));
    QTest::keyClick(accept, Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);

    ASSERT_EQ(op.count(Kind::Input), 1);
    EXPECT_EQ(op.last().text, QStringLiteral("Reading time?"));
    EXPECT_EQ(op.last().defaultText, QStringLiteral("0.15"));
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.3);
    EXPECT_EQ(stored(QStringLiteral("OkumaZamanı")), QStringLiteral("0,3"));

    // Without all three modifiers, or on another control, the key is an ordinary key.
    QTest::keyClick(accept, Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(ctl(QStringLiteral("Combo7")), Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(op.count(Kind::Input), 1);
}

TEST_F(WindowSettingsPanelTest, CancelledOrUnreadableReadingTimeKeepsTheOldValue)
{
    start();
    op.inputAnswers.push_back(std::nullopt);
    op.inputAnswers.push_back(QStringLiteral("abc"));
    op.inputAnswers.push_back(QStringLiteral("0"));
    for (int i = 0; i < 3; ++i)
        form->readingTimeEntry();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.15);
    EXPECT_EQ(stored(QStringLiteral("OkumaZamanı")), QStringLiteral("(none)"));
    const QStringList said = op.messages();
    ASSERT_EQ(said.size(), 3);
    for (const QString &m : said)
        EXPECT_TRUE(m.contains(QStringLiteral("0.15"))) << qPrintable(m);
}

TEST_F(WindowSettingsPanelTest, ProgramSettingsMenuAsksForTheReadingTime)
{
    start();
    op.inputAnswers.push_back(QStringLiteral("0.5"));
    action(QStringLiteral("MnAyar_1"))->trigger();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.5);
}

}  // namespace
