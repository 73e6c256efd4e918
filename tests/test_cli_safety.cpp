// vextora-cli where the world is not kind: targets that cannot be written (found
// before anything is sent), full disks (the old file kept byte for byte, exit 7),
// FIFOs and other files that are no regular files (refused, never waited on), file
// names that are not UTF-8 (refused, never changed), paths that lead out of the
// language folder, signals in the middle of a read, and the
// per-group results of a read or send that stopped.

#include "sim/Faults.h"
#include "support/CliProcess.h"
#include "support/FullDisk.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;
namespace sim = vx::sim;

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// What the folder holds besides the files named: a temporary file left behind shows here.
QStringList others(const QString &folder, const QStringList &expected)
{
    QStringList out;
    for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        if (!expected.contains(name))
            out << name;
    return out;
}

bool makeFifo(const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0; }

class CliSafety : public ::testing::Test {
protected:
    CliRun run(const QStringList &args) { return cli.run(indicator, args); }
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    void fault(sim::FaultKind kind, int reg, int times)
    {
        indicator.device.addFault({kind, sim::FaultScope::Register, reg, times});
    }

    InProcessIndicator indicator;
    InProcessCli cli;
};

TEST_F(CliSafety, ATargetThatCannotBeWrittenIsRefusedBeforeAnyFrameIsSent)
{
    QFile plain(path("plain.vxr"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(makeFifo(path("fifo.vxr")));
    QFile locked(path("locked.vxr"));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly) && locked.write("kept") == 4);
    locked.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path("locked.vxr")).constData(), 0444), 0);
    vx::test::SmallTmpfs readOnly(/*readOnly=*/true);

    struct Case {
        const char *name;
        QString target;
    };
    std::vector<Case> cases = {
        {"a folder", cli.dir.path()},
        {"a path under a file", path("plain.vxr/x.vxr")},
        {"a FIFO", path("fifo.vxr")},
        {"no such folder", path("no/such/a.vxr")},
        {"a read-only file (0444)", path("locked.vxr")},
    };
    // Root writes through permission bits; a read-only file system stops it too.
    if (readOnly.mounted())
        cases.push_back({"a read-only file system", readOnly.filePath("a.vxr")});
    for (const Case &c : cases) {
        const CliRun r = run({"--json", "read", c.target, "--groups", "header,params"});
        EXPECT_EQ(r.exitCode, 7) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("cannot write")) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.json().value("results").toObject(),
                  QJsonObject({{"header", "not-run"}, {"params", "not-run"}}))
            << c.name;
        EXPECT_FALSE(r.json().value("written").toBool(true)) << c.name;
    }
    EXPECT_TRUE(indicator.port.framesSent().isEmpty()) << indicator.port.framesSent().join(' ').toStdString();
    EXPECT_EQ(indicator.port.openCount(), 0);
    EXPECT_EQ(QFileInfo(path("fifo.vxr")).isFile(), false) << "the FIFO is left as it was";
    EXPECT_EQ(contents(path("locked.vxr")), "kept");
    if (!readOnly.mounted())
        GTEST_SKIP() << "the read-only file system case needs the right to mount";
}

TEST_F(CliSafety, AFailedWriteKeepsTheOldFileByteForByteAndExitsSeven)
{
    // The old file as a customer left it; the disk then takes no file longer than 4 KiB
    // (the record is 6548 bytes).
    const QByteArray old = QByteArray("the customer's file\n").repeated(40);
    QFile f(path("old.vxr"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(old), old.size());
    f.close();
    const QStringList logFiles = others(cli.dir.path(), {});

    CliRun over, fresh;
    {
        vx::test::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.set());
        over = run({"--json", "read", path("old.vxr"), "--groups", "header"});
        fresh = run({"read", path("new.vxr"), "--groups", "header"});
    }
    EXPECT_EQ(over.exitCode, 7) << over.err.toStdString();
    EXPECT_EQ(contents(path("old.vxr")), old);
    EXPECT_TRUE(over.err.contains("the file stays as it was")) << over.err.toStdString();
    EXPECT_FALSE(over.json().value("written").toBool(true));
    EXPECT_EQ(over.json().value("results").toObject(), QJsonObject({{"header", "read"}}))
        << "the group was read; the file was not written";

    EXPECT_EQ(fresh.exitCode, 7) << fresh.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("new.vxr"))) << "no stub of a new file";
    EXPECT_TRUE(fresh.err.contains("no file was written")) << fresh.err.toStdString();
    QStringList expected = logFiles;
    expected << "old.vxr" << "ZRxLog.txt";
    EXPECT_EQ(others(cli.dir.path(), expected), QStringList()) << "no temporary file is left behind";

    // With room again the same read goes through.
    EXPECT_EQ(run({"read", path("old.vxr"), "--groups", "header"}).exitCode, 0);
    EXPECT_EQ(QFileInfo(path("old.vxr")).size(), 6548);
}

