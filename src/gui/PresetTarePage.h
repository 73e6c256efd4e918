#pragma once
// Tab 2 "P.Dara Hafıza" (never shown): the preset tare grid (Grid1 index 4) over
// the preset tare memory with the entry box Text7 over its selected row. The table
// lives in the window and in configuration files; nothing reads or writes it on
// the indicator.

#include "gui/TabPage.h"
#include "memory/PresetTares.h"

class QFrame;
class QTableView;

namespace vx::gui {

class RowEntry;

class PresetTarePage : public TabPage {
    Q_OBJECT
public:
    PresetTarePage(PageHost &host, QWidget *parent = nullptr);

    void applyLanguage(const TextService &texts) override;
    void layOutGrids() override;
    void entered() override;

    PresetTares &tares() { return m_tares; }
    void clearPage() override;

    QTableView *grid() const { return m_grid; }
    RowEntry *entry() const { return m_entry; }

private:
    PresetTares &m_tares;  // the working set's
    QFrame *m_gridArea = nullptr;
    QTableView *m_grid = nullptr;  // Grid1 index 4
    RowEntry *m_entry = nullptr;   // Text7
};

}  // namespace vx::gui
