// The weight trend window driven against the in-process virtual indicator on the
// virtual clock: the samples and what crossed the wire for them, a refused or missing
// answer shown as a gap (never as 0), pause, disconnect, the status timer and the
// trend taking turns on the line, and the CSV and PNG exports with their failures.

#include "GuiFixture.h"

#include "gui/TabRefresh.h"
#include "gui/TrendView.h"
#include "support/FullDisk.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

using vx::gui::TrendView;

class TrendViewTest : public vx::test::GuiTest {
protected:
    TrendViewTest()
    {
        // 125,2 kg gross and 105,2 kg net on the indicator (range 30 - 300 kg, division 0,1).
        device.onRead(0, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(0, 1252); });
        device.onRead(3, [](vx::sim::VirtualIndicator &d, int, int) { d.setLong(3, 1052); });
    }

    // Connected on the header tab (no status timer), the view opened at `rate` (an
    // index of the rate list: 0 fastest, 1 once a second, 4 ten a second).
    TrendView &openConnected(int rateIndex = 1)
    {
        start();
        form->ConnectAction();
        EXPECT_TRUE(form->state().IsConnected);
        return open(rateIndex);
    }
    TrendView &open(int rateIndex = 1)
    {
        action("MnAyar_Trend")->trigger();
        TrendView *view = form->findChild<TrendView *>("TrendView");
        EXPECT_NE(view, nullptr);
        view->findChild<QComboBox *>("TrendRate")->setCurrentIndex(rateIndex);
        return *view;
    }

    // A request without its checksum: "@" function register count.
    static QString bare(const QString &request) { return request.left(11); }
    QStringList wire() const
    {
        QStringList out;
        for (const QString &r : device.requests())
            out << bare(r);
        return out;
    }
    // The indicator's host mode switched on or off: a write to register 19 (0x13).
    static bool hostModeWrite(const QString &request) { return request.startsWith("@100013"); }

    QString figure(TrendView &view, int row, int column) const
    {
        return view.findChild<QTableWidget *>("TrendFigures")->item(row, column)->text();
    }
    // The lines of a weight in the chart (0 gross, 1 net): the points of each stretch.
    std::vector<QList<QPointF>> stretches(TrendView &view, const QString &name) const
    {
        std::vector<QList<QPointF>> out;
        for (QAbstractSeries *s : view.findChild<QChartView *>("TrendChart")->chart()->series()) {
            auto *line = qobject_cast<QLineSeries *>(s);
            if (line && line->name() == name && line->count() > 0)
                out.push_back(line->points());
        }
        return out;
    }
    QString name(vx::BuiltIn text) const { return form->texts().builtIn(text); }
    void click(TrendView &view, const QString &button)
    {
        QTest::mouseClick(view.findChild<QPushButton *>(button), Qt::LeftButton);
    }
    double started = 0;
};

TEST_F(TrendViewTest, SamplesComeAtTheRateChosenWithTheDisplayReadsAloneAndTheirFigures)
{
    start();
    form->ConnectAction();
    device.clearRequests();
    TrendView &view = open(/*once a second*/ 1);
    clock.advance(2.5);

    // Three samples: at once, then a second and two seconds after the first began.
    // None waits for the line to fall quiet: the connect before them and each sample
    // ended on whole answers.
    ASSERT_EQ(view.samples().size(), 3u);
    EXPECT_DOUBLE_EQ(view.samples()[0].seconds, 0.000);
    EXPECT_DOUBLE_EQ(view.samples()[1].seconds, 1.000);
    EXPECT_DOUBLE_EQ(view.samples()[2].seconds, 2.000);
    // Each sample is a read of register 0 and one of register 3, two words each; no
    // host-mode command, nothing else.
    EXPECT_EQ(wire(), QStringList({"@0300000002", "@0300030002", "@0300000002", "@0300030002", "@0300000002",
                                   "@0300030002"}));
    EXPECT_FALSE(port.isOpen()) << "the port is open only during a sample";
    EXPECT_FALSE(form->link().lineHeld());

    // Gross 125,2 kg = 1252 divisions of 0,1 kg, net 105,2 kg = 1052 divisions; a weight
    // that stands still has no spread and no drift.
    // Mean, spread and drift carry two digits more than the weight.
    const QStringList gross = {"3", "125,2", "125,2", "125,200", "0,000", "0,000"};
    const QStringList grossDivisions = {"", "1252", "1252", "1252,00", "0,00", "0,00"};
    const QStringList net = {"3", "105,2", "105,2", "105,200", "0,000", "0,000"};
    const QStringList netDivisions = {"", "1052", "1052", "1052,00", "0,00", "0,00"};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(figure(view, row, 0), gross[row]) << "row " << row;
        EXPECT_EQ(figure(view, row, 1), grossDivisions[row]) << "row " << row;
        EXPECT_EQ(figure(view, row, 2), net[row]) << "row " << row;
        EXPECT_EQ(figure(view, row, 3), netDivisions[row]) << "row " << row;
    }
}

