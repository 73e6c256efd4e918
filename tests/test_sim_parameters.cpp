// The virtual indicator's parameters module, with frames written by hand (no address,
// no checksum): the running clock and how a write sets it, and the default image
// beside the registers other modules and loaded states own.

#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"
#include "support/SimFixture.h"

#include <gtest/gtest.h>

using vx::sim::VirtualIndicator;

namespace {

QByteArray answer(VirtualIndicator &dev, const char *request) { return vx::test::SimAnswer(dev, request); }

TEST(SimParameters, TheClockRunsAndCommand6SetsItFromWhatWasWritten)
{
    double seconds = 0;
    VirtualIndicator dev(vx::test::WithoutChecksum());
    vx::sim::ModuleOptions modules;
    modules.seconds = [&] { return seconds; };
    vx::sim::InstallDefaultModules(dev, modules);
    EXPECT_TRUE(vx::sim::DefaultModuleNames().contains("parameters"));

    // Seconds, minutes, hours, weekday (03 Thursday), day, month, year, 00.
    EXPECT_EQ(answer(dev, "@03007C0004\r"), "@03080000100312032600\r");
    seconds = 65;
    EXPECT_EQ(answer(dev, "@03007C0004\r"), "@03080501100312032600\r");

    // A write alone does not set the clock; command 6 does.
    EXPECT_EQ(answer(dev, "@10007C0004080005090007032600\r"), "@100004\r");
    EXPECT_EQ(answer(dev, "@03007C0004\r"), "@03080501100312032600\r");
    answer(dev, "@10007C0004080005090007032600\r");
    answer(dev, "@1000130001020006\r");
    EXPECT_EQ(answer(dev, "@03007C0004\r"), "@03080005090507032600\r") << "7 March 2026 was a Saturday";
    seconds = 75;
    EXPECT_EQ(answer(dev, "@03007C0004\r"), "@03081005090507032600\r");

    // A date that does not exist leaves the clock running.
    answer(dev, "@10007C0004080000100031042600\r");  // 31 April
    answer(dev, "@1000130001020006\r");
    EXPECT_EQ(answer(dev, "@03007C0004\r"), "@03081005090507032600\r");
}

TEST(SimParameters, DefaultsLeaveEveryValueAlreadyThere)
{
    VirtualIndicator dev(vx::test::WithoutChecksum());
    dev.setReg(160, 0x1234);  // e.g. from a loaded state
    vx::sim::InstallDefaultModules(dev, {});
    EXPECT_EQ(dev.reg(160), 0x1234);
    EXPECT_NE(dev.reg(167), 0) << "the rest filled (what it holds: the parameter read tests)";
    EXPECT_EQ(dev.reg(195), 0) << "the analog output type is the calibration module's";
}

}  // namespace
