// vextora-cli read, send and dump: in-process on the virtual indicator (the groups, a
// ZR1, a read that stops, files that cannot be read or written, failing writes with
// and without --on-failure ignore), and end to end: read from one vextora-sim on a
// pseudo-terminal, send to another, and the second ends with the first one's data.

#include "files/ConfigFile.h"
#include "params/Catalogue.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"
#include "support/CliProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
namespace sim = vx::sim;

class CliFiles : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    int commandCount(int code) const
    {
        const auto &c = indicator.device.commands();
        return int(std::count(c.begin(), c.end(), code));
    }
    void fault(sim::FaultKind kind, sim::FaultScope scope, int value, int times)
    {
        indicator.device.addFault({kind, scope, value, times});
    }

    InProcessIndicator indicator;
    InProcessCli cli;
};

TEST_F(CliFiles, ReadSavesEveryGroupAndDumpShowsTheFieldsWithTheirRows)
{
    const CliRun read = run({"read", path("a.vxr")});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.startsWith(path("a.vxr") + ": header, id, setpoint, params from the ZR2"));
    ASSERT_TRUE(QFileInfo::exists(path("a.vxr")));

    const CliRun dump = run({"dump", path("a.vxr")});
    ASSERT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    for (const char *line : {"-- Header and footnote --", "-- ID memory --", "-- Setpoint memory --",
                             "-- Parameters --", "-- Preset tare memory --"})
        EXPECT_TRUE(dump.out.contains(QString("\n") + line + "\n")) << line;
    EXPECT_TRUE(dump.out.contains("IdNames[2]          Text(16)       \"ÖZKAN HAFRİYAT\" + 2 blanks"))
        << dump.out.toStdString();
    EXPECT_TRUE(dump.out.contains("row 30 [001]  \"3-9600\" + 19 blanks")) << "the baud rate's field";

    const CliRun json = run({"--json", "dump", path("a.vxr")});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonArray fields = json.json().value("fields").toArray();
    ASSERT_FALSE(fields.isEmpty());
    QJsonObject baud;
    for (const QJsonValue &f : fields)
        if (f.toObject().value("row").toInt() == 30)
            baud = f.toObject();
    EXPECT_EQ(baud.value("name").toString(), "G[0].f1");
    EXPECT_EQ(baud.value("code").toString(), "001");
    EXPECT_EQ(baud.value("value").toString().trimmed(), "3-9600");
    EXPECT_EQ(json.json().value("recordBytes").toInt(), json.json().value("fileBytes").toInt());
}

TEST_F(CliFiles, AZr1HasNoIdOrSetpointMemoryToName)
{
    indicator.device.setModel("ZR1 V1.07");
    const CliRun id = run({"read", path("z.vxr"), "--groups", "params,id"});
    EXPECT_EQ(id.exitCode, 2);
    EXPECT_TRUE(id.err.contains("the ZR1 has no ID memory")) << id.err.toStdString();
    EXPECT_EQ(run({"read", path("z.vxr"), "--groups", "setpoint"}).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(path("z.vxr")));

    // Without --groups: what a ZR1 has.
    indicator.device.clearCommands();
    const CliRun all = run({"read", path("z.vxr")});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(": header, params from the ZR1"));
    EXPECT_EQ(commandCount(10), 0) << "no ID read";
    EXPECT_EQ(commandCount(1), 0) << "no setpoint read";
}

TEST_F(CliFiles, AReadThatStopsWritesNoFile)
{
    fault(sim::FaultKind::Refuse, sim::FaultScope::Register, 117, 1);
    const CliRun r = run({"read", path("b.vxr")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("b.vxr")));
    EXPECT_TRUE(r.err.contains("\"" + path("b.vxr") + "\" was not written")) << r.err.toStdString();
}

