#include "params/ParameterSet.h"

#include "params/Catalogue.h"
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

void LayOutGrid(ParameterSet &set, const LanguageTexts &texts, Model model)
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

namespace {

// The text in `after` of the item whose text in `before` is `text`.
std::optional<QString> retranslated(const params::Row &row, const QString &text, const LanguageTexts &before,
                                    const LanguageTexts &after)
{
    for (params::Items items : {row.read, row.list})
        for (const params::Item &item : items)
            if (item.text.text(before) == text)
                return item.text.text(after);
    if (!row.otherText.empty() && row.otherText.text(before) == text)
        return row.otherText.text(after);
    return std::nullopt;
}

}  // namespace

void RetranslateValues(ParameterSet &set, const LanguageTexts &before, const LanguageTexts &after)
{
    ParameterCompanions &c = set.companions();
    for (const params::Row &row : params::Rows()) {
        if (row.kind != params::Kind::Choice)
            continue;
        const QString value = set.value(row.row);
        if (!value.isEmpty())
            if (const std::optional<QString> now = retranslated(row, value, before, after))
                set.setValue(row.row, *now);
        QString *held = row.companion == params::Companion::PortParity ? &c.PortParityTexts[std::size_t(row.slot)]
                        : row.companion == params::Companion::Param049 ? &c.Param049Text
                                                                        : nullptr;
        if (held && !held->isEmpty())
            if (const std::optional<QString> now = retranslated(row, *held, before, after))
                *held = *now;
    }
    // Row 82: the model's name (language line 366 or 367) before the version's rest.
    for (int line : {366, 367}) {
        const QString name = before.text(line);
        const QString value = set.value(params::ModelTextRow);
        if (!name.isEmpty() && value.startsWith(name)) {
            set.setValue(params::ModelTextRow, after.text(line) + value.mid(name.size()));
            break;
        }
    }
    // " \ Thursday": the weekday of the last clock read.
    const QString separator = QStringLiteral(" \\ ");
    const QStringList days = before.weekdayNames();
    const qsizetype day = c.WeekdayText.startsWith(separator) ? days.indexOf(c.WeekdayText.mid(separator.size())) : -1;
    if (day >= 0)
        c.WeekdayText = separator + after.weekdayNames().at(day);
}

}  // namespace vx
