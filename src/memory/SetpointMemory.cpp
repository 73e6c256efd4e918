#include "memory/SetpointMemory.h"

#include "link/Codec.h"

#include <QRegularExpression>

namespace vx {
namespace {

constexpr QChar Degree(0x00B0);

bool validCell(int record, int k)
{
    return record >= 0 && record < SetpointRecordCount && k >= 0 && k < SetpointsPerRecord;
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Whether a text reads as the number 0 (blanks, a sign, digits and one decimal
// separator; reading stops at any other character; no digit at all reads as 0).
// Worked on the digits: a number too long for a double is not 0.
bool readsAsZero(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('.') && !separator)
            separator = true;
        else if (!isDigit(c))
            break;
        else if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

}  // namespace

qint64 SetpointFormula(qint64 x) { return x < 0 ? x + 65536 : x; }

const QString &SetpointMemoryBlock::value(int k, int record) const
{
    const auto &column = k == 0 ? Setpoint1 : k == 1 ? Setpoint2 : Setpoint3;
    return column[size_t(record)];
}

QString &SetpointMemoryBlock::value(int k, int record)
{
    auto &column = k == 0 ? Setpoint1 : k == 1 ? Setpoint2 : Setpoint3;
    return column[size_t(record)];
}

SetpointMemory::SetpointMemory(QObject *parent) : QAbstractTableModel(parent) {}

QString SetpointMemory::value(int record, int k) const
{
    return validCell(record, k) ? m_values[size_t(record)][size_t(k)] : QString();
}

void SetpointMemory::setValue(int record, int k, const QString &text)
{
    if (!validCell(record, k) || m_values[size_t(record)][size_t(k)] == text)
        return;
    m_values[size_t(record)][size_t(k)] = text;
    m_stored[size_t(record)][size_t(k)].reset();
    const QModelIndex cell = index(record, FirstSetpoint + k);
    emit dataChanged(cell, cell);
}

void SetpointMemory::clear()
{
    beginResetModel();
    for (auto &record : m_values)
        record.fill(QString());
    for (auto &record : m_stored)
        record.fill(std::nullopt);
    endResetModel();
}

QString SetpointMemory::storedValue(int record, int k) const
{
    if (!validCell(record, k))
        return {};
    const std::optional<QString> &stored = m_stored[size_t(record)][size_t(k)];
    return stored ? *stored : m_values[size_t(record)][size_t(k)];
}

void SetpointMemory::showStored(int record, int k, const QString &shown, const QString &stored)
{
    if (!validCell(record, k))
        return;
    setValue(record, k, shown);
    if (shown != stored)
        m_stored[size_t(record)][size_t(k)] = stored;
    else
        m_stored[size_t(record)][size_t(k)].reset();
}

void SetpointMemory::setLabelCaption(const QString &caption)
{
    m_labelCaption = caption;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

QString SetpointMemory::rowLabel(int record) { return QStringLiteral("SP Memory %1").arg(record + 1); }

QString SetpointMemory::setpointCaption(int k) { return QStringLiteral("Setpoint - %1").arg(k + 1); }

int SetpointMemory::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : SetpointRecordCount; }

int SetpointMemory::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant SetpointMemory::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Label ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    if (index.column() == Label)
        return rowLabel(index.row());
    return value(index.row(), index.column() - FirstSetpoint);
}

bool SetpointMemory::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() < FirstSetpoint)
        return false;
    setValue(index.row(), index.column() - FirstSetpoint, value.toString());
    return true;
}

QVariant SetpointMemory::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return rowLabel(section);
    return section == Label ? m_labelCaption : setpointCaption(section - FirstSetpoint);
}

void SetpointMemoryToRecord(const SetpointMemory &memory, SetpointMemoryBlock &block)
{
    for (int record = 0; record < SetpointRecordCount; ++record)
        for (int k = 0; k < SetpointsPerRecord; ++k)
            block.value(k, record) = memory.storedValue(record, k);
}

void SetpointOku(const SetpointMemoryBlock &block, SetpointMemory &memory)
{
    for (int record = 0; record < SetpointRecordCount; ++record) {
        for (int k = 0; k < SetpointsPerRecord; ++k) {
            const QString &stored = block.value(k, record);
            const QString shown = readsAsZero(CommaToPoint(stored)) ? QStringLiteral("0") : stored;
            // A zero written otherwise ("0,0", "") goes back as written; a text that is no
            // number shown as "0" goes back as the "0" the operator sees.
            memory.showStored(record, k, shown, SetpointWireValue(stored, 0).ok() ? stored : shown);
        }
    }
}

SetpointWire SetpointWireValue(const QString &text, int decimals)
{
    // Worked on the digits, so that no binary fraction shifts a value by one.
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    qsizetype i = 0;
    bool negative = false;
    if (t.at(0) == QLatin1Char('-') || t.at(0) == QLatin1Char('+')) {
        negative = t.at(0) == QLatin1Char('-');
        ++i;
    }
    QString whole, fraction;
    for (; i < t.size() && isDigit(t.at(i)); ++i)
        whole += t.at(i);
    if (i < t.size() && (t.at(i) == QLatin1Char(',') || t.at(i) == QLatin1Char('.'))) {
        for (++i; i < t.size() && isDigit(t.at(i)); ++i)
            fraction += t.at(i);
    }
    // The whole text is the number: "12abc", "1e308", "12,5.7" or "5 kg" is none.
    if ((whole.isEmpty() && fraction.isEmpty()) || i < t.size())
        return {0, SetpointFault::NotANumber};

    const int d = qMax(0, decimals);
    QString digits = whole + fraction.left(d).leftJustified(d, QLatin1Char('0'));
    const QString rest = fraction.mid(d);
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > SetpointMaxDigits)
        return {0, SetpointFault::TooManyDigits};
    qint64 value = digits.isEmpty() ? 0 : digits.toLongLong();
    // The decimals beyond the indicator's: a half goes to the even neighbour.
    if (!rest.isEmpty()) {
        const QChar first = rest.at(0);
        const bool more = rest.mid(1).contains(QRegularExpression(QStringLiteral("[1-9]")));
        if (first > QLatin1Char('5') || (first == QLatin1Char('5') && (more || value % 2 != 0)))
            ++value;
    }
    if (value > 999999)
        return {0, SetpointFault::TooManyDigits};
    return {negative ? -value : value, SetpointFault::None};
}

QString SetpointWireText(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString SetpointShown(qint64 value, int decimals)
{
    return InsertDecimalComma(QString::number(SetpointFormula(value)), decimals);
}

std::optional<std::array<qint64, 3>> ParseSetpointRecord(const QString &decoded)
{
    const QStringList parts = decoded.split(Degree);
    if (parts.size() != 3)
        return std::nullopt;
    std::array<qint64, 3> values{};
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        values[size_t(k)] = parts.at(k).toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    return values;
}

}  // namespace vx
