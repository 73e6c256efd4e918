#include "gui/CalibrationPage.h"

#include "gui/NumericEntry.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"
#include "link/ClockTimer.h"
#include "link/Connect.h"
#include "link/ForwardingOperator.h"
#include "link/SerialPort.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

namespace Text {
constexpr int Ready = 263;          // idle caption of the analog start, Label7 when idle
constexpr int Finish = 269;         // caption of the analog start while adjusting
constexpr int Adjusting = 270;
constexpr int PortFailed = 271;
constexpr int Gross = 297;
constexpr int Net = 298;
constexpr int NotPermitted = 310;
constexpr int NoAnalogCard = 311;
constexpr int ModeSingle = 360;     // 360, 361: the mode items; 362, 363: the metrology items
constexpr int MetrologyNormal = 362;
constexpr int NotConnected = 375;
}  // namespace Text

// The calibration's colours (the indicator's manual calls them by their numbers).
const QColor kGreen(0x00, 0xFF, 0x00);   // 65280
const QColor kRed(0xFF, 0x00, 0x00);     // 255
const QColor kYellow(0xFF, 0xFF, 0x00);  // 65535

const QString kNoValue = QStringLiteral(" - - - - ");

// Reports nothing: for the quiet openings of the port (the display read, a reopening
// whose failure has a message of its own).
class QuietOperator : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;
    void message(const QString &, Icon, const QString &) override {}
};

void paint(QLabel *label, const QColor &background)
{
    if (!background.isValid()) {
        label->setStyleSheet(QString());
        return;
    }
    const QColor text = background.lightness() > 100 ? QColor(Qt::black) : QColor(Qt::white);
    label->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; }")
                             .arg(background.name(), text.name()));
}

int decimalsOf(const QString &division)
{
    const qsizetype point = division.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(division.size() - point - 1);
}

}  // namespace

// The operator of a calibration run: the test weight through the entry panel, the
// steps on Label4; everything else as the window asks.
class CalibrationPage::PageOperator : public ForwardingOperator {
public:
    // `division`: the one the test weight is sent in; the entry shows the weight cut to it.
    PageOperator(CalibrationPage &page, Operator &inner, QString division = {})
        : ForwardingOperator(inner), m_page(page), m_division(std::move(division))
    {
    }

    std::optional<QString> input(const QString &prompt, const QString &, const QString &defaultText) override
    {
        Link &link = m_page.host().link();
        NumericEntry::Shape shape;
        if (!m_division.isEmpty())
            shape = [division = m_division](const QString &text) { return CutTestWeight(text, division); };
        const QString text = m_page.host().numericEntry().ask(
            prompt, defaultText, [&link] { return link.AbortRequested; } /* the window closes, Escape */, shape);
        if (text.isEmpty())
            return std::nullopt;
        return text;
    }
    void showStep(const QString &text, Tone tone) override { m_page.showLabel4(text, tone); }

private:
    CalibrationPage &m_page;
    QString m_division;
};

CalibrationPage::CalibrationPage(PageHost &host, QWidget *parent) : TabPage(Tab::Calibration, host, parent)
{
    buildProcedure();
    buildRange();
    buildAnalog();
    buildDisplay();

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

    auto *weighing = new QWidget;
    auto *wl = new QHBoxLayout(weighing);
    wl->setContentsMargins(0, 0, 0, 0);
    wl->setSpacing(8);
    wl->addWidget(m_frame1);
    wl->addWidget(m_frame3, 1);
    auto *analog = new QWidget;
    auto *al = new QVBoxLayout(analog);
    al->setContentsMargins(0, 0, 0, 0);
    al->addWidget(m_frame2);
    al->addStretch(1);
    m_pages = Named<QStackedWidget>(QStringLiteral("CalibrationPages"), this);
    m_pages->addWidget(weighing);
    m_pages->addWidget(analog);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(choice);
    layout->addWidget(m_pages);
    layout->addWidget(m_frame6);
    layout->addStretch(1);

    Clock &clock = host.link().clock();
    m_timer1 = std::make_unique<ClockTimer>(clock, RepeatTimerMs, [this] { Timer1_Timer(); });
    m_timer3 = std::make_unique<ClockTimer>(clock, DisplayTimerMs, [this] { Timer3_Timer(); });

    connectControls();
    setRangeFieldsEnabled(false);
    m_ssCommand3->setEnabled(false);
    setStepPanelsEnabled(false);
    m_captions.applyDesign();
}

