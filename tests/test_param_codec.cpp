// The parameter catalogue and the block codecs: byte offsets checked against a table
// written by hand, every value kind decoded and encoded with hand-made blocks, the
// date and time both ways, the word pairs, the identification texts, the answer
// stripping and the weight display format.

#include "params/BlockCodec.h"
#include "params/Catalogue.h"
#include "params/ParameterSet.h"
#include "params/Range.h"
#include "support/NumberedTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <map>
#include <cstring>
#include <set>

using namespace vx;
using params::Area;
using params::Group;

namespace {

// Language lines "L<n>": a decoded cell shows which line was chosen.
LanguageTexts numbered()
{
    LanguageTexts texts = test::NumberedTexts("L");
    texts.setText(191, "X- Off");
    return texts;
}

LanguageTexts shipped()
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("LANGUAGE/English.txt");
    std::optional<LanguageTexts> lines = LanguageTexts::fromFile(path);
    EXPECT_TRUE(lines.has_value()) << qPrintable(path);
    return lines.value_or(LanguageTexts());
}

// A block of `size` bytes, zero except the bytes given.
QString block(int size, const std::map<int, int> &bytes)
{
    QString hex;
    for (int i = 0; i < size; ++i) {
        const auto it = bytes.find(i);
        hex += QStringLiteral("%1").arg(it == bytes.end() ? 0 : it->second, 2, 16, QLatin1Char('0')).toUpper();
    }
    return hex;
}

// ---- the catalogue --------------------------------------------------------------

struct Placed {
    int row;
    Area area;
    int offset;
    int width;
    Group group;
};

// Where every value lies in the blocks and which group writes it.
const Placed kPlaced[] = {
    {3, Area::Configuration, 0, 1, Group::Jmp},    {4, Area::Configuration, 1, 1, Group::Jmp},
    {5, Area::Configuration, 2, 1, Group::Jmp},    {6, Area::Configuration, 3, 1, Group::Jmp},
    {7, Area::Configuration, 4, 1, Group::Jmp},    {8, Area::Configuration, 5, 1, Group::Jmp},
    {9, Area::Configuration, 6, 1, Group::Jmp},    {11, Area::Configuration, 7, 1, Group::Jmp},
    {10, Area::Configuration, 8, 1, Group::Jmp},   {13, Area::Configuration, 10, 1, Group::Nrm},
    {14, Area::Configuration, 13, 1, Group::Nrm},  {15, Area::Configuration, 14, 1, Group::Nrm},
    {16, Area::Configuration, 15, 1, Group::Nrm},  {17, Area::Configuration, 16, 1, Group::Nrm},
    {18, Area::Configuration, 18, 4, Group::Nrm},  {19, Area::Configuration, 22, 1, Group::Nrm},
    {20, Area::Configuration, 23, 4, Group::Nrm},  {21, Area::Configuration, 27, 1, Group::Nrm},
    {22, Area::Configuration, 28, 1, Group::Nrm},  {23, Area::Configuration, 29, 1, Group::Nrm},
    {24, Area::Configuration, 30, 1, Group::Nrm},  {25, Area::Configuration, 31, 1, Group::Nrm},
    {26, Area::Configuration, 33, 1, Group::Nrm},  {27, Area::Configuration, 35, 1, Group::Nrm},
    {29, Area::Configuration, 36, 1, Group::Nrm},  {30, Area::Configuration, 37, 1, Group::Nrm},
    {32, Area::Configuration, 38, 1, Group::Nrm},  {31, Area::Configuration, 40, 1, Group::Nrm},
    {33, Area::Configuration, 42, 1, Group::Nrm},  {35, Area::Configuration, 44, 1, Group::Nrm},
    {36, Area::Configuration, 45, 1, Group::Nrm},  {38, Area::Configuration, 46, 1, Group::Nrm},
    {37, Area::Configuration, 48, 1, Group::Nrm},  {39, Area::Configuration, 50, 1, Group::Nrm},
    {41, Area::Configuration, 52, 1, Group::Nrm},  {42, Area::Configuration, 53, 1, Group::Nrm},
    {44, Area::Configuration, 54, 1, Group::Nrm},  {45, Area::Configuration, 55, 1, Group::Nrm},
    {43, Area::Configuration, 56, 1, Group::Nrm},  {46, Area::Configuration, 58, 1, Group::Nrm},
    {48, Area::Configuration, 60, 1, Group::Nrm},  {49, Area::Configuration, 62, 1, Group::Nrm},
    {51, Area::Configuration, 68, 1, Group::Nrm},  {52, Area::Configuration, 69, 1, Group::Nrm},
    {57, Area::Configuration, 70, 1, Group::Nrm},  {53, Area::Configuration, 71, 1, Group::Nrm},
    {56, Area::Configuration, 72, 4, Group::Nrm},  {54, Area::Configuration, 76, 1, Group::Nrm},
    {55, Area::Configuration, 77, 1, Group::Nrm},  {58, Area::Configuration, 78, 1, Group::Nrm},
    {59, Area::Configuration, 79, 1, Group::Nrm},  {60, Area::Configuration, 80, 1, Group::Nrm},
    {78, Area::Configuration, 82, 2, Group::Nrm},  {79, Area::Configuration, 84, 2, Group::Nrm},
    {62, Area::Calibration, 0, 1, Group::Calibration},  {63, Area::Calibration, 2, 1, Group::Calibration},
    {64, Area::Calibration, 3, 1, Group::Calibration},  {65, Area::Calibration, 4, 1, Group::Calibration},
    {66, Area::Calibration, 5, 1, Group::Calibration},  {67, Area::Calibration, 6, 1, Group::Calibration},
    {68, Area::Calibration, 7, 1, Group::Calibration},  {69, Area::Calibration, 8, 4, Group::Calibration},
    {70, Area::Calibration, 12, 4, Group::Calibration}, {71, Area::Calibration, 16, 4, Group::Calibration},
    {72, Area::Calibration, 20, 4, Group::Calibration}, {73, Area::Calibration, 24, 4, Group::None},
    {74, Area::Calibration, 28, 4, Group::Calibration}, {75, Area::Calibration, 32, 4, Group::Calibration},
    {76, Area::Calibration, 36, 4, Group::Calibration},
};