TEST_F(TrendViewTest, TheFiguresFollowAMovingWeightAndTheWindowChosen)
{
    // The gross weight climbs 0,1 kg a second: 100,0 at 0 s, 100,1 at 1 s, ...
    device.onRead(0, [this](vx::sim::VirtualIndicator &d, int, int) {
        d.setLong(0, 1000 + int(std::lround(clock.elapsed() - started)));
    });
    TrendView &view = openConnected(1);
    started = clock.elapsed();
    clock.advance(120.5);
    ASSERT_GE(view.samples().size(), 120u);

    // The last minute: 61 samples from 60 s to 120 s, 106,0 to 112,0 kg; drift 6 kg a
    // minute, 60 divisions.
    EXPECT_EQ(figure(view, 0, 0), "61");
    EXPECT_EQ(figure(view, 1, 0), "106,0");
    EXPECT_EQ(figure(view, 2, 0), "112,0");
    EXPECT_EQ(figure(view, 3, 0), "109,000");
    EXPECT_EQ(figure(view, 5, 0), "6,000");
    EXPECT_EQ(figure(view, 1, 1), "1060");
    EXPECT_EQ(figure(view, 5, 1), "60,00");

    // Five minutes hold the whole series, from 100,0 kg.
    view.findChild<QComboBox *>("TrendWindow")->setCurrentIndex(1);
    EXPECT_EQ(figure(view, 0, 0), QString::number(view.samples().size()));
    EXPECT_EQ(figure(view, 1, 0), "100,0");
}

