// The memory and ticket tabs in the window against the virtual indicator: the read
// on entering a tab, the entry boxes over the grids with their keys and moves, the
// ticket lines with their alignment and keyboard moves, the printer kind and the
// EPL text files.

#include "GuiFixture.h"

#include "gui/HeaderPage.h"
#include "gui/IdPage.h"
#include "gui/PresetTarePage.h"
#include "gui/RowEntry.h"
#include "gui/SetpointPage.h"
#include "sim/Memories.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using vx::test::GuiTest;

namespace {

class MemoryPagesTest : public GuiTest {
protected:
    void startConnected(const QString &model = QStringLiteral("ZR2"))
    {
        start(model);
        form->show();
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
    }
    vx::gui::HeaderPage &header() { return *static_cast<vx::gui::HeaderPage *>(form->page(vx::Tab::Header)); }
    vx::gui::IdPage &ids() { return *static_cast<vx::gui::IdPage *>(form->page(vx::Tab::IdMemory)); }
    vx::gui::SetpointPage &setpoints() { return *static_cast<vx::gui::SetpointPage *>(form->page(vx::Tab::Setpoint)); }
    vx::gui::PresetTarePage &tares() { return *static_cast<vx::gui::PresetTarePage *>(form->page(vx::Tab::PresetTare)); }
    QLineEdit *box(const QString &name) { return ctl<QLineEdit>(name); }
    // Keys carrying each character (Turkish letters included), through the filters.
    void type(const QString &name, const QString &text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box(name), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box(name), &release);
        }
    }
    bool focused(const QString &name) { return form->focusWidget() == box(name); }
    void key(const QString &name, Qt::Key k) { QTest::keyClick(box(name), k); }
    // Requests that read register `reg` (no address, checksum on).
    int readsOf(int reg) const
    {
        const QString prefix = QStringLiteral("@03%1").arg(reg, 4, 16, QLatin1Char('0')).toUpper();
        return int(std::count_if(device.requests().begin(), device.requests().end(),
                                 [&](const QString &r) { return r.startsWith(prefix); }));
    }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

// ---- header and footnote ----

