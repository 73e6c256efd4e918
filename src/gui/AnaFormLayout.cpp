// Building the window: the side panel with the status light, the tab strip with
// its seven pages, the floating panels and the status line. Captions set here are
// replaced by the language file.

#include "gui/AnaForm.h"

#include "gui/CalibrationPage.h"
#include "gui/FilePanels.h"
#include "gui/HeaderPage.h"
#include "gui/IdPage.h"
#include "gui/LanguageFilePanel.h"
#include "gui/ParameterPage.h"
#include "gui/PresetTarePage.h"
#include "gui/SetpointPage.h"
#include "gui/SettingsPanel.h"
#include "gui/StatusPage.h"
#include "gui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

class TightTabStyle : public QProxyStyle {
public:
    explicit TightTabStyle(QObject *owner) : QProxyStyle(QApplication::style()->name()) { setParent(owner); }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

TabPage *makePage(int tab, PageHost &host)
{
    switch (tab) {
    case Tab::Header: return new HeaderPage(host);
    case Tab::IdMemory: return new IdPage(host);
    case Tab::PresetTare: return new PresetTarePage(host);
    case Tab::Setpoint: return new SetpointPage(host);
    case Tab::Parameters: return new ParameterPage(host);
    case Tab::Calibration: return new CalibrationPage(host);
    case Tab::Status: return new StatusPage(host);
    default: return nullptr;
    }
}

}  // namespace

void AnaForm::buildCentral(const PageFactory &pages)
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    auto *layout = new QHBoxLayout(m_client);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    buildSidePanel(m_client);
    buildTabs(m_client, pages);
    layout->addWidget(m_sidePanel);
    layout->addWidget(m_tabs, 1);

    PanelHost &host = *this;
    m_settingsPanel = std::make_unique<SettingsPanel>(host, m_client, m_captions);
    m_batchPanels = std::make_unique<BatchPanels>(host, m_client, m_captions);
    m_languagePanel = std::make_unique<LanguageFilePanel>(host, m_client, m_captions);
    m_waitPanel = std::make_unique<WaitPanel>(m_client);
    m_numericEntry = std::make_unique<NumericEntry>(BuildEntryPanels(m_client, m_captions), m_clock);

    // How the last connect went, or why the link was lost.
    m_statusLine = Named<QLabel>(QStringLiteral("StatusLine"), this);
    m_statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_statusLine, 1);
}

void AnaForm::buildSidePanel(QWidget *parent)
{
    m_sidePanel = new Panel(QStringLiteral("SSPanel11"), QString(), parent);
    m_sidePanel->setFixedWidth(84);
    QWidget *body = m_sidePanel->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 10, 4, 10);
    layout->setSpacing(8);

    auto *brand = Named<QLabel>(QStringLiteral("ImageBrand"), body);
    brand->setPixmap(DrawNeutralMark(QSize(74, 20)));
    brand->setAlignment(Qt::AlignCenter);
    layout->addWidget(brand);

    // The three lights lie on top of each other; exactly one is shown.
    auto *lights = Named<QWidget>(QStringLiteral("Lights"), body);
    lights->setFixedSize(56, 56);
    const QColor colours[3] = {QColor(0xd3, 0x2f, 0x2f), QColor(0x2e, 0xb8, 0x3c), QColor(0xf9, 0xc0, 0x1a)};
    for (int i = 0; i < 3; ++i) {
        m_lamps[i] = new Lamp(QStringLiteral("Image2_%1").arg(i), colours[i], lights);
        m_lamps[i]->move(0, 0);
    }
    connect(m_lamps[0], &Lamp::clicked, this, [this] { ConnectAction(); });
    connect(m_lamps[1], &Lamp::clicked, this, [this] { DisconnectAction(); });
    layout->addWidget(lights, 0, Qt::AlignHCenter);
    m_captions.add(376, m_lamps[0], "Bağlan", Captions::Kind::ToolTip);
    m_captions.add(377, m_lamps[1], "Bağlantıyı kes", Captions::Kind::ToolTip);

    m_modelLabel = Named<QLabel>(QStringLiteral("LabelModel"), body);
    m_modelLabel->setAlignment(Qt::AlignCenter);
    m_modelLabel->setWordWrap(true);
    QFont f = m_modelLabel->font();
    f.setBold(true);
    m_modelLabel->setFont(f);
    layout->addWidget(m_modelLabel);

    m_progress3 = Named<QProgressBar>(QStringLiteral("ProgressBar3"), body);
    m_progress3->setRange(0, 10);
    m_progress3->setTextVisible(false);
    m_progress3->setFixedHeight(12);
    m_progress3->hide();
    layout->addWidget(m_progress3);
    layout->addStretch(1);

    // Runs the start-up again.
    m_command3 = Named<QPushButton>(QStringLiteral("Command3"), body, QStringLiteral("RESTART"));
    connect(m_command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    layout->addWidget(m_command3);
}

void AnaForm::buildTabs(QWidget *parent, const PageFactory &pages)
{
    m_tabs = Named<QTabWidget>(QStringLiteral("SSTab1"), parent);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideNone);
    // Seven captions (six shown) share the strip: less space around each caption and
    // a slightly smaller type keep them in one row in every shipped language.
    m_tabs->tabBar()->setStyle(new TightTabStyle(m_tabs->tabBar()));
    QFont tabFont = m_tabs->tabBar()->font();
    tabFont.setPointSizeF(tabFont.pointSizeF() * 0.9);
    m_tabs->tabBar()->setFont(tabFont);
    const char *const designs[Tab::Count] = {"Başlık ve Dip Not", "ID Hafıza", "P.Dara Hafıza", "Setpoint Hafıza",
                                             "Parametreler", "Kalibrasyon", "Status"};
    for (int tab = 0; tab < Tab::Count; ++tab) {
        TabPage *page = pages ? pages(tab, *this) : nullptr;
        m_pages[tab] = page ? page : makePage(tab, *this);
        m_tabs->addTab(m_pages[tab], QString());
        m_captions.addTab(68 + tab, m_tabs, tab, designs[tab]);
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0)
            SSTab1_Click(index);
    });
}

}  // namespace vx::gui
