// The calibration tab driven through its widgets against the virtual indicator on
// the virtual clock: the range read on entering, the range fields and their
// refills, a general calibration with the entry panel, cancelling, the display
// read, and the analog output adjustment.

#include "GuiFixture.h"

#include "gui/CalibrationPage.h"
#include "link/ClockTimer.h"
#include "link/LineLease.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

using vx::test::GuiTest;

class CalibrationPageTest : public GuiTest {
protected:
    // The shipped metrology profiles in the program folder.
    CalibrationPageTest()
    {
        for (const char *name : {"SGMetrolojik.txt", "MTMetrolojik.txt", "Normal.txt"})
            QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(name), dir.filePath(name));
    }

    vx::gui::CalibrationPage &page() const { return *static_cast<vx::gui::CalibrationPage *>(form->page(vx::Tab::Calibration)); }

    // Connected on the header tab, then the calibration tab entered and its range read.
    void enterConnected()
    {
        startShown();
        form->ConnectAction();
        ASSERT_EQ(form->light(), vx::gui::Light::Green);
        device.clearRequests();  // what the connect read (TaksimatBul) is not the tab's
        form->tabs()->setCurrentIndex(vx::Tab::Calibration);
        clock.advance(0.001);
    }

    // Shown, so that clicks land where the controls are.
    void startShown()
    {
        start();
        form->show();
        QApplication::processEvents();
    }

    // Requests the indicator received for register reg: reads as "R n", writes as the data.
    QStringList at(int reg) const
    {
        QStringList out;
        for (const QString &r : device.requests()) {
            if (r.mid(3, 4).toInt(nullptr, 16) != reg)
                continue;
            if (r.startsWith("@03"))
                out << QStringLiteral("R %1").arg(r.mid(7, 4).toInt(nullptr, 16));
            else
                out << r.mid(13, r.size() - 15);
        }
        return out;
    }
    QStringList items(const QString &combo) const
    {
        QStringList out;
        auto *c = ctl<QComboBox>(combo);
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    QString current(const QString &combo) const { return ctl<QComboBox>(combo)->currentText(); }
    bool enabled(const QString &name) const { return ctl(name)->isEnabled(); }
    void click(const QString &name) { QTest::mouseClick(ctl(name), Qt::LeftButton); }
    void keys(const QString &combo, Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(ctl<QComboBox>(combo), key);
    }

    // When the entry panel is up, `answer` runs (types, clicks); checked every 0.1 s.
    void whenEntryShown(std::function<void()> answer)
    {
        // Each check schedules a copy of itself; nothing refers back to itself, so the
        // last check goes when it has run.
        struct Check {
            CalibrationPageTest *test;
            std::function<void()> answer;
            void operator()() const
            {
                if (test->shown("SSPanel8"))
                    answer();
                else
                    test->clock.schedule(0.1, *this);
            }
        };
        clock.schedule(0.1, Check{this, std::move(answer)});
    }
};

TEST_F(CalibrationPageTest, EnteringTheTabReadsTheRangeOnceAndShowsIt)
{
    enterConnected();
    EXPECT_EQ(at(128), QStringList({"R 3"}));
    EXPECT_EQ(current("Combo4_0"), "E360");
    EXPECT_EQ(current("Combo4_1"), "30 - 300 Kg");
    EXPECT_EQ(current("Combo44_1"), "300 Kg");
    EXPECT_EQ(current("Combo4_2"), "9 - 0.1");
    EXPECT_EQ(current("Combo44_2"), "0.1");
    EXPECT_EQ(current("Combo4_5"), "E363");
    for (const char *name : {"Combo4_0", "Combo4_1", "Combo44_1", "Combo4_4", "Combo4_5", "SSCommand3"})
        EXPECT_FALSE(enabled(name)) << name;
    ASSERT_TRUE(page().indicatorRange());

    // The display timer reads registers 0 and 3 every 100 ms.
    EXPECT_TRUE(page().timer3().isActive());
    clock.advance(0.5);
    EXPECT_TRUE(ctl<QLabel>("Label9")->text().startsWith("E297: ")) << ctl<QLabel>("Label9")->text().toStdString();
    EXPECT_TRUE(ctl<QLabel>("Label9")->text().contains(",")) << "one decimal for the division 0.1";

    // Leaving stops it; coming back reads the range again, once.
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    EXPECT_FALSE(page().timer3().isActive());
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    clock.advance(0.001);
    EXPECT_EQ(at(128).size(), 2);
}

