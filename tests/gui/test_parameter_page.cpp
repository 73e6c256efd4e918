// The parameter tab in the window: the deferred read on entering it, the range
// learnt at a connect, and the editors Text1, Combo1 and SSPanel9 driven through the
// real widgets with their filters, limits and side effects.

#include "GuiFixture.h"

#include "gui/FilePanels.h"
#include "gui/ParameterPage.h"
#include "params/Transfer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using vx::test::GuiTest;

namespace {

// Language lines the editors show, as the generated English file has them, with
// their leading codes where the rules need them.
std::map<int, QString> codedLines()
{
    std::map<int, QString> lines;
    for (const auto &[line, text] : std::initializer_list<std::pair<int, const char *>>{
             {177, "0- Normal"}, {178, "1- Legal"}, {181, "0- Off"}, {182, "1- Two percent"},
             {184, "1- Small"}, {185, "2- Large"}, {186, "1- Half e"}, {187, "2- One e"},
             {188, "3- Two e"}, {189, "1- Key"}, {190, "2- Key and preset"}, {191, "4- Off"},
             {215, "1- Continuous"}, {216, "2- Printer"}, {217, "3- PC"}, {218, "4- Remote"},
             {219, "0- None"}, {225, "1- Ticket"}, {226, "2- Matrix"}, {227, "4- Thermal"}, {323, "3- EPL"},
             {373, "Port changes"}, {374, "Link lost"}, {379, "Warning"}, {385, "Bad date"}})
        lines[line] = QString::fromUtf8(text);
    return lines;
}

class ParameterPageTest : public GuiTest {
protected:
    ParameterPageTest()
    {
        writeLanguage("English.txt", vx::test::languageFile("E", codedLines()));
        store->setValue("ZR", "dil", "English.txt");
        // The range: one range of 300 kg in steps of 0,005 kg.
        device.setReg(128, 0x0000);
        device.setReg(129, 0x1E05);
        device.setReg(130, 0x1E05);
        device.setReg(149, 0x0000);
    }

    // A window on the parameter tab after a connect, its parameters read.
    void startRead(const QString &model = "ZR2")
    {
        device.setModel(model + " V2.20");
        start(model);
        form->show();
        // The window is active, so focus moves as on a desktop (hiding a focused
        // editor hands the focus on).
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->ConnectAction();
        form->tabs()->setCurrentIndex(vx::Tab::Parameters);
        clock.advance(0.05);  // Timer2
    }
    vx::gui::ParameterPage &page() const { return *form->parameterPage(); }
    vx::ParameterSet &set() const { return page().parameters(); }
    QTableView *grid() const { return ctl<QTableView>("Grid1_2"); }
    QLineEdit *text1() const { return ctl<QLineEdit>("Text1"); }
    QComboBox *combo1() const { return ctl<QComboBox>("Combo1"); }
    void select(int row) { grid()->setCurrentIndex(set().index(row, 1)); }
    // The user picks an item of Combo1 by its text.
    void choose(const QString &item)
    {
        const int index = combo1()->findText(item);
        ASSERT_GE(index, 0) << qPrintable(item);
        combo1()->setCurrentIndex(index);
        emit combo1()->activated(index);
    }
    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < combo1()->count(); ++i)
            out << combo1()->itemText(i);
        return out;
    }
};

TEST_F(ParameterPageTest, EnteringTheTabReadsOnceTimer2FiresWithTheReadAllPanelAsProgress)
{
    device.setModel("ZR2 V2.20");
    start();
    form->ConnectAction();
    EXPECT_EQ(form->state().weight.WeightFormatReference, "300.045") << "the range is learnt at the connect";
    device.clearCommands();
    form->tabs()->setCurrentIndex(vx::Tab::Parameters);
    EXPECT_TRUE(page().timer2().isActive());
    EXPECT_TRUE(device.commands().empty()) << "the read waits for Timer2";

    bool panelShown = false;
    QString step;
    device.onCommand(7, [&](vx::sim::VirtualIndicator &) {
        panelShown = shown("SSPanel2") && !shown("SSCheck1_3") && !shown("SSCommand2_0");
        step = ctl<QLabel>("Label5")->text();
    });
    clock.advance(0.05);

    EXPECT_FALSE(page().timer2().isActive());
    EXPECT_TRUE(panelShown);
    EXPECT_EQ(step, "E256");
    EXPECT_FALSE(shown("SSPanel2"));
    EXPECT_TRUE(shown("SSCheck1_3"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(light(), vx::gui::Light::Green);
    EXPECT_TRUE(form->tabs()->isEnabled());
    // What was read goes into the next send.
    for (int box : {5, 6, 7})
        EXPECT_TRUE(ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(box))->isChecked()) << box;
    EXPECT_EQ(grid()->model()->index(30, 1).data().toString(), "3-9600");
}

TEST_F(ParameterPageTest, ARefusedReadDisconnectsAndLeavesTheLightRed)
{
    device.setModel("ZR2 V2.20");
    start();
    form->ConnectAction();
    device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 128, -1});
    form->tabs()->setCurrentIndex(vx::Tab::Parameters);
    clock.advance(0.05);
    EXPECT_EQ(op.messages(), QStringList{"E309"});
    EXPECT_FALSE(form->state().IsConnected);
    EXPECT_EQ(light(), vx::gui::Light::Red);
    EXPECT_FALSE(shown("SSPanel2"));
}

