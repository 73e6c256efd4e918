// vextora-cli diff and send --only, in-process on the virtual indicator: two files
// read from the indicator before and after it changed, a file sent and compared with
// the indicator again, and a send of one row that leaves the rest of its block.

#include "sim/Memories.h"
#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"
#include "support/CliProcess.h"
#include "support/CliRunner.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
namespace sim = vx::sim;

class CliDiff : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    QStringList keys(const CliRun &r) const
    {
        QStringList out;
        for (const QJsonValue &d : r.json().value("differences").toArray())
            out << d.toObject().value("key").toString();
        return out;
    }
    // The indicator changed in one parameter row, one ID record and one header line.
    void changeIndicator()
    {
        QByteArray configuration = indicator.device.bytes(149, 100);
        configuration[37] = 5;  // [001] 5-38400
        indicator.device.setBytes(149, configuration);
        sim::SetStoredId(indicator.device, 60, 424242, "ÇİFTLİK");
        sim::SetStoredTicketLine(indicator.device, 1, QByteArray("KANTAR A.S.").leftJustified(20, ' ') + '\0');
    }

    InProcessIndicator indicator;
    InProcessCli cli;
};

TEST_F(CliDiff, TwoFilesOfTheSameIndicatorAreEqualAndAChangeOfThreeThingsGivesExactlyThoseThree)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    ASSERT_EQ(run({"read", path("b.vxr")}).exitCode, 0);
    const CliRun same = run({"diff", path("a.vxr"), path("b.vxr")});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, "No differences.\n");

    changeIndicator();
    ASSERT_EQ(run({"read", path("c.vxr")}).exitCode, 0);
    const CliRun json = run({"--json", "diff", path("a.vxr"), path("c.vxr")});
    EXPECT_EQ(json.exitCode, 5) << json.err.toStdString();
    EXPECT_FALSE(json.json().value("equal").toBool());
    EXPECT_EQ(keys(json), (QStringList{"line:1", "id:60", "row:30"}));
    const QJsonObject row = json.json().value("differences").toArray().at(2).toObject();
    EXPECT_EQ(row.value("code").toString(), "001");
    EXPECT_EQ(row.value("valueA").toInt(), 3);
    EXPECT_EQ(row.value("valueB").toInt(), 5);

    const CliRun plain = run({"diff", path("a.vxr"), path("c.vxr")});
    EXPECT_EQ(plain.exitCode, 5);
    const QStringList lines = plain.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << plain.out.toStdString();
    EXPECT_EQ(lines[0], "Row\t" + path("a.vxr") + "\t" + path("c.vxr"));
    EXPECT_TRUE(lines[1].startsWith("Header line 2\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("\tKANTAR A.S.")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("ID Memory 59\t")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith("\t424242 ÇİFTLİK")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("[001] ")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].endsWith("\t3-9600\t5-38400")) << lines[3].toStdString();
}

TEST_F(CliDiff, AFileSentToTheIndicatorIsEqualToItAndTheOtherFileIsNot)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    changeIndicator();
    ASSERT_EQ(run({"read", path("c.vxr")}).exitCode, 0);
    EXPECT_EQ(run({"diff", path("a.vxr")}).exitCode, 5);

    const CliRun send =
        run({"send", path("a.vxr"), "--groups", "header,id,setpoint,calibration,jmp,nrm"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    const CliRun equal = run({"diff", path("a.vxr")});
    EXPECT_EQ(equal.exitCode, 0) << equal.out.toStdString() << equal.err.toStdString();
    EXPECT_EQ(equal.out, "No differences.\n");

    const CliRun other = run({"--json", "diff", path("c.vxr")});
    EXPECT_EQ(other.exitCode, 5);
    EXPECT_EQ(keys(other), (QStringList{"line:1", "id:60", "row:30"}));
    EXPECT_TRUE(other.json().value("a").toString().startsWith("ZR2")) << "column a: the indicator";
}

TEST_F(CliDiff, SendOnlyOneRowLeavesTheRestOfItsBlockAndDiffThenShowsTheOthers)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    changeIndicator();
    QByteArray configuration = indicator.device.bytes(149, 100);
    configuration[78] = 42;  // [047], in the same block as nothing ticked here
    indicator.device.setBytes(149, configuration);

    const CliRun send = run({"send", path("a.vxr"), "--only", "001"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    EXPECT_EQ(indicator.device.bytes(149, 100)[37], 3) << "[001] from the file";
    EXPECT_EQ(indicator.device.bytes(149, 100)[78], 42) << "[047] as the indicator held it";
    EXPECT_EQ(sim::StoredId(indicator.device, 60).number, 424242) << "the ID memory was not sent";

    const CliRun left = run({"--json", "diff", path("a.vxr")});
    EXPECT_EQ(left.exitCode, 5);
    EXPECT_EQ(keys(left), (QStringList{"line:1", "id:60", "row:58"}));
}

// A parameters-only file, and a restore point of the ID memory, hold nothing of the
// other groups: each of those is one line "not in the file", no difference, and the
// exit status says whether what both hold differs.
TEST_F(CliDiff, AFileIsComparedInWhatItHoldsAndEachGroupItLacksIsOneLine)
{
    ASSERT_EQ(run({"read", path("p.vxr"), "--groups", "params"}).exitCode, 0);
    changeIndicator();  // a header line, an ID record and [001]

    const CliRun json = run({"--json", "diff", path("p.vxr")});
    EXPECT_EQ(json.exitCode, 5) << json.err.toStdString();
    EXPECT_EQ(keys(json), (QStringList{"row:30"})) << "only the parameter difference";
    QStringList lacking;
    for (const QJsonValue &g : json.json().value("notHeld").toArray()) {
        lacking << g.toObject().value("group").toString();
        EXPECT_EQ(g.toObject().value("b").toString(), "not in the file");
    }
    EXPECT_EQ(lacking, (QStringList{"header", "id", "setpoint"}));

    const CliRun plain = run({"diff", path("p.vxr")});
    const QStringList lines = plain.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << plain.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith("[001] ")) << lines[1].toStdString();
    EXPECT_EQ(lines[2], "Header and Footnote\t\tnot in the file");
    EXPECT_EQ(lines[3], "ID and ID Memory\t\tnot in the file");
    EXPECT_EQ(lines[4], "Setpoint Memory\t\tnot in the file");

    // Limited to groups: the Jmp block holds no difference; "params" names all three parts.
    const CliRun jmp = run({"diff", path("p.vxr"), "--groups", "jmp"});
    EXPECT_EQ(jmp.exitCode, 0) << jmp.out.toStdString();
    EXPECT_EQ(jmp.out, "No differences.\n");
    EXPECT_EQ(keys(run({"--json", "diff", path("p.vxr"), "--groups", "params"})), (QStringList{"row:30"}));
    const CliRun header = run({"--json", "diff", path("p.vxr"), "--groups", "header"});
    EXPECT_EQ(header.exitCode, 0);
    EXPECT_EQ(header.json().value("notHeld").toArray().size(), 1);
    EXPECT_EQ(run({"diff", path("p.vxr"), "--groups", "params,labels"}).exitCode, 2);

    // A restore point made before a send of the ID memory holds the ID memory alone.
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    const CliRun send = run({"--json", "send", path("a.vxr"), "--groups", "id", "--backup"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    const QString backup = send.json().value("backup").toString();
    const CliRun point = run({"--json", "diff", backup});
    EXPECT_EQ(keys(point), (QStringList{})) << point.out.toStdString();
    EXPECT_EQ(point.exitCode, 0);
    QStringList pointLacks;
    for (const QJsonValue &g : point.json().value("notHeld").toArray())
        pointLacks << g.toObject().value("group").toString();
    EXPECT_EQ(pointLacks, (QStringList{"header", "setpoint", "calibration", "jmp", "nrm"}));
}

TEST_F(CliDiff, WrongUseAndUnreadableFiles)
{
    EXPECT_EQ(run({"diff"}).exitCode, 2);
    EXPECT_EQ(run({"diff", "a", "b", "c"}).exitCode, 2);
    EXPECT_EQ(run({"send", path("a.vxr"), "--only", "row:69"}).exitCode, 2);
    const CliRun missing = run({"diff", path("none.vxr")});
    EXPECT_EQ(missing.exitCode, 7);
    EXPECT_TRUE(indicator.device.requests().isEmpty()) << "a file that cannot be read costs no exchange";
    QFile cut(path("cut.vxr"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray(100, '\0'));
    cut.close();
    EXPECT_EQ(run({"diff", path("cut.vxr"), path("cut.vxr")}).exitCode, 7);
}

// ---- end to end: the real tool over pseudo-terminals ------------------------------

TEST(CliDiffEndToEnd, AFileReadFromOneIndicatorIsEqualToItAndDiffersFromAnother)
{
    QTemporaryDir dir;
    const QString stateA = dir.filePath("a.txt"), stateB = dir.filePath("b.txt");
    {
        sim::VirtualIndicator a;
        sim::InstallDefaultModules(a, {});
        sim::SetStoredId(a, 60, 424242, "ÇİFTLİK");
        QByteArray configuration = a.bytes(149, 100);
        configuration[37] = 5;  // [001] 5-38400
        a.setBytes(149, configuration);
        ASSERT_TRUE(a.saveState(stateA));
    }
    const QString linkA = dir.filePath("a"), linkB = dir.filePath("b");
    vx::test::SimProcess first({"--state", stateA}, linkA), second({"--state", stateB}, linkB);
    ASSERT_TRUE(first.ready() && second.ready());
    const QString settings = dir.filePath("vextora.ini");
    const QString file = dir.filePath("a.vxr");

    const CliRun read = vx::test::RunCliProcess(settings, {"--port", linkA, "read", file});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const CliRun same = vx::test::RunCliProcess(settings, {"--port", linkA, "diff", file});
    EXPECT_EQ(same.exitCode, 0) << same.out.toStdString() << same.err.toStdString();
    const CliRun other = vx::test::RunCliProcess(settings, {"--port", linkB, "--json", "diff", file});
    EXPECT_EQ(other.exitCode, 5) << other.err.toStdString();
    QStringList keys;
    for (const QJsonValue &d : other.json().value("differences").toArray())
        keys << d.toObject().value("key").toString();
    EXPECT_EQ(keys, (QStringList{"id:60", "row:30"}));
}

}  // namespace
