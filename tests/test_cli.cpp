// vextora-cli end to end: the real executable against vextora-sim on a
// pseudo-terminal, with its output and exit codes.

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString binary(const QString &name) { return QDir(QCoreApplication::applicationDirPath()).filePath(name); }

// A vextora-sim process serving a pseudo-terminal linked at a temporary path.
class SimProcess {
public:
    explicit SimProcess(const QStringList &extra = {})
    {
        link = dir.filePath("indicator");
        process.start(binary("vextora-sim"), QStringList{"--link", link} + extra);
        if (process.waitForReadyRead(10000))
            ptyPath = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
    bool ready() const { return !ptyPath.isEmpty(); }

    QTemporaryDir dir;
    QString link, ptyPath;
    QProcess process;
};

struct CliRun { int exitCode = -1; QString out, err; };

class CliTest : public ::testing::Test {
protected:
    CliRun cli(const QStringList &args, int killAfterMs = 0)
    {
        QProcess p;
        p.start(binary("vextora-cli"),
                QStringList{"--settings", settings.filePath("vextora.ini"), "--language", "English.txt"} + args);
        p.closeWriteChannel();
        if (killAfterMs > 0 && !p.waitForFinished(killAfterMs))
            ::kill(pid_t(p.processId()), SIGINT);
        if (!p.waitForFinished(30000))
            p.kill();
        return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                   QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QTemporaryDir settings;
};

TEST_F(CliTest, IdentifyPrintsModelAndVersion)
{
    SimProcess sim({"--model", "ZR1 V1.07"});
    ASSERT_TRUE(sim.ready());
    const CliRun r = cli({"--port", sim.link, "identify"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("model    ZR1")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("ZR1 V1.07"));
    EXPECT_TRUE(r.out.contains("not the assumed ZR2"));

    const CliRun json = cli({"--port", sim.link, "--json", "identify"});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o.value("model").toString(), "ZR1");
}

TEST_F(CliTest, AddressAndChecksumMustMatchTheIndicator)
{
    SimProcess sim({"--address", "07", "--checksum", "off"});
    ASSERT_TRUE(sim.ready());
    const CliRun right = cli({"--port", sim.link, "--address", "07", "--checksum", "off", "identify"});
    EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
    const CliRun wrong = cli({"--port", sim.link, "--address", "08", "--checksum", "off", "identify"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err.count(QLatin1Char('\n')), 1) << wrong.err.toStdString();
}

TEST_F(CliTest, StatusPrintsValuesFlagsAndDerivedFlags)
{
    SimProcess sim({"--analog-card", "off"});
    ASSERT_TRUE(sim.ready());
    const CliRun r = cli({"--port", sim.link, "--json", "status"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_TRUE(o.value("calibrationPermitted").toBool());
    EXPECT_FALSE(o.value("analogCardPresent").toBool());
    EXPECT_EQ(o.value("values").toArray().size(), 6);
    EXPECT_EQ(o.value("operating").toArray().size(), 12);
    EXPECT_EQ(o.value("hardware").toArray().size(), 7);
    const QJsonObject first = o.value("values").toArray().first().toObject();
    EXPECT_FALSE(first.value("caption").toString().isEmpty() || first.value("value").toString().isEmpty());
    for (const auto &row : o.value("operating").toArray())
        EXPECT_FALSE(row.toObject().value("value").toString().isEmpty());
}

TEST_F(CliTest, StatusWatchRepeatsUntilInterrupted)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const CliRun r = cli({"--port", sim.link, "status", "--watch", "1"}, 2600);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GE(r.out.count("status at"), 2) << r.out.toStdString();
}

TEST_F(CliTest, SilentIndicatorExitsOneWithTheRefusalText)
{
    SimProcess sim({"--fault", "noanswer:reg=0"});
    ASSERT_TRUE(sim.ready());
    const CliRun status = cli({"--port", sim.link, "status"});
    EXPECT_EQ(status.exitCode, 1);
    const QStringList lines = status.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << status.err.toStdString();
    EXPECT_TRUE(lines.first().startsWith("vextora-cli: "));
    EXPECT_GT(lines.first().size(), 20);

    SimProcess refusing({"--fault", "refuse:reg=199"});
    ASSERT_TRUE(refusing.ready());
    EXPECT_EQ(cli({"--port", refusing.link, "identify"}).exitCode, 1);
}

TEST_F(CliTest, PortAndUsageErrors)
{
    const CliRun missing = cli({"--port", "/nonexistent/tty", "identify"});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.contains("bulunmamaktadır")) << missing.err.toStdString();

    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(cli({"--port", sim.link, "--line-settings", "fast", "identify"}).exitCode, 2);

    for (const QStringList &args : {QStringList{}, QStringList{"weigh"}, QStringList{"--address", "123", "identify"},
                                    QStringList{"--watch", "2", "identify"}, QStringList{"--drain", "fast", "status"}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

}  // namespace
