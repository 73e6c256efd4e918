// Wire format of the register protocol: frames, checksum, answer decoding and the
// number-text helpers.

#include "link/Codec.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QVariant>

#include <ostream>

// Readable failure messages for texts (found by argument-dependent lookup in this file).
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using namespace vx;

namespace {

const QString CR = QStringLiteral("\r");
const QChar Degree(0x00B0);

QStringList dayNames()
{
    return {"Pazartesi", "Salı", "Çarşamba", "Perşembe", "Cuma", "Cumartesi", "Pazar"};
}

// An answer frame the way the indicator sends it: "@", address, "03", byte count, data, LRC, CR.
QString answerFrame(const QString &address, const QString &data, bool checksumOn)
{
    QString body = address + "03" + PadLeftZeros(QString::number(data.size() / 2, 16).toUpper(), 2) + data;
    return QStringLiteral("@") + body + (checksumOn ? ComputeLrc(body) : QString()) + CR;
}

QVariant decode(const QString &answer, ReadTag tag, const QString &address = {}, bool checksumOn = false)
{
    DecodeContext ctx;
    ctx.weekdayNames = dayNames();
    return DecodeAnswer(answer, tag, address, checksumOn, 0, ctx);
}

}  // namespace

// ---------------------------------------------------------------- checksum

TEST(Lrc, TwoComplementOfByteSum)
{
    struct Case { const char *body; const char *lrc; };
    const Case cases[] = {
        {"010300030002", "F7"},          // sum 9
        {"1000130001020014", "C6"},      // sum 58
        {"FF01", "00"},                  // sum 256
        {"", "00"},
        {"ff", "01"},                    // lower-case hex is read too
    };
    for (const Case &c : cases)
        EXPECT_EQ(ComputeLrc(QString::fromLatin1(c.body)), QString::fromLatin1(c.lrc)) << c.body;
}

// ---------------------------------------------------------------- request frames

TEST(Frames, ReadRequests)
{
    struct Case { const char *address; int reg; int bytes; bool csum; const char *frame; };
    const Case cases[] = {
        {"01", 3, 4, true, "@010300030002F7"},
        {"", 3, 4, false, "@0300030002"},
        {"00", 0, 4, false, "@0300000002"},   // "00" means no address field
        {"05", 199, 10, false, "@050300C70005"},
        {"10", 0, 2, false, "@0A0300000001"}, // decimal address sent as hex
        {"", 0, 131072, false, "@0300000000"}, // register count 65536 is cut to "0000"
    };
    for (const Case &c : cases)
        EXPECT_EQ(BuildReadFrame(QString::fromLatin1(c.address), c.reg, c.bytes, c.csum),
                  QString::fromLatin1(c.frame) + CR) << c.frame;
}

