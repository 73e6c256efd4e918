#include "sim/Wire.h"

#include <array>

namespace vx::sim::wire {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Windows-1254 bytes 0x80..0x9F and the six letters that differ from Latin-1.
constexpr std::array<char16_t, 32> kRow80 = {
    u'€', 0x81,  u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0x8D, 0x8E, 0x8F,
    0x90, u'‘', u'’', u'“', u'”', u'•', u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', 0x9D, 0x9E, u'Ÿ',
};
struct Letter {
    unsigned char byte;
    char16_t ch;
};
constexpr std::array<Letter, 6> kTurkish = {{
    {0xD0, u'Ğ'}, {0xDD, u'İ'}, {0xDE, u'Ş'}, {0xF0, u'ğ'}, {0xFD, u'ı'}, {0xFE, u'ş'},
}};

char16_t charOf(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0)
        return kRow80[b - 0x80];
    for (const Letter &l : kTurkish)
        if (l.byte == b)
            return l.ch;
    return b;
}

}  // namespace

QByteArray hexNumber(quint32 value, int width)
{
    QByteArray out(width, '0');
    for (int i = width - 1; i >= 0 && value != 0; --i, value >>= 4)
        out[i] = kDigits[value & 0xF];
    return out;
}

QByteArray hexBytes(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        out.append(kDigits[quint8(c) >> 4]);
        out.append(kDigits[quint8(c) & 0xF]);
    }
    return out;
}

std::optional<QByteArray> bytesOfHex(const QByteArray &text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size() / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const int hi = digitValue(text[i]);
        const int lo = digitValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.append(char(hi * 16 + lo));
    }
    return out;
}

QByteArray checksum(const QByteArray &body)
{
    quint8 sum = 0;
    for (const char b : bytesOfHex(body).value_or(QByteArray()))
        sum = quint8(sum + quint8(b));
    return hexNumber(quint8(0x100 - sum), 2);
}

QString decodeText(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes)
        out.append(QChar(charOf(quint8(b))));
    return out;
}

QByteArray encodeText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        char byte = '?';
        for (int b = 0; b < 256; ++b) {
            if (charOf(quint8(b)) == c.unicode()) {
                byte = char(b);
                break;
            }
        }
        out.append(byte);
    }
    return out;
}

}  // namespace vx::sim::wire
