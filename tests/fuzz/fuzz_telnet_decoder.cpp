// Rooms: link
// What a Telnet serial server (RFC 2217) sends: the client's Telnet session takes it in
// pieces of any size, after its opening or not.
//
// Input: one byte of settings (bit 0: the opening was sent first; bits 1-7: the size of
// the pieces, 1 to 128), then the bytes as they came off the network.
//
// Rules checked: the data never holds more bytes than came; the same bytes give the
// same data and the same answers however they are cut; an answer is only ever whole
// negotiations (IAC, a verb, an option), at most one for each three bytes taken; the
// data is exactly the input with the protocol taken out (so plain text without 0xFF
// comes through unchanged).

#include "FuzzInput.h"

#include "link/Telnet.h"

using namespace vx;

namespace {

struct Outcome {
    QByteArray data;
    QByteArray replies;
};

Outcome run(const QByteArray &bytes, bool opening, int piece)
{
    telnet::Session session;
    if (opening)
        session.opening();
    Outcome out;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        out.replies += session.feed(bytes.mid(at, piece), out.data);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const bool opening = (setup & 1) != 0;
    const int piece = 1 + (setup >> 1);
    const QByteArray bytes = in.rest();

    const Outcome cut = run(bytes, opening, piece);
    const Outcome whole = run(bytes, opening, int(bytes.size()) + 1);
    FUZZ_CHECK(cut.data == whole.data);
    FUZZ_CHECK(cut.replies == whole.replies);
    FUZZ_CHECK(cut.data.size() <= bytes.size());
    FUZZ_CHECK(cut.replies.size() % 3 == 0);
    FUZZ_CHECK(cut.replies.size() <= bytes.size());
    for (qsizetype i = 0; i < cut.replies.size(); i += 3) {
        FUZZ_CHECK(quint8(cut.replies[i]) == telnet::Iac);
        const quint8 verb = quint8(cut.replies[i + 1]);
        FUZZ_CHECK(verb == telnet::Will || verb == telnet::Wont || verb == telnet::Do || verb == telnet::Dont);
    }
    if (!bytes.contains(char(0xFF)) && !bytes.contains('\0'))
        FUZZ_CHECK(cut.data == bytes);
    return 0;
}
