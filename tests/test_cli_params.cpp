// vextora-cli params: in-process on the virtual indicator (text, JSON, a read that
// stops) and the real executable against vextora-sim on a pseudo-terminal.

#include "support/CliProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;

QJsonArray jsonArray(const CliRun &r) { return QJsonDocument::fromJson(r.out.toUtf8()).array(); }

class CliParams : public ::testing::Test {
protected:
    CliParams()
    {
        // One range of 300 kg in steps of 0,1 kg.
        sim.device.setReg(129, 0x1E09);
        sim.device.setReg(130, 0x1E09);
    }
    CliRun run(const QStringList &args) { return cli.run(sim, args); }
    InProcessIndicator sim;
    InProcessCli cli;
};

TEST_F(CliParams, TextShowsOneLinePerVisibleRow)
{
    sim.device.setModel("ZR1 V1.07");
    const CliRun r = run({"params"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.first().startsWith("Parameter ")) << lines.first().toStdString();
    EXPECT_TRUE(lines.first().endsWith("Value"));
    EXPECT_EQ(lines[1], "-- Metrological Settings --");
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n\\[001\\] Baud rate +3-9600\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n\\[045\\] Minimum print weight +002\\.0\n")));
    EXPECT_FALSE(r.out.contains("[101]")) << "hidden on a ZR1";
    EXPECT_FALSE(r.out.contains("[140]"));
    EXPECT_TRUE(r.out.contains(QRegularExpression("\nDevice identification +SN0001234\n$"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

TEST_F(CliParams, JsonHasEveryRowWithCodeCaptionValueAndHidden)
{
    const CliRun r = run({"--json", "params"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray rows = jsonArray(r);
    ASSERT_EQ(rows.size(), 84);
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].toObject().value("row").toInt(), i);
    EXPECT_EQ(rows[69].toObject().value("code").toString(), "971]-[972");
    EXPECT_EQ(rows[69].toObject().value("caption").toString(), "[971]-[972] Zero ADC value");
    EXPECT_EQ(rows[69].toObject().value("value").toString(), "1 - 32768");
    EXPECT_EQ(rows[2].toObject(), (QJsonObject{{"row", 2}, {"code", ""}, {"caption", ""},
                                               {"value", "Metrological Settings"}, {"hidden", false}}));
    EXPECT_EQ(rows[0].toObject().value("value").toString(), "Value");
    EXPECT_EQ(rows[18].toObject().value("value").toString(), "020.0");
    EXPECT_EQ(rows[18].toObject().value("hidden").toBool(), false);
    EXPECT_EQ(rows[62].toObject().value("hidden").toBool(), true);
    EXPECT_EQ(rows[21].toObject().value("value").toString(), "7,5");
    EXPECT_EQ(rows[82].toObject().value("value").toString(), "ZR2 V2.20") << "without the blank that pads it";
}

// A limit row read without the range would print "200" for 020.0: no grid at all.
TEST_F(CliParams, WithoutTheRangeNoGridIsPrinted)
{
    sim.device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 3});
    const CliRun r = run({"params"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("range could not be read")) << r.err.toStdString();
    const auto &commands = sim.device.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), 5), 0) << "the parameters are not read";
}

TEST_F(CliParams, AReadThatStopsPrintsNoGridAndExitsOne)
{
    sim.device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 174, -1});
    const CliRun r = run({"--json", "params"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("did not answer or refused")) << r.err.toStdString();
    EXPECT_FALSE(sim.device.commands().empty());
    EXPECT_NE(sim.device.commands().back(), 20) << "host mode is not left after a refusal";

    EXPECT_EQ(run({"params", "extra"}).exitCode, 2);
}

// ---- the real executable on a pseudo-terminal ------------------------------------

TEST(CliParamsEndToEnd, JsonThroughARealSerialPort)
{
    QTemporaryDir dir;
    // The indicator's state: its texts and the range of 300 kg in steps of 0,005 kg.
    const QString state = dir.filePath("state.txt");
    {
        QFile f(state);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("model=\"ZR2 V2.31\"\nsecond=\"AB12345678\"\n129=7685\n130=7685\n");
    }
    vx::test::SimProcess sim({"--state", state});
    ASSERT_TRUE(sim.ready());
    const CliRun r = vx::test::RunCliProcess(dir.filePath("vextora.ini"), {"--port", sim.link, "--json", "params"});
    const QString &out = r.out;
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();

    const QJsonArray rows = QJsonDocument::fromJson(out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 84) << out.toStdString();
    EXPECT_EQ(rows[82].toObject().value("value").toString(), "ZR2 V2.31") << "without the blank that pads it";
    EXPECT_EQ(rows[83].toObject().value("value").toString(), "AB1234567");
    EXPECT_EQ(rows[30].toObject().value("value").toString(), "3-9600");
    EXPECT_EQ(rows[20].toObject().value("value").toString(), "002.500") << "[104] in the indicator's format";
    EXPECT_TRUE(rows[1].toObject().value("value").toString().contains(" \\ ")) << "the clock";
}

}  // namespace
