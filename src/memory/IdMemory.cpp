#include "memory/IdMemory.h"

#include "link/Cp1254.h"
#include "memory/TicketText.h"

#include <algorithm>

namespace vx {
namespace {

constexpr QChar Degree(0x00B0);  // "°" between the number and the name

bool validRecord(int record) { return record >= 0 && record < IdRecordCount; }

}  // namespace

int IdSelectorByte(int recordIndex) { return recordIndex < CurrentIdCount ? recordIndex : recordIndex + 126; }

QChar IdSelectorCode(int recordIndex)
{
    // The code is the code-page byte: 128 is the byte 0x80, whatever character it shows.
    return cp1254::toUnicode(static_cast<unsigned char>(IdSelectorByte(recordIndex)));
}

IdMemoryBlock::IdMemoryBlock()
{
    IdNames.fill(UnassignedText(IdNameWidth));
    IdNumbers.fill(UnassignedText(IdNumberWidth));
    IdHeaders.fill(UnassignedText(IdHeaderWidth));
}

IdMemory::IdMemory(QObject *parent) : QAbstractTableModel(parent) {}

QString IdMemory::number(int record) const { return validRecord(record) ? m_records[size_t(record)].number : QString(); }

QString IdMemory::name(int record) const { return validRecord(record) ? m_records[size_t(record)].name : QString(); }

void IdMemory::setNumber(int record, const QString &text) { setRecord(record, text, name(record)); }

void IdMemory::setName(int record, const QString &text) { setRecord(record, number(record), text); }

void IdMemory::setRecord(int record, const QString &number, const QString &name)
{
    if (!validRecord(record))
        return;
    Record &r = m_records[size_t(record)];
    if (r.number == number && r.name == name)
        return;
    r.number = number;
    r.name = name;
    emit dataChanged(index(record, Number), index(record, Name));
}

QString IdMemory::idHeader(int index) const
{
    return index >= 0 && index < IdHeaderCount ? m_headers[size_t(index)] : QString();
}

void IdMemory::setIdHeader(int index, const QString &text)
{
    if (index < 0 || index >= IdHeaderCount || m_headers[size_t(index)] == text)
        return;
    m_headers[size_t(index)] = text;
    emit idHeaderChanged(index);
}

void IdMemory::clear()
{
    beginResetModel();
    m_records.fill(Record{});
    endResetModel();
    for (int i = 0; i < IdHeaderCount; ++i)
        setIdHeader(i, QString());
}

void IdMemory::setColumnCaptions(const QStringList &captions)
{
    m_captions = captions;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

QString IdMemory::rowLabel(int record)
{
    return record < CurrentIdCount ? QStringLiteral("ID %1").arg(record + 1)
                                   : QStringLiteral("ID Memory %1").arg(record - CurrentIdCount + 1);
}

int IdMemory::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : IdRecordCount; }

int IdMemory::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant IdMemory::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !validRecord(index.row()) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    switch (index.column()) {
    case Label: return rowLabel(index.row());
    case Number: return m_records[size_t(index.row())].number;
    case Name: return m_records[size_t(index.row())].name;
    default: return {};
    }
}

bool IdMemory::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !validRecord(index.row()))
        return false;
    if (index.column() == Number)
        setNumber(index.row(), value.toString());
    else if (index.column() == Name)
        setName(index.row(), value.toString());
    else
        return false;
    return true;
}

QVariant IdMemory::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return rowLabel(section);
    return section >= 0 && section < m_captions.size() ? m_captions.at(section) : QString();
}

void IdMemoryToRecord(const IdMemory &memory, IdMemoryBlock &block)
{
    for (int i = 0; i < IdHeaderCount; ++i)
        block.IdHeaders[size_t(i)] = FitText(memory.idHeader(i), IdHeaderWidth);
    for (int record = 0; record < IdRecordCount; ++record) {
        block.IdNumbers[size_t(record)] = FitText(memory.number(record), IdNumberWidth);
        block.IdNames[size_t(record)] = FitText(memory.name(record), IdNameWidth);
    }
}

void IDOKU(const IdMemoryBlock &block, IdMemory &memory)
{
    for (int i = 0; i < IdHeaderCount; ++i)
        memory.setIdHeader(i, StoredTextShown(block.IdHeaders[size_t(i)]));
    for (int record = 0; record < IdRecordCount; ++record)
        memory.setRecord(record, StoredTextShown(block.IdNumbers[size_t(record)]),
                         StoredTextShown(block.IdNames[size_t(record)]));
}

std::optional<IdRecordText> ParseIdRecord(const QString &decoded)
{
    const QString rest = decoded.mid(1);  // the selector
    const qsizetype degree = rest.indexOf(Degree);
    if (degree < 0)
        return std::nullopt;
    IdRecordText record;
    record.number = rest.left(degree);
    // A whole decimal number: an optional minus sign and digits, nothing else.
    const QStringView digits = QStringView(record.number).mid(record.number.startsWith(QLatin1Char('-')) ? 1 : 0);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return std::nullopt;
    record.name = StoredTextShown(rest.mid(degree + 1));
    // An unused record carries -1 (erased memory) or 0.
    if (record.number == QLatin1String("-1") || record.number == QLatin1String("0"))
        return IdRecordText{};
    return record;
}

}  // namespace vx
