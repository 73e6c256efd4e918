// vextora-cli set, in-process on the virtual indicator: a file read from it changed
// row by row (every other byte stays), keys and values the rows do not take (exit 2,
// the file untouched), and --live through the selective send: only the row named
// changes on the indicator, with a restore point and a history record.

#include "files/ConfigFile.h"
#include "service/History.h"
#include "support/CliRunner.h"
#include "support/DataHome.h"
#include "support/RequestText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The positions where two files of one size differ.
std::vector<int> differences(const QByteArray &a, const QByteArray &b)
{
    std::vector<int> at;
    for (int i = 0; i < qMin(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            at.push_back(i);
    return at;
}

class CliSet : public ::testing::Test {
protected:
    CliSet() { EXPECT_EQ(run({"read", path("a.vxr")}).exitCode, 0); }
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }

    vx::test::InProcessIndicator indicator;
    vx::test::InProcessCli cli;
};

TEST_F(CliSet, AChoiceChangesOnlyItsOwnFieldOfTheFile)
{
    const QByteArray before = bytesOf(path("a.vxr"));
    // [001] of serial port 1 (grid row 30) from 3-9600 to 5-38400: the choice's number.
    const CliRun set = run({"set", path("a.vxr"), "001=5"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(set.out, QString("[001] Baud rate: 3-9600 -> 5-38400\n%1: written\n").arg(path("a.vxr")));

    const QByteArray after = bytesOf(path("a.vxr"));
    ASSERT_EQ(after.size(), before.size());
    // The Text(25) field of row 30: the list text padded with blanks, nothing else moved.
    const int at = int(after.indexOf("5-38400" + QByteArray(18, ' ')));
    ASSERT_GE(at, 0);
    EXPECT_EQ(before.mid(at, 25), "3-9600" + QByteArray(19, ' '));
    for (int i : differences(before, after))
        EXPECT_TRUE(i >= at && i < at + 25) << "byte " << i << " outside row 30's field";

    // Setting it again to what it holds writes nothing.
    const CliRun same = run({"set", path("a.vxr"), "row:30=5"});
    ASSERT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_TRUE(same.out.contains("the file is unchanged")) << same.out.toStdString();
    EXPECT_EQ(bytesOf(path("a.vxr")), after);
}

TEST_F(CliSet, AWeightTenthsAndAWordAsTheGridTakesThem)
{
    // The indicator's range is 300 kg by 0,1 kg: [101] holds 20,0 kg (raw 200).
    const CliRun set =
        run({"--json", "set", path("a.vxr"), "101=150.5", "103=8.5", "410=1234", "row:30=2"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    const QJsonArray changed = set.json().value("changed").toArray();
    ASSERT_EQ(changed.size(), 4);
    EXPECT_EQ(changed[0].toObject().value("code").toString(), "101");
    EXPECT_EQ(changed[0].toObject().value("before").toString(), "020.0");
    EXPECT_EQ(changed[0].toObject().value("after").toString(), "150.5");
    EXPECT_EQ(changed[1].toObject().value("after").toString(), "8,5");
    EXPECT_EQ(changed[2].toObject().value("row").toInt(), 30);
    EXPECT_EQ(changed[3].toObject().value("code").toString(), "410");
    EXPECT_EQ(changed[3].toObject().value("after").toString(), "1234");

    // The file holds the raw weight 1505 (E1 05 00 00) and the word 1234 (D2 04).
    const std::optional<vx::ConfigurationRecord> record = vx::ReadConfigurationFile(path("a.vxr"));
    ASSERT_TRUE(record);
    const CliRun dump = run({"dump", path("a.vxr")});
    EXPECT_TRUE(dump.out.contains(QRegularExpression("row 18 \\[101\\]\\s+1505\\b"))) << dump.out.toStdString();
    EXPECT_TRUE(dump.out.contains(QRegularExpression("row 78 \\[410\\]\\s+1234\\b"))) << dump.out.toStdString();

    // Sent to the indicator, the file puts 1505 into configuration bytes 18-21.
    ASSERT_EQ(run({"send", path("a.vxr"), "--groups", "nrm"}).exitCode, 0);
    EXPECT_EQ(indicator.device.bytes(149, 100).mid(18, 4), QByteArray::fromHex("000005E1"));
    EXPECT_EQ(quint8(indicator.device.bytes(149, 100)[27]), 85) << "[103] 8,5 as 85 tenths";
}

TEST_F(CliSet, KeysAndValuesTheRowsDoNotTakeChangeNothing)
{
    const QByteArray before = bytesOf(path("a.vxr"));
    struct Case {
        QStringList words;
        const char *says;
    };
    const Case cases[] = {
        {{"211=5"}, "rows 63 and 64"},        // two rows carry the code
        {{"300=1"}, "rows 75 and 76"},
        {{"999=1"}, "names no parameter row"},
        {{"row:83=X"}, "not set from a script"},  // the identification text
        {{"140=01-01-26"}, "clock command"},
        {{"001=9"}, "takes one of 0, 1, 2, 3, 4, 5, 6"},
        {{"103=4.9"}, "5.0 to 9.9"},
        {{"103=7.25"}, "5.0 to 9.9"},
        {{"101=150.55"}, "at most 1 decimal"},
        {{"101=-5"}, "weight in kg"},
        {{"410=65536"}, "0 to 65535"},
        {{"102=256"}, "at most 2 digits"},
        // One bad assignment among good ones: none of them is written.
        {{"001=5", "203=7"}, "takes one of"},
        {{"noequals"}, "no KEY=VALUE"},
    };
    for (const Case &c : cases) {
        const CliRun r = run(QStringList{"set", path("a.vxr")} + c.words);
        EXPECT_EQ(r.exitCode, 2) << c.words.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << c.words.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(bytesOf(path("a.vxr")), before) << c.words.join(' ').toStdString();
    }

    // A file without the range codes has no decimals for a weight.
    ASSERT_EQ(run({"read", path("h.vxr"), "--groups", "header"}).exitCode, 0);
    const CliRun noRange = run({"set", path("h.vxr"), "101=5"});
    EXPECT_EQ(noRange.exitCode, 2);
    EXPECT_TRUE(noRange.err.contains("weighing range")) << noRange.err.toStdString();
    // A file that is not there, or cut off.
    EXPECT_EQ(run({"set", path("none.vxr"), "001=5"}).exitCode, 7);
    QFile cut(path("cut.vxr"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(before.left(4000));
    cut.close();
    EXPECT_EQ(run({"set", path("cut.vxr"), "001=5"}).exitCode, 7);
    EXPECT_EQ(bytesOf(path("cut.vxr")).size(), 4000);
}

TEST_F(CliSet, LiveSetChangesOnlyThatRowOnTheIndicator)
{
    vx::test::DataHome home;
    const QByteArray configuration = indicator.device.bytes(149, 100);
    ASSERT_EQ(configuration[37], 3) << "[001] at 9600 to begin with";
    indicator.device.clearRequests();

    const CliRun set = run({"--json", "set", "--live", "001=5", "--backup-dir", path("points")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(set.json().value("outcome").toString(), "sent");
    const QString backup = set.json().value("backup").toString();
    EXPECT_TRUE(QFileInfo(backup).fileName().startsWith("ZR2_")) << backup.toStdString();

    // The configuration block is what it was but for byte 37.
    QByteArray expected = configuration;
    expected[37] = 5;
    EXPECT_EQ(indicator.device.bytes(149, 100), expected);
    // Only the Nrm group's blocks went (no Jmp block 149, no calibration 128).
    QStringList writes;
    for (const QString &r : vx::test::RequestTexts(indicator.device.requests()))
        if (r.contains(':'))
            writes << r;
    EXPECT_EQ(writes, (QStringList{"154:12", "160:14", "167:8", "171:8", "175:8", "179:8", "183:14", "190:4"}));

    // The restore point holds 3-9600; the history names the row and the restore point.
    const std::optional<vx::ConfigurationRecord> saved = vx::ReadConfigurationFile(backup);
    ASSERT_TRUE(saved);
    const vx::HistoryReading history = vx::ReadHistory();
    ASSERT_EQ(history.records.size(), 1u);
    ASSERT_TRUE(history.records[0].restorePoint);
    EXPECT_EQ(*history.records[0].restorePoint, QFileInfo(backup).fileName());
    ASSERT_TRUE(history.records[0].changedRows);
    EXPECT_EQ(*history.records[0].changedRows, (std::vector<vx::HistoryChangedRow>{{30, "3-9600", "5-38400"}}));

    // --no-backup: no restore point; a refused value sends nothing.
    indicator.device.clearRequests();
    const CliRun bad = run({"set", "--live", "001=9"});
    EXPECT_EQ(bad.exitCode, 2);
    for (const QString &r : vx::test::RequestTexts(indicator.device.requests()))
        EXPECT_FALSE(r.contains(':')) << "nothing written: " << r.toStdString();
    const CliRun plain = run({"set", "--live", "--no-backup", "103=9.9"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(quint8(indicator.device.bytes(149, 100)[27]), 99);
    EXPECT_FALSE(QDir(path("BACKUP")).exists());
}

}  // namespace