TEST(ParameterCatalogue, EveryValueLiesWhereTheBlocksCarryIt)
{
    std::set<int> listed;
    for (const Placed &p : kPlaced) {
        const params::Row &r = params::RowAt(p.row);
        EXPECT_EQ(r.area, p.area) << p.row;
        EXPECT_EQ(r.offset, p.offset) << p.row;
        EXPECT_EQ(r.width, p.width) << p.row;
        EXPECT_EQ(r.group, p.group) << p.row;
        listed.insert(p.row);
    }
    for (const params::Row &r : params::Rows()) {
        const bool inBlock = r.area == Area::Configuration || r.area == Area::Calibration;
        EXPECT_TRUE(!inBlock || listed.count(r.row)) << "row " << r.row << " is in no block of the table";
    }
}

// The pieces each group is written in (register and length) are on the wire of the
// parameter write tests.
TEST(ParameterCatalogue, EachWrittenByteHasOneSource)
{
    // Bytes 0-85 of the configuration block and 0-39 of the calibration block carry a
    // value or a constant, each exactly once; 86-99 carry nothing.
    std::map<std::pair<Area, int>, int> sources;
    for (const params::Row &r : params::Rows())
        for (int i = 0; i < r.width && (r.area == Area::Configuration || r.area == Area::Calibration); ++i)
            ++sources[{r.area, r.offset + i}];
    for (const params::FixedByte &f : params::FixedBytes())
        ++sources[{f.area, f.offset}];
    auto count = [&sources](Area area, int b) { return sources[std::make_pair(area, b)]; };
    for (int b = 0; b < 100; ++b)
        EXPECT_EQ(count(Area::Configuration, b), b < 86 ? 1 : 0) << "configuration byte " << b;
    for (int b = 0; b < 40; ++b)
        EXPECT_EQ(count(Area::Calibration, b), 1) << "calibration byte " << b;
}