TEST_F(TrendViewTest, AWeightWhoseAnswerWasNotWholeIsAGapNeverAZero)
{
    TrendView &view = openConnected(1);
    clock.advance(0.5);
    // The next gross read is refused, the net read after it goes unanswered, then
    // everything is answered again.
    device.addFault({.kind = vx::sim::FaultKind::Refuse, .scope = vx::sim::FaultScope::Register, .value = 0,
                     .remaining = 1});
    clock.advance(1.0);
    device.addFault({.kind = vx::sim::FaultKind::NoAnswer, .scope = vx::sim::FaultScope::Register, .value = 3,
                     .remaining = 1});
    clock.advance(2.0);
    ASSERT_EQ(view.samples().size(), 4u);
    EXPECT_FALSE(view.samples()[1].gross);
    EXPECT_TRUE(view.samples()[1].net);
    EXPECT_TRUE(view.samples()[2].gross);
    EXPECT_FALSE(view.samples()[2].net);

    // Gross: a line, a gap, a line of two points; net: a line of two points, a gap, a point.
    const auto gross = stretches(view, name(vx::BuiltIn::TrendGross));
    ASSERT_EQ(gross.size(), 2u);
    EXPECT_EQ(gross[0].size(), 1);
    EXPECT_EQ(gross[1].size(), 2);
    for (const auto &stretch : gross) {
        for (const QPointF &p : stretch)
            EXPECT_DOUBLE_EQ(p.y(), 125.2);
    }
    const auto net = stretches(view, name(vx::BuiltIn::TrendNet));
    ASSERT_EQ(net.size(), 2u);
    EXPECT_EQ(net[0].size(), 2);
    EXPECT_EQ(net[1].size(), 1);
    // The figures count the values there are: three of four.
    EXPECT_EQ(figure(view, 0, 0), "3");
    EXPECT_EQ(figure(view, 1, 0), "125,2") << "a 0 would be the minimum";
    EXPECT_EQ(figure(view, 0, 2), "3");
    // Two of the four samples lack a weight, and the view says so.
    EXPECT_EQ(view.findChild<QLabel *>("TrendState")->text(), name(vx::BuiltIn::TrendRunning).arg(4).arg(2));

    // The CSV leaves the field empty. A sample after one whose last answer went wrong
    // waits for the line to fall quiet first (30 ms); one after a sample that ended on a
    // whole answer does not, whatever came before it.
    const QString path = dir.filePath("trend.csv");
    view.chooseFile = [&](const QString &filter, const QString &) {
        EXPECT_TRUE(filter.contains("*.csv"));
        return path;
    };
    click(view, "TrendExportCsv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("time,gross,net\r\n"
                                         "0.000,125.2,105.2\r\n"
                                         "1.000,,105.2\r\n"
                                         "2.000,125.2,\r\n"
                                         "3.030,125.2,105.2\r\n"));
    EXPECT_TRUE(op.messages().isEmpty()) << op.messages().join(" | ").toStdString();
    EXPECT_TRUE(view.findChild<QLabel *>("TrendState")->text().contains(QDir::toNativeSeparators(path)));
}

TEST_F(TrendViewTest, PauseReadsNothingAndStartContinuesTheSeriesAfterAGap)
{
    TrendView &view = openConnected(2);  // twice a second
    clock.advance(1.2);
    ASSERT_EQ(view.samples().size(), 3u);
    click(view, "TrendStartPause");
    EXPECT_FALSE(view.sampling());
    device.clearRequests();
    clock.advance(30.0);
    EXPECT_TRUE(device.requests().isEmpty()) << wire().join(' ').toStdString();
    EXPECT_EQ(view.samples().size(), 3u);

    click(view, "TrendStartPause");
    EXPECT_TRUE(view.sampling());
    clock.advance(0.7);
    ASSERT_EQ(view.samples().size(), 5u);
    EXPECT_GT(view.samples()[3].seconds, 31.0) << "the time goes on from the first start";
    // The pause is a gap in both lines: two stretches of whole values.
    const auto gross = stretches(view, name(vx::BuiltIn::TrendGross));
    ASSERT_EQ(gross.size(), 2u);
    EXPECT_EQ(gross[0].size(), 3);
    EXPECT_EQ(gross[1].size(), 2);
}

// At the fastest rate one sample follows the other with no time between them. The
// mouse and the keys, held while a sample has the line, still get through between two
// samples: the rate chosen, Pause and the close button each take effect at once.
TEST_F(TrendViewTest, AtTheFastestRateTheMouseAndTheKeysGetThroughBetweenSamples)
{
    TrendView &view = openConnected(/*as fast as the line allows*/ 0);
    view.show();
    clock.advance(1.0);
    ASSERT_GT(view.samples().size(), 5u);
    ASSERT_GT(clock.pendingEvents(), 0u);

    // Once a second, chosen 0,5 s on.
    double handled = -1;
    const double chosenAt = clock.elapsed() + 0.5;
    clock.input(0.5, [&] {
        view.findChild<QComboBox *>("TrendRate")->setCurrentIndex(1);
        handled = clock.elapsed();
    });
    clock.advance(3.0);
    ASSERT_GE(handled, chosenAt);
    EXPECT_LT(handled, chosenAt + 0.2) << "handled at the end of the sample it came in, not when the loop went idle";
    const std::vector<vx::TrendSample> &samples = view.samples();
    EXPECT_GT(samples.back().seconds - samples[samples.size() - 2].seconds, 0.9) << "once a second now";

    // Back to the fastest, then Pause clicked.
    view.findChild<QComboBox *>("TrendRate")->setCurrentIndex(0);
    clock.advance(1.0);
    const double clickedAt = clock.elapsed() + 0.25;
    double pausedAt = -1;
    std::size_t samplesAtPause = 0;
    clock.input(0.25, [&] {
        click(view, "TrendStartPause");
        pausedAt = clock.elapsed();
        samplesAtPause = view.samples().size();
    });
    clock.advance(2.0);
    EXPECT_FALSE(view.sampling());
    ASSERT_GE(pausedAt, clickedAt);
    EXPECT_LT(pausedAt, clickedAt + 0.2);
    EXPECT_EQ(view.samples().size(), samplesAtPause) << "no sample after the click";

    // Started again, then the view closed with its close button.
    click(view, "TrendStartPause");
    clock.advance(0.5);
    ASSERT_TRUE(view.sampling());
    qsizetype requestsAtClose = -1;
    clock.input(0.25, [&] {
        view.close();
        requestsAtClose = device.requests().size();
    });
    clock.advance(2.0);
    EXPECT_FALSE(view.sampling());
    EXPECT_EQ(device.requests().size(), requestsAtClose) << "nothing read after the close";
}

