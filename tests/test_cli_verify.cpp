// vextora-cli verify: in-process against the virtual indicator's platform (a
// technician who puts on the load each prompt names, one line of standard input per
// step), the exit status of a pass, a failure, a time-out, a cancel and the usage
// errors, the JSON; and the real executables on a pseudo-terminal writing the test
// record, read back with pdftotext, and the service history naming it.

#include "support/CliProcess.h"
#include "support/DataHome.h"

#include "cli/StandardInput.h"
#include "sim/Platform.h"

#include "service/History.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vx::test {
namespace {

// The load and segment the last prompt on standard error asks for (0 for the zero step).
std::pair<double, int> askedLoad(const QString &err)
{
    const QStringList lines = err.split('\n', Qt::SkipEmptyParts);
    const QString prompt = lines.isEmpty() ? QString() : lines.last();
    const QRegularExpressionMatch load = QRegularExpression("put ([0-9.]+) kg").match(prompt);
    const QRegularExpressionMatch segment = QRegularExpression("segment ([1-4])").match(prompt);
    return {load.hasMatch() ? load.captured(1).toDouble() : 0.0, segment.hasMatch() ? segment.captured(1).toInt() : 0};
}

class VerifyCli : public ::testing::Test {
protected:
    void indicator(sim::PlatformOptions options)
    {
        platform = std::make_shared<sim::Platform>(options);
        sim = std::make_unique<InProcessIndicator>();
        sim::InstallPlatform(sim->device, [this] { return sim->clock.elapsed(); }, platform);
    }
    // Confirms `lines` steps (all when negative), each after putting on the load asked.
    CliRun run(const QStringList &args, int lines = -1)
    {
        int answered = 0;
        cli::StandardInputReader() = [&, lines](const QString &prompt) -> std::optional<QString> {
            if (lines >= 0 && answered >= lines)
                return std::nullopt;
            ++answered;
            const auto [kg, segment] = askedLoad(prompt);
            platform->put(kg, segment, sim->clock.elapsed());
            return QString();
        };
        const CliRun r = cli.run(*sim, args);
        cli::StandardInputReader() = {};
        return r;
    }
    std::shared_ptr<sim::Platform> platform;
    std::unique_ptr<InProcessIndicator> sim;
    InProcessCli cli;
};

TEST_F(VerifyCli, TheUsualPlanPassesOnARightScale)
{
    indicator({.settle = 0.5});
    const CliRun r = run({"--json", "verify"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = r.json();
    EXPECT_EQ(o.value("class").toString(), "III");
    EXPECT_FALSE(o.value("inService").toBool());
    EXPECT_TRUE(o.value("pass").toBool());
    EXPECT_TRUE(o.value("complete").toBool());
    const QJsonArray steps = o.value("steps").toArray();
    ASSERT_EQ(steps.size(), 22);
    const QJsonObject half = steps.at(3).toObject();
    EXPECT_EQ(half.value("kind").toString(), "increasing");
    EXPECT_DOUBLE_EQ(half.value("reference").toDouble(), 150);
    EXPECT_DOUBLE_EQ(half.value("indication").toDouble(), 150);
    EXPECT_DOUBLE_EQ(half.value("error").toDouble(), 0);
    EXPECT_DOUBLE_EQ(half.value("mpe").toDouble(), 0.1);
    EXPECT_DOUBLE_EQ(half.value("e").toDouble(), 0.1);
    EXPECT_TRUE(half.value("pass").toBool());
    EXPECT_EQ(steps.at(21).toObject().value("kind").toString(), "eccentricity");
    EXPECT_TRUE(r.err.contains("vextora-cli: Step 1 of 22: clear the platform (zero), then confirm.\n"))
        << r.err.toStdString();
}

TEST_F(VerifyCli, ASpanErrorFailsAtHalfMaxWithExitFour)
{
    indicator({.spanError = 0.0012, .settle = 0.5});
    const CliRun r = run({"verify", "--loads", "2,150"});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    // The table: 2 kg passes, 150 kg shows 150,18 -> 150,2 (2 e off, 1 e allowed), both ways.
    EXPECT_TRUE(r.out.contains(QRegularExpression("Increasing load\\s+2,0\\s+2,0\\s+0,0\\s+±0,05\\s+0,1\\s+PASS")))
        << r.out.toStdString();
    EXPECT_EQ(r.out.count(QRegularExpression("load\\s+150,0\\s+150,2\\s+\\+0,2\\s+±0,1\\s+0,1\\s+FAIL")), 2)
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Overall verdict: FAIL")) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains("zero")) << "naming the loads runs only the weighing test";
}

TEST_F(VerifyCli, AWeightThatNeverSettlesFailsWithExitFour)
{
    indicator({.settle = 120});
    const CliRun r = run({"--json", "verify", "--loads", "50", "--stable-timeout", "2"});
    EXPECT_EQ(r.exitCode, 4);
    const QJsonArray steps = r.json().value("steps").toArray();
    ASSERT_EQ(steps.size(), 2);
    EXPECT_FALSE(steps.at(0).toObject().value("pass").toBool());
    EXPECT_TRUE(r.json().value("complete").toBool());
    const CliRun text = run({"verify", "--loads", "50", "--stable-timeout", "2"});
    EXPECT_TRUE(text.out.contains("FAIL (not stable within 2 s)")) << text.out.toStdString();
}

TEST_F(VerifyCli, TheEndOfInputCancelsWithExitSixAndTheLineIsFree)
{
    DataHome home;
    indicator({.settle = 0.5});
    const CliRun r = run({"--json", "verify", "--repeatability", "100", "--eccentricity", "100"}, 2);
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_FALSE(r.json().value("complete").toBool());
    EXPECT_FALSE(r.json().value("pass").toBool());
    EXPECT_EQ(r.json().value("steps").toArray().size(), 2);
    EXPECT_FALSE(sim->port.isOpen()) << "the line is let go";
    // The history records the verification as cancelled.
    bool found = false;
    for (const HistoryRecord &h : ReadHistory(home.historyFile()).records)
        found = found || (h.operation == HistoryOperation::Verification && h.result == "cancelled");
    EXPECT_TRUE(found);
}

TEST_F(VerifyCli, UsageErrorsExitTwo)
{
    indicator({});
    const QList<QStringList> before = {
        {"verify", "--class", "II"},          {"verify", "--loads", "50,x"},
        {"verify", "--loads", "-5"},          {"verify", "--repeatability", ""},
        {"verify", "--eccentricity", "0"},    {"verify", "--stable-timeout", "0"},
        {"verify", "--stable-timeout", "601"}, {"verify", "extra"},
    };
    for (const QStringList &args : before) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(sim->port.framesSent().isEmpty()) << "nothing sent before the options are right";
    // Above Max (300 kg) is known once the range is read; nothing is weighed.
    const CliRun above = run({"verify", "--loads", "50,301"});
    EXPECT_EQ(above.exitCode, 2);
    EXPECT_TRUE(above.err.contains("above Max, 300 kg")) << above.err.toStdString();
    EXPECT_FALSE(above.err.contains("Step 1"));
}

TEST_F(VerifyCli, InServiceLimitsAreDoubled)
{
    // 0,06 % too much: 150 kg shows 150,09 -> 150,1 within 1 e; 300 kg shows 300,18 ->
    // 300,2: 2 e off, 1,5 e allowed when verified, 3 e in service.
    indicator({.spanError = 0.0006, .settle = 0.5});
    EXPECT_EQ(run({"verify", "--loads", "150,300"}).exitCode, 4);
    const CliRun r = run({"--json", "verify", "--loads", "150,300", "--in-service", "--class", "iiii"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_TRUE(r.json().value("inService").toBool());
    EXPECT_EQ(r.json().value("class").toString(), "IIII");
}

// ---- the real executables and the record ------------------------------------------------

// vextora-cli verify as a process against vextora-sim with a platform file: each prompt
// on standard error is answered by writing its load into the file and a line to
// standard input; `confirmations` lines in all (then the input ends).
struct ProcessRun {
    CliRun result;
    QString pdfText;
};

ProcessRun verifyProcess(const QStringList &simOptions, const QStringList &args, int confirmations = 1000)
{
    QTemporaryDir dir;
    const QString loadFile = dir.filePath("platform.txt");
    SimProcess sim(QStringList{"--platform-file", loadFile, "--settle", "0.3"} + simOptions);
    if (!sim.ready())
        return {};
    const QString pdf = dir.filePath("record.pdf");
    QProcess p;
    p.start(Binary("vextora-cli"), QStringList{"--settings", dir.filePath("vextora.ini"), "--language", "English.txt"}
                                       + ProcessReadingTime + QStringList{"--port", sim.link, "verify", "--report", pdf}
                                       + args);
    QString err;
    int answered = 0;
    QDeadlineTimer deadline(120000);
    while (p.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        p.waitForReadyRead(100);
        err += QString::fromUtf8(p.readAllStandardError());
        const int prompts = err.count(QRegularExpression("Step \\d+ of \\d+"));
        if (prompts > answered) {
            if (answered >= confirmations) {
                p.closeWriteChannel();
                continue;
            }
            const auto [kg, segment] = askedLoad(err);
            QFile file(loadFile);
            if (file.open(QIODevice::WriteOnly))
                file.write(QStringLiteral("%1 %2\n").arg(kg).arg(segment).toUtf8());
            file.close();
            ++answered;
            p.write("\n");
        }
    }
    if (!p.waitForFinished(5000))
        p.kill();
    err += QString::fromUtf8(p.readAllStandardError());
    ProcessRun run{{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                    QString::fromUtf8(p.readAllStandardOutput()), err},
                   {}};
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    if (text.waitForFinished(30000))
        run.pdfText = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    return run;
}

TEST(VerifyRecord, APassingVerificationWritesItsRecordThroughARealSerialPort)
{
    DataHome home;
    const ProcessRun r = verifyProcess({}, {"--loads", "50,150", "--eccentricity", "100", "--customer",
                                            "Akın Gıda", "--site", "Line 2", "--technician", "E. Demir",
                                            "--weights", "M1 set 7, certificate 2026-117"});
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err.toStdString();
    const QString &t = r.pdfText;
    EXPECT_TRUE(t.contains("Verification Test Record")) << t.toStdString();
    EXPECT_TRUE(t.contains("Customer Akın Gıda")) << t.toStdString();
    EXPECT_TRUE(t.contains("Test weights M1 set 7, certificate 2026-117"));
    EXPECT_TRUE(t.contains("Range and divisions Max 300 kg, e = 0,1 kg"));
    EXPECT_TRUE(t.contains("Accuracy class III"));
    EXPECT_TRUE(t.contains("Increasing load 150,0 150,0 0,0 ±0,1 0,1 PASS")) << t.toStdString();
    EXPECT_TRUE(t.contains("Eccentricity, segment 4 100,0 100,0 0,0 ±0,1 0,1 PASS"));
    EXPECT_TRUE(t.contains("each is known only to ±½ e"));
    EXPECT_TRUE(t.contains("Overall verdict PASS: every step within the permissible error"));
    EXPECT_TRUE(t.contains("Technician's signature"));
    // The history names the record and its verdict.
    const HistoryReading history = ReadHistory(home.historyFile());
    ASSERT_EQ(history.records.size(), 1u);
    EXPECT_EQ(history.records[0].operation, HistoryOperation::Verification);
    EXPECT_EQ(history.records[0].result, "pass");
    EXPECT_TRUE(history.records[0].report.value_or(QString()).endsWith("record.pdf"));
}

TEST(VerifyRecord, ASpanErrorAtHalfMaxIsAFailOnTheRecord)
{
    DataHome home;
    const ProcessRun r = verifyProcess({"--span-error", "0.12"}, {"--loads", "150"});
    ASSERT_EQ(r.result.exitCode, 4) << r.result.err.toStdString();
    EXPECT_TRUE(r.pdfText.contains("Increasing load 150,0 150,2 +0,2 ±0,1 0,1 FAIL")) << r.pdfText.toStdString();
    EXPECT_TRUE(r.pdfText.contains("Overall verdict FAIL: at least one step outside the permissible error"));
    EXPECT_EQ(ReadHistory(home.historyFile()).records.at(0).result, "fail");
}

TEST(VerifyRecord, ATimeOutAndACancelAreOnTheRecord)
{
    DataHome home;
    const ProcessRun slow = verifyProcess({"--settle", "60"}, {"--loads", "50", "--stable-timeout", "1"});
    ASSERT_EQ(slow.result.exitCode, 4) << slow.result.err.toStdString();
    EXPECT_TRUE(slow.pdfText.contains("FAIL (not stable within 1 s)")) << slow.pdfText.toStdString();

    const ProcessRun cancelled = verifyProcess({}, {"--loads", "50,150"}, 1);
    ASSERT_EQ(cancelled.result.exitCode, 6) << cancelled.result.err.toStdString();
    EXPECT_TRUE(cancelled.pdfText.contains("Increasing load 50,0 50,0 0,0 ±0,05 0,1 PASS"))
        << cancelled.pdfText.toStdString();
    EXPECT_TRUE(cancelled.pdfText.contains("INCOMPLETE: the test was ended before its last step"));
    EXPECT_FALSE(cancelled.pdfText.contains("150,0"));
}

}  // namespace
}  // namespace vx::test
