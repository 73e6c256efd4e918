#pragma once
// Parameter rows changed from a script (vextora-cli set): KEY=VALUE words checked
// against the rows they name (params/ScriptValue.h) and entered as the grid's editors
// enter them, then either written into a configuration file, field by field, so that
// every byte of the file but those of the rows changed stays as it was, or sent to
// the connected indicator by the selective send.
//
//   std::vector<Assignment> a; QString bad;
//   if (!ParseAssignments(words, &a, &bad)) ... usage
//   const FileEdit edit = SetRowsInFile(path, a, texts);

#include "link/Model.h"
#include "link/WeightFormat.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <set>
#include <vector>

namespace vx {

class LanguageTexts;
class ParameterSet;

struct Assignment {
    QString key;
    QString value;
};
// "KEY=VALUE" words; false with the first word that is none in `bad`.
bool ParseAssignments(const QStringList &words, std::vector<Assignment> *out, QString *bad);

struct RowChange {
    int row = 0;
    QString before, after;  // the cells as the grid shows them
};

struct ScriptEdit {
    // Why nothing was changed: the usage message ("[101] ...: takes ..."); empty when the
    // assignments were all taken.
    QString refused;
    // Every row whose value changed, the assigned ones and those [200] forces, in row order.
    std::vector<RowChange> changes;
    std::set<int> rows;  // the rows assigned (to send or write, changed or not)
    bool ok() const { return refused.isEmpty(); }
};

// Enters the assignments into `set` in their order (a later one for the same row wins).
// On the first one refused, `set` is left as it was and nothing is changed.
ScriptEdit ApplyAssignments(ParameterSet &set, const std::vector<Assignment> &assignments, const LanguageTexts &texts,
                            Model model);

// The weight format a configuration's own range codes give (rows 63-66: 1st capacity,
// 1st division, 2nd capacity, 2nd division, as the calibration block holds them);
// nothing when they name no range of the lists.
std::optional<WeightFormat> RangeOfParameters(const ParameterSet &set);
// A file's parameters shown in that range: the weight format set and the weight rows
// shown in it, as the window shows them once it knows the indicator's range. False
// (nothing changed) when the codes name no range.
bool UseOwnRange(ParameterSet &set);

struct FileEdit {
    enum class Failure { None, Usage, Read, Write };
    Failure failure = Failure::None;
    QString message;  // why it failed
    ScriptEdit edit;
};

// The file's parameter rows changed and the file written again through the checked
// write: only the fields of the rows that changed are new (a file longer than its
// record keeps the bytes after it). The file is taken as a ZR2's (every row), with
// the weights in the decimals its own range codes give. Nothing is written when an
// assignment is refused (Usage) or nothing changed.
FileEdit SetRowsInFile(const QString &path, const std::vector<Assignment> &assignments, const LanguageTexts &texts);

}  // namespace vx
