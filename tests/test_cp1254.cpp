// The Turkish single-byte code page of the indicator's texts and the files.

#include "link/Cp1254.h"

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>

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

TEST(Cp1254, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1254::encode(cp1254::decode(all)), all);
}

TEST(Cp1254, TurkishLetters)
{
    const QString letters = QStringLiteral("ÇĞİÖŞÜçğıöşü");
    const QByteArray bytes("\xC7\xD0\xDD\xD6\xDE\xDC\xE7\xF0\xFD\xF6\xFE\xFC");
    EXPECT_EQ(cp1254::encode(letters), bytes);
    EXPECT_EQ(cp1254::decode(bytes), letters);
    EXPECT_EQ(cp1254::encode(QStringLiteral("€°")), QByteArray("\x80\xB0"));
}

TEST(Cp1254, CharactersOutsideThePage)
{
    bool ok = true;
    EXPECT_EQ(cp1254::fromUnicode(QChar(0x0416), &ok), '?');  // Cyrillic Zhe
    EXPECT_FALSE(ok);
    EXPECT_EQ(cp1254::fromUnicode(QChar(0xFFFD), &ok), '?');
    EXPECT_FALSE(ok);
    EXPECT_EQ(cp1254::fromUnicode(QChar(u'A'), &ok), 'A');
    EXPECT_TRUE(ok);
    // Letters that other Latin pages have at the same place are not in this one.
    EXPECT_EQ(cp1254::encode(QStringLiteral("ÐÝÞðýþ")), QByteArray("??????"));
}
