// Start-up: the model question, what the window looks like when it is ready,
// the fixed size and the end of the program.

#include "GuiFixture.h"

#include "Version.h"
#include "gui/Form1.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using vx::test::GuiTest;

namespace {

class WindowStartupTest : public GuiTest {};

TEST_F(WindowStartupTest, WaitsForTheModelChoiceBeforeTheWindowIsReady)
{
    makeForm();
    bool readyWhileAsking = true, dialogShown = false;
    QString versionLabel, dialogLabel;
    QTimer::singleShot(30, [&] {
        readyWhileAsking = form->isReady();
        vx::gui::Form1 *dialog = form->form1();
        ASSERT_NE(dialog, nullptr);
        dialogShown = dialog->isVisible();
        versionLabel = dialog->findChild<QLabel *>("Label5")->text();
        dialogLabel = dialog->findChild<QLabel *>("Label4")->text();
        QTest::mouseClick(dialog->findChild<QPushButton *>("SSCommand6_1"), Qt::LeftButton);
    });
    ASSERT_TRUE(form->FormLoad());

    EXPECT_FALSE(readyWhileAsking);
    EXPECT_TRUE(dialogShown);
    using namespace vx::version;
    EXPECT_EQ(versionLabel, QStringLiteral("v%1.%2 r%3").arg(Major).arg(Minor).arg(Revision, 2, 10, QLatin1Char('0')));
    EXPECT_EQ(dialogLabel, "E359");  // the dialog's labels follow the language file
    EXPECT_TRUE(form->isReady());
    EXPECT_EQ(form->state().IndicatorModelText, "ZR2");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("VEXTORA v%1.%2").arg(Major).arg(Minor));
    EXPECT_EQ(light(), vx::gui::Light::Red);
    EXPECT_TRUE(port.framesSent().isEmpty()) << "nothing is sent before the user connects";
    EXPECT_TRUE(QDir(dir.filePath("BACKUP")).exists());
}

TEST_F(WindowStartupTest, ClosingTheModelDialogEndsTheStartUp)
{
    makeForm();
    QTimer::singleShot(20, [&] { form->form1()->close(); });
    EXPECT_FALSE(form->FormLoad());
    EXPECT_FALSE(form->isReady());
}

TEST_F(WindowStartupTest, TheModelChosenShowsItsTabsAndFeaturesAndTheP_DaraTabStaysHidden)
{
    const char *zr2Only[] = {"SSCheck2_1", "SSCheck2_3", "SSCheck2_8", "SSCheck1_1", "SSCheck1_2", "Option3_0",
                             "Option3_1", "EPL", "SSCommand10_0", "SSCommand10_1", "SSPanel6", "Command2"};
    for (int button : {0, 1}) {
        const bool zr2 = button == 1;
        makeForm();
        QTimer::singleShot(10, [&] { form->form1()->SSCommand6_Click(button); });
        ASSERT_TRUE(form->FormLoad());
        EXPECT_EQ(form->state().IndicatorModelText, zr2 ? QStringLiteral("ZR2") : QStringLiteral("ZR1"));
        QTabWidget *tabs = form->tabs();
        EXPECT_EQ(tabs->count(), 7);
        EXPECT_EQ(tabs->isTabVisible(1), zr2);
        EXPECT_EQ(tabs->isTabVisible(3), zr2);
        EXPECT_FALSE(tabs->isTabVisible(2));
        EXPECT_TRUE(tabs->isTabVisible(4));
        for (const char *name : zr2Only)
            EXPECT_EQ(shown(QString::fromLatin1(name)), zr2) << name;
        EXPECT_TRUE(shown("SSCheck2_0"));
    }
}

// RESTART runs the start-up again: ports, settings and language are read anew, the
// model in use stays without asking, and the window stands ready and disconnected.
TEST_F(WindowStartupTest, RestartRunsTheStartUpAgainWithTheModelInUse)
{
    device.setModel("ZR1 V1.05");
    start("ZR2");
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    ASSERT_TRUE(form->refresher().timer4().isActive());
    store->setValue("ZR", "dil", "Türkçe.txt");
    store->setValue("ZR", "Port", "3");
    port.setOpenError(vx::PortErr::NoSuchPort);  // the ports are gone meanwhile
    const int framesBefore = port.framesSent().size();

    QTest::mouseClick(ctl<QPushButton>("Command3"), Qt::LeftButton);

    EXPECT_TRUE(form->isReady());
    EXPECT_EQ(form->form1(), nullptr) << "the model is known: no question";
    EXPECT_EQ(form->state().IndicatorModelText, "ZR1");
    EXPECT_FALSE(form->tabs()->isTabVisible(vx::Tab::IdMemory));
    EXPECT_FALSE(form->refresher().timer4().isActive());
    EXPECT_EQ(light(), vx::gui::Light::Red);
    EXPECT_EQ(action("connect")->text(), "T376");
    EXPECT_EQ(form->settings().PortNumber, "3");
    EXPECT_EQ(ctl<QComboBox>("Combo6")->count(), 0);
    // "00".."99" in front of the design-time entries, once.
    auto *addresses = ctl<QComboBox>("Combo2");
    ASSERT_EQ(addresses->count(), 100 + 11);
    for (const auto &[index, text] : {std::pair{0, "00"}, {99, "99"}, {100, ""}, {110, "09"}})
        EXPECT_EQ(addresses->itemText(index), text) << index;
    EXPECT_EQ(port.framesSent().size(), framesBefore) << "nothing is sent";
    EXPECT_EQ(op.dialogCount(), 0);
}

TEST_F(WindowStartupTest, ModelDialogShowsTheMakersLogoOnlyForTheExactBrandWord)
{
    vx::gui::Form1 dialog;
    dialog.applyLanguage(vx::LanguageTexts::fromBytes(vx::test::languageFile("X", {{383, "HALVERN"}, {384, "Model?"}})));
    EXPECT_TRUE(dialog.showsHalvernLogo());
    EXPECT_EQ(dialog.findChild<QWidget *>("SSPanel7")->property("caption").toString(), QStringLiteral("Model?"));
    // The exact word on line 383 only.
    for (const auto &[line, word] : {std::pair{383, "Halvern"}, {383, "halvern"}, {383, "HALVERN "}, {383, ""},
                                     {382, "HALVERN"}}) {
        dialog.applyLanguage(vx::LanguageTexts::fromBytes(vx::test::languageFile("X", {{line, word}})));
        EXPECT_FALSE(dialog.showsHalvernLogo()) << line << " " << word;
    }
}

TEST_F(WindowStartupTest, ResizingSnapsBackPanelsAreCentredAndClosingAsksTheProgramToEnd)
{
    start();
    form->show();
    EXPECT_EQ(vx::gui::AnaForm::OuterSize(), QSize(653, 643));
    const QSize fixed = vx::gui::AnaForm::OuterSize() - (form->frameGeometry().size() - form->geometry().size());
    EXPECT_EQ(form->size(), fixed);
    for (const QSize &size : {QSize(900, 800), QSize(300, 200)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(form->size(), fixed);
    }

    form->MnAyar_Click(0);
    QWidget *panel = ctl("SSPanel1");
    QWidget *client = panel->parentWidget();
    EXPECT_EQ(panel->pos(), QPoint((client->width() - panel->width()) / 2, (client->height() - panel->height()) / 2));

    QSignalSpy exit(form.get(), &vx::gui::AnaForm::exitRequested);
    action("MnDosya_11")->trigger();
    EXPECT_EQ(exit.count(), 1);
    EXPECT_TRUE(form->link().AbortRequested);
}

}  // namespace
