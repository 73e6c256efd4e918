// vextora-cli history: the list newest first, the filter by indicator, the JSON, a
// damaged line named and skipped, an empty and an unreadable history; in-process and
// as the real executable.

#include "support/CliProcess.h"
#include "support/DataHome.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::DataHome;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;

const QByteArray kSendLine =
    R"({"groupResults":{"header":"sent","nrm":"failed"},"groups":["header","nrm"],)"
    R"("identification":["ZR2 V2.20","SN0001234"],"model":"ZR2","note":"new load cell","operation":"send",)"
    R"("result":"aborted","time":"2026-12-07T14:05:09.120+03:00","tool":"cli"})";
const QByteArray kCalibrationLine =
    R"({"details":["range written: single, 300 kg by 0.1 kg, metrological"],"identification":["",""],)"
    R"("model":"ZR1","operation":"calibration","procedure":"general","report":"general.pdf",)"
    R"("result":"finished","time":"2026-12-07T15:00:00.000+03:00","tool":"window"})";

class CliHistory : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }

    DataHome home;
    InProcessIndicator indicator;
    InProcessCli cli;
};

TEST_F(CliHistory, ListsNewestFirstWithTheGroupsThatDidNotGoAndTheDetails)
{
    ASSERT_TRUE(home.writeHistory(kSendLine + "\n" + kCalibrationLine + "\n"));
    const CliRun r = run({"history"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "2026-12-07T15:00:00+03:00  ZR1  calibration general: finished\n"
              "    range written: single, 300 kg by 0.1 kg, metrological\n"
              "    report: general.pdf\n"
              "2026-12-07T14:05:09+03:00  ZR2 / ZR2 V2.20 / SN0001234  send header,nrm: aborted  \"new load cell\"\n"
              "    header: sent\n"
              "    nrm: failed\n");
    EXPECT_TRUE(indicator.port.framesSent().isEmpty()) << "the history is not the indicator's";
}

// The rows a send changed are named by their parameter codes, as the window names them.
TEST_F(CliHistory, ChangedRowsAreNamedByTheirParameterCodes)
{
    const QByteArray send =
        R"({"changedRows":[{"after":"07","before":"5","row":13},{"after":"3-9600","before":"5-38400","row":30}],)"
        R"("groups":["nrm"],"identification":["",""],"model":"ZR2","operation":"send","result":"sent",)"
        R"("restorePoint":"ZR2_none_20261207-150000.Vxr","time":"2026-12-07T15:00:00.000+03:00","tool":"cli"})";
    ASSERT_TRUE(home.writeHistory(send + "\n"));
    const CliRun r = run({"history"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "2026-12-07T15:00:00+03:00  ZR2  send nrm: sent\n"
              "    [120] 5 -> 07\n"
              "    [001] 5-38400 -> 3-9600\n"
              "    restore point: ZR2_none_20261207-150000.Vxr\n");
}

TEST_F(CliHistory, TheFilterKeepsTheRecordsOfOneIndicator)
{
    ASSERT_TRUE(home.writeHistory(kSendLine + "\n" + kCalibrationLine + "\n"));
    const CliRun r = run({"history", "--indicator", "sn0001234"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("2026-12-07T14:05:09+03:00  ZR2")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("ZR1"));

    const CliRun none = run({"history", "--indicator", "ZR3"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "no records for \"ZR3\"\n");
}

TEST_F(CliHistory, ADamagedLineIsNamedOnStandardErrorAndTheRestListed)
{
    ASSERT_TRUE(home.writeHistory(kSendLine + "\n" + kSendLine.left(50) + "\n" + kCalibrationLine + "\n"));
    const CliRun r = run({"history"});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.errLines().size(), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("vextora-cli: warning: \"" + home.historyFile() + "\" line 2 is no history record"))
        << r.err.toStdString();
    EXPECT_EQ(r.out.count("2026-12-07T"), 2);
}

TEST_F(CliHistory, JsonListsTheRecordsNewestFirstAndTheDamagedLines)
{
    ASSERT_TRUE(home.writeHistory(kSendLine + "\nnot a record\n" + kCalibrationLine + "\n"));
    const CliRun r = run({"--json", "history"});
    EXPECT_EQ(r.exitCode, 0);
    const QJsonObject o = r.json();
    EXPECT_EQ(o.value("file").toString(), home.historyFile());
    EXPECT_EQ(o.value("damagedLines").toArray(), QJsonArray({2}));
    const QJsonArray records = o.value("records").toArray();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].toObject().value("procedure").toString(), "general");
    EXPECT_EQ(records[0].toObject().value("report").toString(), "general.pdf");
    EXPECT_EQ(records[1].toObject().value("note").toString(), "new load cell");
    EXPECT_EQ(records[1].toObject().value("groupResults").toObject().value("nrm").toString(), "failed");
}

TEST_F(CliHistory, AnEmptyHistoryIsNoFailureAnUnreadableOneIs)
{
    const CliRun empty = run({"history"});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "no records\n");

    ASSERT_TRUE(QDir().mkpath(home.historyFile()));
    const CliRun folder = run({"history"});
    EXPECT_EQ(folder.exitCode, 7);
    EXPECT_TRUE(folder.err.contains("cannot read the service history")) << folder.err.toStdString();
    EXPECT_EQ(folder.out, "");

    EXPECT_EQ(run({"history", "extra"}).exitCode, 2);
}

TEST_F(CliHistory, TheRealToolListsWhatTheInProcessSendLeft)
{
    // The child inherits XDG_DATA_HOME: it reads this test's history, not the user's.
    ASSERT_EQ(run({"read", cli.dir.filePath("a.vxr")}).exitCode, 0);
    ASSERT_EQ(run({"send", cli.dir.filePath("a.vxr"), "--groups", "header", "--note", "ticket texts"}).exitCode, 0);
    const CliRun r = vx::test::RunCliProcess(cli.dir.filePath("p.ini"), {"history", "--indicator", "SN0001234"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("  ZR2 / ZR2 V2.20 / SN0001234  send header: sent  \"ticket texts\"\n"))
        << r.out.toStdString();
}

}  // namespace