TEST(ParameterCatalogue, LayoutCaptionsSectionsAndHiddenRowsPerModel)
{
    const LanguageTexts texts = numbered();
    ParameterSet set;
    set.setValue(30, "3-9600");
    LayOutGrid(set, texts, Model::ZR2);
    EXPECT_EQ(set.caption(0), "L78");
    EXPECT_EQ(set.value(0), "L79");
    EXPECT_EQ(set.caption(1), "[140] L162");
    EXPECT_EQ(set.caption(2), "");
    EXPECT_EQ(set.value(2), "L126");
    EXPECT_EQ(set.caption(52), "[041] L162");
    EXPECT_EQ(set.caption(69), "[971]-[972] L118");
    EXPECT_EQ(set.caption(68), "[???] L117");
    EXPECT_EQ(set.caption(80), "Barcode Line_2");
    EXPECT_EQ(set.caption(82), "L173");
    EXPECT_EQ(set.value(30), "3-9600") << "a layout keeps the values";

    auto hidden = [&set] {
        std::set<int> rows;
        for (int row = 0; row < ParameterSet::RowCount; ++row)
            if (set.isHidden(row))
                rows.insert(row);
        return rows;
    };
    const std::set<int> always = {22, 62, 63, 64, 65, 66, 68, 74, 80, 81};
    EXPECT_EQ(hidden(), always);
    LayOutGrid(set, texts, Model::ZR1);
    std::set<int> zr1 = always;
    zr1.insert({1, 14, 18, 19, 20, 21, 27, 52, 54, 55});
    EXPECT_EQ(hidden(), zr1);
}

// ---- decoding -------------------------------------------------------------------

TEST(BlockDecode, EachValueKindShowsTheRowsText)
{
    const struct { const char *name; Area area; std::map<int, int> bytes; int row; const char *text; } cases[] = {
        {"Metrological200On", Area::Configuration, {{0, 1}}, 3, "L178"},
        {"Metrological200OtherCode", Area::Configuration, {{0, 2}}, 3, "L177"},
        {"MotionBandCode7IsOff", Area::Configuration, {{6, 7}}, 9, "4- Off"},
        {"TiltCode1", Area::Configuration, {{8, 1}}, 10, "L336"},
        {"TiltUnknownCodeEmpty", Area::Configuration, {{8, 5}}, 10, ""},
        {"FilterDigit5", Area::Configuration, {{10, 5}}, 13, "5 "},
        {"Filter12Is0", Area::Configuration, {{10, 12}}, 13, "0 "},
        {"ApplicationOther", Area::Configuration, {{13, 9}}, 14, "L192"},
        {"NumberByte", Area::Configuration, {{22, 255}}, 19, "255"},
        {"Tenths75", Area::Configuration, {{27, 75}}, 21, "7,5"},
        {"Tenths50", Area::Configuration, {{27, 50}}, 21, "5"},
        {"WeightNegative", Area::Configuration, {{18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0x9C}}, 18, "-001.00"},
        {"PortFunction4", Area::Configuration, {{36, 4}}, 29, "L218"},
        {"PortFunction0IsNone", Area::Configuration, {{36, 0}}, 29, "L219"},
        {"BaudOther", Area::Configuration, {{37, 9}}, 30, "0-1200"},
        {"ParityOtherIsNone", Area::Configuration, {{58, 7}}, 46, "0-NONE"},
        {"PrinterEpl", Area::Configuration, {{68, 3}}, 51, "L323"},
        {"Word65535", Area::Configuration, {{82, 0xFF}, {83, 0xFF}}, 78, "65535"},
        {"RangeModeSingle", Area::Calibration, {{0, 0}}, 62, "L175"},
        {"RangeModeAnyOther", Area::Calibration, {{0, 5}}, 62, "L176"},
        {"WordPair", Area::Calibration, {{13, 0x01}, {14, 0x80}}, 70, "1 - 32768"},
        {"LongSigned", Area::Calibration, {{24, 0xFF}, {25, 0xFF}, {26, 0xFF}, {27, 0xFE}}, 73, "-2"},
        {"LongPrefixed", Area::Calibration, {{33, 0x01}, {34, 0x3B}, {35, 0x19}}, 75, "9,80665"},
        {"LongPrefixedOneDigit", Area::Calibration, {{39, 7}}, 76, "7"},
    };
    const LanguageTexts texts = numbered();
    for (const auto &d : cases) {
        ParameterSet set;
        set.weight.WeightFormatReference = "300.09";
        const QString hex = block(params::AreaBytes(d.area), d.bytes);
        ASSERT_TRUE(d.area == Area::Configuration ? PlaceConfigurationBlock(set, hex, texts)
                                                  : PlaceCalibrationBlock(set, hex, texts))
            << d.name;
        EXPECT_EQ(set.value(d.row), QString::fromUtf8(d.text)) << d.name;
    }
}

