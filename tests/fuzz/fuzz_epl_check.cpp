// Rooms: link shell memory
// The EPL text check and what the write makes of a text: any text (the box, a file,
// the configuration record) through EplKontrol, EplTextToSend and the 250 chunks.
//
// Input: the text, Windows-1254.
//
// Rules checked: a text of 998 characters or more is left alone; otherwise the
// result begins with the text without its final CR LF pairs, adds at most
// "\r\nP1\r\n", and a second check changes nothing but final CR LF pairs (it
// prints); the text sent ends with CR LF; every chunk is 8 hex digits.

#include "FuzzInput.h"

#include "link/Cp1254.h"
#include "memory/TicketText.h"
#include "memory/Transfers.h"

using namespace vx;

namespace {
QString withoutFinalCrLf(QString text)
{
    while (text.size() > 2 && text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const QString text = cp1254::decode(in.rest());

    const QString checked = EplKontrol(text);
    if (text.size() >= 998) {
        FUZZ_CHECK(checked == text);
    } else {
        const QString base = withoutFinalCrLf(text);
        FUZZ_CHECK(checked.startsWith(base.left(base.size() - 1)));
        FUZZ_CHECK(checked.size() <= base.size() + 6);
        if (checked.size() < 998)
            FUZZ_CHECK(EplKontrol(checked) == withoutFinalCrLf(checked));
    }

    const QString sent = EplTextToSend(text);
    FUZZ_CHECK(sent.endsWith(QStringLiteral("\r\n")));
    for (int k = 0; k < EplWriteChunks; ++k) {
        const QString hex = EplChunkHex(sent, k);
        FUZZ_CHECK(hex.size() == 2 * EplWriteChunkBytes);
    }
    return 0;
}
