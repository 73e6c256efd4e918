// The editing rules of the parameter grid without a window (the window tests drive
// the same rules through the widgets): the move to the next editable row, what a
// typed text does to the rows' values, and the date and time entry.

#include "params/BlockCodec.h"
#include "params/Editing.h"
#include "params/ParameterSet.h"
#include "shell/LanguageTexts.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::params;

namespace {

TEST(ParameterEditing, NextEditableRowSkipsHiddenRowsAndRowsWithoutEditor)
{
    ParameterSet set;
    set.applyModel(Model::ZR1);
    EXPECT_EQ(NextEditorRow(set, 17, 1, Model::ZR1), 23);
    EXPECT_EQ(NextEditorRow(set, 23, -1, Model::ZR1), 17);
    EXPECT_EQ(NextEditorRow(set, 3, -1, Model::ZR1), 3) << "the clock has no editor on a ZR1";
    EXPECT_EQ(NextEditorRow(set, 60, 1, Model::ZR1), 78) << "past the calibration rows";
    EXPECT_EQ(NextEditorRow(set, 79, 1, Model::ZR1), 79) << "nothing below";
    set.applyModel(Model::ZR2);
    EXPECT_EQ(NextEditorRow(set, 17, 1, Model::ZR2), 18);
    EXPECT_EQ(NextEditorRow(set, 3, -1, Model::ZR2), 1);
}

TEST(ParameterEditing, TypedTextReachesTheRowsValue)
{
    ParameterSet set;
    set.weight.WeightFormatReference = "300.09";
    set.weight.DecimalsPattern = "09";

    EXPECT_FALSE(ApplyText(set, 18, "1.5").refused);
    EXPECT_EQ(set.rowValue(18), RowValue::of(150));
    EXPECT_EQ(set.value(18), "001.50");

    EXPECT_FALSE(ApplyText(set, 78, "65535").refused);
    EXPECT_EQ(set.rowValue(78), RowValue::of(65535));
    EXPECT_TRUE(ApplyText(set, 78, "65536").refused);
    EXPECT_EQ(set.value(78), "65535") << "a refused value changes nothing";
    EXPECT_FALSE(ApplyText(set, 78, "").refused);
    EXPECT_TRUE(set.rowValue(78).empty());

    EXPECT_EQ(ApplyText(set, 21, "4").editorText, "5,1");
    EXPECT_EQ(set.value(21), "5,1");
    EXPECT_EQ(ApplyText(set, 21, "10").editorText, "9,9");
    EXPECT_FALSE(ApplyText(set, 21, "6.5").editorText.has_value());
    EXPECT_EQ(set.value(21), "6.5") << "as typed; written as 65";
    EXPECT_EQ(WireNumber(params::RowAt(21), set.rowValue(21)), 65);

    ApplyText(set, 19, "12");
    EXPECT_EQ(set.rowValue(19), RowValue::of(12));
}

// A language change: the rows keep their codes, shown by their items' texts in the new
// language; what is no text of the row's items (typed, literal, another row's) stays,
// and the wire does not change.
TEST(ParameterRetranslation, ListTextsFollowTheNewLanguage)
{
    auto lines = [](const char *prefix) {
        LanguageTexts texts;
        for (int line = 1; line <= LanguageTexts::LineCount; ++line)
            texts.setText(line, QString::fromLatin1(prefix) + QString::number(line));
        return texts;
    };
    const LanguageTexts english = lines("E"), turkish = lines("T");
    ParameterSet set;
    set.setTexts(english);
    set.setValue(11, "E214");                 // [801]: a read item (on)
    set.setValue(31, "E220");                 // [002]: an editor item only
    set.setValue(29, "E218");                 // [000]: read, though its editor does not offer it
    set.setValue(33, "1-ODD");                // [004]: a literal item
    set.setValue(17, "E999");                 // no item of its row
    set.setValue(21, "7,5");                  // a number row
    set.setRowValue(82, RowValue::indicatorText("ZR2 V2.20 "));  // as read: the model's name
    set.setValue(83, "E367 V2.20 ");          // as a file or a user left it
    set.setClock("05-03-24 \\ 10:11:12", " \\ E317");  // Thursday
    EXPECT_EQ(set.value(82), "E367 V2.20 ");
    const QString wire = EncodeArea(set, params::Area::Configuration);
    set.setTexts(turkish);
    EXPECT_EQ(set.value(11), "T214");
    EXPECT_EQ(set.value(31), "T220");
    EXPECT_EQ(set.value(29), "T218") << "read items count too";
    EXPECT_EQ(set.value(33), "1-ODD");
    EXPECT_EQ(set.value(17), "E999");
    EXPECT_EQ(set.value(21), "7,5");
    EXPECT_EQ(set.value(82), "T367 V2.20 ");
    EXPECT_EQ(set.value(83), "E367 V2.20 ") << "kept word for word";
    EXPECT_EQ(set.clockSuffix(), " \\ T317");
    EXPECT_EQ(EncodeArea(set, params::Area::Configuration), wire);

    // Other text of a code outside the list ([002] shows line 219).
    set.setValue(31, "T219");
    set.setTexts(english);
    EXPECT_EQ(set.value(31), "E219");
    EXPECT_EQ(set.value(11), "E214");
}

TEST(DateTimeEntry, FieldsFromTheCellOrToday)
{
    EXPECT_EQ(sspanel9_Default("", QDate(2026, 3, 7)), (ClockFields{"07", "03", "26", "00", "00", "00"}));
    EXPECT_EQ(sspanel9_Default("25-12-09 \\ 14:30:05", QDate(2026, 3, 7)),
              (ClockFields{"25", "12", "09", "14", "30", "05"}));
    EXPECT_EQ(sspanel9_gelen({"7", "3", "26", "9", "5", ""}), "07-03-26 \\ 09:05:00");
}

TEST(DateTimeEntry, RangesAndTheCalendar)
{
    struct Case {
        ClockFields fields;
        ClockCheck check;
    };
    const Case cases[] = {
        {{"31", "12", "26", "23", "59", "59"}, ClockCheck::Ok},
        {{"29", "02", "28", "00", "00", "00"}, ClockCheck::Ok},
        {{"00", "12", "26", "00", "00", "00"}, ClockCheck::BadRange},
        {{"32", "12", "26", "00", "00", "00"}, ClockCheck::BadRange},
        {{"15", "13", "26", "00", "00", "00"}, ClockCheck::BadRange},
        {{"15", "12", "00", "00", "00", "00"}, ClockCheck::BadRange},
        {{"", "12", "26", "00", "00", "00"}, ClockCheck::BadRange},
        {{"31", "04", "26", "00", "00", "00"}, ClockCheck::NotInCalendar},
        {{"29", "02", "27", "00", "00", "00"}, ClockCheck::NotInCalendar},
        {{"15", "12", "26", "24", "00", "00"}, ClockCheck::BadTime},
        {{"15", "12", "26", "10", "60", "00"}, ClockCheck::BadTime},
        {{"15", "12", "26", "10", "00", "99"}, ClockCheck::BadTime},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sspanel9_Kontrol(c.fields), c.check) << qPrintable(sspanel9_gelen(c.fields));
}

}  // namespace
