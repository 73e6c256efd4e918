// vextora-cli send with --backup and the question about another indicator's file,
// in-process on the virtual indicator: the restore point holds what the indicator held
// before the send, --json names it; a backup that cannot be written or read sends
// nothing; another indicator's file goes only with --yes.

#include "files/ConfigFile.h"
#include "files/RestorePoint.h"
#include "files/SameIndicator.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "service/History.h"
#include "support/CliRunner.h"
#include "support/DataHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
namespace sim = vx::sim;

// The codes that store something on the indicator.
const std::vector<int> kStoreCommands = {4, 2, 6, 8, 9, 11, 13, 16};

class CliRestorePoint : public ::testing::Test {
protected:
    CliRestorePoint() { EXPECT_EQ(run({"read", path("a.vxr")}).exitCode, 0); }

    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    // The connect reads the range with commands of its own; these store or probe.
    bool sent(int code) const
    {
        const auto &c = indicator.device.commands();
        return std::find(c.begin(), c.end(), code) != c.end();
    }
    bool stored() const
    {
        for (int code : indicator.device.commands())
            if (std::find(kStoreCommands.begin(), kStoreCommands.end(), code) != kStoreCommands.end())
                return true;
        return false;
    }

    vx::test::InProcessIndicator indicator;
    vx::test::InProcessCli cli;
};

