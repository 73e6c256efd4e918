#pragma once
// The difference of two working sets: the indicator and a file, or two files. Values
// are compared as they travel (a parameter row by the number its block carries, a
// setpoint as a number, an ID record by its number and name), never by the texts a
// language gives them, and each difference is keyed by what it is on the indicator:
// a parameter row by its row number and code, a record by its index, a ticket line
// by its place. Captions are added only when a difference is shown.
//
// Left out: the clock row [140] (it always differs) and the identification rows 82
// and 83 (read-only texts of the indicator). The preset tares live in files only and
// are compared between two files. The raw calibration values (rows 69-72 and 74-76)
// form one difference of their own, "calibration (raw zero and span)": they are
// sent as one unit or not at all.

#include "files/WorkingSet.h"

#include <QJsonArray>
#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

namespace vx {

class TextService;

enum class CompareScope {
    FileVsFile,       // a and b are files: preset tares compared, lines aligned on both sides
    IndicatorVsFile,  // a is what was read from the indicator, b a file
};

// Which parts the two sets both hold (a ZR1 has no ID or setpoint memory; a read
// with the EPL printer has the EPL text and no ticket lines).
struct CompareParts {
    bool ticketLines = true;
    bool eplText = true;
    bool ids = true;
    bool setpoints = true;
    bool parameters = true;
};

enum class DifferenceKind {
    ParameterRow,    // index: the grid row; code: its code ("101")
    CalibrationRaw,  // the raw zero and span values, one unit
    IdRecord,        // index 0..100 (0, 1 the current IDs)
    IdHeader,        // index 0, 1
    SetpointRecord,  // index 0..8, all three values
    TicketLine,      // index 0..5: header 1-4, footnote 1-2
    EplText,
    PresetTare,      // index 0..98
};

struct Difference {
    DifferenceKind kind = DifferenceKind::ParameterRow;
    int index = 0;
    QString code = {};       // parameter rows: the code as the caption shows it
    QVariant a = {};         // the typed values (an invalid QVariant: empty)
    QVariant b = {};
    QString textA = {};      // the values as the pages show them
    QString textB = {};
    friend bool operator==(const Difference &, const Difference &) = default;
};
using Differences = std::vector<Difference>;

// Every difference, in the order of the pages: ticket lines, EPL text, ID headers and
// records, setpoint records, parameter rows (with the raw calibration after row 68),
// preset tares.
Differences Compare(const WorkingSet &a, const WorkingSet &b, CompareScope scope, const CompareParts &parts = {});

// The first column of a difference: "[101] Limit 1" (row number and caption), "ID Memory 3",
// "Header line 2", "calibration (raw zero and span)" ...
QString DifferenceLabel(const Difference &d, const TextService &texts);
// A stable key for scripts: "row:18", "calibration", "id:2", "idheader:0", "setpoint:4",
// "line:1", "epl", "tare:7".
QString DifferenceKey(const Difference &d);

// One line a difference (label, value of a, value of b, separated by tabs) under a
// heading line naming the two columns; for copying, saving and the tool.
QString DifferencesText(const Differences &differences, const TextService &texts, const QString &columnA,
                        const QString &columnB);
// The same as JSON: {"key", "kind", "row"/"index", "code", "label", "a", "b"} per difference.
QJsonArray DifferencesJson(const Differences &differences, const TextService &texts);

}  // namespace vx

namespace vx {

// ---- comparing what both sides hold ----
// A part one side holds and the other does not (never read, opened blank, not typed)
// is one line, "not in the file", instead of one difference a row; it cannot be sent.

// The parts a compare is limited to; all of them unless chosen.
struct PartChoice {
    std::array<bool, SetGroupCount> on{};
    static PartChoice all();
    bool has(SetGroup group) const { return on[std::size_t(group)]; }
};
// The names `send --groups` takes (header, id, setpoint, calibration, jmp, nrm,
// datetime) and "params" for calibration, jmp and nrm, comma-separated. Nothing, with
// the first name not known in `unknown`, for a name that is none of them.
std::optional<PartChoice> ParsePartChoice(const QString &list, QString *unknown);
QStringList PartChoiceNames();

struct PartNotHeld {
    SetGroup group = SetGroup::TicketLines;
    bool inA = false;  // which side holds it (the other does not)
    friend bool operator==(const PartNotHeld &, const PartNotHeld &) = default;
};

struct Comparison {
    Differences differences;           // of the parts both sides hold
    std::vector<PartNotHeld> notHeld;  // one a part only one side holds (and that differs)
    bool equal() const { return differences.empty(); }
};

// The part a difference belongs to (a read-only parameter row: none).
std::optional<SetGroup> PartOf(const Difference &d);

// Compare() of the parts chosen; a part that differs and that one side does not hold
// gives one PartNotHeld line instead of its differences. Against the indicator, side
// a (read whole) holds every part in `parts`; a file holds what its provenance says.
Comparison CompareHeld(const WorkingSet &a, const WorkingSet &b, CompareScope scope, const CompareParts &parts = {},
                       const PartChoice &chosen = PartChoice::all());

// The label of a part as the send panel names it ("ID ve ID Hafıza" ...).
QString PartLabel(SetGroup group, const TextService &texts);
// The text of the side that does not hold the part ("not in the file"), and empty for the other.
QString NotHeldText(const PartNotHeld &line, bool sideA, const TextService &texts);
// DifferencesText with a line for every part not held after the differences.
QString ComparisonText(const Comparison &comparison, const TextService &texts, const QString &columnA,
                       const QString &columnB);
// {"group", "label", "a", "b"} for every part not held.
QJsonArray NotHeldJson(const std::vector<PartNotHeld> &lines, const TextService &texts);

}  // namespace vx
