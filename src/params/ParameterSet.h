#pragma once
// The parameter set: the value texts of the 84 grid rows (column 1), their captions
// (column 0), which rows the grid hides, and the values kept beside the grid (the
// companions). The window shows it in a table view (Grid1 index 2); the reader,
// the writer, the editors, the configuration file and vextora-cli all work on this
// one object. It needs no widget.

#include "link/Model.h"
#include "link/WeightFormat.h"
#include "params/Catalogue.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <optional>

namespace vx {

class LanguageTexts;

// The values held outside the cells: raw forms of rows shown converted, and the
// flags and codes other work consults.
struct ParameterCompanions {
    // Raw signed values of [101], [104], [045] (elements 0-2 of RawWeightValues)...
    std::array<std::optional<qint64>, 3> RawWeightValues;
    // ...and the display texts of rows 18, 20, 56 kept while a write runs (elements 3-5).
    std::array<QString, 3> RawWeightSavedTexts;
    std::array<QString, 3> PortParityTexts;  // display texts of [004], [014], [025]
    QString Param049Text;                     // display text of [049]
    std::optional<int> Param410Value;         // [410], 0..65535: the write takes this, not the cell
    std::optional<int> Param420Value;         // [420], likewise
    std::optional<int> TiltCode;              // code of [207] as last read or chosen
    std::optional<int> FillingCode;           // code of [105]
    bool Param200On = false;                  // [200] has code 1: shortens the lists of [203], [204], [206]
    bool AnalogTypeFlag = false;              // configuration byte 92 is not zero
    // Raw signed values of rows 69, 70, 71, 72, 75, 76: the write takes these.
    std::array<std::optional<qint64>, 6> CalibrationRawValues;
    // The weekday part kept by the last date-time read (" \ Thursday"): what follows
    // row 1's text when the clock is written, and row 1's suffix in a configuration file.
    QString WeekdayText;

    friend bool operator==(const ParameterCompanions &, const ParameterCompanions &) = default;
};

class ParameterSet : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RowCount = params::RowCount;
    static constexpr int ColumnCount = 2;
    // The catalogue's kind of each row, for views that style header and section rows.
    static constexpr int KindRole = Qt::UserRole + 1;

    explicit ParameterSet(QObject *parent = nullptr);

    // Column 1 of a row: the value as the grid shows it.
    QString value(int row) const { return cell(row, 1); }
    void setValue(int row, const QString &text) { setCell(row, 1, text); }
    QString caption(int row) const { return cell(row, 0); }
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);

    // Rows the grid hides (height 0). The values of hidden rows are read, kept and
    // written like any other.
    bool isHidden(int row) const;
    void setHidden(int row, bool hidden);
    // Hides the rows the catalogue hides for this model, shows the others.
    void applyModel(Model model);
    Model model() const { return m_model; }

    ParameterCompanions &companions() { return m_companions; }
    const ParameterCompanions &companions() const { return m_companions; }

    // How weights are shown and typed (from the indicator's range; empty: raw digits).
    WeightFormat weight;

    // Every value and companion emptied (a new working set); captions stay.
    void clearValues();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void hiddenChanged(int row, bool hidden);

private:
    std::array<std::array<QString, ColumnCount>, RowCount> m_cells;
    std::array<bool, RowCount> m_hidden{};
    ParameterCompanions m_companions;
    Model m_model = Model::None;
};

// LayOutGrid for index 2: the captions in the language given, the section titles,
// the header row and the rows hidden for the model. Values are left as they are.
void LayOutGrid(ParameterSet &set, const LanguageTexts &texts, Model model);

// After a language change: every choice row whose value is the text of one of its
// items (or its other text) in `before` gets that item's text in `after`, and so do
// the display texts kept beside the grid ([004], [014], [025], [049]) and the weekday
// kept with row 1, and the model's name in row 82. Values that are no such text (typed, or from another language)
// stay as they are; the codes they stand for do not change.
void RetranslateValues(ParameterSet &set, const LanguageTexts &before, const LanguageTexts &after);

}  // namespace vx
