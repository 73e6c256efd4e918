// The calibration report from the window: after a span calibration against the
// virtual indicator the panel offers the report; the note and the file are asked
// for, and the PDF holds the display read just before and just after the run. The
// same calibration through the tool gives the same report and the same history
// record; saving the report adds no record; a cancelled run offers none.

#include "GuiFixture.h"
#include "support/CliRunner.h"
#include "support/DataHome.h"

#include "gui/CalibrationPage.h"
#include "gui/WeighingCalibrationPanel.h"
#include "service/History.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

namespace {

using vx::test::GuiTest;

QStringList pdfLines(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    QStringList lines;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    return lines;
}

class CalibrationReportWindow : public GuiTest {
protected:
    CalibrationReportWindow()
    {
        for (const char *name : {"SGMetrolojik.txt", "MTMetrolojik.txt", "Normal.txt"})
            QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(name), dir.filePath(name));
        // The platform's load: what register 0 answers, changed by the test.
        device.onRead(0, [this](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, gross); });
        device.onRead(3, [this](vx::sim::VirtualIndicator &d, int, int) { d.setLong(3, gross - 200); });
    }

    vx::gui::WeighingCalibrationPanel &panel() const
    {
        return static_cast<vx::gui::CalibrationPage *>(form->page(vx::Tab::Calibration))->weighing();
    }
    void click(const QString &name) { QTest::mouseClick(ctl(name), Qt::LeftButton); }

    void enterConnected()
    {
        start();
        form->show();
        QApplication::processEvents();
        form->ConnectAction();
        form->tabs()->setCurrentIndex(vx::Tab::Calibration);
        clock.advance(0.5);  // the range read, then the display timer's reads
    }

    // A span calibration with `weight` typed; `during` runs while the entry is up.
    void span(const QString &weight, std::function<void()> during = {})
    {
        struct Check {
            CalibrationReportWindow *test;
            QString weight;
            std::function<void()> during;
            void operator()() const
            {
                if (!test->shown("SSPanel8")) {
                    test->clock.schedule(0.1, *this);
                    return;
                }
                auto *field = test->ctl<QLineEdit>("Text10");
                field->clear();
                QTest::keyClicks(field, weight);
                if (during)
                    during();
                test->click("SSCommand11_0");
            }
        };
        clock.schedule(0.1, Check{this, weight, std::move(during)});
        click("Option1_2");
        click("SSCommand3");
    }

    // "İPTAL" on the weight entry once it is shown.
    void cancelEntry()
    {
        struct Cancel {
            CalibrationReportWindow *test;
            void operator()() const
            {
                if (test->shown("SSPanel8"))
                    test->click("SSCommand11_1");
                else
                    test->clock.schedule(0.1, *this);
            }
        };
        clock.schedule(0.1, Cancel{this});
    }

    qint32 gross = 12345;  // 1234,5 kg with the range's division 0.1
};

TEST_F(CalibrationReportWindow, SpanCalibrationReportHoldsTheReadsBeforeAndAfter)
{
    enterConnected();
    EXPECT_FALSE(shown("ReportButton")) << "offered only after a run";

    // The test weight goes on while the entry is up: 1500,2 kg shown after the run.
    span("150", [this] { gross = 15002; });
    ASSERT_TRUE(shown("ReportButton"));
    clock.advance(0.5);  // the display timer reads again after the run

    const QStringList requests = device.requests();
    QString chosen;
    panel().reportDialog = [&](const QString &proposed) {
        chosen = proposed;
        return dir.filePath("after span");  // ".pdf" is added
    };
    op.inputAnswers = {QStringLiteral("Seal 4471 renewed")};
    QString saved;
    QObject::connect(&panel(), &vx::gui::WeighingCalibrationPanel::reportSaved, [&](const QString &p) { saved = p; });
    click("ReportButton");

    EXPECT_TRUE(QFileInfo(chosen).fileName().startsWith("calibration-")) << chosen.toStdString();
    EXPECT_TRUE(chosen.endsWith(".pdf"));
    const QString pdf = dir.filePath("after span.pdf");
    EXPECT_EQ(saved, pdf);
    ASSERT_TRUE(QFileInfo(pdf).isFile()) << op.messages().join('|').toStdString();
    EXPECT_EQ(device.requests(), requests) << "saving the report sends nothing";
    EXPECT_TRUE(op.messages().last().endsWith(QDir::toNativeSeparators(pdf))) << op.messages().last().toStdString();

    const QStringList lines = pdfLines(pdf);
    const QString all = lines.join('\n');
    // As found / as left: the range read on entering the tab (a span calibration leaves it).
    EXPECT_TRUE(all.contains(QRegularExpression("\\n\\S.* 300 kg 300 kg\\n"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\n\\S.* 0.1 kg 0.1 kg\\n"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\n\\S.* 1234,5 kg 1500,2 kg\\n"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\n\\S.* 150 kg\\n"))) << all.toStdString();
    EXPECT_TRUE(all.contains(" V2.20 / SN0001234\n")) << "read for the report: " << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\nSpan \\(test weight on the platform\\) .+ 00\\n")))
        << all.toStdString();
    EXPECT_TRUE(lines.contains("Seal 4471 renewed")) << all.toStdString();

    // Entering the tab again ends the offer.
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    clock.advance(0.1);
    EXPECT_FALSE(shown("ReportButton"));
}

TEST_F(CalibrationReportWindow, CancelledNoteOrFileWritesNothingAndAFailedWriteIsSaid)
{
    enterConnected();
    span("150");
    ASSERT_TRUE(shown("ReportButton"));
    int dialogs = 0;
    panel().reportDialog = [&](const QString &) {
        ++dialogs;
        return QString();
    };
    op.inputAnswers = {std::nullopt};
    click("ReportButton");
    EXPECT_EQ(dialogs, 0) << "the note cancelled: no file asked for";
    click("ReportButton");
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join('|').toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.pdf"}).isEmpty());

    const QString missing = dir.filePath("no such folder/report.pdf");
    panel().reportDialog = [&](const QString &) { return missing; };
    click("ReportButton");
    ASSERT_FALSE(op.messages().isEmpty());
    EXPECT_TRUE(op.messages().last().contains(QDir::toNativeSeparators(missing))) << op.messages().last().toStdString();
    EXPECT_EQ(op.calls.back().icon, vx::Icon::Critical);
}

// Saving the report names no second record: the run's one record was written when
// it ended. A cancelled run offers no report (and reads nothing for one).
TEST_F(CalibrationReportWindow, OneRecordPerRunAndNoReportForACancelledRun)
{
    vx::test::DataHome home;
    enterConnected();
    span("150");
    ASSERT_TRUE(shown("ReportButton"));
    ASSERT_EQ(vx::ReadHistory().records.size(), 1u);
    panel().reportDialog = [&](const QString &) { return dir.filePath("r.pdf"); };
    op.inputAnswers = {QStringLiteral("note")};
    click("ReportButton");
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("r.pdf"))) << op.messages().join('|').toStdString();
    EXPECT_EQ(vx::ReadHistory().records.size(), 1u) << "saving the report adds no record";

    // The weight entry cancelled: the run is recorded, no report offered.
    cancelEntry();
    click("Option1_2");
    click("SSCommand3");
    const std::vector<vx::HistoryRecord> records = vx::ReadHistory().records;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records.back().result, "cancelled");
    EXPECT_FALSE(shown("ReportButton"));
}

