// The window against the virtual indicator behind a real serial port (a
// pseudo-terminal), and pictures of every tab and panel for review.

#include "GuiFixture.h"

#include "gui/Form1.h"
#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "sim/PtyServer.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using vx::test::GuiTest;

namespace {

class WindowPtyTest : public GuiTest {};

TEST_F(WindowPtyTest, ConnectsThroughARealSerialPort)
{
    vx::sim::VirtualIndicator indicator;
    indicator.setModel("ZR1 V1.07");
    // A whole indicator: its range is read right after the version.
    QElapsedTimer running;
    running.start();
    vx::sim::ModuleOptions modules;
    modules.seconds = [&running] { return running.elapsed() / 1000.0; };
    vx::sim::InstallDefaultModules(indicator, modules);
    vx::sim::PtyServer server(indicator, vx::sim::PtyServer::Timing{9600, 0.005});
    QString error;
    ASSERT_TRUE(server.start(dir.filePath("tty-indicator"), &error)) << qPrintable(error);
    vx::ComPortMap map;
    map.setOverride(1, server.linkPath());
    vx::QtSerialPort serial(map);
    vx::SystemClock systemClock;
    // A reading time a busy machine cannot outrun; frame-end returns at the CR.
    store->setValue(vx::SettingsKeys::Section, vx::SettingsKeys::ReadingTime, "1");
    vx::gui::AnaForm window(serial, systemClock, op, *store);
    ASSERT_TRUE(window.FormLoad("ZR2"));

    window.ConnectAction();
    EXPECT_EQ(window.light(), vx::gui::Light::Green);
    EXPECT_EQ(window.state().IndicatorModelText, "ZR1");
    EXPECT_FALSE(window.tabs()->isTabVisible(vx::Tab::IdMemory));
    EXPECT_FALSE(serial.isOpen());
    EXPECT_TRUE(window.state().weight.known()) << "the range came through the real port too";
    EXPECT_EQ(op.dialogCount(), 0);
}

// A port mapped in the settings file while the program runs (a USB adapter plugged in
// and named there) is listed by RESTART and by the connection panel, not only after
// the program was started again.
TEST_F(WindowPtyTest, RestartAndTheConnectionPanelListThePortsAnew)
{
    vx::sim::VirtualIndicator indicator;
    vx::sim::PtyServer server(indicator, vx::sim::PtyServer::Timing{9600, 0.005});
    QString error;
    ASSERT_TRUE(server.start(dir.filePath("tty-adapter"), &error)) << qPrintable(error);
    vx::QtSerialPort serial{vx::ComPortMap(*store)};
    vx::SystemClock systemClock;
    vx::gui::AnaForm window(serial, systemClock, op, *store);
    window.reloadPortMap = [&] { serial.portMap().reload(*store); };
    ASSERT_TRUE(window.FormLoad("ZR2"));
    auto *ports = window.findChild<QComboBox *>("Combo6");
    ASSERT_NE(ports, nullptr);
    // Whatever else this machine has, COM16 is nothing here yet.
    ASSERT_LT(ports->findText("COM16"), 0);

    // Another program (or the technician with an editor) maps COM16 in the file.
    {
        vx::SettingsStore other(dir.filePath("settings.ini"));
        other.setValue("ComPorts", "COM16", server.linkPath());
        other.sync();
    }
    window.findChild<QPushButton *>("Command3")->click();  // RESTART
    EXPECT_GE(ports->findText("COM16"), 0) << "RESTART lists the ports anew";

    {
        vx::SettingsStore other(dir.filePath("settings.ini"));
        other.remove("ComPorts", "COM16");
        other.sync();
    }
    window.MnAyar_Click(0);  // the connection panel
    EXPECT_LT(ports->findText("COM16"), 0) << "opening the panel lists them anew";
    EXPECT_EQ(op.dialogCount(), 0);
}

// With VEXTORA_SCREENSHOTS naming a folder, a picture of every tab and panel goes there.
class WindowScreenshotTest : public GuiTest {};

TEST_F(WindowScreenshotTest, SavesEveryTabAndPanel)
{
    const QString folder = qEnvironmentVariable("VEXTORA_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEXTORA_SCREENSHOTS is not set";
    QDir().mkpath(folder);
    auto save = [&](QWidget *w, const QString &name) {
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")))) << qPrintable(name);
    };

    // The shipped language files when they are there, the generated ones otherwise.
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE"));
    for (const QString &name : shipped.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        QFile f(shipped.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        writeLanguage(name, f.readAll());
    }
    store->setValue(QStringLiteral("ZR"), QStringLiteral("dil"), QStringLiteral("Türkçe.txt"));

    makeForm();
    QTimer::singleShot(50, [&] {
        vx::gui::Form1 *dialog = form->form1();
        save(dialog, QStringLiteral("form1-short"));
        dialog->Command1_Click();
        save(dialog, QStringLiteral("form1-tall"));
        dialog->SSCommand6_Click(1);
    });
    ASSERT_TRUE(form->FormLoad());
    form->show();
    save(form.get(), QStringLiteral("main-disconnected"));
    form->ConnectAction();
    for (int tab = 0; tab < 7; ++tab) {
        if (!form->tabs()->isTabVisible(tab))
            continue;
        form->tabs()->setCurrentIndex(tab);
        clock.advance(0.05);  // deferred reads (the parameter tab's Timer2)
        save(form.get(), QStringLiteral("tab-%1").arg(tab));
    }
    form->tabs()->setCurrentIndex(0);
    form->MnAyar_Click(0);
    save(form.get(), QStringLiteral("panel-connection"));
    form->settingsPanel().SSCommand7_Click();
    form->MnAyar_Click(3);
    save(form.get(), QStringLiteral("panel-language"));
    form->languagePanel().SSCommand8_Click();
    for (const char *name : {"SSPanel2", "SSPanel3", "SSPanel10", "SSPanel8", "SSPanel9"}) {
        // The date and time panel lies over the parameter grid.
        if (QLatin1String(name) == QLatin1String("SSPanel9")) {
            form->tabs()->setCurrentIndex(vx::Tab::Parameters);
            clock.advance(0.05);
        }
        QWidget *panel = ctl(QString::fromLatin1(name));
        panel->show();
        panel->raise();
        save(form.get(), QStringLiteral("panel-%1").arg(QString::fromLatin1(name)));
        panel->hide();
    }
    form->setLight(vx::gui::Light::Yellow);
    save(form.get(), QStringLiteral("main-busy"));
    form->setLight(vx::gui::Light::Green);

    form->MnAyar_Click(3);
    auto *files = ctl<QComboBox>(QStringLiteral("Combo5"));
    files->setCurrentIndex(files->findText(QStringLiteral("English.txt")));
    form->SSCommand9_Click();
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    save(form.get(), QStringLiteral("english-tab-5"));
}

}  // namespace
