// vextora-cli: its commands run in-process on the virtual indicator and the
// virtual clock (output, JSON, the --watch period, usage errors), and the real
// executable end to end against vextora-sim on a pseudo-terminal.

#include "support/CliProcess.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
using vx::test::SimProcess;

// Fixed status values, so the output can be checked exactly.
void fixStatus(InProcessIndicator &sim)
{
    const std::pair<int, qint32> values[] = {{0, 12520}, {3, 10520}, {5, 2000}, {11, 5000}, {13, -10}, {15, 15000}};
    for (const auto &[reg, v] : values)
        sim.device.onRead(reg, [reg, v](vx::sim::VirtualIndicator &d, int, int) { d.setLong(reg, v); });
    sim.device.setReg(2, 0x2003);   // A: display mode 1 (net); B: stable, calibrated
    sim.device.setReg(25, 0x0812);  // A: calibration permitted; B: analog card, board number 1
}

class CliInProcess : public ::testing::Test {
protected:
    CliRun run(const QStringList &args, std::function<bool(const CliRun &)> interrupted = {})
    {
        return cli.run(sim, args, std::move(interrupted));
    }
    InProcessIndicator sim;
    InProcessCli cli;
};

TEST_F(CliInProcess, IdentifyNamesModelAndVersion)
{
    sim.device.setModel("ZR1 V1.07");
    const CliRun text = run({"identify"});
    EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, "model    ZR1\nversion  ZR1 V1.07\n(the indicator is a ZR1, not the assumed ZR2)\n");

    const CliRun json = run({"--json", "--model", "zr1", "identify"});
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.json().value("model").toString(), "ZR1");
    EXPECT_EQ(json.json().value("version").toString(), "ZR1 V1.07") << "no trailing blank";
    EXPECT_EQ(json.json().value("assumedModel").toString(), "ZR1");
}

TEST_F(CliInProcess, StatusJsonHasRawNumbersAndBooleansWhateverTheLanguage)
{
    fixStatus(sim);
    const CliRun english = run({"--json", "status"});
    ASSERT_EQ(english.exitCode, 0) << english.err.toStdString();
    QJsonObject o = english.json();
    const QJsonObject values = o.value("values").toObject();
    EXPECT_EQ(values.value("grossWeight"), QJsonValue(12520));
    EXPECT_EQ(values.value("setpoint2"), QJsonValue(-10));
    const QJsonObject operating = o.value("operating").toObject();
    EXPECT_EQ(operating.value("stable"), QJsonValue(true));
    EXPECT_EQ(operating.value("atZero"), QJsonValue(false));
    EXPECT_EQ(operating.value("displayMode"), QJsonValue(1));
    EXPECT_EQ(operating.value("a"), QJsonValue(0x20));
    const QJsonObject hardware = o.value("hardware").toObject();
    EXPECT_EQ(hardware.value("boardRevision"), QJsonValue(1));
    EXPECT_EQ(hardware.value("analogOutputCard"), QJsonValue(true));
    EXPECT_EQ(o.value("calibrationPermitted"), QJsonValue(true));
    EXPECT_EQ(o.value("analogCardPresent"), QJsonValue(true));
    EXPECT_EQ(o.value("complete"), QJsonValue(true));
    // The connect and the range read come first; a quiet line after whole answers costs
    // no wait at the start of an operation.
    EXPECT_EQ(o.value("time").toString(), "2026-03-12T10:00:00.025");
    EXPECT_EQ(o.value("rangeKnown"), QJsonValue(true));
    const QJsonArray rows = o.value("rows").toArray();
    ASSERT_EQ(rows.size(), 25);
    EXPECT_EQ(rows[0].toObject().value("caption").toString(), "Gross weight");
    EXPECT_EQ(rows[6].toObject().value("text").toString(), "Stable");
    // The texts carry the range's decimals (300 kg by 0.1), the values stay raw; a
    // gross weight above the capacity keeps every digit.
    EXPECT_EQ(rows[0].toObject().value("text").toString(), "1252.0");
    EXPECT_EQ(rows[4].toObject().value("text").toString(), "-1,0");

    const CliRun turkish = run({"--json", "--language", "Türkçe.txt", "status"});
    ASSERT_EQ(turkish.exitCode, 0);
    QJsonObject t = turkish.json();
    EXPECT_NE(t.value("rows"), o.value("rows")) << "the language texts differ";
    for (QJsonObject *json : {&o, &t}) {
        json->remove("rows");
        json->remove("time");
    }
    EXPECT_EQ(t, o) << "everything but the texts is the same";
}

