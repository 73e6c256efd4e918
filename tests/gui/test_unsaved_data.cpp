// What the technician typed or opened against the tab refresh: the question before
// a read would replace data the indicator has not got (tab change, F5, the toolbar's
// refresh; never the status tab or its timer), and the "*" of the title while the
// working set holds changes no file has.

#include "GuiFixture.h"

#include "gui/FileMenu.h"
#include "sim/Memories.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

const char *const Question = "The data on this page (typed or opened from a file) is not on the indicator. "
                             "Replace it with what the indicator holds?";

class UnsavedDataTest : public GuiTest {
protected:
    void startConnected()
    {
        start();
        form->show();
        form->fileMenu().Dialog1 = [this](bool, const QString &, const QString &) {
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        vx::sim::SetStoredTicketLine(device, 0, QByteArray("INDICATOR LINE 1 XYZ"));
        vx::sim::SetStoredId(device, 2, 777, QStringLiteral("FROM INDICATOR"));
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
    }
    QLineEdit *box(const QString &name) const { return ctl<QLineEdit>(name); }
    void showTab(int tab) { form->tabs()->setCurrentIndex(tab); }
    void file(int index) { action(QStringLiteral("MnDosya_%1").arg(index))->trigger(); }
    int questions() const { return op.count(Kind::YesNo); }
    bool sentAnything() const { return !device.requests().isEmpty(); }
    QString title() const { return form->windowTitle(); }

    QStringList answers;
};

TEST_F(UnsavedDataTest, TypedHeaderLinesAreKeptOnNoAndReplacedOnYesWhicheverWayTheRefreshCame)
{
    startConnected();
    QTest::keyClicks(box("Baslık_0"), "TYPED");
    ASSERT_EQ(box("Baslık_0")->text(), "TYPED");
    device.clearRequests();

    // F5 and the toolbar's refresh: No keeps the line and sends nothing.
    op.yesNoAnswers = {vx::Choice::No, vx::Choice::No};
    QTest::keyClick(form.get(), Qt::Key_F5);
    action("Toolbar1_11")->trigger();
    EXPECT_EQ(questions(), 2);
    EXPECT_EQ(op.last().text, Question);
    EXPECT_EQ(op.last().icon, vx::Icon::Question);
    EXPECT_EQ(box("Baslık_0")->text(), "TYPED");
    EXPECT_TRUE(device.requests().isEmpty()) << device.requests().join(' ').toStdString();

    // A tab change and back: the same question; Yes reads and replaces.
    showTab(vx::Tab::Calibration);
    const int before = questions();
    op.yesNoAnswers = {vx::Choice::Yes};
    showTab(vx::Tab::Header);
    EXPECT_EQ(questions(), before + 1);
    EXPECT_EQ(box("Baslık_0")->text(), "INDICATOR LINE 1 XYZ");
    EXPECT_TRUE(sentAnything());

    // What was read is the indicator's: the next refresh reads without asking.
    device.clearRequests();
    action("Toolbar1_11")->trigger();
    EXPECT_EQ(questions(), before + 1);
    EXPECT_TRUE(sentAnything());
}

TEST_F(UnsavedDataTest, AnOpenedFileIsNotReplacedByATabChangeAndSaveKeepsTheFilesData)
{
    startConnected();
    vx::WorkingSet &set = form->workingSet();
    set.ids().setRecord(2, QStringLiteral("123"), QStringLiteral("CUSTOMER A"));
    answers = {dir.filePath("customer-A.vxr")};
    file(3);
    file(0);  // New: the window is empty
    EXPECT_EQ(set.ids().name(2), "");

    answers = {dir.filePath("customer-A.vxr")};
    file(1);
    ASSERT_EQ(set.ids().name(2), "CUSTOMER A");
    device.clearRequests();
    op.yesNoAnswers = {vx::Choice::No};
    showTab(vx::Tab::IdMemory);
    EXPECT_EQ(questions(), 1);
    EXPECT_EQ(set.ids().name(2), "CUSTOMER A");
    EXPECT_FALSE(sentAnything());
    EXPECT_EQ(title(), vx::WindowTitle("customer-A.vxr"));

    // Save writes the file's own records back, not the indicator's.
    file(3);
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join('\n').toStdString();
    QFile saved(dir.filePath("customer-A.vxr"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(bytes.contains("CUSTOMER A"));
    EXPECT_FALSE(bytes.contains("FROM INDICATOR"));

    // The status tab and its timer never ask.
    showTab(vx::Tab::Status);
    clock.advance(11);
    EXPECT_EQ(questions(), 1);
    EXPECT_GE(statusReadings(), 2);

    // Back on the ID tab, Yes brings the indicator's records; the set is unsaved now.
    op.yesNoAnswers = {vx::Choice::Yes};
    showTab(vx::Tab::IdMemory);
    EXPECT_EQ(questions(), 2);
    EXPECT_EQ(set.ids().name(2), "FROM INDICATOR");
    EXPECT_EQ(title(), "*" + vx::WindowTitle("customer-A.vxr"));
}

// The parameter tab reads later (its deferred timer): No starts nothing at all.
TEST_F(UnsavedDataTest, TheParameterTabsDeferredReadIsAskedForAndNotStartedOnNo)
{
    startConnected();
    vx::WorkingSet &set = form->workingSet();
    set.parameters().setValue(30, QStringLiteral("3-9600"));
    set.edited(vx::DataGroup::Parameters);  // as the page reports a typed value
    device.clearRequests();
    op.yesNoAnswers = {vx::Choice::No};
    showTab(vx::Tab::Parameters);
    clock.advance(3.0);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(device.requests().isEmpty()) << device.requests().join(' ').toStdString();
    EXPECT_EQ(set.parameters().value(30), "3-9600");

    op.yesNoAnswers = {vx::Choice::Yes};
    action("Toolbar1_11")->trigger();
    clock.advance(3.0);
    EXPECT_EQ(questions(), 2);
    EXPECT_FALSE(device.requests().isEmpty());
    EXPECT_FALSE(set.notOnIndicator(vx::DataGroup::Parameters));
    action("Toolbar1_11")->trigger();
    clock.advance(3.0);
    EXPECT_EQ(questions(), 2) << "what was read whole is the indicator's";
}

// After a whole send the indicator holds what was typed: its refresh asks no more;
// a read-all of a group makes it the indicator's as well.
TEST_F(UnsavedDataTest, ASendOrAReadAllPutsTheGroupInStepWithTheIndicator)
{
    startConnected();
    showTab(vx::Tab::IdMemory);
    box("Text6")->clear();
    QTest::keyClicks(box("Text6"), "SENT");
    file(8);
    for (int i = 0; i < 9; ++i)
        ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(i))->setChecked(i == 1);
    QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    ASSERT_EQ(vx::sim::StoredIdHeader(device, 0), "SENT");
    action("Toolbar1_11")->trigger();
    EXPECT_EQ(questions(), 0);
    EXPECT_EQ(box("Text6")->text(), "SENT");

    box("Text8")->clear();
    QTest::keyClicks(box("Text8"), "TYPED");
    file(9);
    for (int i = 0; i < 7; ++i)
        ctl<QCheckBox>(QStringLiteral("SSCheck1_%1").arg(i))->setChecked(i == 1);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    EXPECT_EQ(questions(), 0) << "the read-all's groups are the technician's own choice";
    EXPECT_EQ(box("Text8")->text(), "PLAKA");
    action("Toolbar1_11")->trigger();
    EXPECT_EQ(questions(), 0);
}

TEST_F(UnsavedDataTest, TheTitleIsMarkedWhileChangesAreNotSaved)
{
    startConnected();
    const QString plain = vx::WindowTitle();
    const QString job = vx::WindowTitle(QStringLiteral("job.vxr"));
    EXPECT_EQ(title(), plain);

    // Read from the indicator and in no file yet: marked until saved.
    showTab(vx::Tab::IdMemory);
    EXPECT_EQ(title(), "*" + plain);
    answers = {dir.filePath("job.vxr")};
    file(3);
    EXPECT_EQ(title(), job);

    // Typed: an ID header, then a setpoint row through its entry box.
    QTest::keyClicks(box("Text6"), "PLATE");
    EXPECT_EQ(title(), "*" + job);
    file(3);
    EXPECT_EQ(title(), job);
    showTab(vx::Tab::Setpoint);
    file(3);
    ASSERT_EQ(title(), job);
    QTest::keyClicks(box("Text5_0"), "12");
    EXPECT_EQ(title(), "*" + job);
    file(3);
    EXPECT_EQ(title(), job);

    // An open and New start again without the mark.
    QTest::keyClicks(box("Text5_1"), "3");
    EXPECT_EQ(title(), "*" + job);
    answers = {dir.filePath("job.vxr")};
    file(1);
    EXPECT_EQ(title(), job);
    QTest::keyClicks(box("Text5_1"), "4");
    EXPECT_EQ(title(), "*" + job);
    file(0);
    EXPECT_EQ(title(), plain);

    // What the program itself puts into a page is no edit: no question, no mark.
    showTab(vx::Tab::Header);
    answers = {dir.filePath("job2.vxr")};
    file(3);
    ASSERT_EQ(title(), vx::WindowTitle(QStringLiteral("job2.vxr")));
    const int asked = questions();
    form->workingSet().ticket().setEplText(QStringLiteral("N\r\nP1\r\n"));
    EXPECT_EQ(title(), vx::WindowTitle(QStringLiteral("job2.vxr")));
    action("Toolbar1_11")->trigger();
    EXPECT_EQ(questions(), asked);
}

}  // namespace
