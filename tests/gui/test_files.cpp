// The File menu and the batch panels in the window against the virtual indicator:
// save names and the title, a save or an open that fails, New and Open, the clear
// button, the read-all panel with Escape, and the send panel with its hardware read
// and its fixed order.

#include "GuiFixture.h"

#include "files/ConfigFile.h"
#include "link/AppPaths.h"
#include "gui/FileMenu.h"
#include "gui/FilePanels.h"
#include "gui/StatusPage.h"
#include "sim/Faults.h"
#include "sim/Memories.h"
#include "support/FullDisk.h"
#include "support/SimFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeySequence>
#include <QStandardPaths>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <optional>

using vx::test::GuiTest;

namespace {

class FilesTest : public GuiTest {
protected:
    void startWithDialog(const QString &model = QStringLiteral("ZR2"))
    {
        start(model);
        form->show();
        form->fileMenu().Dialog1 = [this](bool save, const QString &folder, const QString &name) {
            dialogs << QStringLiteral("%1 %2").arg(save ? "save" : "open", name);
            lastFolder = folder;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
    }
    void connect()
    {
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
    }
    void file(int index) { action(QStringLiteral("MnDosya_%1").arg(index))->trigger(); }
    QLineEdit *box(const QString &name) { return ctl<QLineEdit>(name); }
    QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString version() const { return vx::WindowTitle(); }
    void tick(bool send, std::initializer_list<int> boxes)
    {
        const QString name = send ? "SSCheck2_%1" : "SSCheck1_%1";
        for (int i = 0; i < (send ? 9 : 7); ++i)
            ctl<QCheckBox>(name.arg(i))->setChecked(false);
        for (int i : boxes)
            ctl<QCheckBox>(name.arg(i))->setChecked(true);
    }
    int firstCommand(int code) const
    {
        const auto &c = device.commands();
        const auto it = std::find(c.begin(), c.end(), code);
        return it == c.end() ? -1 : int(it - c.begin());
    }
    // The status bar's passing message is the given text after its time stamp.
    bool statusSays(vx::BuiltIn text) const
    {
        const QString message = form->statusBar()->currentMessage();
        return !message.isEmpty() && message.endsWith(form->texts().builtIn(text).mid(2));
    }

    QStringList dialogs, answers;
    QString lastFolder;
};

TEST_F(FilesTest, SaveNamesTheFileByItsRulesAndAPlainSaveReusesIt)
{
    startWithDialog();
    EXPECT_EQ(form->windowTitle(), version());
    form->workingSet().ids().setName(2, "ÖZKAN");

    answers = {dir.filePath("abc")};
    file(3);  // the first plain save asks for a name
    EXPECT_EQ(dialogs, QStringList({"save *.Vxr"}));
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("abc.vxr")));
    EXPECT_EQ(form->windowTitle(), version() + " [abc.vxr]");
    EXPECT_EQ(bytesOf(dir.filePath("abc.vxr")).size(), 6548);

    form->workingSet().ids().setName(2, "ÇAKIR");
    file(3);
    EXPECT_EQ(dialogs.size(), 1) << "no dialog for the second plain save";
    EXPECT_TRUE(bytesOf(dir.filePath("abc.vxr")).contains("\xC7" "AKIR"));

    answers = {dir.filePath("abc.def")};
    file(4);
    EXPECT_EQ(dialogs.last(), "save abc.vxr") << "save as proposes the current name";
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("abc.def")));
    EXPECT_EQ(form->windowTitle(), version() + " [abc.def]");

    answers = {};
    file(4);  // cancelled: nothing changes
    EXPECT_EQ(form->fileMenu().state().ConfigFileName, "abc.def");
    EXPECT_TRUE(op.messages().isEmpty());
}