TEST_F(CliInProcess, StatusTextShowsEveryRowAndTheDerivedFlags)
{
    fixStatus(sim);
    const CliRun r = run({"status"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    EXPECT_EQ(lines.value(0), "status at 2026-03-12T10:00:00.025");
    // Weights in the range's format, as the Status tab shows them (300 kg by 0.1).
    EXPECT_EQ(lines.value(1), " 1  Gross weight                  1252.0");
    EXPECT_EQ(lines.value(2), " 2  Net weight                    1052.0");
    EXPECT_EQ(lines.value(4), " 4  Setpoint 1                    500,0");
    EXPECT_EQ(lines.value(5), " 5  Setpoint 2                    -1,0");
    EXPECT_EQ(lines.value(7), " 7  Weight stability              Stable");
    EXPECT_EQ(lines.value(19), "23  Keypad lock                   Inactive");
    EXPECT_EQ(lines.value(26), "calibration permitted  yes");
    EXPECT_EQ(lines.value(27), "analog output card     yes");
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

// The status reading is the first thing a technician looks at: it runs without the
// range too, its weights raw and marked, and the exit status says it is not whole.
TEST_F(CliInProcess, StatusWithoutTheRangeShowsRawWeightsMarked)
{
    fixStatus(sim);
    sim.device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 3});
    const CliRun text = run({"status"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_TRUE(text.err.contains("range could not be read")) << text.err.toStdString();
    const QStringList lines = text.out.split('\n');
    EXPECT_EQ(lines.value(1), " 1  Gross weight                  12520  (range unknown)");
    EXPECT_EQ(lines.value(5), " 5  Setpoint 2                    -10  (range unknown)");
    EXPECT_EQ(lines.value(7), " 7  Weight stability              Stable");

    sim.device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 3});
    const CliRun json = run({"--json", "status"});
    EXPECT_EQ(json.exitCode, 1);
    const QJsonObject o = json.json();
    EXPECT_EQ(o.value("rangeKnown"), QJsonValue(false));
    EXPECT_EQ(o.value("values").toObject().value("grossWeight"), QJsonValue(12520));
    EXPECT_EQ(o.value("rows").toArray()[0].toObject().value("text").toString(), "12520");
}

TEST_F(CliInProcess, WatchKeepsItsPeriodAndPrintsOneJsonObjectALine)
{
    // A slow link: each reading takes about 2.5 s in fixed drain mode, which a
    // sleep after each reading would add to the period.
    const auto lines = [](const CliRun &r) { return r.out.count('\n'); };
    const CliRun r = run({"--drain", "fixed", "--json", "status", "--watch", "5"},
                         [&](const CliRun &sofar) { return lines(sofar) >= 3; });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList objects = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(objects.size(), 3);
    QStringList times;
    for (const QString &line : objects) {
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        times << o.value("time").toString();
    }
    // Connecting (0.35 s) and reading the range (four exchanges, 1.5 s) come first; then a
    // reading every 5 s.
    EXPECT_EQ(times, QStringList({"2026-03-12T10:00:01.850", "2026-03-12T10:00:06.850",
                                  "2026-03-12T10:00:11.850"}));
}

TEST_F(CliInProcess, UsageErrorsExitTwoBeforeAnythingIsSent)
{
    const QStringList cases[] = {
        {},
        {"weigh"},
        {"--address", "123", "identify"},
        {"--watch", "2", "identify"},
        {"status", "--watch", "0"},
        {"identify", "extra"},
        {"--drain", "fast", "status"},
        {"--checksum", "maybe", "status"},
        {"--model", "ZR3", "identify"},
        {"--line-settings", "fast", "identify"},
        {"--port", "COM17", "identify"},
        {"--map", "COM17=/dev/ttyS0", "identify"},
        {"--bogus", "identify"},
    };
    for (const QStringList &args : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("--help")) << r.err.toStdString();
    }
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
    EXPECT_EQ(sim.port.openCount(), 0);
}

