#include "gui/StatusPage.h"

#include "gui/Widgets.h"
#include "shell/TextService.h"

#include <QFrame>
#include <QHeaderView>
#include <QLayout>
#include <QTableView>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

// Header captions of the grid's two columns.
constexpr int TextItemHeader = 278;
constexpr int TextValueHeader = 279;
// Rows the indicator does not fill.
constexpr int FirstUnusedRow = 19;
constexpr int LastUnusedRow = 22;

}  // namespace

StatusPage::StatusPage(PageHost &host, QWidget *parent) : TabPage(Tab::Status, host, parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    QFrame *area = MakeGridArea(3, this);
    layout->addWidget(area);

    m_view = new QTableView;
    m_view->setObjectName(QStringLiteral("Grid1_3"));
    m_view->setModel(&m_table);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->setColumnWidth(0, 280);
    // Row 0 is the caption row: the view shows it as the column header.
    m_view->setRowHidden(0, true);
    for (int row = FirstUnusedRow; row <= LastUnusedRow; ++row)
        m_view->setRowHidden(row, true);
    area->layout()->addWidget(m_view);

    applyCaptions();
}

void StatusPage::applyCaptions()
{
    const LanguageTexts &texts = host().texts().lines();
    ApplyStatusCaptions(m_table, texts);
    m_table.setCell(0, 0, texts.text(TextItemHeader));
    m_table.setCell(0, 1, texts.text(TextValueHeader));
}

void StatusPage::rangeKnown(const IndicatorRange &range)
{
    const WeightFormat &format = range.format;
    weightReference = format.WeightFormatReference;
    decimals = format.decimals();
}

bool StatusPage::read()
{
    const TextService &texts = host().texts();
    m_last = StatuOku(host().link(), texts.lines(), [this] { host().DisconnectAction(); });
    ShowStatusReading(m_table, m_last, texts.lines(), {weightReference, decimals});
    m_flags = m_last.flags();
    return !m_last.refused;
}

}  // namespace vx::gui