TEST(BlockDecode, RowsHoldTheCodesAndRawNumbersOfTheBytes)
{
    ParameterSet set;
    const LanguageTexts texts = numbered();
    ASSERT_TRUE(PlaceConfigurationBlock(
        set,
        block(100, {{0, 1}, {8, 2}, {18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0x9C}, {35, 1}, {42, 1}, {50, 2},
                    {80, 4}, {82, 0x12}, {83, 0x34}, {92, 1}}),
        texts));
    EXPECT_EQ(set.rowValue(3), RowValue::code(1));
    EXPECT_TRUE(set.param200On());
    EXPECT_EQ(set.rowValue(10), RowValue::code(2));
    EXPECT_EQ(set.rowValue(27), RowValue::code(1));
    EXPECT_EQ(set.rowValue(18), RowValue::of(-100));
    EXPECT_EQ(set.rowValue(33), RowValue::code(1));
    EXPECT_EQ(set.rowValue(39), RowValue::code(2));
    EXPECT_EQ(set.rowValue(46), RowValue::code(0, RowValue::From::Other)) << "code 0 is no read item: the other text's code";
    EXPECT_EQ(set.value(46), "0-NONE");
    EXPECT_EQ(set.rowValue(60), RowValue::of(4));
    EXPECT_EQ(set.rowValue(78), RowValue::of(0x1234));
    EXPECT_EQ(set.value(18), "-100") << "without a range the raw value";

    // [200] with a code of no item: its other text (line 177), written as that text's code 0.
    ASSERT_TRUE(PlaceConfigurationBlock(set, block(100, {{0, 2}}), set.texts()));
    EXPECT_FALSE(set.param200On());
    EXPECT_EQ(set.value(3), "L177");
}

TEST(BlockDecode, PrinterTypeKeepsItsTextForAnUnknownCode)
{
    ParameterSet set;
    const LanguageTexts texts = numbered();
    set.setValue(51, "earlier text");
    ASSERT_TRUE(PlaceConfigurationBlock(set, block(100, {{68, 9}}), texts));
    EXPECT_EQ(set.value(51), "earlier text");
    ASSERT_TRUE(PlaceConfigurationBlock(set, block(100, {{68, 4}}), texts));
    EXPECT_EQ(set.value(51), "L227");
}

TEST(BlockDecode, ABlockOfAnotherLengthOrNotHexChangesNothing)
{
    ParameterSet set;
    const LanguageTexts texts = numbered();
    EXPECT_FALSE(PlaceConfigurationBlock(set, block(99, {{0, 1}}), texts));
    EXPECT_FALSE(PlaceConfigurationBlock(set, block(100, {}).replace(0, 1, "G"), texts));
    EXPECT_FALSE(PlaceCalibrationBlock(set, block(100, {}), texts));
    for (int row = 0; row < ParameterSet::RowCount; ++row)
        EXPECT_TRUE(set.value(row).isEmpty()) << row;
}

// ---- encoding -------------------------------------------------------------------

// A whole configuration block written by hand: read into the grid and written back
// it gives the same bytes (86-99 are never written).
const QString kConfiguration = QStringLiteral(
    "01000101010101010200"  // 0-9: [200] [201] [202] [203] [204] [205] [206] [801] [207] 00
    "0500000201030000"      // 10-17: [120] 00 00 [100] [131] [132] [133] 00
    "000001F405000061A84B"  // 18-27: [101] 500, [102] 5, [104] 25000, [103] 7,5
    "0001000100020001"      // 28-35: [110] [111] [112] [113] 00 [130] 00 [105]
    "0303010001010200"      // 36-43: port 1
    "0204020002010100"      // 44-51: port 2
    "0106030200010000"      // 52-59: port 3
    "0405090000010000"      // 60-67: port 4 and 00 01 00 00
    "02010201000000C80302030109"  // 68-80: printer
    "00"                          // 81
    "FFFF7530"                    // 82-85: [410] [420]
    "0000000000000000000000000000");

TEST(BlockEncode, AReadBlockIsWrittenBackByteForByte)
{
    ASSERT_EQ(kConfiguration.size(), 200);
    ParameterSet set;
    const LanguageTexts texts = shipped();
    ASSERT_TRUE(PlaceConfigurationBlock(set, kConfiguration, texts));
    EXPECT_EQ(EncodeArea(set, Area::Configuration), kConfiguration);
    EXPECT_EQ(set.value(10), texts.text(337));
    EXPECT_EQ(set.value(31), "1-xon/xoff");
    EXPECT_EQ(set.value(48), texts.text(218));
}