TEST_F(ParameterPageTest, TextFilterTakesDigitsAndOneSeparatorAndLetsBackspaceThrough)
{
    startRead();
    select(18);  // [101], a weight
    ASSERT_TRUE(shown("Text1"));
    EXPECT_EQ(text1()->geometry(), grid()->visualRect(set().index(18, 1)));
    QTest::keyClicks(text1(), "1,2a,3");
    EXPECT_EQ(text1()->text(), "1.23");
    EXPECT_EQ(set().value(18), "001.230");
    EXPECT_EQ(set().rowValue(18), vx::RowValue::of(1230));

    // Row 21 is held to 5..9,9 while typing; Backspace corrects it.
    select(21);
    QTest::keyClicks(text1(), "4");
    EXPECT_EQ(text1()->text(), "5,1");
    EXPECT_EQ(set().value(21), "5,1");
    QTest::keyClick(text1(), Qt::Key_Backspace);
    EXPECT_EQ(text1()->text(), "5,");
    QTest::keyClicks(text1(), "8");
    EXPECT_EQ(set().value(21), "5,8");

    // Two digits in a one-byte row.
    select(19);
    QTest::keyClicks(text1(), "1234");
    EXPECT_EQ(text1()->text(), "12");
}

TEST_F(ParameterPageTest, WordRowsRefuseWhatFourHexDigitsCannotCarry)
{
    startRead();
    select(79);
    QTest::keyClicks(text1(), "65535");
    EXPECT_EQ(set().rowValue(79), vx::RowValue::of(65535));
    QTest::keyClick(text1(), Qt::Key_End);
    QTest::keyClicks(text1(), "0");
    EXPECT_EQ(op.messages(), QStringList{"655350 is too large for this parameter: the largest value is 65535."});
    EXPECT_EQ(text1()->text(), "65535");
    EXPECT_EQ(set().value(79), "65535");
    EXPECT_EQ(set().rowValue(79), vx::RowValue::of(65535));
}

TEST_F(ParameterPageTest, EnterAndTheArrowsMoveToTheNextVisibleEditableRow)
{
    startRead("ZR1");  // rows 14 and 18-21 are hidden
    select(17);
    ASSERT_TRUE(shown("Combo1"));
    QTest::keyClick(combo1(), Qt::Key_Return);
    EXPECT_EQ(page().editorRow(), 23) << "past the hidden rows and the hidden [110]";
    select(32);
    QTest::keyClick(text1(), Qt::Key_Down);
    EXPECT_EQ(page().editorRow(), 33);
    select(32);
    QTest::keyClick(text1(), Qt::Key_Up);
    EXPECT_EQ(page().editorRow(), 31);

    // Typing after a move goes to the row moved to.
    select(56);
    QTest::keyClicks(text1(), "7");
    QTest::keyClick(text1(), Qt::Key_Return);
    EXPECT_EQ(page().editorRow(), 57);
    select(58);
    QTest::keyClicks(text1(), "3");
    QTest::keyClick(text1(), Qt::Key_Return);
    QTest::keyClick(combo1(), Qt::Key_Return);
    EXPECT_EQ(page().editorRow(), 60);
    EXPECT_EQ(set().value(58), "3");
}

