// The fault matrix: `identify` and `status` against the virtual indicator with
// every fault it can commit, on the first and on a later register, with and
// without checksum and address. Each run ends with the right values, or with
// exit 1 and no value shown for what did not answer. The runs go through the
// command handlers in-process on the virtual clock; a few go through the real
// executable on a pseudo-terminal.

#include "support/CliProcess.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

using vx::sim::FaultKind;
using vx::test::CliRun;

enum class Outcome {
    Values,         // exit 0 with every value right
    Refused,        // exit 1, the refusal text on standard error, nothing on standard output
    RegisterEmpty,  // exit 1, the register named on standard error, its values empty, the rest right
};

struct MatrixCase {
    const char *command;
    FaultKind kind;
    int reg;
    bool checksum;
    const char *address;
    Outcome outcome;
};

void PrintTo(const MatrixCase &c, std::ostream *os)
{
    *os << c.command << " with " << vx::sim::FaultKindName(c.kind).toStdString() << " on register " << c.reg;
}

// What each fault does to a register, by where it hits. A bad checksum is logged
// and the value used; without the checksum it changes nothing.
Outcome expected(const QString &command, FaultKind kind, int reg)
{
    const bool first = command == "identify" || reg == 0;
    switch (kind) {
    case FaultKind::BadChecksum:
        return Outcome::Values;
    case FaultKind::NoAnswer:
    case FaultKind::Late:  // arrives after the reading time: as good as none
        return first ? Outcome::Refused : Outcome::RegisterEmpty;
    case FaultKind::Refuse:
        return first ? Outcome::Refused : Outcome::RegisterEmpty;
    case FaultKind::Partial:
    case FaultKind::Noise:
    case FaultKind::Busy:  // "@9" (not in the matrix: it answers calibration requests)
        // Something came, but not an answer: the first status register goes on to
        // the others as the reading does; the version text is not read at all.
        return command == "identify" ? Outcome::Refused : Outcome::RegisterEmpty;
    }
    return Outcome::Values;
}

std::vector<MatrixCase> matrix()
{
    const FaultKind kinds[] = {FaultKind::NoAnswer, FaultKind::Refuse, FaultKind::BadChecksum,
                               FaultKind::Late,     FaultKind::Partial, FaultKind::Noise};
    const std::pair<const char *, std::vector<int>> commands[] = {{"identify", {199}}, {"status", {0, 3, 25}}};
    std::vector<MatrixCase> cases;
    for (const auto &[command, registers] : commands)
        for (int reg : registers)
            for (FaultKind kind : kinds)
                for (bool checksum : {true, false})
                    for (const char *address : {"", "05"})
                        cases.push_back({command, kind, reg, checksum, address, expected(command, kind, reg)});
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<MatrixCase> &info)
{
    const MatrixCase &c = info.param;
    return QStringLiteral("%1_%2_reg%3_%4_%5")
        .arg(QString::fromLatin1(c.command), vx::sim::FaultKindName(c.kind))
        .arg(c.reg)
        .arg(c.checksum ? "sum" : "nosum", *c.address ? QStringLiteral("addr%1").arg(c.address) : "noaddr")
        .toStdString();
}

// The values the indicator holds, as the JSON of `status` names them.
const std::pair<int, qint32> kValues[] = {{0, 12520}, {3, 10520}, {5, 2000}, {11, 5000}, {13, 10000}, {15, 15000}};
const char *const kValueKeys[] = {"grossWeight", "netWeight", "tareWeight", "setpoint1", "setpoint2", "setpoint3"};

class FaultMatrix : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(FaultMatrix, RightValuesOrExitOneWithNothingShown)
{
    const MatrixCase &c = GetParam();
    vx::test::InProcessIndicator sim({.address = c.address, .checksum = c.checksum});
    for (const auto &[reg, v] : kValues)
        sim.device.onRead(reg, [reg, v](vx::sim::VirtualIndicator &d, int, int) { d.setLong(reg, v); });
    sim.device.setReg(2, 0x2003);
    sim.device.setReg(25, 0x0810);
    sim.device.addFault({c.kind, vx::sim::FaultScope::Register, c.reg});

    vx::test::InProcessCli cli;
    const QString command = QString::fromLatin1(c.command);
    const CliRun r = cli.run(sim, {"--address", c.address, "--checksum", c.checksum ? "on" : "off", "--json", command});
    EXPECT_LT(sim.clock.elapsed(), 5.0) << "nothing may hang";
    EXPECT_FALSE(sim.device.faultsFired().empty()) << "the fault must have hit its register";