// A save says so in the status bar (in the language in use, also after a change);
// the dialogs start in the program folder, then in the folder last used.
TEST_F(FilesTest, SavesAreConfirmedAndTheDialogsStartWhereTheLastFileWas)
{
    startWithDialog();
    QDir(dir.path()).mkpath("jobs");
    answers = {dir.filePath("jobs/site1")};
    file(4);
    EXPECT_EQ(lastFolder, dir.path() + "/") << "at first the program folder";
    const QString path = QDir::toNativeSeparators(dir.filePath("jobs/site1.vxr"));
    const QString saved = form->statusBar()->currentMessage();
    EXPECT_TRUE(saved.endsWith(": saved to " + path)) << qPrintable(saved);
    EXPECT_EQ(saved.size(), QStringLiteral("HH:mm:ss").size() + path.size() + 11) << "stamped with the time";

    // A plain save writes without a dialog and says so too.
    form->statusBar()->clearMessage();
    file(3);
    EXPECT_TRUE(form->statusBar()->currentMessage().endsWith(": saved to " + path));
    // Saved in Turkish the note follows a language change.
    form->MnAyar_Click(3);
    ctl<QComboBox>("Combo5")->setCurrentText("Türkçe.txt");
    form->SSCommand9_Click();
    EXPECT_TRUE(form->statusBar()->currentMessage().endsWith(": kaydedildi: " + path))
        << qPrintable(form->statusBar()->currentMessage());

    answers = {};
    file(1);  // open: the folder of the file last saved
    EXPECT_EQ(lastFolder, dir.path() + "/jobs/");
    answers = {dir.filePath("other.vxr")};
    file(4);
    EXPECT_EQ(lastFolder, dir.path() + "/jobs/");
    answers = {};
    file(4);
    EXPECT_EQ(lastFolder, dir.path() + "/") << "then the folder of that file";
}

TEST_F(FilesTest, TheFirstFolderIsTheDocumentsFolderWhenTheProgramFolderIsNotWritable)
{
    EXPECT_EQ(vx::FirstFileFolder(), dir.path());
    vx::setProgramFolder(dir.filePath("no-such-folder"));
    const QString documents = vx::FirstFileFolder();
    EXPECT_NE(documents, dir.filePath("no-such-folder"));
    EXPECT_TRUE(QFileInfo(documents).isDir()) << qPrintable(documents);
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(documents, QFileInfo(expected).isDir() ? expected : QDir::homePath());
}

// The usual keys of the File items and the guide, none taken from the window's own
// (F5, Escape); a key does nothing while the menu is locked by an operation.
TEST_F(FilesTest, MenuItemsHaveTheUsualKeys)
{
    startWithDialog();
    const std::pair<const char *, const char *> keys[] = {
        {"MnDosya_0", "Ctrl+N"}, {"MnDosya_1", "Ctrl+O"}, {"MnDosya_3", "Ctrl+S"},
        {"MnDosya_4", "Ctrl+Shift+S"}, {"MnAyar_4", "F1"}};
    for (const auto &[item, key] : keys)
        EXPECT_EQ(action(item)->shortcut(), QKeySequence(QString::fromLatin1(key))) << item;
    for (QAction *a : form->findChildren<QAction *>())
        for (const QKeySequence &k : a->shortcuts())
            EXPECT_TRUE(k != QKeySequence(Qt::Key_F5) && k != QKeySequence(Qt::Key_Escape))
                << qPrintable(a->objectName());

    // Ctrl+S from the keyboard saves: the first time through the dialog.
    QApplication::setActiveWindow(form.get());
    answers = {dir.filePath("keys")};
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs, QStringList({"save *.Vxr"}));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("keys.vxr")));
    // With the shell locked (a panel or an operation up) the key does nothing.
    form->MnAyar_Click(3);
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    action("MnDosya_1")->trigger();
    EXPECT_EQ(dialogs.size(), 1);
    form->languagePanel().SSCommand8_Click();
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.last(), "open *.*");
}