TEST_F(MemoryPagesTest, EnteringTheHeaderTabReadsTheLines)
{
    startConnected();
    form->tabs()->setCurrentIndex(vx::Tab::IdMemory);
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    // As the indicator keeps them, its centring blanks and all.
    EXPECT_EQ(box("Baslık_0")->text(), "   ÖZTÜRK KANTAR    ");
    EXPECT_EQ(box("DipNot_0")->text(), "  İyi yolculuklar   ");
    EXPECT_EQ(box("Baslık_3")->text(), QString());
    EXPECT_EQ(light(), vx::gui::Light::Green);
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(MemoryPagesTest, LinesEditAlignAndMoveByKeyboard)
{
    start();
    vx::TicketLayout &layout = header().ticketLayout();
    type("Baslık_0", "ABC");
    EXPECT_EQ(layout.line(0), "ABC");

    // Down and Up stay within a group; Backspace in an empty line goes back one.
    box("Baslık_0")->setFocus();
    key("Baslık_0", Qt::Key_Down);
    key("Baslık_1", Qt::Key_Down);
    key("Baslık_2", Qt::Key_Down);
    key("Baslık_3", Qt::Key_Down);
    EXPECT_TRUE(focused("Baslık_3")) << "the footnote is another group";
    key("Baslık_3", Qt::Key_Backspace);
    EXPECT_TRUE(focused("Baslık_2"));
    box("DipNot_1")->setFocus();
    key("DipNot_1", Qt::Key_Up);
    key("DipNot_0", Qt::Key_Up);
    EXPECT_TRUE(focused("DipNot_0"));
    // Backspace in a line with text deletes as usual.
    type("DipNot_0", "XY");
    key("DipNot_0", Qt::Key_Backspace);
    EXPECT_EQ(layout.line(4), "X");
    EXPECT_TRUE(focused("DipNot_0"));

    // The two buttons of an alignment toolbar exclude each other.
    action("Toolbar2_0_2")->trigger();
    EXPECT_FALSE(layout.headerCentred());
    EXPECT_FALSE(action("Toolbar2_0_1")->isChecked());
    EXPECT_TRUE(layout.footnoteCentred());
    layout.setHeaderCentred(true);
    EXPECT_TRUE(action("Toolbar2_0_1")->isChecked());
    EXPECT_FALSE(action("Toolbar2_0_2")->isChecked());

    // The layout's changes show in the boxes.
    layout.setLine(5, "SON");
    EXPECT_EQ(box("DipNot_1")->text(), "SON");
}

TEST_F(MemoryPagesTest, PrinterKindSwitchesBetweenLinesAndEplText)
{
    start();
    auto *epl = ctl<QPlainTextEdit>("EPL");
    EXPECT_FALSE(epl->isEnabled());
    EXPECT_TRUE(ctl("Frame9_1")->isEnabled());
    ctl<QRadioButton>("Option3_1")->click();
    EXPECT_EQ(header().ticketLayout().printerKind(), vx::PrinterKind::Epl);
    EXPECT_TRUE(epl->isEnabled());
    EXPECT_TRUE(ctl<QPushButton>("SSCommand10_0")->isEnabled());
    EXPECT_FALSE(ctl("Frame9_1")->isEnabled());

    // The box shows line breaks, the text has CR LF.
    epl->setPlainText("N\nP1");
    EXPECT_EQ(header().ticketLayout().eplText(), "N\r\nP1");
    header().ticketLayout().setEplText("A\r\nB\r\n");
    EXPECT_EQ(epl->toPlainText(), "A\nB\n");

    ctl<QRadioButton>("Option3_0")->click();
    EXPECT_FALSE(epl->isEnabled());
    EXPECT_TRUE(ctl("Frame9_1")->isEnabled());
}

TEST_F(MemoryPagesTest, EplReadWhenTheEplPrinterIsChosen)
{
    startConnected();
    ctl<QRadioButton>("Option3_1")->click();
    form->refresher().refresh();
    EXPECT_TRUE(header().ticketLayout().eplText().startsWith("N\r\nq608\r\n"));
    EXPECT_TRUE(ctl<QPlainTextEdit>("EPL")->toPlainText().endsWith("P1\n"));
    EXPECT_EQ(readsOf(40), 0) << "the lines are not read";
}

TEST_F(MemoryPagesTest, EplFileLoadAsksAboutLongFilesAndKeepsTheTextWhenItCannot)
{
    start();
    QString chosen;
    header().chooseEplFile = [&](bool) { return chosen; };
    vx::TicketLayout &layout = header().ticketLayout();
    layout.setEplText("KEEP\r\n");

    // Cancelled dialog: nothing happens.
    header().SSCommand10_Click(0);
    EXPECT_EQ(layout.eplText(), "KEEP\r\n");

    // A file that cannot be read: said so, the text stays.
    chosen = dir.filePath("missing.txt");
    header().SSCommand10_Click(0);
    EXPECT_EQ(layout.eplText(), "KEEP\r\n");
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages()[0].contains("missing.txt"));

    // 1200 bytes: asked first; No keeps the text, Yes loads every line.
    QByteArray longFile;
    for (int i = 0; i < 100; ++i)
        longFile += "A10,10,0,3\r\n";  // 12 bytes a line
    writeFile("long.txt", longFile);
    chosen = dir.filePath("long.txt");
    op.clear();
    op.yesNoAnswers = {vx::Choice::No};
    header().SSCommand10_Click(0);
    EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::YesNo), 1);
    EXPECT_EQ(op.last().text, "E340");
    EXPECT_EQ(layout.eplText(), "KEEP\r\n");
    op.yesNoAnswers = {vx::Choice::Yes};
    header().SSCommand10_Click(0);
    EXPECT_EQ(layout.eplText(), QString::fromLatin1(longFile));

    // A save writes the text as it stands.
    chosen = dir.filePath("saved.txt");
    header().SSCommand10_Click(1);
    QFile saved(chosen);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), longFile);
}

TEST_F(MemoryPagesTest, WithoutTheEplPrinterTheLinesAreRead)
{
    start(QStringLiteral("ZR1"));
    header().ticketLayout().setPrinterKind(vx::PrinterKind::Epl);
    EXPECT_EQ(header().printerKind(), vx::PrinterKind::Ticket);
    EXPECT_TRUE(ctl<QRadioButton>("Option3_1")->isHidden());
    EXPECT_TRUE(ctl("Frame9_1")->isEnabled());
}

// ---- ID memory ----