TEST_F(CalibrationPageTest, AConnectMadeOnTheTabReadsTheRangeOnce)
{
    startShown();
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    EXPECT_TRUE(at(128).isEmpty());
    form->ConnectAction();
    clock.advance(0.001);
    // The connect's capacity and division (TaksimatBul), then the tab's own range read, once.
    EXPECT_EQ(at(128), QStringList({"R 3", "R 3"}));
    EXPECT_EQ(at(25), QStringList({"R 1"}));
}

TEST_F(CalibrationPageTest, ARangeFoundElsewhereSelectsTheRangeFields)
{
    startShown();
    vx::IndicatorRange range;
    range.codes = {1, 22, 6, 30, 9, 0};  // dual: 100 Kg by 0.01, 300 Kg by 0.1; not legal trade
    form->rangeFound(range);
    EXPECT_EQ(current("Combo4_0"), "E361");
    EXPECT_EQ(current("Combo4_1"), "22 - 100 Kg");
    EXPECT_EQ(current("Combo44_2"), "0.01");
    EXPECT_EQ(current("Combo4_3"), "30 - 300 Kg");
    EXPECT_EQ(current("Combo4_4"), "9 - 0.1");
    EXPECT_EQ(current("Combo4_5"), "E362");
    EXPECT_FALSE(page().indicatorRange()) << "only a whole range read on entering counts for a general calibration";
}

TEST_F(CalibrationPageTest, RangeChoicesRefillTheDivisionsFromTheProfiles)
{
    enterConnected();
    click("Option1_0");
    for (const char *name : {"Combo4_0", "Combo4_1", "Combo44_1", "Combo4_2", "Combo44_2", "Combo4_5", "SSCommand3"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("Combo4_3")) << "single range";
    EXPECT_FALSE(enabled("Combo44_4"));

    // 300 Kg -> 500 Kg, legal trade, single range: 0.2, 0.5 and 1; 0.1 is not offered.
    keys("Combo4_1", Qt::Key_Down, 4);
    EXPECT_EQ(current("Combo44_1"), "500 Kg");
    EXPECT_EQ(items("Combo4_2"), QStringList({"10 - 0.2 Kg", "11 - 0.5 Kg", "12 - 1 Kg"}));
    EXPECT_EQ(items("Combo44_2"), QStringList({"0.2 Kg", "0.5 Kg", "1 Kg"}));
    EXPECT_EQ(ctl<QComboBox>("Combo4_2")->currentIndex(), -1);
    keys("Combo44_2", Qt::Key_Down);
    EXPECT_EQ(current("Combo4_2"), "10 - 0.2 Kg") << "the field follows its twin";

    // Dual range: the second range opens and both lists come from the dual-range profile.
    keys("Combo4_0", Qt::Key_Down);
    EXPECT_TRUE(enabled("Combo4_3"));
    EXPECT_TRUE(enabled("Combo44_4"));
    EXPECT_EQ(items("Combo4_4"), QStringList({"9 - 0.1 Kg", "10 - 0.2 Kg", "11 - 0.5 Kg", "12 - 1 Kg", "13 - 2 Kg"}));
    EXPECT_EQ(current("Combo4_4"), "9 - 0.1 Kg") << "a division offered again stays chosen";
    EXPECT_EQ(current("Combo4_2"), "10 - 0.2 Kg");

    // Not for legal trade: up to 10000 divisions.
    keys("Combo4_5", Qt::Key_Up);
    EXPECT_EQ(items("Combo44_2"), QStringList({"0.05 Kg", "0.1 Kg", "0.2 Kg", "0.5 Kg", "1 Kg", "2 Kg", "5 Kg"}));

    // Dual range with the second division below the first is refused before anything is sent.
    const int writesBefore = at(22).size();
    click("SSCommand3");
    EXPECT_EQ(op.messages().last(), "E328");
    EXPECT_EQ(at(22).size(), writesBefore);

    // Zero and span lock the range fields again.
    click("Option1_1");
    EXPECT_FALSE(enabled("Combo4_1"));
    EXPECT_TRUE(enabled("SSCommand3"));
}

TEST_F(CalibrationPageTest, AGeneralCalibrationFromTheWindow)
{
    enterConnected();
    click("Option1_0");
    whenEntryShown([this] {
        auto *field = ctl<QLineEdit>("Text10");
        EXPECT_EQ(field->text(), "150") << "half the capacity";
        EXPECT_EQ(ctl<QLabel>("Label18")->text(), "E259\nE260\n\nE295 ");
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, "1a2,.5");
        EXPECT_EQ(field->text(), "12.5") << "digits and one point only";
        click("SSCommand11_0");
    });
    click("SSCommand3");

    EXPECT_EQ(op.calls.front().text, "E264");
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join('|').toStdString();
    EXPECT_EQ(at(20), QStringList({"0000007D"})) << "12.5 Kg in tenths";
    auto *label4 = ctl<QLabel>("Label4");
    EXPECT_EQ(label4->text(), "E238");
    EXPECT_TRUE(label4->styleSheet().contains("#00ff00")) << label4->styleSheet().toStdString();
    // After the finish step: no procedure chosen, so nothing to start; the window free.
    EXPECT_FALSE(enabled("SSCommand3"));
    EXPECT_FALSE(ctl<QRadioButton>("Option1_0")->isChecked());
    EXPECT_FALSE(shown("SSPanel8"));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_TRUE(page().timer3().isActive());
}