TEST_F(CliFiles, FilesThatCannotBeReadOrWrittenExitSeven)
{
    EXPECT_EQ(run({"read", path("no/such/folder/a.vxr")}).exitCode, 7);
    EXPECT_EQ(run({"send", path("missing.vxr"), "--groups", "header"}).exitCode, 7);
    EXPECT_EQ(run({"dump", path("missing.vxr")}).exitCode, 7);

    ASSERT_EQ(run({"read", path("whole.vxr"), "--groups", "header"}).exitCode, 0);
    QFile whole(path("whole.vxr"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(path("cut.vxr"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.read(5000));
    cut.close();
    indicator.device.clearRequests();
    const CliRun r = run({"send", path("cut.vxr"), "--groups", "header,nrm"});
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_TRUE(r.err.contains("ends after 5000 bytes")) << r.err.toStdString();
    EXPECT_TRUE(indicator.device.requests().isEmpty()) << "nothing of a cut-off file is sent";
}

TEST_F(CliFiles, SendNeedsItsGroupsNamed)
{
    ASSERT_EQ(run({"read", path("a.vxr"), "--groups", "params"}).exitCode, 0);
    EXPECT_EQ(run({"send", path("a.vxr")}).exitCode, 2);
    EXPECT_EQ(run({"send", path("a.vxr"), "--groups", "params"}).exitCode, 2) << "params is read's name";
    EXPECT_EQ(run({"send", path("a.vxr"), "--groups", "nrm", "--on-failure", "retry"}).exitCode, 2);
    EXPECT_EQ(run({"send", path("a.vxr"), "--groups", "nrm", "--printer", "label"}).exitCode, 2);
}

TEST_F(CliFiles, AWriteThatKeepsFailingAbortsTheSendOrIsSkipped)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    // The first ID record gets no acknowledgement, however often it is sent.
    indicator.device.clearCommands();
    fault(sim::FaultKind::NoAnswer, sim::FaultScope::Register, 105, 9);
    const CliRun aborted = run({"send", path("a.vxr"), "--groups", "id,nrm"});
    EXPECT_EQ(aborted.exitCode, 1);
    EXPECT_TRUE(aborted.err.contains("(aborted)")) << aborted.err.toStdString();
    EXPECT_EQ(commandCount(11), 0);
    EXPECT_EQ(commandCount(8), 0) << "the parameters are not sent after an abort";

    indicator.device.clearCommands();
    fault(sim::FaultKind::NoAnswer, sim::FaultScope::Register, 105, 9);
    const CliRun skipped = run({"send", path("a.vxr"), "--groups", "id,nrm", "--on-failure", "ignore"});
    EXPECT_EQ(skipped.exitCode, 1) << "a skipped write is no success";
    EXPECT_TRUE(skipped.err.contains("(skipped)"));
    EXPECT_TRUE(skipped.err.contains("1 write(s) failed and were skipped")) << skipped.err.toStdString();
    EXPECT_EQ(commandCount(11), 102) << "the rest of the records went";
    EXPECT_EQ(commandCount(8), 1) << "and the parameters after them";
}

// ---- end to end: two indicators on pseudo-terminals --------------------------------

CliRun cliProcess(const QStringList &args, const QString &settings)
{
    return vx::test::RunCliProcess(settings, args);
}

// A written parameter's bytes on an indicator, row by row.
QByteArray writtenParameters(const sim::VirtualIndicator &d)
{
    QByteArray out;
    for (const vx::params::Row &row : vx::params::Rows()) {
        if (row.group == vx::params::Group::None || row.group == vx::params::Group::DateTime)
            continue;
        const int base = row.area == vx::params::Area::Calibration ? 128 : 149;
        out += d.bytes(base, 100).mid(row.offset, row.width);
    }
    return out;
}

TEST(CliFilesEndToEnd, ReadFromOneIndicatorSendToAnotherAndItHoldsTheFirstOnesData)
{
    QTemporaryDir dir;
    // The first indicator: its own records, lines and parameters.
    const QString stateA = dir.filePath("a.txt"), stateB = dir.filePath("b.txt");
    {
        sim::VirtualIndicator a;
        sim::InstallDefaultModules(a, {});
        sim::SetStoredId(a, 0, 777, "İLK ID");
        sim::SetStoredId(a, 60, 424242, "ÇİFTLİK");
        sim::SetStoredSetpoint(a, 4, {1, 2, 3});
        sim::SetStoredTicketLine(a, 1, QByteArray("KANTAR A.\xDE.").leftJustified(20, ' ') + '\0');
        QByteArray configuration = a.bytes(149, 100);
        configuration[37] = 5;   // [001] 5-38400
        configuration[68] = 2;   // [040]
        configuration[78] = 42;  // [047]
        a.setBytes(149, configuration);
        QByteArray calibration = a.bytes(128, 40);
        calibration[6] = 7;  // [970]
        a.setBytes(128, calibration);
        ASSERT_TRUE(a.saveState(stateA));
    }
    const QString linkA = dir.filePath("a"), linkB = dir.filePath("b");
    vx::test::SimProcess first({"--state", stateA}, linkA), second({"--state", stateB}, linkB);
    ASSERT_TRUE(first.ready() && second.ready());
    const QString settings = dir.filePath("vextora.ini");
    const QString file = dir.filePath("set.vxr");

    const CliRun read = cliProcess({"--port", linkA, "read", file}, settings);
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    // The ID memory is not sent here: its send waits the reading time before each of its
    // 101 records, which at the reading time of the process tests takes minutes. The
    // in-process tests send it on the virtual clock.
    const CliRun send = cliProcess({"--port", linkB, "send", file, "--groups",
                                    "nrm,jmp,calibration,setpoint,header"}, settings);
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    first.stop();
    second.stop();

    sim::VirtualIndicator a, b;
    ASSERT_TRUE(a.loadState(stateA));
    ASSERT_TRUE(b.loadState(stateB));
    // The ID memory as the file holds it, read through the real port.
    const std::optional<vx::ConfigurationRecord> saved = vx::ReadConfigurationFile(file);
    ASSERT_TRUE(saved);
    for (int i = 0; i < 101; ++i) {
        EXPECT_EQ(saved->idMemory.IdNumbers[size_t(i)].trimmed().toInt(), std::max(0, sim::StoredId(a, i).number)) << i;
        EXPECT_EQ(saved->idMemory.IdNames[size_t(i)].trimmed(), sim::StoredId(a, i).name.trimmed()) << i;
    }
    EXPECT_EQ(saved->idMemory.IdNames[60].trimmed(), "ÇİFTLİK");
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(sim::StoredSetpoint(b, i), sim::StoredSetpoint(a, i)) << i;
    // The lines' texts; the window's alignment (centred by default) places them anew.
    auto lineText = [](const sim::VirtualIndicator &d, int line) {
        return sim::StoredTicketLine(d, line).replace('\0', ' ').simplified();
    };
    for (int line = 0; line < 6; ++line)
        EXPECT_EQ(lineText(b, line), lineText(a, line)) << line;
    EXPECT_EQ(lineText(b, 1), "KANTAR A.\xDE.");
    EXPECT_EQ(writtenParameters(b).toHex(' '), writtenParameters(a).toHex(' '));
    EXPECT_EQ(b.bytes(149, 100)[37], 5);
}

}  // namespace
