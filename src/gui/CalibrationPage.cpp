#include "gui/CalibrationPage.h"

#include "gui/WeighingCalibrationPanel.h"
#include "gui/Widgets.h"
#include "link/ClockTimer.h"
#include "link/Connect.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vx::gui {

CalibrationPage::CalibrationPage(PageHost &host, QWidget *parent) : TabPage(Tab::Calibration, host, parent)
{
    // The display read shows the weights with the decimals of the first division chosen.
    m_readout = new DisplayReadout(host, [this] { return m_weighing->divisionDecimals(); }, this);
    m_weighing = new WeighingCalibrationPanel(host, *m_readout);
    auto *analog = new QWidget;
    m_analog = new AnalogOutputPanel(host, *m_readout, analog);
    auto *al = new QVBoxLayout(analog);
    al->setContentsMargins(0, 0, 0, 0);
    al->addWidget(m_analog);
    al->addStretch(1);

    // Option5 chooses the page: weighing calibration or analog output.
    auto *choice = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        m_option5[i] = Named<QRadioButton>(QStringLiteral("Option5_%1").arg(i), this);
        choice->addWidget(m_option5[i]);
    }
    choice->addStretch(1);
    m_option5[0]->setChecked(true);
    m_captions.add(51, m_option5[0], "Kalibrasyon İşlemi");
    m_captions.add(53, m_option5[1], "Analog Kalibrasyon İşlemi");

    m_pages = Named<QStackedWidget>(QStringLiteral("CalibrationPages"), this);
    m_pages->addWidget(m_weighing);
    m_pages->addWidget(analog);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(choice);
    layout->addWidget(m_pages);
    layout->addWidget(m_readout);
    layout->addStretch(1);

    for (int i = 0; i < 2; ++i)
        connect(m_option5[i], &QRadioButton::clicked, this, [this, i] {
            // While a display read or an adjustment tick holds the line the click is
            // skipped: the choice goes back to the page shown.
            if (this->host().link().lineHeld()) {
                m_option5[m_pages->currentIndex()]->setChecked(true);
                return;
            }
            Option5_Click(i);
        });
    m_captions.applyDesign();
}

CalibrationPage::~CalibrationPage() = default;

const std::optional<RangeSettings> &CalibrationPage::indicatorRange() const { return m_weighing->indicatorRange(); }

std::optional<bool> CalibrationPage::calibrationPermitted() const { return m_weighing->calibrationPermitted(); }

const MetrologyProfiles &CalibrationPage::profiles() const { return m_weighing->profiles(); }

RangeChoice CalibrationPage::rangeChoice() const { return m_weighing->rangeChoice(); }

// ---------------------------------------------------------------------------
// Start-up, language, tab changes

void CalibrationPage::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    m_weighing->applyLanguage(texts);
    m_analog->applyLanguage(texts);
    m_readout->applyLanguage(texts);
}

void CalibrationPage::startUp() { m_weighing->startUp(); }

void CalibrationPage::entered()
{
    // The tab change's resets.
    m_analog->releaseSteps();
    m_weighing->entered();
    // The range is read once an entry, right after the tab change and its refresh (which
    // may both enter the page, e.g. after a connect made on this tab): the read is
    // deferred, and a later entry or leaving the tab replaces it.
    const unsigned entry = ++m_entry;
    const AppState &state = host().state();
    if (!state.IsConnected || !state.TabRefreshPending)
        return;
    QPointer<CalibrationPage> self(this);
    host().link().clock().callAfter(0, [self, entry] {
        if (self && self->m_entry == entry)
            self->rangeRead();
    });
}

void CalibrationPage::rangeRead()
{
    PageHost &h = host();
    if (!h.state().IsConnected || h.state().CurrentTab != Tab::Calibration || !isEnabled())
        return;  // disconnected, left, or an operation of the window holds the line
    // Held by an operation of the tab (a display read waiting for its answer), the
    // line is not taken twice: this entry's read is skipped.
    LineLease lease(h.link(), {.attempts = PortOpenAttempts});
    if (lease.busy())
        return;
    h.beginOperation();
    m_weighing->lockStart();
    if (lease)
        KalibrasyonHost();
    lease.release();
    h.endOperation();
}

void CalibrationPage::left()
{
    ++m_entry;  // a range read still to come is not wanted any more
    m_readout->stop();
    if (host().state().IsConnected) {
        m_analog->analokartkon();
        if (!m_option5[0]->isChecked()) {
            m_option5[0]->setChecked(true);
            m_pages->setCurrentIndex(0);
        }
    }
    m_analog->timer1().stop();
}

void CalibrationPage::rangeKnown(const IndicatorRange &range) { m_weighing->selectRange(range.codes); }

void CalibrationPage::KalibrasyonHost()
{
    m_weighing->lockStart();
    const RangeReading read = vx::KalibrasyonHost(host().link(), host().texts().lines(),
                                                  [this] { host().DisconnectAction(); });
    m_analog->rangeRead(read.analogVoltage,
                        read.hardware ? std::optional<bool>(read.hardware->AnalogCardPresent) : std::nullopt);
    m_weighing->rangeRead(read);
    if (!read.refused && host().state().IsConnected)
        m_readout->start();
}

void CalibrationPage::Option5_Click(int index)
{
    m_pages->setCurrentIndex(index);
    if (!host().state().IsConnected)
        return;
    m_analog->pageChosen(index == 1);
}

}  // namespace vx::gui
