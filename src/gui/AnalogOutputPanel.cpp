#include "gui/AnalogOutputPanel.h"

#include "gui/CalibrationLabels.h"
#include "gui/DisplayReadout.h"
#include "gui/HistoryRecorder.h"
#include "gui/TabPage.h"
#include "gui/Widgets.h"
#include "link/ClockTimer.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

namespace Text {
constexpr int Ready = TextLine::Ready;  // idle caption of the analog start, Label7 when idle
constexpr int Finish = 269;  // caption of the analog start while adjusting
constexpr int Adjusting = 270;
constexpr int PortFailed = TextLine::PortFailed;
constexpr int NoAnalogCard = 311;
}  // namespace Text

using calibration::Paint;

}  // namespace

AnalogOutputPanel::AnalogOutputPanel(PageHost &host, DisplayReadout &readout, QWidget *parent)
    : QGroupBox(parent), m_host(host), m_readout(readout)
{
    setObjectName(QStringLiteral("Frame2"));
    auto *al = new QGridLayout(this);
    al->setHorizontalSpacing(12);
    m_frame5 = Named<QGroupBox>(QStringLiteral("Frame5"), this);
    auto *tl = new QVBoxLayout(m_frame5);
    m_option4[0] = Named<QRadioButton>(QStringLiteral("Option4_0"), m_frame5, QStringLiteral("4 - 20 mA"));
    m_option4[1] = Named<QRadioButton>(QStringLiteral("Option4_1"), m_frame5, QStringLiteral("0 - 10 VDC"));
    m_option4[0]->setChecked(true);
    tl->addWidget(m_option4[0]);
    tl->addWidget(m_option4[1]);

    // The two points, each with the value the indicator shows for it.
    auto *point = new QWidget(this);
    auto *ptl = new QGridLayout(point);
    ptl->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        m_option6[i] = Named<QRadioButton>(QStringLiteral("Option6_%1").arg(i), point);
        ptl->addWidget(m_option6[i], i, 0);
        m_values[i] = Named<QLabel>(QStringLiteral("Label%1").arg(10 + i), point);
        m_values[i]->setMinimumWidth(64);
        ptl->addWidget(m_values[i], i, 1);
    }
    m_option6[0]->setChecked(true);

    // The zero and full-scale step buttons lie in two panels at the same place.
    auto *steps = new QWidget(this);
    auto *stepsLayout = new QGridLayout(steps);
    stepsLayout->setContentsMargins(0, 0, 0, 0);
    auto fillSteps = [&](Panel *&panel, const char *panelName, std::array<QPushButton *, 4> &buttons,
                         const QString &buttonName, std::array<QLabel *, 2> &labels, const QString &labelName) {
        panel = new Panel(QString::fromLatin1(panelName), QString(), steps);
        auto *gl = new QGridLayout(panel->body());
        gl->setContentsMargins(6, 4, 6, 4);
        gl->setVerticalSpacing(2);
        for (int row = 0; row < 2; ++row) {
            labels[row] = Named<QLabel>(QStringLiteral("%1_%2").arg(labelName).arg(row), panel->body());
            gl->addWidget(labels[row], row, 0);
            for (int col = 0; col < 2; ++col) {
                QPushButton *&b = buttons[row * 2 + col];
                b = Named<QPushButton>(QStringLiteral("%1_%2").arg(buttonName).arg(row * 2 + col), panel->body(),
                                       col == 0 ? QStringLiteral("▲") : QStringLiteral("▼"));
                b->setFixedSize(34, 24);
                gl->addWidget(b, row, col + 1);
            }
        }
        stepsLayout->addWidget(panel, 0, 0);
    };
    fillSteps(m_ssPanel4, "SSPanel4", m_zeroButtons, QStringLiteral("Sıfır"), m_label1, QStringLiteral("Label1"));
    fillSteps(m_ssPanel5, "SSPanel5", m_fs, QStringLiteral("FS"), m_label8, QStringLiteral("Label8"));
    m_ssPanel5->hide();

    m_ssCommand5 = Named<QPushButton>(QStringLiteral("SSCommand5"), this);
    m_ssCommand5->setMinimumHeight(28);
    m_label7 = Named<QLabel>(QStringLiteral("Label7"), this);
    m_label7->setAlignment(Qt::AlignCenter);
    m_label7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label7->setWordWrap(true);
    m_label7->setMinimumHeight(28);
    al->addWidget(m_frame5, 0, 0, 2, 1);
    al->addWidget(point, 0, 1, 2, 1);
    al->addWidget(steps, 0, 2, 2, 1);
    al->addWidget(m_ssCommand5, 2, 0, 1, 2);
    al->addWidget(m_label7, 2, 2);
    m_note = new NoteField(QStringLiteral("AnalogNote"), this);
    al->addWidget(m_note, 3, 0, 1, 3);
    al->setColumnStretch(2, 1);

    m_captions.add(53, this, "Analog Kalibrasyon İşlemi");
    m_captions.add(327, m_frame5, "Analog Çıkış Tipi");
    m_captions.add(47, m_label1[0], "Hızlı");
    m_captions.add(48, m_label1[1], "Yavaş");
    m_captions.add(49, m_label8[0], "Hızlı");
    m_captions.add(50, m_label8[1], "Yavaş");
    m_captions.add(63, m_ssCommand5, "BAŞLA");
    m_captions.add(63, m_label7, "BAŞLA");
    m_captions.add(64, m_ssPanel4, "SIFIR");
    m_captions.add(64, m_option6[0], "SIFIR");
    m_captions.add(65, m_ssPanel5, "TAM SKALA");
    m_captions.add(65, m_option6[1], "TAM SKALA");
    m_captions.applyDesign();

    m_timer1 = std::make_unique<ClockTimer>(host.link().clock(), RepeatTimerMs, [this] { Timer1_Timer(); });

    connect(m_ssCommand5, &QPushButton::clicked, this, [this] { SSCommand5_Click(); });
    connect(m_option6[0], &QRadioButton::toggled, this, [this](bool zero) {
        m_ssPanel4->setVisible(zero);
        m_ssPanel5->setVisible(!zero);
    });
    for (int i = 0; i < 4; ++i) {
        const auto step = AnalogStepButton(i);
        connect(m_zeroButtons[i], &QPushButton::pressed, this, [this, step] { stepPressed({AnalogPoint::Zero, step}); });
        connect(m_fs[i], &QPushButton::pressed, this, [this, step] { stepPressed({AnalogPoint::FullScale, step}); });
    }
    setStepPanelsEnabled(false);
}

