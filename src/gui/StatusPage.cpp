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

void StatusPage::rangeLost()
{
    weightReference.clear();
    decimals = 0;
}

bool StatusPage::read()
{
    show(StatuOku(host().link(), host().texts().lines(), [this] { host().DisconnectAction(); }));
    return !m_last.refused;
}

void StatusPage::show(const StatusReading &reading)
{
    m_last = reading;
    ShowStatusReading(m_table, m_last, host().texts().lines(), {weightReference, decimals});
    m_flags = m_last.flags();
}

void StatusPage::showHardware(const HardwareStatus &hardware)
{
    StatusReading reading;
    reading.hardware = hardware;
    for (const StatusRow &row : StatusRows())
        if (row.reg == HardwareRegister)
            m_table.setCell(row.row, 1, StatusValueText(reading, row, host().texts().lines(), {}));
    m_flags.CalibrationPermitted = hardware.CalibrationPermitted;
    m_flags.AnalogCardPresent = hardware.AnalogCardPresent;
}

void StatusPage::clearPage()
{
    m_table.clearValues();
    applyCaptions();  // the header row's value caption
    m_last = {};
}

}  // namespace vx::gui