// The window's job and the tool's job: one span calibration each, against indicators
// that answer alike, give the same report page and the same history record, apart
// from the time (and the tool's record naming its report file, which the window's
// cannot: its report is saved after the record).
TEST_F(CalibrationReportWindow, TheWindowAndTheToolGiveTheSameReportAndRecord)
{
    vx::test::DataHome home;
    enterConnected();
    QTest::keyClicks(ctl<QLineEdit>("CalibrationNote"), "weights M1 2026-117");
    span("150", [this] { gross = 15002; });
    ASSERT_TRUE(shown("ReportButton")) << op.messages().join('|').toStdString();
    const QString windowPdf = dir.filePath("window.pdf");
    panel().reportDialog = [&](const QString &) { return windowPdf; };
    op.inputAnswers = {QStringLiteral("weights M1 2026-117")};
    click("ReportButton");
    ASSERT_TRUE(QFileInfo::exists(windowPdf)) << op.messages().join('|').toStdString();

    // The tool, on an indicator whose load moves the same way: 1234,5 kg before the
    // run, 1500,2 kg once the weight is on.
    vx::test::InProcessIndicator tool;
    qint32 toolGross = 12345;
    tool.device.onRead(0, [&](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, toolGross); });
    tool.device.onRead(3, [&](vx::sim::VirtualIndicator &d, int, int) { d.setLong(3, toolGross - 200); });
    const QString toolPdf = dir.filePath("tool.pdf");
    vx::test::CliRun run;
    {
        vx::test::InProcessCli cli;
        // The weight goes on once the test weight has been written (register 20).
        tool.device.onWrite(20, [&](vx::sim::VirtualIndicator &, int, const QByteArray &) { toolGross = 15002; });
        run = cli.run(tool, {"calibrate", "span", "--yes", "--weight", "150", "--report", toolPdf, "--note",
                             "weights M1 2026-117"});
    }
    vx::setWritableFolder(dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    auto withoutDate = [](QStringList lines) {
        lines.removeIf([](const QString &l) { return l.startsWith("Date and time"); });
        return lines;
    };
    const QStringList windowLines = pdfLines(windowPdf);
    const QStringList toolLines = pdfLines(toolPdf);
    ASSERT_FALSE(windowLines.isEmpty());
    EXPECT_EQ(withoutDate(windowLines), withoutDate(toolLines));
    EXPECT_TRUE(windowLines.join('\n').contains("1234,5 kg 1500,2 kg")) << windowLines.join('\n').toStdString();

    const std::vector<vx::HistoryRecord> records = vx::ReadHistory().records;
    ASSERT_EQ(records.size(), 2u);
    vx::HistoryRecord fromWindow = records[0], fromTool = records[1];
    if (fromWindow.tool != vx::HistoryTool::Window)
        std::swap(fromWindow, fromTool);
    EXPECT_EQ(fromWindow.tool, vx::HistoryTool::Window);
    EXPECT_EQ(fromTool.tool, vx::HistoryTool::Cli);
    EXPECT_EQ(fromTool.report, QFileInfo(toolPdf).absoluteFilePath());
    EXPECT_EQ(fromWindow.indicator.identification2, "SN0001234");
    EXPECT_EQ(fromWindow.indicator.version, "ZR2 V2.20");
    for (vx::HistoryRecord *r : {&fromWindow, &fromTool}) {
        r->time = {};
        r->tool = vx::HistoryTool::Window;
        r->report.reset();
    }
    EXPECT_EQ(vx::HistoryLine(fromWindow), vx::HistoryLine(fromTool));
}

}  // namespace
