#include "gui/WeighingCalibrationPanel.h"

#include "gui/CalibrationLabels.h"
#include "gui/DisplayReadout.h"
#include "gui/HistoryRecorder.h"
#include "service/CalibrationJob.h"
#include "gui/NumericEntry.h"
#include "gui/TabPage.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"
#include "link/ForwardingOperator.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "link/WeightFormat.h"
#include "report/ReportPdf.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

namespace Text {
constexpr int NotPermitted = TextLine::NotPermitted;
constexpr int ModeSingle = 360;  // 360, 361: the mode items; 362, 363: the metrology items
constexpr int MetrologyNormal = 362;
}  // namespace Text

using calibration::Paint;

}  // namespace

// The operator of a calibration run: the test weight through the entry panel, the
// steps on Label4; everything else as the window asks.
class WeighingCalibrationPanel::PageOperator : public ForwardingOperator {
public:
    // `division`: the one the test weight is sent in; the entry shows the weight cut to it.
    PageOperator(WeighingCalibrationPanel &panel, Operator &inner, QString division = {})
        : ForwardingOperator(inner), m_panel(panel), m_division(std::move(division))
    {
    }

    std::optional<QString> input(const QString &prompt, const QString &, const QString &defaultText) override
    {
        Link &link = m_panel.m_host.link();
        NumericEntry::Shape shape;
        if (!m_division.isEmpty())
            shape = [division = m_division](const QString &text) { return CutTestWeight(text, division); };
        const QString text = m_panel.m_host.numericEntry().ask(
            prompt, defaultText, [&link] { return link.AbortRequested; } /* the window closes, Escape */, shape);
        if (text.isEmpty())
            return std::nullopt;
        return text;
    }
    void showStep(const QString &text, Tone tone) override { m_panel.showLabel4(text, tone); }

private:
    WeighingCalibrationPanel &m_panel;
    QString m_division;
};

WeighingCalibrationPanel::WeighingCalibrationPanel(PageHost &host, DisplayReadout &readout, QWidget *parent)
    : QWidget(parent), m_host(host), m_readout(readout)
{
    buildProcedure();
    buildRange();
    // The two frames side by side; below them the service history's note and, after a
    // run, the report's offer (rows of their own, so that neither widens a frame).
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);
    auto *wl = new QHBoxLayout;
    wl->setContentsMargins(0, 0, 0, 0);
    wl->setSpacing(8);
    wl->addWidget(m_frame1);
    wl->addWidget(m_frame3, 1);
    outer->addLayout(wl, 1);
    m_note = new NoteField(QStringLiteral("CalibrationNote"), this);
    outer->addWidget(m_note);
    m_reportButton = Named<QPushButton>(QStringLiteral("ReportButton"), this,
                                        TextService::builtIn(BuiltIn::ReportOffer, Language::Turkish));
    m_reportButton->setVisible(false);
    connect(m_reportButton, &QPushButton::clicked, this, [this] { saveReport(); });
    auto *reportRow = new QHBoxLayout;
    reportRow->addWidget(m_reportButton);
    reportRow->addStretch(1);
    outer->addLayout(reportRow);
    m_captions.applyDesign();

    for (int i = 0; i < 3; ++i)
        connect(m_option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    connect(m_ssCommand3, &QPushButton::clicked, this, [this] { SSCommand3_Click(); });
    for (int i = 0; i < 6; ++i)
        connect(m_combo4[i], &QComboBox::activated, this, [this, i] { Combo4_Click(i); });
    for (int i = 1; i <= 4; ++i)
        connect(m_combo44[i], &QComboBox::activated, this, [this, i] { Combo44_Click(i); });
    setRangeFieldsEnabled(false);
    m_ssCommand3->setEnabled(false);
}

WeighingCalibrationPanel::~WeighingCalibrationPanel() = default;

void WeighingCalibrationPanel::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    m_reportButton->setText(texts.builtIn(BuiltIn::ReportOffer));
    ComboKalibDoldur();
    m_note->applyLanguage(texts);
}

void WeighingCalibrationPanel::startUp()
{
    fillRangeLists();
    ComboKalibDoldur();
    Link &link = m_host.link();
    m_profiles = LoadMetrologyProfiles(ProgramFolder(), [&link](const QString &line) {
        link.AppendCommsLog(link.shortDate() + QStringLiteral(" - ") + line);
    });
}

void WeighingCalibrationPanel::entered()
{
    m_report.reset();
    m_reportButton->setVisible(false);
    clearOptions();
    setRangeFieldsEnabled(false);
    m_ssCommand3->setEnabled(false);
}

void WeighingCalibrationPanel::lockStart() { m_ssCommand3->setEnabled(false); }

void WeighingCalibrationPanel::rangeRead(const RangeReading &read)
{
    m_permitted = read.permitted();
    m_indicator = read.range;
    if (read.range)
        selectRange(read.range->codes);
}

int WeighingCalibrationPanel::divisionDecimals() const
{
    const std::optional<int> division = rangeChoice().division1;
    return division ? DivisionDecimals(DivisionValueText(*division)) : 0;
}

void WeighingCalibrationPanel::buildProcedure()
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

void WeighingCalibrationPanel::buildRange()
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

void WeighingCalibrationPanel::fillRangeLists()
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

