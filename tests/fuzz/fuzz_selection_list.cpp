// Rooms: link shell calibration params memory monitor files
// The list of rows a selective send takes (vextora-cli send --only): typed text.
//
// Input: the list as UTF-8.
//
// Rules checked: a list is either refused with the word that is wrong (a word of the
// list) or gives units that can all be sent: parameter rows that a write carries and
// that are neither the clock nor the raw calibration, records and lines in range;
// its groups are in the send's order and every unit belongs to one of them.

#include "FuzzInput.h"

#include "files/SelectiveSend.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const QString list = QString::fromUtf8(in.rest());
    QString bad;
    const std::optional<Selection> s = ParseSelection(list, &bad);
    if (!s) {
        FUZZ_CHECK(list.contains(bad.trimmed(), Qt::CaseInsensitive));
        return 0;
    }
    FUZZ_CHECK(!s->empty());
    for (int row : s->parameterRows) {
        FUZZ_CHECK(row > 1 && row < params::RowCount);
        const params::Row &r = params::RowAt(row);
        FUZZ_CHECK(r.group == params::Group::Jmp || r.group == params::Group::Nrm
                   || r.group == params::Group::Calibration);
        FUZZ_CHECK(!(row >= 69 && row <= 76));
    }
    for (int i : s->idRecords)
        FUZZ_CHECK(i >= 0 && i < IdRecordCount);
    for (int i : s->idHeaders)
        FUZZ_CHECK(i >= 0 && i < IdHeaderCount);
    for (int i : s->setpointRecords)
        FUZZ_CHECK(i >= 0 && i < SetpointRecordCount);
    const std::vector<BatchGroup> groups = SelectionGroups(*s);
    FUZZ_CHECK(!groups.empty());
    for (std::size_t i = 1; i < groups.size(); ++i)
        FUZZ_CHECK(int(groups[i - 1]) < int(groups[i]));
    return 0;
}