TEST(BlockEncode, TextsGiveTheirLeadingNumberAndRawRowsTheirNumbers)
{
    ParameterSet set;
    set.setValue(21, "7,5");           // Tenths
    set.setValue(4, "kg");             // a text starting with a letter
    set.setValue(31, "2-RTS/CTS");     // code 2
    set.setValue(19, "300");           // too large for a byte: the low digits
    set.setValue(13, "05");            // [120] from its list
    set.setRowValue(20, RowValue::of(-100));
    set.setRowValue(78, RowValue::of(65535));
    set.setRowValue(69, RowValue::of(-2));
    set.setValue(74, "-3");
    set.setValue(73, "99");  // never written
    const QString cfg = EncodeArea(set, Area::Configuration);
    auto byteAt = [](const QString &hex, int offset, int width = 1) { return hex.mid(offset * 2, width * 2); };
    EXPECT_EQ(byteAt(cfg, 27), "4B");
    EXPECT_EQ(byteAt(cfg, 1), "00");
    EXPECT_EQ(byteAt(cfg, 40), "02");
    EXPECT_EQ(byteAt(cfg, 22), "2C");
    EXPECT_EQ(byteAt(cfg, 10), "05");
    EXPECT_EQ(byteAt(cfg, 23, 4), "FFFFFF9C");
    EXPECT_EQ(byteAt(cfg, 82, 2), "FFFF");
    EXPECT_EQ(byteAt(cfg, 41) + byteAt(cfg, 49) + byteAt(cfg, 57) + byteAt(cfg, 61) + byteAt(cfg, 65), "0101010501");
    const QString cal = EncodeArea(set, Area::Calibration);
    EXPECT_EQ(byteAt(cal, 8, 4), "FFFFFFFE");
    EXPECT_EQ(byteAt(cal, 28, 4), "FFFFFFFD");
    EXPECT_EQ(byteAt(cal, 24, 4), "00000000");
}

TEST(RowValues, RawNumbersAreShownAsAReadShowsThem)
{
    ParameterSet set;
    set.weight.WeightFormatReference = "300.09";
    set.setRowValue(56, RowValue::of(-100));
    set.setRowValue(70, RowValue::of(98304));
    set.setRowValue(76, RowValue::of(80260));
    set.setRowValue(75, RowValue::of(7));
    set.setRowValue(78, RowValue::of(65535));
    set.setRowValue(21, RowValue::of(75));
    set.setRowValue(13, RowValue::code(0));
    EXPECT_EQ(set.value(56), "-001.00");
    EXPECT_EQ(set.value(70), "1 - 32768");
    EXPECT_EQ(set.value(76), "9,80260");
    EXPECT_EQ(set.value(75), "7") << "one character: no \"9,\"";
    EXPECT_EQ(set.value(78), "65535");
    EXPECT_EQ(set.value(21), "7,5");
    EXPECT_EQ(set.value(13), "0 ");
    EXPECT_EQ(set.value(20), "") << "nothing held: an empty cell";
    set.setWeightsRaw(true);
    EXPECT_EQ(set.value(56), "-100") << "while a write runs";
    set.setWeightsRaw(false);
    EXPECT_EQ(set.value(56), "-001.00");
}

TEST(RowValues, ADisplayTextBecomesTheValueItShowsOrStaysAsItIs)
{
    ParameterSet set;
    set.setTexts(numbered());
    set.weight.WeightFormatReference = "300.09";
    set.weight.DecimalsPattern = "09";
    const std::pair<int, RowValue> typed[] = {
        {3, RowValue::code(1)},                 // "L178": [200]'s item 1
        {33, RowValue::code(2)},                // "2-EVEN" as a read shows it
        {33, RowValue::code(1, RowValue::From::List)},  // "1- 7 bit,ODD parity" from the editor's list
        {46, RowValue::code(0, RowValue::From::Other)}, // "0-NONE": a code outside the read list
        {13, RowValue::code(5, RowValue::From::List)},  // "05": [120]'s list
        {13, RowValue::code(5)},                // "5 " as a read shows it
        {19, RowValue::of(99)},
        {21, RowValue::of(75)},                 // "7,5"
        {56, RowValue::of(-100)},               // "-001.00"
        {69, RowValue::of(-2)},                 // "65535 - 65534"
        {76, RowValue::of(80260)},              // "9,80260"
    };
    for (const auto &[row, value] : typed) {
        set.setRowValue(row, value);
        const QString shown = set.value(row);
        set.setRowValue(row, RowValue{});
        set.setValue(row, shown);
        EXPECT_EQ(set.rowValue(row), value) << row << " " << shown.toStdString();
    }
    for (const auto &[row, text] : std::vector<std::pair<int, const char *>>{
             {4, "xyz"}, {19, "012"}, {21, "7.5"}, {13, "5"}, {82, "ZR2 V2.20 with words"}}) {
        set.setValue(row, text);
        EXPECT_EQ(set.rowValue(row), RowValue::shown(text)) << row;
        EXPECT_EQ(set.value(row), text) << row;
    }
    set.setValue(19, "");
    EXPECT_TRUE(set.rowValue(19).empty());
}

