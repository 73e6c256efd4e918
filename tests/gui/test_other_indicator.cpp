// Another indicator, another set: the window reads a first indicator and saves it;
// on the same cable a second indicator (other identification texts) is connected: the
// window says the data came from the first and asks whether to keep or clear it; kept
// or cleared, Ctrl+S never writes the second indicator's data over the first file.
// The title names the indicator the data came from. And the send panel: a group the
// window holds nothing of cannot be ticked, and its box says why.

#include "GuiFixture.h"

#include "files/WorkingSet.h"
#include "gui/FileMenu.h"
#include "sim/Memories.h"

#include <QCheckBox>
#include <QFileInfo>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

class OtherIndicatorTest : public GuiTest {
protected:
    void startConnected()
    {
        start();
        form->show();
        form->fileMenu().Dialog1 = [this](bool save, const QString &, const QString &) {
            saveDialogs += save ? 1 : 0;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        vx::sim::SetStoredTicketLine(device, 0, QByteArray("FIRST CUSTOMER").leftJustified(20, ' ') + '\0');
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
    }
    // Read-all of the header, IDs, setpoints and parameters through the panel.
    void readAll()
    {
        form->batchPanels().openReadPanel();
        for (int i = 0; i < 7; ++i)
            ctl<QCheckBox>(QStringLiteral("SSCheck1_%1").arg(i))->setChecked(i <= 3);
        form->batchPanels().SSCommand2_Click(0);
    }
    // The cable now goes to another indicator: other texts at registers 199 and 204.
    void swapIndicator()
    {
        form->DisconnectAction();
        device.setSecondText("SN00099999");
        vx::sim::SetStoredTicketLine(device, 0, QByteArray("SECOND CUSTOMER").leftJustified(20, ' ') + '\0');
    }
    QByteArray contents(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void save() { action("MnDosya_3")->trigger(); }  // Ctrl+S

    QStringList answers;
    int saveDialogs = 0;
};

TEST_F(OtherIndicatorTest, ASecondIndicatorIsAskedAboutAndCtrlSNeverOverwritesTheFirstFile)
{
    startConnected();
    ASSERT_EQ(action("MnDosya_3")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    readAll();
    const QString first = dir.filePath("first.vxr");
    answers = {first};
    action("MnDosya_4")->trigger();
    const QByteArray firstBytes = contents(first);
    ASSERT_FALSE(firstBytes.isEmpty());
    EXPECT_TRUE(form->windowTitle().contains("[first.vxr] · ")) << form->windowTitle().toStdString();
    EXPECT_TRUE(form->windowTitle().endsWith(" SN0001234")) << form->windowTitle().toStdString();

    // The same indicator again: nothing asked, the file stays bound.
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_EQ(op.count(Kind::YesNo), 0);
    EXPECT_TRUE(form->windowTitle().contains("[first.vxr]"));

    // The second one: the question names both; Yes keeps the data, bound to no file.
    swapIndicator();
    op.yesNoAnswers = {vx::Choice::Yes};
    form->ConnectAction();
    ASSERT_EQ(op.count(Kind::YesNo), 1);
    EXPECT_TRUE(op.last().text.contains("SN0001234")) << op.last().text.toStdString();
    EXPECT_TRUE(op.last().text.contains("SN0009999")) << op.last().text.toStdString();
    EXPECT_FALSE(form->windowTitle().contains("first.vxr")) << form->windowTitle().toStdString();
    EXPECT_TRUE(form->windowTitle().contains("SN0001234")) << "the data is still the first indicator's";

    readAll();
    EXPECT_EQ(op.count(Kind::YesNo), 1) << "asked once for the data kept";
    EXPECT_TRUE(form->windowTitle().contains("SN0009999")) << form->windowTitle().toStdString();

    // Ctrl+S acts as Save As: the dialog comes (cancelled here), the first file stays.
    const int dialogsBefore = saveDialogs;
    save();
    EXPECT_EQ(saveDialogs, dialogsBefore + 1);
    EXPECT_EQ(contents(first), firstBytes);
    const QString second = dir.filePath("second.vxr");
    answers = {second};
    save();
    EXPECT_EQ(contents(first), firstBytes);
    EXPECT_TRUE(contents(second).contains("SECOND CUSTOMER"));
    EXPECT_TRUE(form->windowTitle().contains("[second.vxr] · ")) << form->windowTitle().toStdString();
    EXPECT_TRUE(form->windowTitle().endsWith(" SN0009999")) << form->windowTitle().toStdString();
}

TEST_F(OtherIndicatorTest, NoClearsTheFirstIndicatorsDataBeforeTheSecondIsRead)
{
    startConnected();
    readAll();
    const QString first = dir.filePath("first.vxr");
    answers = {first};
    action("MnDosya_4")->trigger();
    const QByteArray firstBytes = contents(first);

    swapIndicator();
    op.yesNoAnswers = {vx::Choice::No};
    form->ConnectAction();
    ASSERT_EQ(op.count(Kind::YesNo), 1);
    EXPECT_FALSE(form->workingSet().holdsAny());
    EXPECT_FALSE(form->windowTitle().contains("first.vxr"));

    readAll();
    save();
    EXPECT_EQ(saveDialogs, 2) << "Save As, then a Save that asks for a name";
    EXPECT_EQ(contents(first), firstBytes);
}

TEST_F(OtherIndicatorTest, AGroupTheWindowHoldsNothingOfCannotBeTickedForASend)
{
    startConnected();
    // Only the header read: the parameters were never read, opened or typed.
    form->batchPanels().openReadPanel();
    for (int i = 0; i < 7; ++i)
        ctl<QCheckBox>(QStringLiteral("SSCheck1_%1").arg(i))->setChecked(i == 0);
    form->batchPanels().SSCommand2_Click(0);
    ctl<QCheckBox>("SSCheck2_7")->setChecked(true);
    form->batchPanels().openSendPanel();

    EXPECT_TRUE(ctl<QCheckBox>("SSCheck2_0")->isEnabled());
    for (const char *name : {"SSCheck2_1", "SSCheck2_3", "SSCheck2_5", "SSCheck2_6", "SSCheck2_7", "SSCheck2_8"}) {
        EXPECT_FALSE(ctl<QCheckBox>(name)->isEnabled()) << name;
        EXPECT_FALSE(ctl<QCheckBox>(name)->isChecked()) << name;
        EXPECT_EQ(ctl<QCheckBox>(name)->toolTip(), form->texts().builtIn(vx::BuiltIn::SendGroupEmpty)) << name;
    }

    // Pressed anyway: the Nrm block stays as the indicator holds it.
    const QByteArray configuration = device.bytes(149, 100);
    op.yesNoAnswers = {vx::Choice::Yes, vx::Choice::Yes};
    form->batchPanels().SSCommand4_Click(0);
    EXPECT_EQ(device.bytes(149, 100).toHex(), configuration.toHex());
}

}  // namespace