TEST_F(CalibrationPageTest, CancellingTheWeightEndsASpanCalibration)
{
    enterConnected();
    click("Option1_2");
    whenEntryShown([this] { click("SSCommand11_1"); });
    click("SSCommand3");
    EXPECT_EQ(at(22), QStringList()) << "nothing of the span step sent";
    EXPECT_TRUE(ctl<QLineEdit>("Text10")->text().isEmpty());
    EXPECT_FALSE(shown("SSPanel8"));

    // The close mark and Enter work as the buttons do.
    whenEntryShown([this] { QTest::mouseClick(ctl<QLabel>("Label17"), Qt::LeftButton); });
    click("Option1_2");
    click("SSCommand3");
    EXPECT_EQ(at(22), QStringList());
    whenEntryShown([this] {
        auto *field = ctl<QLineEdit>("Text10");
        field->clear();
        QTest::keyClicks(field, "30");
        QTest::keyClick(field, Qt::Key_Return);
    });
    click("Option1_2");
    click("SSCommand3");
    EXPECT_EQ(at(20), QStringList({"0000012C"}));
}

// "@9" before the span: the indicator is busy, the line is fine. Its own message (no
// text 309 about the cables), and the link stays.
TEST_F(CalibrationPageTest, ABusyIndicatorIsSaidToBeBusyAndTheLinkStays)
{
    enterConnected();
    device.addFault({vx::sim::FaultKind::Busy, vx::sim::FaultScope::Register, 0});
    click("Option1_2");
    click("SSCommand3");
    EXPECT_EQ(op.messages(), QStringList({"The indicator is busy and cannot take the calibration now. The link is "
                                          "fine: wait until the indicator has finished and try again."}));
    EXPECT_EQ(at(22), QStringList()) << "nothing of the span step sent";
    EXPECT_TRUE(form->state().IsConnected);
    EXPECT_EQ(form->light(), vx::gui::Light::Green);
}

