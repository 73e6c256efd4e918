// The configuration record in file form: its size and field offsets (expected
// offsets worked out by hand), what each parameter row is saved from and loaded
// into, ParameterRow1Text, the round trip with reserved bytes, and files that are
// cut off, longer, missing or cannot be written.

#include "files/ConfigFile.h"
#include "files/ConfigurationRecord.h"
#include "files/ParameterRecord.h"
#include "files/WorkingSet.h"
#include "link/Cp1254.h"
#include "shell/LanguageTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace vx;

namespace {

QByteArray saved(WorkingSet &set)
{
    set.collect();
    return EncodeRecord(set.record());
}
QString spaces(int n) { return QString(n, QLatin1Char(' ')); }
QByteArray latin(const char *text) { return QByteArray(text); }
QByteArray le32(qint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

TEST(ConfigRecord, AnEmptyWorkingSetSavesAs6548BytesWithItsVariableTextsEmpty)
{
    WorkingSet set;
    const QByteArray file = saved(set);
    ASSERT_EQ(file.size(), 6548);
    // Setpoints 1-3 of records 1-10, then ParameterRow1Text: 31 lengths of 0.
    for (int k = 0; k < 31; ++k)
        EXPECT_EQ(file.mid(3374 + 2 * k, 2), QByteArray(2, '\0')) << k;
    // ParameterBlockA begins right after them: row 62 saved there.
    set.parameters().setValue(62, "0-Off");
    EXPECT_EQ(saved(set).mid(3436, 25), latin("0-Off") + QByteArray(20, ' '));
    // The reserved fields of a record never loaded from a file are zero.
    for (const auto &[offset, width] : std::vector<std::pair<int, int>>{
             {3461, 25}, {3668, 2}, {3895, 50}, {3970, 50}, {4120, 25}, {4303, 25}, {4378, 26}, {5104, 25},
             {5154, 150}, {5510, 50}, {5564, 75}, {5689, 9}})
        EXPECT_EQ(file.mid(offset, width), QByteArray(width, '\0')) << offset;
}

// ---- every field at its offset ----

// A value planted in the working set and the bytes it gives at a hand-computed offset.
struct Placed {
    const char *what;
    int offset;
    std::function<void(WorkingSet &)> plant;
    QByteArray bytes;
};

QByteArray text25(const char *t) { return latin(t) + QByteArray(25 - int(qstrlen(t)), ' '); }

// A parameter text row: "r" and its number.
Placed row(int r, int offset)
{
    const QByteArray text = "r" + QByteArray::number(r);
    return {"row", offset, [r, text](WorkingSet &s) { s.parameters().setValue(r, QString::fromLatin1(text)); },
            text + QByteArray(25 - text.size(), ' ')};
}

std::vector<Placed> placements()
{
    auto held = [](int row, qint64 v) {
        return [row, v](WorkingSet &s) { s.parameters().setRowValue(row, RowValue::of(v)); };
    };
    std::vector<Placed> p = {
        {"header line 1", 0, [](WorkingSet &s) { s.ticket().setHeaderCentred(false), s.ticket().setLine(0, "H1"); }, "H1" + QByteArray(18, ' ') + '\0'},
        {"header line 4", 63, [](WorkingSet &s) { s.ticket().setHeaderCentred(false), s.ticket().setLine(3, "H4"); }, "H4" + QByteArray(18, ' ') + '\0'},
        {"footnote line 1", 84, [](WorkingSet &s) { s.ticket().setFootnoteCentred(false), s.ticket().setLine(4, "F1"); }, "F1" + QByteArray(18, ' ') + '\0'},
        {"footnote line 2", 105, [](WorkingSet &s) { s.ticket().setFootnoteCentred(false), s.ticket().setLine(5, "F2"); }, "F2" + QByteArray(18, ' ') + '\0'},
        {"EPL text", 126, [](WorkingSet &s) { s.ticket().setEplText("N\r\nP1"); }, "N\r\nP1" + QByteArray(995, ' ')},
        {"header centred", 1126, [](WorkingSet &s) { s.ticket().setHeaderCentred(true); }, QByteArray(2, '\xFF')},
        {"footnote left", 1128, [](WorkingSet &s) { s.ticket().setFootnoteCentred(false); }, QByteArray(2, '\0')},
        {"ID 1 name", 1130, [](WorkingSet &s) { s.ids().setName(0, "Ali"); }, "Ali" + QByteArray(13, ' ')},
        {"ID memory 99 name", 2730, [](WorkingSet &s) { s.ids().setName(100, "Şule"); }, "\xDEule" + QByteArray(12, ' ')},
        {"ID 1 number", 2746, [](WorkingSet &s) { s.ids().setNumber(0, "12"); }, "12" + QByteArray(4, ' ')},
        {"ID memory 99 number", 3346, [](WorkingSet &s) { s.ids().setNumber(100, "999999"); }, "999999"},
        {"ID header 1", 3352, [](WorkingSet &s) { s.ids().setIdHeader(0, "PLAKA"); }, "PLAKA" + QByteArray(6, ' ')},
        {"ID header 2", 3363, [](WorkingSet &s) { s.ids().setIdHeader(1, "FIRMA"); }, "FIRMA" + QByteArray(6, ' ')},
        row(62, 3436), row(63, 3486), row(64, 3511), row(65, 3536), row(66, 3561), row(67, 3586), row(68, 3611),
        {"row 69", 3636, held(69, 65538), le32(65538)},
        {"row 70", 3640, held(70, -2), le32(-2)},
        {"row 71", 3644, held(71, 7), le32(7)},
        {"row 72", 3648, held(72, 8), le32(8)},
        {"row 73", 3652, [](WorkingSet &s) { s.parameters().setValue(73, "-123456"); }, le32(-123456)},
        {"row 74", 3656, [](WorkingSet &s) { s.parameters().setValue(74, "74"); }, le32(74)},
        {"row 75", 3660, held(75, 9810), le32(9810)},
        {"row 76", 3664, held(76, 9806), le32(9806)},
        row(3, 3670), row(4, 3695), row(5, 3720), row(6, 3745), row(7, 3770), row(8, 3795), row(9, 3820),
        {"row 10", 3845, [](WorkingSet &s) { s.parameters().setValue(10, "2-Both"); }, text25("2")},
        row(11, 3870), row(13, 3945), row(14, 4020), row(15, 4045), row(16, 4070), row(17, 4095),
        {"row 18", 4145, held(18, 200), le32(200)},
        row(19, 4149),
        {"row 20", 4174, held(20, 25), le32(25)},
        row(21, 4178), row(22, 4203), row(23, 4228), row(24, 4253), row(25, 4278), row(26, 4328),
        {"row 27", 4353, [](WorkingSet &s) { s.parameters().setValue(27, "1-Fill"); }, text25("1")},
        row(29, 4404), row(30, 4429), row(32, 4454), row(31, 4479), row(33, 4604),
        row(35, 4629), row(36, 4654), row(38, 4679), row(37, 4704), row(39, 4829),
        row(41, 4854), row(42, 4879), row(44, 4904), row(43, 4929), row(45, 4954), row(46, 5054),
        row(48, 5079), row(49, 5129),
        row(51, 5304), row(52, 5329), row(57, 5354), row(53, 5379),
        {"row 56", 5404, held(56, -20), le32(-20)},
        row(54, 5408), row(55, 5433), row(58, 5458), row(59, 5483),
        {"row 60", 5508, [](WorkingSet &s) { s.parameters().setValue(60, "7"); }, "7 "},
        {"row 78", 5560, held(78, 65535), "\xFF\xFF"},
        {"row 79", 5562, held(79, 258), "\x02\x01"},
        row(80, 5639), row(81, 5664), row(82, 5698), row(83, 5723),
        {"preset tare 1", 5748, [](WorkingSet &s) { s.presetTares().setValue(0, "12,5"); },
         QByteArray("\0\0\0\0\0\0\x29\x40", 8)},
        {"preset tare 99", 6532, [](WorkingSet &s) { s.presetTares().setValue(98, "-1"); },
         QByteArray("\0\0\0\0\0\0\xF0\xBF", 8)},
    };
    return p;
}

TEST(ConfigRecord, EveryFieldIsWrittenAtItsOffset)
{
    for (const Placed &p : placements()) {
        WorkingSet set;
        p.plant(set);
        const QByteArray file = saved(set);
        ASSERT_EQ(file.size(), 6548);
        EXPECT_EQ(file.mid(p.offset, p.bytes.size()).toHex(' '), p.bytes.toHex(' '))
            << p.what << " at " << p.offset;
    }
}

TEST(ConfigRecord, AVariableTextMovesWhatFollowsIt)
{
    WorkingSet set;
    set.setpoints().setValue(0, 0, "12,5");
    set.parameters().setValue(62, "x");
    const QByteArray file = saved(set);
    EXPECT_EQ(file.size(), 6548 + 4);
    EXPECT_EQ(file.mid(3374, 6), QByteArray("\x04\0" "12,5", 6));
    EXPECT_EQ(file.mid(3440, 1), "x") << "ParameterBlockA four bytes on";
}

// ---- parameter rows back from the record ----

TEST(ConfigRecord, ParameterRowsComeBackAsTheirFieldsSay)
{
    WorkingSet out;
    ParameterSet &p = out.parameters();
    p.weight.WeightFormatReference = "300.09";
    p.weight.DecimalsPattern = "05";
    p.setValue(3, "1-On");
    p.setValue(10, "1-Tilt");
    p.setValue(33, "2-EVEN");
    p.setValue(19, QString(30, 'x'));  // cut to 25
    p.setValue(23, "abc");             // 22 blanks follow it back
    p.setValue(60, "5");
    const std::pair<int, qint64> raw[] = {{78, 65535}, {18, -100}, {20, 1234}, {56, 2000}, {69, 65538},
                                          {70, 1},     {71, 2},    {72, 3},     {75, 12},   {76, 9806}};
    for (const auto &[row, value] : raw)
        p.setRowValue(row, RowValue::of(value));
    out.collect();

    LanguageTexts texts;
    texts.setText(336, "1-Tilt");
    WorkingSet in;
    in.parameters().weight = p.weight;
    in.record() = out.record();
    in.show(texts);
    const ParameterSet &q = in.parameters();
    EXPECT_EQ(q.value(3), "1-On" + spaces(21)) << "no text of its list: as stored, padding included";
    EXPECT_TRUE(q.param200On());
    EXPECT_EQ(q.value(10), "1-Tilt") << "the list text of the code saved";
    EXPECT_EQ(q.rowValue(10), RowValue::code(1));
    EXPECT_EQ(q.rowValue(33), RowValue::code(2)) << "a list text: its code";
    EXPECT_EQ(q.value(33), "2-EVEN");
    EXPECT_EQ(q.value(19), QString(25, 'x'));
    EXPECT_EQ(q.value(23), "abc" + spaces(22));
    EXPECT_EQ(q.rowValue(60), RowValue::of(5));
    EXPECT_EQ(q.value(78), "65535");
    EXPECT_EQ(q.rowValue(78), RowValue::of(65535));
    EXPECT_EQ(q.rowValue(20), RowValue::of(1234));
    EXPECT_EQ(q.value(18), "-001.00") << "weights in the indicator's format";
    EXPECT_EQ(q.value(20), "012.34");
    EXPECT_EQ(q.value(56), "020.00");
    EXPECT_EQ(q.value(69), "1 - 2");
    EXPECT_EQ(q.value(75), "9,12");
}

TEST(ConfigRecord, ATextThatIsNoWholeNumberLeavesItsFieldAsItWas)
{
    WorkingSet set;
    set.parameters().setValue(73, "abc");
    set.parameters().setValue(74, "12,5");  // halves go to the even neighbour
    const QByteArray file = saved(set);
    EXPECT_EQ(file.mid(3652, 4), le32(0));
    EXPECT_EQ(file.mid(3656, 4), le32(12));

    set.parameters().setValue(73, "41");
    EXPECT_EQ(saved(set).mid(3652, 4), le32(41));
    set.parameters().setValue(73, "4x1");
    EXPECT_EQ(saved(set).mid(3652, 4), le32(41)) << "the previous value stays";
}

// Rows 20 and 56 show weights in the indicator's format; saving that text as a whole
// number would lose the decimals (12,34 saved as 12). They are saved from their raw
// values, as row 18 is.
TEST(ConfigRecord, WeightRowsAreSavedFromTheirRawValuesNotTheirDisplay)
{
    WorkingSet set;
    ParameterSet &p = set.parameters();
    p.weight.WeightFormatReference = "300.09";
    p.weight.DecimalsPattern = "05";
    p.setRowValue(18, RowValue::of(1000));
    p.setRowValue(20, RowValue::of(1234));
    p.setRowValue(56, RowValue::of(550));
    ASSERT_EQ(p.value(20), "012.34");
    const QByteArray file = saved(set);
    EXPECT_EQ(file.mid(4145, 4), le32(1000));
    EXPECT_EQ(file.mid(4174, 4), le32(1234));
    EXPECT_EQ(file.mid(5404, 4), le32(550));
}

// ---- ParameterRow1Text ----

TEST(ConfigRecord, Row1SplitsAtTheFirstBackslashFromThe11thCharacter)
{
    const struct { const char *name; QString text; std::optional<QString> row1; QString suffix; } cases[] = {
        {"TenLettersThenDate", "ABCDEFGHIJ \\ 01-02-03", QString("ABCDEFGHIJ"), " \\ 01-02-03"},
        {"ClockAndWeekday", "05-03-24 \\ 10:11:12 \\ Thursday", QString("05-03-24 \\ 10:11:12"), " \\ Thursday"},
        // The only "\" stands at the 10th character: no split.
        {"BackslashTooEarly", "05-03-24 \\ 10:11:12", std::nullopt, "05-03-24 \\ 10:11:12"},
        {"BackslashAt11th", "ABCDEFGHIJ\\x", QString("ABCDEFGHI"), "J\\x"},
        {"Empty", "", std::nullopt, ""},
    };
    for (const auto &c : cases) {
        const Row1Parts parts = SplitParameterRow1Text(c.text);
        EXPECT_EQ(parts.row1, c.row1) << c.name;
        EXPECT_EQ(parts.suffix, c.suffix) << c.name;
    }
}

TEST(ConfigRecord, Row1AndItsSuffixAreSavedTrimmedOrNotAtAll)
{
    EXPECT_EQ(JoinParameterRow1Text(" 05-03-24 \\ 10:11:12", " \\ Thursday "), "05-03-24 \\ 10:11:12 \\ Thursday");
    EXPECT_EQ(JoinParameterRow1Text("", ""), std::nullopt);

    WorkingSet set;
    set.record().ParameterRow1Text = "kept";
    set.collect();
    EXPECT_EQ(set.record().ParameterRow1Text, "kept") << "an empty row 1 keeps what the record held";
}

// ---- round trip ----

void populate(WorkingSet &s)
{
    s.ticket().setHeaderCentred(true);
    s.ticket().setFootnoteCentred(false);
    s.ticket().setLine(0, "ÖZTÜRK KANTAR");
    s.ticket().setLine(5, "İyi yolculuklar");
    s.ticket().setEplText("N\r\nA50,0,0,1,1,1,N,\"X\"\r\nP1");
    s.ids().setRecord(0, "12", "Ali Veli");
    s.ids().setRecord(57, "654321", "Çağrı Nakliyat");
    s.ids().setIdHeader(0, "PLAKA");
    for (int r = 0; r < SetpointRecordCount; ++r)
        for (int k = 0; k < 3; ++k)
            s.setpoints().setValue(r, k, r == 2 ? "12,5" : "0");
    s.presetTares().setValue(4, "12,5");
    ParameterSet &p = s.parameters();
    p.setValue(1, "05-03-24 \\ 10:11:12");
    p.setClockSuffix(" \\ Thursday");
    p.setValue(30, "3-9600");
    for (const auto &[row, value] : std::vector<std::pair<int, qint64>>{
             {18, 200}, {20, 25}, {56, 20}, {69, 1}, {70, 2}, {71, 3}, {72, 4}, {75, 5}, {76, 6}, {78, 40000}})
        p.setRowValue(row, RowValue::of(value));
    p.setValue(60, "1");
}

TEST(ConfigRecord, SavedOpenedAndSavedAgainGivesTheSameBytesReservedIncluded)
{
    WorkingSet first;
    populate(first);
    QByteArray file = saved(first);
    // What another program left in the reserved fields stays. They lie behind the
    // variable texts, which take `shift` bytes more than in an empty record.
    const int shift = int(file.size()) - 6548;
    ASSERT_GT(shift, 0);
    for (int offset : {3461, 3668, 3669, 3895, 4403, 5279, 5510, 5564, 5689})
        file[offset + shift] = char(0xA5);
    for (int offset : {3462, 3896, 5280, 5690})
        file.replace(offset + shift, 3, "abc");

    WorkingSet second;
    const std::optional<ConfigurationRecord> loaded = DecodeRecord(file);
    ASSERT_TRUE(loaded);
    second.record() = *loaded;
    second.show(LanguageTexts());
    EXPECT_EQ(saved(second).toHex(), file.toHex());
}

// ---- files ----

TEST(ConfigRecord, ACutOffFileIsRefusedAndALongerOneReadAsFarAsTheRecordReaches)
{
    WorkingSet set;
    populate(set);
    const QByteArray file = saved(set);
    int size = 0;
    EXPECT_FALSE(DecodeRecord(file.left(file.size() - 1)));
    EXPECT_FALSE(DecodeRecord(file.left(3375))) << "inside a setpoint's length";
    const std::optional<ConfigurationRecord> longer = DecodeRecord(file + "trailing bytes", &size);
    ASSERT_TRUE(longer);
    EXPECT_EQ(size, file.size());
    EXPECT_EQ(EncodeRecord(*longer), file);

    QTemporaryDir dir;
    QFile cut(dir.filePath("cut.vxr"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(file.left(4000));
    cut.close();
    FileError error;
    EXPECT_FALSE(ReadConfigurationFile(cut.fileName(), &error));
    EXPECT_EQ(error.kind, FileError::CutOff);
    EXPECT_FALSE(ReadConfigurationFile(dir.filePath("missing.vxr"), &error));
    EXPECT_EQ(error.kind, FileError::CannotOpen);
}

TEST(ConfigRecord, ASaveThatCannotBeWrittenIsReportedAndCreatesNothing)
{
    QTemporaryDir dir;
    WorkingSet set;
    set.collect();
    EXPECT_EQ(WriteConfigurationFile(dir.filePath("no/such/folder/a.vxr"), set.record()).kind, FileError::CannotOpen);
    // A folder where the file should go: written beside it, the rename fails.
    QDir(dir.path()).mkdir("taken.vxr");
    EXPECT_FALSE(WriteConfigurationFile(dir.filePath("taken.vxr"), set.record()).ok());
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.vxr")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList()) << "no temporary file left behind";
}

TEST(ConfigRecord, SaveNamesAndTheTitle)
{
    EXPECT_EQ(SaveFileName("abc"), "abc.vxr");
    EXPECT_EQ(SaveFileName("abc.def"), "abc.def");
    ConfigFileState state;
    state.DosyaDizin("/home/tech/a.b/c");
    EXPECT_EQ(state.ConfigFolder, "/home/tech/a.b/");
    EXPECT_EQ(SaveFileName(state.ConfigFileName), "c.vxr");
    state.DosyaDizin("plain");
    EXPECT_EQ(state.ConfigFolder, "");
    EXPECT_EQ(state.ConfigFileName, "plain");
    EXPECT_TRUE(WindowTitle("a.vxr").startsWith("VEXTORA v"));
    EXPECT_TRUE(WindowTitle("a.vxr").endsWith(" [a.vxr]"));
    EXPECT_FALSE(WindowTitle().contains('['));
}

}  // namespace
