// vextora-cli calibrate: in-process against the virtual indicator on the virtual
// clock (what is written, the exit status of every outcome, the usage errors found
// before anything is sent), and the real executable against vextora-sim on a
// pseudo-terminal.

#include "support/CliProcess.h"
#include "support/DataHome.h"
#include "support/RequestText.h"

#include "service/History.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
using vx::test::RunCliProcess;
using vx::test::SimProcess;

// Writes as "reg=data" (checksum on, no address): "@10" reg(4) count(4) bytes(2) data LRC CR.
QStringList writes(const InProcessIndicator &sim)
{
    QStringList out;
    for (const QString &frame : sim.port.framesSent())
        if (frame.startsWith("@10"))
            out << QStringLiteral("%1=%2").arg(frame.mid(3, 4).toInt(nullptr, 16)).arg(frame.mid(13, frame.size() - 16));
    return out;
}

class CalibrateCli : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(*sim, args); }
    void indicator(vx::sim::LiveStatusOptions status, vx::sim::CalibrationOptions options)
    {
        sim = std::make_unique<InProcessIndicator>(vx::sim::VirtualIndicator::Options{}, status, options);
    }
    std::unique_ptr<InProcessIndicator> sim = std::make_unique<InProcessIndicator>();
    InProcessCli cli;
};