TEST(Frames, WriteRequests)
{
    struct Case { const char *address; int reg; int bytes; bool csum; WriteTag tag; QVariant value; const char *frame; };
    const Case cases[] = {
        {"", 19, 2, false, "LG", 20, "@1000130001020014"},
        {"", 19, 2, true, "Lg", 20, "@1000130001020014C6"},
        {"05", 19, 2, false, "LG", 19, "@051000130001020013"},
        {"", 20, 4, false, "LG", -100, "@100014000204FFFFFF9C"},
        {"", 20, 8, false, "LG", -1, "@100014000408FFFFFFFFFFFFFFFF"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BuildWriteFrame(QString::fromLatin1(c.address), c.reg, c.bytes, c.csum, c.tag, c.value),
                  QString::fromLatin1(c.frame) + CR) << c.frame;
}

TEST(Frames, WriteDataFields)
{
    const QString deg = Degree;
    struct Case { WriteTag tag; QVariant value; int bytes; const char *field; };
    const Case cases[] = {
        {"LG", -1, 2, "FFFF"},
        {"LG", -1, 8, "FFFFFFFFFFFFFFFF"},  // sign carried into a wide field
        {"LG", 0x12345, 2, "2345"},         // too long: the low-order digits stay
        {"LG", 2.5, 2, "0002"},             // halves go to the even neighbour
        {"LG", 3.5, 2, "0004"},
        {"LG", "7,5", 2, "0008"},
        {"LG", "abc", 2, "0000"},
        {"LG", QVariant(), 2, "0000"},
        {"LG", qint64(4294967295LL), 4, "FFFFFFFF"},
        {"BY", "0100", 2, "0100"},
        {"TX", "AB 1", 2, "41422031"},
        {"Tx", "ĞÜŞİÖÇğüşıöç", 2, "D0DCDEDDD6C7F0FCFEFDF6E7"},
        {"TX", QString(), 2, ""},
        {"ID", "A", 2, "4100"},
        {"ID", "A12" + deg + "XY", 2, "410000000C58590000"},
        {"ID", "A-1" + deg + "Ş", 2, "41FFFFFFFFDE0000"},
        {"ID", "A12", 2, ""},  // no "°": empty field
        {"ID", "A7" + deg, 2, "41000000070000"},
        {"IDH", "3ABC", 2, "0341424300"},
        {"SPT", "S", 2, "5300"},
        {"SPT", "S1" + deg + "-2" + deg + "3.5", 2, "5300000001FFFFFFFE0000000400"},
        {"SPT", "S1" + deg + "2" + deg + "2,5", 2, "5300000001000000020000000200"},
        {"SPT", "S10" + deg + "20\r", 2, "530000000A0000001400"},
    };
    for (const Case &c : cases) {
        const QString frame = BuildWriteFrame({}, 0, c.bytes, false, c.tag, c.value);
        EXPECT_EQ(frame.mid(13).chopped(1), QString::fromLatin1(c.field))  // after "@10" + 4 + 4 + 2
            << c.tag.name().toStdString() << " " << c.value.toString().toStdString();
    }
}

// ---------------------------------------------------------------- answer decoding

TEST(Decode, AnswerDataByTag)
{
    const QString deg = Degree;
    const QString nul(QChar(0)), lf(QChar(10));
    struct Case { ReadTag tag; const char *data; QVariant value; };
    const Case cases[] = {
        {"LG", "FFFFFF9C", qint64(-100)},
        {"LG", "0000FF9C", qint64(65436)},
        {"LG", "8000", qint64(32768)},
        {"LG", "FF9C", qint64(-100)},
        // "Tx0" drops bytes 0 and 10, "Tx" drops 10, "Tx1" keeps every byte.
        {"Tx0", "4142000A43", "ABC"},
        {"Tx", "4142000A43", "AB" + nul + "C"},
        {"Tx1", "4142000A43", "AB" + nul + lf + "C"},
        {"Tx", "DDFEF0", "İşğ"},
        {"Hex", "3132", "3132"},
        // ID: type byte, signed 32-bit number, "°", the first 16 characters of the rest.
        {"ID", "41FFFFFFFF4142434445464748494A4B4C4D4E4F505152", "A-1" + deg + "ABCDEFGHIJKLMNOP"},
        {"IDB", "0141424300", "ABC" + nul},
        {"STP", "5300000064FFFFFF9C00000000", "100" + deg + "-100" + deg + "0"},
    };
    for (const Case &c : cases) {
        // The address and checksum fields are skipped.
        for (const QString &address : {QString(), QStringLiteral("05")}) {
            const QVariant v = decode(answerFrame(address, QString::fromLatin1(c.data), !address.isEmpty()),
                                      c.tag, address, !address.isEmpty());
            EXPECT_EQ(v.typeId(), c.value.typeId()) << c.tag.name().toStdString() << " " << c.data;
            EXPECT_EQ(v, c.value) << c.tag.name().toStdString() << " " << c.data << " " << v.toString().toStdString();
        }
    }
}

TEST(Decode, TarihSetsWeekday)
{
    DecodeContext ctx;
    ctx.weekdayNames = dayNames();
    const QVariant v = DecodeAnswer(answerFrame({}, "0530140325120900", true), "Tarih", {}, true, 124, ctx);
    EXPECT_EQ(v.toString(), "25-12-09 \\ 14:30:05");
    EXPECT_EQ(ctx.weekdayText, " \\ Perşembe");

    ctx.weekdayText = QStringLiteral("old");
    DecodeAnswer(answerFrame({}, "05301409251209", false), "Tarih", {}, false, 124, ctx);
    EXPECT_EQ(ctx.weekdayText, " \\ ");  // unknown weekday code: no day name
}

// A mismatch is logged once and still decodes (the table below; the line's wording is
// pinned where the program writes it, in the transaction tests); without a log sink
// it is harmless.
TEST(Decode, ChecksumMismatchWithoutALogSink)
{
    DecodeContext ctx;
    EXPECT_EQ(DecodeAnswer("@0304000030E8E2\r", "LG", {}, true, 3, ctx).toLongLong(), 12520);
}

// Only a whole frame is an answer. The frames below are written out by hand: the
// status value 12520 (hex 30E8) in a 4-byte read, LRCs summed on paper.
TEST(Decode, ValueOnlyFromAWholeFrameAndEveryOtherAnswerLoggedOnce)
{
    const struct { const char *name, *answer, *address; bool checksum; AnswerFault fault; } cases[] = {
        {"Whole", "@0304000030E8E1\r", "", true, AnswerFault::None},
        {"WholeWithoutChecksum", "@0304000030E8\r", "", false, AnswerFault::None},
        {"WholeAddressed", "@050304000030E8DC\r", "05", true, AnswerFault::None},
        {"WholeAddressZeroIsNoAddress", "@0304000030E8\r", "00", false, AnswerFault::None},
        {"ChecksumMismatchStillWhole", "@0304000030E8E2\r", "", true, AnswerFault::None},
        {"Nothing", "", "", true, AnswerFault::Missing},
        {"Noise", "\x13\x87zq\r", "", true, AnswerFault::NoStart},
        {"CutOffBeforeTheData", "@03040000", "", true, AnswerFault::CutOff},
        {"CutOffBeforeTheCr", "@0304000030E8E1", "", true, AnswerFault::CutOff},
        {"Refusal", "@8003017C\r", "", true, AnswerFault::Refused},
        {"RefusalToAnAddressedRequest", "@8003017C\r", "05", true, AnswerFault::Refused},
        {"RefusalCutOff", "@80", "", true, AnswerFault::Refused},
        {"WrongFunctionCode", "@0404000030E8E0\r", "", true, AnswerFault::WrongFunction},
        {"WriteAcknowledgementToARead", "@100001EF\r", "", true, AnswerFault::WrongFunction},
        {"ByteCountTwoWithFourBytes", "@0302000030E8E3\r", "", true, AnswerFault::WrongLength},
        {"ChecksumMissing", "@0304000030E8\r", "", true, AnswerFault::WrongLength},
        {"TwoAnswersInOne", "@0304000030E8E1\r@0304000030E8E1\r", "", true, AnswerFault::NotHex},
        {"AddressMissing", "@0304000030E8E1\r", "05", true, AnswerFault::WrongAddress},
        {"AddressWhereNoneIsSet", "@050304000030E8DC\r", "", true, AnswerFault::WrongFunction},
        {"NotHexInTheData", "@03040000G0E8\r", "", false, AnswerFault::NotHex},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString answer = QString::fromLatin1(c.answer);
        const QString address = QString::fromLatin1(c.address);
        EXPECT_EQ(ParseReadAnswer(answer, address, c.checksum).fault, c.fault);
        EXPECT_EQ(IsCompleteReadAnswer(answer, address, c.checksum), c.fault == AnswerFault::None);

        for (const ReadTag tag : ReadTag::All) {
            QStringList log;
            DecodeContext ctx;
            ctx.shortDate = QStringLiteral("12.03.2026");
            ctx.weekdayNames = dayNames();
            ctx.log = [&](const QString &line) { log << line; };
            const QVariant v = DecodeAnswer(answer, tag, address, c.checksum, 3, ctx);
            EXPECT_EQ(v.isValid(), c.fault == AnswerFault::None) << tag.name().toStdString();
            const bool mismatch = QLatin1String(c.name) == QLatin1String("ChecksumMismatchStillWhole");
            const bool logged = mismatch || (c.fault != AnswerFault::None && c.fault != AnswerFault::Missing);
            EXPECT_EQ(log.size(), logged ? 1 : 0) << tag.name().toStdString();
            if (tag == ReadTag("LG") && c.fault == AnswerFault::None) {
                EXPECT_EQ(v.toLongLong(), 12520);
            }
        }
    }
}

TEST(Decode, IncompleteAnswerLogLineNamesRegisterReasonAndWhatCame)
{
    QStringList log;
    DecodeContext ctx;
    ctx.shortDate = QStringLiteral("12.03.2026");
    ctx.log = [&](const QString &line) { log << line; };
    EXPECT_FALSE(DecodeAnswer("@03040000", "LG", {}, true, 3, ctx).isValid());
    EXPECT_FALSE(DecodeAnswer("@8003017C\r", "LG", {}, true, 11, ctx).isValid());
    EXPECT_EQ(log, QStringList({"12.03.2026 - [003]--- cut off (no CR): @03040000",
                                "12.03.2026 - [011]--- refused (\"@8\"): @8003017C<CR>"}));
}

TEST(Decode, WholeFrameFieldsAndTheCountAskedFor)
{
    const ReadAnswer a = ParseReadAnswer("@050304000030E8DC\r", "05", true, 4);
    ASSERT_TRUE(a.complete());
    EXPECT_EQ(a.byteCount, 4);
    EXPECT_EQ(a.data, "000030E8");
    EXPECT_EQ(a.receivedChecksum, "DC");
    EXPECT_TRUE(a.checksumMatches());
    // Another count than the request asked for is not the answer to it.
    EXPECT_EQ(ParseReadAnswer("@050304000030E8DC\r", "05", true, 2).fault, AnswerFault::WrongLength);
    EXPECT_FALSE(ParseReadAnswer("@0304000030E8E2\r", {}, true).checksumMatches());
    // Lower-case hex is still hex.
    EXPECT_TRUE(IsCompleteReadAnswer("@0a0304000030e8\r", "10", false));

    // A whole frame without data is no value, and nothing to log.
    int logged = 0;
    DecodeContext ctx;
    ctx.log = [&](const QString &) { ++logged; };
    ctx.weekdayText = QStringLiteral(" \\ Cuma");
    for (const ReadTag tag : ReadTag::All)
        EXPECT_FALSE(DecodeAnswer("@0300FD\r", tag, {}, true, 0, ctx).isValid()) << tag.name().toStdString();
    EXPECT_EQ(logged, 0);
    EXPECT_EQ(ctx.weekdayText, " \\ Cuma");
}

TEST(Decode, LongestAnswerARequestCanGet)
{
    // "@" [address] "03" count data [LRC] CR; a refusal "@8003 01" [LRC] CR is 10 or 8.
    EXPECT_EQ(ReadAnswerLength({}, 4, true), 16);     // "@0304000030E8E1" CR
    EXPECT_EQ(ReadAnswerLength("05", 4, true), 18);
    EXPECT_EQ(ReadAnswerLength({}, 10, false), 26);
    EXPECT_EQ(ReadAnswerLength({}, 0, true), 10);     // the refusal is longer
    EXPECT_EQ(WriteAnswerLength("05", true), 12);     // "@05100001EA" CR
    EXPECT_EQ(WriteAnswerLength({}, false), 8);       // "@100001" CR
    EXPECT_EQ(LongestAnswerLength, 520);
}

// ---------------------------------------------------------------- number-text helpers

TEST(Numbers, HexToNumber)
{
    EXPECT_FALSE(HexToNumber(QString()).has_value());
    struct Case { const char *text; qint64 value; };
    const Case cases[] = {
        {"FF9C", -100}, {"FFFFFF9C", -100}, {"FF", 255}, {"FFFF", -1}, {"F000", -4096}, {"FFFFF", 1048575},
        {"FFFFFFFF", -1}, {"80000000", 2147483648LL}, {"ff9c", 65436}, {"1A", 26}, {"1a", 26}, {"12,5", 18},
        {",5", 0}, {"1G", 16}, {"G1", 1}, {"0000FF9C", 65436},
        {"FFFFFFFFF", 68719476735LL},                         // nine digits: read unsigned
        {"FFFFFFFFFFFFFFFFFFFF", 9223372036854775807LL},      // beyond 64 bits: held at the maximum
        {"00000000000000000000001", 1},
    };
    for (const Case &c : cases) {
        const auto v = HexToNumber(QString::fromLatin1(c.text));
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
}

TEST(Numbers, PaddingAndAddresses)
{
    for (const auto &[text, width, padded] : {std::tuple{"7", 3, "007"}, {"12345", 4, "2345"}, {"1", 0, ""}})
        EXPECT_EQ(PadLeftZeros(QString::fromLatin1(text), width), QString::fromLatin1(padded)) << text;
    EXPECT_EQ(PadLeftZeros(19, 3), "019");
    for (const auto &[address, value] : {std::pair{"", 0}, {"00", 0}, {"05", 5}, {"99", 99}, {"x1", 0}})
        EXPECT_EQ(AddressValue(QString::fromLatin1(address)), value) << address;
}

TEST(Numbers, DecimalTexts)
{
    EXPECT_EQ(CommaToPoint("1,5%"), "1.5");
    EXPECT_EQ(PointToComma("1.5."), "1,5,");
    EXPECT_EQ(StripDecimalPoint("12,34"), "1234");
    EXPECT_EQ(StripDecimalPoint("12.3"), "123");

    struct Fmt { const char *digits; const char *ref; const char *out; };
    const Fmt fmts[] = {
        {"1234", "3000.5", "0123.4"}, {"1234", "3000,5", "0123.4"}, {"-1234", "3000.5", "-0123.4"},
        {"12.34", "30.00", "12.34"},  {"7", "6000", "0007"},        {"1234", "", "1234"},
        // Wider than the layout: every digit kept, the point still before the decimals.
        {"12521", "300.9", "1252.1"}, {"-12521", "300.9", "-1252.1"}, {"123456789", "60.00", "1234567.89"},
        {"0012521", "300.9", "1252.1"}, {"30000", "6000", "30000"}, {"1000", "300.9", "100.0"},
    };
    for (const Fmt &f : fmts)
        EXPECT_EQ(FormatWithDecimals(QString::fromLatin1(f.digits), QString::fromLatin1(f.ref)),
                  QString::fromLatin1(f.out)) << f.digits << " " << f.ref;

    struct Ins { const char *digits; int d; const char *out; };
    const Ins inss[] = {
        {"1234", 2, "12,34"}, {"12", 2, "0,12"},   {"5", 2, "0,05"},    {"-5", 2, "-0,05"},
        {"1234", 0, "1234"},  {"123", 4, "0,0123"}, {"5", 3, "0,005"},  {"", 2, "00,00"},
        {"-1234", 1, "-123,4"},
    };
    for (const Ins &i : inss)
        EXPECT_EQ(InsertDecimalComma(QString::fromLatin1(i.digits), i.d), QString::fromLatin1(i.out))
            << i.digits << " d=" << i.d;
}
