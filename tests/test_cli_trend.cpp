// vextora-cli trend: in-process on the virtual indicator and the virtual clock (the
// samples as they come, the figures at the end, the CSV, JSON, a refused answer,
// usage and file errors, an interruption), and the real executable against
// vextora-sim with its moving weight, stopped by SIGINT.

#include "support/CliProcess.h"

#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

class CliTrend : public ::testing::Test {
protected:
    CliTrend()
    {
        // Gross 125,0 kg rising by 0,2 kg a read, net standing at 100,0 kg (the
        // indicator's default range: 300 kg by 0.1).
        sim.device.onRead(0, [this](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, 1250 + 2 * grossReads++); });
        sim.device.onRead(3, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(3, 1000); });
    }
    CliRun run(const QStringList &args, std::function<bool(const CliRun &)> interrupted = {})
    {
        return cli.run(sim, QStringList{"--checksum", "off"} + args, std::move(interrupted));
    }
    int framesTo(const QString &frame) const { return int(sim.port.framesSent().count(frame)); }

    InProcessIndicator sim{vx::test::WithoutChecksum()};
    InProcessCli cli;
    int grossReads = 0;
};

TEST_F(CliTrend, PrintsEachSampleThenTheFiguresAndWritesTheCsv)
{
    const QString csv = cli.dir.filePath("trend.csv");
    const CliRun r = run({"trend", "--rate", "5", "--seconds", "1", "--csv", csv});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    EXPECT_EQ(lines.mid(0, 7),
              QStringList({"gross and net weight, 5 a second, for 1 s; division 0.1 kg",
                           "   time s      gross kg        net kg",
                           "    0.000         125.0         100.0",
                           "    0.200         125.2         100.0",
                           "    0.400         125.4         100.0",
                           "    0.600         125.6         100.0",
                           "    0.800         125.8         100.0"}));
    // 125.0 .. 125.8 kg: mean 125.4, deviations -0.4 .. 0.4 give squares 0.4 in all,
    // 0.08 a value, sd 0.2828; 0.2 kg every 0.2 s is 60 kg a minute. A division is
    // 0.1 kg: ten times each figure.
    EXPECT_EQ(lines.mid(7, 8),
              QStringList({"",
                           "figures                 gross kg     gross d        net kg       net d",
                           "samples                        5                         5",
                           "minimum                    125.0        1250         100.0        1000",
                           "maximum                    125.8        1258         100.0        1000",
                           "mean                     125.400     1254.00       100.000     1000.00",
                           "standard deviation         0.283        2.83         0.000        0.00",
                           "drift per minute          60.000      600.00         0.000        0.00"}));
    EXPECT_EQ(fileBytes(csv), QByteArray("time,gross,net\r\n"
                                         "0.000,125.0,100.0\r\n"
                                         "0.200,125.2,100.0\r\n"
                                         "0.400,125.4,100.0\r\n"
                                         "0.600,125.6,100.0\r\n"
                                         "0.800,125.8,100.0\r\n"));
    // The samples are display reads alone: five of register 0 and five of register
    // 3, four bytes each, the last ten frames; no host-mode command anywhere.
    QStringList reads;
    for (int i = 0; i < 5; ++i)
        reads << "@0300000002\r" << "@0300030002\r";
    EXPECT_EQ(sim.port.framesSent().mid(sim.port.framesSent().size() - 10), reads);
    EXPECT_EQ(framesTo("@0300000002\r"), 5);
    // Host mode would be command 19 or 20 written to register 19.
    EXPECT_EQ(framesTo("@1000130001020013\r"), 0);
    EXPECT_EQ(framesTo("@1000130001020014\r"), 0);
}

TEST_F(CliTrend, JsonIsOneObjectALine)
{
    const CliRun r = run({"--json", "trend", "--rate", "2", "--seconds", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    auto object = [&](int i) { return QJsonDocument::fromJson(lines[i].toUtf8()).object(); };
    EXPECT_EQ(object(0).value("rate"), QJsonValue(2));
    EXPECT_EQ(object(0).value("division"), QJsonValue(0.1));
    EXPECT_EQ(object(1).value("time"), QJsonValue(0.0));
    EXPECT_EQ(object(1).value("gross"), QJsonValue(125.0));
    EXPECT_EQ(object(2).value("time"), QJsonValue(0.5));
    EXPECT_EQ(object(2).value("gross"), QJsonValue(125.2));
    EXPECT_EQ(object(2).value("net"), QJsonValue(100.0));
    const QJsonObject end = object(3);
    EXPECT_EQ(end.value("samples"), QJsonValue(2));
    EXPECT_EQ(end.value("interrupted"), QJsonValue(false));
    const QJsonObject gross = end.value("kg").toObject().value("gross").toObject();
    EXPECT_EQ(gross.value("count"), QJsonValue(2));
    EXPECT_DOUBLE_EQ(gross.value("mean").toDouble(), 125.1);
    EXPECT_NEAR(gross.value("driftPerMinute").toDouble(), 24.0, 1e-9) << "0.2 kg in half a second";
    const QJsonObject divisions = end.value("divisions").toObject().value("gross").toObject();
    EXPECT_EQ(divisions.value("minimum"), QJsonValue(1250.0));
    EXPECT_EQ(divisions.value("maximum"), QJsonValue(1252.0));
}

// A weight that never answers whole is a dash and an empty field, never 0. The trend
// follows the gross weight: without one answer of it the run has failed (exit 1),
// whatever the net weight did; a net weight lacking alone is said and the run stands.
TEST_F(CliTrend, ARefusedWeightIsADashAndAnEmptyField)
{
    const QString csv = cli.dir.filePath("trend.csv");
    sim.device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 3, 2});
    const CliRun netRefused = run({"trend", "--rate", "5", "--seconds", "0.4"});
    EXPECT_EQ(netRefused.exitCode, 0) << "the gross weight came whole";
    EXPECT_TRUE(netRefused.out.contains("    0.200         125.2             -\n")) << netRefused.out.toStdString();
    EXPECT_EQ(netRefused.errLines(),
              QStringList({"vextora-cli: 2 of 2 samples lack a weight (shown as -, left empty in the CSV)"}));

    sim.device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 0});
    const CliRun grossRefused = run({"trend", "--rate", "5", "--seconds", "0.4", "--csv", csv});
    EXPECT_EQ(grossRefused.exitCode, 1) << "no gross weight ever answered";
    EXPECT_TRUE(grossRefused.out.contains("    0.200             -         100.0\n")) << grossRefused.out.toStdString();
    EXPECT_TRUE(grossRefused.out.contains("samples                        0                         2\n"));
    EXPECT_EQ(grossRefused.errLines(),
              QStringList({"vextora-cli: 2 of 2 samples lack a weight (shown as -, left empty in the CSV)",
                           "vextora-cli: no gross weight answered"}));
    EXPECT_EQ(fileBytes(csv), QByteArray("time,gross,net\r\n0.000,,100.0\r\n0.200,,100.0\r\n"))
        << "the samples are written all the same";

    sim.device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 3});
    const CliRun bothRefused = run({"trend", "--rate", "5", "--seconds", "0.4", "--csv", csv});
    EXPECT_EQ(bothRefused.exitCode, 1);
    EXPECT_TRUE(bothRefused.err.contains("vextora-cli: no gross weight answered\n")) << bothRefused.err.toStdString();
    EXPECT_EQ(fileBytes(csv), QByteArray("time,gross,net\r\n0.000,,\r\n0.200,,\r\n")) << "kept, never 0";
}