// START waits for a procedure; a weight finer than the division is shown cut in the
// entry as it is typed, and sent so.
TEST_F(CalibrationPageTest, StartWaitsForAProcedureAndTheEntryShowsTheWeightCutToTheDivision)
{
    enterConnected();
    EXPECT_FALSE(enabled("SSCommand3")) << "no procedure chosen on entering the tab";
    click("SSCommand3");
    EXPECT_EQ(at(22), QStringList()) << "nothing sent";
    click("Option1_2");
    EXPECT_TRUE(enabled("SSCommand3"));

    QString shownBeforeOk;
    whenEntryShown([this, &shownBeforeOk] {
        auto *field = ctl<QLineEdit>("Text10");
        field->clear();
        QTest::keyClicks(field, "100,55");
        shownBeforeOk = field->text();
        click("SSCommand11_0");
    });
    click("SSCommand3");
    EXPECT_EQ(shownBeforeOk, "100.5") << "the division is 0.1 Kg: the second decimal is cut, not rounded";
    EXPECT_EQ(at(20), QStringList({"000003ED"})) << "100.5 Kg in tenths: 1005";
    EXPECT_EQ(ctl<QLabel>("Label4")->text(), "E238");
    EXPECT_FALSE(ctl<QRadioButton>("Option1_2")->isChecked());
    EXPECT_FALSE(enabled("SSCommand3")) << "after the run, until a procedure is chosen again";
    click("Option1_1");
    EXPECT_TRUE(enabled("SSCommand3"));
}

TEST_F(CalibrationPageTest, WithoutPermissionNoProcedureCanStart)
{
    device.onRead(25, [](vx::sim::VirtualIndicator &d, int, int) { d.setReg(25, 0x0010); });
    enterConnected();
    EXPECT_EQ(page().calibrationPermitted(), std::optional<bool>(false));
    click("Option1_0");
    EXPECT_EQ(op.messages(), QStringList({"E310"}));
    EXPECT_FALSE(enabled("SSCommand3"));
    EXPECT_FALSE(enabled("Combo4_1"));
}

TEST_F(CalibrationPageTest, AMissingProfileIsLoggedOnceAndOffersNoDivisions)
{
    QFile::remove(dir.filePath("SGMetrolojik.txt"));
    enterConnected();
    QFile log(dir.filePath("ZRxLog.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("SGMetrolojik.txt"), 1);
    click("Option1_0");
    keys("Combo4_1", Qt::Key_Down);
    EXPECT_TRUE(items("Combo4_2").isEmpty());
    click("SSCommand3");
    EXPECT_EQ(op.messages(), QStringList({"E313"}));
    EXPECT_TRUE(at(22).isEmpty());
}

TEST_F(CalibrationPageTest, DisconnectedTheTabReadsNothing)
{
    startShown();
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    clock.advance(1.0);
    click("SSCommand6");
    click("Option5_1");
    click("SSCommand5");
    EXPECT_EQ(op.messages(), QStringList({"E375", "E375"}));
    EXPECT_TRUE(device.requests().isEmpty());
    EXPECT_FALSE(page().timer3().isActive());
}

TEST_F(CalibrationPageTest, TheModeAndMetrologyItemsFollowTheLanguage)
{
    enterConnected();
    EXPECT_EQ(items("Combo4_0"), QStringList({"E360", "E361"}));
    form->openLanguagePanel();
    auto *files = ctl<QComboBox>("Combo5");
    files->setCurrentIndex(files->findText("Türkçe.txt"));
    form->SSCommand9_Click();
    EXPECT_EQ(items("Combo4_0"), QStringList({"T360", "T361"}));
    EXPECT_EQ(items("Combo4_5"), QStringList({"T362", "T363"}));
    EXPECT_EQ(current("Combo4_5"), "T363") << "the choice is kept";
}

// ---- the display read ----------------------------------------------------------

// The indicator weighs 1234.5 Kg gross and -5.0 Kg net (the range read has the
// division 0.1: one decimal).
void weigh(vx::sim::VirtualIndicator &device)
{
    device.onRead(0, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, 12345); });
    device.onRead(3, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(3, -50); });
}