void WeighingCalibrationPanel::ComboKalibDoldur()
{
    const TextService &texts = m_host.texts();
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

void WeighingCalibrationPanel::setRangeField(int index, bool enabled)
{
    m_combo4[index]->setEnabled(enabled);
    if (index >= 1 && index <= 4)
        m_combo44[index]->setEnabled(enabled);
}

void WeighingCalibrationPanel::setRangeFieldsEnabled(bool enabled)
{
    for (int i = 0; i < 6; ++i)
        setRangeField(i, enabled);
}

void WeighingCalibrationPanel::selectCode(int index, std::optional<int> code)
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

void WeighingCalibrationPanel::twinFollows(int index)
{
    if (index >= 1 && index <= 4)
        m_combo44[index]->setCurrentIndex(m_combo4[index]->currentIndex());
}

void WeighingCalibrationPanel::selectRange(const RangeCodes &codes)
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

int WeighingCalibrationPanel::modeCode() const { return std::max(0, m_combo4[0]->currentIndex()); }

int WeighingCalibrationPanel::metrologyCode() const { return std::max(0, m_combo4[5]->currentIndex()); }

RangeChoice WeighingCalibrationPanel::rangeChoice() const
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

void WeighingCalibrationPanel::refillDivisions(bool first, bool second)
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

void WeighingCalibrationPanel::Combo4_Click(int index)
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

void WeighingCalibrationPanel::Combo44_Click(int index)
{
    m_combo4[index]->setCurrentIndex(m_combo44[index]->currentIndex());
    Combo4_Click(index);
}

void WeighingCalibrationPanel::clearOptions()
{
    for (QRadioButton *option : m_option1) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void WeighingCalibrationPanel::Option1_Click(int index)
{
    if (!m_host.state().IsConnected)
        return;
    if (!m_permitted.value_or(false)) {
        m_host.link().op().message(m_host.texts().line(Text::NotPermitted), Icon::Critical);
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

void WeighingCalibrationPanel::showLabel4(const QString &text, Tone tone)
{
    m_label4->setText(text);
    switch (tone) {
    case Tone::Working:
    case Tone::Success: Paint(m_label4, calibration::Green); break;
    case Tone::Failure: Paint(m_label4, calibration::Red); break;
    case Tone::Normal: Paint(m_label4, QColor()); break;
    }
    m_label4->repaint();
}

void WeighingCalibrationPanel::SSCommand3_Click()
{
    PageHost &h = m_host;
    const TextService &texts = h.texts();
    Link &link = h.link();
    if (!h.state().IsConnected) {
        link.op().message(texts.line(calibration::Text::NotConnected), Icon::Critical);
        return;
    }
    int option = -1;
    for (int i = 0; i < 3; ++i)
        if (m_option1[i]->isChecked())
            option = i;
    if (option < 0)
        return;

    // The line for the whole run, the checks included; held by another operation (a
    // display read waiting for its answer), the click is skipped. A port that cannot
    // be opened is said by the run, after its checks (text 271).
    LineLease lease(link, {.quiet = true});
    if (lease.busy())
        return;
    h.beginOperation();
    CalibrationRequest request;
    request.kind = option == 0 ? CalibrationKind::General : option == 1 ? CalibrationKind::Zero : CalibrationKind::Span;
    request.choice = rangeChoice();
    request.indicator = m_indicator;
    request.calibrationPermitted = m_permitted;

    m_report.reset();
    m_reportButton->setVisible(false);

    CalibrationHooks hooks;
    hooks.openPort = [this, &lease] {
        setRangeFieldsEnabled(false);
        m_readout.suspend();
        return lease.held();
    };
    hooks.disconnect = [this] { m_host.DisconnectAction(); };
    PageOperator op(*this, link.op(), TestWeightDivision(request));
    // The run, its report and its history record: the calibration job's, as the tool's.
    const CalibrationJobResult done = RunCalibrationJob(
        link, op, texts,
        {.request = request, .model = h.state().IndicatorModelText, .report = true, .note = m_note->note(),
         .tool = HistoryTool::Window},
        hooks);
    const CalibrationResult &result = done.run;
    if (AppendWindowHistory(link.op(), texts, done.record, m_note->note()))
        m_note->edit()->clear();

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
    if (done.report) {
        m_report = done.report;
        m_reportButton->setVisible(true);
        // Laid out at once: a click that comes before the next event loop pass must
        // not find the button still at its corner over the procedure buttons.
        layout()->activate();
    }
    lease.release();
    if (h.state().IsConnected)
        m_readout.start();
    h.endOperation();
}

void WeighingCalibrationPanel::saveReport()
{
    if (!m_report)
        return;
    PageHost &h = m_host;
    const TextService &texts = h.texts();
    Operator &op = h.link().op();
    const std::optional<QString> note =
        op.input(texts.builtIn(BuiltIn::ReportNotePrompt), texts.builtIn(BuiltIn::ReportOffer), m_report->note);
    if (!note)
        return;
    const QString proposed = QDir(FirstFileFolder()).filePath(ReportFileName(m_report->when));
    QString path = reportDialog ? reportDialog(proposed)
                                : QFileDialog::getSaveFileName(this, texts.builtIn(BuiltIn::ReportOffer), proposed,
                                                               texts.builtIn(BuiltIn::ReportFilter));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");

    CalibrationReport report = *m_report;
    report.note = *note;
    m_report->note = *note;
    QString why;
    if (!report::WriteReportPdf(ReportText(report, texts), path, &why)) {
        op.message(texts.builtIn(BuiltIn::ReportNotSaved).arg(QDir::toNativeSeparators(path), why), Icon::Critical);
        return;
    }
    op.message(texts.builtIn(BuiltIn::ReportSaved).arg(QDir::toNativeSeparators(path)), Icon::Information);
    // The run's history record was written when it ended: saving its report adds none.
    emit reportSaved(path);
}

}  // namespace vx::gui
