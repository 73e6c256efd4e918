#include "link/Cp1254.h"

#include <array>

namespace vx::cp1254 {
namespace {

// 0x80..0x9F. The five bytes the code page leaves undefined map to the C1 control
// of the same value (as Windows does), so every byte survives a round trip: status
// words are bit fields and may hold any byte.
constexpr std::array<char16_t, 32> kHigh80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,
};

// 0xA0..0xFF are Latin-1 except six Turkish letters.
char16_t latinRow(unsigned char b)
{
    switch (b) {
    case 0xD0: return 0x011E;  // Ğ
    case 0xDD: return 0x0130;  // İ
    case 0xDE: return 0x015E;  // Ş
    case 0xF0: return 0x011F;  // ğ
    case 0xFD: return 0x0131;  // ı
    case 0xFE: return 0x015F;  // ş
    default: return b;
    }
}

}  // namespace

QChar toUnicode(unsigned char byte)
{
    if (byte < 0x80)
        return QChar(byte);
    if (byte < 0xA0)
        return QChar(kHigh80[byte - 0x80]);
    return QChar(latinRow(byte));
}

unsigned char fromUnicode(QChar ch, bool *ok)
{
    const char16_t u = ch.unicode();
    if (ok)
        *ok = true;
    if (u < 0x80)
        return static_cast<unsigned char>(u);
    for (int b = 0x80; b <= 0xFF; ++b) {
        const QChar c = toUnicode(static_cast<unsigned char>(b));
        if (c.unicode() == u)
            return static_cast<unsigned char>(b);
    }
    if (ok)
        *ok = false;
    return '?';
}

QString decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(toUnicode(static_cast<unsigned char>(c)));
    return out;
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(static_cast<char>(fromUnicode(c)));
    return out;
}

}  // namespace vx::cp1254
