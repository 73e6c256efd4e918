// Rooms: link shell calibration params memory monitor files
// Parameter rows set from a script (vextora-cli set): KEY=VALUE words as typed.
//
// Input: the words as UTF-8, one a line; the first byte chooses the model (even: ZR2,
// odd: ZR1) and whether the weights have a range (0,1 kg steps) or none.
//
// Rules checked: words that are no KEY=VALUE are refused with one of them; assignments
// either all go in, changing only rows a script may set (and those [200] forces), or
// one is refused with its reason and the set is exactly as it was.

#include "FuzzInput.h"

#include "files/ScriptEdit.h"
#include "params/ParameterSet.h"
#include "params/Range.h"
#include "params/ScriptValue.h"
#include "shell/LanguageTexts.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const int choice = in.below(4);
    const Model model = choice % 2 == 0 ? Model::ZR2 : Model::ZR1;
    const QStringList words = QString::fromUtf8(in.rest()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

    std::vector<Assignment> assignments;
    QString bad;
    if (!ParseAssignments(words, &assignments, &bad)) {
        FUZZ_CHECK(words.contains(bad));
        return 0;
    }
    const LanguageTexts texts;
    ParameterSet set;
    LayOutGrid(set, texts, model);
    if (choice >= 2)
        set.weight = *DeriveWeightFormat(QStringLiteral("300"), QStringLiteral("0.1"));
    std::vector<QString> before;
    for (int r = 0; r < ParameterSet::RowCount; ++r)
        before.push_back(set.value(r));
    const ParameterSet::Values values = set.values();

    const ScriptEdit edit = ApplyAssignments(set, assignments, texts, model);
    if (!edit.ok()) {
        FUZZ_CHECK(edit.changes.empty() && edit.rows.empty());
        for (int r = 0; r < ParameterSet::RowCount; ++r)
            FUZZ_CHECK(set.value(r) == before[std::size_t(r)]);
        FUZZ_CHECK(set.values() == values);
        return 0;
    }
    for (int row : edit.rows)
        FUZZ_CHECK(params::ScriptSettable(row, model));
    for (const RowChange &c : edit.changes) {
        FUZZ_CHECK(c.before == before[std::size_t(c.row)] && c.after == set.value(c.row));
        FUZZ_CHECK(edit.rows.contains(c.row) || c.row == 6 || c.row == 7 || c.row == 9);
    }
    return 0;
}
