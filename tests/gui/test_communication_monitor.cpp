// The communication monitor dock in the window against the virtual indicator: it is
// opened from the Settings and Help menu, lists what crosses the line while open,
// pauses, filters by register, clears, saves the lines shown, keeps a bounded list
// and stops listening when closed.

#include "GuiFixture.h"

#include "gui/CommunicationMonitor.h"
#include "link/Registers.h"
#include "link/Transaction.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

using vx::test::GuiTest;
using Kind = vx::test::ScriptedOperator::Kind;

namespace {

// The lines without their time of day ("10:00:01.234 ").
QStringList withoutTimes(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines)
        out << line.mid(13);
    return out;
}

// A read of the version register and host mode on, refused (checksum on, no address):
// the frames and answers of both.
const QStringList VersionLines = {
    "> 199 version: read 10 bytes  @0300C7000531<CR>",
    "< 199 version: = \"ZR2 V2.20 \"  5 ms  whole  @030A5A52322056322E323020BD<CR>",
};
const QStringList RefusedHostOnLines = {
    "> 019 command: write 2 bytes = 19 (host on)  @1000130001020013C7<CR>",
    "< 019 command  5 ms  refused  @8010016F<CR>",
};

class MonitorTest : public GuiTest {
protected:
    vx::gui::CommunicationMonitor *openMonitor()
    {
        action("MnAyar_Monitor")->trigger();
        return form->findChild<vx::gui::CommunicationMonitor *>();
    }
    void exchangeBoth()
    {
        form->link().readAnswer(vx::reg::Version, 10);
        device.addFault({vx::sim::FaultKind::Refuse, vx::sim::FaultScope::Register, vx::reg::Command, 1});
        form->link().WriteHostMode(true);
    }
};

TEST_F(MonitorTest, ListsTheExchangesPausesFiltersClearsAndStopsWhenClosed)
{
    start();
    ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok());
    form->link().readAnswer(vx::reg::Version, 10);  // before the monitor: not listed

    vx::gui::CommunicationMonitor *monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->listening());
    EXPECT_EQ(monitor->lineCount(), 0);

    exchangeBoth();
    EXPECT_EQ(withoutTimes(monitor->shownLines()), VersionLines + RefusedHostOnLines);

    // The filter shows one register's lines; "all" shows every line again.
    ctl<QSpinBox>("MonitorRegister")->setValue(19);
    EXPECT_EQ(withoutTimes(monitor->shownLines()), RefusedHostOnLines);
    ctl<QSpinBox>("MonitorRegister")->setValue(-1);
    EXPECT_EQ(monitor->shownLines().size(), 4);

    // Paused, new traffic is not listed; resumed, it is again.
    ctl<QPushButton>("MonitorPause")->click();
    EXPECT_TRUE(monitor->paused());
    form->link().readAnswer(vx::reg::Version, 10);
    EXPECT_EQ(monitor->lineCount(), 4);
    ctl<QPushButton>("MonitorPause")->click();
    form->link().readAnswer(vx::reg::Version, 10);
    EXPECT_EQ(withoutTimes(monitor->shownLines()).mid(4), VersionLines);

    ctl<QPushButton>("MonitorClear")->click();
    EXPECT_EQ(monitor->lineCount(), 0);

    // Closed, it no longer listens; opened again from the menu, it is the same dock.
    monitor->close();
    EXPECT_FALSE(monitor->listening());
    EXPECT_FALSE(form->link().hasTrafficListeners());
    form->link().readAnswer(vx::reg::Version, 10);
    EXPECT_EQ(monitor->lineCount(), 0);
    EXPECT_EQ(openMonitor(), monitor);
    EXPECT_TRUE(monitor->listening());
    form->link().readAnswer(vx::reg::Version, 10);
    EXPECT_EQ(withoutTimes(monitor->shownLines()), VersionLines);
}

TEST_F(MonitorTest, LogLinesAreListedMarked)
{
    start();
    ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok());
    vx::gui::CommunicationMonitor *monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);

    device.addFault({vx::sim::FaultKind::BadChecksum, vx::sim::FaultScope::Register, vx::reg::Version, 1});
    form->link().read(vx::reg::Version, 10, "Tx0");

    const QStringList lines = withoutTimes(monitor->shownLines());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains("  checksum mismatch  ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("* ZRxLog: ")) << lines[2].toStdString();
}

TEST_F(MonitorTest, SavesTheLinesShownAndReportsAFailedSave)
{
    start();
    ASSERT_TRUE(port.open("COM1", "9600,N,8,1").ok());
    vx::gui::CommunicationMonitor *monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    exchangeBoth();
    ctl<QSpinBox>("MonitorRegister")->setValue(199);

    const QString path = dir.filePath("traffic.txt");
    monitor->chooseSavePath = [&] { return path; };
    ctl<QPushButton>("MonitorSave")->click();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList savedLines = QString::fromUtf8(saved.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(withoutTimes(savedLines), VersionLines);
    EXPECT_EQ(savedLines, monitor->shownLines());

    // Cancelling the dialog writes nothing; a folder that does not exist is reported.
    monitor->chooseSavePath = [] { return QString(); };
    ctl<QPushButton>("MonitorSave")->click();
    EXPECT_EQ(op.dialogCount(), 0);
    EXPECT_FALSE(monitor->saveTo(dir.filePath("missing/traffic.txt")));
    ASSERT_EQ(op.count(Kind::Message), 1);
    EXPECT_TRUE(op.messages().last().contains("traffic.txt")) << op.messages().last().toStdString();
}

TEST_F(MonitorTest, CaptionsFollowTheLanguage)
{
    start();
    vx::gui::CommunicationMonitor *monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(action("MnAyar_Monitor")->text(), "Communication Monitor");
    EXPECT_EQ(monitor->windowTitle(), "Communication Monitor");
    EXPECT_EQ(ctl<QPushButton>("MonitorPause")->text(), "Pause");
    EXPECT_EQ(ctl<QSpinBox>("MonitorRegister")->specialValueText(), "all");

    form->MnAyar_Click(3);
    auto *files = ctl<QComboBox>("Combo5");
    files->setCurrentIndex(files->findText("Türkçe.txt"));
    ctl<QPushButton>("SSCommand9")->click();

    EXPECT_EQ(action("MnAyar_Monitor")->text(), "İletişim İzleyici");
    EXPECT_EQ(monitor->windowTitle(), "İletişim İzleyici");
    EXPECT_EQ(ctl<QPushButton>("MonitorPause")->text(), "Duraklat");
    EXPECT_EQ(ctl<QPushButton>("MonitorSave")->text(), "Metin olarak kaydet...");
    EXPECT_EQ(ctl<QSpinBox>("MonitorRegister")->specialValueText(), "hepsi");
}

TEST_F(MonitorTest, KeepsOnlyTheNewestLines)
{
    start();
    vx::gui::CommunicationMonitor *monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    const int total = vx::gui::CommunicationMonitor::MaxLines + 3;
    for (int i = 0; i < total; ++i) {
        vx::TrafficEvent e;
        e.direction = vx::TrafficDirection::Out;
        e.reg = 1000 + i;
        monitor->traffic(e);
    }
    const QStringList lines = monitor->shownLines();
    ASSERT_EQ(lines.size(), vx::gui::CommunicationMonitor::MaxLines);
    EXPECT_EQ(lines.first(), "00:00:00.000 > 1003");
    EXPECT_EQ(lines.last(), QStringLiteral("00:00:00.000 > %1").arg(1000 + total - 1));
}

}  // namespace
