#pragma once
// The setpoint memory: records of three setpoint weights each. SetpointMemory is
// the working copy the setpoint grid (Grid1 index 1) shows, records 0..8;
// SetpointMemoryBlock is its part of the configuration record, records 0..9 (the
// tenth has no grid row and keeps what a file gave it). SetpointMemoryToRecord and
// SetpointOku copy between the two.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <optional>

namespace vx {

inline constexpr int SetpointRecordCount = 9;        // records with a grid row
inline constexpr int SetpointBlockRecordCount = 10;  // records in the configuration record
inline constexpr int SetpointsPerRecord = 3;

// The 16-bit unsigned view of a signed value: x + 65536 for a negative x.
qint64 SetpointFormula(qint64 x);

// The setpoint part of the configuration record: variable-length texts.
struct SetpointMemoryBlock {
    std::array<QString, SetpointBlockRecordCount> Setpoint1;
    std::array<QString, SetpointBlockRecordCount> Setpoint2;
    std::array<QString, SetpointBlockRecordCount> Setpoint3;

    // Setpoint k (0..2) of record j.
    const QString &value(int k, int record) const;
    QString &value(int k, int record);
};

class SetpointMemory : public QAbstractTableModel {
    Q_OBJECT
public:
    // Column 0 the row caption, columns 1..3 the three setpoints.
    enum Column { Label = 0, FirstSetpoint = 1, ColumnCount = 4 };

    explicit SetpointMemory(QObject *parent = nullptr);

    // Setpoint k (0..2) of record j (0..8), as the grid shows it.
    QString value(int record, int k) const;
    void setValue(int record, int k, const QString &text);
    void clear();
    // What goes back into the record: the text a file stored for a cell that shows it
    // as "0" ("0,0", "", "0.00"), as long as the cell was not changed since; else the
    // shown text. So an opened file saves its setpoints byte for byte.
    QString storedValue(int record, int k) const;
    // The cell shows `shown` for the file's `stored` text (SetpointOku).
    void showStored(int record, int k, const QString &shown, const QString &stored);
    // Column 0's caption of the header row (the other three are fixed).
    void setLabelCaption(const QString &caption);
    // "SP Memory 1" ... "SP Memory 9".
    static QString rowLabel(int record);
    static QString setpointCaption(int k);  // "Setpoint - 1" ...

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::array<std::array<QString, SetpointsPerRecord>, SetpointRecordCount> m_values;
    // A file's text behind a cell that shows it otherwise; dropped when the cell changes.
    std::array<std::array<std::optional<QString>, SetpointsPerRecord>, SetpointRecordCount> m_stored;
    QString m_labelCaption;
};

// SetpointMemoryToRecord: the grid into the record, as text (records 0..8); a cell
// still showing an opened file's zero goes back as the file wrote it (storedValue).
void SetpointMemoryToRecord(const SetpointMemory &memory, SetpointMemoryBlock &block);
// SetpointOku: the record into the grid; a text that reads as 0 (an empty one
// included) shows "0", any other the stored text unchanged.
void SetpointOku(const SetpointMemoryBlock &block, SetpointMemory &memory);

// What a setpoint text goes to the indicator as at the current decimals: the
// number times 10^decimals, rounded to a whole number (halves to even). The write
// carries at most six digits; a value with more is refused rather than cut.
enum class SetpointFault { None, NotANumber, TooManyDigits };
struct SetpointWire {
    qint64 value = 0;
    SetpointFault fault = SetpointFault::None;
    bool ok() const { return fault == SetpointFault::None; }
};
inline constexpr int SetpointMaxDigits = 6;
// An empty (or blank) text is 0. "," and "." both separate the decimals. A text
// with anything but blanks around the number is NotANumber.
SetpointWire SetpointWireValue(const QString &text, int decimals);
// The value as the write frame's argument carries it: a blank before a
// non-negative number, a minus sign before a negative one.
QString SetpointWireText(qint64 value);
// A number read from the indicator as the grid shows it: through SetpointFormula,
// with the decimal comma at the current decimals.
QString SetpointShown(qint64 value, int decimals);
// The setpoints of one record from an answer decoded as "STP" ("n1°n2°n3");
// nothing when it does not hold three numbers.
std::optional<std::array<qint64, 3>> ParseSetpointRecord(const QString &decoded);

}  // namespace vx