TEST_F(FilesTest, ASaveThatFailsSaysSoAndKeepsTheTitleAndTheNames)
{
    startWithDialog();
    answers = {dir.filePath("good.vxr"), dir.filePath("no/such/folder/bad.vxr")};
    file(3);
    file(4);
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages().first().startsWith("The file was not saved: ")) << op.messages().first().toStdString();
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_EQ(form->windowTitle(), version() + " [good.vxr]");
    EXPECT_EQ(form->fileMenu().state().ConfigFilePath, dir.filePath("good.vxr"));

    form->workingSet().ids().setName(5, "SONRA");
    file(3);  // the plain save still goes to the good file
    EXPECT_TRUE(bytesOf(dir.filePath("good.vxr")).contains("SONRA"));
}

// A full disk: the save says so and the customer's file stays byte for byte, whether
// the disk is a full tmpfs (when mounting is allowed) or takes no file past 4 KiB.
TEST_F(FilesTest, ASaveOnAFullDiskKeepsTheOldFileAndSaysSo)
{
    startWithDialog();
    vx::test::SmallTmpfs tmpfs;
    const bool full = tmpfs.mounted();
    const QString folder = full ? tmpfs.path() : dir.filePath("save");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath("customer.vxr");
    answers = {path};
    form->workingSet().ids().setName(2, "ESKİ");
    file(3);
    ASSERT_TRUE(op.messages().isEmpty()) << op.messages().join('|').toStdString();
    const QByteArray old = bytesOf(path);
    ASSERT_EQ(old.size(), 6548);

    form->workingSet().ids().setName(2, "YENİ");
    {
        std::optional<vx::test::FileSizeLimit> limit;
        if (full) {
            ASSERT_TRUE(tmpfs.fill());
        } else {
            limit.emplace(4096);
        }
        file(3);
    }
    ASSERT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.messages().first().startsWith("The file was not saved: ")) << op.messages().first().toStdString();
    EXPECT_TRUE(op.messages().first().contains(full ? "No space left on device" : "File too large"))
        << op.messages().first().toStdString();
    EXPECT_TRUE(op.messages().first().endsWith("The previous file stays as it was."));
    EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    EXPECT_EQ(bytesOf(path), old) << "the old file byte for byte";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              full ? QStringList({"customer.vxr", "filler"}) : QStringList({"customer.vxr"}))
        << "no temporary file left";
    EXPECT_EQ(form->windowTitle(), version() + " [customer.vxr]");
}

TEST_F(FilesTest, NewEmptiesTheWindowAndOpenShowsTheFileWithoutAskingToClear)
{
    startWithDialog();
    vx::WorkingSet &set = form->workingSet();
    set.ticket().setLine(0, "BAŞLIK");
    set.ids().setRecord(0, "12", "Ali");
    set.ids().setIdHeader(0, "PLAKA");
    set.presetTares().setValue(3, "12,5");
    set.parameters().setValue(30, "3-9600");
    answers = {dir.filePath("set.vxr")};
    file(3);

    file(0);
    EXPECT_EQ(form->windowTitle(), version());
    EXPECT_EQ(box("Baslık_0")->text(), "");
    EXPECT_EQ(box("Text11_1")->text(), "");
    EXPECT_EQ(set.parameters().value(30), "");
    EXPECT_EQ(set.presetTares().value(3), "12,5") << "New leaves the preset tares";

    set.presetTares().setValue(3, "0");
    answers = {dir.filePath("set.vxr")};
    file(1);
    EXPECT_EQ(dialogs.last(), "open *.*");
    EXPECT_EQ(form->windowTitle(), version() + " [set.vxr]");
    EXPECT_EQ(box("Baslık_0")->text(), "BAŞLIK");
    EXPECT_EQ(box("Text11_1")->text(), "Ali") << "without the padding of its field";
    EXPECT_EQ(box("Text6")->text(), "PLAKA");
    EXPECT_EQ(set.presetTares().value(3), "12,5");
    EXPECT_EQ(set.parameters().value(30).trimmed(), "3-9600");
    EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::YesNo), 0) << "an open clears without asking";
}

