// Restore points against the in-process virtual indicator: the groups a send will
// overwrite read into a file named from the model, row 83 and the time; nothing read
// or written when the folder cannot take it; no file when a group did not come whole;
// the list of an indicator's restore points, newest first.

#include "files/ConfigFile.h"
#include "files/RestorePoint.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "support/SimLink.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// The codes that store something on the indicator (ticket lines, setpoint, clock,
// configuration, its head, ID record, calibration, ID header).
const std::vector<int> kStoreCommands = {4, 2, 6, 8, 9, 11, 13, 16};

struct RestorePointTest : ::testing::Test, test::SimLink {
    RestorePointTest()
    {
        weight.WeightFormatReference = "309";
        weight.DecimalsPattern = "0";
        lines.setText(367, QStringLiteral("ZR2"));
        texts.use(lines, QStringLiteral("English.txt"));
    }

    RestorePointResult make(const SendAllChoice &choice, const QString &folder,
                            std::optional<IdentificationTexts> ids = IdentificationTexts{"ZR2 V2.20", "SN0001234"})
    {
        return MakeRestorePoint(link, texts, choice, Model::ZR2, ids, weight, folder);
    }
    bool storedAnything() const
    {
        for (int code : sim.device.commands())
            if (std::find(kStoreCommands.begin(), kStoreCommands.end(), code) != kStoreCommands.end())
                return true;
        return false;
    }
    bool commandSent(int code) const
    {
        const auto &c = sim.device.commands();
        return std::find(c.begin(), c.end(), code) != c.end();
    }
    QString backupFolder() const { return dir.filePath("BACKUP"); }

    LanguageTexts lines = test::NumberedTexts();
    TextService texts;
    WeightFormat weight;
};

SendAllChoice EveryGroup()
{
    SendAllChoice c;
    c.header = c.id = c.setpoint = true;
    c.parameters = WriteGroups::all();
    return c;
}

// A parameter field's 25 bytes in a record, by the field's name.
QString ParameterField(ConfigurationRecord &record, const char *name)
{
    for (const record::Field &field : record::Fields())
        if (QLatin1String(field.name) == QLatin1String(name)) {
            const auto bytes = std::get<record::BlockBytes>(record::SlotOf(record, field, 0));
            return QString::fromLatin1(bytes.block->mid(bytes.offset, field.width)).trimmed();
        }
    return {};
}

TEST_F(RestorePointTest, ItHoldsWhatTheIndicatorHeldAndWritesNothingToIt)
{
    sim::SetStoredId(sim.device, 3, 4711, "YEDEK KAYIT");
    sim::SetStoredSetpoint(sim.device, 2, {1234, 2345, 3456});
    sim::SetStoredTicketLine(sim.device, 1, QByteArray("KANTAR B.").leftJustified(20, ' ') + '\0');
    QByteArray configuration = sim.device.bytes(149, 100);
    configuration[37] = 5;  // [001] 5-38400
    sim.device.setBytes(149, configuration);

    const RestorePointResult r = make(EveryGroup(), backupFolder());
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_FALSE(storedAnything());
    // Read on 12 March 2026 from 10:00 on (the virtual clock's day).
    const QString name = QFileInfo(r.path).fileName();
    EXPECT_TRUE(QRegularExpression("^ZR2_SN0001234_20260312-10\\d{4}\\.Vxr$").match(name).hasMatch())
        << name.toStdString();
    EXPECT_EQ(QFileInfo(r.path).absolutePath(), QFileInfo(backupFolder()).absoluteFilePath());

    std::optional<ConfigurationRecord> saved = ReadConfigurationFile(r.path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->idMemory.IdNumbers[3].trimmed(), "4711");
    EXPECT_EQ(saved->idMemory.IdNames[3].trimmed(), "YEDEK KAYIT");
    EXPECT_EQ(saved->setpoints.Setpoint1[2].trimmed(), "123,4");
    EXPECT_EQ(saved->setpoints.Setpoint3[2].trimmed(), "345,6");
    EXPECT_EQ(QString(saved->ticket.HeaderLines[1]).remove(QChar(0)).trimmed(), "KANTAR B.");
    EXPECT_EQ(ParameterField(*saved, "G[0].f1"), "5-38400");
    EXPECT_EQ(ParameterField(*saved, "D21"), "ZR2 V2.20");
    EXPECT_EQ(ParameterField(*saved, "D22"), "SN0001234");
}

