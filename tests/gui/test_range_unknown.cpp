// The indicator's range (capacity and division) could not be read at the connect:
// the window stays connected, says so, shows no weight at a guessed scale and refuses
// what reads or sends setpoints and weight rows until a range read succeeds.

#include "GuiFixture.h"

#include "gui/SetpointPage.h"
#include "sim/Faults.h"
#include "sim/Memories.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTableView>

using vx::test::GuiTest;

namespace {

class RangeUnknownTest : public GuiTest {
protected:
    // The range answer cut on every try of the connect's range read (three tries).
    void connectWithoutRange()
    {
        start("ZR2");
        form->show();
        device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 3});
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
    }
    // Reads of register 117 (hex 0075), the setpoint record.
    int setpointReads() const
    {
        return int(std::count_if(device.requests().begin(), device.requests().end(),
                                 [](const QString &r) { return r.startsWith(QStringLiteral("@030075")); }));
    }
    QString setpointCell(int row, int column) const
    {
        return ctl<QTableView>("Grid1_1")->model()->index(row, column).data().toString();
    }
};

TEST_F(RangeUnknownTest, TheConnectStandsAndSaysTheRangeIsUnknown)
{
    connectWithoutRange();
    EXPECT_FALSE(form->state().weight.known());
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages()[0].contains("range could not be read")) << qPrintable(op.messages()[0]);
    EXPECT_TRUE(form->statusLine().endsWith("range unknown")) << qPrintable(form->statusLine());
    EXPECT_EQ(light(), vx::gui::Light::Green);
}

TEST_F(RangeUnknownTest, TheSetpointTabRefusesUntilTheRangeIsReadAgain)
{
    connectWithoutRange();
    op.clear();
    device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, -1});

    form->tabs()->setCurrentIndex(vx::Tab::Setpoint);
    EXPECT_EQ(setpointReads(), 0) << "no setpoint is read at a guessed scale";
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages()[0].contains("range could not be read"));
    EXPECT_EQ(setpointCell(1, 1), "") << "nothing shown";

    // The line is good again: the tab reads the range first, then the setpoints
    // with its decimals (300 kg by 0.1: one decimal).
    device.clearFaults();
    op.clear();
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    form->tabs()->setCurrentIndex(vx::Tab::Setpoint);
    EXPECT_TRUE(form->state().weight.known());
    EXPECT_EQ(form->state().weight.WeightFormatReference, "300.9");
    EXPECT_GT(setpointReads(), 0);
    EXPECT_EQ(setpointCell(1, 1), "250,0") << "record 1: 2500";
    EXPECT_EQ(op.messages().size(), 0);
    EXPECT_FALSE(form->statusLine().endsWith("range unknown")) << qPrintable(form->statusLine());
}

// Another address is another indicator: the range of the one before is forgotten,
// never used for the new one's weights.
TEST_F(RangeUnknownTest, AnAddressChangeForgetsTheRangeOfTheIndicatorBefore)
{
    start("ZR2");
    form->show();
    form->ConnectAction();
    ASSERT_TRUE(form->state().weight.known());
    // The indicator at address 05 does not answer the range read.
    device.addFault({vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Register, 128, -1});
    form->MnAyar_Click(0);
    auto *addresses = ctl<QComboBox>("Combo2");
    addresses->setCurrentIndex(addresses->findText("05"));
    form->settingsPanel().SSCommand1_Click();
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_FALSE(form->state().weight.known());
    EXPECT_EQ(op.messages().size(), 1);
}

}  // namespace
