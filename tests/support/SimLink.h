#pragma once
// What every sequence test starts from: a link to the in-process virtual indicator
// on the virtual clock, with a scripted operator and a communication log of its own.
// The port is open and the link's checksum setting follows the indicator's.
//
//   struct MyTest : ::testing::Test, vx::test::SimLink {};
//   TEST_F(MyTest, ...) { StatuOku(link, texts, disconnect); EXPECT_EQ(disconnects, 0); }

#include "link/Transaction.h"
#include "support/NumberedTexts.h"
#include "support/ScriptedOperator.h"
#include "support/SimFixture.h"

#include <QTemporaryDir>
#include <functional>

namespace vx::test {

struct SimLink {
    explicit SimLink(sim::VirtualIndicator::Options options = {}, sim::CalibrationOptions calibration = {})
        : sim(options, {}, calibration), log(dir.filePath("ZRxLog.txt")), link(sim.port, sim.clock, op, log)
    {
        link.settings.ChecksumEnabled = options.checksum;
        sim.port.open("COM1", "9600,N,8,1");
    }

    QTemporaryDir dir;
    InProcessIndicator sim;
    ScriptedOperator op;
    CommsLog log;
    Link link;
    int disconnects = 0;
    std::function<void()> disconnect = [this] { ++disconnects; };
};

}  // namespace vx::test