TEST_F(ParameterPageTest, Choosing200OnForcesThreeRowsAndShortensTheirLists)
{
    startRead();
    select(3);
    choose("0- Normal");
    EXPECT_FALSE(set().param200On());
    select(9);
    EXPECT_EQ(items().size(), 5);
    EXPECT_EQ(items().last(), "4- Off");

    select(3);
    choose("1- Legal");
    EXPECT_TRUE(set().param200On());
    EXPECT_EQ(set().value(6), "1- Two percent");
    EXPECT_EQ(set().value(7), "1- Half e");
    EXPECT_EQ(set().value(9), "1- Half e");
    select(6);
    EXPECT_EQ(items(), (QStringList{"0- Off", "1- Small"}));
    select(9);
    EXPECT_EQ(items(), QStringList{"0- ±0.3e"});

    select(3);
    choose("0- Normal");
    select(9);
    EXPECT_EQ(items().size(), 5) << "the full lists come back";
}

TEST_F(ParameterPageTest, ListsFollowTheModel)
{
    startRead("ZR1");
    select(8);
    EXPECT_EQ(items(), (QStringList{"0- Off", "1- Key"}));
    select(51);
    EXPECT_EQ(items(), (QStringList{"1- Ticket", "2- Matrix", "4- Thermal"}));
    select(29);
    EXPECT_EQ(items(), (QStringList{"0- Off", "1- Continuous", "2- Printer", "3- PC"}));
    select(1);
    EXPECT_FALSE(shown("SSPanel9")) << "no date editor on a ZR1";
}

TEST_F(ParameterPageTest, LeavingPcCommunicationInTheSamePortRowWarns)
{
    startRead();
    select(29);
    choose("3- PC");
    choose("2- Printer");
    ASSERT_EQ(op.dialogCount(), 1);
    EXPECT_EQ(op.last().text, "Port changes\nLink lost");
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);

    choose("3- PC");
    select(35);
    choose("2- Printer");
    EXPECT_EQ(op.dialogCount(), 1) << "another port row does not warn";
}

TEST_F(ParameterPageTest, DatePanelProposesTodayChecksTheDateAndWritesTheCell)
{
    startRead();
    set().setValue(1, QString());
    select(1);
    ASSERT_TRUE(shown("SSPanel9"));
    auto field = [&](int i) { return ctl<QLineEdit>(QStringLiteral("Text13_%1").arg(i)); };
    EXPECT_EQ(field(0)->text(), "12");
    EXPECT_EQ(field(1)->text(), "03");
    EXPECT_EQ(field(2)->text(), "26");
    EXPECT_EQ(field(3)->text(), "00");

    field(0)->clear();
    QTest::keyClicks(field(0), "7x");
    EXPECT_EQ(field(0)->text(), "7") << "only digits";
    QTest::keyClick(field(0), Qt::Key_Return);
    EXPECT_TRUE(field(1)->hasFocus() || !form->isActiveWindow());
    field(1)->setText("3");
    QTest::mouseClick(ctl("Image1_0"), Qt::LeftButton);
    EXPECT_EQ(set().value(1), "07-03-26 \\ 00:00:00");
    EXPECT_FALSE(shown("SSPanel9"));

    select(3);
    select(1);
    field(1)->setText("13");
    QTest::mouseClick(ctl("Image1_0"), Qt::LeftButton);
    EXPECT_EQ(op.messages().last(), "Bad date");
    EXPECT_TRUE(shown("SSPanel9"));
    field(1)->setText("04");
    field(3)->setText("24");
    QTest::keyClick(field(5), Qt::Key_Return);
    EXPECT_EQ(op.messages().last(), "Invalid time: the hours must be 0-23, the minutes and seconds 0-59.");
    EXPECT_EQ(set().value(1), "07-03-26 \\ 00:00:00");
    QTest::keyClick(field(2), Qt::Key_Escape);
    EXPECT_FALSE(shown("SSPanel9"));
    EXPECT_EQ(set().value(1), "07-03-26 \\ 00:00:00");
}

TEST_F(ParameterPageTest, SendPanelWritesTheTickedParameterGroups)
{
    startRead();
    select(30);
    choose("5-38400");
    for (int box = 0; box < 9; ++box)
        ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(box))->setChecked(box == 7);
    device.clearCommands();
    form->batchPanels().openSendPanel();
    ASSERT_TRUE(shown("SSPanel3"));
    ctl<QCheckBox>("CheckRestorePoint")->setChecked(false);  // the send alone, without its restore point
    QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    EXPECT_EQ(device.commands(), (std::vector<int>{3, 19, 8, 20})) << "the probe, then the Nrm group";
    EXPECT_EQ(device.reg(167) & 0xFF, 0x05) << "[001] 5-38400";
    EXPECT_FALSE(shown("SSPanel3"));
    EXPECT_EQ(light(), vx::gui::Light::Green);
}

}  // namespace