TEST_F(CalibrateCli, GeneralWithTheIndicatorsRangeRunsEveryStep)
{
    const CliRun r = run({"calibrate", "general", "--yes", "--weight", "150"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "general calibration: finished\n");
    // The range written back as read: single range, 300 Kg by 0.1, legal trade.
    const QStringList w = writes(*sim);
    EXPECT_TRUE(w.contains("128=0000") && w.contains("129=1E09") && w.contains("130=1E09") && w.contains("149=0100")
                && w.contains("150=010101010101"))
        << w.join(' ').toStdString();
    EXPECT_TRUE(w.contains("20=000005DC")) << "150 Kg in tenths";
    EXPECT_EQ(w.last(), "22=0002");
    // The steps and their progress on standard error.
    EXPECT_TRUE(r.err.contains("Unload the platform")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Calibrating, please wait - 3\n"));
    EXPECT_EQ(r.err.count("Successful\n"), 3);
    EXPECT_FALSE(r.err.contains("START")) << "the window's button caption is no step";
}

TEST_F(CalibrateCli, GeneralWritesTheRangeGivenAndChecksItAgainstTheProfile)
{
    const CliRun refused = run({"calibrate", "general", "--yes", "--weight", "50", "--capacity", "100", "--division",
                                "0.01"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("not offered for 100 kg by SGMetrolojik.txt")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("offered: 0.05, 0.1, 0.2")) << refused.err.toStdString();
    EXPECT_FALSE(writes(*sim).contains("22=0001")) << "no calibration step sent";

    sim->port.clearFramesSent();
    const CliRun r = run({"--json", "calibrate", "general", "--yes", "--weight", "50", "--capacity", "100",
                          "--division", "0,05", "--metrological", "on"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(writes(*sim).contains("129=1608"));
    EXPECT_TRUE(writes(*sim).contains("20=00001388")) << "50 Kg in hundredths";
    const QJsonObject o = r.json();
    EXPECT_EQ(o.value("outcome").toString(), "finished");
    EXPECT_EQ(o.value("range").toObject().value("capacity").toDouble(), 100);
    EXPECT_EQ(o.value("range").toObject().value("division").toDouble(), 0.05);

    // Not legal for trade: the normal profile offers 0.01 for 100 Kg.
    const CliRun normal = run({"calibrate", "general", "--yes", "--weight", "50", "--capacity", "100", "--division",
                               "0.01", "--metrological", "off", "--mode", "dual", "--capacity2", "200", "--division2",
                               "0.02"});
    EXPECT_EQ(normal.exitCode, 0) << normal.err.toStdString();
    EXPECT_TRUE(writes(*sim).contains("128=0100"));
    EXPECT_TRUE(writes(*sim).contains("130=1B07"));
    EXPECT_TRUE(writes(*sim).contains("149=0000"));
}

TEST_F(CalibrateCli, UsageErrorsExitTwoBeforeAnythingIsSent)
{
    const QList<QStringList> cases = {
        {"calibrate"},
        {"calibrate", "tare"},
        {"calibrate", "general", "--capacity", "100"},
        {"calibrate", "general", "--capacity", "101", "--division", "0.1"},
        {"calibrate", "general", "--capacity", "100", "--division", "0.03"},
        {"calibrate", "general", "--mode", "triple"},
        {"calibrate", "general", "--metrological", "maybe"},
        {"calibrate", "general", "--mode", "single", "--capacity2", "100", "--division2", "0.1"},
        {"calibrate", "span", "--capacity", "100", "--division", "0.1"},
        {"calibrate", "zero", "--weight", "5"},
        {"calibrate", "span", "--weight", "0"},
        {"calibrate", "general", "--weight", "300.5", "--capacity", "300", "--division", "0.1"},
    };
    for (const QStringList &args : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(sim->port.framesSent().isEmpty());
    const CliRun capacity = run({"calibrate", "general", "--capacity", "101", "--division", "0.1"});
    EXPECT_TRUE(capacity.err.contains("1, 2, 3, 4, 5, 6, 8, 10,")) << capacity.err.toStdString();
}

TEST_F(CalibrateCli, AWeightAboveTheIndicatorsCapacityIsRefusedBeforeTheSpan)
{
    const CliRun r = run({"calibrate", "span", "--yes", "--weight", "300.1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("above the 1st capacity, 300 kg")) << r.err.toStdString();
    EXPECT_FALSE(writes(*sim).contains("22=0001"));
}

TEST_F(CalibrateCli, ExitStatusOfEachOutcome)
{
    // Declined confirmation: nobody at the terminal to confirm.
    CliRun r = run({"calibrate", "zero"});
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_EQ(r.out, "zero calibration: cancelled\n");
    EXPECT_FALSE(writes(*sim).contains("22=0003"));

    // The weight entry with no one to type: a span calibration ends there.
    r = run({"calibrate", "span"});
    EXPECT_EQ(r.exitCode, 6);

    // Refused by the indicator: the link is dropped.
    sim->device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 22, 1});
    r = run({"calibrate", "zero", "--yes"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("did not answer or refused")) << r.err.toStdString();
}

// "@9" before the span: the line is fine, the indicator cannot calibrate now. Its own
// message, the link kept, exit 4; the JSON holds the documented fields and nothing else
// reaches standard output.
TEST_F(CalibrateCli, ABusyIndicatorSaysSoAndKeepsTheLink)
{
    sim->device.addFault({vx::sim::FaultKind::Busy, vx::sim::FaultScope::Register, 0, 1});
    const CliRun r = run({"--json", "calibrate", "span", "--yes", "--weight", "100"});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("The indicator is busy and cannot take the calibration now.")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("did not answer or refused")) << r.err.toStdString();
    EXPECT_FALSE(writes(*sim).contains("22=0001")) << "no calibration step sent";
    const QJsonObject o = r.json();
    EXPECT_EQ(o.keys(), QStringList({"exitStatus", "finished", "outcome", "pollGaveUp", "procedure", "stepRefused"}));
    EXPECT_EQ(o.value("procedure").toString(), "span");
    EXPECT_EQ(o.value("outcome").toString(), "busy");
    EXPECT_EQ(o.value("exitStatus").toInt(), 4);
    EXPECT_EQ(o.value("finished").toBool(true), false);
    EXPECT_EQ(r.out.trimmed().front(), QLatin1Char('{'));
    EXPECT_EQ(r.out.trimmed().back(), QLatin1Char('}'));
}

TEST_F(CalibrateCli, NotPermittedExitsFour)
{
    vx::sim::LiveStatusOptions status;
    status.calibrationPermitted = false;
    indicator(status, {});
    const CliRun r = run({"calibrate", "zero", "--yes"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains("Calibration is not permitted")) << r.err.toStdString();
    EXPECT_FALSE(writes(*sim).contains("22=0001"));
}

TEST_F(CalibrateCli, ARefusedSpanWithAGivenWeightEndsTheSpanAndExitsFour)
{
    indicator({}, {.busyPolls = 2, .spanRefusals = 5});
    CliRun r = run({"calibrate", "span", "--yes", "--weight", "100"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains("did not accept the calibration step")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("test weight is too small"));
    EXPECT_FALSE(writes(*sim).contains("22=0002")) << "no finish step";

    sim->port.clearFramesSent();
    r = run({"calibrate", "general", "--yes", "--weight", "100"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(writes(*sim).last(), "22=0002") << "a general calibration finishes";
    EXPECT_EQ(r.out, "general calibration: cancelled, a step was refused\n");
}

TEST_F(CalibrateCli, APollThatGivesUpExitsFour)
{
    indicator({}, {.busyPolls = 1000});
    const CliRun r = run({"calibrate", "zero", "--yes"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err.count("No valid calibration status"), 2) << "zero and finish";
    EXPECT_TRUE(r.err.contains("please wait - 15\n"));
    EXPECT_FALSE(r.err.contains("please wait - 16"));
}

// The range read of the start reads again after a lost or cut answer, as every other
// command's range read does (command 7 to register 128, three tries in all); only
// three lost tries leave the range unknown.
TEST_F(CalibrateCli, ALostRangeAnswerIsReadAgain)
{
    auto reads = [this](const QString &request) {
        return int(vx::test::RequestTexts(sim->port.framesSent()).count(request));
    };
    for (const vx::sim::FaultRule &fault :
         {vx::sim::FaultRule{vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Register, 149, 1},
          vx::sim::FaultRule{vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 1},
          vx::sim::FaultRule{vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Command, 12, 1}}) {
        sim = std::make_unique<InProcessIndicator>();
        sim->device.addFault(fault);
        const CliRun r = run({"calibrate", "zero", "--yes"});
        EXPECT_EQ(r.exitCode, 0) << fault.value << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, "zero calibration: finished\n");
        EXPECT_EQ(reads("128/6"), 2) << fault.value;
        EXPECT_EQ(reads("149/10"), 2) << fault.value;
    }

    sim = std::make_unique<InProcessIndicator>();
    sim->device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 3});
    const CliRun r = run({"calibrate", "zero", "--yes"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.out, "zero calibration: range-unknown\n");
    EXPECT_EQ(reads("128/6"), 3);
    EXPECT_FALSE(writes(*sim).contains("22=0001")) << "nothing of the calibration sent";
}

// One record per calibration with the indicator's model, version and both
// identification texts (one read of registers 199 and 204 once the checks passed), so
// that `history --indicator` finds the tool's calibrations too.
TEST_F(CalibrateCli, TheRecordNamesTheIndicatorSoTheHistoryFindsIt)
{
    vx::test::DataHome home;
    ASSERT_EQ(run({"calibrate", "zero", "--yes", "--note", "cell 2"}).exitCode, 0);
    EXPECT_EQ(vx::test::RequestTexts(sim->port.framesSent()).count("199/20"), 1);
    const QList<QByteArray> lines = home.historyBytes().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1);
    const std::optional<vx::HistoryRecord> record = vx::ParseHistoryLine(lines.first());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->indicator.model, "ZR2");
    EXPECT_EQ(record->indicator.version, "ZR2 V2.20");
    EXPECT_EQ(record->indicator.identification, "ZR2 V2.20");
    // Row 83 as the parameter read shows it: the text without its last character.
    EXPECT_EQ(record->indicator.identification2, "SN0001234");
    EXPECT_EQ(record->procedure, "zero");
    EXPECT_EQ(record->result, "finished");
    EXPECT_EQ(record->note, "cell 2");

    const CliRun found = run({"history", "--indicator", "SN0001234"});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_TRUE(found.out.contains("calibration zero: finished")) << found.out.toStdString();
}

// ---------------------------------------------------------------------------
// The real executable on a pseudo-terminal

TEST(CalibrateEndToEnd, GeneralCalibrationThroughARealSerialPort)
{
    SimProcess sim({"--checksum", "off"});
    ASSERT_TRUE(sim.ready());
    QTemporaryDir settings;
    const CliRun r = RunCliProcess(settings.filePath("vextora.ini"), {"--port", sim.link, "--checksum", "off", "calibrate", "general", "--yes",
                                       "--weight", "150", "--capacity", "300", "--division", "0.2"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "general calibration: finished\n");
    EXPECT_EQ(r.err.count("Successful\n"), 3) << r.err.toStdString();

    // The refused span of an indicator told to refuse one: no finish, exit 4.
    SimProcess refusing({"--span-refusals", "1"});
    ASSERT_TRUE(refusing.ready());
    const CliRun span = RunCliProcess(settings.filePath("vextora.ini"), {"--port", refusing.link, "calibrate", "span", "--yes", "--weight", "10"});
    EXPECT_EQ(span.exitCode, 4) << span.err.toStdString();
    EXPECT_EQ(span.out, "span calibration: cancelled, a step was refused\n");
}

}  // namespace