TEST_F(CliSafety, AReadThatStopsMapsEveryGroupAskedForInItsJson)
{
    const CliRun whole = run({"--json", "read", path("a.vxr")});
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_EQ(whole.json().value("results").toObject(),
              QJsonObject({{"header", "read"}, {"id", "read"}, {"setpoint", "read"}, {"params", "read"}}));
    EXPECT_TRUE(whole.json().value("written").toBool());

    // The setpoint memory's register is refused: the parameters are never read.
    fault(sim::FaultKind::Refuse, 117, 1);
    const CliRun stopped = run({"--json", "read", path("b.vxr"), "--groups", "params,setpoint,header"});
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.json().value("results").toObject(),
              QJsonObject({{"header", "read"}, {"setpoint", "failed"}, {"params", "not-run"}}));
    EXPECT_FALSE(stopped.json().value("written").toBool(true));
    EXPECT_TRUE(stopped.err.contains("Not read: Setpoint Memory, Parameters")) << stopped.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("b.vxr")));
}

// A lost range read once saved setpoints x10 and sent a file's 100,0 as 1000,0: without
// the range the groups that carry weights are neither read nor sent, the file is not
// written, and the exit status says so.
TEST_F(CliSafety, WithoutTheRangeNoWeightIsReadOrSentAndNoFileWritten)
{
    ASSERT_EQ(run({"read", path("good.vxr")}).exitCode, 0);
    const QByteArray good = contents(path("good.vxr"));
    indicator.device.clearCommands();

    fault(sim::FaultKind::NoAnswer, 128, 3);  // the range answer lost on every try
    const CliRun read = run({"--json", "read", path("good.vxr"), "--groups", "header,setpoint"});
    EXPECT_EQ(read.exitCode, 1);
    EXPECT_TRUE(read.err.contains("range could not be read")) << read.err.toStdString();
    EXPECT_EQ(read.json().value("results").toObject(), QJsonObject({{"header", "not-run"}, {"setpoint", "not-run"}}));
    EXPECT_EQ(contents(path("good.vxr")), good) << "the file before stays";
    EXPECT_TRUE(std::none_of(indicator.device.commands().begin(), indicator.device.commands().end(),
                             [](int c) { return c == 1; }))
        << "no setpoint is loaded";

    indicator.device.clearCommands();
    fault(sim::FaultKind::NoAnswer, 128, 3);
    const CliRun send = run({"--json", "send", path("good.vxr"), "--groups", "setpoint"});
    EXPECT_EQ(send.exitCode, 1);
    EXPECT_EQ(send.json().value("results").toObject(), QJsonObject({{"setpoint", "not-run"}}));
    EXPECT_TRUE(std::none_of(indicator.device.commands().begin(), indicator.device.commands().end(),
                             [](int c) { return c == 2 || c == 3; }))
        << "nothing stored, not even the probe";

    // The ID memory and the ticket lines carry no weight: they go without the range.
    fault(sim::FaultKind::NoAnswer, 128, 3);
    EXPECT_EQ(run({"read", path("ids.vxr"), "--groups", "header,id"}).exitCode, 0);
}