TEST_F(CalibrationPageTest, TheDisplayReadShowsBothWeightsAndADashForASpoiltAnswer)
{
    weigh(device);
    enterConnected();
    auto *label9 = ctl<QLabel>("Label9");
    clock.advance(0.5);
    EXPECT_EQ(label9->text(), "E297: 1234,5     E298: -5,0");

    device.addFault({vx::sim::FaultKind::Partial, vx::sim::FaultScope::Register, 3});
    clock.advance(0.5);
    EXPECT_EQ(label9->text(), "E297: 1234,5     E298: -") << "a cut answer is no value";

    device.clearFaults();
    device.addFault({vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Always, 0});
    clock.advance(0.5);
    EXPECT_EQ(label9->text(), " - - - - ");
    EXPECT_TRUE(form->state().IsConnected) << "a display read drops no link";
    EXPECT_TRUE(op.messages().isEmpty());
}

// While another operation holds the line, the display timer, "GÖSTERGE'Yİ OKU",
// "BAŞLA", the analog start and the page choice are skipped: nothing reaches the
// indicator then or later.
TEST_F(CalibrationPageTest, AClickWhileTheLineIsHeldIsSkippedNotQueued)
{
    weigh(device);
    enterConnected();
    click("Option1_2");
    clock.advance(0.5);
    auto *label9 = ctl<QLabel>("Label9");
    const QString before = label9->text();
    {
        vx::LineLease held(form->link());
        ASSERT_TRUE(held);
        device.clearRequests();
        clock.advance(0.5);
        click("SSCommand6");
        click("SSCommand3");
        click("Option5_1");
        EXPECT_TRUE(device.requests().isEmpty()) << device.requests().join('|').toStdString();
        EXPECT_EQ(label9->text(), before);
        EXPECT_TRUE(ctl<QRadioButton>("Option5_0")->isChecked()) << "the choice stays with the page shown";
        EXPECT_EQ(ctl<QStackedWidget>("CalibrationPages")->currentIndex(), 0);
        click("Option5_1");
        click("SSCommand5");
        EXPECT_TRUE(device.requests().isEmpty());
    }
    clock.advance(1.0);
    EXPECT_TRUE(at(22).isEmpty()) << "no calibration run later";
    EXPECT_TRUE(at(24).isEmpty()) << "no analog start later";
    EXPECT_FALSE(shown("SSPanel8"));
    EXPECT_EQ(ctl<QStackedWidget>("CalibrationPages")->currentIndex(), 0);
    EXPECT_FALSE(at(0).isEmpty()) << "the display timer reads again once the line is free";
    EXPECT_EQ(op.dialogCount(), 0) << "skipped without a word";
}

// The real case: "BAŞLA" clicked while a display read waits for the indicator's answer.
TEST_F(CalibrationPageTest, StartClickedDuringADisplayReadIsSkipped)
{
    enterConnected();
    click("Option1_1");
    bool clicked = false;
    device.onRead(0, [this, &clicked](vx::sim::VirtualIndicator &, int, int) {
        if (clicked)
            return;
        clicked = true;
        EXPECT_TRUE(form->link().lineHeld()) << "the display read holds the line";
        click("SSCommand3");
    });
    clock.advance(1.0);
    ASSERT_TRUE(clicked);
    EXPECT_TRUE(at(22).isEmpty()) << "no zero calibration, neither then nor later";
    EXPECT_EQ(op.dialogCount(), 0);
    EXPECT_TRUE(ctl<QRadioButton>("Option1_1")->isChecked()) << "the procedure stays chosen for another click";
    EXPECT_TRUE(enabled("SSCommand3"));
}

// ---- the analog output ----------------------------------------------------------