TEST_F(FilesTest, AnOpenThatFailsChangesNothing)
{
    startWithDialog();
    vx::WorkingSet &set = form->workingSet();
    set.ids().setName(2, "FIRST");
    answers = {dir.filePath("first.vxr")};
    file(3);
    const QByteArray whole = bytesOf(dir.filePath("first.vxr"));
    QFile cut(dir.filePath("cut.vxr"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(3000));
    cut.close();
    set.ids().setName(2, "EDITED");

    answers = {dir.filePath("cut.vxr"), dir.filePath("missing.vxr")};
    file(1);
    file(1);
    ASSERT_EQ(op.messages().size(), 2);
    EXPECT_TRUE(op.messages()[0].contains("3000 bytes, shorter than the record")) << op.messages()[0].toStdString();
    EXPECT_TRUE(op.messages()[1].startsWith("The file cannot be opened: "));
    EXPECT_EQ(form->windowTitle(), version() + " [first.vxr]");
    EXPECT_EQ(set.ids().name(2), "EDITED");

    file(3);  // the plain save writes the file that is current, not the one that failed
    EXPECT_TRUE(bytesOf(dir.filePath("first.vxr")).contains("EDITED"));
    EXPECT_EQ(bytesOf(dir.filePath("cut.vxr")).size(), 3000);
}

TEST_F(FilesTest, TheClearButtonAsksThenEmptiesTheShownPageOnly)
{
    startWithDialog();
    vx::WorkingSet &set = form->workingSet();
    set.ticket().setLine(0, "BAŞLIK");
    set.ids().setName(2, "KALIR");
    QAction *clear = action("Toolbar1_10");
    ASSERT_TRUE(clear->isEnabled());

    op.yesNoAnswers = {vx::Choice::No, vx::Choice::Yes};
    clear->trigger();
    EXPECT_EQ(op.last().text, "E57");
    EXPECT_EQ(box("Baslık_0")->text(), "BAŞLIK");
    clear->trigger();
    EXPECT_EQ(box("Baslık_0")->text(), "");
    EXPECT_EQ(set.ids().name(2), "KALIR");

    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    op.clear();
    clear->trigger();
    EXPECT_EQ(op.dialogCount(), 0) << "the calibration tab is never cleared";
}

TEST_F(FilesTest, ReadAllReadsTheTickedGroupsAndEscapeStopsIt)
{
    startWithDialog();
    file(9);
    ASSERT_TRUE(shown("SSPanel2"));
    EXPECT_FALSE(ctl<QToolBar>("Toolbar1")->isEnabled());
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    EXPECT_EQ(op.messages(), QStringList({"E375"})) << "not connected";
    EXPECT_TRUE(shown("SSPanel2"));
    QTest::keyClick(form->tabs(), Qt::Key_Escape);

    connect();
    tick(false, {1, 2});
    // Escape pressed while the fifth ID record is read.
    int loads = 0;
    device.onCommand(10, [&](vx::sim::VirtualIndicator &) {
        if (++loads == 5)
            QTest::keyClick(form->tabs(), Qt::Key_Escape);
    });
    device.clearCommands();
    file(9);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    EXPECT_EQ(loads, 5) << "the ID read stops at the next record";
    EXPECT_EQ(firstCommand(1), -1) << "the setpoints are not read";
    EXPECT_TRUE(statusSays(vx::BuiltIn::ReadAllStopped)) << form->statusBar()->currentMessage().toStdString();
    EXPECT_FALSE(shown("SSPanel2"));
    EXPECT_EQ(light(), vx::gui::Light::Green);
    EXPECT_TRUE(ctl<QToolBar>("Toolbar1")->isEnabled());

    device.onCommand(10, {});
    tick(false, {0, 2, 4});
    file(9);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    EXPECT_EQ(box("Baslık_0")->text().trimmed(), "ÖZTÜRK KANTAR");
    EXPECT_EQ(form->workingSet().setpoints().value(0, 0), "500,0");
    EXPECT_FALSE(form->statusPage().table().cell(1, 1).isEmpty()) << "the status read shows on its tab";
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(statusSays(vx::BuiltIn::ReadAllDone)) << form->statusBar()->currentMessage().toStdString();
}

// The read panel's bar is also the bar of a tab's own read: the panel opened after a
// read of the ID tab starts empty.
TEST_F(FilesTest, TheBatchPanelsOpenWithAnEmptyBar)
{
    startWithDialog();
    connect();
    form->tabs()->setCurrentIndex(vx::Tab::IdMemory);
    clock.advance(0.05);
    auto *readBar = ctl<QProgressBar>("ProgressBar1");
    file(9);
    ASSERT_TRUE(shown("SSPanel2"));
    EXPECT_EQ(readBar->value(), readBar->minimum());
    QTest::mouseClick(ctl("SSCommand2_1"), Qt::LeftButton);
    file(8);
    ASSERT_TRUE(shown("SSPanel3"));
    auto *sendBar = ctl<QProgressBar>("ProgressBar2");
    EXPECT_EQ(sendBar->value(), sendBar->minimum());
}

TEST_F(FilesTest, TheSendPanelReadsTheHardwareWordAndSendsInItsOwnOrder)
{
    startWithDialog();
    file(8);
    EXPECT_FALSE(ctl<QPushButton>("SSCommand4_0")->isEnabled()) << "start only when connected";
    QTest::mouseClick(ctl("SSCommand4_1"), Qt::LeftButton);

    connect();
    tick(false, {0, 1, 2, 3});
    file(9);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);

    // A = 0A, B = 00: on the header tab too the word reaches the status rows.
    device.setReg(25, 0x0A00);
    vx::sim::SetStoredId(device, 4, -1, QString());
    ASSERT_EQ(form->state().CurrentTab, vx::Tab::Header);
    file(8);
    ASSERT_TRUE(shown("SSPanel3"));
    EXPECT_EQ(form->statusPage().flags().CalibrationPermitted, true);
    EXPECT_EQ(form->statusPage().flags().AnalogCardPresent, false);
    EXPECT_EQ(form->statusPage().table().cell(29, 1), "E241");

    // Ticked from the last box to the first: the order stays header, ID, setpoints, parameters.
    for (int box : {7, 3, 1, 0})
        ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(box))->setChecked(true);
    for (int box : {2, 4, 5, 6, 8})
        ctl<QCheckBox>(QStringLiteral("SSCheck2_%1").arg(box))->setChecked(false);
    ctl<QCheckBox>("CheckRestorePoint")->setChecked(false);  // the send alone, without its restore point
    device.clearCommands();
    QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    EXPECT_EQ(device.commands().front(), 3);
    EXPECT_LT(firstCommand(4), firstCommand(11));
    EXPECT_LT(firstCommand(11), firstCommand(2));
    EXPECT_LT(firstCommand(2), firstCommand(8));
    EXPECT_EQ(vx::sim::StoredId(device, 4).name.trimmed(), "DEMİR İNŞAAT") << "the record read before is back";
    EXPECT_FALSE(shown("SSPanel3"));
    EXPECT_EQ(light(), vx::gui::Light::Green);
    EXPECT_TRUE(statusSays(vx::BuiltIn::SendAllDone)) << form->statusBar()->currentMessage().toStdString();
}

