// The one answer rule: each kind of faulty answer judged from hand-written frames,
// a read and a write through the link, and the text rule each text read uses for
// the bytes 00 and 0A, shown through the sequences that make those reads.

#include "link/Answer.h"
#include "link/Connect.h"
#include "link/Cp1254.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "monitor/Status.h"
#include "params/ParameterSet.h"
#include "params/BlockCodec.h"
#include "params/Transfer.h"
#include "shell/TextService.h"
#include "support/SimLink.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// ---- judged read answers ------------------------------------------------------

struct ReadCase {
    const char *name;
    const char *address;
    bool checksumOn;
    int asked;
    const char *raw;
    AnswerOutcome outcome;
    const char *data;  // the data field when the frame may be used
};

// Frames written by hand: "@" [address] "03" count data [LRC] CR. The LRC of
// 03 02 AB CD is 0x83 (256 - 381 mod 256).
const ReadCase kReadCases[] = {
    {"WholeWithoutChecksum", "", false, 2, "@0302ABCD\r", AnswerOutcome::Whole, "ABCD"},
    {"WholeWithChecksum", "", true, 2, "@0302ABCD83\r", AnswerOutcome::Whole, "ABCD"},
    {"WholeWithAddress", "05", false, 2, "@050302ABCD\r", AnswerOutcome::Whole, "ABCD"},
    {"AddressAbove127IsNoRefusal", "128", false, 2, "@800302ABCD\r", AnswerOutcome::Whole, "ABCD"},
    {"AddressOf9xIsNotBusy", "150", false, 2, "@960302ABCD\r", AnswerOutcome::Whole, "ABCD"},
    {"ChecksumMismatchStillUsed", "", true, 2, "@0302ABCD84\r", AnswerOutcome::ChecksumMismatch, "ABCD"},
    {"Missing", "", false, 2, "", AnswerOutcome::Missing, ""},
    {"CutOffBeforeTheCr", "", false, 2, "@0302AB", AnswerOutcome::CutOff, ""},
    {"Refused", "", false, 2, "@8301\r", AnswerOutcome::Refused, ""},
    {"RefusedCutOff", "", false, 2, "@83", AnswerOutcome::Refused, ""},
    {"RefusedWithAddressSet", "05", true, 2, "@830179\r", AnswerOutcome::Refused, ""},
    {"Busy", "", false, 2, "@9301\r", AnswerOutcome::Busy, ""},
    {"BusyCutOff", "", false, 2, "@93", AnswerOutcome::Busy, ""},
    {"OtherFunction", "", false, 2, "@0602ABCD\r", AnswerOutcome::OtherFrame, ""},
    {"WriteAcknowledgementToARead", "", false, 2, "@100001\r", AnswerOutcome::OtherFrame, ""},
    {"OtherAddress", "05", false, 2, "@070302ABCD\r", AnswerOutcome::OtherFrame, ""},
    {"NoAddressWhereOneIsSet", "05", false, 2, "@0302ABCD\r", AnswerOutcome::OtherFrame, ""},
    {"OtherByteCountThanAsked", "", false, 4, "@0302ABCD\r", AnswerOutcome::OtherFrame, ""},
    {"CountAndDataDisagree", "", false, -1, "@0303ABCD\r", AnswerOutcome::OtherFrame, ""},
    {"NoiseWithCr", "", false, 2, "x1?\r", AnswerOutcome::OtherFrame, ""},
    {"NoiseWithoutFrameStart", "", false, 2, "0302ABCD\r", AnswerOutcome::OtherFrame, ""},
    {"NotHexInside", "", false, 2, "@0302ABXD\r", AnswerOutcome::OtherFrame, ""},
};

class JudgedRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(JudgedRead, OutcomeAndData)
{
    const ReadCase &c = GetParam();
    const Answer a = JudgeReadAnswer(QString::fromLatin1(c.raw), QString::fromLatin1(c.address), c.checksumOn, c.asked);
    EXPECT_EQ(AnswerOutcomeName(a.outcome), AnswerOutcomeName(c.outcome));
    EXPECT_EQ(a.raw, QString::fromLatin1(c.raw));
    EXPECT_EQ(a.data, QString::fromLatin1(c.data));
    const bool usable = c.outcome == AnswerOutcome::Whole || c.outcome == AnswerOutcome::ChecksumMismatch;
    EXPECT_EQ(a.whole(), usable);
    EXPECT_EQ(a.missingOrRefused(), c.outcome == AnswerOutcome::Missing || c.outcome == AnswerOutcome::Refused);
}

