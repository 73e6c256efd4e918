// The service history in the window: a send from the send panel, a zero calibration
// and an analog trim from the calibration tab each leave one record with the note
// typed for it; a record that cannot be written is said; "Service history…" lists
// the file newest first, filters it and names its damaged lines.

#include "GuiFixture.h"

#include "gui/FileMenu.h"
#include "gui/HistoryDialog.h"
#include "service/History.h"
#include "support/CliRunner.h"
#include "support/DataHome.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

using vx::HistoryRecord;
using vx::test::DataHome;
using vx::test::GuiTest;

const QByteArray kSendLine =
    R"({"groupResults":{"header":"sent","nrm":"failed"},"groups":["header","nrm"],)"
    R"("identification":["ZR2 V2.20","SN0001234"],"model":"ZR2","note":"new load cell","operation":"send",)"
    R"("result":"aborted","time":"2026-12-07T14:05:09.120+03:00","tool":"cli"})";
const QByteArray kCalibrationLine =
    R"({"identification":["",""],"model":"ZR1","operation":"calibration","procedure":"zero",)"
    R"("result":"finished","time":"2026-12-07T15:00:00.000+03:00","tool":"window"})";

class HistoryWindowTest : public GuiTest {
protected:
    // Connected on the tab given; with readParameters, after the parameter tab's read
    // (rows 82 and 83 known).
    void startConnected(int tab, bool readParameters)
    {
        start();
        form->show();
        QApplication::processEvents();
        form->ConnectAction();
        ASSERT_EQ(form->light(), vx::gui::Light::Green);
        if (readParameters) {
            form->tabs()->setCurrentIndex(vx::Tab::Parameters);
            clock.advance(0.05);  // the deferred parameter read
        }
        form->tabs()->setCurrentIndex(tab);
        clock.advance(0.001);
    }
    void click(const QString &name) { QTest::mouseClick(ctl(name), Qt::LeftButton); }
    void sendNrmWithNote(const QString &note, bool restorePoint = false)
    {
        form->batchPanels().openSendPanel();
        for (int box = 0; box < 9; ++box)
            ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(box))->setChecked(box == 7);
        ctl<QCheckBox>("CheckRestorePoint")->setChecked(restorePoint);
        EXPECT_EQ(ctl<QLabel>("SendNoteLabel")->text(), "Note:");
        QTest::keyClicks(ctl<QLineEdit>("SendNote"), note);
        click("SSCommand4_0");
    }
    std::vector<HistoryRecord> records() const { return vx::ReadHistory().records; }

    DataHome home;
};

TEST_F(HistoryWindowTest, ASendFromThePanelIsRecordedWithItsNoteAndNothingMoreGoesOnTheLine)
{
    startConnected(vx::Tab::Header, true);
    device.clearCommands();
    sendNrmWithNote("display replaced");
    EXPECT_EQ(device.commands(), (std::vector<int>{3, 19, 8, 20})) << "the probe, then the Nrm group, as before";
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join('|').toStdString();

    const std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 1u);
    const HistoryRecord &r = list[0];
    EXPECT_EQ(r.operation, vx::HistoryOperation::Send);
    EXPECT_EQ(r.tool, vx::HistoryTool::Window);
    EXPECT_EQ(r.indicator.model, "ZR2");
    // Row 82 as the indicator holds it (the model's code, whatever the language shows:
    // "E367" here), without its trailing blank; row 83: "SN00012345" without its last character.
    EXPECT_EQ(r.indicator.identification, "ZR2 V2.20");
    EXPECT_EQ(r.indicator.identification2, "SN0001234");
    EXPECT_EQ(r.groups, QStringList({"nrm"}));
    EXPECT_EQ(r.result, "sent");
    EXPECT_EQ(r.note, "display replaced");
    EXPECT_TRUE(ctl<QLineEdit>("SendNote")->text().isEmpty()) << "a note goes with one record only";

    // The next send without a note: a record without one.
    sendNrmWithNote("");
    ASSERT_EQ(records().size(), 2u);
    EXPECT_FALSE(records()[1].note);
}

TEST_F(HistoryWindowTest, ASendAfterARestorePointNamesItInItsRecord)
{
    startConnected(vx::Tab::Header, true);
    sendNrmWithNote("", true);
    const QStringList points = QDir(dir.filePath("BACKUP")).entryList({"*.Vxr"}, QDir::Files);
    ASSERT_EQ(points.size(), 1) << op.messages().join('|').toStdString();
    EXPECT_TRUE(points[0].startsWith("ZR2_SN0001234_")) << points[0].toStdString();
    const std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].result, "sent");
    EXPECT_EQ(list[0].restorePoint, points[0]);
    ASSERT_TRUE(list[0].changedRows) << "the restore point read the rows: the record says which changed";
    EXPECT_TRUE(list[0].changedRows->empty()) << "the window sent what the indicator held";

    // Without one, the record names none.
    sendNrmWithNote("");
    ASSERT_EQ(records().size(), 2u);
    EXPECT_FALSE(records()[1].restorePoint);
}

