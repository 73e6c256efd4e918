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
    // 4 speeds x 6, then 19200 N,8,1 and O,7,1 (4 tries), E,7,1 with the checksum, then without.
    EXPECT_EQ(port.framesSent().size(), 30);
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

TEST_F(WindowFindTest, TheAddressSweepAsksWithTheEstimateFirstAndFindsTheAddress)
{
    device.setAddress("02");
    port.setIndicatorLine("1200,N,8,1");
    start();
    form->MnAyar_Click(0);
    ctl<QCheckBox>("ScanSweep")->setChecked(true);

    op.okCancelAnswers = {vx::Choice::Cancel};
    click("ScanFind");
    ASSERT_EQ(op.count(Kind::OkCancel), 1);
    EXPECT_TRUE(op.last().text.contains("4200 tries")) << qPrintable(op.last().text);
    EXPECT_TRUE(port.framesSent().isEmpty());

    click("ScanFind");  // the empty queue answers Ok
    // 1200 N,8,1 with the checksum: no address, 01, then 02 answered.
    EXPECT_EQ(port.framesSent().size(), 3);
    EXPECT_EQ(result(), "Found: COM1 · 1200,N,8,1 · address 02 · checksum on — ZR2 V2.20");
    click("ScanUse");
    EXPECT_EQ(shownText("Combo2"), "02");
    EXPECT_EQ(shownText("Combo7"), "1200");
    EXPECT_EQ(shownText("Combo3"), "Var");
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
