// Rooms: link shell calibration
// The metrology profile reader: any bytes a user may put in SGMetrolojik.txt,
// MTMetrolojik.txt or Normal.txt.
//
// Rules checked: nothing is stored outside rows 0..86 and columns 0..7; every stored
// item is a non-empty field without ";", line breaks or surrounding blanks, and ends
// in "Kg"; a row's divisions are at most seven; reading the same bytes twice gives
// the same table; the twin combo text of an item is never longer than the item.

#include "FuzzInput.h"

#include "calibration/MetrologyProfile.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const MetrologyTable table = ParseMetrologyProfile(bytes);
    const MetrologyTable again = ParseMetrologyProfile(bytes);

    for (int row = -1; row <= MetrologyRowCount + 1; ++row) {
        for (int column = -1; column <= MetrologyColumnCount + 1; ++column) {
            const QString item = table.cell(row, column);
            FUZZ_CHECK(item == again.cell(row, column));
            const bool inside = row >= 0 && row < MetrologyRowCount && column >= 0 && column < MetrologyColumnCount;
            if (!inside) {
                FUZZ_CHECK(item.isEmpty());
                continue;
            }
            if (item.isEmpty())
                continue;
            FUZZ_CHECK(item.endsWith(QStringLiteral("Kg")));
            FUZZ_CHECK(!item.contains(QLatin1Char(';')));
            FUZZ_CHECK(!item.contains(QLatin1Char('\r')) && !item.contains(QLatin1Char('\n')));
            FUZZ_CHECK(item == item.trimmed());
            FUZZ_CHECK(ItemDisplayText(item).size() <= item.size());
        }
        FUZZ_CHECK(table.divisions(row).size() <= MetrologyColumnCount - 1);
        FUZZ_CHECK(table.divisionCodes(row).size() <= size_t(table.divisions(row).size()));
    }
    return 0;
}
