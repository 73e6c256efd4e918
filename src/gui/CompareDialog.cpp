#include "gui/CompareDialog.h"

#include "files/Batch.h"
#include "files/RestorePoint.h"
#include "files/ConfigFile.h"
#include "files/SameIndicator.h"
#include "files/WorkingSet.h"
#include "gui/HistoryRecorder.h"
#include "service/TransferJobs.h"
#include "gui/PanelHost.h"
#include "gui/WindowState.h"
#include "link/Features.h"
#include "link/LineLease.h"
#include "link/SafeFile.h"
#include "link/Settings.h"
#include "link/Transaction.h"
#include "shell/TextService.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vx::gui {
namespace {

constexpr int kTextNotConnected = TextLine::NotConnected;

enum Column { Tick = 0, RowLabel = 1, ValueA = 2, ValueB = 3, ColumnCount = 4 };

}  // namespace

CompareDialog::CompareDialog(PanelHost &host, QWidget *parent)
    : QDialog(parent), m_host(host), m_a(std::make_unique<WorkingSet>()), m_b(std::make_unique<WorkingSet>())
{
    setObjectName(QStringLiteral("CompareDialog"));
    const TextService &t = host.texts();
    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("CompareTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_copy = new QPushButton(t.builtIn(BuiltIn::CompareCopy), this);
    m_copy->setObjectName(QStringLiteral("CompareCopy"));
    m_save = new QPushButton(t.builtIn(BuiltIn::CompareSaveText), this);
    m_save->setObjectName(QStringLiteral("CompareSave"));
    m_send = new QPushButton(t.builtIn(BuiltIn::CompareSendTicked), this);
    m_send->setObjectName(QStringLiteral("CompareSend"));
    auto *close = new QPushButton(t.builtIn(BuiltIn::CompareClose), this);
    close->setObjectName(QStringLiteral("CompareClose"));
    connect(m_copy, &QPushButton::clicked, this, [this] { copy(); });
    connect(m_save, &QPushButton::clicked, this, [this] { saveAsText(); });
    connect(m_send, &QPushButton::clicked, this, [this] { sendTicked(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemChanged, this, [this] { updateButtons(); });

    // The parts compared: every one, or those ticked.
    auto *parts = new QHBoxLayout;
    for (const QString &name : {QStringLiteral("header"), QStringLiteral("id"), QStringLiteral("setpoint"),
                                QStringLiteral("calibration"), QStringLiteral("jmp"), QStringLiteral("nrm")}) {
        std::optional<PartChoice> one = ParsePartChoice(name, nullptr);
        SetGroup group = SetGroup::TicketLines;
        for (std::size_t g = 0; g < SetGroupCount; ++g)
            if (one->on[g]) {
                group = SetGroup(g);
                break;
            }
        auto *box = new QCheckBox(PartLabel(group, t), this);
        box->setObjectName(QStringLiteral("CompareGroup_") + name);
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this] { compareAgain(); });
        parts->addWidget(box);
        m_partBoxes.emplace_back(box, name);
    }
    parts->addStretch(1);
    // As in the send panel: the note for the service history, and the restore point
    // (the same stored choice as the send panel's box).
    m_note = new NoteField(QStringLiteral("CompareNote"), this);
    m_note->applyLanguage(t);
    m_restorePoint = new QCheckBox(t.builtIn(BuiltIn::RestorePointCaption), this);
    m_restorePoint->setObjectName(QStringLiteral("CompareRestorePoint"));
    m_restorePoint->setChecked(RestorePointBeforeSend(host.store()));
    connect(m_restorePoint, &QCheckBox::toggled, this,
            [this](bool on) { StoreRestorePointBeforeSend(m_host.store(), on); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    buttons->addWidget(m_send);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(parts);
    layout->addWidget(m_table);
    layout->addWidget(m_note);
    layout->addWidget(m_restorePoint);
    layout->addLayout(buttons);
    resize(720, 480);

    saveDialog = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, m_host.texts().builtIn(BuiltIn::CompareSaveText), suggested,
                                            QStringLiteral("*.txt"));
    };
}

CompareDialog::~CompareDialog() = default;

bool CompareDialog::openFile(const QString &path, WorkingSet &set)
{
    FileError error;
    const std::optional<ConfigurationRecord> record = ReadConfigurationFile(path, &error);
    if (!record) {
        m_host.link().op().message(
            m_host.texts().builtIn(BuiltIn::CompareOpenFailed).arg(QDir::toNativeSeparators(path), error.reason),
            Icon::Critical);
        return false;
    }
    const WindowState &state = m_host.state();
    set.showFile(*record, m_host.texts().lines(), state.IndicatorModel == Model::None ? Model::ZR2 : state.IndicatorModel,
                 state.weight);
    return true;
}

bool CompareDialog::compareWithIndicator(const QString &path)
{
    const TextService &t = m_host.texts();
    const WindowState &state = m_host.state();
    if (!state.IsConnected) {
        m_host.link().op().message(t.line(kTextNotConnected), Icon::Critical);
        return false;
    }
    auto file = std::make_unique<WorkingSet>();
    if (!openFile(path, *file))
        return false;

    // Every group the model has, into memory only: the window's pages are not touched.
    auto indicator = std::make_unique<WorkingSet>();
    const ModelFeatures has = FeaturesOf(state.IndicatorModel);
    const PrinterKind printer = has.eplPrinter ? m_host.workingSet().ticket().printerKind() : PrinterKind::Ticket;
    ReadAllChoice choice;
    choice.header = true;
    choice.id = has.idMemory;
    choice.setpoint = has.setpointMemory;
    choice.parameters = true;
    choice.printer = printer;
    choice.model = state.IndicatorModel;
    bool whole = false;
    m_host.beginOperation();
    if (LineLease lease(m_host.link()); lease) {
        m_host.rangeReady();
        indicator->parameters().weight = state.weight;
        LayOutGrid(indicator->parameters(), t.lines(), state.IndicatorModel);
        const ReadAllResult r =
            ReadAll(m_host.link(), *indicator, t, choice, state.weight, [this] { m_host.DisconnectAction(); });
        whole = r.outcome == BatchOutcome::Completed;
    }
    // What the indicator side was read from names the indicator in a send's record.
    if (whole) {
        indicator->setSource(state.IndicatorModel, std::nullopt);
        indicator->readFromIndicator(DataGroup::Parameters);
    }
    m_host.endOperation();
    if (!whole) {
        m_host.link().op().message(t.builtIn(BuiltIn::CompareReadFailed), Icon::Critical);
        return false;
    }
    file->parameters().weight = state.weight;
    m_a = std::move(indicator);
    m_b = std::move(file);
    m_path = path;
    m_againstIndicator = true;
    m_parts = {.ticketLines = printer == PrinterKind::Ticket,
               .eplText = printer == PrinterKind::Epl,
               .ids = has.idMemory,
               .setpoints = has.setpointMemory,
               .parameters = true};
    m_scope = CompareScope::IndicatorVsFile;
    m_columnA = t.builtIn(BuiltIn::CompareColumnIndicator);
    m_columnB = QDir::toNativeSeparators(path);
    setWindowTitle(t.builtIn(BuiltIn::CompareTitle).arg(QFileInfo(path).fileName()));
    compareAgain();
    return true;
}

bool CompareDialog::compareFiles(const QString &pathA, const QString &pathB)
{
    auto a = std::make_unique<WorkingSet>();
    auto b = std::make_unique<WorkingSet>();
    if (!openFile(pathA, *a) || !openFile(pathB, *b))
        return false;
    m_a = std::move(a);
    m_b = std::move(b);
    m_path.clear();
    m_againstIndicator = false;
    m_parts = {};
    m_scope = CompareScope::FileVsFile;
    m_columnA = QDir::toNativeSeparators(pathA);
    m_columnB = QDir::toNativeSeparators(pathB);
    setWindowTitle(m_host.texts().builtIn(BuiltIn::CompareTitle)
                       .arg(QFileInfo(pathA).fileName() + QStringLiteral(" / ") + QFileInfo(pathB).fileName()));
    compareAgain();
    return true;
}

PartChoice CompareDialog::chosenParts() const
{
    PartChoice chosen;
    for (const auto &[box, name] : m_partBoxes)
        if (box->isChecked())
            if (const std::optional<PartChoice> one = ParsePartChoice(name, nullptr))
                for (std::size_t g = 0; g < SetGroupCount; ++g)
                    chosen.on[g] = chosen.on[g] || one->on[g];
    // The preset tares (between files) have no box: compared while every box is ticked.
    if (std::all_of(m_partBoxes.begin(), m_partBoxes.end(), [](const auto &b) { return b.first->isChecked(); }))
        chosen = PartChoice::all();
    return chosen;
}

void CompareDialog::limitTo(const PartChoice &chosen)
{
    for (const auto &[box, name] : m_partBoxes) {
        const QSignalBlocker block(box);
        const std::optional<PartChoice> one = ParsePartChoice(name, nullptr);
        bool on = false;
        for (std::size_t g = 0; g < SetGroupCount; ++g)
            on = on || (one->on[g] && chosen.on[g]);
        box->setChecked(on);
    }
    compareAgain();
}

void CompareDialog::compareAgain()
{
    const Comparison comparison = CompareHeld(*m_a, *m_b, m_scope, m_parts, chosenParts());
    m_differences = comparison.differences;
    m_notHeld = comparison.notHeld;
    fill(m_columnA, m_columnB);
}

void CompareDialog::fill(const QString &columnA, const QString &columnB)
{
    const TextService &t = m_host.texts();
    m_columnA = columnA;
    m_columnB = columnB;
    const QSignalBlocker block(m_table);
    m_table->clearContents();
    m_table->setHorizontalHeaderLabels({QString(), t.builtIn(BuiltIn::CompareColumnRow),
                                        m_againstIndicator ? t.builtIn(BuiltIn::CompareColumnIndicator)
                                                           : t.builtIn(BuiltIn::CompareColumnFileA),
                                        m_againstIndicator ? QFileInfo(columnB).fileName()
                                                           : t.builtIn(BuiltIn::CompareColumnFileB)});
    const int rows = int(m_differences.size() + m_notHeld.size());
    if (rows == 0) {
        m_table->setRowCount(1);
        m_table->setItem(0, RowLabel, new QTableWidgetItem(t.builtIn(BuiltIn::CompareNoDifferences)));
    } else {
        m_table->setRowCount(rows);
    }
    for (int i = 0; i < int(m_differences.size()); ++i) {
        const Difference &d = m_differences[std::size_t(i)];
        auto *tick = new QTableWidgetItem;
        // Only what can go to the indicator can be ticked (never a preset tare).
        Selection one;
        one.tick(d);
        if (m_againstIndicator && !one.empty()) {
            tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            tick->setCheckState(Qt::Unchecked);
        } else {
            tick->setFlags(Qt::ItemIsEnabled);
        }
        m_table->setItem(i, Tick, tick);
        m_table->setItem(i, RowLabel, new QTableWidgetItem(DifferenceLabel(d, t)));
        m_table->setItem(i, ValueA, new QTableWidgetItem(d.textA));
        m_table->setItem(i, ValueB, new QTableWidgetItem(d.textB));
    }
    // A part one side does not hold: one line, nothing to tick.
    for (int i = 0; i < int(m_notHeld.size()); ++i) {
        const PartNotHeld &line = m_notHeld[std::size_t(i)];
        const int row = int(m_differences.size()) + i;
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled);
        m_table->setItem(row, Tick, tick);
        m_table->setItem(row, RowLabel, new QTableWidgetItem(PartLabel(line.group, t)));
        m_table->setItem(row, ValueA, new QTableWidgetItem(NotHeldText(line, true, t)));
        m_table->setItem(row, ValueB, new QTableWidgetItem(NotHeldText(line, false, t)));
    }
    m_table->resizeColumnsToContents();
    updateButtons();
}

