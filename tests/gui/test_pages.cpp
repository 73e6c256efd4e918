// The window calls its tab pages through one interface, in the order that
// gui/TabPage.h documents: start-up, connect, tab change, refresh, language change.

#include "GuiFixture.h"

#include "gui/TabPage.h"
#include "shell/TextService.h"
#include "sim/Faults.h"

#include <QComboBox>
#include <QTabWidget>

using vx::test::GuiTest;
using Refresh = vx::gui::TabPage::Refresh;

namespace {

// A page that writes every call into a shared log as "tab:call".
class RecordingPage : public vx::gui::TabPage {
public:
    RecordingPage(int tab, vx::gui::PageHost &host, QStringList &log, Refresh kind, vx::SerialPortIo &port)
        : TabPage(tab, host), m_log(log), m_kind(kind), m_port(port)
    {
    }
    Refresh refreshKind() const override { return m_kind; }
    void applyLanguage(const vx::TextService &texts) override { note("language " + texts.line(1)); }
    void layOutGrids() override { note("layOut"); }
    void startUp() override { note("startUp"); }
    void modelChanged(vx::Model model) override { note("model " + vx::ModelName(model)); }
    void entered() override { note(host().state().TabRefreshPending ? "entered pending" : "entered"); }
    void left() override { note("left"); }
    // A refresh runs with the port open and the window dimmed.
    void refresh() override
    {
        note(m_port.isOpen() && dimmed && dimmed() ? "refresh" : "refresh outside an operation");
    }
    void connected() override
    {
        note("connected");
        if (reportsRange) {
            vx::IndicatorRange range;
            range.format.WeightFormatReference = QStringLiteral("300.045");
            host().rangeFound(range);
        }
    }
    void rangeKnown(const vx::IndicatorRange &range) override { note("range " + range.format.WeightFormatReference); }

    bool reportsRange = false;
    std::function<bool()> dimmed;  // the light yellow, the tabs disabled

private:
    void note(const QString &what) { m_log << QStringLiteral("%1:%2").arg(tab()).arg(what); }
    QStringList &m_log;
    Refresh m_kind;
    vx::SerialPortIo &m_port;
};

class PagesTest : public GuiTest {
protected:
    // By default recording pages on the header (reads nothing), parameter (reloads by
    // re-entering) and status (reads) tabs; the window's own pages elsewhere.
    void startRecording(const QString &model, std::map<int, Refresh> kinds = {{vx::Tab::Header, Refresh::None},
                                                                                {vx::Tab::Parameters, Refresh::Reenter},
                                                                                {vx::Tab::Status, Refresh::Read}})
    {
        start(model, [this, kinds](int tab, vx::gui::PageHost &host) -> vx::gui::TabPage * {
            auto it = kinds.find(tab);
            if (it == kinds.end())
                return nullptr;
            auto *page = new RecordingPage(tab, host, log, it->second, port);
            page->reportsRange = tab == vx::Tab::Parameters;
            page->dimmed = [this] { return light() == vx::gui::Light::Yellow && !form->tabs()->isEnabled(); };
            return page;
        });
    }
    // The log since the last call.
    QStringList take() { return std::exchange(log, {}); }

