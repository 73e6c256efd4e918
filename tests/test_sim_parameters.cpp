// The virtual indicator's parameters module, with frames written by hand (no address,
// no checksum): the running clock and how a write sets it, and the default image
// beside the registers other modules and loaded states own.

#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"

#include <gtest/gtest.h>

using vx::sim::VirtualIndicator;

namespace {

QByteArray answer(VirtualIndicator &dev, const char *request)
{
    const auto reply = dev.handle(QByteArray(request));
    return reply ? reply->bytes : QByteArray();
}

VirtualIndicator plain()
{
    VirtualIndicator::Options o;
    o.checksum = false;
    return VirtualIndicator(o);
}

TEST(SimParameters, TheClockRunsAndCommand6SetsItFromWhatWasWritten)
{
    double seconds = 0;
    VirtualIndicator dev = plain();
    vx::sim::InstallDefaultModules(dev, {[&] { return seconds; }, {}});
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

TEST(SimParameters, DefaultsLeaveTheRangeAndEveryValueAlreadyThere)
{
    VirtualIndicator dev = plain();
    dev.setReg(160, 0x1234);  // e.g. from a loaded state
    vx::sim::InstallDefaultModules(dev, {});
    EXPECT_EQ(dev.reg(160), 0x1234);
    // The calibration module's registers keep its values: 300 Kg by 0.1 on both ranges, legal
    // trade, the metrological bytes, the seal and the analog output's adjustment values.
    const std::pair<int, int> calibration[] = {{128, 0x0000}, {129, 0x1E09}, {130, 0x1E09}, {146, 0x0001},
                                               {147, 0x3984}, {149, 0x0100}, {150, 0x0101}, {151, 0x0101},
                                               {152, 0x0101}, {190, 13107}, {191, 60000}};
    for (const auto &[reg, value] : calibration)
        EXPECT_EQ(dev.reg(reg), value) << "register " << reg << " is the calibration module's";
    EXPECT_EQ(dev.reg(131), 0x0200);  // [970] 2 mV/V
    EXPECT_EQ(dev.reg(167), 0x0303);  // serial port 1: PC communication, 9600 baud
    EXPECT_EQ(dev.reg(162), 0xC44B);  // the last byte of [104] 2500 and [103] 7,5
    EXPECT_EQ(dev.reg(195), 0) << "the analog output type is the calibration module's";
}

}  // namespace
