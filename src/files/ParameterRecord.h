#pragma once
// The parameter rows in the configuration record: ParametreKaydet puts their display
// texts and raw numbers into ParameterRow1Text and the two parameter blocks,
// ParametreOku takes them back, field by field as the record's field table places the
// rows.
//
// How a field travels follows from its type and the row's kind:
//   a Text field                       the row's display text (padded, cut to 25); back as
//                                      the value that text shows when showing that value
//                                      gives the same bytes (a list text cut to 25 too),
//                                      else the text word for word, padding included
//   rows 10 and 27 ([207], [105])      the first character of the display text; back as
//                                      the code it names
//   rows 18, 20, 56, 69-72, 75, 76,    the row's raw number; back into it, and the grid
//   78, 79 (Int32 / Int16)             shows it as a read does (weights in the indicator's format)
//   rows 73, 74 (Int32)                the display text's whole number; back as that number
// A value that cannot be taken (no raw number, a text that is no whole number) leaves
// the field as it was.

#include <QString>
#include <optional>
#include <set>

namespace vx {

class LanguageTexts;
class ParameterSet;
struct ConfigurationRecord;

// ParameterRow1Text taken apart on load: the first "\" from the 11th character on
// splits it, row 1 getting what stands two characters before it and its weekday part
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

void ParametreKaydet(const ParameterSet &set, ConfigurationRecord &record);
// The same for the given rows only: every other
// byte of the record stays as it was (vextora-cli set changes a file row by row).
void ParametreKaydetRows(const ParameterSet &set, ConfigurationRecord &record, const std::set<int> &rows);
void ParametreOku(const ConfigurationRecord &record, ParameterSet &set, const LanguageTexts &texts);

}  // namespace vx
