#include "gui/VerificationDialog.h"

#include "gui/HistoryRecorder.h"
#include "calibration/RangeLists.h"
#include "gui/TabPage.h"
#include "link/Interfaces.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "link/WeightFormat.h"
#include "params/Range.h"
#include "report/ReportPdf.h"
#include "verify/VerifyTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vx::gui {
namespace {

QLineEdit *lineEdit(QWidget *parent, const QString &name, const QString &text = {})
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

}  // namespace

VerificationDialog::VerificationDialog(PageHost &host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("VerificationDialog"));
    m_class = new QComboBox(this);
    m_class->setObjectName(QStringLiteral("VerifyClass"));
    m_class->addItems({QStringLiteral("III"), QStringLiteral("IIII")});
    m_stage = new QComboBox(this);
    m_stage->setObjectName(QStringLiteral("VerifyStage"));
    m_stage->addItems({QString(), QString(), QString()});
    m_inService = new QCheckBox(this);
    m_inService->setObjectName(QStringLiteral("VerifyInService"));
    m_changeover = new QCheckBox(this);
    m_changeover->setObjectName(QStringLiteral("VerifyChangeover"));
    m_loads = lineEdit(this, QStringLiteral("VerifyLoads"));
    m_repeatability = lineEdit(this, QStringLiteral("VerifyRepeatability"));
    m_eccentricity = lineEdit(this, QStringLiteral("VerifyEccentricity"));
    m_timeout = lineEdit(this, QStringLiteral("VerifyTimeout"), QStringLiteral("10"));
    m_customer = lineEdit(this, QStringLiteral("VerifyCustomer"));
    m_site = lineEdit(this, QStringLiteral("VerifySite"));
    m_technician = lineEdit(this, QStringLiteral("VerifyTechnician"));
    m_weights = lineEdit(this, QStringLiteral("VerifyWeights"));
    m_note = lineEdit(this, QStringLiteral("VerifyNote"));
    m_start = new QPushButton(this);
    m_start->setObjectName(QStringLiteral("VerifyStart"));
    m_table = new QTableWidget(0, 7, this);
    m_table->setObjectName(QStringLiteral("VerifyResults"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The test's name takes the room left over, so the table fills the dialog's width.
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("VerifyVerdict"));
    m_verdict->setWordWrap(true);

    auto *form = new QFormLayout;
    QWidget *fields[] = {m_class,   m_inService, m_stage,    m_loads,      m_repeatability, m_eccentricity, m_timeout,
                         m_changeover, m_customer, m_site, m_technician, m_weights,     m_note};
    for (QWidget *field : fields) {
        auto *label = new QLabel(this);
        m_labels.push_back(label);
        form->addRow(label, field);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_start);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_verdict);
    resize(820, 720);

    chooseFile = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, windowTitle(), suggested, QStringLiteral("PDF (*.pdf)"));
    };
    connect(m_start, &QPushButton::clicked, this, [this] { runTest(); });
    applyLanguage();
}

void VerificationDialog::applyLanguage()
{
    const TextService &t = m_host.texts();
    auto text = [&t](VerifyText id) { return VerifyTextOf(id, t); };
    setWindowTitle(text(VerifyText::PromptTitle));
    const VerifyText captions[] = {VerifyText::AccuracyClassCaption, VerifyText::InService,   VerifyText::DialogStage,
                                   VerifyText::DialogLoads,          VerifyText::DialogRepeatability,
                                   VerifyText::DialogEccentricity,   VerifyText::DialogTimeout,
                                   VerifyText::DialogChangeover,     VerifyText::Customer,    VerifyText::Site,
                                   VerifyText::Technician,           VerifyText::TestWeights, VerifyText::Note};
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i]->setText(text(captions[i]));
    m_stage->setItemText(Single, text(VerifyText::PromptTitle));
    m_stage->setItemText(AsFound, text(VerifyText::AsFound));
    m_stage->setItemText(AsLeft, text(VerifyText::AsLeft));
    m_start->setText(text(VerifyText::DialogStart));
    m_table->setHorizontalHeaderLabels(
        {text(VerifyText::ColumnTest), text(VerifyText::ColumnReference), text(VerifyText::ColumnIndication),
         text(VerifyText::ColumnError), text(VerifyText::ColumnMpe), text(VerifyText::ColumnE),
         text(VerifyText::ColumnResult)});
}

