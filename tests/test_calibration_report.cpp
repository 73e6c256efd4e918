// The calibration report: `vextora-cli calibrate --report` against the virtual
// indicator. The real executables on a pseudo-terminal write the PDF, read back with
// poppler's pdfinfo, pdftotext and pdffonts; in-process runs show what the report
// adds on the wire (reads only, before and after the run) and what a report that
// cannot be written does.

#include "support/CliProcess.h"
#include "support/RequestText.h"

#include "calibration/CalibrationReport.h"
#include "shell/TextService.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
using vx::test::RequestTexts;
using vx::test::RunCliProcess;
using vx::test::SimProcess;

// A poppler tool's standard output (empty when it failed).
QString poppler(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The page's text with every run of blanks made one space, line by line.
QStringList textLines(const QString &pdf)
{
    QStringList lines;
    for (const QString &line : poppler("pdftotext", {"-layout", pdf, "-"}).split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    return lines;
}

// Register 22 and 20 writes as "reg=data", checksum on, no address.
QStringList writes(const InProcessIndicator &sim)
{
    QStringList out;
    for (const QString &frame : sim.port.framesSent())
        if (frame.startsWith("@10"))
            out << QStringLiteral("%1=%2").arg(frame.mid(3, 4).toInt(nullptr, 16)).arg(frame.mid(13, frame.size() - 16));
    return out;
}

TEST(CalibrationReport, SpanCalibrationReportThroughARealSerialPort)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    QTemporaryDir dir;
    const QString pdf = dir.filePath("span report.pdf");
    const CliRun r = RunCliProcess(dir.filePath("vextora.ini"),
                                   {"--port", sim.link, "calibrate", "span", "--yes", "--weight", "150", "--report", pdf,
                                    "--note", "Test weight class M1, 150 kg, certificate 2026-117"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("span calibration: finished\nreport: %1\n").arg(pdf));

    // One A4 page (210 x 297 mm, about 595 x 842 points).
    const QString info = poppler("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+59[56](\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")))
        << info.toStdString();

    // Every font embedded: pdffonts' "emb" column says yes on each font line.
    const QStringList fonts = poppler("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString &font : fonts)
        EXPECT_TRUE(font.contains(QRegularExpression("\\syes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$")))
            << "not embedded: " << font.toStdString();

    // The virtual indicator's default range, 300 kg by 0.1, single range, legal trade,
    // both before and after a span calibration (which leaves the range alone).
    const QStringList lines = textLines(pdf);
    const QString all = lines.join('\n');
    EXPECT_TRUE(lines.contains("Calibration Report")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Procedure Span calibration")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Indicator model ZR2")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Version text ZR2 V2.20")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Identification texts ZR2 V2.20 / SN0001234")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Test weight 150 kg")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Outcome Finished")) << all.toStdString();
    EXPECT_TRUE(lines.contains("As found As left")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Operating mode Single range Single range")) << all.toStdString();
    EXPECT_TRUE(lines.contains("1st capacity 300 kg 300 kg")) << all.toStdString();
    EXPECT_TRUE(lines.contains("1st division 0.1 kg 0.1 kg")) << all.toStdString();
    EXPECT_TRUE(lines.contains("2nd capacity — —")) << "single range: no 2nd range";
    EXPECT_TRUE(lines.contains("Metrological (legal trade) Yes Yes")) << all.toStdString();
    // The virtual indicator's load sways between 124,5 and 125,5 kg.
    EXPECT_TRUE(all.contains(QRegularExpression("\\nDisplayed gross weight 12[45],\\d kg 12[45],\\d kg\\n")))
        << all.toStdString();
    // The span and the finish step, each accepted with code 00.
    EXPECT_TRUE(lines.contains("Step Result Indicator code")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Span (test weight on the platform) Accepted 00")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Finish (store the calibration) Accepted 00")) << all.toStdString();
    EXPECT_FALSE(all.contains("22 =")) << "the technician's words, no register codes";
    EXPECT_TRUE(lines.contains("Test weight class M1, 150 kg, certificate 2026-117")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Signature")) << all.toStdString();
}