TEST_F(MemoryPagesTest, EnteringTheIdTabReadsTheMemory)
{
    startConnected();
    form->tabs()->setCurrentIndex(vx::Tab::IdMemory);
    EXPECT_EQ(box("Text11_1")->text(), "YILDIZ NAKLİYAT");
    EXPECT_EQ(box("Text8")->text(), "PLAKA");
    auto *grid = ctl<QTableView>("Grid1_0");
    EXPECT_EQ(grid->model()->index(2, 1).data().toString(), "1001");
    EXPECT_EQ(grid->model()->index(2, 0).data().toString(), "ID Memory 1");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "E409");
    EXPECT_TRUE(grid->isRowHidden(0));
    EXPECT_TRUE(grid->isRowHidden(1));
    // The entry boxes stand over the first memory row.
    EXPECT_EQ(box("Text3")->text(), "ÖZKAN HAFRİYAT");
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(MemoryPagesTest, IdEntryBoxesEditTheSelectedRow)
{
    start();
    vx::IdMemory &memory = ids().memory();
    vx::gui::RowEntry &entry = *ids().entry();
    // From a hidden row (a current ID) the selection first moves to the first memory row.
    ids().grid()->setCurrentIndex(ids().grid()->model()->index(0, 0));
    type("Text2", "12a3");
    EXPECT_EQ(entry.currentRow(), 2);
    EXPECT_EQ(memory.number(2), "123") << "a letter is dropped";
    EXPECT_EQ(memory.number(0), QString());
    type("Text3", "ÇİMENTO");
    EXPECT_EQ(memory.name(2), "ÇİMENTO");

    // Down and Enter go to the next row, Up back; the boxes follow.
    const int beeps = vx::gui::BeepCount();
    key("Text2", Qt::Key_Up);
    EXPECT_EQ(entry.currentRow(), 2);
    EXPECT_EQ(vx::gui::BeepCount(), beeps + 1) << "the first memory row is the top";
    key("Text2", Qt::Key_Return);
    EXPECT_EQ(entry.currentRow(), 3);
    EXPECT_EQ(box("Text2")->text(), QString());
    type("Text2", "77");
    key("Text3", Qt::Key_Up);
    EXPECT_EQ(entry.currentRow(), 2);
    EXPECT_EQ(box("Text2")->text(), "123");
    EXPECT_EQ(memory.number(3), "77");
    type("Text2", "a");  // a letter beeps
    ids().entry()->setCurrentRow(100);
    key("Text2", Qt::Key_Down);
    EXPECT_EQ(entry.currentRow(), 100);
    EXPECT_EQ(vx::gui::BeepCount(), beeps + 3);

    // The current IDs and the headers have boxes of their own.
    type("Text11_0", "9x9");
    type("Text8", "DORSE");
    EXPECT_EQ(memory.number(0), "99");
    EXPECT_EQ(memory.idHeader(1), "DORSE");
    memory.setRecord(0, "5", "BEŞ");
    EXPECT_EQ(box("Text11_1")->text(), "BEŞ");
}

// A click on a row of the real grid puts the keys into the box over the clicked
// cell, its text selected: what is typed then replaces the cell's text.
TEST_F(MemoryPagesTest, TheFirstClickOnAnIdRowStartsItsEditAndEscapeCancelsIt)
{
    startConnected();
    form->tabs()->setCurrentIndex(vx::Tab::IdMemory);
    QApplication::processEvents();
    QTableView *grid = ids().grid();
    vx::IdMemory &memory = ids().memory();
    ASSERT_EQ(memory.number(2), "1001");
    const QString name4 = memory.name(4);
    grid->setFocus();

    // The name cell of row 4, never selected before (the model's rows are the grid's).
    const QRect nameCell = grid->visualRect(grid->model()->index(4, 2));
    ASSERT_TRUE(nameCell.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, nameCell.center());
    EXPECT_EQ(ids().entry()->currentRow(), 4);
    EXPECT_TRUE(focused("Text3"));
    QTest::keyClicks(QApplication::focusWidget(), "KUM OCAGI");
    EXPECT_EQ(memory.name(4), "KUM OCAGI") << "typed after the first click, the text is in the cell";
    EXPECT_EQ(grid->model()->index(4, 2).data().toString(), "KUM OCAGI");
    EXPECT_NE(name4, "KUM OCAGI");

    // The caption column of another row: the number box takes the keys.
    const QRect caption = grid->visualRect(grid->model()->index(6, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, caption.center());
    EXPECT_EQ(ids().entry()->currentRow(), 6);
    EXPECT_TRUE(focused("Text2"));
    const QString number6 = memory.number(6);
    QTest::keyClicks(QApplication::focusWidget(), "4711");
    EXPECT_EQ(memory.number(6), "4711");
    // Escape puts back what the cell held before the edit, in the cell and the box.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(memory.number(6), number6);
    EXPECT_EQ(box("Text2")->text(), number6);
    // An edit left for another row is kept: Escape there has nothing to cancel.
    key("Text2", Qt::Key_Up);
    const QString number5 = memory.number(5);
    box("Text2")->end(false);
    QTest::keyClicks(box("Text2"), "9");
    key("Text2", Qt::Key_Down);
    QTest::keyClick(box("Text2"), Qt::Key_Escape);
    EXPECT_EQ(memory.number(5), number5 + "9");
    EXPECT_EQ(memory.name(4), "KUM OCAGI");
    EXPECT_EQ(memory.number(6), number6);
}

TEST_F(MemoryPagesTest, PastedLettersAreDroppedInNumberBoxes)
{
    start();
    // As a paste does: the text changes without a key press to filter.
    box("Text2")->setText("4a5");
    emit box("Text2")->textEdited("4a5");
    EXPECT_EQ(box("Text2")->text(), "45");
    EXPECT_EQ(ids().memory().number(2), "45");
}

// ---- setpoint memory ----

TEST_F(MemoryPagesTest, EnteringTheSetpointTabReadsWithTheDecimals)
{
    startConnected();
    vx::WeightFormat weight;
    weight.WeightFormatReference = "300.09";
    weight.DecimalsPattern = "00";
    form->state().weight = weight;
    form->tabs()->setCurrentIndex(vx::Tab::Setpoint);
    auto *grid = ctl<QTableView>("Grid1_1");
    EXPECT_EQ(grid->model()->index(1, 3).data().toString(), "120,00");
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), "Setpoint - 2");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "E411");
    EXPECT_EQ(box("Text5_0")->text(), "50,00");
}

