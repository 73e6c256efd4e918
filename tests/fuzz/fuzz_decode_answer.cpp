// Rooms: link
// Answers from the line: DecodeAnswer for every read tag, with the address, checksum
// setting taken from the input, and the whole-frame check behind it.
//
// Input: one byte of settings (bit 0 checksum on; bits 1-2 the address: none, "00",
// two digits from the next byte, or the next 3 bytes as typed text), a byte that once
// chose the tab (read and ignored, so stored inputs keep their meaning), a byte for
// the byte count asked for (-1..254), a byte for the register, then the answer as it came off the line.
//
// Rules checked: a value comes only from a whole frame of the count asked for; a
// whole frame starts with "@", ends with CR and its data matches its byte count;
// whatever came and is not a whole frame is logged exactly once, a whole frame at
// most once (checksum).

#include "FuzzInput.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "link/Transaction.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const bool checksumOn = (setup & 1) != 0;
    QString address;
    switch ((setup >> 1) & 3) {
    case 0:
        break;
    case 1:
        address = QStringLiteral("00");
        break;
    case 2:
        address = PadLeftZeros(qint64(in.byte() % 100), 2);
        break;
    default:
        address = cp1254::decode(in.take(3));
        break;
    }
    in.below(9);  // once the tab
    const int askedCount = int(in.byte()) - 1;
    const int reg = in.byte();
    const QString answer = cp1254::decode(in.rest());

    const ReadAnswer parsed = ParseReadAnswer(answer, address, checksumOn);
    FUZZ_CHECK(parsed.complete() == IsCompleteReadAnswer(answer, address, checksumOn));
    FUZZ_CHECK((parsed.fault == AnswerFault::Missing) == answer.isEmpty());
    if (parsed.complete()) {
        FUZZ_CHECK(answer.startsWith(QLatin1Char(FrameStart)) && answer.endsWith(QLatin1Char(FrameEnd)));
        FUZZ_CHECK(parsed.data.size() == 2 * parsed.byteCount);
        FUZZ_CHECK(answer.size() <= ReadAnswerLength(address, parsed.byteCount, checksumOn));
        FUZZ_CHECK(!checksumOn || parsed.receivedChecksum.size() == 2);
    }
    const ReadAnswer asked = ParseReadAnswer(answer, address, checksumOn, askedCount);
    FUZZ_CHECK(!asked.complete() || (parsed.complete() && (askedCount < 0 || asked.byteCount == askedCount)));

    static const QStringList weekdays = {QStringLiteral("Pazartesi"), QStringLiteral("Salı"),
                                         QStringLiteral("Çarşamba"), QStringLiteral("Perşembe"),
                                         QStringLiteral("Cuma"), QStringLiteral("Cumartesi"), QStringLiteral("Pazar")};
    for (const ReadKind kind : ReadTag::All) {
        DecodeContext ctx;
        ctx.weekdayNames = weekdays;
        int lines = 0;
        ctx.log = [&lines](const QString &line) {
            FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
            ++lines;
        };
        const QVariant value = DecodeAnswer(answer, kind, address, checksumOn, reg, ctx, askedCount);
        FUZZ_CHECK(!value.isValid() || asked.complete());
        if (asked.complete())
            FUZZ_CHECK(lines == (checksumOn && !asked.checksumMatches() ? 1 : 0));
        else
            FUZZ_CHECK(lines == (asked.fault == AnswerFault::Missing ? 0 : 1));
    }

    // The write acknowledgement is read from the same kind of text.
    FUZZ_CHECK(Cevap(address, answer).size() <= 6);
    FUZZ_CHECK(PrintableAnswer(answer).size() <= 4 * 200 + 3);
    return 0;
}
