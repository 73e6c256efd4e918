#include "monitor/StatusTable.h"

namespace vx {

StatusTable::StatusTable(QObject *parent) : QAbstractTableModel(parent) {}

QString StatusTable::cell(int row, int column) const
{
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return {};
    return m_cells[row][column];
}

void StatusTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return;
    if (m_cells[row][column] == text)
        return;
    m_cells[row][column] = text;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

void StatusTable::clearValues()
{
    kept = {};
    for (int row = 0; row < RowCount; ++row)
        setCell(row, 1, QString());
}

int StatusTable::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : RowCount; }

int StatusTable::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant StatusTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
}

QVariant StatusTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    // Row 0 holds the column captions; views show it as their header.
    return orientation == Qt::Vertical ? QVariant(section) : QVariant(cell(0, section));
}

}  // namespace vx