// ---- small conversions ----------------------------------------------------------

TEST(ParameterConversions, DateTimeToWireTakesTheGroupsAsTheyStand)
{
    EXPECT_EQ(DateTimeToWire("25-12-09 \\ 14:30:05 \\ Thursday"), "0530140025120900");
    EXPECT_EQ(DateTimeToWire("07-03-26 \\ 09:05:00"), "0005090007032600");
    EXPECT_EQ(DateTimeToWire("29-02-28 \\ 23:59:59"), "5959230029022800");
    for (const char *bad : {"", "31-04-26 \\ 10:00:00", "29-02-27 \\ 10:00:00", "25-12-09 \\ 24:00:00",
                            "25-12-00 \\ 10:00:00", "2x-12-09 \\ 10:00:00", "25/12/09 \\ 10:00:00",
                            "25-12-09 10:00:00", "00-12-09 \\ 10:00:00", "25-12-09 \\ 10:60:00"})
        EXPECT_FALSE(DateTimeToWire(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(ParameterConversions, WordPairsShowHighAndLowWord)
{
    const std::pair<qint64, const char *> cases[] = {{0, "0 - 0"},          {65536, "1 - 0"},
                                                     {-1, "65535 - 65535"}, {98304, "1 - 32768"},
                                                     {-65536, "65535 - 0"}, {-65537, "65534 - 65535"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(ikile(value), text) << value;
}

TEST(ParameterConversions, IdentificationRowTexts)
{
    const LanguageTexts texts = numbered();
    EXPECT_EQ(ModelRowText("ZR2 V2.20 ", texts), "L367 V2.20 ");
    EXPECT_EQ(ModelRowText("ZR1 V1.07", texts), "L366 V1.07");
    EXPECT_EQ(ModelRowText("XY9 V1", texts), " V1");
    EXPECT_EQ(SecondRowText("SN00012345"), "SN0001234");
}

TEST(ParameterConversions, OnlyAWholeAnswerGivesItsData)
{
    EXPECT_EQ(AnswerDataHex("@050302ABCD7E\r", "05", true, 2), "ABCD");
    EXPECT_EQ(AnswerDataHex("@0302ABCD\r", "", false, 2), "ABCD");
    EXPECT_FALSE(AnswerDataHex("@0302AB", "", false, 2).has_value());
    EXPECT_FALSE(AnswerDataHex("@80030101\r", "", false, 2).has_value());
    EXPECT_FALSE(AnswerDataHex("@0302ABCD\r", "", false, 3).has_value());
    EXPECT_FALSE(AnswerDataHex("", "", false, 2).has_value());
}

struct Format {
    const char *capacity;
    const char *division;
    const char *reference;
    const char *integer;
    const char *decimals;
};

TEST(WeightFormat, ReferenceAndDecimalsFromCapacityAndDivision)
{
    const Format cases[] = {
        {"300", "0.005", "300.045", "0", "005"},
        {"3000", "1", "3009", "1", ""},
        {"800000", "200", "801800", "200", ""},
        {"30 - 300 Kg", "9 - 0.1", "300.9", "0", "1"},
        // A division item refilled from a metrology profile ends in " Kg": the number alone counts.
        {"300", "5 - 0.005 Kg", "300.045", "0", "005"},
    };
    for (const Format &f : cases) {
        const std::optional<WeightFormat> w = DeriveWeightFormat(f.capacity, f.division);
        ASSERT_TRUE(w.has_value()) << f.division;
        EXPECT_EQ(w->WeightFormatReference, f.reference) << f.division;
        EXPECT_EQ(w->DivisionIntegerText, f.integer) << f.division;
        EXPECT_EQ(w->DecimalsPattern, f.decimals) << f.division;
        EXPECT_EQ(w->decimals(), int(strlen(f.decimals))) << f.division;
    }
    EXPECT_FALSE(DeriveWeightFormat("", "0.1").has_value());
    EXPECT_FALSE(DeriveWeightFormat("300", "abc").has_value());
    EXPECT_FALSE(DeriveWeightFormat("300.5", "0.1").has_value());
}

}  // namespace
