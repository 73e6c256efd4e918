// The parameter page's "Set to this PC's time" (ClockFromPc in the date and time
// panel) and File > "Print configuration sheet…" in the window, against the virtual
// indicator: the clock's write and read-back on the wire and in row 1, a refused
// setting said; the sheet's PDF read back with pdftotext.

#include "GuiFixture.h"

#include "gui/FileMenu.h"
#include "gui/ParameterPage.h"
#include "sim/Faults.h"
#include "support/RequestText.h"

#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using vx::test::GuiTest;

namespace {

class ClockAndSheetTest : public GuiTest {
protected:
    void startRead()
    {
        store->setValue("ZR", "dil", "English.txt");
        device.setModel("ZR2 V2.20");
        start("ZR2");
        form->show();
        form->ConnectAction();
        form->tabs()->setCurrentIndex(vx::Tab::Parameters);
        clock.advance(0.05);  // Timer2: the parameters read
    }
    vx::ParameterSet &set() const { return form->parameterPage()->parameters(); }
    void selectClockRow()
    {
        auto *grid = ctl<QTableView>("Grid1_2");
        grid->setCurrentIndex(set().index(1, 1));
    }
};

TEST_F(ClockAndSheetTest, SetToThisPcsTimeWritesTheClockAndShowsTheReadBack)
{
    startRead();
    set().setValue(1, "01-01-25 \\ 08:00:00");
    selectClockRow();
    ASSERT_TRUE(shown("SSPanel9"));
    auto *button = ctl<QPushButton>("ClockFromPc");
    EXPECT_EQ(button->text(), "Set to this PC's time");

    device.clearRequests();
    QTest::mouseClick(button, Qt::LeftButton);
    const QStringList requests = vx::test::RequestTexts(device.requests());
    ASSERT_GE(requests.size(), 6) << requests.join(' ').toStdString();
    EXPECT_EQ(requests.mid(requests.size() - 6), (QStringList{"124:8", "19=6", "19=19", "19=5", "124/8", "19=20"}));
    // The virtual clock's day and hour: 12 March 2026, 10 o'clock.
    EXPECT_TRUE(set().value(1).startsWith("12-03-26 \\ 10:00:")) << set().value(1).toStdString();
    EXPECT_TRUE(op.messages().last().startsWith("The indicator's clock is set: 12-03-26 \\ 10:00:"))
        << op.messages().last().toStdString();
    EXPECT_FALSE(shown("SSPanel9"));
    EXPECT_EQ(light(), vx::gui::Light::Green);

    // An indicator that refuses command 6, and the technician aborts: said, row 1 stays.
    device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Command, 6, -1});
    op.abortRetryIgnoreAnswers = {vx::Choice::Abort};
    set().setValue(1, "01-01-25 \\ 08:00:00");
    ctl<QTableView>("Grid1_2")->setCurrentIndex(set().index(3, 1));
    selectClockRow();
    ASSERT_TRUE(shown("SSPanel9"));
    QTest::mouseClick(ctl<QPushButton>("ClockFromPc"), Qt::LeftButton);
    EXPECT_TRUE(op.messages().join('\n').contains("did not take the date and time")) << op.messages().join('\n').toStdString();
    EXPECT_EQ(set().value(1), "01-01-25 \\ 08:00:00");
}

TEST_F(ClockAndSheetTest, PrintConfigurationSheetWritesThePdf)
{
    startRead();
    QAction *item = action("MnDosyaPrintSheet");
    ASSERT_NE(item, nullptr);
    emit ctl<QMenu>("MnDosya1")->aboutToShow();
    EXPECT_EQ(item->text(), "Print configuration sheet…");

    const QString pdf = dir.filePath("sheet");
    QString proposed;
    form->fileMenu().sheetDialog = [&](const QString &p) {
        proposed = p;
        return pdf;
    };
    item->trigger();
    EXPECT_TRUE(QFileInfo(proposed).fileName().startsWith("sheet-")) << proposed.toStdString();
    ASSERT_TRUE(QFileInfo::exists(pdf + ".pdf"));

    QProcess text;
    text.start("pdftotext", {"-layout", pdf + ".pdf", "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString all = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    EXPECT_TRUE(all.startsWith("Configuration Sheet")) << all.toStdString();
    EXPECT_TRUE(all.contains("Indicator model ZR2")) << all.toStdString();
    // The generated language lines: [001]'s caption is line 153; its value the list text.
    EXPECT_TRUE(all.contains("001 E153 3-9600")) << all.toStdString();
    EXPECT_TRUE(all.contains("ID memory:")) << all.toStdString();

    // A folder that is not there: said, nothing written.
    form->fileMenu().sheetDialog = [&](const QString &) { return dir.filePath("no/such/x.pdf"); };
    item->trigger();
    EXPECT_TRUE(op.messages().last().startsWith("The configuration sheet could not be written")) << op.messages().last().toStdString();
}

}  // namespace
