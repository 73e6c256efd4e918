#pragma once
// Tab 3 "Setpoint Hafıza" (ZR2 only): the setpoint grid (Grid1 index 1) over the
// setpoint memory with the three entry boxes Text5 over its selected row. The
// tab's refresh reads the memory from the indicator (STPOKUHost); the memory is
// written by the send-all.

#include "gui/TabPage.h"
#include "memory/SetpointMemory.h"
#include "memory/Transfers.h"

class QFrame;
class QTableView;

namespace vx::gui {

class RowEntry;

class SetpointPage : public TabPage {
    Q_OBJECT
public:
    SetpointPage(PageHost &host, QWidget *parent = nullptr);

    Refresh refreshKind() const override { return Refresh::Read; }
    void applyLanguage(const TextService &texts) override;
    void layOutGrids() override;
    void entered() override;
    void refresh() override { read(); }

    SetpointMemory &memory() { return m_memory; }
    TransferResult read();
    void clearPage() override;

    QTableView *grid() const { return m_grid; }
    RowEntry *entry() const { return m_entry; }

private:
    // A typed value must fit the write at the indicator's decimals.
    bool acceptValue(const QString &text);
    void refuseValue(const QString &text);

    SetpointMemory &m_memory;  // the working set's
    QFrame *m_gridArea = nullptr;
    QTableView *m_grid = nullptr;  // Grid1 index 1
    RowEntry *m_entry = nullptr;   // Text5_0 .. Text5_2
};

}  // namespace vx::gui