CalibrationPage::~CalibrationPage() = default;

// ---------------------------------------------------------------------------
// Building

void CalibrationPage::buildProcedure()
{
    m_frame1 = Named<QGroupBox>(QStringLiteral("Frame1"), this);
    auto *pl = new QVBoxLayout(m_frame1);
    const char *const names[3] = {"GENEL KALİBRASYON", "SIFIR KALİBRASYONU", "SPAN KALİBRASYONU"};
    for (int i = 0; i < 3; ++i) {
        m_option1[i] = Named<QRadioButton>(QStringLiteral("Option1_%1").arg(i), m_frame1);
        pl->addWidget(m_option1[i]);
        m_captions.add(60 + i, m_option1[i], names[i]);
    }
    m_ssCommand3 = Named<QPushButton>(QStringLiteral("SSCommand3"), m_frame1);
    m_ssCommand3->setMinimumHeight(28);
    pl->addWidget(m_ssCommand3);
    m_label3[8] = Named<QLabel>(QStringLiteral("Label3_8"), m_frame1);
    pl->addWidget(m_label3[8]);
    m_label4 = Named<QLabel>(QStringLiteral("Label4"), m_frame1);
    m_label4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label4->setAlignment(Qt::AlignCenter);
    m_label4->setWordWrap(true);
    m_label4->setMinimumHeight(40);
    pl->addWidget(m_label4);
    pl->addStretch(1);
    m_captions.add(51, m_frame1, "Kalibrasyon İşlemi");
    m_captions.add(59, m_label3[8], "Kalibrasyon Durumu");
    m_captions.add(63, m_label4, "BAŞLA");
    m_captions.add(63, m_ssCommand3, "BAŞLA");
}

void CalibrationPage::buildRange()
{
    m_frame3 = Named<QGroupBox>(QStringLiteral("Frame3"), this);
    auto *rl = new QGridLayout(m_frame3);
    rl->setVerticalSpacing(4);
    for (int i = 0; i < 10; ++i) {
        if (i != 8)
            m_label3[i] = Named<QLabel>(QStringLiteral("Label3_%1").arg(i), m_frame3);
    }
    for (int i = 0; i < 6; ++i)
        m_combo4[i] = Named<QComboBox>(QStringLiteral("Combo4_%1").arg(i), m_frame3);
    for (int i = 1; i <= 4; ++i) {
        m_combo44[i] = Named<QComboBox>(QStringLiteral("Combo44_%1").arg(i), m_frame3);
        m_combo44[i]->setMinimumWidth(92);
    }
    QFont bold = m_label3[6]->font();
    bold.setBold(true);
    m_label3[6]->setFont(bold);
    m_label3[7]->setFont(bold);

    // Rows: mode; "1. Aralık"; capacity, division; "2. Aralık"; capacity, division; metrology.
    rl->addWidget(m_label3[0], 0, 0);
    rl->addWidget(m_combo4[0], 0, 1, 1, 2);
    rl->addWidget(m_label3[6], 1, 0, 1, 3);
    rl->addWidget(m_label3[1], 2, 0);
    rl->addWidget(m_combo4[1], 2, 1);
    rl->addWidget(m_combo44[1], 2, 2);
    rl->addWidget(m_label3[2], 3, 0);
    rl->addWidget(m_combo4[2], 3, 1);
    rl->addWidget(m_combo44[2], 3, 2);
    rl->addWidget(m_label3[7], 4, 0, 1, 3);
    rl->addWidget(m_label3[4], 5, 0);
    rl->addWidget(m_combo4[3], 5, 1);
    rl->addWidget(m_combo44[3], 5, 2);
    rl->addWidget(m_label3[3], 6, 0);
    rl->addWidget(m_combo4[4], 6, 1);
    rl->addWidget(m_combo44[4], 6, 2);
    rl->addWidget(m_label3[5], 7, 0);
    rl->addWidget(m_combo4[5], 7, 1, 1, 2);
    rl->setColumnStretch(1, 1);
    // Kept only as a text (a confirmation question), never shown.
    m_label3[9]->hide();

    m_captions.add(52, m_frame3, "Tartım Aralığı");
    m_captions.add(54, m_label3[0], "Çalışma Şekli");
    m_captions.add(55, m_label3[5], "Metrolojik");
    m_captions.add(56, m_label3[6], "1. Aralık");
    m_captions.add(57, m_label3[9], "");
    m_captions.add(58, m_label3[7], "2. Aralık");
    m_captions.add(66, m_label3[1], "Kapasite");
    m_captions.add(66, m_label3[4], "Kapasite");
    m_captions.add(67, m_label3[2], "Taksimat");
    m_captions.add(67, m_label3[3], "Taksimat");
}

