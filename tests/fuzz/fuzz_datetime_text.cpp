// Rooms: link shell calibration params
// The clock's date and time as text: the cell sent to the indicator (DateTimeToWire)
// and the date and time entry (its fields from a cell, its check, the cell it writes).
//
// Input: two bytes of a day for the entry's "today" (day of the year, year 2000-2099),
// then the cell text in the indicator's code page.
//
// Rules checked: the wire is 16 decimal digits whose groups are the cell's, in the
// order seconds, minutes, hours, 00, day, month, year, 00, and name a real moment;
// the entry's fields are at most two digits; what the entry accepts, the write
// sends, and a cell the write sends is accepted by the entry unchanged; the clock
// command reads a moment from exactly the cells the write sends, and shows it as the
// cell was (year 00 as well, which no write sends).

#include "FuzzInput.h"

#include "link/Cp1254.h"
#include "params/BlockCodec.h"
#include "params/Editing.h"
#include "params/IndicatorClock.h"

#include <QDate>
#include <QTime>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const QDate today = QDate(2000 + in.below(100), 1, 1).addDays(in.below(366));
    const QString cell = cp1254::decode(in.rest());

    const std::optional<QString> wire = DateTimeToWire(cell);
    const QDateTime moment = ClockCellTime(cell);
    // Year 00 is a moment the clock can show (2000), but never one that is written.
    FUZZ_CHECK(moment.isValid() == (wire.has_value() || (moment.isValid() && moment.date().year() == 2000)));
    if (moment.isValid())
        FUZZ_CHECK(ClockCellText(moment) == cell.left(19));
    if (wire) {
        FUZZ_CHECK(wire->size() == 16);
        for (QChar c : *wire)
            FUZZ_CHECK(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        FUZZ_CHECK(wire->mid(0, 2) == cell.mid(17, 2) && wire->mid(2, 2) == cell.mid(14, 2)
                   && wire->mid(4, 2) == cell.mid(11, 2) && wire->mid(6, 2) == QLatin1String("00")
                   && wire->mid(8, 2) == cell.mid(0, 2) && wire->mid(10, 2) == cell.mid(3, 2)
                   && wire->mid(12, 2) == cell.mid(6, 2) && wire->mid(14, 2) == QLatin1String("00"));
        FUZZ_CHECK(QDate(2000 + wire->mid(12, 2).toInt(), wire->mid(10, 2).toInt(), wire->mid(8, 2).toInt()).isValid());
        FUZZ_CHECK(QTime(wire->mid(4, 2).toInt(), wire->mid(2, 2).toInt(), wire->mid(0, 2).toInt()).isValid());
        // The entry opens on it and accepts it as it stands.
        const params::ClockFields fields = params::sspanel9_Default(cell, today);
        FUZZ_CHECK(params::sspanel9_Kontrol(fields) == params::ClockCheck::Ok);
        FUZZ_CHECK(params::sspanel9_gelen(fields) == cell.left(19));
    }

    const params::ClockFields fields = params::sspanel9_Default(cell, today);
    for (const QString &f : fields) {
        FUZZ_CHECK(f.size() <= 2);
        for (QChar c : f)
            FUZZ_CHECK(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    }
    const QString written = params::sspanel9_gelen(fields);
    FUZZ_CHECK(written.size() == 19);
    if (params::sspanel9_Kontrol(fields) == params::ClockCheck::Ok)
        FUZZ_CHECK(DateTimeToWire(written).has_value());
    else
        FUZZ_CHECK(!DateTimeToWire(written).has_value());
    return 0;
}
