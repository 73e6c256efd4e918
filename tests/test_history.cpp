// The service history: the line a record is written as, the append (a cut-off line
// before it, a history that cannot be written) and the read (a damaged line skipped,
// the others kept), and the records the tool's send and calibration leave behind when
// they run against the virtual indicator.

#include "service/History.h"
#include "sim/Faults.h"
#include "support/CliRunner.h"
#include "support/DataHome.h"
#include "support/FullDisk.h"

#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

using vx::HistoryOperation;
using vx::HistoryRecord;
using vx::test::CliRun;
using vx::test::DataHome;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;

// Two records as the format spells them, written by hand.
const QByteArray kSendLine =
    R"({"groupResults":{"header":"sent","nrm":"failed"},"groups":["header","nrm"],)"
    R"("identification":["ZR2 V2.20","SN0001234"],"model":"ZR2","note":"new load cell","operation":"send",)"
    R"("result":"aborted","time":"2026-12-07T14:05:09.120+03:00","tool":"cli"})";
const QByteArray kCalibrationLine =
    R"({"identification":["",""],"model":"ZR1","operation":"calibration","procedure":"zero",)"
    R"("result":"finished","time":"2026-12-07T15:00:00.000+03:00","tool":"window"})";

QDateTime at(int hour, int minute, int second, int ms = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second, ms), QTimeZone(3 * 3600));
}

TEST(HistoryLine, ASendIsOneCompactLineWithTheTimeAndItsOffset)
{
    HistoryRecord r;
    r.time = at(14, 5, 9, 120);
    r.indicator.model = "ZR2";
    r.indicator.identification = "ZR2 V2.20";
    r.indicator.identification2 = "SN0001234";
    r.operation = HistoryOperation::Send;
    r.tool = vx::HistoryTool::Cli;
    r.groups = {"header", "nrm"};
    r.groupResults = {{"header", "sent"}, {"nrm", "failed"}};
    r.result = "aborted";
    r.note = "new load cell";
    EXPECT_EQ(vx::HistoryLine(r), kSendLine);

    // Read back, every field comes again; the optional ones stay absent.
    QString why;
    const std::optional<HistoryRecord> back = vx::ParseHistoryLine(kSendLine, &why);
    ASSERT_TRUE(back) << why.toStdString();
    EXPECT_EQ(back->time, r.time);
    EXPECT_EQ(back->time.offsetFromUtc(), 3 * 3600);
    EXPECT_EQ(back->indicator.identification2, "SN0001234");
    EXPECT_EQ(back->groups, r.groups);
    EXPECT_EQ(back->groupResults, r.groupResults);
    EXPECT_EQ(back->note, "new load cell");
    EXPECT_FALSE(back->changedRows || back->restorePoint || back->report);
}

TEST(HistoryLine, TheFieldsOfACompareARestorePointAndAReportGoAndComeBack)
{
    HistoryRecord r;
    r.time = at(9, 0, 0);
    r.indicator.model = "ZR2";
    r.operation = HistoryOperation::Calibration;
    r.procedure = "span";
    r.result = "finished";
    r.changedRows = std::vector<vx::HistoryChangedRow>{{18, "300.0", "600.0"}, {30, "3-9600", "4-19200"}};
    r.restorePoint = "BACKUP/2026-12-07_140509.vxr";
    r.report = "span-2026-12-07.pdf";
    const QByteArray line = vx::HistoryLine(r);
    EXPECT_TRUE(line.contains(R"("changedRows":[{"after":"600.0","before":"300.0","row":18},)")) << line.constData();
    const std::optional<HistoryRecord> back = vx::ParseHistoryLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->changedRows, r.changedRows);
    EXPECT_EQ(back->restorePoint, r.restorePoint);
    EXPECT_EQ(back->report, r.report);
    EXPECT_EQ(back->procedure, "span");
}

struct DamagedCase {
    const char *name;
    QByteArray line;
};

