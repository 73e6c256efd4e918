// vextora-cli read, send and dump: in-process on the virtual indicator (the groups, a
// ZR1, a read that stops, files that cannot be read or written, failing writes with
// and without --on-failure ignore), and end to end: read from one vextora-sim on a
// pseudo-terminal, send to another, and the second ends with the first one's data.

#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
#include "shell/LanguageTexts.h"
#include "params/Catalogue.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"
#include "support/CliProcess.h"

#include <QCoreApplication>
#include <QDir>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <functional>
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

// ---- the check of a send's values before anything is written ------------------------

// A configuration file with some of its values changed, as another program or a
// careless edit could leave it.
void EditFile(const QString &file, const std::function<void(vx::WorkingSet &)> &edit)
{
    const std::optional<vx::ConfigurationRecord> record = vx::ReadConfigurationFile(file);
    ASSERT_TRUE(record);
    const std::optional<vx::LanguageTexts> lines = vx::LanguageTexts::fromFile(
        QDir(QCoreApplication::applicationDirPath()).filePath("LANGUAGE/English.txt"));
    ASSERT_TRUE(lines);
    vx::WorkingSet set;
    set.showFile(*record, *lines, vx::Model::ZR2, {});
    edit(set);
    set.collect();
    ASSERT_TRUE(vx::WriteConfigurationFile(file, set.record()).ok());
}

class CliSendCheck : public CliFiles {
protected:
    // What the indicator stores: the blocks, the records and the lines.
    QByteArray stored() const
    {
        QByteArray out = indicator.device.bytes(149, 100) + indicator.device.bytes(128, 40);
        for (int i = 0; i < 101; ++i)
            out += QByteArray::number(sim::StoredId(indicator.device, i).number) + sim::StoredId(indicator.device, i).name.toUtf8();
        for (int i = 0; i < 9; ++i)
            for (qint32 v : sim::StoredSetpoint(indicator.device, i))
                out += QByteArray::number(v) + ' ';
        for (int line = 0; line < 6; ++line)
            out += sim::StoredTicketLine(indicator.device, line);
        return out;
    }
    // Nothing went to the indicator's registers but the connect's own commands: no
    // probe (19=3), no block, record or line.
    void expectNothingWritten(const CliRun &r, const QByteArray &before)
    {
        for (const QString &w : vx::test::WritesReceived(indicator.device))
            EXPECT_TRUE(w.startsWith("19:") && w != "19:0003") << "written: " << w.toStdString() << " "
                                                                << r.err.toStdString();
        EXPECT_EQ(commandCount(3), 0) << "not even the probe";
        EXPECT_EQ(stored(), before);
    }
};

TEST_F(CliSendCheck, AFileReadWithoutItsParametersDoesNotZeroTheIndicatorsParameters)
{
    // The reproduction: a file of the header alone, then its Nrm block sent.
    ASSERT_EQ(run({"read", path("h.vxr"), "--groups", "header"}).exitCode, 0);
    const QByteArray before = stored();
    indicator.device.clearRequests();
    indicator.device.clearCommands();

    for (const QString &groups : {QString("nrm"), QString("jmp"), QString("calibration")}) {
        const CliRun r = run({"send", path("h.vxr"), "--groups", groups, "--yes"});
        EXPECT_EQ(r.exitCode, 7) << groups.toStdString();
        expectNothingWritten(r, before);
    }
    const CliRun nrm = run({"send", path("h.vxr"), "--groups", "nrm", "--yes"});
    EXPECT_TRUE(nrm.err.contains("Nothing was sent: Configuration P.(Nrm), row 13 [120] holds no value."))
        << nrm.err.toStdString();
    const CliRun calibration = run({"--json", "send", path("h.vxr"), "--groups", "calibration", "--yes"});
    EXPECT_TRUE(calibration.err.contains("Calibration P., row 62 [210] holds no value")) << calibration.err.toStdString();
    EXPECT_EQ(calibration.json().value("outcome").toString(), "not sent");

    // A ZR1 hides [100], [101]...: with every row it shows filled, its hidden rows do not count.
    indicator.device.setModel("ZR1 V1.07");
    ASSERT_EQ(run({"read", path("z.vxr"), "--groups", "params"}).exitCode, 0);
    EditFile(path("z.vxr"), [](vx::WorkingSet &set) { set.parameters().setValue(14, ""); });  // [100], ZR2 only
    EXPECT_EQ(run({"send", path("z.vxr"), "--groups", "nrm"}).exitCode, 0);
    EditFile(path("z.vxr"), [](vx::WorkingSet &set) { set.parameters().setValue(15, ""); });  // [131], shown
    const CliRun shown = run({"send", path("z.vxr"), "--groups", "nrm"});
    EXPECT_EQ(shown.exitCode, 7);
    EXPECT_TRUE(shown.err.contains("row 15 [131] holds no value")) << shown.err.toStdString();
}