    QStringList log;
};

TEST_F(PagesTest, PagesAreCalledInTheDocumentedOrder)
{
    device.setModel("ZR2 V2.20");
    startRecording("ZR1");
    EXPECT_EQ(take(), QStringList({"0:language E1", "4:language E1", "6:language E1",  // the language file
                                   "0:layOut", "4:layOut", "6:layOut",
                                   "0:startUp", "4:startUp", "6:startUp",           // the model is known
                                   "0:layOut", "4:layOut", "6:layOut",              // the grids
                                   "0:model ZR1", "4:model ZR1", "6:model ZR1"}));  // the model's features

    // A connect that finds another model; the parameter page reports the range.
    form->ConnectAction();
    EXPECT_EQ(take(), QStringList({"0:model ZR2", "4:model ZR2", "6:model ZR2", "0:connected", "4:connected",
                                   "6:connected", "0:range 300.045", "4:range 300.045", "6:range 300.045"}));
    EXPECT_EQ(form->state().weight.WeightFormatReference, "300.045");

    // The parameter page reloads by re-entering with TabRefreshPending; the status page reads.
    form->tabs()->setCurrentIndex(vx::Tab::Parameters);
    EXPECT_EQ(take(), QStringList({"0:left", "4:entered", "4:left", "4:entered pending"}));
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    EXPECT_EQ(take(), QStringList({"4:left", "6:entered", "6:refresh"}));
    form->refresher().F5Key();
    EXPECT_EQ(take(), QStringList({"6:refresh"}));

    form->MnAyar_Click(3);
    auto *files = ctl<QComboBox>("Combo5");
    files->setCurrentIndex(files->findText("Türkçe.txt"));
    form->SSCommand9_Click();
    EXPECT_EQ(take(), QStringList({"0:language T1", "4:language T1", "6:language T1", "0:layOut", "4:layOut", "6:layOut"}));

    // A page that reads nothing is not refreshed: nothing is opened.
    form->tabs()->setCurrentIndex(vx::Tab::Header);
    const int opens = port.openCount();
    form->refresher().refresh();
    EXPECT_EQ(port.openCount(), opens);
    EXPECT_EQ(take(), QStringList({"6:left", "0:entered"}));
}

TEST_F(PagesTest, PagesHearOfAConnectOnlyWhenItWorksAndAgainAfterANewAddress)
{
    startRecording("ZR2");
    take();
    device.addFault({vx::sim::FaultKind::NoAnswer, vx::sim::FaultScope::Register, 199});
    form->ConnectAction();
    EXPECT_EQ(take(), QStringList());
    device.clearFaults();
    form->ConnectAction();
    EXPECT_EQ(take().filter("connected").size(), 3);
    form->DisconnectAction();
    form->ConnectAction();
    EXPECT_EQ(take().filter("model").size(), 0) << "the same model again: nothing is rebuilt";

    // The capacity and division of the indicator at a new address are read at once.
    auto chooseAddress = [&](const QString &address) {
        form->MnAyar_Click(0);
        auto *addresses = ctl<QComboBox>("Combo2");
        addresses->setCurrentIndex(addresses->findText(address));
        form->settingsPanel().SSCommand1_Click();
    };
    chooseAddress("05");
    EXPECT_EQ(take().filter("connected"), QStringList({"0:connected", "4:connected", "6:connected"}));
    EXPECT_FALSE(port.isOpen());
    chooseAddress("05");
    form->DisconnectAction();
    chooseAddress("06");
    EXPECT_EQ(take().filter("connected").size(), 0);
}

TEST_F(PagesTest, ConnectOnTheCalibrationTabReloadsItAndOnTheStatusTabReadsAtOnce)
{
    startRecording("ZR2", {{vx::Tab::Calibration, Refresh::Reenter}, {vx::Tab::Status, Refresh::Read}});
    form->tabs()->setCurrentIndex(vx::Tab::Calibration);
    take();
    form->ConnectAction();
    // The connect re-enters the tab, and the refresh of that tab change re-enters it again.
    // (The range comes from the window's own parameter page, 300 Kg by 0.1.)
    EXPECT_EQ(take(), QStringList({"5:connected", "6:connected", "5:range 300.9", "6:range 300.9", "5:left",
                                   "5:entered pending", "5:left", "5:entered pending"}));
    EXPECT_FALSE(form->refresher().timer4().isActive());

    form->DisconnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Status);
    take();
    form->ConnectAction();
    EXPECT_EQ(take(), QStringList({"5:connected", "6:connected", "5:range 300.9", "6:range 300.9", "6:refresh"}));
    EXPECT_TRUE(form->refresher().timer4().isActive());
}

}  // namespace