TEST_F(MemoryPagesTest, SetpointEntryRefusesWhatTheWriteCannotCarry)
{
    start();
    vx::WeightFormat weight;
    weight.DecimalsPattern = "00";
    form->state().weight = weight;
    vx::SetpointMemory &memory = setpoints().memory();
    type("Text5_1", "9999,99");
    EXPECT_EQ(memory.value(0, 1), "9999,99");
    EXPECT_EQ(op.dialogCount(), 0);
    // A seventh digit (the fifth before the comma): refused with a message, the cell
    // keeps the value before it.
    box("Text5_1")->clear();
    memory.setValue(0, 1, "");
    type("Text5_1", "12345");
    EXPECT_EQ(memory.value(0, 1), "1234");
    EXPECT_EQ(box("Text5_1")->text(), "1234");
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages()[0].contains("12345"));
    EXPECT_EQ(op.last().icon, vx::Icon::Warning);
    // Letters and a second comma are not taken.
    box("Text5_2")->clear();
    type("Text5_2", "1a2,5,0");
    EXPECT_EQ(memory.value(0, 2), "12,50");
    EXPECT_EQ(op.messages().size(), 1);
}

TEST_F(MemoryPagesTest, AClickIntoASetpointCellSelectsItsTextSoTypingReplacesIt)
{
    startConnected();
    vx::WeightFormat weight;
    weight.DecimalsPattern = "0";
    form->state().weight = weight;
    form->tabs()->setCurrentIndex(vx::Tab::Setpoint);
    QApplication::processEvents();
    vx::SetpointMemory &memory = setpoints().memory();
    memory.setValue(0, 1, "0,0");
    ASSERT_EQ(box("Text5_1")->text(), "0,0");
    // Setpoint-1 of the first record, then Setpoint-2 of the same row, clicked at its
    // left edge (the text stands at the right: a plain line edit puts the cursor before it).
    QTest::mouseClick(box("Text5_0"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 5));
    EXPECT_TRUE(focused("Text5_0"));
    EXPECT_EQ(box("Text5_0")->selectedText(), box("Text5_0")->text());
    QTest::mouseClick(box("Text5_1"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 5));
    EXPECT_TRUE(focused("Text5_1"));
    QTest::keyClicks(box("Text5_1"), "240");
    EXPECT_EQ(box("Text5_1")->text(), "240") << "not 2400,0";
    EXPECT_EQ(memory.value(0, 1), "240");
    // A second click into the box that has the keys places the cursor as usual.
    box("Text5_1")->selectAll();
    QTest::mouseClick(box("Text5_1"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 5));
    EXPECT_FALSE(box("Text5_1")->hasSelectedText());
}

// ---- preset tare ----

TEST_F(MemoryPagesTest, PresetTareTabStaysHiddenAndItsBoxTakesDigits)
{
    startConnected();
    EXPECT_FALSE(form->tabs()->isTabVisible(vx::Tab::PresetTare));
    type("Text7", "12,5");
    EXPECT_EQ(tares().tares().value(0), "125");
    key("Text7", Qt::Key_Down);
    EXPECT_EQ(tares().entry()->currentRow(), 1);
    auto *grid = ctl<QTableView>("Grid1_4");
    EXPECT_EQ(grid->model()->index(98, 0).data().toString(), "P.Dara Memory 99");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "P.Dara Ağırlığı");
}

}  // namespace
