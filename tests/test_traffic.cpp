// The traffic the link reports to its listeners, as the communication monitor and
// `vextora-cli --trace` print it: one known exchange of each answer outcome against
// the in-process virtual indicator on the virtual clock (10:00:00.000 at the start),
// the lines that also went to the communication log, unasked bytes, and a link that
// nobody listens to.
//
// Timing of the frame-end drain at 9600 baud (10 bits a character, 1.0417 ms): the
// indicator answers 5 ms after the request; a request that gets no whole answer
// waits its own time on the line plus the reading time of 0.15 s.

#include "link/Cp1254.h"
#include "link/Registers.h"
#include "link/Traffic.h"
#include "support/CliRunner.h"
#include "support/SimLink.h"

#include <QFile>
#include <gtest/gtest.h>

// Readable QStrings in failure messages.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

using namespace vx;

namespace {

struct Recorder : TrafficListener {
    void traffic(const TrafficEvent &event) override
    {
        events.push_back(event);
        lines << FormatTrafficLine(event);
    }
    std::vector<TrafficEvent> events;
    QStringList lines;
};

sim::FaultRule onceOn(int reg, sim::FaultKind kind) { return {kind, sim::FaultScope::Register, reg, 1}; }

class TrafficTest : public ::testing::Test, protected test::SimLink {
protected:
    TrafficTest() { link.addTrafficListener(&recorder); }
    ~TrafficTest() override { link.removeTrafficListener(&recorder); }

