#pragma once
// The ID memory: two current IDs ("ID 1", "ID 2") and 99 stored ID records, each a
// number of up to 6 characters and a name of up to 16, plus the two ID headers of up
// to 11 characters that label the current IDs on a ticket. IdMemory is the working
// copy the ID grid (Grid1 index 0) shows; IdMemoryBlock is its part of the
// configuration record. IdMemoryToRecord and IDOKU copy between the two.

#include <QAbstractTableModel>
#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace vx {

inline constexpr int IdRecordCount = 101;  // 0, 1 the current IDs; 2..100 ID memory 1..99
inline constexpr int CurrentIdCount = 2;
inline constexpr int IdHeaderCount = 2;
inline constexpr int IdNumberWidth = 6;
inline constexpr int IdNameWidth = 16;
inline constexpr int IdHeaderWidth = 11;

// The selector of record index j on the wire: the character of code j for the
// current IDs (0, 1), of code j + 126 for the stored records (128..226). Index 101
// gives 227, the selector that follows the last one.
QChar IdSelectorCode(int recordIndex);
// The same as the code-page byte the record's first byte carries.
int IdSelectorByte(int recordIndex);

// The ID part of the configuration record.
struct IdMemoryBlock {
    std::array<QString, IdRecordCount> IdNames;    // Text(16) each
    std::array<QString, IdRecordCount> IdNumbers;  // Text(6) each
    std::array<QString, IdHeaderCount> IdHeaders;  // Text(11) each

    IdMemoryBlock();  // a reset record: every text NUL characters
};

class IdMemory : public QAbstractTableModel {
    Q_OBJECT
public:
    // Columns as the grid has them: the row caption, the number, the name.
    enum Column { Label = 0, Number = 1, Name = 2, ColumnCount = 3 };

    explicit IdMemory(QObject *parent = nullptr);

    QString number(int record) const;
    QString name(int record) const;
    void setNumber(int record, const QString &text);
    void setName(int record, const QString &text);
    void setRecord(int record, const QString &number, const QString &name);

    QString idHeader(int index) const;
    void setIdHeader(int index, const QString &text);

    // Every record and both headers emptied.
    void clear();
    // The header row's captions (column 0 to 2), from the language texts.
    void setColumnCaptions(const QStringList &captions);
    // "ID 1", "ID 2", "ID Memory 1" ... "ID Memory 99".
    static QString rowLabel(int record);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void idHeaderChanged(int index);

private:
    struct Record {
        QString number;
        QString name;
    };
    std::array<Record, IdRecordCount> m_records;
    std::array<QString, IdHeaderCount> m_headers;
    QStringList m_captions;
};

// IdMemoryToRecord: the grid and the header boxes into the record (left-aligned, padded,
// cut to their widths).
void IdMemoryToRecord(const IdMemory &memory, IdMemoryBlock &block);
// IDOKU: the record into the header boxes, the current IDs and the grid (texts up
// to a NUL, without their padding).
void IDOKU(const IdMemoryBlock &block, IdMemory &memory);

// One ID record as an answer carries it.
struct IdRecordText {
    QString number;  // empty for an unused record (-1 or 0 on the indicator)
    QString name;
};
// The record from an answer decoded as "ID" (selector, number, "°", name); nothing
// when the text has no "°" after the selector or no whole number before it. The name loses its trailing blanks
// and NULs.
std::optional<IdRecordText> ParseIdRecord(const QString &decoded);

}  // namespace vx
