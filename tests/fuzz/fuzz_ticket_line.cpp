// Rooms: link shell memory
// Ticket lines both ways: the answer for one of the six line registers decoded with
// every byte kept and turned into the line's text, whatever tab is shown; and any
// text stored as a line and shown again.
//
// Input: one byte of settings (bit 0 checksum on, bits 1-3 the line 0..5, bit 4
// centred), a byte giving the length of the line text, the line text, then the answer.
//
// Rules checked: a line comes only from a whole answer of its byte count and holds
// at most 21 characters, no NUL and no line feed; a stored line is 21 characters
// (20 and a NUL when the text has at most 20); a line of at most 20 characters
// without a NUL, stored, shown and stored again, is stored the same (centring is
// done once); a line of exactly 20 characters is stored as it is, blanks and all.

#include "FuzzInput.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "memory/TicketLayout.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const bool checksumOn = (setup & 1) != 0;
    const TicketLineSlot &slot = TicketLineSlots[size_t(((setup >> 1) & 7) % TicketLineCount)];
    const bool centred = (setup & 16) != 0;
    const QString text = cp1254::decode(in.take(in.byte()));
    const QString answer = cp1254::decode(in.rest());

    DecodeContext ctx;
    const QVariant value = DecodeAnswer(answer, "Tx1", QString(), checksumOn, slot.reg, ctx, slot.byteCount);
    FUZZ_CHECK(!value.isValid() || IsCompleteReadAnswer(answer, QString(), checksumOn, slot.byteCount));
    if (value.isValid()) {
        const QString line = TicketLineText(value.toString(), slot.leadingNul);
        FUZZ_CHECK(line.size() <= StoredLineWidth);
        FUZZ_CHECK(!HasNul(line));
        FUZZ_CHECK(!line.contains(QLatin1Char('\n')));
    }

    const QString stored = AlignedTicketLine(text, centred);
    FUZZ_CHECK(stored.size() == StoredLineWidth);
    const QString shown = ShownTicketLine(stored, centred);
    FUZZ_CHECK(shown.size() <= TicketLineWidth && !HasNul(shown));
    if (text.size() <= TicketLineWidth && !HasNul(text)) {
        FUZZ_CHECK(stored.endsWith(Nul));
        FUZZ_CHECK(AlignedTicketLine(shown, centred) == stored);
    }
    // A whole line (as a read from the indicator gives it) is stored as it is.
    if (text.size() == TicketLineWidth && !HasNul(text))
        FUZZ_CHECK(stored == text + Nul);
    return 0;
}
