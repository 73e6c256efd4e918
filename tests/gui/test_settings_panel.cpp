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
    QString stored(const QString &key) const { return store->value("ZR", key, "(none)"); }
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
            r.stored[i] ? store->setValue("ZR", QLatin1String(keys[i]), QLatin1String(r.stored[i]))
                        : store->remove("ZR", QLatin1String(keys[i]));
        start();
        form->MnAyar_Click(0);
        for (int i = 0; i < 8; ++i) {
            QWidget *w = ctl(QLatin1String(controls[i]));
            EXPECT_EQ(w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString(), QLatin1String(r.shown[i]))
                << controls[i];
        }
        EXPECT_EQ(light(), vx::gui::Light::Yellow);
        EXPECT_FALSE(action("connect")->isEnabled());
        form->settingsPanel().SSCommand1_Click();  // accepting what is shown stores the same line settings
        EXPECT_EQ(stored("Setting"), QLatin1String(r.shown[2]));
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

TEST_F(WindowSettingsPanelTest, CancelStoresNothingAcceptStoresWhatThePanelShowsAndTheNextConnectUsesIt)
{
    start();
    form->MnAyar_Click(0);
    pick("Combo6", "COM4");
    QTest::mouseClick(ctl<QPushButton>("SSCommand7"), Qt::LeftButton);
    EXPECT_EQ(stored("Port"), "(none)");
    EXPECT_EQ(form->settings().PortNumber, "1");
    EXPECT_TRUE(form->tabs()->isEnabled());

    form->MnAyar_Click(0);
    pick("Combo6", "COM12");
    pick("Combo7", "9600");
    pick("Combo9", "EVEN");
    pick("Combo2", "05");
    pick("Combo3", "Yok");
    ctl<QCheckBox>("CheckFrameEnd")->setChecked(false);
    QTest::mouseClick(ctl<QPushButton>("SSCommand1"), Qt::LeftButton);

    QStringList values;
    for (const char *key : {"Port", "Setting", "Adrres", "CSUM", "Drain"})
        values << stored(QLatin1String(key));
    EXPECT_EQ(values, QStringList({"12", "9600,E,7,1", "05", "False", "fixed"}));
    EXPECT_EQ(form->settings().drainMode, vx::DrainMode::Fixed);
    EXPECT_FALSE(shown("SSPanel1"));
    EXPECT_TRUE(action("connect")->isEnabled());

    form->ConnectAction();
    EXPECT_EQ(port.lastPortName(), "COM12");
    EXPECT_EQ(port.lastLineSettings(), "9600,E,7,1");
    EXPECT_EQ(port.framesSent().last(), "@050300C70005\r");
}

// Only some ports are there at start-up; the stored one may be missing (an adapter
// plugged in later). The panel shows the stored port and accepting keeps it.
TEST_F(WindowSettingsPanelTest, StoredPortThatWasNotListedIsShownAndKept)
{
    struct FewPorts : vx::SerialPortIo {
        vx::SerialPortIo &inner;
        QStringList present;
        FewPorts(vx::SerialPortIo &port, QStringList names) : inner(port), present(std::move(names)) {}
        vx::PortResult open(const QString &name, const QString &line) override
        {
            return present.contains(name) ? inner.open(name, line) : vx::PortResult{vx::PortErr::NoSuchPort, "gone"};
        }
        void close() override { inner.close(); }
        bool isOpen() const override { return inner.isOpen(); }
        void write(const QByteArray &bytes) override { inner.write(bytes); }
        qint64 bytesWaiting() override { return inner.bytesWaiting(); }
        QByteArray readAll() override { return inner.readAll(); }
    } ports(port, {"COM1", "COM4", "COM9"});
    store->setValue("ZR", "Port", "7");
    form = std::make_unique<vx::gui::AnaForm>(ports, clock, op, *store);
    ASSERT_TRUE(form->FormLoad("ZR2"));

    for (int round = 0; round < 2; ++round) {
        form->MnAyar_Click(0);
        EXPECT_EQ(combo("Combo6")->currentText(), "COM7");
        EXPECT_EQ(ctl<QLineEdit>("Text4_0")->text(), "7");
        form->settingsPanel().SSCommand1_Click();
        EXPECT_EQ(stored("Port"), "7");
        EXPECT_EQ(form->settings().PortNumber, "7");
    }
    QStringList listed;
    for (int i = 0; i < combo("Combo6")->count(); ++i)
        listed << combo("Combo6")->itemText(i);
    EXPECT_EQ(listed, QStringList({"COM1", "COM4", "COM7", "COM9"}));

    // Another port chosen: the stored one is not offered any more.
    form->MnAyar_Click(0);
    pick("Combo6", "COM9");
    form->settingsPanel().SSCommand1_Click();
    form->MnAyar_Click(0);
    EXPECT_EQ(combo("Combo6")->count(), 3);
    EXPECT_EQ(combo("Combo6")->currentText(), "COM9");
    form.reset();
}

TEST_F(WindowSettingsPanelTest, ReadingTimeFromTheHiddenKeyOrTheMenuTakesZeroToSixtySeconds)
{
    start();
    form->show();
    // Through the program settings menu: cancelled, unreadable, out of range.
    op.inputAnswers = {std::nullopt, "abc", "60,5"};
    for (int i = 0; i < 3; ++i)
        action("MnAyar_1")->trigger();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.15);
    EXPECT_EQ(stored("OkumaZamanı"), "(none)");
    const QStringList said = op.messages();
    ASSERT_EQ(said.size(), 3);
    for (const QString &m : said)
        EXPECT_TRUE(m.contains("0.15")) << qPrintable(m);
    // 0 drains at once, 60 is the longest.
    op.clear();
    for (const char *typed : {"0", "60"}) {
        op.inputAnswers.push_back(QString::fromLatin1(typed));
        action("MnAyar_1")->trigger();
        EXPECT_EQ(stored("OkumaZamanı"), QLatin1String(typed));
    }
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 60.0);
    EXPECT_EQ(op.messages().size(), 0);

    // Ctrl+Alt+Shift+R on the accept button asks too.
    form->MnAyar_Click(0);
    auto *accept = ctl<QPushButton>("SSCommand1");
    op.inputAnswers.push_back("0,3");
    QTest::keyClick(accept, Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(op.count(Kind::Input), 3);
    EXPECT_EQ(op.last().text, "Reading time?");
    EXPECT_EQ(op.last().defaultText, "60");
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.3);
    EXPECT_EQ(stored("OkumaZamanı"), "0,3");
    // Without all three modifiers, or on another control, the key is an ordinary key.
    QTest::keyClick(accept, Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(ctl("Combo7"), Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(op.count(Kind::Input), 3);

    // A "%" after the number and blanks around it are let pass; what was typed is stored.
    form->settingsPanel().SSCommand7_Click();
    op.clear();
    op.inputAnswers = {QStringLiteral(" 0,25 % "), QStringLiteral("2 5")};
    action("MnAyar_1")->trigger();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.25);
    EXPECT_EQ(stored("OkumaZamanı"), "0,25 %");
    EXPECT_EQ(op.messages().size(), 0) << op.messages().join("|").toStdString();
    action("MnAyar_1")->trigger();
    EXPECT_DOUBLE_EQ(form->settings().ReadingTime, 0.25) << "two numbers are no reading time";
    EXPECT_EQ(op.messages().size(), 1);
}

}  // namespace