// One file, read by the tool from another indicator ("SN0009999"), sent from the window
// and by the tool to an indicator like the window's: both records name the indicator
// the data went to, alike but for the tool and the note, and the tool's history finds
// both by its serial and neither by the file's.
TEST_F(HistoryWindowTest, AFileSentFromTheWindowAndByTheToolIsRecordedForTheIndicatorItWentTo)
{
    const QString file = dir.filePath("other.vxr");
    auto tool = [&](vx::test::InProcessIndicator &indicator, const QStringList &args) {
        vx::test::CliRun run;
        {
            vx::test::InProcessCli cli;
            run = cli.run(indicator, args);
        }
        vx::setWritableFolder(dir.path());
        return run;
    };
    vx::test::InProcessIndicator other;
    other.device.setSecondText("SN00099999");
    vx::test::CliRun run = tool(other, {"read", file, "--groups", "params"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    startConnected(vx::Tab::Header, false);
    ASSERT_TRUE(form->fileMenu().OpenPath(file));
    op.yesNoAnswers = {vx::Choice::Yes};  // another indicator's file: send anyway
    device.clearCommands();
    sendNrmWithNote("from the window");
    EXPECT_EQ(device.commands(), (std::vector<int>{3, 19, 8, 20}));
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join('|').toStdString();
    ASSERT_EQ(op.count(vx::test::ScriptedOperator::Kind::YesNo), 1);
    EXPECT_TRUE(op.last().text.contains("SN0009999")) << op.last().text.toStdString();

    vx::test::InProcessIndicator like;
    run = tool(like, {"send", file, "--groups", "nrm", "--yes", "--note", "from the tool"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].tool, vx::HistoryTool::Window);
    EXPECT_EQ(list[1].tool, vx::HistoryTool::Cli);
    EXPECT_EQ(list[0].indicator.identification, "ZR2 V2.20");
    EXPECT_EQ(list[0].indicator.identification2, "SN0001234");
    EXPECT_EQ(list[0].indicator.version, "ZR2 V2.20");
    for (HistoryRecord &r : list) {
        r.time = {};
        r.tool = vx::HistoryTool::Window;
        r.note.reset();
    }
    EXPECT_EQ(vx::HistoryLine(list[0]), vx::HistoryLine(list[1]));

    run = tool(like, {"history", "--indicator", "SN0001234"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("send nrm: sent"), 2) << run.out.toStdString();
    run = tool(like, {"history", "--indicator", "SN0009999"});
    EXPECT_EQ(run.out.count("send nrm"), 0) << run.out.toStdString();
}

TEST_F(HistoryWindowTest, ASendWhoseRecordCannotBeWrittenSaysSoAndStillCounts)
{
    startConnected(vx::Tab::Header, true);
    ASSERT_TRUE(QDir().mkpath(home.historyFile()));  // a folder where the file should be
    device.clearCommands();
    sendNrmWithNote("lost");
    EXPECT_EQ(device.commands(), (std::vector<int>{3, 19, 8, 20}));
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages()[0].startsWith(
        "The operation ended as shown, but its service history record could not be written: " + home.historyFile()))
        << op.messages()[0].toStdString();
    EXPECT_EQ(ctl<QLineEdit>("SendNote")->text(), "lost") << "the note is kept for the operator to write down";
}

TEST_F(HistoryWindowTest, AZeroCalibrationAndAnAnalogTrimFromTheTabAreRecorded)
{
    startConnected(vx::Tab::Calibration, false);
    click("Option1_1");
    QTest::keyClicks(ctl<QLineEdit>("CalibrationNote"), "cell 2 changed");
    click("SSCommand3");
    ASSERT_EQ(records().size(), 1u) << op.messages().join('|').toStdString();
    EXPECT_EQ(records()[0].operation, vx::HistoryOperation::Calibration);
    EXPECT_EQ(records()[0].procedure, "zero");
    EXPECT_EQ(records()[0].result, "finished");
    EXPECT_EQ(records()[0].note, "cell 2 changed");
    EXPECT_EQ(records()[0].indicator.model, "ZR2");

    click("Option5_1");
    device.setReg(190, 13107);
    QTest::keyClicks(ctl<QLineEdit>("AnalogNote"), "4-20 checked");
    click("SSCommand5");
    clock.advance(1.2);  // a tick: the values are shown
    click("SSCommand5");
    const std::vector<HistoryRecord> list = records();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].operation, vx::HistoryOperation::AnalogTrim);
    EXPECT_EQ(list[1].procedure, "4-20 mA");
    EXPECT_EQ(list[1].result, "ended");
    EXPECT_TRUE(list[1].details.contains("zero point: 13107")) << list[1].details.join('|').toStdString();
    EXPECT_EQ(list[1].note, "4-20 checked");
}

