// The compare dialog in the window against the virtual indicator: a file saved from
// the indicator, the indicator changed, File -> "Compare with indicator..." lists
// exactly what changed; one ticked row is sent on its own (the rest of its block and
// the other groups stay as the indicator holds them), the table is read again, and
// the text saved is the table.

#include "GuiFixture.h"

#include "files/RestorePoint.h"
#include "gui/CompareDialog.h"
#include "gui/FileMenu.h"
#include "gui/FilePanels.h"
#include "gui/HistoryRecorder.h"
#include "service/History.h"
#include "sim/Memories.h"
#include "support/DataHome.h"
#include "support/SimFixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

using vx::test::GuiTest;

namespace {

class CompareDialogTest : public GuiTest {
protected:
    void startConnected()
    {
        // The shipped language file: its list texts begin with their codes, as a write needs.
        QFile shipped(QDir(QCoreApplication::applicationDirPath()).filePath("LANGUAGE/English.txt"));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        const QByteArray english = shipped.readAll();
        writeLanguage("English.txt", english);
        writeLanguage("Türkçe.txt", english);
        start();
        form->show();
        form->fileMenu().Dialog1 = [this](bool, const QString &, const QString &) {
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        form->ConnectAction();
        ASSERT_TRUE(form->state().IsConnected);
    }
    // Read-all of every group through its panel, then File -> Save As.
    void saveIndicatorAs(const QString &path)
    {
        form->batchPanels().openReadPanel();
        for (int i = 0; i < 7; ++i)
            ctl<QCheckBox>(QStringLiteral("SSCheck1_%1").arg(i))->setChecked(i <= 3);
        form->batchPanels().SSCommand2_Click(0);
        answers = {path};
        action("MnDosya_4")->trigger();
        ASSERT_TRUE(QFileInfo::exists(path));
    }
    QStringList labels(const vx::gui::CompareDialog &d) const
    {
        QStringList out;
        for (int r = 0; r < d.table()->rowCount(); ++r)
            out << d.table()->item(r, 1)->text().section(' ', 0, 0);
        return out;
    }

    QStringList answers;
};

TEST_F(CompareDialogTest, CompareWithTheIndicatorThenSendOneTickedRowOnItsOwn)
{
    startConnected();
    const QString path = dir.filePath("site.vxr");
    saveIndicatorAs(path);

    // Since the file was saved: [001] 5-38400, [047] 42 (one block), and ID memory 59.
    QByteArray configuration = device.bytes(149, 100);
    configuration[37] = 5;
    configuration[78] = 42;
    device.setBytes(149, configuration);
    vx::sim::SetStoredId(device, 60, 424242, "YENİ");

    answers = {path};
    action("MnDosyaCompareIndicator")->trigger();
    auto *dialog = form->findChild<vx::gui::CompareDialog *>("CompareDialog");
    ASSERT_NE(dialog, nullptr) << op.messages().join("\n").toStdString();
    EXPECT_EQ(labels(*dialog), (QStringList{"ID", "[001]", "[047]"}));
    EXPECT_EQ(dialog->table()->item(0, 1)->text(), "ID Memory 59");
    EXPECT_EQ(dialog->table()->item(0, 2)->text(), "424242 YENİ");
    EXPECT_EQ(dialog->table()->item(0, 3)->text(), "") << "the file's record is empty";
    EXPECT_EQ(dialog->table()->item(1, 2)->text(), "5-38400");
    EXPECT_EQ(dialog->table()->item(1, 3)->text(), "3-9600");
    auto *send = dialog->findChild<QPushButton *>("CompareSend");
    ASSERT_NE(send, nullptr);
    EXPECT_FALSE(send->isEnabled()) << "nothing ticked yet";

    // The text saved is the table.
    const QString text = dir.filePath("diff.txt");
    dialog->saveDialog = [&](const QString &) { return text; };
    dialog->findChild<QPushButton *>("CompareSave")->click();
    QFile saved(text);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "Row\tIndicator\t" + QDir::toNativeSeparators(path));
    EXPECT_EQ(lines[1], "ID Memory 59\t424242 YENİ\t");
    EXPECT_TRUE(lines[2].startsWith("[001] ") && lines[2].endsWith("\t5-38400\t3-9600")) << lines[2].toStdString();