TEST_F(CliInProcess, HelpNamesEveryExitStatus)
{
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    const QString text = QString(help.out).replace('\n', ' ');
    for (const char *status :
         {"0 success;", "1 the indicator did not answer", "2 wrong usage;", "3 the port could not be opened;",
          "4 a calibration ended", "5 diff found differences;", "6 cancelled", "7 a file could not be read or written, or holds no value for what was asked;",
          "8 the operation succeeded but its service history record could not be written."})
        EXPECT_TRUE(text.contains(status)) << status << "\n" << help.out.toStdString();
}

// ---------------------------------------------------------------------------
// The real executable on a pseudo-terminal

class CliEndToEnd : public ::testing::Test {
protected:
    CliRun cli(const QStringList &args, int interruptAfterMs = 0)
    {
        return vx::test::RunCliProcess(settings.filePath("vextora.ini"), args, interruptAfterMs);
    }
    QTemporaryDir settings;
};

TEST_F(CliEndToEnd, IdentifyAndStatusThroughARealSerialPort)
{
    SimProcess sim({"--model", "ZR1 V1.07", "--address", "7", "--checksum", "off", "--analog-card", "off"});
    ASSERT_TRUE(sim.ready());
    const QStringList line = {"--port", sim.link, "--address", "07", "--checksum", "off"};
    const CliRun identify = cli(line + QStringList{"--json", "identify"});
    EXPECT_EQ(identify.exitCode, 0) << identify.err.toStdString();
    EXPECT_EQ(identify.json().value("version").toString(), "ZR1 V1.07");
    EXPECT_EQ(identify.json().value("device").toString(), sim.link);

    const CliRun status = cli(line + QStringList{"--json", "status"});
    ASSERT_EQ(status.exitCode, 0) << status.err.toStdString();
    EXPECT_EQ(status.json().value("analogCardPresent"), QJsonValue(false));
    EXPECT_TRUE(status.json().value("values").toObject().value("grossWeight").isDouble());

    const CliRun wrongAddress = cli({"--port", sim.link, "--address", "08", "--checksum", "off", "identify"});
    EXPECT_EQ(wrongAddress.exitCode, 1);
    EXPECT_EQ(wrongAddress.errLines().size(), 1) << wrongAddress.err.toStdString();
}

TEST_F(CliEndToEnd, MapNamesAComNumberForThisRun)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const CliRun identify = cli({"--map", "COM3=" + sim.link, "--port", "COM3", "identify"});
    EXPECT_EQ(identify.exitCode, 0) << identify.err.toStdString();
    const CliRun ports = cli({"--map", "COM3=" + sim.link, "ports"});
    EXPECT_EQ(ports.exitCode, 0);
    EXPECT_TRUE(ports.out.contains("COM3\t" + sim.link + "\n")) << ports.out.toStdString();
}

TEST_F(CliEndToEnd, PortErrorsExitThreeAndSayWhatIsWrong)
{
    const CliRun missing = cli({"--port", "/nonexistent/tty", "identify"});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_EQ(missing.err, "vextora-cli: /nonexistent/tty bulunmamaktadır\n");

    const CliRun notSerial = cli({"--port", "/dev/null", "status"});
    EXPECT_EQ(notSerial.exitCode, 3);
    EXPECT_EQ(notSerial.err, "vextora-cli: /dev/null is not a serial port\n");
}

TEST_F(CliEndToEnd, StatusWatchRepeatsUntilInterrupted)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    // Interrupted once two readings are out, however long they took.
    vx::test::RunningCli watch(settings.filePath("vextora.ini"), {"--port", sim.link, "status", "--watch", "1"});
    EXPECT_TRUE(watch.waitUntil([&] { return watch.out.count("status at") >= 2; }));
    watch.signal(SIGINT);
    const CliRun r = watch.finish();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GE(r.out.count("status at"), 2) << r.out.toStdString();
}

}  // namespace
