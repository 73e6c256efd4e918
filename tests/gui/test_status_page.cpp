// The "Status" page in the window: the grid, the refresh on entering the tab and on
// F5, and the 5-second timer, all against the virtual indicator on the virtual clock.

#include "GuiFixture.h"

#include "gui/StatusPage.h"

#include <QTableView>
#include <algorithm>

namespace {

using vx::test::GuiTest;

class StatusPageTest : public GuiTest {
protected:
    int readings() const { return statusReadings(); }
    QString value(int row) const { return form->statusPage().table().cell(row, 1); }
};

TEST_F(StatusPageTest, GridShowsCaptionsFromTheLanguageFile)
{
    start();
    auto *grid = ctl<QTableView>("Grid1_3");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "E272");
    EXPECT_EQ(grid->model()->index(29, 0).data().toString(), "E404");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "E279");
    EXPECT_TRUE(grid->isRowHidden(0));
    EXPECT_TRUE(grid->isRowHidden(20));
    EXPECT_FALSE(grid->isRowHidden(23));
    EXPECT_TRUE(form->page(vx::Tab::Status)->isAncestorOf(grid));
}

// Connected, the table is read on entering the tab, then every 5 seconds while the
// tab is shown and the link stands.
TEST_F(StatusPageTest, TimerRunsOnlyWhileTheStatusTabIsShownAndConnected)
{
    start();
    form->ConnectAction();
    EXPECT_FALSE(form->timer4()->isActive());
    clock.advance(30.0);
    EXPECT_EQ(readings(), 0);

    form->tabs()->setCurrentIndex(vx::Tab::Status);
    EXPECT_EQ(readings(), 1);
    EXPECT_EQ(value(25), "E242");  // analog card present
    EXPECT_FALSE(port.isOpen()) << "the port is open only during an operation";
    clock.advance(4.9);
    EXPECT_EQ(readings(), 1);
    clock.advance(5.2);
    EXPECT_EQ(readings(), 3);
    ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok());
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    EXPECT_FALSE(form->timer4()->isActive());
    EXPECT_FALSE(port.isOpen()) << "a tab change closes the port";
    clock.advance(30.0);
    EXPECT_EQ(readings(), 3);

    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->DisconnectAction();
    clock.advance(20.0);
    EXPECT_EQ(readings(), 4);
    EXPECT_FALSE(form->timer4()->isActive());
}

TEST_F(StatusPageTest, SilentIndicatorShowsTheRefusalAndDisconnects)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    device.addFault({vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Register, 0});
    op.clear();

    clock.advance(5.1);
    ASSERT_EQ(op.calls.size(), 1u);
    EXPECT_EQ(op.calls[0].text, "E309");
    EXPECT_EQ(op.calls[0].icon, vx::Icon::Critical);
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(form->light(), vx::gui::Light::Red);
    clock.advance(5.0);
    EXPECT_FALSE(form->timer4()->isActive());
    EXPECT_EQ(op.calls.size(), 1u);
}

TEST_F(StatusPageTest, EnteringTheTabReadsAndEverySecondF5RefreshesWhatTheIndicatorShowsInItsRange)
{
    qint32 gross = 1500;
    device.onRead(0, [&gross](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, gross); });
    start();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    EXPECT_EQ(readings(), 1);
    EXPECT_EQ(value(1), "150.0");  // the connect found 300 Kg by 0.1
    EXPECT_EQ(value(7), "E236");
    device.setReg(2, 0x0000);
    device.setReg(25, 0x0000);
    form->F5Key();
    EXPECT_EQ(readings(), 2);
    EXPECT_EQ(value(7), "E235");
    EXPECT_EQ(value(25), "E241");
    EXPECT_EQ(form->statusPage().flags().AnalogCardPresent, false);
    form->F5Key();
    EXPECT_EQ(readings(), 2);

    vx::IndicatorRange range;
    range.format.WeightFormatReference = "300.045";
    range.format.DecimalsPattern = "005";
    form->rangeFound(range);
    gross = 1501;
    form->F5Key();
    EXPECT_EQ(readings(), 3);
    EXPECT_EQ(value(1), "001.501");  // three digits before the point and three after, as in 300.045
}

// A weight beyond the range's digits (an overload, a wrong range) is shown whole.
TEST_F(StatusPageTest, AWeightWiderThanTheRangeKeepsEveryDigit)
{
    device.onRead(0, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, 12521); });
    device.onRead(3, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(3, -123456); });
    start();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    ASSERT_EQ(readings(), 1);
    EXPECT_EQ(value(1), "1252.1");  // 300 Kg by 0.1 lays out four digits
    EXPECT_EQ(value(2), "-12345.6");
}

TEST_F(StatusPageTest, ARegisterWithoutAnswerEmptiesItsRowsInsteadOfKeepingTheLastValues)
{
    start();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    ASSERT_EQ(value(29), "E241");
    device.addFault({vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Register, 25});
    clock.advance(5.1);
    EXPECT_EQ(readings(), 2);
    for (int row = 23; row <= 29; ++row)
        EXPECT_EQ(value(row), QString()) << row;
    EXPECT_FALSE(form->statusPage().flags().CalibrationPermitted.has_value());
    EXPECT_FALSE(form->statusPage().flags().AnalogCardPresent.has_value());
    EXPECT_EQ(value(7), "E236");
    EXPECT_TRUE(op.calls.empty()) << "a later register failing is no refusal";
    EXPECT_TRUE(form->state().IsConnected);
}

}  // namespace