    QStringList logFileLines() const
    {
        QFile f(log.filePath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return cp1254::decode(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }

    Recorder recorder;
};

// ---------------------------------------------------------------------------
// A read of the version register (10 bytes, checksum on): "@0300C7000531" + CR is
// 14 characters, 14.6 ms on the line, so an answer that never ends waits until
// 10:00:00.165. The indicator's version text is "ZR2 V2.20 ".

constexpr char VersionRequestLine[] = "10:00:00.000 > 199 version: read 10 bytes  @0300C7000531<CR>";

struct ReadRow {
    const char *name;
    std::optional<sim::FaultKind> fault;
    AnswerOutcome outcome;
    const char *answerLine;  // the whole line, or its beginning when the frame is noise
    bool exact;
};

const ReadRow kReadRows[] = {
    {"Whole", std::nullopt, AnswerOutcome::Whole,
     "10:00:00.005 < 199 version: = \"ZR2 V2.20 \"  5 ms  whole  @030A5A52322056322E323020BD<CR>", true},
    {"NoAnswer", sim::FaultKind::NoAnswer, AnswerOutcome::Missing, "10:00:00.165 < 199 version  165 ms  no answer",
     true},
    {"CutOff", sim::FaultKind::Partial, AnswerOutcome::CutOff,
     "10:00:00.165 < 199 version  165 ms  cut off  @030A5A5232205", true},
    {"Refused", sim::FaultKind::Refuse, AnswerOutcome::Refused, "10:00:00.005 < 199 version  5 ms  refused  @8003017C<CR>",
     true},
    {"Busy", sim::FaultKind::Busy, AnswerOutcome::Busy, "10:00:00.005 < 199 version  5 ms  busy  @9003016C<CR>", true},
    {"ChecksumMismatch", sim::FaultKind::BadChecksum, AnswerOutcome::ChecksumMismatch,
     "10:00:00.005 < 199 version: = \"ZR2 V2.20 \"  5 ms  checksum mismatch  @030A5A52322056322E323020E8<CR>", true},
    {"NoiseIsAnotherFrame", sim::FaultKind::Noise, AnswerOutcome::OtherFrame,
     "10:00:00.165 < 199 version  165 ms  other frame  ", false},
};

class ReadOutcome : public TrafficTest, public ::testing::WithParamInterface<ReadRow> {};

TEST_P(ReadOutcome, RequestAndAnswerLinesCarryTheOutcomeTheSequenceGets)
{
    const ReadRow &row = GetParam();
    if (row.fault)
        sim.device.addFault(onceOn(reg::Version, *row.fault));

    const Answer answer = link.readAnswer(reg::Version, 10);

    ASSERT_EQ(recorder.lines.size(), 2) << recorder.lines.join('\n').toStdString();
    EXPECT_EQ(recorder.lines[0], VersionRequestLine);
    if (row.exact)
        EXPECT_EQ(recorder.lines[1], row.answerLine);
    else
        EXPECT_TRUE(recorder.lines[1].startsWith(row.answerLine)) << recorder.lines[1].toStdString();
    // The outcome shown is the one the sequence decides on.
    EXPECT_EQ(answer.outcome, row.outcome);
    ASSERT_TRUE(recorder.events[1].outcome.has_value());
    EXPECT_EQ(*recorder.events[1].outcome, answer.outcome);
    EXPECT_EQ(recorder.events[1].frame, answer.raw);
    EXPECT_FALSE(recorder.events[0].logged || recorder.events[1].logged);
}

INSTANTIATE_TEST_SUITE_P(Traffic, ReadOutcome, ::testing::ValuesIn(kReadRows),
                         [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Writes: host mode on is command 19 to register 19 ("@1000130001020013C7" + CR,
// 20 characters, 20.8 ms on the line); the acknowledgement is "@100001EF" + CR.

constexpr char HostOnLine[] = "> 019 command: write 2 bytes = 19 (host on)  @1000130001020013C7<CR>";

TEST_F(TrafficTest, AcknowledgedWriteAndRefusedWrite)
{
    link.WriteHostMode(true);
    sim.device.addFault(onceOn(reg::Command, sim::FaultKind::Refuse));
    link.WriteHostMode(true);

    const QStringList expected = {
        QStringLiteral("10:00:00.000 ") + HostOnLine,
        "10:00:00.005 < 019 command  5 ms  whole  @100001EF<CR>",
        QStringLiteral("10:00:00.005 ") + HostOnLine,
        "10:00:00.010 < 019 command  5 ms  refused  @8010016F<CR>",
    };
    EXPECT_EQ(recorder.lines, expected);
}

TEST_F(TrafficTest, AcknowledgedWriteRetriedAfterNoAnswerShowsBothAttempts)
{
    sim.device.addFault(onceOn(reg::Command, sim::FaultKind::NoAnswer));
    link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::HostOn);

    const QStringList expected = {
        QStringLiteral("10:00:00.000 ") + HostOnLine,
        "10:00:00.171 < 019 command  171 ms  no answer",
        QStringLiteral("10:00:00.171 ") + HostOnLine,
        "10:00:00.176 < 019 command  5 ms  whole  @100001EF<CR>",
    };
    EXPECT_EQ(recorder.lines, expected);
    EXPECT_TRUE(op.calls.empty()) << "two attempts ask nothing";
}

TEST_F(TrafficTest, AnAcknowledgementWithAWrongChecksumShowsTheMismatchAndIsLogged)
{
    // The indicator's checksum EF comes as BA: the write still counts as acknowledged
    // (one attempt, nothing asked), the monitor and the log say what came.
    sim.device.addFault(onceOn(reg::Command, sim::FaultKind::BadChecksum));
    link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::HostOn);

    const QStringList file = logFileLines();
    ASSERT_EQ(file.size(), 1);
    EXPECT_TRUE(file[0].endsWith(" - [019]-[0001]--- CHKSum Hatası...")) << file[0].toStdString();
    const QStringList expected = {
        QStringLiteral("10:00:00.000 ") + HostOnLine,
        "10:00:00.005 < 019 command  5 ms  checksum mismatch  @100001BA<CR>",
        "10:00:00.005 * ZRxLog: " + file[0],
    };
    EXPECT_EQ(recorder.lines, expected);
    EXPECT_TRUE(op.calls.empty());
    EXPECT_EQ(sim.port.framesSent().size(), 1) << "not sent again";
}

// ---------------------------------------------------------------------------
// Lines that went to "ZRxLog.txt" appear marked, with the text the file got.

TEST_F(TrafficTest, ChecksumMismatchLogLineIsMarkedAndMatchesTheFile)
{
    sim.device.addFault(onceOn(reg::Version, sim::FaultKind::BadChecksum));
    const QVariant version = link.read(reg::Version, 10, "Tx0");

    EXPECT_EQ(version.toString(), "ZR2 V2.20 ") << "a mismatch is logged, the value still used";
    const QStringList file = logFileLines();
    ASSERT_EQ(file.size(), 1);
    ASSERT_EQ(recorder.lines.size(), 3) << recorder.lines.join('\n').toStdString();
    EXPECT_EQ(recorder.lines[2], "10:00:00.005 * ZRxLog: " + file[0])
        << recorder.lines[2].toStdString() << "\n" << file[0].toStdString();
    EXPECT_TRUE(recorder.events[2].logged);
    EXPECT_EQ(recorder.events[2].direction, TrafficDirection::Log);
}

TEST_F(TrafficTest, LogLineThatCouldNotBeWrittenIsNotMarkedAsLogged)
{
    log.setFilePath(dir.filePath("no such folder/ZRxLog.txt"));
    link.AppendCommsLog("07.12.2026 - [019]-[0001]--- failure...");

    ASSERT_EQ(recorder.lines.size(), 1);
    EXPECT_FALSE(recorder.events[0].logged);
    EXPECT_EQ(recorder.lines[0], "10:00:00.000 ! ZRxLog, not written: 07.12.2026 - [019]-[0001]--- failure...");
}

TEST_F(TrafficTest, LateBytesBeforeARequestAreShownUnaskedAndTheirLogLineMarked)
{
    sim.port.injectIncoming("@030");
    link.readAnswer(reg::Version, 10);

    ASSERT_EQ(recorder.lines.size(), 4) << recorder.lines.join('\n').toStdString();
    EXPECT_EQ(recorder.lines[0], "10:00:00.000 < unasked  @030");
    EXPECT_TRUE(recorder.lines[1].startsWith("10:00:00.000 * ZRxLog: "));
    EXPECT_TRUE(recorder.lines[1].endsWith(" - discarded late bytes: @030"));
    EXPECT_EQ(recorder.lines[2], VersionRequestLine);
    EXPECT_FALSE(recorder.events[0].outcome.has_value()) << "nothing asked, nothing judged";
}

// ---------------------------------------------------------------------------
// Decoded values of whole read answers.

TEST_F(TrafficTest, ReadAnswerValuesAsNumberOrHex)
{
    // Text is shown quoted (the version lines above); a short answer as hex and
    // number; a longer one with unprintable bytes as hex.
    sim.device.setReg(reg::OperatingStatus, 0x2003);
    link.readAnswer(reg::OperatingStatus, 2);
    sim.device.setBytes(reg::SecondText, QByteArray::fromHex("534E0102030405060708"));
    link.readAnswer(reg::SecondText, 10);

    ASSERT_EQ(recorder.lines.size(), 4);
    EXPECT_EQ(recorder.lines[0], "10:00:00.000 > 002 operating status: read 2 bytes  @0300020001FA<CR>");
    EXPECT_TRUE(recorder.lines[1].startsWith("10:00:00.005 < 002 operating status: = 2003 (8195)  5 ms  whole  @03022003"))
        << recorder.lines[1].toStdString();
    EXPECT_TRUE(recorder.lines[3].startsWith(
        "10:00:00.010 < 204 second text: = 534E0102030405060708  5 ms  whole  @030A534E0102030405060708"))
        << recorder.lines[3].toStdString();
}

// ---------------------------------------------------------------------------
// Nobody listening.

TEST_F(TrafficTest, ListenerLetGoHearsNothingMoreAndTheLinkGoesOnAlone)
{
    struct LeavesAfterFirst : TrafficListener {
        explicit LeavesAfterFirst(Link &l) : link(l) {}
        void traffic(const TrafficEvent &) override
        {
            ++heard;
            link.removeTrafficListener(this);
        }
        Link &link;
        int heard = 0;
    } leaver(link);
    link.addTrafficListener(&leaver);
    link.removeTrafficListener(&recorder);

    // It leaves while told of the request: the answer is no longer reported to it.
    EXPECT_TRUE(link.readAnswer(reg::Version, 10).whole());
    EXPECT_EQ(leaver.heard, 1);
    EXPECT_FALSE(link.hasTrafficListeners());

    EXPECT_EQ(link.read(reg::Version, 10, "Tx0").toString(), "ZR2 V2.20 ");
    EXPECT_TRUE(recorder.lines.isEmpty());
    EXPECT_EQ(leaver.heard, 1);
}

TEST(TrafficListening, ChangesNothingOnTheLineNorItsTiming)
{
    // The same sequence with and without a listener: the frames sent, the answers
    // and the virtual time they took are the same.
    struct Run {
        QStringList frames, answers;
        double elapsed = 0;
    };
    auto sequence = [](bool listen) {
        test::SimLink s;
        Recorder recorder;
        if (listen)
            s.link.addTrafficListener(&recorder);
        s.sim.device.addFault(onceOn(reg::Command, sim::FaultKind::NoAnswer));
        s.sim.device.addFault(onceOn(reg::Version, sim::FaultKind::Partial));
        s.sim.port.injectIncoming("@03");
        Run r;
        s.link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::HostOn);
        r.answers << s.link.readAnswer(reg::Version, 10).raw << s.link.readAnswer(reg::Version, 10).raw;
        s.link.WriteHostMode(false);
        r.frames = s.sim.port.framesSent();
        r.elapsed = s.sim.clock.elapsed();
        EXPECT_EQ(recorder.events.empty(), !listen);
        return r;
    };
    const Run quiet = sequence(false);
    const Run heard = sequence(true);
    EXPECT_EQ(heard.frames, quiet.frames);
    EXPECT_EQ(heard.answers, quiet.answers);
    EXPECT_EQ(heard.elapsed, quiet.elapsed);
    EXPECT_EQ(quiet.frames.size(), 5);
}

// ---------------------------------------------------------------------------
// vextora-cli --trace: the same lines on standard error, standard output unchanged.
// The operation's lease finds a quiet line and no earlier answer that went wrong, so it
// waits nothing: the version read leaves at 10:00:00.000.

class TraceOption : public ::testing::Test {
protected:
    test::CliRun run(const QStringList &args)
    {
        test::InProcessIndicator sim;
        sim.device.setModel("ZR1 V1.07");
        for (const sim::FaultRule &f : faults)
            sim.device.addFault(f);
        return cli.run(sim, args);
    }
    std::vector<sim::FaultRule> faults;
    test::InProcessCli cli;
};

TEST_F(TraceOption, IdentifyPrintsTheVersionExchangeOnStandardError)
{
    const test::CliRun plain = run({"identify"});
    const test::CliRun traced = run({"--trace", "identify"});

    EXPECT_EQ(traced.exitCode, 0);
    EXPECT_EQ(traced.out, plain.out);
    EXPECT_TRUE(plain.err.isEmpty()) << plain.err.toStdString();
    const QStringList lines = traced.errLines();
    ASSERT_GE(lines.size(), 2) << traced.err.toStdString();
    EXPECT_EQ(lines[0], "10:00:00.000 > 199 version: read 10 bytes  @0300C7000531<CR>");
    EXPECT_EQ(lines[1], "10:00:00.005 < 199 version: = \"ZR1 V1.07 \"  5 ms  whole  @030A5A52312056312E303720BA<CR>");
}

TEST_F(TraceOption, UnansweredIdentifyTracesEveryAttemptAndKeepsItsExitStatus)
{
    faults = {{sim::FaultKind::NoAnswer, sim::FaultScope::Always, 0, -1}};
    const test::CliRun plain = run({"identify"});
    const test::CliRun traced = run({"--trace", "identify"});

    EXPECT_NE(plain.exitCode, 0);
    EXPECT_EQ(traced.exitCode, plain.exitCode);
    EXPECT_EQ(traced.out, plain.out);
    const QStringList lines = traced.errLines();
    const auto noAnswers = lines.filter("< 199 version  ").filter("  no answer");
    const auto requests = lines.filter("> 199 version: read 10 bytes  @0300C7000531<CR>");
    EXPECT_GE(requests.size(), 1);
    EXPECT_EQ(noAnswers.size(), requests.size()) << traced.err.toStdString();
    // What the tool says about the failure is still there, after the traffic.
    for (const QString &line : plain.errLines())
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
}

TEST_F(TraceOption, ReadOfAGroupTracesTheBatchLinkToo)
{
    const QString plainFile = cli.dir.filePath("plain.vxr");
    const QString tracedFile = cli.dir.filePath("traced.vxr");
    const test::CliRun plain = run({"read", plainFile, "--groups", "params"});
    const test::CliRun traced = run({"--trace", "read", tracedFile, "--groups", "params"});

    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(traced.exitCode, 0);
    EXPECT_EQ(QString(traced.out).replace(tracedFile, plainFile), plain.out);
    // The group's transfer begins with host mode on and ends with it off.
    const QStringList lines = traced.errLines();
    EXPECT_FALSE(lines.filter("> 019 command: write 2 bytes = 19 (host on)  @1000130001020013C7<CR>").isEmpty())
        << traced.err.toStdString();
    EXPECT_FALSE(lines.filter("> 019 command: write 2 bytes = 20 (host off)  @1000130001020014C6<CR>").isEmpty());
    QFile a(plainFile), b(tracedFile);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll()) << "the file saved is the same";
}

TEST_F(TraceOption, HelpListsTheOption)
{
    const test::CliRun help = run({"--help"});
    EXPECT_TRUE((help.out + help.err).contains("--trace")) << (help.out + help.err).toStdString();
}

}  // namespace
