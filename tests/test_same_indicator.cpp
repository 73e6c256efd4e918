// The question before sending another indicator's file: the identification texts a
// file keeps (fields D21 and D22 at their fixed offsets) against one read of the
// indicator's registers 199 and 204, what crosses the wire for it, the question's
// text, and a read that fails, which is never taken for the same indicator.

#include "files/ConfigurationRecord.h"
#include "files/SameIndicator.h"
#include "files/WorkingSet.h"
#include "shell/TextService.h"
#include "sim/Faults.h"
#include "support/SimLink.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

using Kind = test::ScriptedOperator::Kind;

// A record as a file holds it: every variable text empty (6548 bytes), row 82 at
// offset 5698 and row 83 at 5723, 25 bytes each, padded with blanks.
ConfigurationRecord FileWith(const QByteArray &row82, const QByteArray &row83)
{
    QByteArray bytes(6548, '\0');
    if (!row82.isNull())
        bytes.replace(5698, 25, row82.leftJustified(25, ' '));
    if (!row83.isNull())
        bytes.replace(5723, 25, row83.leftJustified(25, ' '));
    const std::optional<ConfigurationRecord> record = DecodeRecord(bytes);
    EXPECT_TRUE(record);
    return record.value_or(ConfigurationRecord{});
}

TextService Texts()
{
    LanguageTexts lines = test::NumberedTexts();
    lines.setText(366, QStringLiteral("ZR1"));
    lines.setText(367, QStringLiteral("ZR2"));
    TextService texts;
    texts.use(lines, QStringLiteral("English.txt"));
    return texts;
}

struct SameIndicatorTest : ::testing::Test, test::SimLink {
    SameIndicatorTest() : SimLink(test::WithoutChecksum()) {}

    bool confirm(const ConfigurationRecord &file, bool calibration = false)
    {
        set.record() = file;
        return ConfirmSameIndicator(link, op, texts, set, calibration, &check);
    }

    TextService texts = Texts();
    WorkingSet set;
    SameIndicatorCheck check;
};

TEST_F(SameIndicatorTest, TheIndicatorsTextsComeFromOneReadOfBothRegisters)
{
    const std::optional<IdentificationTexts> ids = ReadIndicatorIdentification(link, texts.lines());
    ASSERT_TRUE(ids);
    // "ZR2 V2.20 " at 199 as row 82 shows it; "SN00012345" at 204 without its last character.
    EXPECT_EQ(ids->model, "ZR2 V2.20");
    EXPECT_EQ(ids->second, "SN0001234");
    // Register 199 = C7, 20 bytes = 10 registers.
    EXPECT_EQ(sim.device.requests(), QStringList({"@0300C7000A"}));
}

TEST_F(SameIndicatorTest, TheFileOfThisIndicatorIsSentWithoutAQuestion)
{
    EXPECT_TRUE(confirm(FileWith("ZR2 V2.20", "SN0001234"), true));
    EXPECT_EQ(check.verdict, Sameness::Same);
    EXPECT_TRUE(op.calls.empty());
    EXPECT_EQ(sim.device.requests().size(), 1) << "the read, nothing written";
}

TEST_F(SameIndicatorTest, AnotherIndicatorsFileIsAskedAboutAndNamesTheCalibrationGroup)
{
    op.yesNoAnswers = {Choice::No};
    EXPECT_FALSE(confirm(FileWith("ZR2 V2.20", "SN0009999"), true));
    EXPECT_EQ(check.verdict, Sameness::Different);
    ASSERT_EQ(op.count(Kind::YesNo), 1);
    // The send panel's caption of the calibration group is line 37.
    EXPECT_EQ(op.last().text, "This file belongs to another indicator.\n"
                              "File: \"ZR2 V2.20\" / \"SN0009999\"\n"
                              "Indicator: \"ZR2 V2.20\" / \"SN0001234\"\n"
                              "\"T37\" is ticked: a file's zero and span belong to the scale it was read from alone.\n"
                              "Send it anyway?");
    EXPECT_EQ(op.last().icon, Icon::Question);
    EXPECT_EQ(sim.device.requests().size(), 1) << "nothing written after the read";

    op.clear();
    op.yesNoAnswers = {Choice::Yes};
    EXPECT_TRUE(confirm(FileWith("ZR1 V1.07", "SN0001234"), false)) << "another model, sent when confirmed";
    EXPECT_FALSE(op.last().text.contains("T37")) << "no calibration group, no word of it";
}

// A file names the model as the language it was saved in does (line 367): the check
// goes by the model's code and the version.
TEST_F(SameIndicatorTest, TheModelIsComparedByItsCodeNotByTheLanguagesNameOfIt)
{
    LanguageTexts lines = texts.lines();
    lines.setText(367, QStringLiteral("Model Two"));
    texts.use(lines, QStringLiteral("English.txt"));
    EXPECT_TRUE(confirm(FileWith("Model Two V2.20", "SN0001234"))) << "saved in this language";
    EXPECT_EQ(check.verdict, Sameness::Same);
    EXPECT_TRUE(confirm(FileWith("ZR2 V2.20", "SN0001234"))) << "saved in a language that calls it ZR2";
    EXPECT_EQ(check.verdict, Sameness::Same);
    EXPECT_TRUE(op.calls.empty());
    op.yesNoAnswers = {Choice::No};
    EXPECT_FALSE(confirm(FileWith("Model Two V2.21", "SN0001234"))) << "another version";
    EXPECT_EQ(check.verdict, Sameness::Different);
}

TEST_F(SameIndicatorTest, AFileThatHoldsNoTextsIsAskedAbout)
{
    op.yesNoAnswers = {Choice::Yes};
    EXPECT_TRUE(confirm(FileWith({}, {})));
    EXPECT_EQ(check.verdict, Sameness::FileHasNone);
    EXPECT_EQ(op.last().text, "This file holds no identification texts; it may belong to another indicator.\n"
                              "Indicator: \"ZR2 V2.20\" / \"SN0001234\"\n"
                              "Send it anyway?");
    // One of the two texts alone is a file of another indicator, not one without texts.
    op.clear();
    EXPECT_TRUE(confirm(FileWith({}, "SN0001234")));
    EXPECT_EQ(check.verdict, Sameness::Different);
    EXPECT_TRUE(op.last().text.contains("File: (empty) / \"SN0001234\"")) << op.last().text.toStdString();
}

// A read that did not come whole is never "the same indicator": the question says the
// indicator's texts were not read.
struct FailedRead {
    const char *name;
    sim::FaultKind kind;
};
class SameIndicatorFailedRead : public SameIndicatorTest, public ::testing::WithParamInterface<FailedRead> {};

TEST_P(SameIndicatorFailedRead, IsAskedAboutAsAnotherIndicator)
{
    sim.device.addFault({GetParam().kind, sim::FaultScope::Register, 199, -1});
    op.yesNoAnswers = {Choice::No};
    EXPECT_FALSE(confirm(FileWith("ZR2 V2.20", "SN0001234")));
    EXPECT_EQ(check.verdict, Sameness::Different);
    EXPECT_FALSE(check.indicator);
    EXPECT_TRUE(op.last().text.contains("Indicator: (not read) / (not read)")) << op.last().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Faults, SameIndicatorFailedRead,
                         ::testing::Values(FailedRead{"NoAnswer", sim::FaultKind::NoAnswer},
                                           FailedRead{"Refused", sim::FaultKind::Refuse},
                                           FailedRead{"CutOff", sim::FaultKind::Partial}),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
