// vextora-cli scan as a process against vextora-sim on a pseudo-terminal: the
// indicator understands only a client whose port is set to its own line speed, so
// the scan must really set the port for each try. Each try waits what the scan
// derives from the speed; nothing here measures time.

#include "support/CliProcess.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace vx::test {
namespace {

struct CliScan : ::testing::Test {
    QString settings() const { return dir.filePath("vextora.ini"); }
    QTemporaryDir dir;
};

QJsonArray jsonArray(const CliRun &r) { return QJsonDocument::fromJson(r.out.toUtf8()).array(); }

TEST_F(CliScan, FindsAStrictIndicatorAt19200AtAddress07WithoutChecksum)
{
    SimProcess sim({"--baud", "19200", "--baud-strict", "--address", "7", "--checksum", "off"});
    ASSERT_TRUE(sim.ready());
    const CliRun r = RunCliProcess(settings(), {"--port", sim.link, "--json", "scan", "--addresses", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray found = jsonArray(r);
    ASSERT_EQ(found.size(), 1) << r.out.toStdString();
    const QJsonObject f = found[0].toObject();
    EXPECT_EQ(f.value("port").toString(), sim.link);
    // A pseudo-terminal carries no framing: the first framing at the right speed answers.
    EXPECT_EQ(f.value("lineSettings").toString(), "19200,N,8,1");
    EXPECT_EQ(f.value("address").toString(), "07");
    EXPECT_EQ(f.value("checksum"), QJsonValue(false));
    EXPECT_EQ(f.value("model").toString(), "ZR2");
    EXPECT_EQ(f.value("version").toString(), "ZR2 V2.20");
}

TEST_F(CliScan, AllFindsTwoIndicatorsWithDifferentAddressesOnOneLine)
{
    SimProcess sim({"--baud", "9600", "--baud-strict", "--addresses", "5,7"});
    ASSERT_TRUE(sim.ready());
    const CliRun r = RunCliProcess(settings(), {"--port", sim.link, "scan", "--addresses", "5,7", "--all"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("%1  9600,N,8,1  address 05  checksum on  ZR2  ZR2 V2.20\n"
                                    "%1  9600,N,8,1  address 07  checksum on  ZR2  ZR2 V2.20\n")
                         .arg(sim.link));
    EXPECT_TRUE(r.err.contains("84 tries")) << r.err.toStdString();
}

TEST_F(CliScan, NothingAnsweringExitsOne)
{
    // The indicator has an address; the scan tries none.
    SimProcess sim({"--baud", "57600", "--baud-strict", "--address", "3"});
    ASSERT_TRUE(sim.ready());
    const CliRun r = RunCliProcess(settings(), {"--port", sim.link, "--json", "scan"});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(jsonArray(r).size(), 0);
    EXPECT_TRUE(r.err.contains("no indicator answered")) << r.err.toStdString();
}

TEST_F(CliScan, CtrlCStopsASweepWithExitSix)
{
    // Nobody answers: the sweep of 97 addresses x 42 tries would take minutes.
    SimProcess sim({"--address", "3", "--checksum", "off"});
    ASSERT_TRUE(sim.ready());
    const CliRun r = RunCliProcess(settings(), {"--port", sim.link, "--json", "scan", "--addresses", "0,4-99"},
                                   /*interruptAfterMs=*/3000);
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_EQ(jsonArray(r).size(), 0);
    EXPECT_TRUE(r.err.contains("4074 tries")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("scan cancelled")) << r.err.toStdString();
}

TEST_F(CliScan, APortThatDoesNotExistExitsThree)
{
    const CliRun r = RunCliProcess(settings(), {"--port", dir.filePath("no-such-port"), "scan"});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CliScan, TheStrictIndicatorIgnoresAClientAtAnotherSpeed)
{
    SimProcess sim({"--baud", "19200", "--baud-strict"});
    ASSERT_TRUE(sim.ready());
    const CliRun wrong = RunCliProcess(settings(), {"--port", sim.link, "--line-settings", "9600,N,8,1", "identify"});
    EXPECT_EQ(wrong.exitCode, 1);
    const CliRun right = RunCliProcess(settings(), {"--port", sim.link, "--line-settings", "19200,N,8,1", "identify"});
    EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
    EXPECT_TRUE(right.out.contains("ZR2 V2.20"));
}

}  // namespace
}  // namespace vx::test