// A send the operator aborts in the ID memory names every group that did not go, in
// the send panel's captions (lines 32, 34 and 39), not only the one it stopped in.
TEST_F(FilesTest, ASendThatStopsNamesEveryGroupNotSent)
{
    startWithDialog();
    connect();
    tick(false, {1, 2, 3});  // what is sent was read first
    file(9);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    file(8);
    ASSERT_TRUE(shown("SSPanel3"));
    tick(true, {1, 3, 7});
    ctl<QCheckBox>("CheckRestorePoint")->setChecked(false);  // the send alone, without its restore point
    device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, 105, -1});
    op.abortRetryIgnoreAnswers = {vx::Choice::Abort};
    QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    ASSERT_FALSE(op.messages().isEmpty());
    EXPECT_EQ(op.messages().last(), "Not sent: E32, E34, E39");
    EXPECT_EQ(firstCommand(2), -1) << "no setpoint was stored";
    EXPECT_FALSE(shown("SSPanel3"));
}

// Nothing but the connect's and the tabs' own commands reached the indicator: no probe,
// no block, record or line.
void ExpectNothingWritten(const vx::sim::VirtualIndicator &device)
{
    for (const QString &w : vx::test::WritesReceived(device))
        EXPECT_TRUE(w.startsWith("19:") && w != "19:0003") << "written: " << w.toStdString();
}