TEST_F(CliSafety, ASendThatStopsNamesEveryGroupNotSent)
{
    ASSERT_EQ(run({"read", path("a.vxr")}).exitCode, 0);
    // The first ID record is refused however often it goes: the send aborts in the ID group.
    fault(sim::FaultKind::Refuse, 105, -1);
    const CliRun refused = run({"--json", "send", path("a.vxr"), "--groups", "nrm,setpoint,id,header,datetime"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.json().value("results").toObject(),
              QJsonObject({{"header", "sent"},
                           {"id", "failed"},
                           {"setpoint", "not-run"},
                           {"datetime", "not-run"},
                           {"nrm", "not-run"}}));
    EXPECT_TRUE(refused.err.contains(
        "Not sent: ID and ID Memory, Setpoint Memory, Date - Time, Configuration P.(Nrm)"))
        << refused.err.toStdString();

    // Skipped, the failed write still makes its group "failed"; the groups after it go.
    indicator.device.clearFaults();
    fault(sim::FaultKind::NoAnswer, 105, 9);
    const CliRun skipped =
        run({"--json", "send", path("a.vxr"), "--groups", "id,nrm", "--on-failure", "ignore"});
    EXPECT_EQ(skipped.exitCode, 1);
    EXPECT_EQ(skipped.json().value("results").toObject(), QJsonObject({{"id", "failed"}, {"nrm", "sent"}}));

    // A file that cannot be read: one object, nothing run.
    const CliRun missing = run({"--json", "send", path("missing.vxr"), "--groups", "header"});
    EXPECT_EQ(missing.exitCode, 7);
    EXPECT_EQ(missing.json().value("results").toObject(), QJsonObject({{"header", "not-run"}}));
}

TEST_F(CliSafety, LanguageAndSettingsThatAreNoFileOfTheirKindAreUsageErrors)
{
    QFile plain(path("plain.ini"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QList<QStringList> cases = {
        {"--language", "../../etc/passwd", "identify"},
        {"--language", "../English.txt", "identify"},
        {"--language", "/etc/passwd", "identify"},
        {"--language", "..", "identify"},
        {"--settings", cli.dir.path(), "identify"},
        {"--settings", path("plain.ini/x.ini"), "identify"},
    };
    for (const QStringList &args : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(args.at(0))) << r.err.toStdString();
    }
    EXPECT_TRUE(indicator.port.framesSent().isEmpty());
}

// ---- the real program ---------------------------------------------------------------

constexpr int kNoHangMs = 20000;  // far beyond what a refusal takes; a regression ends as -1

TEST(CliSafetyEndToEnd, FifosAreRefusedWithoutWaitingForAWriter)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.vxr");
    ASSERT_TRUE(makeFifo(fifo));
    const QString settings = dir.filePath("vextora.ini");
    // A language file name that is a FIFO in the program's language folder.
    const QString languageName = QStringLiteral("fifo-%1.txt").arg(QCoreApplication::applicationPid());
    const QString languageFifo = QDir(vx::test::Binary("LANGUAGE")).filePath(languageName);
    const bool languageMade = makeFifo(languageFifo);

    struct Case {
        QStringList args;
        int exitCode;
    };
    std::vector<Case> cases = {
        {{"dump", fifo}, 7},
        {{"send", fifo, "--groups", "header"}, 7},
        {{"read", fifo}, 7},
    };
    for (const Case &c : cases) {
        const CliRun r = vx::test::RunCliProcess(settings, QStringList{"--port", "/nonexistent/tty"} + c.args, 0,
                                                 kNoHangMs);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.toStdString();
    }
    // The settings file and the language file come before the command: exit 2.
    const CliRun settingsFifo = vx::test::RunCliProcess(fifo, {"--port", "/nonexistent/tty", "identify"}, 0, kNoHangMs);
    EXPECT_EQ(settingsFifo.exitCode, 2) << settingsFifo.err.toStdString();
    EXPECT_TRUE(settingsFifo.err.contains("--settings")) << settingsFifo.err.toStdString();
    if (languageMade) {
        const CliRun languageRun = vx::test::RunCliProcess(
            settings, {"--language", languageName, "--port", "/nonexistent/tty", "identify"}, 0, kNoHangMs);
        QFile::remove(languageFifo);
        EXPECT_EQ(languageRun.exitCode, 2) << languageRun.err.toStdString();
        EXPECT_TRUE(languageRun.err.contains("not a regular file")) << languageRun.err.toStdString();
    } else {
        ADD_FAILURE() << "no FIFO could be made in " << languageFifo.toStdString();
    }
}

// File names whose bytes are not UTF-8 cannot pass through the tool's text unchanged:
// they are refused (usage error, exit 2) instead of becoming another name. The names
// are made by the shell's printf, since a QProcess argument is text itself.
TEST(CliSafetyEndToEnd, AFileNameThatIsNoUtf8IsRefusedNeverChangedIntoAnother)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath("vextora.ini");
    const QByteArray existing = QByteArray("bad-\xff\xfe-name.vxr");
    {
        // An existing file of such a name, written byte for byte past QString.
        const QByteArray full = QFile::encodeName(dir.path()) + '/' + existing;
        FILE *f = std::fopen(full.constData(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("kept", f);
        std::fclose(f);
    }
    auto runWith = [&](const QString &command, const QString &printfName, const QString &rest = {}) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        const QString line = QStringLiteral("exec \"$0\" --settings \"$1\" --port /nonexistent/tty %1 "
                                            "\"$(printf '%2')\" %3")
                                 .arg(command, printfName, rest);
        p.start("/bin/sh", {"-c", line, vx::test::Binary("vextora-cli"), settings});
        p.closeWriteChannel();
        if (!p.waitForFinished(kNoHangMs))
            p.kill();
        p.waitForFinished(5000);
        return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                      QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    };
    struct Case {
        QString command, name, rest;
        QString shown;
    };
    const Case cases[] = {
        {"read", "nu-\\377.vxr", "", "nu-\\xFF.vxr"},
        {"read", "nu-\\376.vxr", "", "nu-\\xFE.vxr"},
        {"dump", "bad-\\377\\376-name.vxr", "", "bad-\\xFF\\xFE-name.vxr"},
        {"send", "bad-\\377\\376-name.vxr", "--groups header", "bad-\\xFF\\xFE-name.vxr"},
        {"diff", "bad-\\377\\376-name.vxr", "", "bad-\\xFF\\xFE-name.vxr"},
    };
    for (const Case &c : cases) {
        const CliRun r = runWith(c.command, c.name, c.rest);
        EXPECT_EQ(r.exitCode, 2) << c.command.toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("is not valid UTF-8 text")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.shown)) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("No such file")) << r.err.toStdString();
    }
    // Nothing was made under a changed name (U+FFFD), the existing file is untouched.
    // (Listed by bytes: Qt leaves out a name it cannot decode.)
    std::vector<QByteArray> found;
    if (DIR *folder = ::opendir(QFile::encodeName(dir.path()).constData())) {
        while (const dirent *entry = ::readdir(folder))
            if (QByteArray name(entry->d_name); name != "." && name != ".." && name != "vextora.ini")
                found.push_back(name);
        ::closedir(folder);
    }
    EXPECT_EQ(found, std::vector<QByteArray>{existing});
    const QByteArray full = QFile::encodeName(dir.path()) + '/' + existing;
    FILE *f = std::fopen(full.constData(), "rb");
    ASSERT_NE(f, nullptr);
    char kept[8] = {};
    EXPECT_EQ(std::fread(kept, 1, sizeof kept, f), 4u);
    std::fclose(f);
    EXPECT_STREQ(kept, "kept");
    ::unlink(full.constData());  // QTemporaryDir cannot name it
}

