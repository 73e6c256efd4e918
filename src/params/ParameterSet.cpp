#include "params/ParameterSet.h"

#include "params/Catalogue.h"

namespace vx {

using params::Kind;
using params::Row;

namespace {

constexpr int kClockRow = 1;
constexpr int kRow200 = 3;
const QString kWeekdaySeparator = QStringLiteral(" \\ ");

bool fixedRow(int row)
{
    const Kind k = params::RowAt(row).kind;
    return row == 0 || k == Kind::Header || k == Kind::Section;
}

}  // namespace

ParameterSet::ParameterSet(QObject *parent) : QAbstractTableModel(parent) {}

QString ParameterSet::value(int row) const
{
    if (row < 0 || row >= RowCount)
        return {};
    if (fixedRow(row))
        return m_fixed[std::size_t(row)];
    return RenderValue(params::RowAt(row), m_values[std::size_t(row)], m_texts, m_weightsRaw ? WeightFormat{} : weight);
}

void ParameterSet::setValue(int row, const QString &text)
{
    if (row < 0 || row >= RowCount)
        return;
    if (fixedRow(row)) {
        setCell(row, 1, text);
        return;
    }
    setRowValue(row, ParseValue(params::RowAt(row), text, m_texts, weight));
}

QString ParameterSet::cell(int row, int column) const
{
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return {};
    if (column == 0)
        return m_captions[std::size_t(row)];
    return value(row);
}

void ParameterSet::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return;
    if (column == 1 && !fixedRow(row)) {
        setValue(row, text);
        return;
    }
    QString &at = column == 0 ? m_captions[std::size_t(row)] : m_fixed[std::size_t(row)];
    if (at == text)
        return;
    at = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

const RowValue &ParameterSet::rowValue(int row) const
{
    static const RowValue none;
    if (row < 0 || row >= RowCount)
        return none;
    return m_values[std::size_t(row)];
}

void ParameterSet::setRowValue(int row, const RowValue &value)
{
    if (row < 0 || row >= RowCount || fixedRow(row) || m_values[std::size_t(row)] == value)
        return;
    m_values[std::size_t(row)] = value;
    valueChanged(row);
}

void ParameterSet::setValues(const Values &values)
{
    for (int r = 0; r < RowCount; ++r)
        setRowValue(r, values[std::size_t(r)]);
}

bool ParameterSet::param200On() const
{
    return WireNumber(params::RowAt(kRow200), m_values[kRow200]) == 1;
}

QString ParameterSet::clockSuffix() const
{
    const RowValue &clock = m_values[kClockRow];
    if (clock.kind == RowValue::Kind::Text && clock.number >= 0) {
        const QStringList days = m_texts.weekdayNames();
        if (clock.number < days.size())
            return kWeekdaySeparator + days.at(int(clock.number));
    }
    return clock.tail;
}

namespace {

// A weekday part " \ Thursday" of the language is kept as the day's number, shown in
// whatever language is current; any other text as it stands.
void takeWeekday(RowValue &clock, const QString &weekdayPart, const LanguageTexts &texts)
{
    const QString name = weekdayPart.startsWith(kWeekdaySeparator) ? weekdayPart.mid(kWeekdaySeparator.size()) : QString();
    const qsizetype day = name.isEmpty() ? -1 : texts.weekdayNames().indexOf(name);
    clock.number = day;
    clock.tail = day >= 0 ? QString() : weekdayPart;
}

}  // namespace

void ParameterSet::setClockSuffix(const QString &suffix)
{
    RowValue clock = m_values[kClockRow];
    if (clock.kind == RowValue::Kind::Empty && !suffix.isEmpty())
        clock.kind = RowValue::Kind::Text;  // the weekday part alone: the clock's text stays empty
    takeWeekday(clock, suffix, m_texts);
    setRowValue(kClockRow, clock);
}

void ParameterSet::setClock(const QString &text, const QString &weekdayPart)
{
    RowValue clock = RowValue::indicatorText(text);
    takeWeekday(clock, weekdayPart, m_texts);
    setRowValue(kClockRow, clock);
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

void ParameterSet::setTexts(const LanguageTexts &texts)
{
    m_texts = texts;
    allValuesChanged();
}

void ParameterSet::setWeightsRaw(bool raw)
{
    if (m_weightsRaw == raw)
        return;
    m_weightsRaw = raw;
    for (const Row &r : params::Rows())
        if (r.kind == Kind::Weight)
            valueChanged(r.row);
}

void ParameterSet::clearValues()
{
    for (int r = 0; r < RowCount; ++r)
        setRowValue(r, RowValue{});
}

void ParameterSet::valueChanged(int row)
{
    const QModelIndex changed = index(row, 1);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void ParameterSet::allValuesChanged()
{
    emit dataChanged(index(0, 1), index(RowCount - 1, 1), {Qt::DisplayRole, Qt::EditRole});
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
    set.setTexts(texts);
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
