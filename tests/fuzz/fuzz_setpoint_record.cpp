// Rooms: link shell memory
// Setpoint records both ways: a register 117 answer decoded as "STP" with the byte
// count the read asked for and shown at 0..6 decimals; and any text as a grid cell
// turned into the number the write carries.
//
// Input: one byte of settings (bit 0 checksum on, bits 1-3 the decimals 0..7), a
// byte giving the length of the cell text, the cell text, then the answer.
//
// Rules checked: three numbers come only from a whole answer and always from one;
// a cell text that is taken goes as at most six digits, so its write text (a blank
// or a minus sign and the digits) fits the 7 characters of the write; a refused one
// has a reason; shown from a record and collected again it goes as the same number
// or is refused the same way.

#include "FuzzInput.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "memory/SetpointMemory.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const bool checksumOn = (setup & 1) != 0;
    const int decimals = (setup >> 1) & 7;
    const QString cell = cp1254::decode(in.take(in.byte()));
    const QString answer = cp1254::decode(in.rest());

    DecodeContext ctx;
    const QVariant value = DecodeAnswer(answer, "STP", QString(), checksumOn, 117, ctx, 14);
    FUZZ_CHECK(!value.isValid() || IsCompleteReadAnswer(answer, QString(), checksumOn, 14));
    if (value.isValid()) {
        const auto numbers = ParseSetpointRecord(value.toString());
        FUZZ_CHECK(numbers.has_value());
        for (const qint64 n : *numbers) {
            FUZZ_CHECK(n >= -2147483648LL && n <= 2147483647LL);
            const QString shown = SetpointShown(n, decimals);
            FUZZ_CHECK(!shown.isEmpty());
            FUZZ_CHECK(decimals == 0 || shown.contains(QLatin1Char(',')));
        }
    }
    (void)ParseSetpointRecord(answer);

    const SetpointWire wire = SetpointWireValue(cell, decimals);
    if (wire.ok()) {
        FUZZ_CHECK(wire.value >= -999999 && wire.value <= 999999);
        FUZZ_CHECK(SetpointWireText(wire.value).size() <= 7);
    } else {
        FUZZ_CHECK(wire.fault == SetpointFault::NotANumber || wire.fault == SetpointFault::TooManyDigits);
    }

    // The cell as a file's record shows it and a send collects it again goes as the
    // same number, and one too long for the write stays refused (never shown as 0).
    SetpointMemoryBlock block;
    block.Setpoint1[0] = cell;
    SetpointMemory memory;
    SetpointOku(block, memory);
    const SetpointWire again = SetpointWireValue(memory.value(0, 0), decimals);
    if (wire.ok())
        FUZZ_CHECK(again.ok() && again.value == wire.value);
    if (wire.fault == SetpointFault::TooManyDigits)
        FUZZ_CHECK(again.fault == SetpointFault::TooManyDigits);
    return 0;
}