TEST_F(CalibrationPageTest, AHeldStepRepeatsUntilTheLimitAndATabChangeEndsTheRun)
{
    enterConnected();
    click("Option5_1");
    EXPECT_EQ(ctl<QStackedWidget>("CalibrationPages")->currentIndex(), 1);
    click("Option4_1");
    device.setReg(190, 65300);
    click("SSCommand5");
    ASSERT_TRUE(page().adjusting());
    EXPECT_EQ(at(195).last(), "0100") << "0 - 10 VDC";
    EXPECT_EQ(ctl<QPushButton>("SSCommand5")->text(), "E269");
    EXPECT_EQ(ctl<QLabel>("Label7")->text(), "E270");
    EXPECT_TRUE(page().timer1().isActive());
    EXPECT_FALSE(form->tabs()->tabBar()->isEnabled()) << "the shell waits for the run";
    EXPECT_TRUE(enabled("Sıfır_0"));

    QTest::mousePress(ctl<QPushButton>("Sıfır_0"), Qt::LeftButton);
    clock.advance(8.0);
    EXPECT_EQ(ctl<QLabel>("Label7")->text(), vx::gui::CalibrationPage::LimitText);
    EXPECT_EQ(ctl<QLabel>("Label10")->text(), ": 65500");
    EXPECT_EQ(ctl<QLabel>("Label11")->text(), ": 60000");
    QTest::mouseRelease(ctl<QPushButton>("Sıfır_0"), Qt::LeftButton);

    // Escape frees the shell; a tab change then ends the run, writing the end.
    QTest::keyClick(ctl("SSCommand5"), Qt::Key_Escape);
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    EXPECT_FALSE(page().adjusting());
    EXPECT_EQ(at(24).last(), "0002");
    EXPECT_EQ(ctl<QPushButton>("SSCommand5")->text(), "E263");
    EXPECT_EQ(ctl<QStackedWidget>("CalibrationPages")->currentIndex(), 0) << "back on the weighing page";
}

TEST_F(CalibrationPageTest, EndingWithoutAStepFreesTheTabsAndReadsTheDisplayAgain)
{
    enterConnected();
    click("Option5_1");
    click("SSCommand5");
    click("SSCommand5");
    EXPECT_EQ(at(195).last(), "0000") << "4 - 20 mA";
    EXPECT_TRUE(form->tabs()->tabBar()->isEnabled());
    EXPECT_TRUE(page().timer3().isActive());
}

TEST_F(CalibrationPageTest, AStepPressedWhileTheLineIsHeldIsSkipped)
{
    enterConnected();
    click("Option5_1");
    device.setReg(190, 13107);
    click("SSCommand5");
    ASSERT_TRUE(page().adjusting());
    clock.advance(1.2);  // a tick: the values are known
    EXPECT_EQ(ctl<QLabel>("Label10")->text(), ": 13107");
    ASSERT_EQ(at(24), QStringList({"0001"}));
    {
        vx::LineLease held(form->link());
        ASSERT_TRUE(held);
        QTest::mouseClick(ctl<QPushButton>("Sıfır_2"), Qt::LeftButton);
        EXPECT_EQ(at(24), QStringList({"0001"})) << "nothing stepped";
    }
    QTest::mouseClick(ctl<QPushButton>("Sıfır_2"), Qt::LeftButton);
    EXPECT_EQ(at(24), QStringList({"0001", "0005"})) << "slow up of the zero point, once the line is free";
    click("SSCommand5");
    EXPECT_EQ(at(24).last(), "0002");
    EXPECT_FALSE(page().adjusting());
}

TEST_F(CalibrationPageTest, WithoutAnAnalogCardThePageIsDimmed)
{
    device.onRead(25, [](vx::sim::VirtualIndicator &d, int, int) { d.setReg(25, 0x0800); });
    enterConnected();
    click("Option5_1");
    EXPECT_FALSE(enabled("Frame2"));
    EXPECT_EQ(ctl<QLabel>("Label7")->text(), "E311");
    EXPECT_TRUE(at(24).isEmpty());
}

}  // namespace