std::optional<VerificationRequest> VerificationDialog::gatherRequest()
{
    const TextService &t = m_host.texts();
    Operator &op = m_host.link().op();
    const QString title = VerifyTextOf(VerifyText::PromptTitle, t);
    auto refuse = [&](VerifyText caption) {
        op.message(VerifyTextOf(VerifyText::DialogBadInput, t).arg(VerifyTextOf(caption, t)), Icon::Warning, title);
        return std::nullopt;
    };
    VerificationRequest request;
    request.accuracy = m_class->currentIndex() == 1 ? AccuracyClass::IIII : AccuracyClass::III;
    request.inService = m_inService->isChecked();
    request.askChangeover = m_changeover->isChecked();
    bool ok = false;
    request.stableTimeout = QLocale::c().toDouble(m_timeout->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (!ok || !(request.stableTimeout > 0) || request.stableTimeout > 600)
        return refuse(VerifyText::DialogTimeout);
    VerificationPlan &named = request.plan;
    if (!m_loads->text().trimmed().isEmpty()) {
        const auto loads = ParseLoadList(m_loads->text());
        if (!loads)
            return refuse(VerifyText::DialogLoads);
        named.loads = *loads;
        std::sort(named.loads.begin(), named.loads.end());
    }
    if (!m_repeatability->text().trimmed().isEmpty()) {
        const auto loads = ParseLoadList(m_repeatability->text());
        if (!loads)
            return refuse(VerifyText::DialogRepeatability);
        named.repeatability = *loads;
    }
    if (!m_eccentricity->text().trimmed().isEmpty()) {
        named.eccentricity = ParseLoad(m_eccentricity->text());
        if (!named.eccentricity)
            return refuse(VerifyText::DialogEccentricity);
    }
    return request;
}

bool VerificationDialog::runTest()
{
    const TextService &t = m_host.texts();
    Link &link = m_host.link();
    Operator &op = link.op();
    const QString title = VerifyTextOf(VerifyText::PromptTitle, t);
    if (!m_host.state().IsConnected) {
        op.message(VerifyTextOf(VerifyText::DialogNotConnected, t), Icon::Information, title);
        return false;
    }
    std::optional<VerificationRequest> request = gatherRequest();
    if (!request)
        return false;
    LineLease lease(link);
    if (!lease.held())
        return false;
    // The range and its decimals first, as the trend reads them.
    const std::optional<IndicatorRange> indicator = ReadRange(link);
    const std::optional<ScaleRange> range = indicator ? RangeOfCodes(indicator->codes) : std::nullopt;
    if (!range) {
        lease.release();
        m_host.refuseWithoutRange();
        return false;
    }
    request->range = *range;
    request->decimals = DivisionDecimals(DivisionValueText(indicator->codes.division1));
    if (request->plan.empty())
        request->plan = DefaultPlan(*range, request->accuracy);
    std::vector<double> all = request->plan.loads;
    all.insert(all.end(), request->plan.repeatability.begin(), request->plan.repeatability.end());
    if (request->plan.eccentricity)
        all.push_back(*request->plan.eccentricity);
    for (double load : all) {
        if (load > range->max() + range->e1 / 2) {
            lease.release();
            op.message(VerifyTextOf(VerifyText::DialogAboveMax, t).arg(load).arg(range->max()), Icon::Warning, title);
            return false;
        }
    }

    m_start->setEnabled(false);
    m_host.beginOperation();
    const VerificationResult result = RunVerification(link, op, t, *request);
    m_host.endOperation();
    lease.release();
    m_start->setEnabled(true);

    const Stage stage = Stage(m_stage->currentIndex());
    m_last = result;
    if (stage == AsFound)
        m_asFound = result;
    else if (stage == AsLeft)
        m_asLeft = result;
    showResult(result);
    writeRecord(stage, result);
    return true;
}

void VerificationDialog::showResult(const VerificationResult &result)
{
    VerificationRecord alone;
    alone.single = result;
    const VerificationRecordText page = RecordText(alone, m_host.texts());
    const VerificationRecordText::Section &section = page.sections.front();
    m_table->setRowCount(int(section.rows.size()));
    for (int r = 0; r < int(section.rows.size()); ++r) {
        for (int c = 0; c < 7; ++c) {
            auto *item = new QTableWidgetItem(section.rows[std::size_t(r)][std::size_t(c)]);
            if (c == 6)
                item->setForeground(result.steps[std::size_t(r)].pass ? Qt::darkGreen : Qt::red);
            m_table->setItem(r, c, item);
        }
    }
    m_verdict->setText((section.notes + QStringList{page.verdict}).join(QLatin1Char('\n')));
}

void VerificationDialog::writeRecord(Stage stage, const VerificationResult &result)
{
    const TextService &t = m_host.texts();
    Operator &op = m_host.link().op();
    const IndicatorIdentity identity = WindowIdentity(m_host.state(), m_host.workingSet());
    VerificationRecord record;
    record.model = m_host.state().IndicatorModelText;
    record.versionText = identity.version;
    record.modelText = identity.identification;
    record.secondText = identity.identification2;
    record.customer = m_customer->text();
    record.site = m_site->text();
    record.technician = m_technician->text();
    record.weights = m_weights->text();
    record.note = m_note->text();
    // Both stages on one record once both were run; a plain run stands alone.
    if (stage == Single) {
        record.single = result;
    } else {
        record.asFound = m_asFound;
        record.asLeft = m_asLeft;
    }
    HistoryRecord history = VerificationHistoryRecord(identity, result, HistoryTool::Window);
    const QString path = chooseFile ? chooseFile(QDir(QDir::homePath()).filePath(VerificationFileName(result.when)))
                                    : QString();
    m_recordPath.clear();
    if (!path.isEmpty()) {
        QString why;
        if (report::WriteVerificationPdf(RecordText(record, t), path, &why)) {
            m_recordPath = QFileInfo(path).absoluteFilePath();
            history.report = m_recordPath;
        } else {
            op.message(VerifyTextOf(VerifyText::RecordNotWritten, t).arg(path, why), Icon::Critical,
                       VerifyTextOf(VerifyText::PromptTitle, t));
        }
    }
    AppendWindowHistory(op, t, history, m_note->text().trimmed());
}

}  // namespace vx::gui