// The reproduction: connected, the parameters never read, the ID and header tabs
// opened, the set saved, then "Configuration P.(Nrm)" asked for: its box cannot be
// ticked (the window holds nothing of it, and says so), and SEND writes nothing.
TEST_F(FilesTest, ASendOfAParameterTableNeverReadIsRefusedWithNothingWritten)
{
    startWithDialog();
    connect();
    form->tabs()->setCurrentIndex(vx::Tab::IdMemory);
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    answers = {dir.filePath("h.vxr")};
    file(4);  // Save As
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("h.vxr")));
    const QByteArray before = device.bytes(149, 100);
    file(8);
    ASSERT_TRUE(shown("SSPanel3"));
    QCheckBox *nrm = ctl<QCheckBox>("SSCheck2_7");
    EXPECT_FALSE(nrm->isEnabled());
    EXPECT_FALSE(nrm->isChecked());
    EXPECT_FALSE(nrm->toolTip().isEmpty()) << "the box says why";
    tick(true, {7});
    device.clearRequests();
    op.yesNoAnswers = {vx::Choice::Yes};
    QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);

    // At most the commands of register 19: no block, record or line.
    for (const QString &w : vx::test::WritesReceived(device))
        EXPECT_TRUE(w.startsWith("19:")) << "written: " << w.toStdString();
    EXPECT_EQ(device.bytes(149, 100), before) << "the Nrm block as it was";
    EXPECT_EQ(light(), vx::gui::Light::Green);
}

// A memory the window holds blank clears the indicator's only after a question that says so.
TEST_F(FilesTest, ABlankIdMemoryIsSentOnlyAfterTheQuestion)
{
    startWithDialog();
    connect();
    tick(false, {3});  // the parameters read, the ID memory not
    file(9);
    QTest::mouseClick(ctl("SSCommand2_0"), Qt::LeftButton);
    ASSERT_GT(vx::sim::StoredId(device, 3).number, 0);
    // The technician empties the ID grid on purpose (the page reports the edit).
    form->workingSet().edited(vx::DataGroup::Ids);

    auto sendIds = [this](vx::Choice answer) {
        file(8);
        tick(true, {1});
        ctl<QCheckBox>("CheckRestorePoint")->setChecked(false);
        op.yesNoAnswers = {answer};
        op.calls.clear();
        device.clearRequests();
        QTest::mouseClick(ctl("SSCommand4_0"), Qt::LeftButton);
    };
    sendIds(vx::Choice::No);
    ASSERT_EQ(op.count(vx::test::ScriptedOperator::Kind::YesNo), 1);
    const auto question = std::find_if(op.calls.begin(), op.calls.end(), [](const auto &c) {
        return c.kind == vx::test::ScriptedOperator::Kind::YesNo;
    });
    EXPECT_EQ(question->text, "The file holds nothing for: E32. Sending it clears this on the indicator. Clear it?");
    ExpectNothingWritten(device);
    EXPECT_GT(vx::sim::StoredId(device, 3).number, 0) << "No sends nothing";

    sendIds(vx::Choice::Yes);
    EXPECT_LE(vx::sim::StoredId(device, 3).number, 0) << "cleared on purpose";
    EXPECT_TRUE(statusSays(vx::BuiltIn::SendAllDone)) << form->statusBar()->currentMessage().toStdString();
}

}  // namespace
