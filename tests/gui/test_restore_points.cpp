// The send panel's restore point and the question before sending another indicator's
// file, in the window against the virtual indicator: the check box on by default and
// remembered, a send that leaves a restore point of what it overwrote, a restore point
// folder that cannot be written, File → "Restore points…" and its send and compare.

#include "GuiFixture.h"

#include "files/ConfigFile.h"
#include "gui/FileMenu.h"
#include "gui/FilePanels.h"
#include "gui/RestorePointsDialog.h"
#include "sim/Memories.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

// The codes that store something on the indicator.
const std::vector<int> kStoreCommands = {4, 2, 6, 8, 9, 11, 13, 16};

class RestorePointsTest : public GuiTest {
protected:
    // Connected, with every group read into the window.
    void startRead()
    {
        start();
        form->fileMenu().Dialog1 = [this](bool, const QString &, const QString &) {
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
        file(9);
        for (int i = 0; i < 7; ++i)
            ctl<QCheckBox>(QStringLiteral("SSCheck1_%1").arg(i))->setChecked(i <= 3);
        QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
        ASSERT_FALSE(shown("SSPanel2"));
    }
    void file(int index) { action(QStringLiteral("MnDosya_%1").arg(index))->trigger(); }
    void send(std::initializer_list<int> boxes)
    {
        file(8);
        ASSERT_TRUE(shown("SSPanel3"));
        for (int i = 0; i < 9; ++i)
            ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(i))->setChecked(false);
        for (int i : boxes)
            ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(i))->setChecked(true);
        QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    }
    bool stored() const
    {
        for (int code : device.commands())
            if (std::find(kStoreCommands.begin(), kStoreCommands.end(), code) != kStoreCommands.end())
                return true;
        return false;
    }
    QStringList restorePoints() const
    {
        return QDir(dir.filePath("BACKUP")).entryList({"*.Vxr"}, QDir::Files);
    }

    QStringList answers;
};

TEST_F(RestorePointsTest, TheBoxIsOnByDefaultAndRemembered)
{
    start();
    file(8);
    auto *box = ctl<QCheckBox>("CheckRestorePoint");
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(box->text(), "Restore point before sending");
    QTest::mouseClick(ctl("SSCommand4_1"), Qt::LeftButton);
    box->setChecked(false);
    EXPECT_EQ(store->value("ZR", "RestorePoint"), "0");

    form.reset();
    start();
    EXPECT_FALSE(ctl<QCheckBox>("CheckRestorePoint")->isChecked());
    ctl<QCheckBox>("CheckRestorePoint")->setChecked(true);
    form.reset();
    start();
    EXPECT_TRUE(ctl<QCheckBox>("CheckRestorePoint")->isChecked());
}

TEST_F(RestorePointsTest, ASendLeavesARestorePointThatTheListOffersToSendBack)
{
    startRead();
    vx::sim::SetStoredId(device, 3, 4711, "ÖNCEKİ");
    send({1});
    EXPECT_EQ(op.count(Kind::YesNo), 0) << "the window's data is this indicator's";
    EXPECT_EQ(vx::sim::StoredId(device, 3).number, 1002) << "the ID memory read before went back";
    const QStringList points = restorePoints();
    ASSERT_EQ(points.size(), 1);
    EXPECT_TRUE(points[0].startsWith("ZR2_SN0001234_")) << points[0].toStdString();
    const QString point = QDir(dir.filePath("BACKUP")).filePath(points[0]);
    const std::optional<vx::ConfigurationRecord> saved = vx::ReadConfigurationFile(point);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->idMemory.IdNumbers[3].trimmed(), "4711") << "what the send overwrote";

    QStringList compared;
    form->fileMenu().compareWithIndicator = [&](const QString &path) { compared << path; };
    action("MnDosyaRestorePoints")->trigger();
    vx::gui::RestorePointsDialog *dialog = form->fileMenu().restorePointsDialog();
    ASSERT_NE(dialog, nullptr);
    auto *list = dialog->findChild<QTreeWidget *>("RestorePointList");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), points[0]);
    // The time the name carries, in local time with its offset.
    {
        const vx::test::LocalZone istanbul("<+03>-3");
        action("MnDosyaRestorePoints")->trigger();
        dialog = form->fileMenu().restorePointsDialog();
        list = dialog->findChild<QTreeWidget *>("RestorePointList");
        const QString time = list->topLevelItem(0)->text(0);
        EXPECT_TRUE(QRegularExpression("^2026-03-12 10:00:\\d\\d UTC\\+03:00$").match(time).hasMatch())
            << time.toStdString();
        EXPECT_EQ(list->topLevelItem(0)->toolTip(1), QDir::toNativeSeparators(point));
    }
    QTest::mouseClick(dialog->findChild<QPushButton *>("RestorePointCompare"), Qt::LeftButton);
    EXPECT_EQ(compared, QStringList({point}));

    // Send: the restore point is the working set and the send panel is open.
    device.clearCommands();
    QTest::mouseClick(dialog->findChild<QPushButton *>("RestorePointSend"), Qt::LeftButton);
    EXPECT_TRUE(form->windowTitle().contains(points[0]));
    ASSERT_TRUE(shown("SSPanel3"));
    ctl<QCheckBox>("CheckRestorePoint")->setChecked(false);
    for (int i = 0; i < 9; ++i)
        ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(i))->setChecked(i == 1);
    QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    EXPECT_EQ(vx::sim::StoredId(device, 3).number, 4711) << "restored";
    EXPECT_EQ(op.count(Kind::YesNo), 0) << "a restore point names its indicator";
}

TEST_F(RestorePointsTest, ARestorePointFolderThatCannotBeWrittenStopsTheSend)
{
    startRead();
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    vx::setWritableFolder(dir.filePath("plain"));  // BACKUP under a file cannot be made
    device.clearCommands();
    send({1, 7});
    ASSERT_FALSE(op.messages().isEmpty());
    EXPECT_TRUE(op.messages().last().startsWith("No restore point could be made: the folder"))
        << op.messages().last().toStdString();
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_TRUE(device.commands().empty()) << "not even the probe";
    EXPECT_FALSE(shown("SSPanel3"));
}

TEST_F(RestorePointsTest, AnotherIndicatorsFileIsAskedAboutBeforeItIsSent)
{
    startRead();
    answers = {dir.filePath("other.vxr"), dir.filePath("other.vxr")};
    form->fileMenu().SaveCommand(4);
    device.setSecondText("SN99999999");  // another indicator on the line now
    file(1);
    ASSERT_TRUE(form->windowTitle().contains("other.vxr"));
    device.clearCommands();
    op.yesNoAnswers = {vx::Choice::No};
    send({5});
    ASSERT_EQ(op.count(Kind::YesNo), 1);
    EXPECT_TRUE(op.last().text.startsWith("This file belongs to another indicator.")) << op.last().text.toStdString();
    EXPECT_TRUE(op.last().text.contains("\"SN0001234\"\nIndicator: "));
    EXPECT_TRUE(op.last().text.contains("\"SN9999999\""));
    EXPECT_TRUE(op.last().text.contains("\"E37\" is ticked")) << "the calibration group by its caption";
    EXPECT_FALSE(stored());
    EXPECT_TRUE(restorePoints().isEmpty()) << "declined: no restore point either";
    EXPECT_FALSE(shown("SSPanel3"));
}

}  // namespace