// A read of the ID memory from a vextora-sim that logs its traffic, stopped by
// signals once the records are coming.
class CliSignals : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.ready()); }
    // Starts the read and waits until the ID records are being read.
    std::unique_ptr<vx::test::RunningCli> startRead()
    {
        auto cli = std::make_unique<vx::test::RunningCli>(
            dir.filePath("vextora.ini"), QStringList{"--port", sim.link, "read", target, "--groups", "id"});
        // Command 10 (load an ID record, "000A" to register 19) several times: the ID memory is being read.
        const bool reading = cli->waitUntil([&] {
            simLog += QString::fromUtf8(sim.process.readAllStandardError());
            return simLog.count("-> @100013000102000A") >= 5;
        });
        EXPECT_TRUE(reading) << simLog.right(2000).toStdString();
        return cli;
    }
    // The indicator's log from `from` on, once `frame` is in it (or after five seconds without it).
    QString logWith(const QString &frame, qsizetype from)
    {
        QDeadlineTimer deadline(5000);
        while (!simLog.mid(from).contains(frame) && !deadline.hasExpired()) {
            sim.process.waitForReadyRead(50);
            simLog += QString::fromUtf8(sim.process.readAllStandardError());
        }
        return simLog.mid(from);
    }

    QTemporaryDir dir;
    vx::test::SimProcess sim{QStringList{"--log", "--latency-ms", "20"}};
    QString target = dir.filePath("id.vxr");
    QString simLog;
};

TEST_F(CliSignals, SigtermStopsAReadAsEscapeDoesAndTheClosingCommandGoes)
{
    auto cli = startRead();
    const qsizetype atSignal = simLog.size();
    cli->signal(SIGTERM);
    const CliRun r = cli->finish();
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));
    // Command 20 to register 19 closes the ID session after the signal.
    const QString after = logWith("-> @1000130001020014", atSignal);
    EXPECT_TRUE(after.contains("-> @1000130001020014")) << after.toStdString();
}