TEST_F(HistoryWindowTest, TheListShowsNewestFirstFiltersAndNamesDamagedLines)
{
    const vx::test::LocalZone istanbul("<+03>-3");
    ASSERT_TRUE(home.writeHistory(kSendLine + "\n{broken\n" + kCalibrationLine + "\n"));
    start();
    QAction *item = action("MnHistory");
    EXPECT_EQ(item->text(), "Service History…");
    item->trigger();
    QPointer<vx::gui::HistoryDialog> dialog = form->findChild<vx::gui::HistoryDialog *>("HistoryDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    QTableWidget *table = dialog->table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Time");
    EXPECT_EQ(table->item(0, vx::gui::HistoryDialog::Time)->text(), "2026-12-07 15:00:00 UTC+03:00");
    EXPECT_EQ(table->item(0, vx::gui::HistoryDialog::Operation)->text(), "Calibration");
    EXPECT_EQ(table->item(1, vx::gui::HistoryDialog::Indicator)->text(), "ZR2 / ZR2 V2.20 / SN0001234");
    EXPECT_EQ(table->item(1, vx::gui::HistoryDialog::What)->text(), "header, nrm");
    EXPECT_EQ(table->item(1, vx::gui::HistoryDialog::Note)->text(), "new load cell");
    EXPECT_EQ(table->item(1, vx::gui::HistoryDialog::Details)->text(), "header: sent\nnrm: failed");
    EXPECT_EQ(dialog->warning()->text(), home.historyFile() + ": damaged lines skipped: 2");

    QTest::keyClicks(dialog->filter(), "sn0001234");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, vx::gui::HistoryDialog::Operation)->text(), "Send");
    dialog->filter()->setText("ZR3");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), "No records.");
    QTest::mouseClick(dialog->findChild<QPushButton *>("HistoryClose"), Qt::LeftButton);
    EXPECT_TRUE(!dialog || !dialog->isVisible());
}

// A record written on a computer keeping UTC, with the parameter rows a send changed
// and its restore point: shown in local time with its offset, each row by the code the
// parameter grid shows it with, the whole detail in its cell.
TEST_F(HistoryWindowTest, TheDetailsNameParameterCodesInLocalTimeAndShowWhole)
{
    const vx::test::LocalZone istanbul("<+03>-3");
    const QByteArray utcSend =
        R"({"changedRows":[{"after":"07","before":"5","row":13},{"after":"3-9600","before":"5-38400","row":30}],)"
        R"("groups":["calibration","jmp","nrm"],"identification":["ZR2 V2.20","SN0001234"],"model":"ZR2",)"
        R"("operation":"send","restorePoint":"ZR2_SN0001234_20261207-163000.Vxr","result":"sent",)"
        R"("time":"2026-12-07T16:30:00.000Z","tool":"cli"})";
    ASSERT_TRUE(home.writeHistory(kCalibrationLine + "\n" + utcSend + "\n"));
    start();
    vx::gui::HistoryDialog dialog(form->texts(), form.get());
    QTableWidget *table = dialog.table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, vx::gui::HistoryDialog::Time)->text(), "2026-12-07 19:30:00 UTC+03:00");
    const QString details = table->item(0, vx::gui::HistoryDialog::Details)->text();
    EXPECT_EQ(details, "[120] 5 -> 07\n[001] 5-38400 -> 3-9600\nrestore point: ZR2_SN0001234_20261207-163000.Vxr");
    EXPECT_EQ(table->item(0, vx::gui::HistoryDialog::Details)->toolTip(), details);
    // Wrapped, never cut: the row is as high as its three lines, and the columns can be widened.
    EXPECT_TRUE(table->wordWrap());
    EXPECT_GE(table->rowHeight(0), 3 * table->fontMetrics().height());
    EXPECT_EQ(table->horizontalHeader()->sectionResizeMode(vx::gui::HistoryDialog::Note), QHeaderView::Interactive);
    // The file is read as it was written.
    ASSERT_EQ(records().size(), 2u);
    EXPECT_EQ(records()[1].changedRows->at(0).row, 13);
}

TEST_F(HistoryWindowTest, AHistoryThatCannotBeReadIsSaidInTheList)
{
    ASSERT_TRUE(QDir().mkpath(home.historyFile()));
    start();
    vx::gui::HistoryDialog dialog(form->texts(), form.get());
    EXPECT_TRUE(dialog.warning()->text().startsWith("The service history cannot be read: " + home.historyFile()))
        << dialog.warning()->text().toStdString();
    EXPECT_EQ(dialog.table()->rowCount(), 0);
}

}  // namespace