void CalibrationPage::buildAnalog()
{
    m_frame2 = Named<QGroupBox>(QStringLiteral("Frame2"), this);
    auto *al = new QGridLayout(m_frame2);
    al->setHorizontalSpacing(12);
    m_frame5 = Named<QGroupBox>(QStringLiteral("Frame5"), m_frame2);
    auto *tl = new QVBoxLayout(m_frame5);
    m_option4[0] = Named<QRadioButton>(QStringLiteral("Option4_0"), m_frame5, QStringLiteral("4 - 20 mA"));
    m_option4[1] = Named<QRadioButton>(QStringLiteral("Option4_1"), m_frame5, QStringLiteral("0 - 10 VDC"));
    m_option4[0]->setChecked(true);
    tl->addWidget(m_option4[0]);
    tl->addWidget(m_option4[1]);

    // The two points, each with the value the indicator shows for it.
    auto *point = new QWidget(m_frame2);
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
    auto *steps = new QWidget(m_frame2);
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
    fillSteps(m_ssPanel4, "SSPanel4", m_sıfır, QStringLiteral("Sıfır"), m_label1, QStringLiteral("Label1"));
    fillSteps(m_ssPanel5, "SSPanel5", m_fs, QStringLiteral("FS"), m_label8, QStringLiteral("Label8"));
    m_ssPanel5->hide();

    m_ssCommand5 = Named<QPushButton>(QStringLiteral("SSCommand5"), m_frame2);
    m_ssCommand5->setMinimumHeight(28);
    m_label7 = Named<QLabel>(QStringLiteral("Label7"), m_frame2);
    m_label7->setAlignment(Qt::AlignCenter);
    m_label7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label7->setWordWrap(true);
    m_label7->setMinimumHeight(28);
    al->addWidget(m_frame5, 0, 0, 2, 1);
    al->addWidget(point, 0, 1, 2, 1);
    al->addWidget(steps, 0, 2, 2, 1);
    al->addWidget(m_ssCommand5, 2, 0, 1, 2);
    al->addWidget(m_label7, 2, 2);
    al->setColumnStretch(2, 1);

    m_captions.add(53, m_frame2, "Analog Kalibrasyon İşlemi");
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
}

void CalibrationPage::buildDisplay()
{
    m_frame6 = Named<QGroupBox>(QStringLiteral("Frame6"), this);
    auto *dl = new QHBoxLayout(m_frame6);
    m_ssCommand6 = Named<QPushButton>(QStringLiteral("SSCommand6"), m_frame6);
    dl->addWidget(m_ssCommand6);
    m_label9 = Named<QLabel>(QStringLiteral("Label9"), m_frame6, kNoValue);
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
    m_captions.add(280, m_frame6, "GÖSTERGE'Yİ OKU");
}

