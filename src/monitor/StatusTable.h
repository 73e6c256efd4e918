#pragma once
// The status grid's data (Grid1 index 3): column 0 the row captions, column 1 the
// values. Rows 1-6 measured values, 7-18 operating status, 23-29 hardware status.
// The window shows it in a table view; the readers write into it.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <optional>

namespace vx {

class StatusTable : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RowCount = 30;
    static constexpr int ColumnCount = 2;

    explicit StatusTable(QObject *parent = nullptr);

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    void clearValues();

    // The raw values rows 1-3 show: a measured row is rewritten only when its value changed.
    std::array<std::optional<qint64>, 3> kept;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::array<std::array<QString, ColumnCount>, RowCount> m_cells;
};

}  // namespace vx
