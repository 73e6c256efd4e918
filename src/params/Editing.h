#pragma once
// Editing the parameter grid: which editor a row gets, what its list offers, how
// typed text is filtered, limited and carried into the row's value, the
// side effects of some choices, the move to the next editable row, and the date and
// time entry. The window's editors (Text1, Combo1, SSPanel9) call these; they hold
// no rule of their own.

#include "link/Model.h"
#include "params/Catalogue.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace vx {

class LanguageTexts;
class ParameterSet;

namespace params {

// The editor of a row for the connected model (the date-time row only on a ZR2).
Editor EditorFor(int row, Model model);

// The list of a row's editor, rebuilt each time it opens: the row's texts in code
// order, without those [200] or the model rule out.
QStringList EditorItems(int row, const ParameterSet &set, const LanguageTexts &texts, Model model);
// Whether the editor's list offers the item now ([200] and the model decide).
bool ItemOffered(const Item &item, const ParameterSet &set, Model model);

// Characters Text1 takes in a row: 6 for the weight rows (7 while the text holds a
// point), 6 for [410]/[420], 3 for [103], 2 for the one-byte numbers.
int TextLimit(int row, const QString &text);

// The character filter of Text1: a digit passes, "," or "." becomes "." while the
// text holds no point yet; anything else gives nothing.
std::optional<QChar> FilterCharacter(QChar typed, const QString &text);

// The next row down (step 1) or up (step -1) that has an editor and is shown;
// `row` itself when there is none.
int NextEditorRow(const ParameterSet &set, int row, int step, Model model);

// What a change of Text1 did.
struct TextChange {
    std::optional<QString> editorText;  // Text1 is to show this instead ([103] held to 5..9,9)
    bool refused = false;               // [410]/[420] above 65535: nothing changed
};
// Text1 changed to `typed` in `row`: the row's value follows ([410], [420] and the
// weight rows take the number the write sends).
TextChange ApplyText(ParameterSet &set, int row, const QString &typed);

// The port-function rows remember a choice of code 3 (PC communication) until the
// next choice.
struct PortFunctionWatch {
    bool pending = false;
    int row = -1;
};
struct ChoiceEffect {
    bool portFunctionWarning = false;  // show lines 373 and 374, title 379
};
// A list item chosen in `row`: the row takes its code, then [200] with code 1 forces
// rows 6, 7, 9, a port-function row may warn.
ChoiceEffect ApplyChoice(ParameterSet &set, PortFunctionWatch &watch, int row, const QString &item,
                         const LanguageTexts &texts);

// ---- the date and time entry (SSPanel9) -----------------------------------------

// Text13_0..5: day, month, year (two digits), hours, minutes, seconds.
using ClockFields = std::array<QString, 6>;

// The fields for a cell: today's date and 00:00:00 for an empty cell, else the two
// characters of each group of "DD-MM-YY \ hh:mm:ss".
ClockFields sspanel9_Default(const QString &cell, const QDate &today);

enum class ClockCheck {
    Ok,
    BadRange,       // day not 1-31, month not 1-12 or year 0: language text 385
    NotInCalendar,  // a day the month does not have (31 April, 29 February 2027)
    BadTime,        // hours above 23, minutes or seconds above 59
};
ClockCheck sspanel9_Kontrol(const ClockFields &fields);

// The cell text of the fields, each padded to two digits: "07-03-26 \ 09:05:00".
QString sspanel9_gelen(const ClockFields &fields);

}  // namespace params
}  // namespace vx