TEST_F(CliSignals, SigtermStopsASendAtTheNextRecordAndTheSessionIsClosed)
{
    const QString file = dir.filePath("memories.vxr");
    ASSERT_EQ(vx::test::RunCliProcess(dir.filePath("vextora.ini"), {"--port", sim.link, "read", file, "--groups",
                                                                     "id,params"}).exitCode,
              0);
    // The file holds what it sends (a file without them is refused before anything goes).
    vx::test::RunningCli send(dir.filePath("vextora.ini"),
                              {"--json", "--port", sim.link, "send", file, "--groups", "id,nrm", "--yes"});
    // Command 11 (store an ID record, "000B") has gone twice: the ID memory is being sent.
    ASSERT_TRUE(send.waitUntil([&] {
        simLog += QString::fromUtf8(sim.process.readAllStandardError());
        return simLog.count("-> @100013000102000B") >= 2;
    })) << simLog.right(2000).toStdString();
    const qsizetype atSignal = simLog.size();
    send.signal(SIGTERM);
    const CliRun r = send.finish();
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_EQ(r.json().value("results").toObject(), QJsonObject({{"id", "failed"}, {"nrm", "not-run"}}));
    const QString after = logWith("-> @1000130001020014", atSignal);
    EXPECT_TRUE(after.contains("-> @1000130001020014")) << after.toStdString();
    EXPECT_FALSE(after.contains("-> @1000130001020008")) << "Nrm is not confirmed after the signal";
}

TEST_F(CliSignals, ASecondSignalEndsTheToolAtOnce)
{
    auto cli = startRead();
    cli->signal(SIGTERM);
    cli->signal(SIGINT);
    const CliRun r = cli->finish(kNoHangMs);
    EXPECT_FALSE(cli->killedByTest) << "the tool ended by itself";
    EXPECT_TRUE(cli->crashed()) << "ended by the second signal, exit " << r.exitCode;
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST(CliFullDiskEndToEnd, AReadOnAFullFileSystemKeepsTheOldFile)
{
    vx::test::SimProcess sim;
    ASSERT_TRUE(sim.ready());
    vx::test::SmallTmpfs disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    QByteArray old(6548, '\0');
    for (int i = 0; i < old.size(); ++i)
        old[i] = char(i * 7);
    ASSERT_TRUE(disk.put("old.vxr", old));
    ASSERT_TRUE(disk.fill());
    QTemporaryDir settings;

    const CliRun over = vx::test::RunCliProcess(settings.filePath("s.ini"),
                                                {"--port", sim.link, "read", disk.filePath("old.vxr")});
    EXPECT_EQ(over.exitCode, 7) << over.err.toStdString();
    EXPECT_TRUE(over.err.contains("No space left on device")) << over.err.toStdString();
    EXPECT_EQ(contents(disk.filePath("old.vxr")), old) << "the old file byte for byte";

    const CliRun fresh = vx::test::RunCliProcess(settings.filePath("s.ini"),
                                                 {"--port", sim.link, "read", disk.filePath("new.vxr")});
    EXPECT_EQ(fresh.exitCode, 7) << fresh.err.toStdString();
    EXPECT_EQ(others(disk.path(), {"old.vxr", "filler"}), QStringList()) << "no stub, no temporary file";
}

TEST(CliFullDiskEndToEnd, AFileSizeLimitFailsTheWriteNotTheTool)
{
    vx::test::SimProcess sim;
    ASSERT_TRUE(sim.ready());
    QTemporaryDir dir;
    const QByteArray old("an older configuration");
    QFile f(dir.filePath("old.vxr"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    f.close();

    QProcess p;
    vx::test::LimitFileSize(p, 4096);
    p.start(vx::test::Binary("vextora-cli"),
            QStringList{"--settings", dir.filePath("s.ini"), "--language", "English.txt"} +
                vx::test::ProcessReadingTime + QStringList{"--port", sim.link, "read", dir.filePath("old.vxr")});
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        p.kill();
    p.waitForFinished(5000);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "SIGXFSZ does not end the tool";
    EXPECT_EQ(p.exitCode(), 7) << p.readAllStandardError().toStdString();
    EXPECT_EQ(contents(dir.filePath("old.vxr")), old);
}

}  // namespace
