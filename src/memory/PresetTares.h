#pragma once
// The preset tare ("P.Dara") memory: up to 99 preset tare weights. It lives in the
// window and in configuration files only; no command of the indicator transfers
// it. PresetTares is the working copy the grid (Grid1 index 4) shows, records
// 0..98; PresetTareBlock is its part of the configuration record, records 0..99
// (the last has no grid row and keeps what a file gave it).

#include <QAbstractTableModel>
#include <QString>
#include <array>

namespace vx {

inline constexpr int PresetTareRecordCount = 99;
inline constexpr int PresetTareBlockCount = 100;

struct PresetTareBlock {
    std::array<double, PresetTareBlockCount> PresetTare{};
};

class PresetTares : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Label = 0, Weight = 1, ColumnCount = 2 };

    explicit PresetTares(QObject *parent = nullptr);

    QString value(int record) const;
    void setValue(int record, const QString &text);
    void clear();
    void setLabelCaption(const QString &caption);
    static QString rowLabel(int record);  // "P.Dara Memory 1" ...
    static QString weightCaption();       // "P.Dara Ağırlığı"

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::array<QString, PresetTareRecordCount> m_values;
    QString m_labelCaption;
};

// One number format both ways: a weight is shown with the decimal comma and as few
// decimals as it needs ("12,5", "0"), and a cell is read up to the first character
// that is not part of a number, with "," or "." as the decimal separator (an empty
// or non-numeric cell is 0).
QString PresetTareText(double value);
double PresetTareNumber(const QString &text);

// PresetTaresToRecord: the grid into the record. PDaraOku: the record into the grid.
void PresetTaresToRecord(const PresetTares &tares, PresetTareBlock &block);
void PDaraOku(const PresetTareBlock &block, PresetTares &tares);

}  // namespace vx