class DamagedLine : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedLine, IsNoRecord)
{
    QString why;
    EXPECT_FALSE(vx::ParseHistoryLine(GetParam().line, &why));
    EXPECT_FALSE(why.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    History, DamagedLine,
    ::testing::Values(
        DamagedCase{"CutOff", kSendLine.left(60)},
        DamagedCase{"NotJson", "2026-12-07 send header"},
        DamagedCase{"AnArray", "[1,2,3]"},
        DamagedCase{"NoTime", R"({"identification":["",""],"model":"ZR1","operation":"calibration","procedure":"zero","result":"finished"})"},
        DamagedCase{"TimeNoDate", R"({"identification":["",""],"model":"ZR1","operation":"calibration","procedure":"zero","result":"finished","time":"yesterday"})"},
        DamagedCase{"UnknownOperation", R"({"identification":["",""],"model":"ZR1","operation":"erase","procedure":"zero","result":"finished","time":"2026-12-07T15:00:00+03:00"})"},
        DamagedCase{"SendWithoutGroups", R"({"identification":["",""],"model":"ZR1","operation":"send","result":"sent","time":"2026-12-07T15:00:00+03:00"})"},
        DamagedCase{"CalibrationWithoutProcedure", R"({"identification":["",""],"model":"ZR1","operation":"calibration","result":"finished","time":"2026-12-07T15:00:00+03:00"})"},
        DamagedCase{"OneIdentificationText", R"({"identification":["ZR1"],"model":"ZR1","operation":"calibration","procedure":"zero","result":"finished","time":"2026-12-07T15:00:00+03:00"})"},
        DamagedCase{"ResultNotText", R"({"identification":["",""],"model":"ZR1","operation":"calibration","procedure":"zero","result":3,"time":"2026-12-07T15:00:00+03:00"})"},
        DamagedCase{"ChangedRowWithoutNumber", R"({"changedRows":[{"before":"1","after":"2"}],"identification":["",""],"model":"ZR1","operation":"calibration","procedure":"zero","result":"finished","time":"2026-12-07T15:00:00+03:00"})"}),
    [](const ::testing::TestParamInfo<DamagedCase> &info) { return std::string(info.param.name); });

// ---- the file ------------------------------------------------------------------

TEST(HistoryFile, LivesInTheDataFolderXdgDataHomeNames)
{
    const DataHome home;
    EXPECT_EQ(vx::HistoryFilePath(), home.historyFile());
    HistoryRecord r = *vx::ParseHistoryLine(kCalibrationLine);
    ASSERT_TRUE(vx::AppendHistory(r));
    EXPECT_EQ(home.historyBytes(), kCalibrationLine + "\n");
}

TEST(HistoryFile, ADamagedLineIsSkippedWithItsNumberAndTheOthersAreKept)
{
    const DataHome home;
    ASSERT_TRUE(home.writeHistory(kSendLine + "\n{\"time\": garbage\n\n" + kCalibrationLine + "\n"));
    const vx::HistoryReading reading = vx::ReadHistory();
    ASSERT_TRUE(reading.readable);
    ASSERT_EQ(reading.records.size(), 2u);
    ASSERT_EQ(reading.damaged.size(), 1u);
    EXPECT_EQ(reading.damaged[0].line, 2) << "the blank line 3 is neither a record nor damaged";

    // Newest first: the calibration at 15:00 before the send at 14:05.
    const std::vector<HistoryRecord> newest = vx::NewestFirst(reading.records);
    EXPECT_EQ(newest[0].operation, HistoryOperation::Calibration);
    EXPECT_EQ(newest[1].operation, HistoryOperation::Send);
}

TEST(HistoryFile, RecordsOfTheSameTimeListTheLaterLineFirstAndTheFilterIgnoresCase)
{
    HistoryRecord a = *vx::ParseHistoryLine(kSendLine), b = a;
    b.note = "second";
    const std::vector<HistoryRecord> newest = vx::NewestFirst({a, b});
    EXPECT_EQ(newest[0].note, "second");

    HistoryRecord zr1 = *vx::ParseHistoryLine(kCalibrationLine);
    EXPECT_EQ(vx::FilterByIndicator({a, zr1}, "sn000123").size(), 1u) << "row 83's text";
    EXPECT_EQ(vx::FilterByIndicator({a, zr1}, "zr1").size(), 1u) << "the model";
    EXPECT_EQ(vx::FilterByIndicator({a, zr1}, " ").size(), 2u) << "no text: every record";
    EXPECT_TRUE(vx::FilterByIndicator({a, zr1}, "ZR3").empty());
}

TEST(HistoryFile, AnAppendAfterACutOffLineStartsALineOfItsOwn)
{
    const DataHome home;
    ASSERT_TRUE(home.writeHistory(kSendLine + "\n" + kSendLine.left(40)));
    ASSERT_TRUE(vx::AppendHistory(*vx::ParseHistoryLine(kCalibrationLine)));
    EXPECT_EQ(home.historyBytes(), kSendLine + "\n" + kSendLine.left(40) + "\n" + kCalibrationLine + "\n");
    const vx::HistoryReading reading = vx::ReadHistory();
    EXPECT_EQ(reading.records.size(), 2u);
    ASSERT_EQ(reading.damaged.size(), 1u);
    EXPECT_EQ(reading.damaged[0].line, 2);
}

TEST(HistoryFile, AHistoryThatCannotBeWrittenOrReadIsReported)
{
    const DataHome home;
    const HistoryRecord r = *vx::ParseHistoryLine(kCalibrationLine);
    // A folder where the file should be.
    ASSERT_TRUE(QDir().mkpath(home.historyFile()));
    QString why;
    EXPECT_FALSE(vx::AppendHistory(r, &why));
    EXPECT_TRUE(why.contains("not a regular file")) << why.toStdString();
    const vx::HistoryReading folder = vx::ReadHistory();
    EXPECT_FALSE(folder.readable);
    EXPECT_FALSE(folder.error.isEmpty());
    ASSERT_TRUE(QDir(home.historyFile()).removeRecursively());

    // A FIFO is refused at once, without waiting for a reader.
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.historyFile()).constData(), 0600), 0);
    why.clear();
    EXPECT_FALSE(vx::AppendHistory(r, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(vx::ReadHistory().readable);
}

TEST(HistoryFile, AnAppendThatDoesNotFitLeavesTheFileByteForByte)
{
    const DataHome home;
    const QByteArray before = kSendLine + "\n";
    ASSERT_TRUE(home.writeHistory(before));
    {
        // Room for part of the next line only: the write stops in its middle.
        vx::test::FileSizeLimit limit(rlim_t(before.size() + 40));
        ASSERT_TRUE(limit.set());
        QString why;
        EXPECT_FALSE(vx::AppendHistory(*vx::ParseHistoryLine(kCalibrationLine), &why));
        EXPECT_FALSE(why.isEmpty());
    }
    EXPECT_EQ(home.historyBytes(), before) << "the part that went is cut off again";
    ASSERT_TRUE(vx::AppendHistory(*vx::ParseHistoryLine(kCalibrationLine)));
    EXPECT_EQ(vx::ReadHistory().records.size(), 2u);
    EXPECT_TRUE(vx::ReadHistory().damaged.empty());
}

// ---- appends of several processes at once ---------------------------------------

}  // namespace

