#include "gui/SetpointPage.h"

#include "files/WorkingSet.h"
#include "gui/MemoryGrid.h"
#include "gui/RowEntry.h"
#include "gui/Widgets.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace vx::gui {
namespace {
constexpr int TextLabelColumn = 411;
constexpr int EntryMaxLength = 12;
}  // namespace

SetpointPage::SetpointPage(PageHost &host, QWidget *parent)
    : TabPage(Tab::Setpoint, host, parent), m_memory(host.workingSet().setpoints())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    m_gridArea = MakeGridArea(1, this);
    m_grid = MakeMemoryGrid(1, &m_memory, m_gridArea);
    m_entry = new RowEntry(m_grid);
    connect(m_entry, &RowEntry::typed, this, [this] { this->host().workingSet().edited(DataGroup::Setpoints); });
    for (int k = 0; k < SetpointsPerRecord; ++k) {
        QLineEdit *box = m_entry->addBox(QStringLiteral("Text5_%1").arg(k), SetpointMemory::FirstSetpoint + k,
                                         BoxKeys::DigitsAndComma, EntryMaxLength);
        box->setAlignment(Qt::AlignRight);
    }
    m_entry->accept = [this](int, const QString &text) { return acceptValue(text); };
    m_entry->refused = [this](int, const QString &text) { refuseValue(text); };
    layout->addWidget(m_gridArea);
    m_memory.setLabelCaption(QStringLiteral("Hafıza"));
    layOutGrids();
}

void SetpointPage::applyLanguage(const TextService &texts) { m_memory.setLabelCaption(texts.line(TextLabelColumn)); }

void SetpointPage::layOutGrids()
{
    m_grid->setColumnWidth(SetpointMemory::Label, 130);
    for (int k = 0; k < SetpointsPerRecord; ++k)
        m_grid->horizontalHeader()->setSectionResizeMode(SetpointMemory::FirstSetpoint + k, QHeaderView::Stretch);
    if (m_entry->currentRow() < 0)
        m_entry->setCurrentRow(0);
}

void SetpointPage::entered() { m_entry->setCurrentRow(0); }

bool SetpointPage::acceptValue(const QString &text)
{
    if (text.count(QLatin1Char(',')) > 1) {
        Beep();
        return false;
    }
    return SetpointWireValue(text, host().state().weight.decimals()).fault != SetpointFault::TooManyDigits;
}

void SetpointPage::refuseValue(const QString &text)
{
    const int decimals = host().state().weight.decimals();
    if (SetpointWireValue(text, decimals).fault == SetpointFault::TooManyDigits)
        host().link().op().message(host().texts().builtIn(BuiltIn::SetpointTooLong).arg(text).arg(decimals),
                                   Icon::Warning);
}

TransferResult SetpointPage::read()
{
    // Setpoints read at a guessed scale would be saved and sent back wrong.
    if (!host().rangeReady()) {
        host().refuseWithoutRange();
        return TransferResult::NotSent;
    }
    const TransferResult result = STPOKUHost(host().link(), m_memory, host().state().weight, host().texts(),
                                             [this] { host().DisconnectAction(); });
    ReportRead(host().workingSet(), DataGroup::Setpoints, result);
    return result;
}

void SetpointPage::clearPage()
{
    m_memory.clear();
    m_entry->setCurrentRow(0);
}

}  // namespace vx::gui
