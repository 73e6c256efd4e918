#include "gui/StatusTab.h"

#include "gui/AnaForm.h"
#include "shell/AppState.h"

#include <QFrame>
#include <QHeaderView>
#include <QLayout>
#include <QTableView>

namespace vx::gui {
namespace {

// Header captions of the grid's two columns.
constexpr int TextItemHeader = 278;
constexpr int TextValueHeader = 279;
// Rows the indicator does not fill.
constexpr int FirstUnusedRow = 19;
constexpr int LastUnusedRow = 22;

}  // namespace

StatusTab::StatusTab(AnaForm &form) : QObject(&form), m_form(form)
{
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

    if (QWidget *page = form.tabPage(Tab::Status)) {
        if (auto *area = page->findChild<QFrame *>(QStringLiteral("GridArea_3")); area && area->layout())
            area->layout()->addWidget(m_view);
    }

    form.setTabReader(Tab::Status, [this] { read(); });
    form.addLanguageHook([this] { applyCaptions(); });
    applyCaptions();
}

void StatusTab::applyCaptions()
{
    ApplyStatusCaptions(m_table, m_form.texts());
    m_table.setCell(0, 0, m_form.texts().text(TextItemHeader));
    m_table.setCell(0, 1, m_form.texts().text(TextValueHeader));
}

bool StatusTab::read()
{
    m_last = StatuOku(m_form.link(), m_form.texts(), [this] { m_form.DisconnectAction(); });
    ShowStatusReading(m_table, m_last, m_form.texts(), {weightReference, decimals});
    m_flags = m_last.flags();
    return !m_last.refused;
}

}  // namespace vx::gui