// The child: COUNT records, each with the note "TAG-N", appended to FILE one by one.
// Exit 0 when every append said it went.
int HistoryAppenderMain(const QStringList &arguments)
{
    if (arguments.size() != 3)
        return 2;
    HistoryRecord r = *vx::ParseHistoryLine(kSendLine);
    int failed = 0;
    for (int n = 0; n < arguments[2].toInt(); ++n) {
        r.note = QStringLiteral("%1-%2").arg(arguments[1]).arg(n);
        QString why;
        if (!vx::AppendHistory(r, &why, arguments[0])) {
            ++failed;
            fprintf(stderr, "%s\n", qPrintable(why));
        }
    }
    return failed == 0 ? 0 : 1;
}

namespace {

TEST(HistoryFile, FourProcessesAppendingAtOnceLoseNoRecordAndDamageNoLine)
{
    const QTemporaryDir dir;
    const QString file = dir.filePath("history.jsonl");
    constexpr int kProcesses = 4;
    constexpr int kEach = 25;
    std::vector<std::unique_ptr<QProcess>> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(std::make_unique<QProcess>());
        children.back()->start(QCoreApplication::applicationFilePath(),
                               {"--history-appender", file, QStringLiteral("p%1").arg(p), QString::number(kEach)});
    }
    // And this process at the same time.
    HistoryRecord mine = *vx::ParseHistoryLine(kCalibrationLine);
    for (int n = 0; n < kEach; ++n) {
        mine.note = QStringLiteral("main-%1").arg(n);
        EXPECT_TRUE(vx::AppendHistory(mine, nullptr, file));
    }
    for (auto &child : children) {
        ASSERT_TRUE(child->waitForFinished(120000));
        EXPECT_EQ(child->exitCode(), 0) << child->readAllStandardError().toStdString();
    }

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.contains('\0')) << "no hole where a line was cut";
    EXPECT_TRUE(bytes.endsWith('\n'));
    const vx::HistoryReading reading = vx::ReadHistory(file);
    EXPECT_TRUE(reading.damaged.empty()) << "every line is one whole record";
    QStringList notes;
    for (const HistoryRecord &r : reading.records)
        notes << r.note.value_or(QString());
    EXPECT_EQ(bytes.count('\n'), (kProcesses + 1) * kEach);
    for (int n = 0; n < kEach; ++n) {
        for (int p = 0; p < kProcesses; ++p)
            EXPECT_EQ(notes.count(QStringLiteral("p%1-%2").arg(p).arg(n)), 1) << p << " " << n;
        EXPECT_EQ(notes.count(QStringLiteral("main-%1").arg(n)), 1) << n;
    }
}