TEST_F(RestorePointTest, OnlyTheGroupsTheSendOverwritesAreRead)
{
    SendAllChoice idOnly;
    idOnly.id = true;
    const RestorePointResult r = make(idOnly, backupFolder());
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(commandSent(10)) << "the ID records loaded";
    for (int code : {3, 1, 5, 7, 12})  // ticket lines, setpoints, clock, configuration, calibration
        EXPECT_FALSE(commandSent(code)) << code;
    // A restore point of the ID memory alone still names its indicator.
    std::optional<ConfigurationRecord> saved = ReadConfigurationFile(r.path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(RecordIdentification(*saved), (IdentificationTexts{"ZR2 V2.20", "SN0001234"}));

    // The clock alone overwrites nothing that is kept: nothing read, no file.
    sim.device.clearRequests();
    SendAllChoice clockOnly;
    clockOnly.parameters.dateTime = true;
    const RestorePointResult none = make(clockOnly, backupFolder());
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.path.isEmpty());
    EXPECT_TRUE(sim.device.requests().isEmpty());
    EXPECT_EQ(QDir(backupFolder()).entryList(QDir::Files).size(), 1);
}

TEST_F(RestorePointTest, AFolderThatCannotBeWrittenReadsNothing)
{
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString folder = dir.filePath("plain/BACKUP");  // under a file: it cannot be made
    const RestorePointResult r = make(EveryGroup(), folder);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, RestorePointResult::Failure::Folder);
    EXPECT_TRUE(r.message.startsWith("No restore point could be made: the folder " + folder + " cannot be written"))
        << r.message.toStdString();
    EXPECT_TRUE(r.message.endsWith("\nNothing was sent."));
    EXPECT_TRUE(sim.device.requests().isEmpty());
}

TEST_F(RestorePointTest, AGroupNotReadWholeLeavesNoFile)
{
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Register, 117, 1});  // a setpoint record
    const RestorePointResult r = make(EveryGroup(), backupFolder());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, RestorePointResult::Failure::Read);
    EXPECT_EQ(r.message, "No restore point could be made: the groups to be overwritten could not be read whole "
                         "from the indicator\nNothing was sent.");
    EXPECT_TRUE(QDir(backupFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(storedAnything());

    // Without the indicator's texts the restore point cannot be named: nothing is read.
    sim.device.clearRequests();
    const RestorePointResult unnamed = make(EveryGroup(), backupFolder(), std::nullopt);
    EXPECT_EQ(unnamed.failure, RestorePointResult::Failure::Identification);
    EXPECT_TRUE(sim.device.requests().isEmpty());
}

TEST(RestorePointName, TheModelTheSecondTextAndTheTime)
{
    const QDateTime time(QDate(2026, 12, 7), QTime(14, 25, 30));
    EXPECT_EQ(RestorePointFileName("ZR2", "SN0001234", time), "ZR2_SN0001234_20261207-142530.Vxr");
    EXPECT_EQ(RestorePointFileName("ZR1", "A/B C:\\*", time), "ZR1_A-B-C---_20261207-142530.Vxr");
    EXPECT_EQ(RestorePointFileName("ZR1", "  ", time), "ZR1_none_20261207-142530.Vxr");
    EXPECT_EQ(RestorePointFileName("ZR2", "ŞEKER_1", time), "ZR2_-EKER-1_20261207-142530.Vxr");
    EXPECT_EQ(RestorePointFileName("ZR2", "SN0001234", time, 2), "ZR2_SN0001234_20261207-142530-2.Vxr");
}

TEST_F(RestorePointTest, TheListHoldsThisIndicatorsRestorePointsNewestFirst)
{
    SendAllChoice header;
    header.header = true;
    const RestorePointResult first = make(header, backupFolder());
    sim.clock.advance(90.0);
    const RestorePointResult second = make(header, backupFolder());
    sim.clock.advance(90.0);
    const RestorePointResult other = make(header, backupFolder(), IdentificationTexts{"ZR2 V2.20", "SN0005555"});
    ASSERT_TRUE(first.ok && second.ok && other.ok);
    // Not a configuration file, though named like one.
    QFile cut(QDir(backupFolder()).filePath("ZR2_SN0001234_20990101-000000.Vxr"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("short");
    cut.close();

    const std::vector<RestorePointEntry> list =
        ListRestorePoints(backupFolder(), "ZR2", IdentificationTexts{"ZR2 V2.20", "SN0001234"});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, second.path);
    EXPECT_EQ(list[1].path, first.path);
    EXPECT_GT(list[0].time, list[1].time);
    EXPECT_TRUE(ListRestorePoints(backupFolder(), "ZR1", IdentificationTexts{"ZR2 V2.20", "SN0001234"}).empty())
        << "another model";
}

}  // namespace