    dialog->table()->item(1, 0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(send->isEnabled());
    op.clear();
    device.clearRequests();
    send->click();

    EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::YesNo), 1) << "asked before the send";
    EXPECT_EQ(device.bytes(149, 100)[37], 3) << "[001] from the file";
    EXPECT_EQ(device.bytes(149, 100)[78], 42) << "[047] as the indicator held it";
    EXPECT_EQ(vx::sim::StoredId(device, 60).number, 424242) << "the ID memory was not sent";
    // On the wire: the Nrm group whole, [001] in the block of serial port 1 (register 167 =
    // 00A7), [047] at byte 10 of the printer block (183 = 00B7) with the indicator's 42 (2A);
    // no calibration block (128 = 0080).
    const QStringList writes = device.requests().filter(QRegularExpression("^@10"));
    const QStringList port1 = writes.filter(QRegularExpression("^@1000A70004"));
    ASSERT_EQ(port1.size(), 1) << writes.join(' ').toStdString();
    EXPECT_EQ(port1[0].mid(13 + 2, 2), "03") << "byte 37: [001] 3";
    const QStringList printer = writes.filter(QRegularExpression("^@1000B70007"));
    ASSERT_EQ(printer.size(), 1);
    EXPECT_EQ(printer[0].mid(13 + 20, 2), "2A");
    EXPECT_TRUE(writes.filter(QRegularExpression("^@100080")).isEmpty());
    // The compare again after the send: the sent row is gone.
    EXPECT_EQ(labels(*dialog), (QStringList{"ID", "[047]"}));
    EXPECT_TRUE(form->state().IsConnected);
}

TEST_F(CompareDialogTest, TwoFilesShowTheirPresetTaresAndOfferNoSend)
{
    startConnected();
    const QString a = dir.filePath("a.vxr"), b = dir.filePath("b.vxr");
    // Both files hold preset tares (a file that holds none would be one "not in the file" line).
    form->workingSet().presetTares().setValue(4, "7,5");
    saveIndicatorAs(a);
    form->workingSet().presetTares().setValue(4, "12,5");
    answers = {b};
    action("MnDosya_4")->trigger();

    EXPECT_EQ(action("MnDosyaCompareFile")->text(), "Compare with file…");
    // The current file (b) against one chosen.
    answers = {a};
    action("MnDosyaCompareFile")->trigger();
    auto *dialog = form->findChild<vx::gui::CompareDialog *>("CompareDialog");
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->table()->rowCount(), 1);
    EXPECT_EQ(dialog->table()->item(0, 2)->text(), "12,5");
    EXPECT_EQ(dialog->table()->item(0, 3)->text(), "7,5");
    EXPECT_TRUE(dialog->findChild<QPushButton *>("CompareSend")->isHidden());
    EXPECT_FALSE(dialog->table()->item(0, 0)->flags() & Qt::ItemIsUserCheckable);
}

// The selective send as the send panel's: its restore point, its note in the service
// history, and nothing written when no ticked row differs any more.
TEST_F(CompareDialogTest, TheTickedSendMakesItsRestorePointKeepsItsNoteAndSkipsRowsThatNoLongerDiffer)
{
    vx::test::DataHome home;
    startConnected();
    const QString path = dir.filePath("site.vxr");
    saveIndicatorAs(path);
    QByteArray configuration = device.bytes(149, 100);
    configuration[37] = 5;  // [001] 5-38400; the file holds 3-9600
    device.setBytes(149, configuration);

    answers = {path};
    action("MnDosyaCompareIndicator")->trigger();
    auto *dialog = form->findChild<vx::gui::CompareDialog *>("CompareDialog");
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(labels(*dialog), (QStringList{"[001]"}));
    ASSERT_TRUE(dialog->restorePointBox()->isChecked()) << "the send panel's choice, on by default";
    auto *send = dialog->findChild<QPushButton *>("CompareSend");

    // The indicator went back to the file's value before Send: nothing to write.
    dialog->table()->item(0, 0)->setCheckState(Qt::Checked);
    configuration[37] = 3;
    device.setBytes(149, configuration);
    op.clear();
    device.clearCommands();
    send->click();
    EXPECT_EQ(op.messages().value(0), "No ticked row differs from the indicator; nothing was sent.");
    // Reads only (the compare again after it, which loads the ticket lines, included): no store command.
    for (int code : device.commands())
        EXPECT_TRUE(code != 2 && code != 4 && code != 6 && code != 8 && code != 9 && code != 11
                    && code != 13 && code != 16)
            << "command " << code;
    EXPECT_EQ(device.bytes(149, 100)[37], 3);
    EXPECT_TRUE(vx::ReadHistory().records.empty()) << "nothing sent, nothing recorded";

    // It differs again: sent, after a restore point, with the note.
    configuration[37] = 5;
    device.setBytes(149, configuration);
    dialog->compareWithIndicator(path);
    ASSERT_EQ(labels(*dialog), (QStringList{"[001]"}));
    dialog->table()->item(0, 0)->setCheckState(Qt::Checked);
    dialog->note()->edit()->setText("after the repair");
    send->click();
    EXPECT_EQ(device.bytes(149, 100)[37], 3) << "[001] from the file";
    const QStringList points = QDir(vx::DefaultRestorePointFolder()).entryList({"*.Vxr"}, QDir::Files);
    ASSERT_EQ(points.size(), 1) << "the restore point";
    const vx::HistoryReading history = vx::ReadHistory();
    ASSERT_EQ(history.records.size(), 1u);
    EXPECT_EQ(history.records[0].note.value_or(QString()), "after the repair");
    EXPECT_EQ(history.records[0].restorePoint.value_or(QString()), points[0]);
    EXPECT_TRUE(dialog->note()->edit()->text().isEmpty()) << "the note went with its record";
}

}  // namespace
