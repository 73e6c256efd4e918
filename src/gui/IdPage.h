#pragma once
// Tab 1 "ID Hafıza" (ZR2 only): the ID grid (Grid1 index 0) over the ID memory with
// the entry boxes Text2/Text3 over its selected row, the two current IDs (Text11)
// and the two ID headers (Text6, Text8). The tab's refresh reads the memory from
// the indicator (IDOKUHost); the memory is written by the send-all.

#include "gui/Captions.h"
#include "gui/TabPage.h"
#include "memory/IdMemory.h"
#include "memory/Transfers.h"

#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace vx::gui {

class RowEntry;

class IdPage : public TabPage {
    Q_OBJECT
public:
    IdPage(PageHost &host, QWidget *parent = nullptr);

    Refresh refreshKind() const override { return Refresh::Read; }
    void applyLanguage(const TextService &texts) override;
    void layOutGrids() override;
    void entered() override;
    void refresh() override { read(); }

    // The working copy: the grid, the current IDs and the headers show it.
    IdMemory &memory() { return m_memory; }
    TransferResult read();
    // The page emptied (the clear button): boxes, headers and grid.
    void clearPage() override;

    QTableView *grid() const { return m_grid; }
    RowEntry *entry() const { return m_entry; }

private:
    void showHeader(int index);
    void showCurrentIds();

    IdMemory &m_memory;  // the working set's
    Captions m_captions;
    QGroupBox *m_frame8 = nullptr;          // the current IDs
    std::array<QLineEdit *, 4> m_text11{};  // number and name of ID 1, then of ID 2
    QGroupBox *m_headerFrame = nullptr;     // "ID Header"
    QLabel *m_label21[2] = {};
    QLineEdit *m_text6 = nullptr;  // ID header 1
    QLineEdit *m_text8 = nullptr;  // ID header 2
    QFrame *m_gridArea = nullptr;
    QTableView *m_grid = nullptr;  // Grid1 index 0
    RowEntry *m_entry = nullptr;   // Text2, Text3
};

}  // namespace vx::gui