void CalibrationPage::connectControls()
{
    for (int i = 0; i < 3; ++i)
        connect(m_option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    connect(m_ssCommand3, &QPushButton::clicked, this, [this] { whenLineFree([this] { SSCommand3_Click(); }); });
    for (int i = 0; i < 6; ++i)
        connect(m_combo4[i], &QComboBox::activated, this, [this, i] { Combo4_Click(i); });
    for (int i = 1; i <= 4; ++i)
        connect(m_combo44[i], &QComboBox::activated, this, [this, i] { Combo44_Click(i); });
    connect(m_ssCommand6, &QPushButton::clicked, this, [this] { whenLineFree([this] { SSCommand6_Click(); }); });
    connect(m_ssCommand5, &QPushButton::clicked, this, [this] { whenLineFree([this] { SSCommand5_Click(); }); });
    for (int i = 0; i < 2; ++i)
        connect(m_option5[i], &QRadioButton::clicked, this, [this, i] { whenLineFree([this, i] { Option5_Click(i); }); });
    connect(m_option6[0], &QRadioButton::toggled, this, [this](bool zero) {
        m_ssPanel4->setVisible(zero);
        m_ssPanel5->setVisible(!zero);
    });
    for (int i = 0; i < 4; ++i) {
        const auto step = AnalogStepButton(i);
        connect(m_sıfır[i], &QPushButton::pressed, this, [this, step] { stepPressed({AnalogPoint::Zero, step}); });
        connect(m_fs[i], &QPushButton::pressed, this, [this, step] { stepPressed({AnalogPoint::FullScale, step}); });
    }
}

// ---------------------------------------------------------------------------
// Start-up, language, tab changes

void CalibrationPage::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    ComboKalibDoldur();
    if (!m_adjusting) {
        m_ssCommand5->setText(texts.line(Text::Ready));
        m_label7->setText(texts.line(Text::Ready));
    }
}

void CalibrationPage::startUp()
{
    fillRangeLists();
    ComboKalibDoldur();
    Link &link = host().link();
    m_profiles = LoadMetrologyProfiles(ProgramFolder(), [&link](const QString &line) {
        link.AppendCommsLog(link.shortDate() + QStringLiteral(" - ") + line);
    });
}

void CalibrationPage::fillRangeLists()
{
    for (int i = 1; i <= 4; ++i) {
        const bool capacity = i == 1 || i == 3;
        const QStringList items = capacity ? CapacityItems() : DivisionItems();
        m_combo4[i]->clear();
        m_combo44[i]->clear();
        for (const QString &item : items) {
            m_combo4[i]->addItem(item);
            m_combo44[i]->addItem(capacity ? ItemDisplayText(item) : ItemValueText(item));
        }
        m_combo4[i]->setCurrentIndex(-1);
        m_combo44[i]->setCurrentIndex(-1);
    }
}

void CalibrationPage::ComboKalibDoldur()
{
    const TextService &texts = host().texts();
    auto refill = [&](QComboBox *combo, int firstLine) {
        const int selected = combo->currentIndex();
        combo->clear();
        combo->addItem(texts.line(firstLine));
        combo->addItem(texts.line(firstLine + 1));
        combo->setCurrentIndex(selected);
    };
    refill(m_combo4[0], Text::ModeSingle);
    refill(m_combo4[5], Text::MetrologyNormal);
}

void CalibrationPage::entered()
{
    // The tab change's resets.
    releaseSteps();
    clearOptions();
    setRangeFieldsEnabled(false);
    m_ssCommand3->setEnabled(false);
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
        return;  // disconnected, left, or another operation holds the line
    h.beginOperation();
    KalibrasyonHost();
    Link &link = h.link();
    if (link.port().isOpen())
        link.port().close();
    h.endOperation();
}

void CalibrationPage::left()
{
    ++m_entry;  // a range read still to come is not wanted any more
    m_timer3->stop();
    if (host().state().IsConnected) {
        analokartkon();
        if (!m_option5[0]->isChecked()) {
            m_option5[0]->setChecked(true);
            m_pages->setCurrentIndex(0);
        }
    }
    m_timer1->stop();
}

void CalibrationPage::rangeKnown(const IndicatorRange &range) { selectRange(range.codes); }

void CalibrationPage::KalibrasyonHost()
{
    m_ssCommand3->setEnabled(false);
    Link &link = host().link();
    if (!link.port().isOpen() && OpenPortWithRetries(link) != PortErr::None)
        return;
    const RangeReading read = vx::KalibrasyonHost(link, host().texts().lines(), [this] { host().DisconnectAction(); });
    m_hardware = read.hardware;
    if (read.analogVoltage)
        m_option4[*read.analogVoltage ? 1 : 0]->setChecked(true);
    m_indicator = read.range;
    if (read.range)
        selectRange(read.range->codes);
    if (!read.refused && host().state().IsConnected)
        m_timer3->start();
}

