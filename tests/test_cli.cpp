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
        link = dir.filePath(QStringLiteral("indicator"));
        process.start(binary(QStringLiteral("vextora-sim")), QStringList{QStringLiteral("--link"), link} + extra);
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
    QString link;
    QString ptyPath;
    QProcess process;
};

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    CliRun cli(const QStringList &args, int killAfterMs = 0)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(binary(QStringLiteral("vextora-cli")),
                QStringList{QStringLiteral("--settings"), settings.filePath(QStringLiteral("vextora.ini")),
                            QStringLiteral("--language"), QStringLiteral("English.txt")}
                    + args);
        p.closeWriteChannel();
        if (killAfterMs > 0) {
            p.waitForFinished(killAfterMs);
            if (p.state() == QProcess::Running)
                ::kill(pid_t(p.processId()), SIGINT);
        }
        if (!p.waitForFinished(30000))
            p.kill();
        return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                   QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QTemporaryDir settings;
};

TEST_F(CliTest, IdentifyPrintsModelAndVersion)
{
    SimProcess sim({QStringLiteral("--model"), QStringLiteral("ZR1 V1.07")});
    ASSERT_TRUE(sim.ready());
    const CliRun r = cli({QStringLiteral("--port"), sim.link, QStringLiteral("identify")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("model    ZR1"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("ZR1 V1.07")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("not the assumed ZR2")));

    const CliRun json = cli({QStringLiteral("--port"), sim.link, QStringLiteral("--json"), QStringLiteral("identify")});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o.value(QStringLiteral("model")).toString(), QStringLiteral("ZR1"));
}

TEST_F(CliTest, AddressAndChecksumMustMatchTheIndicator)
{
    SimProcess sim({QStringLiteral("--address"), QStringLiteral("07"), QStringLiteral("--checksum"),
                    QStringLiteral("off")});
    ASSERT_TRUE(sim.ready());
    const CliRun right = cli({QStringLiteral("--port"), sim.link, QStringLiteral("--address"), QStringLiteral("07"),
                           QStringLiteral("--checksum"), QStringLiteral("off"), QStringLiteral("identify")});
    EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
    const CliRun wrong = cli({QStringLiteral("--port"), sim.link, QStringLiteral("--address"), QStringLiteral("08"),
                           QStringLiteral("--checksum"), QStringLiteral("off"), QStringLiteral("identify")});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err.count(QLatin1Char('\n')), 1) << wrong.err.toStdString();
}

TEST_F(CliTest, StatusPrintsValuesFlagsAndDerivedFlags)
{
    SimProcess sim({QStringLiteral("--analog-card"), QStringLiteral("off")});
    ASSERT_TRUE(sim.ready());
    const CliRun r = cli({QStringLiteral("--port"), sim.link, QStringLiteral("--json"), QStringLiteral("status")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_TRUE(o.value(QStringLiteral("calibrationPermitted")).toBool());
    EXPECT_FALSE(o.value(QStringLiteral("analogCardPresent")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("values")).toArray().size(), 6);
    EXPECT_EQ(o.value(QStringLiteral("operating")).toArray().size(), 12);
    EXPECT_EQ(o.value(QStringLiteral("hardware")).toArray().size(), 7);
    const QJsonObject first = o.value(QStringLiteral("values")).toArray().first().toObject();
    EXPECT_FALSE(first.value(QStringLiteral("caption")).toString().isEmpty());
    EXPECT_FALSE(first.value(QStringLiteral("value")).toString().isEmpty());
    for (const auto &row : o.value(QStringLiteral("operating")).toArray())
        EXPECT_FALSE(row.toObject().value(QStringLiteral("value")).toString().isEmpty());
}

TEST_F(CliTest, StatusWatchRepeatsUntilInterrupted)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const CliRun r = cli({QStringLiteral("--port"), sim.link, QStringLiteral("status"), QStringLiteral("--watch"),
                       QStringLiteral("1")},
                      2600);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GE(r.out.count(QStringLiteral("status at")), 2) << r.out.toStdString();
}

TEST_F(CliTest, SilentIndicatorExitsOneWithTheRefusalText)
{
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("noanswer:reg=0")});
    ASSERT_TRUE(sim.ready());
    const CliRun status = cli({QStringLiteral("--port"), sim.link, QStringLiteral("status")});
    EXPECT_EQ(status.exitCode, 1);
    const QStringList lines = status.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << status.err.toStdString();
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("vextora-cli: ")));
    EXPECT_GT(lines.first().size(), 20);

    SimProcess refusing({QStringLiteral("--fault"), QStringLiteral("refuse:reg=199")});
    ASSERT_TRUE(refusing.ready());
    EXPECT_EQ(cli({QStringLiteral("--port"), refusing.link, QStringLiteral("identify")}).exitCode, 1);
}

TEST_F(CliTest, PortAndUsageErrors)
{
    const CliRun missing = cli({QStringLiteral("--port"), QStringLiteral("/nonexistent/tty"), QStringLiteral("identify")});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("bulunmamaktadır"))) << missing.err.toStdString();

    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const CliRun badLine = cli({QStringLiteral("--port"), sim.link, QStringLiteral("--line-settings"),
                             QStringLiteral("fast"), QStringLiteral("identify")});
    EXPECT_EQ(badLine.exitCode, 2);

    for (const QStringList &args : {QStringList{}, QStringList{QStringLiteral("weigh")},
                                    QStringList{QStringLiteral("--address"), QStringLiteral("123"), QStringLiteral("identify")},
                                    QStringList{QStringLiteral("--watch"), QStringLiteral("2"), QStringLiteral("identify")},
                                    QStringList{QStringLiteral("--drain"), QStringLiteral("fast"), QStringLiteral("status")}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

}  // namespace