TEST_F(TrendViewTest, ADisconnectStopsTheSamplingAndClosingTheViewPausesIt)
{
    TrendView &view = openConnected(1);
    clock.advance(1.5);
    form->DisconnectAction();
    device.clearRequests();
    clock.advance(5.0);
    EXPECT_FALSE(view.sampling());
    EXPECT_TRUE(device.requests().isEmpty());
    const QString stopped = view.findChild<QLabel *>("TrendState")->text();

    // Start while disconnected reads nothing and says why.
    click(view, "TrendStartPause");
    clock.advance(2.0);
    EXPECT_TRUE(device.requests().isEmpty());
    EXPECT_EQ(view.findChild<QLabel *>("TrendState")->text(), stopped);

    form->ConnectAction();
    click(view, "TrendStartPause");
    EXPECT_TRUE(view.sampling());
    view.close();
    EXPECT_FALSE(view.sampling());
    device.clearRequests();
    clock.advance(3.0);
    EXPECT_TRUE(device.requests().isEmpty());
}

TEST_F(TrendViewTest, TheStatusTimerAndTheTrendTakeTurnsOnTheLine)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    ASSERT_TRUE(form->refresher().timer4().isActive());
    // One status reading on its own: the block every later one must match.
    device.clearRequests();
    form->refresher().refresh();
    const QStringList statusBlock = wire();
    ASSERT_TRUE(hostModeWrite(statusBlock.front()));
    ASSERT_TRUE(hostModeWrite(statusBlock.back()));

    device.clearRequests();
    TrendView &view = open(/*ten a second*/ 4);
    clock.advance(21.0);

    // The wire is whole status blocks and whole trend samples, one after the other.
    const QStringList sent = wire();
    int blocks = 0;
    int samples = 0;
    for (int i = 0; i < sent.size();) {
        if (hostModeWrite(sent[i])) {
            ASSERT_EQ(sent.mid(i, statusBlock.size()), statusBlock) << "a status reading cut into at " << i;
            i += int(statusBlock.size());
            ++blocks;
            continue;
        }
        ASSERT_EQ(sent.mid(i, 2), QStringList({"@0300000002", "@0300030002"})) << "a sample cut into at " << i;
        i += 2;
        ++samples;
    }
    EXPECT_EQ(samples, int(view.samples().size()));
    EXPECT_GE(blocks, 3) << "the status timer still reads every 5 s";
    EXPECT_GT(samples, 150);
    for (const vx::TrendSample &s : view.samples())
        EXPECT_TRUE(s.gross && s.net) << "at " << s.seconds;
}

