// Rooms: link shell memory
// ID record answers: a register 105 answer decoded as "ID" with the byte count the
// read asked for, then taken apart into number and name as the ID read does; and
// the parsing alone on any text.
//
// Input: one byte of settings (bit 0 checksum on, bit 1 an address "05"), then the
// answer as it came off the line.
//
// Rules checked: a record comes only from a whole answer; a whole answer always
// gives a record; a number is empty or a whole decimal number other than -1 and 0;
// a name has at most 16 characters, no NUL and no trailing blank.

#include "FuzzInput.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "memory/IdMemory.h"

#include <QRegularExpression>

using namespace vx;

namespace {
void checkRecord(const IdRecordText &record)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    FUZZ_CHECK(record.number.isEmpty() || number.match(record.number).hasMatch());
    FUZZ_CHECK(record.number != QLatin1String("-1") && record.number != QLatin1String("0"));
    FUZZ_CHECK(!record.number.isEmpty() || record.name.isEmpty());
    FUZZ_CHECK(!record.name.contains(QChar(u'\0')));
    FUZZ_CHECK(!record.name.endsWith(QLatin1Char(' ')));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const bool checksumOn = (setup & 1) != 0;
    const QString address = (setup & 2) ? QStringLiteral("05") : QString();
    const QString answer = cp1254::decode(in.rest());

    DecodeContext ctx;
    const QVariant value = DecodeAnswer(answer, "ID", address, checksumOn, 105, ctx, 24);
    FUZZ_CHECK(!value.isValid() || IsCompleteReadAnswer(answer, address, checksumOn, 24));
    if (value.isValid()) {
        const std::optional<IdRecordText> record = ParseIdRecord(value.toString());
        FUZZ_CHECK(record.has_value());
        checkRecord(*record);
        FUZZ_CHECK(record->name.size() <= IdNameWidth);
    }

    // Any text at all, as a damaged decoder could hand it on.
    if (const std::optional<IdRecordText> record = ParseIdRecord(answer))
        checkRecord(*record);
    return 0;
}