TEST(CalibrationReport, RefusedSpanAndTurkishTexts)
{
    // The indicator refuses the span once (code 25): the step is in the report with its
    // code, and the run (the tool types the weight once) does not finish. No weight to
    // type again is no cancel: the refusal is what the report says.
    SimProcess sim({"--span-refusals", "1"});
    ASSERT_TRUE(sim.ready());
    QTemporaryDir dir;
    const QString pdf = dir.filePath("rapor.pdf");
    const CliRun r = RunCliProcess(dir.filePath("vextora.ini"), {"--language", "Türkçe.txt", "--port", sim.link,
                                                                  "calibrate", "span", "--yes", "--weight", "100",
                                                                  "--report", pdf});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("report: %1\n").arg(pdf))) << r.out.toStdString();
    const QStringList lines = textLines(pdf);
    const QString all = lines.join('\n');
    EXPECT_TRUE(lines.contains("Kalibrasyon Raporu")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Span (test ağırlığı kefede) Reddedildi 25")) << all.toStdString();
    EXPECT_FALSE(all.contains("Bitiş")) << "no finish step after the refusal";
    EXPECT_TRUE(lines.contains("Sonuç Tamamlanmadı: indikatör bir adımı reddetti")) << all.toStdString();
    EXPECT_TRUE(lines.contains("1. kapasite 300 kg 300 kg")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Metrolojik (yasal ticaret) Evet Evet")) << all.toStdString();
}

// In-process (no QGuiApplication: no font to draw with) the report cannot be drawn,
// which shows what a failed report does, and what its reads are.
TEST(CalibrationReport, ReadsOnlyAroundTheRunAndAFailedReportIsAFileError)
{
    InProcessIndicator plain;
    InProcessCli cli;
    const CliRun without = cli.run(plain, {"calibrate", "span", "--yes", "--weight", "150"});
    ASSERT_EQ(without.exitCode, 0) << without.err.toStdString();
    const QStringList plainRequests = RequestTexts(plain.port.framesSent());
    EXPECT_FALSE(plainRequests.contains("3/4")) << "no display read without --report";

    InProcessIndicator reported;
    QTemporaryDir dir;
    const CliRun with = cli.run(reported, {"calibrate", "span", "--yes", "--weight", "150", "--report",
                                           dir.filePath("r.pdf"), "--note", "n"});
    EXPECT_EQ(with.exitCode, 7) << "a calibration without its report is no success";
    EXPECT_TRUE(with.err.contains("cannot write the report")) << with.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("r.pdf")));
    // The same writes as without a report, then only the commands of the range read after.
    EXPECT_EQ(writes(reported).join(' '), (writes(plain) + QStringList{"19=0007", "19=000C"}).join(' '));
    // The requests: the plain run's, with the display read (0, 3) after the range read
    // of the start and the identification texts (199, 204), and after the last step the
    // range (command 7, 149, command 12, 128) and the display again.
    QStringList expected = plainRequests;
    const int weightRead = int(expected.indexOf("0/4"));
    ASSERT_GE(weightRead, 0);
    expected.insert(weightRead, "3/4");
    expected.insert(weightRead, "0/4");
    expected << "19=7" << "149/2" << "19=12" << "128/6" << "0/4" << "3/4";
    EXPECT_EQ(RequestTexts(reported.port.framesSent()).join(' '), expected.join(' '));
    ASSERT_EQ(plainRequests.indexOf("199/20"), weightRead - 1) << "the identification read just before the run";
}

// A cancelled calibration writes no report (and reads nothing for one); its history
// record is written all the same. A run that sent no step has nothing to report.
TEST(CalibrationReport, ACancelledOrStepLessRunWritesNoReport)
{
    InProcessIndicator sim;
    InProcessCli cli;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("r.pdf");
    CliRun r = cli.run(sim, {"calibrate", "zero", "--report", pdf});
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("no report: the calibration was cancelled")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(RequestTexts(sim.port.framesSent()).count("128/6"), 1) << "no range read after it for a report";

    InProcessIndicator busy;
    // Busy to the display read before the run and to the span's weight read.
    busy.device.addFault({vx::sim::FaultKind::Busy, vx::sim::FaultScope::Register, 0, 2});
    r = cli.run(busy, {"calibrate", "span", "--yes", "--weight", "100", "--report", pdf});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("no report: no step reached the indicator")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(CalibrationReport, AReportThatCannotBeWrittenStopsBeforeAnythingIsSent)
{
    InProcessIndicator sim;
    InProcessCli cli;
    QTemporaryDir dir;
    for (const QString &target : {dir.filePath("missing/r.pdf"), dir.path()}) {
        const CliRun r = cli.run(sim, {"calibrate", "zero", "--yes", "--report", target});
        EXPECT_EQ(r.exitCode, 7) << target.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("cannot write the report %1").arg(target))) << r.err.toStdString();
        EXPECT_TRUE(sim.port.framesSent().isEmpty()) << target.toStdString();
    }
}