    switch (c.outcome) {
    case Outcome::Values:
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        break;
    case Outcome::Refused:
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        ASSERT_EQ(r.errLines().size(), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("did not answer or refused")) << r.err.toStdString();
        return;
    case Outcome::RegisterEmpty:
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.errLines(), QStringList{QStringLiteral("vextora-cli: register %1 did not answer").arg(c.reg)
                                            + (c.reg == 25 ? " (rows 23-29 left empty)"
                                                           : c.reg == 0 ? " (row 1 left empty)" : " (row 2 left empty)")});
        break;
    }

    const QJsonObject o = r.json();
    if (command == "identify") {
        EXPECT_EQ(o.value("model").toString(), "ZR2");
        EXPECT_EQ(o.value("version").toString(), "ZR2 V2.20");
        return;
    }
    const bool failed = c.outcome == Outcome::RegisterEmpty;
    EXPECT_EQ(o.value("complete").toBool(), !failed);
    EXPECT_EQ(o.value("unanswered").toArray(), failed ? QJsonArray{c.reg} : QJsonArray{});
    const QJsonObject values = o.value("values").toObject();
    for (size_t i = 0; i < std::size(kValues); ++i) {
        const QJsonValue v = values.value(kValueKeys[i]);
        if (failed && kValues[i].first == c.reg)
            EXPECT_TRUE(v.isNull()) << kValueKeys[i];
        else
            EXPECT_EQ(v, QJsonValue(kValues[i].second)) << kValueKeys[i];
    }
    const bool hardwareLost = failed && c.reg == 25;
    EXPECT_EQ(o.value("calibrationPermitted"), hardwareLost ? QJsonValue(QJsonValue::Null) : QJsonValue(true));
    EXPECT_EQ(o.value("analogCardPresent"), hardwareLost ? QJsonValue(QJsonValue::Null) : QJsonValue(true));
    EXPECT_EQ(o.value("operating").toObject().value("stable"), QJsonValue(true));
    for (const QJsonValue &row : o.value("rows").toArray()) {
        const QJsonObject cells = row.toObject();
        const int n = cells.value("row").toInt();
        const bool lost = hardwareLost ? n >= 23 : failed && n == (c.reg == 0 ? 1 : 2);
        EXPECT_EQ(cells.value("text").toString().isEmpty(), lost) << "row " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(IdentifyAndStatus, FaultMatrix, ::testing::ValuesIn(matrix()), caseName);

// The text output shows nothing where register 25 did not answer: no "no" for a
// flag nobody read.
TEST(FaultMatrixText, ASilentHardwareWordIsNeverShownAsFlagsOff)
{
    vx::test::InProcessIndicator sim;
    sim.device.addFault({FaultKind::NoAnswer, vx::sim::FaultScope::Register, 25});
    vx::test::InProcessCli cli;
    const CliRun r = cli.run(sim, {"status"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = r.out.split('\n');
    EXPECT_EQ(lines.value(19), "23  Keypad lock");
    EXPECT_EQ(lines.value(25), "29  Alibi memory card");
    EXPECT_EQ(lines.value(26), "calibration permitted  unknown");
    EXPECT_EQ(lines.value(27), "analog output card     unknown");
}

// ---------------------------------------------------------------------------
// The same through the real executable and a real serial port

class FaultMatrixEndToEnd : public ::testing::Test {
protected:
    CliRun run(const QStringList &simArgs, const QStringList &cliArgs)
    {
        vx::test::SimProcess sim(simArgs);
        if (!sim.ready())
            return {};
        return vx::test::RunCliProcess(sim.dir.filePath("s.ini"), QStringList{"--port", sim.link} + cliArgs);
    }
};

TEST_F(FaultMatrixEndToEnd, FaultsThroughARealPort)
{
    const CliRun silentHardware = run({"--fault", "noanswer:reg=25"}, {"--json", "status"});
    EXPECT_EQ(silentHardware.exitCode, 1);
    EXPECT_EQ(silentHardware.err, "vextora-cli: register 25 did not answer (rows 23-29 left empty)\n");
    EXPECT_TRUE(silentHardware.json().value("calibrationPermitted").isNull());

    const CliRun refusedFirst = run({"--fault", "refuse:reg=0"}, {"status"});
    EXPECT_EQ(refusedFirst.exitCode, 1);
    EXPECT_TRUE(refusedFirst.out.isEmpty());
    EXPECT_EQ(refusedFirst.errLines().size(), 1) << refusedFirst.err.toStdString();
}

}  // namespace