AnalogOutputPanel::~AnalogOutputPanel() = default;

void AnalogOutputPanel::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    m_note->applyLanguage(texts);
    if (!m_adjusting) {
        m_ssCommand5->setText(texts.line(Text::Ready));
        m_label7->setText(texts.line(Text::Ready));
    }
}

void AnalogOutputPanel::rangeRead(std::optional<bool> voltage, std::optional<bool> cardPresent)
{
    m_cardPresent = cardPresent;
    if (voltage)
        m_option4[*voltage ? 1 : 0]->setChecked(true);
}

void AnalogOutputPanel::showLabel7(const QString &text, const QColor &background)
{
    m_label7->setText(text);
    Paint(m_label7, background);
}

void AnalogOutputPanel::setStepPanelsEnabled(bool enabled)
{
    m_ssPanel4->setEnabled(enabled);
    m_ssPanel5->setEnabled(enabled);
}

void AnalogOutputPanel::pageChosen(bool analog)
{
    if (analog && !m_cardPresent.value_or(false)) {
        // Without a card the analog page stays dimmed, and says why.
        setEnabled(false);
        showLabel7(m_host.texts().line(Text::NoAnalogCard), QColor());
        return;
    }
    setEnabled(true);
    analokartkon();
}

void AnalogOutputPanel::SSCommand5_Click()
{
    // A tick or a step holds the line: the click is skipped.
    if (m_host.link().lineHeld())
        return;
    if (m_adjusting)
        endAdjustment();
    else
        startAdjustment();
}

void AnalogOutputPanel::startAdjustment()
{
    PageHost &h = m_host;
    Link &link = h.link();
    const TextService &texts = h.texts();
    if (!h.state().IsConnected) {
        link.op().message(texts.line(calibration::Text::NotConnected), Icon::Critical);
        return;
    }
    h.lockShell(true);
    if (!m_cardPresent.value_or(false)) {
        link.op().message(texts.line(Text::NoAnalogCard), Icon::Critical);
        h.lockShell(false);
        return;
    }
    m_frame5->setEnabled(false);
    m_readout.suspend();
    // The start alone holds the line; each tick and step takes it again.
    LineLease lease(link, {.quiet = true});
    if (!lease) {
        if (!lease.busy())
            link.op().message(texts.line(Text::PortFailed), Icon::Critical);
        m_frame5->setEnabled(true);
        h.lockShell(false);
        return;
    }
    const AnalogStartResult started = StartAnalogAdjustment(link, m_option4[1]->isChecked(), texts.lines(),
                                                            [this] { m_host.DisconnectAction(); });
    lease.release();
    if (started == AnalogStartResult::Refused) {
        recordTrim(AnalogTrimEnd::Refused, {});
        m_frame5->setEnabled(true);
        h.lockShell(false);
        return;
    }
    m_adjusting = true;
    m_startedBusy = started == AnalogStartResult::Busy;
    m_ssCommand5->setText(texts.line(Text::Finish));
    if (started == AnalogStartResult::Running) {
        m_analogValues = {};
        m_timer1->start();
        setStepPanelsEnabled(true);
        showLabel7(texts.line(Text::Adjusting), calibration::Red);
    }
}

