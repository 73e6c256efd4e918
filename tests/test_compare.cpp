// The compare of two working sets: values compared as they travel (a choice by its
// code, whatever the language's caption; a weight by its raw value), the rows left
// out, the raw calibration as one unit, the preset tares between files only, the
// plain and JSON renderings, and the tool's list of rows to send.

#include "files/Compare.h"
#include "files/SelectiveSend.h"
#include "files/WorkingSet.h"
#include "shell/TextService.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vx;

namespace {

struct CompareTest : ::testing::Test {
    CompareTest() { texts.use(LanguageTexts(), "English.txt"); }
    Differences compare(CompareScope scope = CompareScope::FileVsFile) { return Compare(a, b, scope); }
    QStringList keys(const Differences &d) const
    {
        QStringList out;
        for (const Difference &x : d)
            out << DifferenceKey(x);
        return out;
    }

    TextService texts;  // English without lines: captions are the codes alone
    WorkingSet a, b;
};

TEST_F(CompareTest, EqualSetsHaveNoDifferenceAndTheClockAndIdentificationRowsNeverDiffer)
{
    for (WorkingSet *s : {&a, &b}) {
        s->parameters().setValue(30, "3-9600");
        s->ids().setRecord(2, "12", "AHMET");
        s->setpoints().setValue(0, 0, "12,5");
    }
    a.parameters().setValue(1, "01-01-26 \\ 10:00:00");
    b.parameters().setValue(1, "07-12-26 \\ 11:15:33");
    a.parameters().setValue(82, "ZR2 V2.20");
    b.parameters().setValue(82, "ZR1 V1.07");
    a.parameters().setValue(83, "SN0001");
    b.parameters().setValue(83, "SN0002");
    EXPECT_TRUE(compare().empty());
    EXPECT_TRUE(compare(CompareScope::IndicatorVsFile).empty());
}

TEST_F(CompareTest, AChoiceIsComparedByItsCodeNotByTheCaptionOfTheLanguage)
{
    a.parameters().setValue(30, "3-9600");
    b.parameters().setValue(30, "3 - 9600 baud");  // another language's text of code 3
    EXPECT_TRUE(compare().empty());

    b.parameters().setValue(30, "5-38400");
    const Differences d = compare();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].kind, DifferenceKind::ParameterRow);
    EXPECT_EQ(d[0].index, 30);
    EXPECT_EQ(d[0].code, "001");
    EXPECT_EQ(d[0].a.toLongLong(), 3);
    EXPECT_EQ(d[0].b.toLongLong(), 5);
    EXPECT_EQ(d[0].textA, "3-9600");
    EXPECT_EQ(d[0].textB, "5-38400");
    EXPECT_EQ(DifferenceLabel(d[0], texts), "[001]");
}

TEST_F(CompareTest, WeightsAreComparedByTheirRawValuesAndAnEmptyCellIsNotZero)
{
    a.parameters().setRowValue(18, RowValue::of(200));  // [101]
    b.parameters().setRowValue(18, RowValue::of(200));
    b.parameters().weight.WeightFormatReference = "300.090";  // shown another way
    ASSERT_NE(a.parameters().value(18), b.parameters().value(18));
    EXPECT_TRUE(compare().empty());

    b.parameters().setRowValue(18, RowValue::of(-300));
    Differences d = compare();
    ASSERT_EQ(keys(d), QStringList{"row:18"});
    EXPECT_EQ(d[0].code, "101");
    EXPECT_EQ(d[0].b.toLongLong(), -300);

    b.parameters().setRowValue(18, RowValue::of(200));
    a.parameters().setValue(44, "");   // [023] empty ...
    b.parameters().setValue(44, "0");  // ... against 0
    d = compare();
    ASSERT_EQ(keys(d), QStringList{"row:44"});
    EXPECT_FALSE(d[0].a.isValid());
}

TEST_F(CompareTest, TheRawCalibrationIsOneRowAndTheRangeRowsAreRowsOfTheirOwn)
{
    for (int row : {69, 70, 71, 72, 75, 76}) {
        a.parameters().setRowValue(row, RowValue::of(row));
        b.parameters().setRowValue(row, RowValue::of(row == 76 ? 7 : row));
    }
    a.parameters().setValue(67, "7");
    b.parameters().setValue(67, "9");
    const Differences d = compare();
    EXPECT_EQ(keys(d), (QStringList{"row:67", "calibration"}));
    EXPECT_EQ(DifferenceLabel(d[1], texts), "calibration (raw zero and span)");
}