TEST_F(CliTrend, AnInterruptionStillGivesTheFiguresAndTheCsv)
{
    const QString csv = cli.dir.filePath("trend.csv");
    // Stopped once three samples are out (two heading lines before them).
    const CliRun r = run({"trend", "--rate", "10", "--csv", csv},
                         [](const CliRun &sofar) { return sofar.out.count('\n') >= 5; });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("gross and net weight, 10 a second, until interrupted;")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("samples                        3                         3\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("drift per minute         120.000     1200.00")) << "0.2 kg every 0.1 s\n"
                                                                                 << r.out.toStdString();
    EXPECT_EQ(fileBytes(csv), QByteArray("time,gross,net\r\n0.000,125.0,100.0\r\n0.100,125.2,100.0\r\n"
                                         "0.200,125.4,100.0\r\n"));
}

TEST_F(CliTrend, WithoutTheRangeNothingIsSampled)
{
    sim.device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 128, 3});
    const CliRun r = run({"trend", "--seconds", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("range could not be read")) << r.err.toStdString();
    EXPECT_EQ(framesTo("@0300000002\r"), 0);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
}

TEST_F(CliTrend, UsageAndFileErrorsComeBeforeAnythingIsSent)
{
    const std::vector<QStringList> usage = {
        {"trend", "--rate", "3"}, {"trend", "--rate", "20"}, {"trend", "--rate", "x"}, {"trend", "--rate", "-1"},
        {"trend", "--seconds", "0"}, {"trend", "--seconds", "-5"}, {"trend", "--seconds", "soon"},
        {"trend", "--seconds", "90000"}, {"trend", "now"},
    };
    for (const QStringList &args : usage) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
    }
    // A folder is no file to write the samples to.
    const CliRun folder = run({"trend", "--seconds", "1", "--csv", cli.dir.path()});
    EXPECT_EQ(folder.exitCode, 7);
    EXPECT_TRUE(folder.err.startsWith("vextora-cli: cannot write \"" + cli.dir.path() + "\"")) << folder.err.toStdString();
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
    EXPECT_EQ(sim.port.openCount(), 0);

    // "fastest" is rate 0.
    const CliRun fastest = run({"trend", "--rate", "fastest", "--seconds", "0.5"});
    EXPECT_EQ(fastest.exitCode, 0) << fastest.err.toStdString();
    EXPECT_TRUE(fastest.out.startsWith("gross and net weight, as fast as the line allows, for 0.5 s;"));
}

// ---------------------------------------------------------------------------
// The real executable on a pseudo-terminal

TEST(CliTrendEndToEnd, SigintEndsTheRunWithFiguresAndCsv)
{
    QTemporaryDir dir;
    vx::test::SimProcess sim({"--weight-motion", "on", "--load-at", "0"});
    ASSERT_TRUE(sim.ready());
    const QString csv = dir.filePath("trend.csv");
    vx::test::RunningCli trend(dir.filePath("vextora.ini"), {"--port", sim.link, "trend", "--rate", "5", "--csv", csv});
    EXPECT_TRUE(trend.waitUntil([&] { return trend.out.count('\n') >= 5; }));
    trend.signal(SIGINT);
    const CliRun r = trend.finish();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\nstandard deviation ")) << r.out.toStdString();
    const QList<QByteArray> rows = fileBytes(csv).split('\n');
    EXPECT_EQ(rows.value(0), "time,gross,net\r");
    ASSERT_GE(rows.size(), 5) << "the heading, three samples or more and the end";
    // Each sample row has both weights: a time and two numbers with one decimal.
    for (int i = 1; i + 1 < rows.size(); ++i)
        EXPECT_TRUE(QRegularExpression(R"(^\d+\.\d{3},-?\d+\.\d,-?\d+\.\d\r$)").match(QString::fromLatin1(rows[i])).hasMatch())
            << rows[i].toStdString();
}

}  // namespace