// The page's texts from what a run left: unknown values are dashes, a single range
// has no 2nd range, each step keeps the indicator's code.
TEST(CalibrationReport, PageTextsOfAGeneralCalibrationThatChangedTheRange)
{
    vx::CalibrationReport r;
    r.when = QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7));
    r.kind = vx::CalibrationKind::General;
    r.model = "ZR2";
    r.modelText = "ZR2 V2.20 ";
    r.secondText = "SN00012345";
    // Found: dual range 60 kg by 0.02 and 150 kg by 0.05, not legal for trade
    // (capacity codes 19 and 25, division codes 7 and 8).
    r.rangeFound = vx::RangeCodes{.mode = 1, .capacity1 = 19, .division1 = 7, .capacity2 = 25, .division2 = 8,
                                  .metrology = 0};
    // Left: single range 300 kg by 0.1, legal for trade (capacity code 30, division code 9).
    r.rangeLeft = vx::RangeCodes{.mode = 0, .capacity1 = 30, .division1 = 9, .capacity2 = 30, .division2 = 9,
                                 .metrology = 1};
    r.grossFound = vx::DisplayWeight{.units = -4, .decimals = 2};
    r.testWeight = "150.0";
    r.steps = {{3, vx::PollOutcome::Done, "00"}, {4, vx::PollOutcome::Refused, "25"}, {4, vx::PollOutcome::Done, "00"},
               {2, vx::PollOutcome::GaveUp, ""}};
    r.end = vx::CalibrationEnd::Finished;
    r.note = "  new load cell  ";

    vx::TextService texts;
    texts.use({}, "English.txt");
    const vx::CalibrationReportText page = vx::ReportText(r, texts);
    using Fact = std::pair<QString, QString>;
    EXPECT_EQ(page.facts, (std::vector<Fact>{{"Date and time", "2026-03-09 14:05:07"},
                                             {"Indicator model", "ZR2"},
                                             {"Version text", "—"},
                                             {"Identification texts", "ZR2 V2.20 / SN00012345"},
                                             {"Procedure", "General calibration"},
                                             {"Test weight", "150.0 kg"},
                                             {"Outcome", "Finished"}}));
    // The outcome is the run's as the exit status counts it: a step without a valid
    // status, or a refused one, is no finished calibration.
    r.pollGaveUp = true;
    EXPECT_EQ(vx::ReportText(r, texts).facts.back().second, "Not finished: no valid status from a step");
    r.stepRefused = true;
    EXPECT_EQ(vx::ReportText(r, texts).facts.back().second,
              "Not finished: no valid status from a step; the indicator refused a step");
    r.pollGaveUp = r.stepRefused = false;
    QStringList rows;
    for (const auto &row : page.comparison)
        rows << row.label + " | " + row.found + " | " + row.left;
    EXPECT_EQ(rows, QStringList({"Operating mode | Dual range | Single range", "1st capacity | 60 kg | 300 kg",
                                 "1st division | 0.02 kg | 0.1 kg", "2nd capacity | 150 kg | —",
                                 "2nd division | 0.05 kg | —", "Metrological (legal trade) | No | Yes",
                                 "Displayed gross weight | -0,04 kg | —"}));
    QStringList steps;
    for (const auto &step : page.steps)
        steps << step[0] + " | " + step[1] + " | " + step[2];
    EXPECT_EQ(steps, QStringList({"Zero (platform empty) | Accepted | 00",
                                  "Span (test weight on the platform) | Refused | 25",
                                  "Span (test weight on the platform) | Accepted | 00",
                                  "Finish (store the calibration) | No status | —"}));
    EXPECT_EQ(page.note, "new load cell");

    // Nothing known: every value a dash; the outcome of a run that did not finish.
    vx::CalibrationReport empty;
    empty.end = vx::CalibrationEnd::Refused;
    const vx::CalibrationReportText blank = vx::ReportText(empty, texts);
    for (const auto &row : blank.comparison)
        EXPECT_TRUE(row.found == "—" && row.left == "—") << row.label.toStdString();
    EXPECT_EQ(blank.facts.back().second, "Not finished: no answer, the link was dropped");
    EXPECT_EQ(blank.facts.front().second, "—");
}

}  // namespace