std::optional<bool> CalibrationPage::calibrationPermitted() const
{
    return m_hardware ? std::optional<bool>(m_hardware->CalibrationPermitted) : std::nullopt;
}

std::optional<bool> CalibrationPage::analogCardPresent() const
{
    return m_hardware ? std::optional<bool>(m_hardware->AnalogCardPresent) : std::nullopt;
}

// ---------------------------------------------------------------------------
// The range fields

void CalibrationPage::setRangeField(int index, bool enabled)
{
    m_combo4[index]->setEnabled(enabled);
    if (index >= 1 && index <= 4)
        m_combo44[index]->setEnabled(enabled);
}

void CalibrationPage::setRangeFieldsEnabled(bool enabled)
{
    for (int i = 0; i < 6; ++i)
        setRangeField(i, enabled);
}

void CalibrationPage::selectCode(int index, std::optional<int> code)
{
    QComboBox *combo = m_combo4[index];
    int found = -1;
    if (code) {
        for (int i = 0; i < combo->count(); ++i)
            if (ItemCode(combo->itemText(i)) == code) {
                found = i;
                break;
            }
    }
    combo->setCurrentIndex(found);
    twinFollows(index);
}

void CalibrationPage::twinFollows(int index)
{
    if (index >= 1 && index <= 4)
        m_combo44[index]->setCurrentIndex(m_combo4[index]->currentIndex());
}

void CalibrationPage::selectRange(const RangeCodes &codes)
{
    // The fields show what the indicator holds: the division lists are the whole list
    // again until a range choice refills them from a profile.
    for (int i : {2, 4}) {
        m_combo4[i]->clear();
        m_combo44[i]->clear();
        for (const QString &item : DivisionItems()) {
            m_combo4[i]->addItem(item);
            m_combo44[i]->addItem(ItemValueText(item));
        }
    }
    // The mode and metrology items are in code order (0, 1).
    m_combo4[0]->setCurrentIndex(codes.mode == 0 || codes.mode == 1 ? codes.mode : -1);
    m_combo4[5]->setCurrentIndex(codes.metrology == 0 || codes.metrology == 1 ? codes.metrology : -1);
    selectCode(1, codes.capacity1);
    selectCode(2, codes.division1);
    selectCode(3, codes.capacity2);
    selectCode(4, codes.division2);
}

int CalibrationPage::modeCode() const { return std::max(0, m_combo4[0]->currentIndex()); }
int CalibrationPage::metrologyCode() const { return std::max(0, m_combo4[5]->currentIndex()); }

RangeChoice CalibrationPage::rangeChoice() const
{
    auto code = [this](int index, int first, int last) -> std::optional<int> {
        if (m_combo4[index]->currentIndex() < 0)
            return std::nullopt;
        const std::optional<int> c = ItemCode(m_combo4[index]->currentText());
        return c && *c >= first && *c <= last ? c : std::nullopt;
    };
    auto pick = [this](int index) -> std::optional<int> {
        const int i = m_combo4[index]->currentIndex();
        return i < 0 ? std::nullopt : std::optional<int>(i);
    };
    RangeChoice c;
    c.mode = pick(0);
    c.metrology = pick(5);
    c.capacity1 = code(1, 0, CapacityCodeCount - 1);
    c.division1 = code(2, FirstDivisionCode, LastDivisionCode);
    c.capacity2 = code(3, 0, CapacityCodeCount - 1);
    c.division2 = code(4, FirstDivisionCode, LastDivisionCode);
    return c;
}

void CalibrationPage::refillDivisions(bool first, bool second)
{
    const MetrologyTable &table = m_profiles.table(ProfileFor(metrologyCode(), modeCode()));
    auto refill = [&](int capacityIndex, int divisionIndex) {
        QComboBox *divisions = m_combo4[divisionIndex];
        const std::optional<int> before = ItemCode(divisions->currentText());
        divisions->clear();
        m_combo44[divisionIndex]->clear();
        const std::optional<int> capacity =
            m_combo4[capacityIndex]->currentIndex() < 0 ? std::nullopt : ItemCode(m_combo4[capacityIndex]->currentText());
        if (capacity) {
            for (const QString &item : table.divisions(*capacity)) {
                divisions->addItem(item);
                m_combo44[divisionIndex]->addItem(ItemDisplayText(item));
            }
        }
        // A division the new list offers again stays chosen; otherwise none is.
        selectCode(divisionIndex, before);
    };
    if (first)
        refill(1, 2);
    if (second)
        refill(3, 4);
}

