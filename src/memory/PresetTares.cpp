#include "memory/PresetTares.h"

#include "link/Codec.h"

#include <QLocale>
#include <cmath>

namespace vx {
namespace {
bool validRecord(int record) { return record >= 0 && record < PresetTareRecordCount; }
}  // namespace

PresetTares::PresetTares(QObject *parent) : QAbstractTableModel(parent) {}

QString PresetTares::value(int record) const { return validRecord(record) ? m_values[size_t(record)] : QString(); }

void PresetTares::setValue(int record, const QString &text)
{
    if (!validRecord(record) || m_values[size_t(record)] == text)
        return;
    m_values[size_t(record)] = text;
    const QModelIndex cell = index(record, Weight);
    emit dataChanged(cell, cell);
}

void PresetTares::clear()
{
    beginResetModel();
    m_values.fill(QString());
    endResetModel();
}

void PresetTares::setLabelCaption(const QString &caption)
{
    m_labelCaption = caption;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

QString PresetTares::rowLabel(int record) { return QStringLiteral("P.Dara Memory %1").arg(record + 1); }

QString PresetTares::weightCaption() { return QStringLiteral("P.Dara Ağırlığı"); }

int PresetTares::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : PresetTareRecordCount; }

int PresetTares::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PresetTares::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Label ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    return index.column() == Label ? rowLabel(index.row()) : value(index.row());
}

bool PresetTares::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() != Weight)
        return false;
    setValue(index.row(), value.toString());
    return true;
}

QVariant PresetTares::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return rowLabel(section);
    return section == Label ? m_labelCaption : weightCaption();
}

QString PresetTareText(double value)
{
    // A value that is no number (a damaged file) is shown, and kept, as 0.
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    return PointToComma(QString::number(value, 'f', QLocale::FloatingPointShortest));
}

double PresetTareNumber(const QString &text)
{
    const double value = ReadLeadingNumber(text).value_or(0.0);
    return std::isfinite(value) ? value : 0.0;
}

void PresetTaresToRecord(const PresetTares &tares, PresetTareBlock &block)
{
    for (int record = 0; record < PresetTareRecordCount; ++record)
        block.PresetTare[size_t(record)] = PresetTareNumber(tares.value(record));
}

void PDaraOku(const PresetTareBlock &block, PresetTares &tares)
{
    for (int record = 0; record < PresetTareRecordCount; ++record)
        tares.setValue(record, PresetTareText(block.PresetTare[size_t(record)]));
}

}  // namespace vx