INSTANTIATE_TEST_SUITE_P(Answers, JudgedRead, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

// ---- judged write answers -----------------------------------------------------

struct WriteCase {
    const char *name;
    const char *address;
    int byteCount;
    const char *raw;
    AnswerOutcome outcome;
    bool checksumOn = false;
};

// The acknowledgement of a write of n bytes: "@" [address] "10", n / 2 as four hex digits.
// With the checksum on its LRC follows: 10 + 00 + 01 = 11, so EF; 05 + 10 + 00 + 07 =
// 1C, so E4.
const WriteCase kWriteCases[] = {
    {"Acknowledged", "", 2, "@100001\r", AnswerOutcome::Whole},
    {"AcknowledgedWithChecksum", "", 2, "@100001EF\r", AnswerOutcome::Whole},
    {"AcknowledgedWithAddress", "05", 14, "@05100007\r", AnswerOutcome::Whole},
    {"OtherRegisterCount", "", 2, "@100002\r", AnswerOutcome::OtherFrame},
    {"ReadAnswerToAWrite", "", 2, "@0302ABCD\r", AnswerOutcome::OtherFrame},
    {"Noise", "", 2, "?\r", AnswerOutcome::OtherFrame},
    {"Missing", "", 2, "", AnswerOutcome::Missing},
    {"CutOff", "", 2, "@1000", AnswerOutcome::CutOff},
    {"Refused", "", 2, "@8301\r", AnswerOutcome::Refused},
    {"Busy", "", 2, "@9001\r", AnswerOutcome::Busy},
    {"ChecksumOnAndRight", "", 2, "@100001EF\r", AnswerOutcome::Whole, true},
    {"ChecksumOnAndRightWithAddress", "05", 14, "@05100007E4\r", AnswerOutcome::Whole, true},
    {"ChecksumOnAndWrong", "", 2, "@100001BA\r", AnswerOutcome::ChecksumMismatch, true},
    {"ChecksumOnAndWrongWithAddress", "05", 14, "@05100007E5\r", AnswerOutcome::ChecksumMismatch, true},
    {"ChecksumOnAndMissing", "", 2, "@100001\r", AnswerOutcome::ChecksumMismatch, true},
};

class JudgedWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(JudgedWrite, Outcome)
{
    const WriteCase &c = GetParam();
    const Answer a =
        JudgeWriteAnswer(QString::fromLatin1(c.raw), QString::fromLatin1(c.address), c.byteCount, c.checksumOn);
    EXPECT_EQ(AnswerOutcomeName(a.outcome), AnswerOutcomeName(c.outcome));
    // A mismatched acknowledgement still acknowledges: the sequences decide as before.
    EXPECT_EQ(a.whole(), c.outcome == AnswerOutcome::Whole || c.outcome == AnswerOutcome::ChecksumMismatch);
}

INSTANTIATE_TEST_SUITE_P(Answers, JudgedWrite, ::testing::ValuesIn(kWriteCases),
                         [](const ::testing::TestParamInfo<WriteCase> &info) { return std::string(info.param.name); });

// ---- through the link, against the virtual indicator ---------------------------

struct LinkAnswerTest : ::testing::Test, test::SimLink {
    LinkAnswerTest() { link.settings.ReadingTime = 0.15; }
    QString logText() const
    {
        QFile f(log.filePath());
        return f.open(QIODevice::ReadOnly) ? cp1254::decode(f.readAll()) : QString();
    }
};

TEST_F(LinkAnswerTest, EachFaultOfTheIndicatorGivesItsOutcome)
{
    sim.device.setReg(reg::TicketHeader1, 0x1234);
    const struct {
        sim::FaultKind kind;
        AnswerOutcome outcome;
    } cases[] = {
        {sim::FaultKind::NoAnswer, AnswerOutcome::Missing},
        {sim::FaultKind::Refuse, AnswerOutcome::Refused},
        {sim::FaultKind::Busy, AnswerOutcome::Busy},
        {sim::FaultKind::Partial, AnswerOutcome::CutOff},
        {sim::FaultKind::Noise, AnswerOutcome::OtherFrame},
    };
    for (const auto &c : cases) {
        sim.device.addFault({c.kind, sim::FaultScope::Always, 0, 1});
        const Answer a = link.readAnswer(reg::TicketHeader1, 2);
        EXPECT_EQ(AnswerOutcomeName(a.outcome), AnswerOutcomeName(c.outcome));
        EXPECT_FALSE(link.valueOf(a, "LG", reg::TicketHeader1).isValid()) << qPrintable(AnswerOutcomeName(c.outcome));
        link.DrainStaleInput();
    }
    const Answer whole = link.readAnswer(reg::TicketHeader1, 2);
    EXPECT_EQ(AnswerOutcomeName(whole.outcome), "whole");
    EXPECT_EQ(whole.data, "1234");
    EXPECT_EQ(link.valueOf(whole, "LG", reg::TicketHeader1), QVariant::fromValue<qint64>(0x1234));
}

TEST_F(LinkAnswerTest, ChecksumMismatchIsUsedAndLogged)
{
    link.settings.ChecksumEnabled = true;
    sim.device.setChecksum(true);
    sim.device.setReg(reg::TicketHeader1, 0x0102);
    sim.device.addFault({sim::FaultKind::BadChecksum, sim::FaultScope::Always, 0, 1});
    const Answer a = link.readAnswer(reg::TicketHeader1, 2);
    EXPECT_EQ(AnswerOutcomeName(a.outcome), "checksum mismatch");
    EXPECT_TRUE(a.whole());
    EXPECT_EQ(link.valueOf(a, "LG", reg::TicketHeader1), QVariant::fromValue<qint64>(0x0102));
    EXPECT_TRUE(logText().contains("[040]-[0001]--- CHKSum Hatası...")) << qPrintable(logText());
}

TEST_F(LinkAnswerTest, WriteAnswersAreJudged)
{
    EXPECT_TRUE(link.writeAnswer(reg::Command, 2, "Lg", cmd::LoadTicketLines).whole());
    sim.device.addFault({sim::FaultKind::Refuse, sim::FaultScope::Command, cmd::LoadTicketLines, 1});
    EXPECT_TRUE(link.writeAnswer(reg::Command, 2, "Lg", cmd::LoadTicketLines).refused());
    sim.device.addFault({sim::FaultKind::Busy, sim::FaultScope::Always, 0, 1});
    EXPECT_TRUE(link.writeAnswer(reg::CalibrationStep, 2, "Lg", 1).busy());
}

// ---- the text rule of each text read ------------------------------------------
// Each read keeps or drops the bytes 00 and 0A by the rule of the tab the window
// made it on: the version at connect the tab the window opens on (drops both), the
// identification texts the parameters tab (drops 0A), the status words the status
// tab (keeps every byte).

struct TextRuleTest : ::testing::Test, test::SimLink {};

TEST_F(TextRuleTest, VersionAtConnectDropsLineFeedsAndNuls)
{
    sim.port.close();
    // "ZR2" LF "V2.2" NUL "0" NUL NUL
    sim.device.setBytes(reg::Version, QByteArray("ZR2\nV2.2\0" "0\0\0", 10));
    const VersionResult r = VersiyonOku(link);
    ASSERT_TRUE(r.connected());
    EXPECT_EQ(r.versionText, "ZR2V2.20");
    EXPECT_EQ(r.modelText, "ZR2");
    EXPECT_EQ(r.model, Model::ZR2);
}

TEST_F(TextRuleTest, VersionFailureSaysWhy)
{
    const struct {
        sim::FaultKind kind;
        VersionResult::Reason reason;
    } cases[] = {
        {sim::FaultKind::NoAnswer, VersionResult::Reason::NoAnswer},
        {sim::FaultKind::Refuse, VersionResult::Reason::Refused},
        {sim::FaultKind::Noise, VersionResult::Reason::NotVersionText},
        {sim::FaultKind::Partial, VersionResult::Reason::NotVersionText},
    };
    for (const auto &c : cases) {
        sim.port.close();
        sim.device.addFault({c.kind, sim::FaultScope::Register, reg::Version, 1});
        const VersionResult r = VersiyonOku(link);
        EXPECT_EQ(r.outcome, VersionResult::Outcome::Refused);
        EXPECT_EQ(int(r.reason), int(c.reason));
        EXPECT_EQ(r.refusedByIndicator(), c.reason == VersionResult::Reason::Refused);
        EXPECT_TRUE(r.versionText.isEmpty());
    }
}

TEST_F(TextRuleTest, IdentificationTextsDropLineFeedsOnly)
{
    TextService texts;
    ParameterSet set;
    LayOutGrid(set, texts.lines(), Model::ZR2);
    link.decode.weekdayNames = texts.lines().weekdayNames();
    sim.device.setReg(reg::Range1, 0x1E05);
    sim.device.setReg(reg::Range2, 0x1E05);
    // 199: "ZR2 V" LF NUL "2.2" ; 204: "SN" LF "01" NUL NUL "23" then the last character the row drops.
    sim.device.setBytes(reg::Version, QByteArray("ZR2 V\n\0" "2.2", 10));
    sim.device.setBytes(reg::SecondText, QByteArray("SN\n01\0\0" "23X", 10));
    ASSERT_TRUE(ParametreHostOku(link, set, texts, Model::ZR2, disconnect).completed);
    EXPECT_EQ(set.value(82), ModelRowText(QString::fromLatin1("ZR2 V\0" "2.2", 9), texts.lines()));
    EXPECT_EQ(set.value(83), QString::fromLatin1("SN01\0\0" "23", 8));
}

TEST_F(TextRuleTest, StatusWordsKeepEveryByte)
{
    sim.device.setReg(reg::OperatingStatus, 0x0A00);
    sim.device.setReg(reg::HardwareStatus, 0x000A);
    TextService texts;
    const StatusReading r = StatuOku(link, texts.lines(), disconnect);
    ASSERT_TRUE(r.operating && r.hardware);
    EXPECT_EQ(*r.operating, (StatusWord{0x0A, 0x00}));
    EXPECT_EQ(r.hardware->word, (StatusWord{0x00, 0x0A}));
}

}  // namespace