void CalibrationPage::Combo4_Click(int index)
{
    switch (index) {
    case 0: {
        const bool dual = modeCode() != 0;
        setRangeField(3, dual);
        setRangeField(4, dual);
        refillDivisions(true, true);
        break;
    }
    case 1:
    case 5:
        refillDivisions(true, true);
        break;
    case 3:
        refillDivisions(false, true);
        break;
    default:  // a division: its twin follows
        break;
    }
    twinFollows(index);
}

void CalibrationPage::Combo44_Click(int index)
{
    m_combo4[index]->setCurrentIndex(m_combo44[index]->currentIndex());
    Combo4_Click(index);
}

void CalibrationPage::clearOptions()
{
    for (QRadioButton *option : m_option1) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void CalibrationPage::Option1_Click(int index)
{
    if (!host().state().IsConnected)
        return;
    if (!calibrationPermitted().value_or(false)) {
        host().link().op().message(host().texts().line(Text::NotPermitted), Icon::Critical);
        return;
    }
    if (index == 0) {
        for (int i : {0, 1, 2, 5})
            setRangeField(i, true);
        const bool dual = modeCode() != 0;
        setRangeField(3, dual);
        setRangeField(4, dual);
    } else {
        setRangeFieldsEnabled(false);
    }
    // Every procedure can be started once chosen.
    m_ssCommand3->setEnabled(true);
}

// ---------------------------------------------------------------------------
// A calibration run

void CalibrationPage::showLabel4(const QString &text, Tone tone)
{
    m_label4->setText(text);
    switch (tone) {
    case Tone::Working:
    case Tone::Success: paint(m_label4, kGreen); break;
    case Tone::Failure: paint(m_label4, kRed); break;
    case Tone::Normal: paint(m_label4, QColor()); break;
    }
    m_label4->repaint();
}

bool CalibrationPage::reopenPort()
{
    Link &link = host().link();
    if (link.port().isOpen())
        link.port().close();
    QuietOperator quiet(link.op());
    return PortAç(link.port(), link.settings, quiet) == PortErr::None;
}

void CalibrationPage::SSCommand3_Click()
{
    PageHost &h = host();
    const TextService &texts = h.texts();
    Link &link = h.link();
    if (!h.state().IsConnected) {
        link.op().message(texts.line(Text::NotConnected), Icon::Critical);
        return;
    }
    int option = -1;
    for (int i = 0; i < 3; ++i)
        if (m_option1[i]->isChecked())
            option = i;
    if (option < 0)
        return;

    h.beginOperation();
    link.AbortRequested = false;
    CalibrationRequest request;
    request.kind = option == 0 ? CalibrationKind::General : option == 1 ? CalibrationKind::Zero : CalibrationKind::Span;
    request.choice = rangeChoice();
    request.indicator = m_indicator;
    request.calibrationPermitted = calibrationPermitted();

    CalibrationHooks hooks;
    hooks.openPort = [this] {
        setRangeFieldsEnabled(false);
        m_label9->setText(kNoValue);
        m_timer3->stop();
        return reopenPort();
    };
    hooks.disconnect = [this] { host().DisconnectAction(); };
    PageOperator op(*this, link.op(), TestWeightDivision(request));
    const CalibrationResult result = RunCalibration(link, op, texts, request, hooks);

    if (result.end == CalibrationEnd::NotPermitted)
        m_ssCommand3->setEnabled(false);
    // A range written is what the indicator holds now: a span calibration weighs in it.
    if (result.written)
        m_indicator = result.written;
    if (result.finishStepRan) {
        clearOptions();
        m_ssCommand3->setEnabled(false);  // until a procedure is chosen again
    } else if (result.written) {
        m_ssCommand3->setEnabled(false);  // until a procedure is chosen again
    }
    if (link.port().isOpen())
        link.port().close();
    if (h.state().IsConnected)
        m_timer3->start();
    h.endOperation();
}

// ---------------------------------------------------------------------------
// The display read

void CalibrationPage::SSCommand6_Click()
{
    if (!host().state().IsConnected) {
        host().link().op().message(host().texts().line(Text::NotConnected), Icon::Critical);
        return;
    }
    displayRead();
}

void CalibrationPage::Timer3_Timer()
{
    if (!host().state().IsConnected) {
        m_timer3->stop();
        Link &link = host().link();
        if (link.port().isOpen() && isEnabled())
            link.port().close();
        return;
    }
    host().link().clock().idle(0, true);
    // Another operation holds the line (the tab strip is disabled, and this page with it).
    if (!isEnabled() || m_displayBusy || m_analogBusy)
        return;
    displayRead();
}

void CalibrationPage::displayRead()
{
    if (m_displayBusy)
        return;
    m_displayBusy = true;
    Link &link = host().link();
    // While the display is read the port stays open; the next operation or tab change
    // closes it.
    std::optional<qint64> gross, net;
    if (link.port().isOpen() || reopenPort()) {
        const QVariant g = link.read(CalibrationRegister::Weight, 4, "LG");
        const QVariant n = link.read(3, 4, "LG");
        if (g.isValid())
            gross = g.toLongLong();
        if (n.isValid())
            net = n.toLongLong();
    }
    const RangeChoice choice = rangeChoice();
    const int decimals = choice.division1 ? decimalsOf(DivisionValueText(*choice.division1)) : 0;
    auto shown = [decimals](const std::optional<qint64> &v) {
        return v ? InsertDecimalComma(QString::number(*v), decimals) : QStringLiteral("-");
    };
    const TextService &texts = host().texts();
    if (!gross && !net)
        m_label9->setText(kNoValue);
    else
        m_label9->setText(QStringLiteral("%1: %2     %3: %4")
                              .arg(texts.line(Text::Gross), shown(gross), texts.line(Text::Net), shown(net)));
    m_displayBusy = false;
    runDeferred();
}

void CalibrationPage::whenLineFree(std::function<void()> action)
{
    // A display read or an adjustment tick lets window events run while it waits for
    // an answer: what is clicked meanwhile runs once it is over.
    if (!m_displayBusy && !m_analogBusy) {
        action();
        return;
    }
    m_deferred = std::move(action);
}

void CalibrationPage::runDeferred()
{
    if (!m_deferred)
        return;
    QPointer<CalibrationPage> self(this);
    host().link().clock().callAfter(0, [self, action = std::move(m_deferred)] {
        if (self)
            self->whenLineFree(action);
    });
    m_deferred = nullptr;
}

// ---------------------------------------------------------------------------
// The analog output

void CalibrationPage::showLabel7(const QString &text, const QColor &background)
{
    m_label7->setText(text);
    paint(m_label7, background);
}

void CalibrationPage::setStepPanelsEnabled(bool enabled)
{
    m_ssPanel4->setEnabled(enabled);
    m_ssPanel5->setEnabled(enabled);
}

void CalibrationPage::dimAnalogPage(bool dimmed)
{
    m_frame2->setEnabled(!dimmed);
}

void CalibrationPage::Option5_Click(int index)
{
    m_pages->setCurrentIndex(index);
    if (!host().state().IsConnected)
        return;
    if (index == 1 && !analogCardPresent().value_or(false)) {
        // Without a card the analog page stays dimmed, and says why.
        dimAnalogPage(true);
        showLabel7(host().texts().line(Text::NoAnalogCard), QColor());
        return;
    }
    dimAnalogPage(false);
    analokartkon();
}

void CalibrationPage::SSCommand5_Click()
{
    if (m_adjusting)
        endAdjustment();
    else
        startAdjustment();
}

void CalibrationPage::startAdjustment()
{
    PageHost &h = host();
    Link &link = h.link();
    const TextService &texts = h.texts();
    if (!h.state().IsConnected) {
        link.op().message(texts.line(Text::NotConnected), Icon::Critical);
        return;
    }
    h.lockShell(true);
    if (!analogCardPresent().value_or(false)) {
        link.op().message(texts.line(Text::NoAnalogCard), Icon::Critical);
        h.lockShell(false);
        return;
    }
    m_frame5->setEnabled(false);
    m_timer3->stop();
    m_label9->setText(kNoValue);
    if (!reopenPort()) {
        link.op().message(texts.line(Text::PortFailed), Icon::Critical);
        m_frame5->setEnabled(true);
        h.lockShell(false);
        return;
    }
    const AnalogStartResult started = StartAnalogAdjustment(link, m_option4[1]->isChecked(), texts.lines(),
                                                            [this] { host().DisconnectAction(); });
    if (started == AnalogStartResult::Refused) {
        m_frame5->setEnabled(true);
        if (link.port().isOpen())
            link.port().close();
        h.lockShell(false);
        return;
    }
    m_adjusting = true;
    m_ssCommand5->setText(texts.line(Text::Finish));
    if (started == AnalogStartResult::Running) {
        m_analogValues = {};
        m_timer1->start();
        setStepPanelsEnabled(true);
        showLabel7(texts.line(Text::Adjusting), kRed);
    }
}

void CalibrationPage::endAdjustment()
{
    PageHost &h = host();
    Link &link = h.link();
    const TextService &texts = h.texts();
    m_timer1->stop();
    m_frame5->setEnabled(true);
    releaseSteps();
    setStepPanelsEnabled(false);
    m_adjusting = false;
    // The end is always sent, stepped or not.
    if (h.state().IsConnected) {
        if (reopenPort())
            EndAnalogAdjustment(link, texts.lines(), [this] { host().DisconnectAction(); });
        else
            link.op().message(texts.line(Text::PortFailed), Icon::Critical);
    }
    if (link.port().isOpen())
        link.port().close();
    m_ssCommand5->setText(texts.line(Text::Ready));
    showLabel7(texts.line(Text::Ready), QColor());
    h.lockShell(false);
    if (h.state().IsConnected)
        m_timer3->start();
}

void CalibrationPage::analokartkon()
{
    releaseSteps();
    if (m_adjusting)
        endAdjustment();
    m_timer1->stop();
    showLabel7(host().texts().line(Text::Ready), QColor());
}

void CalibrationPage::releaseSteps()
{
    for (auto *group : {&m_sıfır, &m_fs})
        for (QPushButton *b : *group)
            if (b->isDown())
                b->setDown(false);
}

std::optional<AnalogButton> CalibrationPage::heldStep() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_sıfır[i]->isDown())
            return AnalogButton{AnalogPoint::Zero, AnalogStepButton(i)};
        if (m_fs[i]->isDown())
            return AnalogButton{AnalogPoint::FullScale, AnalogStepButton(i)};
    }
    return std::nullopt;
}

