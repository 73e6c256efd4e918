// The Turkish single-byte code page of the indicator's texts and the files.

#include "link/Cp1254.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

using namespace vx;

TEST(Cp1254, MatchesSystemCodecForEveryByte)
{
    QStringDecoder reference("windows-1254");
    if (!reference.isValid())
        GTEST_SKIP() << "no windows-1254 codec in this Qt build";
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString expected = reference.decode(QByteArrayView(&byte, 1));
        ASSERT_EQ(expected.size(), 1) << "byte " << b;
        EXPECT_EQ(cp1254::toUnicode(static_cast<unsigned char>(b)).unicode(), expected.at(0).unicode()) << "byte " << b;
    }
}

// With every byte decoded as the system's codec does, the round trip pins the encoding too.
TEST(Cp1254, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1254::encode(cp1254::decode(all)), all);
}

TEST(Cp1254, CharactersOutsideThePage)
{
    for (const auto &[c, byte, inPage] : {std::tuple{QChar(0x0416), '?', false}, {QChar(0xFFFD), '?', false},
                                          {QChar(u'A'), 'A', true}, {QChar(0x011E), '\xD0', true}}) {
        bool ok = !inPage;
        EXPECT_EQ(quint8(cp1254::fromUnicode(c, &ok)), quint8(byte)) << int(c.unicode());
        EXPECT_EQ(ok, inPage) << int(c.unicode());
    }
    // Letters that other Latin pages have at the same place are not in this one.
    EXPECT_EQ(cp1254::encode(QStringLiteral("ÐÝÞðýþ")), QByteArray("??????"));
}