void AnalogOutputPanel::endAdjustment()
{
    PageHost &h = m_host;
    Link &link = h.link();
    const TextService &texts = h.texts();
    m_timer1->stop();
    m_frame5->setEnabled(true);
    releaseSteps();
    setStepPanelsEnabled(false);
    m_adjusting = false;
    // The end is always sent, stepped or not; inside a tick that holds the line, at once.
    AnalogTrimEnd end = AnalogTrimEnd::EndNotSent;
    if (h.state().IsConnected) {
        LineLease lease(link, {.policy = LineLease::Policy::Join, .quiet = true});
        if (lease)
            end = EndAnalogAdjustment(link, texts.lines(), [this] { m_host.DisconnectAction(); })
                      ? AnalogTrimEnd::Ended
                      : AnalogTrimEnd::EndRefused;
        else
            link.op().message(texts.line(Text::PortFailed), Icon::Critical);
    }
    // A run whose start was answered busy adjusted nothing: no values of it to keep.
    if (m_startedBusy)
        recordTrim(end == AnalogTrimEnd::Ended ? AnalogTrimEnd::Busy : end, {});
    else
        recordTrim(end, m_analogValues);
    m_ssCommand5->setText(texts.line(Text::Ready));
    showLabel7(texts.line(Text::Ready), QColor());
    h.lockShell(false);
    if (h.state().IsConnected)
        m_readout.start();
}

void AnalogOutputPanel::recordTrim(AnalogTrimEnd end, const AnalogValues &values)
{
    // The service history: one record of the run, with the values as last shown.
    const HistoryRecord record = AnalogTrimHistoryRecord(WindowIdentity(m_host.state(), m_host.workingSet()),
                                                         m_option4[1]->isChecked(), end, values, HistoryTool::Window);
    if (AppendWindowHistory(m_host.link().op(), m_host.texts(), record, m_note->note()))
        m_note->edit()->clear();
}

void AnalogOutputPanel::analokartkon()
{
    releaseSteps();
    if (m_adjusting)
        endAdjustment();
    m_timer1->stop();
    showLabel7(m_host.texts().line(Text::Ready), QColor());
}

void AnalogOutputPanel::releaseSteps()
{
    for (auto *group : {&m_zeroButtons, &m_fs})
        for (QPushButton *b : *group)
            if (b->isDown())
                b->setDown(false);
}

std::optional<AnalogButton> AnalogOutputPanel::heldStep() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_zeroButtons[i]->isDown())
            return AnalogButton{AnalogPoint::Zero, AnalogStepButton(i)};
        if (m_fs[i]->isDown())
            return AnalogButton{AnalogPoint::FullScale, AnalogStepButton(i)};
    }
    return std::nullopt;
}

void AnalogOutputPanel::stepPressed(AnalogButton button)
{
    Link &link = m_host.link();
    if (!m_adjusting || !m_host.state().IsConnected)
        return;
    // A tick holds the line: this press is skipped; the button held steps at the next tick.
    LineLease lease(link, {.quiet = true});
    if (!lease)
        return;
    // The other panel and the point options wait for the step.
    Panel *other = button.point == AnalogPoint::Zero ? m_ssPanel5 : m_ssPanel4;
    other->setEnabled(false);
    for (QRadioButton *o : m_option6)
        o->setEnabled(false);
    const AnalogStepResult r = AnalogStep(link, button, m_analogValues);
    lease.release();
    if (r == AnalogStepResult::Limit)
        showLabel7(LimitText, calibration::Yellow);
    else
        showLabel7(m_host.texts().line(Text::Adjusting), calibration::Yellow);
    if (m_adjusting)
        other->setEnabled(true);
    for (QRadioButton *o : m_option6)
        o->setEnabled(true);
}

void AnalogOutputPanel::Timer1_Timer()
{
    Link &link = m_host.link();
    if (!m_adjusting || !m_host.state().IsConnected)
        return;
    // A step or the tick before holds the line: this tick is skipped. Clicks that come
    // meanwhile (Finish among them) wait for the tick's end (a poll); a step button
    // held down steps at the next tick.
    LineLease lease(link, {.quiet = true, .poll = true});
    if (!lease)
        return;
    AnalogLoop loop;
    loop.show = [this](const AnalogValues &v) {
        m_analogValues = v;
        m_values[0]->setText(v.zero ? QStringLiteral(": %1").arg(*v.zero) : QStringLiteral(": -"));
        m_values[1]->setText(v.fullScale ? QStringLiteral(": %1").arg(*v.fullScale) : QStringLiteral(": -"));
    };
    loop.held = [this]() -> std::optional<AnalogButton> {
        if (!m_ssPanel4->isEnabled() || !m_adjusting)
            return std::nullopt;
        return heldStep();
    };
    const AnalogTick tick = AnalogRepeat(link, loop);
    lease.release();
    if (tick.step == AnalogStepResult::Limit)
        showLabel7(LimitText, calibration::Yellow);
    else if (tick.step == AnalogStepResult::Sent)
        showLabel7(m_host.texts().line(Text::Adjusting), calibration::Yellow);
}

}  // namespace vx::gui
