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

TEST_F(WindowSettingsPanelTest, OpeningShowsTheStoredSettingsOrTheDefaultsAndAcceptKeepsThem)
{
    // Stored Port, Setting, Adrres and CSUM (nullptr: none), and what the panel shows.
    const char *keys[] = {"Port", "Setting", "Adrres", "CSUM"};
    const char *controls[] = {"Combo6", "Text4_0", "Text4_1", "Combo7", "Combo9", "Combo8", "Combo2", "Combo3"};
    const struct { const char *stored[4]; const char *shown[8]; } rows[] = {
        {{}, {"COM1", "1", "9600,N,8,1", "9600", "NONE", "8", "00", "Var"}},
        {{"3", "19200,O,7,1", "07", "False"}, {"COM3", "3", "19200,O,7,1", "19200", "ODD", "7", "07", "Yok"}},
        {{"2", "115200,N,8,1"}, {"COM2", "2", "115200,N,8,1", "115200", "NONE", "8", "00", "Var"}},
    };
    for (const auto &r : rows) {
        for (int i = 0; i < 4; ++i)
            r.stored[i] ? store->setValue(QStringLiteral("ZR"), QLatin1String(keys[i]), QLatin1String(r.stored[i]))
                        : store->remove(QStringLiteral("ZR"), QLatin1String(keys[i]));
        start();
        form->MnAyar_Click(0);
        for (int i = 0; i < 8; ++i) {
            QWidget *w = ctl(QLatin1String(controls[i]));
            EXPECT_EQ(w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString(), QLatin1String(r.shown[i]))
                << controls[i];
        }
        EXPECT_TRUE(shown(QStringLiteral("SSPanel1")));
        EXPECT_EQ(form->lightColour(), QStringLiteral("sarı"));
        EXPECT_FALSE(form->tabs()->isEnabled());
        EXPECT_FALSE(action(QStringLiteral("connect"))->isEnabled());
        form->SSCommand1_Click();  // accepting what is shown stores the same line settings
        EXPECT_EQ(stored(QStringLiteral("Setting")), QLatin1String(r.shown[2]));
    }
}

TEST_F(WindowSettingsPanelTest, ParityChoiceSetsTheDataBits)
{
    start();
    form->MnAyar_Click(0);
    for (const auto &[parity, bits] : {std::pair{"EVEN", "7"}, {"NONE", "8"}, {"ODD", "7"}}) {
        pick("Combo9", QLatin1String(parity));
        EXPECT_EQ(combo("Combo8")->currentText(), QLatin1String(bits)) << parity;
    }
}

TEST_F(WindowSettingsPanelTest, AcceptStoresWhatThePanelShowsAndTheNextConnectUsesIt)
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

    QStringList values;
    for (const char *key : {"Port", "Setting", "Adrres", "CSUM", "Drain"})
        values << stored(QLatin1String(key));
    EXPECT_EQ(values, QStringList({"12", "9600,E,7,1", "05", "False", "fixed"}));
    EXPECT_EQ(form->settings().drainMode, vx::DrainMode::Fixed);
    EXPECT_FALSE(shown(QStringLiteral("SSPanel1")));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_TRUE(action(QStringLiteral("connect"))->isEnabled());

    form->ConnectAction();
    EXPECT_EQ(port.lastPortName(), QStringLiteral("COM12"));
    EXPECT_EQ(port.lastLineSettings(), QStringLiteral("9600,E,7,1"));
    EXPECT_EQ(port.framesSent().last(), vx::BuildReadFrame(QStringLiteral("05"), 199, 10, false));
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
    // Through the program settings menu: cancelled, unreadable, zero, then a good one.
    op.inputAnswers = {std::nullopt, QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("0.5")};
    for (int i = 0; i < 3; ++i)
        action(QStringLiteral("MnAyar_1"))->trigger();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.15);
    EXPECT_EQ(stored(QStringLiteral("OkumaZamanı")), QStringLiteral("(none)"));
    const QStringList said = op.messages();
    ASSERT_EQ(said.size(), 3);
    for (const QString &m : said)
        EXPECT_TRUE(m.contains(QStringLiteral("0.15"))) << qPrintable(m);
    action(QStringLiteral("MnAyar_1"))->trigger();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.5);
}

}  // namespace
