// The verification dialog (Settings and Help menu): against the virtual indicator's
// platform, a technician who puts on each load the message box names; a passing test,
// a span error failing at half Max, a weight that never settles, and a cancel, each
// with its results table, its test record read back with pdftotext and the history
// record naming it; the as-found and as-left runs on one record.

#include "GuiFixture.h"

#include "gui/VerificationDialog.h"
#include "service/History.h"
#include "sim/Platform.h"
#include "support/DataHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>

namespace {

using vx::gui::VerificationDialog;

class VerificationDialogTest : public vx::test::GuiTest {
protected:
    // The platform and a connected window with the dialog open; the record goes to
    // "record.pdf" in the test's folder.
    VerificationDialog &open(vx::sim::PlatformOptions options)
    {
        platform = std::make_shared<vx::sim::Platform>(options);
        vx::sim::InstallPlatform(device, [this] { return clock.elapsed(); }, platform);
        op.onCall = [this](const vx::test::ScriptedOperator::Call &call) {
            if (call.kind != vx::test::ScriptedOperator::Kind::OkCancel)
                return;
            const QRegularExpressionMatch load = QRegularExpression("put ([0-9.]+) kg").match(call.text);
            const QRegularExpressionMatch segment = QRegularExpression("segment ([1-4])").match(call.text);
            platform->put(load.hasMatch() ? load.captured(1).toDouble() : 0.0,
                          segment.hasMatch() ? segment.captured(1).toInt() : 0, clock.elapsed());
        };
        start();
        form->ConnectAction();
        EXPECT_TRUE(form->state().IsConnected);
        action("MnAyar_Verify")->trigger();
        VerificationDialog *dialog = form->findChild<VerificationDialog *>("VerificationDialog");
        EXPECT_NE(dialog, nullptr);
        dialog->chooseFile = [this](const QString &suggested) {
            EXPECT_TRUE(suggested.contains(QRegularExpression("verification-\\d{8}-\\d{4}\\.pdf$")));
            return dir.filePath("record.pdf");
        };
        return *dialog;
    }
    void type(const QString &name, const QString &text) { ctl<QLineEdit>(name)->setText(text); }
    QString cell(int row, int column)
    {
        const QTableWidgetItem *item = ctl<QTableWidget>("VerifyResults")->item(row, column);
        return item ? item->text() : QString();
    }
    QString recordText()
    {
        QProcess p;
        p.start("pdftotext", {"-layout", dir.filePath("record.pdf"), "-"});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }

    vx::test::DataHome home;
    std::shared_ptr<vx::sim::Platform> platform;
};

TEST_F(VerificationDialogTest, APassingTestShowsItsTableAndWritesItsRecord)
{
    VerificationDialog &d = open({.settle = 0.5});
    type("VerifyLoads", "50,150");
    type("VerifyEccentricity", "100");
    type("VerifyCustomer", "Akın Gıda");
    type("VerifyWeights", "M1 set 7");
    ASSERT_TRUE(d.runTest());
    ASSERT_TRUE(d.lastResult() && d.lastResult()->pass());
    EXPECT_EQ(ctl<QTableWidget>("VerifyResults")->rowCount(), 9);
    EXPECT_EQ(cell(1, 0), "Increasing load");
    EXPECT_EQ(cell(1, 2), "150,0");
    EXPECT_EQ(cell(1, 6), "PASS");
    EXPECT_TRUE(ctl<QLabel>("VerifyVerdict")->text().contains("PASS: every step within the permissible error"));
    const QString t = recordText();
    EXPECT_TRUE(t.contains("Customer Akın Gıda")) << t.toStdString();
    EXPECT_TRUE(t.contains("Eccentricity, segment 3 100,0 100,0 0,0 ±0,1 0,1 PASS")) << t.toStdString();
    EXPECT_TRUE(t.contains("Overall verdict PASS"));
    const vx::HistoryReading h = vx::ReadHistory(home.historyFile());
    ASSERT_EQ(h.records.size(), 1u);
    EXPECT_EQ(h.records[0].operation, vx::HistoryOperation::Verification);
    EXPECT_EQ(h.records[0].result, "pass");
    EXPECT_EQ(h.records[0].report.value_or(QString()), d.recordPath());
    EXPECT_FALSE(port.isOpen()) << "the line is let go";
}

TEST_F(VerificationDialogTest, ASpanErrorFailsAtHalfMax)
{
    VerificationDialog &d = open({.spanError = 0.0012, .settle = 0.5});
    type("VerifyLoads", "150");
    ASSERT_TRUE(d.runTest());
    EXPECT_EQ(cell(0, 2), "150,2");
    EXPECT_EQ(cell(0, 3), "+0,2");
    EXPECT_EQ(cell(0, 6), "FAIL");
    EXPECT_TRUE(recordText().contains("Increasing load 150,0 150,2 +0,2 ±0,1 0,1 FAIL"));
    EXPECT_EQ(vx::ReadHistory(home.historyFile()).records.at(0).result, "fail");
}

TEST_F(VerificationDialogTest, AWeightThatNeverSettlesTimesOut)
{
    VerificationDialog &d = open({.settle = 120});
    type("VerifyLoads", "50");
    type("VerifyTimeout", "1,5");
    ASSERT_TRUE(d.runTest());
    EXPECT_EQ(cell(0, 6), "FAIL (not stable within 1.5 s)");
    EXPECT_TRUE(recordText().contains("FAIL (not stable within 1.5 s)"));
}

TEST_F(VerificationDialogTest, CancelEndsWithWhatWasMeasuredAndAsFoundAndAsLeftShareTheRecord)
{
    VerificationDialog &d = open({.settle = 0.5});
    type("VerifyLoads", "50,150");
    ctl<QComboBox>("VerifyStage")->setCurrentIndex(VerificationDialog::AsFound);
    op.okCancelAnswers = {vx::Choice::Ok, vx::Choice::Cancel};
    ASSERT_TRUE(d.runTest());
    EXPECT_FALSE(d.lastResult()->complete());
    EXPECT_EQ(ctl<QTableWidget>("VerifyResults")->rowCount(), 1);
    EXPECT_TRUE(recordText().contains("INCOMPLETE: the test was ended before its last step"));
    EXPECT_FALSE(port.isOpen()) << "the line is let go";

    ctl<QComboBox>("VerifyStage")->setCurrentIndex(VerificationDialog::AsLeft);
    ASSERT_TRUE(d.runTest());
    const QString t = recordText();
    EXPECT_TRUE(t.contains("As found")) << t.toStdString();
    EXPECT_TRUE(t.contains("As left"));
    EXPECT_TRUE(t.contains("Overall verdict PASS")) << "the scale as left";
    EXPECT_EQ(vx::ReadHistory(home.historyFile()).records.size(), 2u);
}

TEST_F(VerificationDialogTest, BadInputIsRefusedBeforeTheLine)
{
    VerificationDialog &d = open({});
    type("VerifyLoads", "50,abc");
    EXPECT_FALSE(d.runTest());
    EXPECT_TRUE(op.messages().last().contains("not a valid value"));
    type("VerifyLoads", "400");
    EXPECT_FALSE(d.runTest());
    EXPECT_TRUE(op.messages().last().contains("above Max, 300 kg")) << op.messages().last().toStdString();
    EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::OkCancel), 0);
}

}  // namespace
