#include "params/ParameterSet.h"

#include "shell/LanguageTexts.h"

namespace vx {

using params::Kind;
using params::Row;

ParameterSet::ParameterSet(QObject *parent) : QAbstractTableModel(parent) {}

QString ParameterSet::cell(int row, int column) const
{
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return {};
    return m_cells[std::size_t(row)][std::size_t(column)];
}

void ParameterSet::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return;
    QString &at = m_cells[std::size_t(row)][std::size_t(column)];
    if (at == text)
        return;
    at = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

bool ParameterSet::isHidden(int row) const
{
    return row >= 0 && row < RowCount && m_hidden[std::size_t(row)];
}

void ParameterSet::setHidden(int row, bool hidden)
{
    if (row < 0 || row >= RowCount || m_hidden[std::size_t(row)] == hidden)
        return;
    m_hidden[std::size_t(row)] = hidden;
    emit hiddenChanged(row, hidden);
}

void ParameterSet::applyModel(Model model)
{
    m_model = model;
    for (const Row &r : params::Rows())
        setHidden(r.row, !r.shownFor(model));
}

void ParameterSet::clearValues()
{
    for (const Row &r : params::Rows()) {
        if (r.kind != Kind::Header && r.kind != Kind::Section)
            setValue(r.row, QString());
    }
    m_companions = ParameterCompanions{};
}

int ParameterSet::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : RowCount; }

int ParameterSet::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ParameterSet::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.row(), index.column());
    if (role == KindRole)
        return int(params::RowAt(index.row()).kind);
    return {};
}

QVariant ParameterSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    // Row 0 holds the column captions; views show it as their header.
    return orientation == Qt::Vertical ? QVariant(section) : QVariant(cell(0, section));
}

void GridDüzen(ParameterSet &set, const LanguageTexts &texts, Model model)
{
    for (const Row &r : params::Rows()) {
        set.setCell(r.row, 0, params::RowCaption(r, texts));
        if (r.kind == Kind::Header)
            set.setCell(r.row, 1, texts.text(params::HeaderValueLine));
        else if (r.kind == Kind::Section)
            set.setCell(r.row, 1, texts.text(r.caption));
    }
    set.applyModel(model);
}

}  // namespace vx