TEST(HistoryFile, AMissingHistoryIsAnEmptyOne)
{
    const DataHome home;
    const vx::HistoryReading reading = vx::ReadHistory();
    EXPECT_TRUE(reading.readable);
    EXPECT_TRUE(reading.records.empty());
    EXPECT_TRUE(reading.damaged.empty());
}

// ---- the records of the tool's send and calibration -------------------------------

class ToolHistory : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    std::vector<HistoryRecord> records() const { return vx::ReadHistory().records; }

    DataHome home;
    InProcessIndicator indicator;
    InProcessCli cli;
};

TEST_F(ToolHistory, ASendLeavesOneRecordWithTheIndicatorsTextsAndTheNoteAndNothingElseOnTheWire)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    EXPECT_TRUE(records().empty()) << "a read is no service work";

    indicator.port.clearFramesSent();
    const CliRun plain = run({"send", path("a.vxr"), "--groups", "header,nrm"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    const QStringList framesPlain = indicator.port.framesSent();
    indicator.port.clearFramesSent();
    const CliRun noted = run({"send", path("a.vxr"), "--groups", "header,nrm", "--note", "  new load cell "});
    ASSERT_EQ(noted.exitCode, 0) << noted.err.toStdString();
    EXPECT_EQ(noted.out, plain.out);
    EXPECT_EQ(noted.err, "");
    EXPECT_EQ(indicator.port.framesSent(), framesPlain) << "the note and the record send nothing";

    const std::vector<HistoryRecord> r = records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_FALSE(r[0].note) << "no --note, no note";
    const HistoryRecord &last = r[1];
    EXPECT_EQ(last.operation, HistoryOperation::Send);
    EXPECT_EQ(last.tool, vx::HistoryTool::Cli);
    EXPECT_EQ(last.indicator.model, "ZR2");
    // Rows 82 and 83 from the file: "ZR2 V2.20 " and "SN00012345" without its last character.
    EXPECT_EQ(last.indicator.identification, "ZR2 V2.20");
    EXPECT_EQ(last.indicator.identification2, "SN0001234");
    EXPECT_EQ(last.groups, QStringList({"header", "nrm"}));
    EXPECT_EQ(last.groupResults, (std::vector<std::pair<QString, QString>>{{"header", "sent"}, {"nrm", "sent"}}));
    EXPECT_EQ(last.result, "sent");
    EXPECT_EQ(last.note, "new load cell");
    EXPECT_LE(qAbs(last.time.secsTo(QDateTime::currentDateTime())), 3600) << "stamped with the time of the send";
}

TEST_F(ToolHistory, ASendThatStopsIsRecordedWithTheGroupsThatDidNotGo)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    // The first ID record gets no acknowledgement, however often it is sent.
    indicator.device.addFault({vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Register, 105, 9});
    const CliRun r = run({"send", path("a.vxr"), "--groups", "header,id,nrm"});
    EXPECT_EQ(r.exitCode, 1);
    const std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].result, "aborted");
    EXPECT_EQ(list[0].groupResults,
              (std::vector<std::pair<QString, QString>>{{"header", "sent"}, {"id", "failed"}, {"nrm", "not-run"}}));
}

