// The connection panel's "Find…": the scan on the panel's port, what answered, and
// "Use these settings" filling the panel.

#include "GuiFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

class WindowFindTest : public GuiTest {
protected:
    QString stored(const QString &key) const { return store->value("ZR", key, "(none)"); }
    QString shownText(const char *name) const { return ctl<QComboBox>(QString::fromLatin1(name))->currentText(); }
    QString result() const { return ctl<QLabel>("ScanResult")->text(); }
    QString estimate() const { return ctl<QLabel>("ScanEstimate")->text(); }
    void click(const char *name) { QTest::mouseClick(ctl<QPushButton>(QString::fromLatin1(name)), Qt::LeftButton); }
};

TEST_F(WindowFindTest, UseTheseSettingsFillsThePanelAndAcceptingStoresWhatAnswered)
{
    device.setChecksum(false);
    port.setIndicatorLine("19200,E,7,1");
    start();
    form->MnAyar_Click(0);
    EXPECT_FALSE(ctl<QPushButton>("ScanUse")->isEnabled());

    click("ScanFind");
    EXPECT_EQ(result(), "Found: COM1 · 19200,E,7,1 · address none · checksum off — ZR2 V2.20");
    ASSERT_TRUE(ctl<QPushButton>("ScanUse")->isEnabled());
    // The stored 9600,N,8,1 first, then the rest of 9600 (6 tries in all), then 19200
    // N,8,1 and O,7,1 (4 tries), E,7,1 with the checksum, then without.
    EXPECT_EQ(port.framesSent().size(), 12);
    EXPECT_EQ(port.framesSent().first(), "@0300C7000531\r");
    EXPECT_EQ(port.framesSent().last(), "@0300C70005\r");
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(stored("Setting"), "(none)") << "nothing is stored before the panel is accepted";

    click("ScanUse");
    EXPECT_EQ(shownText("Combo7"), "19200");
    EXPECT_EQ(shownText("Combo9"), "EVEN");
    EXPECT_EQ(shownText("Combo8"), "7");
    EXPECT_EQ(shownText("Combo2"), "00");
    EXPECT_EQ(shownText("Combo3"), "Yok");
    EXPECT_EQ(ctl<QLineEdit>("Text4_1")->text(), "19200,E,7,1");

    click("SSCommand1");
    EXPECT_EQ(stored("Setting"), "19200,E,7,1");
    EXPECT_EQ(stored("CSUM"), "False");
    EXPECT_EQ(stored("Adrres"), "00");
    form->ConnectAction();
    EXPECT_EQ(port.lastLineSettings(), "19200,E,7,1");
    EXPECT_EQ(form->light(), vx::gui::Light::Green);
}

TEST_F(WindowFindTest, TheAddressSweepAsksWithTheEstimateFirstAndCanBeNarrowed)
{
    device.setAddress("02");
    port.setIndicatorLine("1200,N,8,1");
    start();
    form->MnAyar_Click(0);
    EXPECT_TRUE(estimate().startsWith("The stored setting and 9600, 19200 first: 42 tries, at most "))
        << qPrintable(estimate());
    EXPECT_FALSE(ctl<QLineEdit>("ScanAddresses")->isEnabled());
    ctl<QCheckBox>("ScanSweep")->setChecked(true);
    EXPECT_EQ(ctl<QLineEdit>("ScanAddresses")->text(), "0-99");
    EXPECT_TRUE(estimate().contains(": 4200 tries, at most ")) << qPrintable(estimate());

    // Every speed and every address: over a minute, asked about first.
    op.okCancelAnswers = {vx::Choice::Cancel};
    click("ScanFind");
    ASSERT_EQ(op.count(Kind::OkCancel), 1);
    EXPECT_TRUE(op.last().text.contains("4200 tries")) << qPrintable(op.last().text);
    EXPECT_TRUE(port.framesSent().isEmpty());

    // An address list that is none: said before anything starts.
    ctl<QLineEdit>("ScanAddresses")->setText("1-100");
    EXPECT_FALSE(ctl<QPushButton>("ScanFind")->isEnabled());
    EXPECT_TRUE(estimate().startsWith("The addresses cannot be read")) << qPrintable(estimate());

    // 1200 baud and the addresses 1 to 5: 30 tries, no question.
    ctl<QComboBox>("ScanSpeeds")->setCurrentText("1200");
    ctl<QLineEdit>("ScanAddresses")->setText("1-5");
    EXPECT_TRUE(estimate().contains(": 30 tries, at most ")) << qPrintable(estimate());
    click("ScanFind");
    EXPECT_EQ(op.count(Kind::OkCancel), 1);
    // 1200 N,8,1 with the checksum: 01, then 02 answered.
    EXPECT_EQ(port.framesSent().size(), 2);
    EXPECT_EQ(result(), "Found: COM1 · 1200,N,8,1 · address 02 · checksum on — ZR2 V2.20");
    click("ScanUse");
    EXPECT_EQ(shownText("Combo2"), "02");
    EXPECT_EQ(shownText("Combo7"), "1200");
    EXPECT_EQ(shownText("Combo3"), "Var");
}

TEST_F(WindowFindTest, TheStoredSettingIsTriedFirstEvenWithAnAddress)
{
    device.setAddress("05");
    start();
    form->link().settings.DeviceAddress = "05";
    form->MnAyar_Click(0);
    click("ScanFind");
    EXPECT_EQ(port.framesSent().size(), 1) << "the first try is the setting in use";
    EXPECT_EQ(result(), "Found: COM1 · 9600,N,8,1 · address 05 · checksum on — ZR2 V2.20");
}

TEST_F(WindowFindTest, NothingFoundLeavesThePanelAsItWas)
{
    device.setAddress("09");
    start();
    form->MnAyar_Click(0);
    click("ScanFind");
    EXPECT_EQ(result(), "No indicator answered on COM1.");
    EXPECT_FALSE(ctl<QPushButton>("ScanUse")->isEnabled());
    EXPECT_EQ(shownText("Combo7"), "9600");
    EXPECT_EQ(port.framesSent().size(), 42);
}

TEST_F(WindowFindTest, CancelInTheProgressWindowStopsTheSearch)
{
    device.setAddress("09");
    start();
    form->MnAyar_Click(0);
    ctl<QComboBox>("ScanSpeeds")->setCurrentText("1200");
    // The operator presses Cancel half a second into the search.
    clock.callAfter(0.5, [this] {
        auto *progress = form->findChild<QProgressDialog *>("ScanProgressDialog");
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->labelText().startsWith("Looking for an indicator: COM1 · 1200,")) << qPrintable(progress->labelText());
        progress->cancel();
    });
    click("ScanFind");
    EXPECT_EQ(result(), "The search was cancelled.");
    EXPECT_GT(port.framesSent().size(), 0);
    EXPECT_LT(port.framesSent().size(), 6);  // still at 1200 baud: six tries there take longer
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(form->link().lineHeld());
}

TEST_F(WindowFindTest, NoScanWhileAnotherOperationHoldsTheLine)
{
    start();
    form->MnAyar_Click(0);
    vx::LineLease other(form->link());
    ASSERT_TRUE(other);
    click("ScanFind");
    EXPECT_TRUE(port.framesSent().isEmpty());
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages().first().contains("in use by another operation"));
}

}  // namespace