TEST_F(CliSendCheck, AValueThatDoesNotFitOrIsNoNumberStopsTheSendNamingGroupAndRow)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    struct Case {
        const char *groups;
        std::function<void(vx::WorkingSet &)> edit;
        const char *message;
    };
    const Case cases[] = {
        {"nrm", [](vx::WorkingSet &s) { s.parameters().setValue(19, "70000"); },
         "Configuration P.(Nrm), row 19 [102]: 70000 does not fit its field (0 to 255)."},
        {"nrm", [](vx::WorkingSet &s) { s.parameters().setValue(19, "-5"); }, "row 19 [102]: -5 does not fit"},
        {"nrm", [](vx::WorkingSet &s) { s.parameters().setValue(19, "12abc"); }, "row 19 [102]: \"12abc\" is not a number."},
        {"nrm", [](vx::WorkingSet &s) { s.parameters().setValue(13, "300"); },
         "row 13 [120]: 300 does not fit its field (0 to 9)."},
        {"calibration", [](vx::WorkingSet &s) { s.parameters().setValue(63, "999"); },
         "Calibration P., row 63 [211]: 999 does not fit its field (0 to 255)."},
        {"setpoint", [](vx::WorkingSet &s) { s.setpoints().setValue(2, 1, "12abc"); },
         "Setpoint Memory, SP Memory 3, Setpoint - 2: \"12abc\" is not a number."},
        {"setpoint", [](vx::WorkingSet &s) { s.setpoints().setValue(2, 1, "1e308"); }, "\"1e308\" is not a number."},
        {"setpoint", [](vx::WorkingSet &s) { s.setpoints().setValue(2, 1, "12,5.7"); }, "\"12,5.7\" is not a number."},
        {"setpoint", [](vx::WorkingSet &s) { s.setpoints().setValue(8, 2, "5 kg"); },
         "SP Memory 9, Setpoint - 3: \"5 kg\" is not a number."},
        {"header,id,nrm", [](vx::WorkingSet &s) { s.ids().setNumber(5, "AB12"); },
         "ID and ID Memory, ID Memory 4: \"AB12\" is not a number."},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(run({"read", path("b.vxr")}).exitCode, 0);
        EditFile(path("b.vxr"), c.edit);
        const QByteArray before = stored();
        indicator.device.clearRequests();
        indicator.device.clearCommands();
        const CliRun r = run({"send", path("b.vxr"), "--groups", c.groups, "--yes"});
        EXPECT_EQ(r.exitCode, 7) << c.message;
        EXPECT_TRUE(r.err.contains(QString("Nothing was sent: ")) && r.err.contains(QString::fromUtf8(c.message)))
            << r.err.toStdString();
        expectNothingWritten(r, before);
    }
    // The file as it was read goes.
    EXPECT_EQ(run({"send", path("a.vxr"), "--groups", "header,id,setpoint,calibration,jmp,nrm"}).exitCode, 0);
}

TEST_F(CliSendCheck, ABlankMemoryClearsTheIndicatorsOnlyWithClear)
{
    // A file of the parameters alone: its ticket lines, ID and setpoint memories are blank.
    ASSERT_EQ(run({"read", path("p.vxr"), "--groups", "params"}).exitCode, 0);
    const QByteArray before = stored();
    indicator.device.clearRequests();
    indicator.device.clearCommands();

    const CliRun asked = run({"send", path("p.vxr"), "--groups", "header,id,setpoint,nrm", "--yes"});
    EXPECT_EQ(asked.exitCode, 7) << "--yes does not answer it";
    EXPECT_TRUE(asked.err.contains("holds nothing for Header and Footnote, ID and ID Memory, Setpoint Memory"))
        << asked.err.toStdString();
    EXPECT_TRUE(asked.err.contains("--clear header,id,setpoint")) << asked.err.toStdString();
    expectNothingWritten(asked, before);
    const CliRun partly = run({"send", path("p.vxr"), "--groups", "id,setpoint", "--clear", "id"});
    EXPECT_EQ(partly.exitCode, 7);
    EXPECT_TRUE(partly.err.contains("(--clear setpoint clears it on purpose)")) << partly.err.toStdString();
    expectNothingWritten(partly, before);
    EXPECT_EQ(run({"send", path("p.vxr"), "--groups", "nrm", "--clear", "id"}).exitCode, 2) << "not among --groups";
    EXPECT_EQ(run({"send", path("p.vxr"), "--groups", "id", "--clear", "nrm"}).exitCode, 2);

    // On purpose: the memories are cleared.
    ASSERT_NE(sim::StoredId(indicator.device, 3).number, 0);
    const CliRun cleared = run({"send", path("p.vxr"), "--groups", "header,id,setpoint", "--clear", "setpoint,id,header"});
    ASSERT_EQ(cleared.exitCode, 0) << cleared.err.toStdString();
    EXPECT_TRUE(cleared.err.contains("ID and ID Memory is cleared on the indicator (--clear)")) << cleared.err.toStdString();
    EXPECT_LE(sim::StoredId(indicator.device, 3).number, 0);
    EXPECT_EQ(sim::StoredSetpoint(indicator.device, 2), (std::array<qint32, 3>{0, 0, 0}));
    EXPECT_EQ(sim::StoredTicketLine(indicator.device, 0).replace('\0', ' ').trimmed(), QByteArray());
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