TEST_F(ToolHistory, ACalibrationIsRecordedWithItsResultWhetherItFinishedOrNot)
{
    const CliRun zero = run({"calibrate", "zero", "--yes", "--note", "after repair"});
    ASSERT_EQ(zero.exitCode, 0) << zero.err.toStdString();
    // Nobody can type the test weight: the span calibration is cancelled, and still recorded.
    const CliRun span = run({"calibrate", "span", "--yes"});
    EXPECT_EQ(span.exitCode, 6);

    const std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].operation, HistoryOperation::Calibration);
    EXPECT_EQ(list[0].procedure, "zero");
    EXPECT_EQ(list[0].result, "finished");
    EXPECT_EQ(list[0].note, "after repair");
    EXPECT_EQ(list[0].indicator.model, "ZR2");
    EXPECT_EQ(list[0].indicator.version, "ZR2 V2.20");
    // The record names the indicator by its identification texts, so the history finds it.
    EXPECT_FALSE(list[0].indicator.identification.isEmpty());
    EXPECT_EQ(list[1].procedure, "span");
    EXPECT_EQ(list[1].result, "cancelled");
}

TEST_F(ToolHistory, ARecordThatCannotBeWrittenIsSaidAndGivesItsOwnExitStatus)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    ASSERT_TRUE(QDir().mkpath(home.historyFile()));  // a folder where the file should be

    const CliRun send = run({"--json", "send", path("a.vxr"), "--groups", "header"});
    EXPECT_EQ(send.exitCode, 8) << "sent, but not recorded";
    EXPECT_EQ(send.json().value("outcome").toString(), "sent");
    EXPECT_TRUE(send.json().value("historyError").toString().contains("not a regular file"));
    EXPECT_TRUE(send.err.contains("warning: the service history record could not be written"))
        << send.err.toStdString();
    EXPECT_TRUE(send.err.contains("the send itself ended as reported"));

    // A calibration that failed keeps its own exit status.
    const CliRun span = run({"calibrate", "span", "--yes"});
    EXPECT_EQ(span.exitCode, 6);
    EXPECT_TRUE(span.err.contains("could not be written")) << span.err.toStdString();
}

TEST_F(ToolHistory, ANoteTooLongIsAUsageErrorBeforeAnythingIsSent)
{
    const CliRun r = run({"calibrate", "zero", "--yes", "--note", QString(1001, 'x')});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(indicator.port.framesSent().isEmpty());
    EXPECT_TRUE(records().empty());
}

}  // namespace
