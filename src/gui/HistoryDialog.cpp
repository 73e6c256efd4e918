#include "gui/HistoryDialog.h"

#include "service/HistoryText.h"
#include "shell/TextService.h"
#include "verify/VerifyTexts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

QString operationText(HistoryOperation operation, const TextService &texts)
{
    switch (operation) {
    case HistoryOperation::Send: return texts.builtIn(BuiltIn::HistoryOperationSend);
    case HistoryOperation::Calibration: return texts.builtIn(BuiltIn::HistoryOperationCalibration);
    case HistoryOperation::AnalogTrim: return texts.builtIn(BuiltIn::HistoryOperationAnalogTrim);
    case HistoryOperation::Verification: return VerifyTextOf(VerifyText::PromptTitle, texts);
    }
    return {};
}

}  // namespace

HistoryDialog::HistoryDialog(const TextService &texts, QWidget *parent, const QString &path)
    : QDialog(parent), m_texts(texts), m_path(path.isEmpty() ? HistoryFilePath() : path)
{
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(texts.builtIn(BuiltIn::HistoryTitle));
    resize(900, 420);

    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(texts.builtIn(BuiltIn::HistoryFilterLabel), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("HistoryFilter"));
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);

    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("HistoryWarning"));
    m_warning->setWordWrap(true);
    m_warning->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("HistoryTable"));
    m_table->setHorizontalHeaderLabels(
        {texts.builtIn(BuiltIn::HistoryColumnTime), texts.builtIn(BuiltIn::HistoryColumnIndicator),
         texts.builtIn(BuiltIn::HistoryColumnOperation), texts.builtIn(BuiltIn::HistoryColumnWhat),
         texts.builtIn(BuiltIn::HistoryColumnResult), texts.builtIn(BuiltIn::HistoryColumnNote),
         texts.builtIn(BuiltIn::HistoryColumnDetails)});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    // The details, one fact a line, wrap within their column and the rows grow to
    // hold them whole; every column can be widened by its header's edge.
    m_table->setWordWrap(true);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    m_close = new QPushButton(texts.builtIn(BuiltIn::HistoryClose), this);
    m_close->setObjectName(QStringLiteral("HistoryClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_warning);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, [this] { fill(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

void HistoryDialog::reload()
{
    m_reading = ReadHistory(m_path);
    const QString shown = QDir::toNativeSeparators(m_path);
    if (!m_reading.readable) {
        m_warning->setText(m_texts.builtIn(BuiltIn::HistoryNotReadable).arg(shown, m_reading.error));
    } else if (!m_reading.damaged.empty()) {
        QStringList lines;
        for (const HistoryDamage &d : m_reading.damaged)
            lines << QString::number(d.line);
        m_warning->setText(m_texts.builtIn(BuiltIn::HistoryDamaged).arg(shown, lines.join(QStringLiteral(", "))));
    } else {
        m_warning->clear();
    }
    m_warning->setVisible(!m_warning->text().isEmpty());
    fill();
}

void HistoryDialog::fill()
{
    const std::vector<HistoryRecord> records = FilterByIndicator(NewestFirst(m_reading.records), m_filter->text());
    m_table->clearContents();
    m_table->setRowCount(int(records.size()));
    int row = 0;
    for (const HistoryRecord &r : records) {
        QStringList who{r.indicator.model};
        for (const QString &id : {r.indicator.identification, r.indicator.identification2})
            if (!id.trimmed().isEmpty())
                who << id.trimmed();
        const QString cells[ColumnCount] = {
            HistoryLocalTime(r.time),
            who.join(QStringLiteral(" / ")),
            operationText(r.operation, m_texts),
            r.operation == HistoryOperation::Send ? r.groups.join(QStringLiteral(", ")) : r.procedure,
            r.result,
            r.note.value_or(QString()),
            HistoryDetailLines(r).join(QLatin1Char('\n'))};
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            m_table->setItem(row, column, item);
        }
        ++row;
    }
    // Every column as wide as its text but the details, which take the rest and wrap.
    for (int column = 0; column < Details; ++column)
        m_table->resizeColumnToContents(column);
    m_table->resizeRowsToContents();
    if (records.empty() && m_reading.readable) {
        m_table->setRowCount(1);
        m_table->setItem(0, 0, new QTableWidgetItem(m_texts.builtIn(BuiltIn::HistoryEmpty)));
        m_table->setSpan(0, 0, 1, ColumnCount);
    } else {
        m_table->clearSpans();
    }
}

}  // namespace vx::gui
