// Finding an indicator: the tries in their order, each try's wait, and whole scans
// against in-process indicators that understand only their own line settings.

#include "link/LineLease.h"
#include "link/Scan.h"
#include "support/CliRunner.h"
#include "support/ScriptedOperator.h"
#include "support/SimFixture.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace vx {
namespace {

using test::InProcessIndicator;

sim::VirtualIndicator::Options At(const QString &address, bool checksum)
{
    sim::VirtualIndicator::Options o;
    o.address = address;
    o.checksum = checksum;
    return o;
}

// One or more indicators on a line set to `line`, the port paced at that speed.
struct ScanLine : ::testing::Test {
    void setUp(const QString &line, sim::VirtualIndicator::Options options = {})
    {
        sim = std::make_unique<InProcessIndicator>(options);
        sim->port.setIndicatorLine(line);
        sim->port.setTiming({.baud = line.section(QLatin1Char(','), 0, 0).toInt(), .latency = 0.005});
        link = std::make_unique<Link>(sim->port, sim->clock, op, log);
        link->settings.PortNumber = QStringLiteral("4");
        link->settings.PortSettings = QStringLiteral("9600,N,8,1");
        link->settings.DeviceAddress = QStringLiteral("12");
        link->settings.ReadingTime = 0.15;
    }
    QStringList frames() const { return sim->port.framesSent(); }