TEST_F(CliRestorePoint, TheRestorePointHoldsWhatTheSendOverwrote)
{
    // What the indicator holds now differs from the file read before.
    sim::SetStoredId(indicator.device, 3, 4711, "ÖNCEKİ KAYIT");
    const QString before = sim::StoredId(indicator.device, 3).name;

    const CliRun send = run({"--json", "send", path("a.vxr"), "--groups", "id", "--backup"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    const QString backup = send.json().value("backup").toString();
    EXPECT_EQ(QFileInfo(backup).absolutePath(), QFileInfo(path("BACKUP")).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(backup).fileName().startsWith("ZR2_SN0001234_2026")) << backup.toStdString();
    EXPECT_EQ(send.json().value("outcome").toString(), "sent");

    const std::optional<vx::ConfigurationRecord> saved = vx::ReadConfigurationFile(backup);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->idMemory.IdNumbers[3].trimmed(), "4711");
    EXPECT_EQ(saved->idMemory.IdNames[3].trimmed(), "ÖNCEKİ KAYIT");
    // The send went after it: the file's record is back on the indicator.
    EXPECT_NE(sim::StoredId(indicator.device, 3).number, 4711);

    // The restore point sent back restores the indicator.
    const CliRun restore = run({"send", backup, "--groups", "id"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(sim::StoredId(indicator.device, 3).number, 4711);
    EXPECT_EQ(sim::StoredId(indicator.device, 3).name, before);
}

TEST_F(CliRestorePoint, TheHistoryRecordListsTheRowsTheSendChangedFromTheRestorePoint)
{
    vx::test::DataHome home;
    // The indicator's [001] (grid row 30) moved to 5-38400 since the file was read at 3-9600.
    QByteArray configuration = indicator.device.bytes(149, 100);
    configuration[37] = 5;
    indicator.device.setBytes(149, configuration);

    const CliRun send = run({"send", path("a.vxr"), "--groups", "jmp,nrm", "--backup"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    EXPECT_EQ(indicator.device.bytes(149, 100)[37], 3) << "the file's [001] went";

    const vx::HistoryReading history = vx::ReadHistory();
    ASSERT_EQ(history.records.size(), 1u);
    const vx::HistoryRecord &r = history.records[0];
    ASSERT_TRUE(r.restorePoint);
    EXPECT_TRUE(r.restorePoint->startsWith("ZR2_SN0001234_")) << r.restorePoint->toStdString();
    ASSERT_TRUE(r.changedRows);
    EXPECT_EQ(*r.changedRows, (std::vector<vx::HistoryChangedRow>{{30, "5-38400", "3-9600"}}))
        << "only the row that differed, indicator value before, file value after";

    // Without a restore point nothing was read for it: no changed rows are claimed.
    ASSERT_EQ(run({"send", path("a.vxr"), "--groups", "jmp,nrm"}).exitCode, 0);
    const vx::HistoryReading again = vx::ReadHistory();
    ASSERT_EQ(again.records.size(), 2u);
    EXPECT_FALSE(again.records[1].changedRows);
    EXPECT_FALSE(again.records[1].restorePoint);
}

// Two sends with --backup in the same second (two indicators with the same texts on
// clocks that read alike): the second restore point takes "-2" and overwrites nothing.
TEST(CliRestorePointSameSecond, BothRestorePointsAreKeptListedWithTheirTimeAndNamedByTheirRecords)
{
    vx::test::DataHome home;
    vx::test::InProcessCli cli;
    const QString file = cli.dir.filePath("a.vxr");
    {
        vx::test::InProcessIndicator reader;
        ASSERT_EQ(cli.run(reader, {"read", file}).exitCode, 0);
    }
    vx::test::InProcessIndicator first, second;
    sim::SetStoredId(first.device, 3, 1111, "BİRİNCİ");
    sim::SetStoredId(second.device, 3, 2222, "İKİNCİ");
    const CliRun one = cli.run(first, {"--json", "send", file, "--groups", "id", "--backup"});
    const CliRun two = cli.run(second, {"--json", "send", file, "--groups", "id", "--backup"});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    ASSERT_EQ(two.exitCode, 0) << two.err.toStdString();
    const QString firstPath = one.json().value("backup").toString();
    const QString secondPath = two.json().value("backup").toString();
    EXPECT_TRUE(QFileInfo(firstPath).fileName().startsWith("ZR2_SN0001234_2026")) << firstPath.toStdString();
    EXPECT_EQ(QFileInfo(secondPath).fileName(), QFileInfo(firstPath).completeBaseName() + "-2.Vxr");

    // Each holds what its own indicator held.
    const std::optional<vx::ConfigurationRecord> a = vx::ReadConfigurationFile(firstPath);
    const std::optional<vx::ConfigurationRecord> b = vx::ReadConfigurationFile(secondPath);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->idMemory.IdNumbers[3].trimmed(), "1111");
    EXPECT_EQ(b->idMemory.IdNumbers[3].trimmed(), "2222");

    const std::vector<vx::RestorePointEntry> list = vx::ListRestorePoints(
        cli.dir.filePath("BACKUP"), "ZR2", vx::IdentificationTexts{"ZR2 V2.20", "SN0001234"});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, secondPath) << "of one second, the later first";
    EXPECT_EQ(list[1].path, firstPath);
    EXPECT_TRUE(list[0].time.isValid());
    EXPECT_EQ(list[0].time, list[1].time) << "both read their time from their name";
    EXPECT_EQ(list[0].time, QDateTime::fromString(QFileInfo(firstPath).completeBaseName().right(15), "yyyyMMdd-HHmmss"));

    const vx::HistoryReading history = vx::ReadHistory();
    ASSERT_EQ(history.records.size(), 2u);
    ASSERT_TRUE(history.records[0].restorePoint && history.records[1].restorePoint);
    EXPECT_EQ(*history.records[0].restorePoint, QFileInfo(firstPath).fileName());
    EXPECT_EQ(*history.records[1].restorePoint, QFileInfo(secondPath).fileName());
}

TEST_F(CliRestorePoint, WithoutBackupTheJsonIsAsBefore)
{
    const CliRun send = run({"--json", "send", path("a.vxr"), "--groups", "header"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    EXPECT_FALSE(send.json().contains("backup"));
    EXPECT_TRUE(QDir(path("BACKUP")).entryList(QDir::Files).isEmpty()) << "no restore point unasked";
}

TEST_F(CliRestorePoint, AFolderThatCannotBeWrittenSendsNothing)
{
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    indicator.device.clearCommands();
    const CliRun send =
        run({"--json", "send", path("a.vxr"), "--groups", "id,nrm", "--backup-dir", path("plain/points")});
    EXPECT_EQ(send.exitCode, 7);
    EXPECT_TRUE(send.err.contains("No restore point could be made: the folder")) << send.err.toStdString();
    EXPECT_TRUE(send.err.contains("Nothing was sent."));
    EXPECT_EQ(send.json().value("outcome").toString(), "not started");
    EXPECT_TRUE(send.json().value("backup").isNull());
    EXPECT_FALSE(stored());
    EXPECT_FALSE(sent(3)) << "not even the probe";
}

TEST_F(CliRestorePoint, ABackupNotReadWholeSendsNothing)
{
    indicator.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 117, 1});
    indicator.device.clearCommands();
    const CliRun send = run({"send", path("a.vxr"), "--groups", "setpoint,nrm", "--backup"});
    EXPECT_EQ(send.exitCode, 1);
    EXPECT_TRUE(send.err.contains("could not be read whole")) << send.err.toStdString();
    EXPECT_FALSE(stored());
    EXPECT_TRUE(QDir(path("BACKUP")).entryList(QDir::Files).isEmpty());
}

TEST_F(CliRestorePoint, AnotherIndicatorsFileGoesOnlyWithYes)
{
    indicator.device.setSecondText("SN99999999");
    indicator.device.clearCommands();
    const CliRun declined = run({"--json", "send", path("a.vxr"), "--groups", "calibration"});
    EXPECT_EQ(declined.exitCode, 6);
    EXPECT_TRUE(declined.err.contains("This file belongs to another indicator. File: \"ZR2 V2.20\" / \"SN0001234\" "
                                      "Indicator: \"ZR2 V2.20\" / \"SN9999999\""))
        << declined.err.toStdString();
    EXPECT_TRUE(declined.err.contains("is ticked: a file's zero and span belong to the scale it was read from alone."));
    EXPECT_EQ(declined.json().value("outcome").toString(), "declined");
    EXPECT_FALSE(stored());
    EXPECT_FALSE(sent(3)) << "not even the probe";

    const CliRun confirmed = run({"send", path("a.vxr"), "--groups", "calibration", "--yes"});
    EXPECT_EQ(confirmed.exitCode, 0) << confirmed.err.toStdString();
    EXPECT_TRUE(confirmed.err.contains("Send it anyway? (--yes)"));
    EXPECT_TRUE(sent(13)) << "the calibration block stored";
}

// ---- send --only: the re-read is the restore point ----------------------------------

TEST_F(CliRestorePoint, SendOnlyWithBackupSavesTheReReadAndItsRecordNamesItWithTheNote)
{
    vx::test::DataHome home;
    QByteArray configuration = indicator.device.bytes(149, 100);
    configuration[37] = 5;  // [001] moved to 5-38400 since the file was read at 3-9600
    indicator.device.setBytes(149, configuration);

    const CliRun send =
        run({"--json", "send", path("a.vxr"), "--only", "001", "--backup", "--note", "after the repair"});
    ASSERT_EQ(send.exitCode, 0) << send.err.toStdString();
    EXPECT_EQ(indicator.device.bytes(149, 100)[37], 3) << "the file's [001] went";
    const QString backup = send.json().value("backup").toString();
    EXPECT_TRUE(QFileInfo(backup).fileName().startsWith("ZR2_SN0001234_2026")) << backup.toStdString();
    const std::optional<vx::ConfigurationRecord> saved = vx::ReadConfigurationFile(backup);
    ASSERT_TRUE(saved);
    EXPECT_EQ(vx::RecordIdentification(*saved).second, "SN0001234");
    // The restore point, sent back whole, brings the indicator's [001] back.
    ASSERT_EQ(run({"send", backup, "--groups", "nrm"}).exitCode, 0);
    EXPECT_EQ(indicator.device.bytes(149, 100)[37], 5);

    const vx::HistoryReading history = vx::ReadHistory();
    ASSERT_EQ(history.records.size(), 2u) << "the selective send's, then the restore point's send";
    const vx::HistoryRecord &r = history.records[0];
    ASSERT_TRUE(r.restorePoint);
    EXPECT_EQ(*r.restorePoint, QFileInfo(backup).fileName());
    ASSERT_TRUE(r.note);
    EXPECT_EQ(*r.note, "after the repair");
    ASSERT_TRUE(r.changedRows);
    EXPECT_EQ(*r.changedRows, (std::vector<vx::HistoryChangedRow>{{30, "5-38400", "3-9600"}}));
}

TEST_F(CliRestorePoint, SendOnlyOfRowsThatDoNotDifferWritesNothing)
{
    vx::test::DataHome home;
    indicator.device.clearCommands();
    indicator.device.clearRequests();
    const CliRun send = run({"send", path("a.vxr"), "--only", "row:20,001", "--backup"});
    EXPECT_EQ(send.exitCode, 0) << send.err.toStdString();
    EXPECT_TRUE(send.out.contains("No ticked row differs from the indicator; nothing was sent.")) << send.out.toStdString();
    EXPECT_FALSE(stored());
    EXPECT_FALSE(sent(3)) << "not even the probe";
    for (const QString &w : vx::test::WritesReceived(indicator.device))
        EXPECT_TRUE(w.startsWith("19:")) << "a block or record written: " << w.toStdString();
    EXPECT_TRUE(QDir(path("BACKUP")).entryList(QDir::Files).isEmpty()) << "nothing sent, no restore point";
}

TEST_F(CliRestorePoint, SendOnlyARowTheFileHoldsNoValueForExitsSeven)
{
    ASSERT_EQ(run({"read", path("h.vxr"), "--groups", "header"}).exitCode, 0);
    indicator.device.clearCommands();
    const CliRun send = run({"send", path("h.vxr"), "--only", "102", "--yes", "--backup"});
    EXPECT_EQ(send.exitCode, 7);
    EXPECT_TRUE(send.err.contains("Nothing was sent: Configuration P.(Nrm), row 19 [102] holds no value"))
        << send.err.toStdString();
    EXPECT_FALSE(stored());
    EXPECT_FALSE(sent(3));
    EXPECT_TRUE(QDir(path("BACKUP")).entryList(QDir::Files).isEmpty());
}

}  // namespace
