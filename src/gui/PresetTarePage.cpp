#include "gui/PresetTarePage.h"

#include "files/WorkingSet.h"
#include "gui/MemoryGrid.h"
#include "gui/RowEntry.h"
#include "gui/Widgets.h"
#include "shell/TextService.h"

#include <QFrame>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace vx::gui {
namespace {
constexpr int TextLabelColumn = 412;
constexpr int EntryMaxLength = 9;
}  // namespace

PresetTarePage::PresetTarePage(PageHost &host, QWidget *parent)
    : TabPage(Tab::PresetTare, host, parent), m_tares(host.workingSet().presetTares())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    m_gridArea = MakeGridArea(4, this);
    m_grid = MakeMemoryGrid(4, &m_tares, m_gridArea);
    m_entry = new RowEntry(m_grid);
    connect(m_entry, &RowEntry::typed, this, [this] { this->host().workingSet().edited(DataGroup::PresetTares); });
    m_entry->addBox(QStringLiteral("Text7"), PresetTares::Weight, BoxKeys::Digits, EntryMaxLength)
        ->setAlignment(Qt::AlignRight);
    layout->addWidget(m_gridArea);
    m_tares.setLabelCaption(QStringLiteral("Hafıza"));
    layOutGrids();
}

void PresetTarePage::applyLanguage(const TextService &texts) { m_tares.setLabelCaption(texts.line(TextLabelColumn)); }

void PresetTarePage::layOutGrids()
{
    m_grid->setColumnWidth(PresetTares::Label, 180);
    if (m_entry->currentRow() < 0)
        m_entry->setCurrentRow(0);
}

void PresetTarePage::entered() { m_entry->setCurrentRow(0); }

void PresetTarePage::clearPage()
{
    m_tares.clear();
    m_entry->setCurrentRow(0);
}

}  // namespace vx::gui