    QTemporaryDir dir;
    test::ScriptedOperator op;
    CommsLog log{dir.filePath("ZRxLog.txt")};
    std::unique_ptr<InProcessIndicator> sim;
    std::unique_ptr<Link> link;
};

// ---- the tries -----------------------------------------------------------------

TEST(ScanTries, SpeedThenFramingThenChecksumOnBeforeOff)
{
    const std::vector<ScanTry> tries = ScanTries();
    ASSERT_EQ(tries.size(), 42u);
    EXPECT_EQ(tries[0], (ScanTry{"1200,N,8,1", "", true}));
    EXPECT_EQ(tries[1], (ScanTry{"1200,N,8,1", "", false}));
    EXPECT_EQ(tries[2], (ScanTry{"1200,O,7,1", "", true}));
    EXPECT_EQ(tries[5], (ScanTry{"1200,E,7,1", "", false}));
    EXPECT_EQ(tries[6], (ScanTry{"2400,N,8,1", "", true}));
    EXPECT_EQ(tries[25], (ScanTry{"19200,N,8,1", "", false}));
    EXPECT_EQ(tries[41], (ScanTry{"57600,E,7,1", "", false}));
}

TEST(ScanTries, AddressesAreInnermostAndMultiplyTheTries)
{
    const std::vector<ScanTry> tries = ScanTries({"05", "07"});
    ASSERT_EQ(tries.size(), 84u);
    EXPECT_EQ(tries[0], (ScanTry{"1200,N,8,1", "05", true}));
    EXPECT_EQ(tries[1], (ScanTry{"1200,N,8,1", "07", true}));
    EXPECT_EQ(tries[2], (ScanTry{"1200,N,8,1", "05", false}));
    EXPECT_EQ(tries[83], (ScanTry{"57600,E,7,1", "07", false}));
    EXPECT_EQ(ScanTries({"01", "02", "03"}).size(), 126u);
}

TEST(ScanTries, TheWindowNarrowsTheSpeedsAndTriesTheStoredSettingAndTheCommonSpeedsFirst)
{
    const std::vector<ScanTry> one = ScanTries({"05"}, {19200});
    ASSERT_EQ(one.size(), 6u);
    EXPECT_EQ(one[0], (ScanTry{"19200,N,8,1", "05", true}));
    EXPECT_EQ(one[5], (ScanTry{"19200,E,7,1", "05", false}));

    // The stored setting (address 05, not among the tries), then 9600, 19200, then 1200 on.
    const std::vector<ScanTry> all = LikeliestFirst(ScanTries(), ScanTry{"38400,O,7,1", "05", false});
    ASSERT_EQ(all.size(), 43u);
    EXPECT_EQ(all[0], (ScanTry{"38400,O,7,1", "05", false}));
    EXPECT_EQ(all[1], (ScanTry{"9600,N,8,1", "", true}));
    EXPECT_EQ(all[7], (ScanTry{"19200,N,8,1", "", true}));
    EXPECT_EQ(all[13], (ScanTry{"1200,N,8,1", "", true}));
    EXPECT_EQ(all[42], (ScanTry{"57600,E,7,1", "", false}));
    // A stored setting among the tries is not tried twice.
    const std::vector<ScanTry> same = LikeliestFirst(ScanTries(), ScanTry{"38400,O,7,1", "", true});
    ASSERT_EQ(same.size(), 42u);
    EXPECT_EQ(same[0], (ScanTry{"38400,O,7,1", "", true}));
    EXPECT_EQ(std::count(same.begin(), same.end(), same[0]), 1);
    // A stored speed outside the speeds chosen is left out.
    EXPECT_EQ(LikeliestFirst(ScanTries({""}, {1200}), ScanTry{"9600,N,8,1", "", true}).front(),
              (ScanTry{"1200,N,8,1", "", true}));
}

TEST(ScanTries, EachTryWaitsTheLongestAnswerAtItsSpeedPlusFiftyMilliseconds)
{
    // No address, no checksum: "@" "03" "0A" 20 data digits CR = 26 characters of 10 bits.
    EXPECT_NEAR(ScanTryTimeout({"9600,N,8,1", "", false}), 26 * 10 / 9600.0 + 0.05, 1e-9);
    // Address and checksum add two characters each: 30; 7 bits and parity are 10 bits too.
    EXPECT_NEAR(ScanTryTimeout({"1200,E,7,1", "07", true}), 30 * 10 / 1200.0 + 0.05, 1e-9);
    // The request "@0300C7000531" CR (14 characters) goes before.
    EXPECT_NEAR(ScanTrySeconds({"57600,O,7,1", "", true}), (14 + 28) * 10 / 57600.0 + 0.05, 1e-9);
}

TEST(ScanTries, FortyTwoTriesOnOnePortTakeUnderAMinuteAndASweepIsEstimatedBeforeItStarts)
{
    const double plain = ScanEstimateSeconds(ScanTries());
    EXPECT_GT(plain, 42 * 0.05);
    EXPECT_LT(plain, 60.0);
    QStringList everyAddress;
    for (int a = 1; a <= 99; ++a)
        everyAddress << QStringLiteral("%1").arg(a, 2, 10, QLatin1Char('0'));
    const double sweep = ScanEstimateSeconds(ScanTries(everyAddress));
    EXPECT_GT(sweep, 90 * plain);  // each address adds as much again, a little more with its field
}

struct AddressListCase {
    const char *name;
    const char *text;
    std::optional<QStringList> expected;
};

class ScanAddressList : public ::testing::TestWithParam<AddressListCase> {};

TEST_P(ScanAddressList, ParsesAsTheSettingsKeepAddresses)
{
    EXPECT_EQ(ParseScanAddresses(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ScanAddressList,
    ::testing::Values(AddressListCase{"TwoAddresses", "5,7", QStringList{"05", "07"}},
                      AddressListCase{"ARange", "8-11", QStringList{"08", "09", "10", "11"}},
                      AddressListCase{"ZeroIsNoAddress", "0,3", QStringList{"", "03"}},
                      AddressListCase{"RepeatsOnce", "7,5-7", QStringList{"07", "05", "06"}},
                      AddressListCase{"BlanksAllowed", " 5 , 7 ", QStringList{"05", "07"}},
                      AddressListCase{"Empty", "", std::nullopt},
                      AddressListCase{"AboveNinetyNine", "100", std::nullopt},
                      AddressListCase{"BackwardsRange", "7-5", std::nullopt},
                      AddressListCase{"EmptyItem", "5,,7", std::nullopt},
                      AddressListCase{"NotANumber", "x", std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ScanAddressList, OneToNinetyNineIsEveryAddress)
{
    const std::optional<QStringList> all = ParseScanAddresses("1-99");
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 99);
    EXPECT_EQ(all->first(), "01");
    EXPECT_EQ(all->last(), "99");
}

// ---- whole scans -----------------------------------------------------------------

TEST_F(ScanLine, FindsAnIndicatorAt19200AtAddress07WithoutChecksum)
{
    setUp("19200,N,8,1", At("07", false));
    ScanOptions options;
    options.tries = ScanTries({"07"});
    std::vector<int> progress;
    options.progress = [&](int done, int total, const ScanTry &) {
        progress.push_back(done);
        EXPECT_EQ(total, 42);
    };
    const ScanResult r = ScanPort(*link, options);

    ASSERT_EQ(r.outcome, ScanResult::Outcome::Found);
    ASSERT_EQ(r.found.size(), 1u);
    const ScanFound &f = r.found[0];
    EXPECT_EQ(f.port, "COM4");
    EXPECT_EQ(f.lineSettings, "19200,N,8,1");
    EXPECT_EQ(f.address, "07");
    EXPECT_FALSE(f.checksum);
    EXPECT_EQ(f.model, "ZR2");
    EXPECT_EQ(f.version, "ZR2 V2.20");

    // 4 speeds x 3 framings x 2 checksums before 19200, then N,8,1 with the checksum,
    // then the one that answered: 26 version reads, alternately with and without it.
    ASSERT_EQ(frames().size(), 26);
    EXPECT_EQ(frames()[0], "@070300C700052A\r");
    EXPECT_EQ(frames()[1], "@070300C70005\r");
    EXPECT_EQ(frames()[24], "@070300C700052A\r");
    EXPECT_EQ(frames()[25], "@070300C70005\r");
    EXPECT_EQ(r.triesRun, 26);
    EXPECT_EQ(progress.size(), 27u);  // before each try, and once at the end
    // Opened once for the operation and again at each new line setting (12 of them).
    EXPECT_EQ(sim->port.openCount(), 13);
    EXPECT_EQ(sim->port.lastLineSettings(), "19200,N,8,1");
    EXPECT_FALSE(sim->port.isOpen());
    EXPECT_FALSE(link->lineHeld());
    // The link's own settings are as they were.
    EXPECT_EQ(link->settings.PortSettings, "9600,N,8,1");
    EXPECT_EQ(link->settings.DeviceAddress, "12");
    EXPECT_TRUE(link->settings.ChecksumEnabled);
    EXPECT_DOUBLE_EQ(link->settings.ReadingTime, 0.15);
}

TEST_F(ScanLine, TheFramingCountsOnTheInProcessPort)
{
    setUp("4800,E,7,1");
    const ScanResult r = ScanPort(*link, {});
    ASSERT_EQ(r.found.size(), 1u);
    EXPECT_EQ(r.found[0].lineSettings, "4800,E,7,1");
    EXPECT_EQ(r.found[0].address, "");
    EXPECT_TRUE(r.found[0].checksum);
    // 1200 and 2400 (12 tries), 4800 N,8,1 and O,7,1 (4 tries) went unanswered.
    EXPECT_EQ(frames().size(), 17);
    EXPECT_EQ(frames().last(), "@0300C7000531\r");
}

TEST_F(ScanLine, AFramingThePortRefusesCountsAsNoAnswerAndTheScanGoesOn)
{
    setUp("2400,E,7,1");
    sim->port.refuseFraming("O,7");
    const ScanResult r = ScanPort(*link, {});
    ASSERT_EQ(r.found.size(), 1u);
    EXPECT_EQ(r.found[0].lineSettings, "2400,E,7,1");
    // 1200: N,8,1 sent twice, O,7,1 refused, E,7,1 twice; 2400: N,8,1 twice, O,7,1 refused, E,7,1 found.
    EXPECT_EQ(r.triesRun, 11);
    EXPECT_EQ(frames().size(), 7);
}

TEST_F(ScanLine, AnIndicatorAtARefusedFramingIsNotFound)
{
    setUp("2400,O,7,1");
    sim->port.refuseFraming("O,7");
    const ScanResult r = ScanPort(*link, {});
    EXPECT_EQ(r.outcome, ScanResult::Outcome::NothingFound);
    EXPECT_EQ(r.triesRun, 42);
    EXPECT_EQ(frames().size(), 28);  // the 14 tries at O,7,1 sent nothing
    EXPECT_TRUE(r.found.empty());
}

TEST_F(ScanLine, AllFindsTwoIndicatorsOnOneLineAndTriesAnAddressNoMoreOnceItAnswered)
{
    setUp("38400,N,8,1", At("05", true));
    sim::VirtualIndicator second(At("07", true));
    second.setModel("ZR1 V1.10");
    sim->port.addDevice(second);
    ScanOptions options;
    options.tries = ScanTries({"05", "06", "07"});
    options.all = true;
    const ScanResult r = ScanPort(*link, options);

    ASSERT_EQ(r.outcome, ScanResult::Outcome::Found);
    ASSERT_EQ(r.found.size(), 2u);
    EXPECT_EQ(r.found[0].address, "05");
    EXPECT_EQ(r.found[0].model, "ZR2");
    EXPECT_EQ(r.found[1].address, "07");
    EXPECT_EQ(r.found[1].model, "ZR1");
    EXPECT_EQ(r.found[1].version, "ZR1 V1.10");
    EXPECT_EQ(r.found[1].lineSettings, "38400,N,8,1");
    // 06 is tried to the end; 05 and 07 not again once they answered.
    EXPECT_EQ(frames().size(), 5 * 18 + 3 + (2 * 6 - 1));
    for (int i = 5 * 18 + 3; i < frames().size(); ++i)
        EXPECT_TRUE(frames()[i].startsWith("@06")) << frames()[i].toStdString();
}

TEST_F(ScanLine, WithoutAllTheFirstAnswerEndsTheScan)
{
    setUp("38400,N,8,1", At("05", true));
    sim::VirtualIndicator second(At("07", true));
    sim->port.addDevice(second);
    ScanOptions options;
    options.tries = ScanTries({"05", "07"});
    const ScanResult r = ScanPort(*link, options);
    ASSERT_EQ(r.found.size(), 1u);
    EXPECT_EQ(r.found[0].address, "05");
    EXPECT_EQ(frames().size(), 5 * 12 + 1);
}

TEST_F(ScanLine, CancelStopsBeforeTheNextTryAndFreesTheLine)
{
    setUp("57600,N,8,1");
    ScanOptions options;
    int calls = 0;
    options.progress = [&](int, int, const ScanTry &) { ++calls; };
    options.cancelled = [&] { return calls >= 5; };
    const ScanResult r = ScanPort(*link, options);
    EXPECT_EQ(r.outcome, ScanResult::Outcome::Cancelled);
    EXPECT_EQ(frames().size(), 5);
    EXPECT_FALSE(sim->port.isOpen());
    EXPECT_FALSE(link->lineHeld());
    EXPECT_EQ(link->settings.PortSettings, "9600,N,8,1");
}

TEST_F(ScanLine, AbortRequestedStopsTheScanToo)
{
    setUp("57600,N,8,1");
    link->AbortRequested = true;  // an earlier operation's: the scan's lease clears it
    ScanOptions options;
    options.progress = [&](int done, int, const ScanTry &) {
        if (done == 2)
            link->AbortRequested = true;
    };
    const ScanResult r = ScanPort(*link, options);
    EXPECT_EQ(r.outcome, ScanResult::Outcome::Cancelled);
    EXPECT_EQ(frames().size(), 3);
}

TEST_F(ScanLine, NothingIsSentWhileAnotherOperationHoldsTheLine)
{
    setUp("9600,N,8,1");
    LineLease other(*link);
    ASSERT_TRUE(other);
    const ScanResult r = ScanPort(*link, {});
    EXPECT_EQ(r.outcome, ScanResult::Outcome::Busy);
    EXPECT_TRUE(frames().isEmpty());
    EXPECT_TRUE(sim->port.isOpen());  // still the other operation's
}

TEST_F(ScanLine, APortThatCannotBeOpenedIsReportedWithItsError)
{
    setUp("9600,N,8,1");
    sim->port.setOpenError(PortErr::NoSuchPort);
    const ScanResult r = ScanPort(*link, {});
    EXPECT_EQ(r.outcome, ScanResult::Outcome::PortFailed);
    EXPECT_EQ(r.portError, PortErr::NoSuchPort);
    EXPECT_TRUE(frames().isEmpty());
    EXPECT_TRUE(op.messages().isEmpty()) << "the caller words the failure";
}

TEST_F(ScanLine, AnAnswerThatIsNoVersionTextIsNoFind)
{
    setUp("9600,N,8,1");
    // A cut-off answer at the right settings: "@" and the start of the frame, no CR.
    sim->device.addFault(sim::ParseFault("partial:reg=199").value());
    const ScanResult r = ScanPort(*link, {});
    EXPECT_EQ(r.outcome, ScanResult::Outcome::NothingFound);
}

// ---- the command, in-process ---------------------------------------------------------

struct ScanCommand : ::testing::Test {
    test::InProcessCli cli;
};

TEST_F(ScanCommand, JsonListsWhatAnsweredWithTheFieldsScriptsRead)
{
    InProcessIndicator sim(At("07", false));
    sim.port.setIndicatorLine("19200,O,7,1");
    const test::CliRun r = cli.run(sim, {"--port", "COM2", "--json", "scan", "--addresses", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 1);
    const QJsonObject f = list[0].toObject();
    EXPECT_EQ(f.value("port").toString(), "COM2");
    EXPECT_EQ(f.value("lineSettings").toString(), "19200,O,7,1");
    EXPECT_EQ(f.value("address").toString(), "07");
    EXPECT_EQ(f.value("checksum"), QJsonValue(false));
    EXPECT_EQ(f.value("model").toString(), "ZR2");
    EXPECT_EQ(f.value("version").toString(), "ZR2 V2.20");
    EXPECT_TRUE(r.err.contains("scanning COM2: 42 tries")) << r.err.toStdString();
}

TEST_F(ScanCommand, NothingFoundExitsOneWithAnEmptyList)
{
    InProcessIndicator sim(At("09", true));
    const test::CliRun r = cli.run(sim, {"--port", "COM1", "--json", "scan"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).array().size(), 0);
    EXPECT_TRUE(r.err.contains("COM1: no indicator answered")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("--addresses 1-99")) << "an indicator at 09 ignores frames without an address: say how to try it";
    EXPECT_EQ(sim.port.framesSent().size(), 42);
}

TEST_F(ScanCommand, APortThatCannotBeOpenedExitsThreeAndSendsNothing)
{
    InProcessIndicator sim;
    sim.port.setOpenError(PortErr::Busy);
    const test::CliRun r = cli.run(sim, {"--port", "COM1", "scan"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains("COM1: the port could not be opened")) << r.err.toStdString();
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
}

TEST_F(ScanCommand, AnInterruptExitsSixWithWhatWasFoundSoFar)
{
    InProcessIndicator sim(At("05", true));
    sim::VirtualIndicator second(At("07", true));
    sim.port.addDevice(second);
    sim.port.setIndicatorLine("1200,N,8,1");
    // Interrupted after the first indicator answered and the next address was tried.
    const test::CliRun r = cli.run(sim, {"--port", "COM1", "scan", "--addresses", "5-9", "--all"},
                                   [&](const test::CliRun &) { return sim.port.framesSent().size() >= 2; });
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_EQ(r.out, "COM1  1200,N,8,1  address 05  checksum on  ZR2  ZR2 V2.20\n");
    EXPECT_TRUE(r.err.contains("scan cancelled"));
    EXPECT_EQ(sim.port.framesSent().size(), 2);
}

// Only COM3 and COM5 can be opened; the indicator is on COM5.
struct TwoPorts : SerialPortIo {
    sim::InProcessPort &on5;
    sim::InProcessPort &on3;
    SerialPortIo *in = nullptr;
    QStringList opened;
    TwoPorts(sim::InProcessPort &five, sim::InProcessPort &three) : on5(five), on3(three) {}
    PortResult open(const QString &name, const QString &line) override
    {
        opened << name;
        in = name == "COM5" ? static_cast<SerialPortIo *>(&on5) : name == "COM3" ? &on3 : nullptr;
        return in ? in->open(name, line) : PortResult{PortErr::NoSuchPort, "gone"};
    }
    void close() override { if (in) in->close(); }
    bool isOpen() const override { return in && in->isOpen(); }
    void write(const QByteArray &bytes) override { if (in) in->write(bytes); }
    qint64 bytesWaiting() override { return in ? in->bytesWaiting() : 0; }
    QByteArray readAll() override { return in ? in->readAll() : QByteArray(); }
};

TEST_F(ScanCommand, AllPortsScansEveryPortThatOpens)
{
    InProcessIndicator sim;
    sim.port.setIndicatorLine("9600,N,8,1");
    sim::VirtualIndicator nobody(At("42", true));
    sim::InProcessPort empty(nobody, sim.clock);
    TwoPorts ports(sim.port, empty);
    QString out, err;
    QTextStream o(&out), e(&err);
    cli::Environment env{.out = o, .err = e, .port = &ports, .clock = &sim.clock, .interactive = false, .interrupted = {}};
    const int rc = cli::RunCli({"vextora-cli", "--settings", cli.dir.filePath("vextora.ini"), "--language",
                                "English.txt", "--port", "COM9", "scan", "--all-ports"},
                               env);
    o.flush();
    e.flush();
    EXPECT_EQ(rc, 0) << err.toStdString();
    EXPECT_EQ(out, "COM5  9600,N,8,1  address none  checksum on  ZR2  ZR2 V2.20\n");
    EXPECT_TRUE(err.contains("COM3: no indicator answered")) << err.toStdString();
    EXPECT_FALSE(err.contains("COM9"));
    EXPECT_EQ(empty.framesSent().size(), 42);
}

TEST_F(ScanCommand, AWrongAddressListIsAUsageError)
{
    InProcessIndicator sim;
    const test::CliRun r = cli.run(sim, {"scan", "--addresses", "1-100"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(sim.port.framesSent().isEmpty());
}

}  // namespace
}  // namespace vx