TEST_F(CompareTest, RecordsLinesAndTaresAreKeyedByTheirPlace)
{
    a.ids().setRecord(5, "12", "AHMET");
    b.ids().setRecord(5, "12", "MEHMET");
    a.ids().setIdHeader(1, "PLAKA");
    a.setpoints().setValue(2, 1, "12,5");
    b.setpoints().setValue(2, 1, "12.50");  // the same number
    a.setpoints().setValue(3, 0, "1");
    b.setpoints().setValue(3, 0, "2");
    a.ticket().setFootnoteCentred(false);
    a.ticket().setLine(4, "IYI YOLCULUKLAR");  // flush left ...
    b.ticket().setLine(4, "IYI YOLCULUKLAR");  // ... against centred
    a.ticket().setLine(0, "KANTAR");  // centred both: the same line
    b.ticket().setLine(0, "KANTAR");
    b.ticket().setEplText("N\r\nP1\r\n");
    b.presetTares().setValue(7, "12,5");

    const Differences files = compare();
    EXPECT_EQ(keys(files), (QStringList{"line:4", "epl", "idheader:1", "id:5", "setpoint:3", "tare:7"}));
    EXPECT_EQ(DifferenceLabel(files[0], texts), "Footnote line 1");
    EXPECT_EQ(DifferenceLabel(files[3], texts), "ID Memory 4");
    EXPECT_EQ(DifferenceLabel(files[4], texts), "SP Memory 4");
    EXPECT_EQ(files[0].textA, "IYI YOLCULUKLAR");
    EXPECT_EQ(files[0].textB, "  IYI YOLCULUKLAR") << "centred in 20 characters";
    EXPECT_EQ(files[3].textA, "12 AHMET");
    EXPECT_EQ(files[3].textB, "12 MEHMET");

    // Against the indicator: no preset tares, and only the parts both sides hold.
    CompareParts parts;
    parts.eplText = false;
    parts.setpoints = false;
    EXPECT_EQ(keys(Compare(a, b, CompareScope::IndicatorVsFile, parts)),
              (QStringList{"line:0", "line:4", "idheader:1", "id:5"}))
        << "the indicator's lines are compared as it keeps them, the file's as they would be stored";
}

TEST_F(CompareTest, PlainTextAndJsonNameEveryDifferenceByRowAndCode)
{
    a.parameters().setValue(30, "3-9600");
    b.parameters().setValue(30, "5-38400");
    b.ids().setRecord(0, "7", "");
    const Differences d = compare();
    EXPECT_EQ(DifferencesText(d, texts, "A.vxr", "B.vxr"),
              "Row\tA.vxr\tB.vxr\n"
              "ID 1\t\t7\n"
              "[001]\t3-9600\t5-38400\n");

    const QJsonArray json = DifferencesJson(d, texts);
    ASSERT_EQ(json.size(), 2);
    const QJsonObject row = json.at(1).toObject();
    EXPECT_EQ(row.value("key").toString(), "row:30");
    EXPECT_EQ(row.value("kind").toString(), "parameter");
    EXPECT_EQ(row.value("row").toInt(), 30);
    EXPECT_EQ(row.value("code").toString(), "001");
    EXPECT_EQ(row.value("valueA").toInt(), 3);
    EXPECT_EQ(row.value("valueB").toInt(), 5);
    EXPECT_EQ(json.at(0).toObject().value("index").toInt(), 0);
}

// ---- the tool's list of rows to send -------------------------------------------

struct SelectionCase {
    const char *name;
    const char *list;
    std::set<int> rows;
    std::set<int> ids;
    std::set<int> setpoints;
    bool ticket;
    bool calibration;
};

class ParseSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ParseSelectionTest, NamesTheUnits)
{
    const SelectionCase &c = GetParam();
    QString bad;
    const std::optional<Selection> s = ParseSelection(c.list, &bad);
    ASSERT_TRUE(s) << bad.toStdString();
    EXPECT_EQ(s->parameterRows, c.rows);
    EXPECT_EQ(s->idRecords, c.ids);
    EXPECT_EQ(s->setpointRecords, c.setpoints);
    EXPECT_EQ(s->ticketLines, c.ticket);
    EXPECT_EQ(s->calibration, c.calibration);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ParseSelectionTest,
    ::testing::Values(SelectionCase{"CodeOfALimit", "101", {18}, {}, {}, false, false},
                      SelectionCase{"DiffKeys", "row:63,id:3,setpoint:2,line:4", {63}, {3}, {2}, true, false},
                      SelectionCase{"Words", " Ticket , calibration", {}, {}, {}, true, true},
                      SelectionCase{"TheBaudRateOfPortOne", "001,207", {30, 10}, {}, {}, false, false}),
    [](const ::testing::TestParamInfo<SelectionCase> &info) { return std::string(info.param.name); });

TEST(ParseSelection, RefusesWhatCannotBeSentOnItsOwn)
{
    for (const char *list : {"211",         // two rows carry the code: name one by its row
                             "140",         // the clock
                             "row:1", "row:69", "row:73", "row:82",  // clock, raw calibration, read only, identification
                             "id:101", "setpoint:9", "idheader:2", "line:6", "tare:1", "999", "row:x", ""}) {
        QString bad;
        EXPECT_FALSE(ParseSelection(list, &bad)) << list;
    }
    QString bad;
    EXPECT_FALSE(ParseSelection("101,row:69", &bad));
    EXPECT_EQ(bad, "row:69");
}

TEST(Selection, TicksTheUnitOfEachDifferenceAndGroupsThemInTheSendOrder)
{
    const Differences d = {{.kind = DifferenceKind::ParameterRow, .index = 18},
                           {.kind = DifferenceKind::ParameterRow, .index = 4},
                           {.kind = DifferenceKind::PresetTare, .index = 2},
                           {.kind = DifferenceKind::SetpointRecord, .index = 1},
                           {.kind = DifferenceKind::TicketLine, .index = 3}};
    const Selection s = Selection::of(d);
    EXPECT_EQ(s.count(), 4) << "a preset tare never goes to the indicator";
    EXPECT_EQ(SelectionGroups(s),
              (std::vector<BatchGroup>{BatchGroup::Header, BatchGroup::Setpoint, BatchGroup::Jmp, BatchGroup::Nrm}));
}

}  // namespace
