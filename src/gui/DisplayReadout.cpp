#include "gui/DisplayReadout.h"

#include "gui/CalibrationLabels.h"
#include "gui/TabPage.h"
#include "gui/Widgets.h"
#include "link/ClockTimer.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vx::gui {
namespace {

namespace Text {
constexpr int Gross = 297;
constexpr int Net = 298;
}  // namespace Text

}  // namespace

DisplayReadout::DisplayReadout(PageHost &host, std::function<int()> decimals, QWidget *parent)
    : QGroupBox(parent), m_host(host), m_decimals(std::move(decimals))
{
    setObjectName(QStringLiteral("Frame6"));
    auto *dl = new QHBoxLayout(this);
    m_ssCommand6 = Named<QPushButton>(QStringLiteral("SSCommand6"), this);
    dl->addWidget(m_ssCommand6);
    m_label9 = Named<QLabel>(QStringLiteral("Label9"), this, NoValue);
    m_label9->setFrameShape(QFrame::StyledPanel);
    m_label9->setFrameShadow(QFrame::Sunken);
    m_label9->setMinimumHeight(26);
    m_label9->setAlignment(Qt::AlignCenter);
    QFont big = m_label9->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    m_label9->setFont(big);
    dl->addWidget(m_label9, 1);
    m_captions.add(280, m_ssCommand6, "GÖSTERGE'Yİ OKU");
    m_captions.add(280, this, "GÖSTERGE'Yİ OKU");
    m_captions.applyDesign();

    m_timer3 = std::make_unique<ClockTimer>(host.link().clock(), TimerMs, [this] { Timer3_Timer(); });
    connect(m_ssCommand6, &QPushButton::clicked, this, [this] { SSCommand6_Click(); });
}

DisplayReadout::~DisplayReadout() = default;

void DisplayReadout::applyLanguage(const TextService &texts) { m_captions.apply(texts); }

void DisplayReadout::start() { m_timer3->start(); }

void DisplayReadout::stop() { m_timer3->stop(); }

void DisplayReadout::suspend()
{
    m_label9->setText(NoValue);
    m_last.reset();
    m_timer3->stop();
}

void DisplayReadout::SSCommand6_Click()
{
    if (!m_host.state().IsConnected) {
        m_host.link().op().message(m_host.texts().line(calibration::Text::NotConnected), Icon::Critical);
        return;
    }
    read();
}

void DisplayReadout::Timer3_Timer()
{
    if (!m_host.state().IsConnected) {
        m_timer3->stop();
        return;
    }
    m_host.link().clock().idle(0, true);
    // An operation of the window holds the line (the tab strip is disabled, and this page with it).
    if (!isEnabled())
        return;
    read();
}

void DisplayReadout::read()
{
    Link &link = m_host.link();
    // The line for this read alone; while another operation holds it the read is
    // skipped. A port that cannot be opened shows no value, quietly. Clicks that come
    // meanwhile wait for the read's end (a poll).
    LineLease lease(link, {.quiet = true, .poll = true});
    if (lease.busy())
        return;
    const std::optional<DisplayReading> shown = lease ? ReadDisplay(link, m_decimals()) : std::nullopt;
    lease.release();
    if (!shown) {
        m_label9->setText(NoValue);
        return;
    }
    m_last = shown;
    ++m_readings;
    auto text = [](const std::optional<DisplayWeight> &weight) {
        return weight ? weight->text() : QStringLiteral("-");
    };
    const TextService &texts = m_host.texts();
    m_label9->setText(QStringLiteral("%1: %2     %3: %4")
                          .arg(texts.line(Text::Gross), text(shown->gross), texts.line(Text::Net), text(shown->net)));
}

}  // namespace vx::gui
