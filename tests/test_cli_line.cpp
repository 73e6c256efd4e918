// How vextora-cli takes the line: every command that talks to the indicator opens the
// port for its operation and leaves it closed, a port that cannot be opened ends each
// of them with exit 3 before anything is sent, and what a model lacks is refused
// after the connect, before any of it is sent.

#include "link/Interfaces.h"
#include "sim/VirtualIndicator.h"
#include "support/CliProcess.h"
#include "support/RequestText.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
using vx::test::RequestTexts;

class CliLine : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    QStringList sent() const { return RequestTexts(indicator.port.framesSent()); }
    // A configuration file read from the indicator, for the send commands.
    QString savedFile()
    {
        const QString file = path("saved.vxr");
        const CliRun r = run({"read", file, "--groups", "header,params"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        indicator.port.clearFramesSent();
        return file;
    }

    InProcessIndicator indicator;
    InProcessCli cli;
};

struct DeviceCommand {
    const char *name;
    QStringList args;  // FILE stands for a file path
};

const DeviceCommand kDeviceCommands[] = {
    {"identify", {"identify"}},
    {"status", {"status"}},
    {"params", {"params"}},
    {"calibrate", {"calibrate", "zero", "--yes"}},
    {"read", {"read", "FILE"}},
    {"send", {"send", "FILE", "--groups", "header"}},
};

QStringList withFile(QStringList args, const QString &file)
{
    args.replaceInStrings(QStringLiteral("FILE"), file);
    return args;
}

TEST_F(CliLine, EveryCommandLeavesThePortClosed)
{
    const QString file = savedFile();
    for (const DeviceCommand &c : kDeviceCommands) {
        const CliRun r = run(withFile(c.args, file));
        EXPECT_EQ(r.exitCode, 0) << c.name << ": " << r.err.toStdString();
        EXPECT_FALSE(indicator.port.isOpen()) << c.name;
        // The connect comes first in each: the version text.
        EXPECT_EQ(sent().value(0), "199/10") << c.name;
        indicator.port.clearFramesSent();
    }
}

TEST_F(CliLine, APortThatCannotBeOpenedEndsEveryCommandWithExitThreeBeforeAnythingIsSent)
{
    const QString file = savedFile();
    for (const auto &[error, message] : {std::pair{vx::PortErr::NoSuchPort, QStringLiteral("COM1 bulunmamaktadır")},
                                         std::pair{vx::PortErr::Busy, QString()}}) {
        indicator.port.setOpenError(error);
        for (const DeviceCommand &c : kDeviceCommands) {
            const int opens = indicator.port.openCount();
            const CliRun r = run(withFile(c.args, file));
            EXPECT_EQ(r.exitCode, 3) << c.name << ": " << r.err.toStdString();
            EXPECT_TRUE(sent().isEmpty()) << c.name;
            EXPECT_TRUE(r.out.isEmpty()) << c.name;
            // A port that is missing or busy is not tried again; the failure is said once.
            EXPECT_EQ(indicator.port.openCount() - opens, 1) << c.name;
            EXPECT_EQ(r.errLines().size(), 1) << c.name << ": " << r.err.toStdString();
            if (!message.isEmpty()) {
                EXPECT_EQ(r.err, "vextora-cli: " + message + "\n") << c.name;
            }
        }
    }
}

TEST_F(CliLine, OtherPortErrorsAreTriedTenTimesOnConnecting)
{
    indicator.port.setOpenError(vx::PortErr::Other);
    const CliRun r = run({"identify"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(indicator.port.openCount(), 10);
    EXPECT_EQ(r.errLines().size(), 1) << r.err.toStdString();
}

TEST_F(CliLine, ASendToAZr1RefusesWhatItLacksBeforeWritingAnything)
{
    const QString file = savedFile();
    indicator.device.setModel("ZR1 V1.07");
    struct Case {
        const char *groups;
        const char *printer;
        const char *says;
    };
    const Case cases[] = {
        {"header,id", "ticket", "the ZR1 has no ID memory"},
        {"setpoint", "ticket", "the ZR1 has no setpoint memory"},
        {"calibration,datetime", "ticket", "the ZR1 has no clock to set"},
        {"header", "epl", "the ZR1 has no EPL printer"},
    };
    for (const Case &c : cases) {
        const CliRun r = run({"send", file, "--groups", c.groups, "--printer", c.printer});
        EXPECT_EQ(r.exitCode, 2) << c.groups;
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("vextora-cli: ") + c.says + "\n")) << r.err.toStdString();
        // Only the connect went out: the version text and the range.
        EXPECT_EQ(sent(), (QStringList{"199/10", "19=7", "149/2", "19=12", "128/6"})) << c.groups;
        EXPECT_FALSE(indicator.port.isOpen());
        indicator.port.clearFramesSent();
    }
}

TEST_F(CliLine, AReadingTimeOutsideNoneToAMinuteIsAUsageError)
{
    for (const char *given : {"61", "-1", "soon"}) {
        const CliRun r = run({"--reading-time", given, "identify"});
        EXPECT_EQ(r.exitCode, 2) << given;
        EXPECT_TRUE(r.err.startsWith("vextora-cli: --reading-time must be a number of seconds from 0 to 60\n"))
            << r.err.toStdString();
        EXPECT_TRUE(sent().isEmpty());
    }
    EXPECT_EQ(run({"--reading-time", "60", "identify"}).exitCode, 0);
    EXPECT_EQ(run({"--reading-time", "0,5", "identify"}).exitCode, 0);
}

}  // namespace