void CalibrationPage::stepPressed(AnalogButton button)
{
    if (m_analogBusy || m_displayBusy) {
        whenLineFree([this, button] { stepPressed(button); });
        return;
    }
    Link &link = host().link();
    if (!m_adjusting || !link.port().isOpen())
        return;
    m_analogBusy = true;
    // The other panel and the point options wait for the step.
    Panel *other = button.point == AnalogPoint::Zero ? m_ssPanel5 : m_ssPanel4;
    other->setEnabled(false);
    for (QRadioButton *o : m_option6)
        o->setEnabled(false);
    const AnalogStepResult r = AnalogStep(link, button, m_analogValues);
    if (r == AnalogStepResult::Limit)
        showLabel7(LimitText, kYellow);
    else
        showLabel7(host().texts().line(Text::Adjusting), kYellow);
    if (m_adjusting)
        other->setEnabled(true);
    for (QRadioButton *o : m_option6)
        o->setEnabled(true);
    m_analogBusy = false;
    runDeferred();
}

void CalibrationPage::Timer1_Timer()
{
    Link &link = host().link();
    if (m_analogBusy || !m_adjusting || !link.port().isOpen())
        return;
    m_analogBusy = true;
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
    if (tick.step == AnalogStepResult::Limit)
        showLabel7(LimitText, kYellow);
    else if (tick.step == AnalogStepResult::Sent)
        showLabel7(host().texts().line(Text::Adjusting), kYellow);
    m_analogBusy = false;
    runDeferred();
}

}  // namespace vx::gui
