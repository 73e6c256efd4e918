// vextora-cli clock, in-process on the virtual indicator (its clock set apart from the
// PC's, the virtual clock): the read and its difference, --set-now with the frames it
// sends and its read-back, a clock that ignores the setting and an indicator that
// refuses it (exit 1 both); and once end to end through vextora-sim on a
// pseudo-terminal.

#include "sim/Faults.h"
#include "sim/Parameters.h"
#include "support/CliProcess.h"
#include "support/RequestText.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessIndicator;

// The indicator's clock runs from 1 January 2025, 08:00:00; the PC's (the virtual
// clock) from 12 March 2026, 10:00:00: 435 days and 2 hours behind, 37 591 200 s.
constexpr qint64 kBehind = -37591200;

vx::sim::ParameterOptions clockApart(bool ignoresSetting = false)
{
    vx::sim::ParameterOptions o;
    o.clockStart = QDateTime(QDate(2025, 1, 1), QTime(8, 0, 0));
    o.clockIgnoresSetting = ignoresSetting;
    return o;
}

QStringList lastRequests(const InProcessIndicator &sim, int n)
{
    const QStringList all = vx::test::RequestTexts(sim.device.requests());
    return all.mid(qMax(0, int(all.size()) - n));
}

// The data of the last write to register 124 (16 hex digits).
QString clockWriteData(const InProcessIndicator &sim)
{
    QString data;
    for (const QString &frame : sim.device.requests())
        if (frame.startsWith("@10007C"))
            data = frame.mid(13, 16);
    return data;
}

TEST(CliClock, ReadsTheClockAndItsDifferenceToThePc)
{
    InProcessIndicator sim({}, {}, {}, clockApart());
    vx::test::InProcessCli cli;
    const CliRun r = cli.run(sim, {"--json", "clock"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.json().value("indicator").toString().startsWith("01-01-25 \\ 08:00:")) << r.out.toStdString();
    EXPECT_TRUE(r.json().value("pc").toString().startsWith("12-03-26 \\ 10:00:")) << r.out.toStdString();
    const qint64 difference = qint64(r.json().value("differenceSeconds").toDouble());
    EXPECT_TRUE(difference == kBehind || difference == kBehind - 1) << difference;
    // Host mode, command 5, the 8 bytes of register 124, host mode left; nothing written.
    EXPECT_EQ(lastRequests(sim, 4), (QStringList{"19=19", "19=5", "124/8", "19=20"}));
    EXPECT_TRUE(clockWriteData(sim).isEmpty());

    const CliRun text = cli.run(sim, {"clock"});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.startsWith("indicator 01-01-25 \\ 08:00:")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(", difference -3759120")) << text.out.toStdString();
}

TEST(CliClock, SetNowWritesThePcTimeAndReadsItBack)
{
    InProcessIndicator sim({}, {}, {}, clockApart());
    vx::test::InProcessCli cli;
    const CliRun r = cli.run(sim, {"--json", "clock", "--set-now"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.json().value("set").toBool());
    EXPECT_TRUE(r.json().value("sent").toString().startsWith("12-03-26 \\ 10:00:")) << r.out.toStdString();
    const QJsonObject back = r.json().value("readBack").toObject();
    EXPECT_TRUE(back.value("indicator").toString().startsWith("12-03-26 \\ 10:00:")) << r.out.toStdString();
    EXPECT_LE(qAbs(back.value("differenceSeconds").toDouble()), 2.0);

    // Register 124: seconds, minutes 00, hours 10, weekday 00, day 12, month 03, year 26,
    // 00; then command 6, and the read-back.
    const QString data = clockWriteData(sim);
    ASSERT_EQ(data.size(), 16) << data.toStdString();
    EXPECT_EQ(data.mid(2), "00100012032600") << data.toStdString();
    EXPECT_EQ(lastRequests(sim, 6), (QStringList{"124:8", "19=6", "19=19", "19=5", "124/8", "19=20"}));

    // Read again afterwards, the two clocks agree.
    const CliRun again = cli.run(sim, {"--json", "clock"});
    EXPECT_LE(qAbs(again.json().value("differenceSeconds").toDouble()), 2.0) << again.out.toStdString();
}

TEST(CliClock, ASettingTheClockDoesNotKeepOrTheIndicatorRefusesExitsOne)
{
    // The clock acknowledges command 6 and runs on as before: the read-back disagrees.
    InProcessIndicator stuck({}, {}, {}, clockApart(true));
    vx::test::InProcessCli cli;
    const CliRun r = cli.run(stuck, {"clock", "--set-now"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("The clock was not set: read back it shows 01-01-25 \\ 08:00:")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("(at most 2 s allowed)")) << r.err.toStdString();

    // Command 6 refused every time: the write did not take, nothing is read back.
    InProcessIndicator refusing({}, {}, {}, clockApart());
    refusing.device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Command, 6, -1});
    const CliRun refused = cli.run(refusing, {"--json", "clock", "--set-now"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(refused.json().value("set").toBool());
    EXPECT_TRUE(refused.err.contains("did not take the date and time")) << refused.err.toStdString();
    EXPECT_FALSE(vx::test::RequestTexts(refusing.device.requests()).contains("124/8")) << "no read-back";

    // A ZR1 has no clock to set.
    InProcessIndicator zr1;
    zr1.device.setModel("ZR1 V1.10");
    EXPECT_EQ(cli.run(zr1, {"clock"}).exitCode, 2);
}

TEST(CliClock, SetNowThroughARealSerialPort)
{
    vx::test::SimProcess sim;
    ASSERT_TRUE(sim.ready());
    QTemporaryDir dir;
    const CliRun set = vx::test::RunCliProcess(dir.filePath("vextora.ini"), {"--port", sim.link, "--json", "clock",
                                                                             "--set-now"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_TRUE(set.json().value("set").toBool());
    const CliRun read =
        vx::test::RunCliProcess(dir.filePath("vextora.ini"), {"--port", sim.link, "--json", "clock"});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_LE(qAbs(read.json().value("differenceSeconds").toDouble()), 2.0) << read.out.toStdString();
}

}  // namespace