void CompareDialog::updateButtons()
{
    m_send->setVisible(m_againstIndicator);
    m_note->setVisible(m_againstIndicator);
    m_restorePoint->setVisible(m_againstIndicator);
    m_send->setEnabled(m_againstIndicator && !tickedSelection().empty());
    m_copy->setEnabled(true);
    m_save->setEnabled(true);
}

Selection CompareDialog::tickedSelection() const
{
    Selection s;
    for (int i = 0; i < int(m_differences.size()) && i < m_table->rowCount(); ++i)
        if (const QTableWidgetItem *item = m_table->item(i, Tick); item && item->checkState() == Qt::Checked)
            s.tick(m_differences[std::size_t(i)]);
    return s;
}

QString CompareDialog::text() const
{
    const TextService &t = m_host.texts();
    return ComparisonText({m_differences, m_notHeld}, t, m_columnA, m_columnB);
}

void CompareDialog::copy()
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text());
}

void CompareDialog::saveAsText()
{
    const QString path = saveDialog ? saveDialog(QStringLiteral("compare.txt")) : QString();
    if (path.isEmpty())
        return;
    QString why;
    if (!WriteFileSafely(path, text().toUtf8(), &why))
        m_host.link().op().message(
            m_host.texts().builtIn(BuiltIn::CompareSaveFailed).arg(QDir::toNativeSeparators(path), why),
            Icon::Critical);
}

