#pragma once
// The parameter set: the values of the 84 grid rows as the indicator stores them
// (params/RowValue.h), their captions (column 0), which rows the grid hides, and the
// language and weight format their display texts are made with. The window shows it
// in a table view (Grid1 index 2); the reader, the writer, the editors, the
// configuration file and vextora-cli all work on this one object. It needs no widget.

#include "link/Model.h"
#include "link/WeightFormat.h"
#include "params/Catalogue.h"
#include "params/RowValue.h"
#include "shell/LanguageTexts.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <optional>

namespace vx {

class ParameterSet : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RowCount = params::RowCount;
    static constexpr int ColumnCount = 2;
    // The catalogue's kind of each row, for views that style header and section rows.
    static constexpr int KindRole = Qt::UserRole + 1;
    using Values = std::array<RowValue, RowCount>;

    explicit ParameterSet(QObject *parent = nullptr);

    // Column 1 of a row: the value as the grid shows it, made from the row's value.
    QString value(int row) const;
    // A display text into the row: the value it shows (a list text its code, "12,5"
    // the raw weight), or the text itself when it shows none.
    void setValue(int row, const QString &text);
    QString caption(int row) const { return cell(row, 0); }
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);

    // The typed values.
    const RowValue &rowValue(int row) const;
    void setRowValue(int row, const RowValue &value);
    const Values &values() const { return m_values; }
    void setValues(const Values &values);

    // [200] holds code 1: the lists of [203], [204] and [206] are shortened.
    bool param200On() const;
    // The weekday part written after row 1's text (" \ Thursday"): of the last clock
    // read in the current language, or as a file kept it.
    QString clockSuffix() const;
    void setClockSuffix(const QString &suffix);
    // The clock's text and weekday part of a read (" \ Thursday" in the current language).
    void setClock(const QString &text, const QString &weekdayPart);

    // Rows the grid hides (height 0). The values of hidden rows are read, kept and
    // written like any other.
    bool isHidden(int row) const;
    void setHidden(int row, bool hidden);
    // Hides the rows the catalogue hides for this model, shows the others.
    void applyModel(Model model);
    Model model() const { return m_model; }

    // The language the display texts are made in; a change shows every value again.
    void setTexts(const LanguageTexts &texts);
    const LanguageTexts &texts() const { return m_texts; }
    // How weights are shown and typed (from the indicator's range; empty: raw digits).
    WeightFormat weight;
    // While a write runs the weight rows show their raw digits.
    void setWeightsRaw(bool raw);

    // Every value emptied (a new working set); captions stay.
    void clearValues();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void hiddenChanged(int row, bool hidden);

private:
    void valueChanged(int row);
    void allValuesChanged();

    std::array<QString, RowCount> m_captions;
    std::array<QString, RowCount> m_fixed;  // column 1 of the header and section rows
    Values m_values{};
    std::array<bool, RowCount> m_hidden{};
    LanguageTexts m_texts;
    bool m_weightsRaw = false;
    Model m_model = Model::None;
};

// LayOutGrid for index 2: the captions in the language given, the section titles,
// the header row and the rows hidden for the model; the values are shown in that
// language from now on.
void LayOutGrid(ParameterSet &set, const LanguageTexts &texts, Model model);

}  // namespace vx
