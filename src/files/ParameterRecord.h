#pragma once
// The parameter grid and its companions in the configuration record: ParametreKaydet
// puts them into ParameterRow1Text and the two parameter blocks, ParametreOku takes
// them back, field by field as the record's field table places the rows.
//
// How a field travels follows from its type and what the row keeps beside the grid:
//   a Text field of a plain row        the cell as it stands (padded, cut to 25); back as stored
//   rows 10 and 27 ([207], [105])      the first character of the cell; back into the held
//                                      code and the cell (the list text of that code)
//   row 60 ([049], Text(2))            the held text; back into it and the cell
//   rows 18, 20, 56, 69-72, 75, 76,    the held raw value; back into it, and the cell shows
//   78, 79 (Int32 / Int16)             it as a read does (weights in the indicator's format)
//   rows 73, 74 (Int32)                the cell's whole number; back as its decimal text
//   rows 33, 39, 46                    also copied into PortParityTexts, both ways
// A value that cannot be taken (no held value, a text that is no whole number)
// leaves the field as it was.

#include <QString>
#include <optional>
#include <set>

namespace vx {

class LanguageTexts;
class ParameterSet;
struct ConfigurationRecord;

// ParameterRow1Text taken apart on load: the first "\" from the 11th character on
// splits it, row 1 getting what stands two characters before it and the held suffix
// the rest from the blank before it. Without one, the suffix gets the whole text and
// row 1 stays as it is (no row1).
struct Row1Parts {
    std::optional<QString> row1;
    QString suffix;
};
Row1Parts SplitParameterRow1Text(const QString &text);
// ...and put together on save: row 1 and its suffix with the outer blanks removed;
// nothing (the field keeps its value) when both are empty.
std::optional<QString> JoinParameterRow1Text(const QString &row1, const QString &suffix);

void ParametreKaydet(ParameterSet &set, ConfigurationRecord &record);
// The same for the given rows only: every other
// byte of the record stays as it was (vextora-cli set changes a file row by row).
void ParametreKaydetRows(ParameterSet &set, ConfigurationRecord &record, const std::set<int> &rows);
void ParametreOku(const ConfigurationRecord &record, ParameterSet &set, const LanguageTexts &texts);

}  // namespace vx