TEST_F(TrendViewTest, ATickOfTheStatusTimerDuringASampleIsRefused)
{
    start();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    form->ConnectAction();
    // As the indicator takes the gross read of a sample, the status timer ticks.
    int ticks = 0;
    device.onRead(0, [&](vx::sim::VirtualIndicator &, int, int) {
        if (form->findChild<TrendView *>("TrendView") && ticks < 3) {
            clock.schedule(0, [&] {
                EXPECT_TRUE(form->link().lineHeld());
                form->refresher().Timer4_Timer();
                ++ticks;
            });
        }
    });
    form->refresher().timer4().stop();
    device.clearRequests();
    TrendView &view = open(1);
    clock.advance(2.5);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(view.samples().size(), 3u);
    EXPECT_EQ(wire(), QStringList({"@0300000002", "@0300030002", "@0300000002", "@0300030002", "@0300000002",
                                   "@0300030002"}));
}

TEST_F(TrendViewTest, ThePlotIsSavedAsAPng)
{
    TrendView &view = openConnected(1);
    view.show();
    clock.advance(1.5);
    const QString path = dir.filePath("trend.png");
    view.chooseFile = [&](const QString &filter, const QString &) {
        EXPECT_TRUE(filter.contains("*.png"));
        return path;
    };
    click(view, "TrendExportPng");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    file.close();
    QImage image;
    ASSERT_TRUE(image.load(path, "PNG"));
    EXPECT_GT(image.width(), 100);
    EXPECT_TRUE(op.messages().isEmpty());

    // Cancelling the dialog writes nothing and says nothing.
    view.chooseFile = [](const QString &, const QString &) { return QString(); };
    click(view, "TrendExportPng");
    EXPECT_TRUE(op.messages().isEmpty());
}

TEST_F(TrendViewTest, AnExportThatCannotBeWrittenSaysSoAndLeavesNoFile)
{
    TrendView &view = openConnected(1);
    clock.advance(1.5);
    vx::test::SmallTmpfs readOnly(/*readOnly=*/true);
    QDir(dir.path()).mkpath("folder.csv");
    struct Case {
        const char *name;
        QString target;
    };
    std::vector<Case> cases = {{"a folder", dir.filePath("folder.csv")},
                               {"no such folder", dir.filePath("no/such/trend.png")}};
    // Root writes through permission bits; a read-only file system stops it too.
    if (readOnly.mounted())
        cases.push_back({"a read-only file system", readOnly.filePath("trend.csv")});
    for (const Case &c : cases) {
        for (const char *button : {"TrendExportCsv", "TrendExportPng"}) {
            const int before = int(op.messages().size());
            view.chooseFile = [&](const QString &, const QString &) { return c.target; };
            click(view, button);
            ASSERT_EQ(op.messages().size(), before + 1) << c.name << " " << button;
            EXPECT_TRUE(op.messages().back().contains(QDir::toNativeSeparators(c.target))) << c.name;
            EXPECT_FALSE(QFileInfo(c.target).isFile()) << c.name;
        }
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.csv")).isDir());
}

}  // namespace

TEST_F(TrendViewTest, APortThatWillNotOpenStopsTheSamplingAndSaysSo)
{
    TrendView &view = openConnected(1);
    clock.advance(1.5);
    port.setOpenError(8002);  // the adapter pulled out
    clock.advance(1.0);
    EXPECT_FALSE(view.sampling()) << "one failed open stops the sampling, not one every interval";
    const int opens = port.openCount();
    clock.advance(5.0);
    EXPECT_EQ(port.openCount(), opens) << "nothing tries the port again by itself";
    const QString state = view.findChild<QLabel *>("TrendState")->text();
    EXPECT_TRUE(state.startsWith("The port could not be opened, so sampling stopped")) << state.toStdString();
    EXPECT_TRUE(state.contains("1 of them incomplete")) << "the failed sample is a gap: " << state.toStdString();

    // The cable back in: Start goes on.
    port.setOpenError(0);
    click(view, "TrendStartPause");
    EXPECT_TRUE(view.sampling());
    clock.advance(1.5);
    const QString again = view.findChild<QLabel *>("TrendState")->text();
    EXPECT_TRUE(again.startsWith("Sampling")) << again.toStdString();
}
