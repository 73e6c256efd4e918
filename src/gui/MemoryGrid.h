#pragma once
// The memory grids (Grid1 indices 0, 1, 4): table views over the core's memory
// models, the caption column shaded like a fixed column, rows high enough for the
// entry boxes that stand over them, cells not typed into.

class QAbstractItemModel;
class QFrame;
class QTableView;

namespace vx::gui {

// The view "Grid1_<index>" over `model`, put into the grid area.
QTableView *MakeMemoryGrid(int index, QAbstractItemModel *model, QFrame *area);

}  // namespace vx::gui