void CompareDialog::sendTicked()
{
    const TextService &t = m_host.texts();
    const Selection selection = tickedSelection();
    Operator &op = m_host.link().op();
    if (selection.empty()) {
        op.message(t.builtIn(BuiltIn::SelectiveNothingTicked), Icon::Warning);
        return;
    }
    if (selection.ticketLines && selection.eplText) {
        op.message(t.builtIn(BuiltIn::SelectiveBothPrinters), Icon::Warning);
        return;
    }
    if (op.yesNo(t.builtIn(BuiltIn::SelectiveSendQuestion).arg(selection.count()), Icon::Question) != Choice::Yes)
        return;
    const WindowState &state = m_host.state();
    if (!state.IsConnected) {
        op.message(t.line(kTextNotConnected), Icon::Critical);
        return;
    }

    // Another indicator's file (or one that names none) goes only when the operator says
    // so; the job asks, sends and writes the record with the note.
    std::optional<SelectiveSendJobResult> done;
    m_host.beginOperation();
    if (LineLease lease(m_host.link()); lease) {
        m_host.rangeReady();
        done = RunSelectiveSendJob(
            m_host.link(), op, *m_b,
            {.selection = selection,
             .modelText = state.IndicatorModelText,
             .version = {},
             .askSameIndicator = true,
             .sameIndicatorOperator = nullptr,
             .confirmSend = confirmSend,
             .indicator = m_a->dataIndicator(),
             .context = {.texts = t,
                         .weight = state.weight,
                         .model = state.IndicatorModel,
                         .confirmSend = {},
                         .disconnect = [this] { m_host.DisconnectAction(); },
                         .restorePointFolder = m_restorePoint->isChecked() ? DefaultRestorePointFolder() : QString()},
             .note = m_note->note(),
             .tool = HistoryTool::Window,
             .skippedWrites = {}});
    }
    m_host.endOperation();
    if (!done)
        return;
    const std::optional<SelectiveSendResult> result = done->send;
    if (!done->message.isEmpty()) {
        const bool fine = result->outcome == SelectiveOutcome::Sent || result->outcome == SelectiveOutcome::NothingDiffers;
        op.message(done->message, fine ? Icon::Information : Icon::Critical);
    }
    // The note goes with one record and is not offered again.
    if (done->historyError)
        SayHistoryNotWritten(op, t, *done->historyError);
    else if (done->record)
        m_note->edit()->clear();
    if (sent)
        sent(*result);
    // What the indicator holds now.
    if (result->outcome != SelectiveOutcome::Declined && m_host.state().IsConnected)
        compareWithIndicator(m_path);
}

}  // namespace vx::gui
