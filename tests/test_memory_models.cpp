// The memories' and the ticket layout's pure parts: aligning a line, the EPL print
// check, setpoint scaling, the preset tare number format and the copies between the
// working models and the configuration record's blocks. The selector codes and the
// setpoints' unsigned view are pinned on the wire by the memory sequence tests.

#include "memory/EplFile.h"
#include "memory/IdMemory.h"
#include "memory/PresetTares.h"
#include "memory/SetpointMemory.h"
#include "memory/TicketLayout.h"
#include "memory/Transfers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vx;

namespace {

QString spaces(int n) { return QString(n, QLatin1Char(' ')); }
QString nuls(int n) { return QString(n, QChar(u'\0')); }

// ---- AlignText ----

TEST(AlignText, CentresWithTheHalfToTheEvenSideAndLeavesALongerLine)
{
    const struct { const char *name; QString text; int width; Align mode; QString expected; } cases[] = {
        // Free width 17: 8.5 goes to the even 8 before, 9 after.
        {"ThreeCentred", "ABC", 20, Align::Centre, spaces(8) + "ABC" + spaces(9)},
        // Free width 15: 7.5 goes to the even 8 before, 7 after.
        {"FiveCentred", "ABCDE", 20, Align::Centre, spaces(8) + "ABCDE" + spaces(7)},
        {"ThreeLeft", "ABC", 20, Align::Left, "ABC" + spaces(17)},
        {"ThreeRight", "ABC", 20, Align::Right, spaces(17) + "ABC"},
        {"TwentyOneUnchanged", "ABCDEFGHIJKLMNOPQRSTU", 20, Align::Left, "ABCDEFGHIJKLMNOPQRSTU"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AlignText(c.text, c.width, c.mode), c.expected) << c.name;
}

// ---- EplKontrol ----

TEST(EplKontrol, EndsTheTextWithAPrintCommand)
{
    const QString P1 = QStringLiteral("\r\nP1\r\n");
    const struct { const char *name; QString text, expected; } cases[] = {
        {"EndsInP1", "N\r\nP1", "N\r\nP1"},
        {"EndsInPAndTwoDigits", "N\r\nP12", "N\r\nP12"},
        {"LowerCasePrintGainsP1", "N\r\np1", "N\r\np1" + P1},
        {"NoPrintGainsP1", "N\r\nA10", "N\r\nA10" + P1},
        {"PAloneOnItsLineBecomesP1", "N\r\nP", "N\r\nP1\r\n"},
        {"PEndingAWordGainsP1", "N\r\nAP", "N\r\nAP" + P1},
        {"CrLfRemovedDownToTwoCharacters", "A\r\n\r\n", "A" + P1},
        {"PDigitLetter", "N\r\nP1X", "N\r\nP1X" + P1},
        {"PDigitInMiddle", "N\r\nXP5", "N\r\nXP5"},
        {"EmptyText", "", P1},
        {"SingleP", "P", "P"},
        {"Length997Checked", QString(997, QLatin1Char('A')), QString(997, QLatin1Char('A')) + P1},
        {"Length998Unchanged", QString(998, QLatin1Char('A')), QString(998, QLatin1Char('A'))},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EplKontrol(c.text), c.expected) << c.name;
}

// The chunks on the wire are pinned by the EPL write sequence test.
TEST(EplText, SentTextIsTrimmedAndItsChunksInTheCodePage)
{
    // The record's field is padded with blanks to 1000.
    EXPECT_EQ(EplTextToSend(FitText(QStringLiteral("  AP1"), 1000)), QStringLiteral("AP1\r\n"));
    // "Ş" is 0xDE, "€" 0x80.
    EXPECT_EQ(EplChunkHex(QStringLiteral("Ş€"), 0), QStringLiteral("DE800000"));
}

// ---- ID records ----

TEST(IdRecord, ParsedFromTheDecodedAnswer)
{
    const QChar degree(0x00B0);
    auto parse = [&](const QString &text) { return ParseIdRecord(text); };
    const auto normal = parse(QString(QChar(0x80)) + "1024" + degree + "ACME LOJ" + spaces(8));
    ASSERT_TRUE(normal);
    EXPECT_EQ(normal->number, "1024");
    EXPECT_EQ(normal->name, "ACME LOJ");
    // Unused records show empty, whatever name they carry.
    for (const char *unused : {"-1", "0"}) {
        const auto r = parse(QString(QChar(1)) + unused + degree + "JUNK");
        ASSERT_TRUE(r);
        EXPECT_TRUE(r->number.isEmpty() && r->name.isEmpty()) << unused;
    }
    EXPECT_FALSE(parse(QStringLiteral("\x01" "1024ACME")));  // no "°": no record
    EXPECT_FALSE(parse(QString(QChar(1)) + "12" + QChar(u'\0') + "3" + degree + "X"));  // no whole number
    EXPECT_FALSE(parse(QString()));
}

// Each field's padding at its place in the record: the configuration record tests.
TEST(IdMemoryBlock, CollectedPaddedAndCutShownWithoutPadding)
{
    IdMemory memory;
    memory.setRecord(0, "123", "YILDIZ");
    memory.setRecord(100, "1234567", "A NAME LONGER THAN SIXTEEN");
    memory.setIdHeader(1, "PLAKA");
    IdMemoryBlock block;
    EXPECT_EQ(block.IdNames[5], nuls(16));  // never assigned
    IdMemoryToRecord(memory, block);
    EXPECT_EQ(block.IdNumbers[100], "123456");
    EXPECT_EQ(block.IdNames[100], "A NAME LONGER TH");
    EXPECT_EQ(block.IdNames[5], spaces(16));
    EXPECT_EQ(block.IdHeaders[0], spaces(11));

    IdMemory shown;
    IDOKU(block, shown);
    EXPECT_EQ(shown.number(0), "123");
    EXPECT_EQ(shown.name(0), "YILDIZ");
    EXPECT_EQ(shown.name(100), "A NAME LONGER TH");
    EXPECT_EQ(shown.idHeader(1), "PLAKA");
    // A reset record shows nothing, not NUL characters.
    IDOKU(IdMemoryBlock{}, shown);
    EXPECT_EQ(shown.number(0), QString());
    EXPECT_EQ(shown.idHeader(1), QString());
}

// ---- setpoints ----

TEST(SetpointWire, ScaledByTheDecimalsAndRefusedBeyondSixDigits)
{
    const struct { const char *name; QString text; int decimals; qint64 value; SetpointFault fault; } cases[] = {
        {"TwelveAndAHalfTwoDecimals", "12,5", 2, 1250, SetpointFault::None},
        {"PointAsSeparator", "12.5", 2, 1250, SetpointFault::None},
        {"EmptyIsZero", "", 2, 0, SetpointFault::None},
        {"Negative", "-3,25", 2, -325, SetpointFault::None},
        {"ExtraDecimalHalfToEven", "0,125", 2, 12, SetpointFault::None},
        {"ExtraDecimalAboveHalf", "0,1251", 2, 13, SetpointFault::None},
        {"SixDigitsNoDecimals", "999999", 0, 999999, SetpointFault::None},
        {"SevenDigitsNoDecimals", "1234567", 0, 0, SetpointFault::TooManyDigits},
        {"RoundedToSevenDigits", "999999,5", 0, 0, SetpointFault::TooManyDigits},
        {"LeadingZerosDoNotCount", "0001234", 0, 1234, SetpointFault::None},
        {"Letters", "abc", 2, 0, SetpointFault::NotANumber},
        // The whole text is the number: nothing but blanks may stand around it.
        {"BlanksAround", " 12,5 ", 2, 1250, SetpointFault::None},
        {"LettersAfter", "12abc", 2, 0, SetpointFault::NotANumber},
        {"Exponent", "1e308", 2, 0, SetpointFault::NotANumber},
        {"TwoSeparators", "12,5.7", 2, 0, SetpointFault::NotANumber},
        {"Unit", "5 kg", 2, 0, SetpointFault::NotANumber},
    };
    for (const auto &c : cases) {
        const SetpointWire w = SetpointWireValue(c.text, c.decimals);
        EXPECT_EQ(w.fault, c.fault) << c.name;
        if (c.fault == SetpointFault::None) {
            EXPECT_EQ(w.value, c.value) << c.name;
        }
    }
}

TEST(SetpointMemoryBlock, EmptyOrZeroShowsZeroOtherTextsAsStored)
{
    SetpointMemoryBlock block;
    block.Setpoint1[0] = "12,5";
    block.Setpoint2[0] = "";
    block.Setpoint3[0] = "0,00";
    block.Setpoint1[8] = "abc";
    block.Setpoint1[9] = "77";  // no grid row: kept in the block
    SetpointMemory memory;
    SetpointOku(block, memory);
    EXPECT_EQ(memory.value(0, 0), "12,5");
    EXPECT_EQ(memory.value(0, 1), "0");
    EXPECT_EQ(memory.value(0, 2), "0");
    EXPECT_EQ(memory.value(8, 0), "0");

    memory.setValue(1, 2, "7,25");
    SetpointMemoryToRecord(memory, block);
    EXPECT_EQ(block.Setpoint3[1], "7,25");
    EXPECT_EQ(block.Setpoint1[9], "77");
    // A zero goes back as the file wrote it while its cell is untouched; a text that is
    // no number goes back as the "0" shown (what a send would write).
    EXPECT_EQ(block.Setpoint2[0], "");
    EXPECT_EQ(block.Setpoint3[0], "0,00");
    EXPECT_EQ(block.Setpoint1[8], "0");
    memory.setValue(0, 2, "3");
    memory.setValue(0, 1, "0");  // what it shows already: still the file's
    SetpointMemoryToRecord(memory, block);
    EXPECT_EQ(block.Setpoint3[0], "3");
    EXPECT_EQ(block.Setpoint2[0], "");
    block.Setpoint3[0] = "0,00";
    SetpointOku(block, memory);
    memory.clear();
    memory.setValue(0, 1, "0");
    SetpointMemoryToRecord(memory, block);
    EXPECT_EQ(block.Setpoint3[0], "") << "cleared: nothing of the file is kept";
    EXPECT_EQ(block.Setpoint2[0], "0");
}

// ---- preset tares ----

TEST(PresetTare, OneNumberFormatBothWays)
{
    PresetTares tares;
    PresetTareBlock block;
    block.PresetTare[0] = 12.5;
    block.PresetTare[1] = 0;
    block.PresetTare[2] = 1500;
    block.PresetTare[99] = 42;  // no grid row
    PDaraOku(block, tares);
    EXPECT_EQ(tares.value(0), "12,5");
    EXPECT_EQ(tares.value(1), "0");
    EXPECT_EQ(tares.value(2), "1500");

    // Shown and collected again, 12,5 stays 12.5.
    PresetTareBlock again;
    again.PresetTare[99] = 42;
    PresetTaresToRecord(tares, again);
    EXPECT_EQ(again.PresetTare[0], 12.5);
    EXPECT_EQ(again.PresetTare[2], 1500.0);
    EXPECT_EQ(again.PresetTare[99], 42.0);

    tares.setValue(3, "12.5");
    tares.setValue(4, "");
    tares.setValue(5, "x");
    PresetTaresToRecord(tares, again);
    EXPECT_EQ(again.PresetTare[3], 12.5);
    EXPECT_EQ(again.PresetTare[4], 0.0);
    EXPECT_EQ(again.PresetTare[5], 0.0);
}

// ---- ticket lines ----

// Centred and flush-left lines on the wire: the ticket line sequence test; the flags
// and the EPL field at their place in the record: the configuration record tests.
TEST(TicketBlock, LinesStoredWithTheirNulAndShownBack)
{
    TicketLayout layout;
    layout.setHeaderCentred(true);
    layout.setFootnoteCentred(false);
    layout.setLine(0, "ABC");
    layout.setLine(1, "ABCDEFGHIJKLMNOPQRST");
    layout.setLine(4, "XY");
    layout.setEplText("N\r\nP1\r\n");
    TicketBlock block;
    TicketLinesToRecord(layout, block);
    EXPECT_EQ(block.HeaderLines[1], "ABCDEFGHIJKLMNOPQRST" + QString(QChar(u'\0')));
    EXPECT_EQ(block.HeaderLines[2], spaces(20) + QChar(u'\0'));

    TicketLayout shown;
    TicketLinesFromRecord(block, shown);
    EXPECT_EQ(shown.line(0), "ABC");
    EXPECT_EQ(shown.line(4), "XY");
    EXPECT_EQ(shown.eplText(), "N\r\nP1\r\n");
    EXPECT_TRUE(shown.headerCentred());
    EXPECT_FALSE(shown.footnoteCentred());
}

TEST(TicketBlock, CentringACentredLineDoesNotMoveItAndLongLinesAreCut)
{
    // A centred line that comes back with its blanks (from a file, from the
    // indicator) is stored as it was.
    const QString once = AlignedTicketLine("ABC", true);
    TicketBlock block;
    block.HeaderLines[0] = once;
    block.HeaderCentered = true;
    TicketLayout layout;
    TicketLinesFromRecord(block, layout);
    TicketBlock again;
    TicketLinesToRecord(layout, again);
    EXPECT_EQ(again.HeaderLines[0], once);
    // Even a box that still holds the blanks.
    EXPECT_EQ(AlignedTicketLine(spaces(8) + "ABC", true), once);
    // Flush left keeps a leading blank the user typed.
    EXPECT_EQ(AlignedTicketLine(" ABC", false), " ABC" + spaces(16) + QChar(u'\0'));
    // A longer line is stored as its first 21 characters.
    EXPECT_EQ(AlignedTicketLine("ABCDEFGHIJKLMNOPQRSTUVW", false), "ABCDEFGHIJKLMNOPQRSTU");
}

TEST(TicketLine, TextOfARegisterBlock)
{
    // Even lines begin with the previous line's NUL and end with their own.
    EXPECT_EQ(TicketLineText(QString(QChar(u'\0')) + "AB" + spaces(18) + QChar(u'\0'), true), "AB" + spaces(18));
    EXPECT_EQ(TicketLineText(nuls(22), true), QString());
    EXPECT_EQ(TicketLineText("AB\nC" + nuls(16), false), "ABC");
    EXPECT_EQ(TicketLineText("AB" + nuls(2) + "CD" + nuls(14), false), "AB");
}

// ---- EPL files ----

TEST(EplFileTest, LoadedLineByLineAndSavedWithoutGrowing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("label.txt");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("N\nA10,10,0,3,1,1,N,\"\xDE" "EKER\"\r\nP1");  // Windows-1254: 0xDE is "Ş"
    }
    const EplFile loaded = ReadEplFile(path);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.text, QStringLiteral("N\r\nA10,10,0,3,1,1,N,\"ŞEKER\"\r\nP1\r\n"));
    EXPECT_EQ(loaded.bytes, 30);

    ASSERT_TRUE(WriteEplFile(path, loaded.text));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("N\r\nA10,10,0,3,1,1,N,\"\xDE" "EKER\"\r\nP1\r\n"));
    EXPECT_EQ(ReadEplFile(path).text, loaded.text);

    EXPECT_FALSE(ReadEplFile(dir.filePath("missing.txt")).ok);
    EXPECT_FALSE(WriteEplFile(dir.filePath("no/such/folder/x.txt"), "A"));
}

}  // namespace
