#pragma once
// One parameter set from a script (vextora-cli set): the row a key names and the
// value as the grid's editors take it, with the same effects. A key is a parameter
// code ("101") or a grid row ("row:18"); codes 211, 212 and 300 stand on two rows each,
// so such a code names no row and the rows are told. A value is what the editor
// would end with: a choice's number, a byte's digits, tenths ("7.5"), a weight in kg
// in the indicator's decimals, a word 0..65535. Nothing is clamped or cut: a value
// the row does not take is refused with the reason.

#include "link/Model.h"

#include <QString>
#include <optional>
#include <vector>

namespace vx {

class LanguageTexts;
class ParameterSet;

namespace params {

struct RowLookup {
    int row = -1;           // the row the key names; -1 when it names none
    std::vector<int> rows;  // a code that stands on several rows: all of them
    bool ambiguous() const { return rows.size() > 1; }
};
RowLookup FindRowByKey(const QString &key);

// Whether a script may set the row on this model: a row the grid edits and shows for
// the model, the clock excepted (it has its own command).
bool ScriptSettable(int row, Model model);

// The row as the grid shows its code and caption: "[101] Preset capacity" or "row 82".
QString RowName(int row, const LanguageTexts &texts);

// `value` into `row` as the editor would put it (the cell and what the row keeps
// beside the grid, [200]'s effect on rows 6, 7 and 9 included). Nothing when taken;
// otherwise why not, and the set is unchanged.
std::optional<QString> EnterScriptValue(ParameterSet &set, int row, const QString &value, const LanguageTexts &texts,
                                        Model model);

}  // namespace params
}  // namespace vx
