// Files the user names: the safe write (a full disk or a file-size limit keeps the old
// file byte for byte and leaves no temporary file; a killed save's temporary file goes
// at the next save once an hour old; names up to 255 bytes; a read-only target refused),
// the exclusive create of a restore point, the check of a target before a
// long read, and the refusal of FIFOs, folders and paths out of the language folder
// by every reader of such files (configuration, EPL, language, settings, profiles).

#include "calibration/MetrologyProfile.h"
#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
#include "link/Options.h"
#include "link/SafeFile.h"
#include "memory/EplFile.h"
#include "shell/LanguageTexts.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <ctime>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

using namespace vx;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A FIFO at `path`. Should a reader wait in open() for a writer (the fault these tests
// catch), a writer comes after two seconds and frees it, so the test fails, not hangs.
class Fifo {
public:
    explicit Fifo(QString path) : m_path(std::move(path))
    {
        m_made = ::mkfifo(QFile::encodeName(m_path).constData(), 0666) == 0;
        m_watchdog = std::thread([this] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (!m_stop && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            while (!m_stop) {  // a blocked reader is there: a writer's open succeeds
                const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    m_freed = true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~Fifo()
    {
        m_stop = true;
        m_watchdog.join();
    }
    bool made() const { return m_made; }
    bool freedAReader() const { return m_freed; }
    const QString &path() const { return m_path; }

private:
    QString m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false}, m_freed{false};
    std::thread m_watchdog;
};

TEST(SafeWrite, ReplacesAFileWholeKeepsItsPermissionsAndWritesThroughALink)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    ASSERT_TRUE(put(path, "old and longer than the new text"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QString why;
    ASSERT_TRUE(WriteFileSafely(path, "new", &why)) << why.toStdString();
    EXPECT_EQ(contents(path), "new") << "the longer old file is not left behind the new text";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the old file's permissions, not the temporary file's";

    ASSERT_TRUE(QFile::link(path, dir.filePath("link.txt")));
    ASSERT_TRUE(WriteFileSafely(dir.filePath("link.txt"), "through the link", &why)) << why.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink()) << "the link stays a link";
    EXPECT_EQ(contents(path), "through the link");
    EXPECT_EQ(entries(dir.path()), QStringList({"a.txt", "link.txt"})) << "no temporary file left";
}

TEST(SafeWrite, AFileSizeLimitKeepsTheOldFileByteForByte)
{
    QTemporaryDir dir;
    const QString config = dir.filePath("customer.vxr");
    const QString epl = dir.filePath("labels.txt");
    const QByteArray oldConfig(5000, 'c'), oldEpl("N\r\nP1\r\n");
    ASSERT_TRUE(put(config, oldConfig));
    ASSERT_TRUE(put(epl, oldEpl));
    WorkingSet set;
    set.collect();

    FileError error;
    QString eplWhy;
    bool eplWritten = true;
    {
        test::FileSizeLimit limit(4096);  // the record is 6548 bytes
        ASSERT_TRUE(limit.set());
        error = WriteConfigurationFile(config, set.record());
        eplWritten = WriteEplFile(epl, QString(5000, QLatin1Char('E')), &eplWhy);
    }
    EXPECT_EQ(error.kind, FileError::CannotWrite);
    EXPECT_EQ(error.reason, "File too large");
    EXPECT_EQ(contents(config), oldConfig);
    EXPECT_FALSE(eplWritten);
    EXPECT_EQ(eplWhy, "File too large");
    EXPECT_EQ(contents(epl), oldEpl);
    EXPECT_EQ(entries(dir.path()), QStringList({"customer.vxr", "labels.txt"})) << "no temporary file left";
}

TEST(SafeWrite, AFullFileSystemKeepsTheOldFileAndLeavesNoStubOfANewOne)
{
    test::SmallTmpfs disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    const QByteArray old(3000, 'o');
    ASSERT_TRUE(disk.put("old.vxr", old));
    ASSERT_TRUE(disk.fill());
    WorkingSet set;
    set.collect();

    const FileError over = WriteConfigurationFile(disk.filePath("old.vxr"), set.record());
    EXPECT_EQ(over.kind, FileError::CannotWrite);
    EXPECT_EQ(over.reason, "No space left on device");
    EXPECT_EQ(contents(disk.filePath("old.vxr")), old);
    EXPECT_FALSE(WriteConfigurationFile(disk.filePath("new.vxr"), set.record()).ok());
    EXPECT_FALSE(WriteEplFile(disk.filePath("new.txt"), "N\r\nP1"));
    EXPECT_EQ(entries(disk.path()), QStringList({"filler", "old.vxr"})) << "no stub, no temporary file";
}

// A file whose modification time lies `seconds` back.
bool putAged(const QString &path, qint64 seconds)
{
    if (!put(path, "left by a killed save"))
        return false;
    const time_t when = ::time(nullptr) - time_t(seconds);
    const struct timeval times[2] = {{when, 0}, {when, 0}};
    return ::utimes(QFile::encodeName(path).constData(), times) == 0;
}

TEST(SafeWrite, TemporariesAKilledSaveLeftGoAtTheNextSaveOnlyWhenAnHourOld)
{
    // The temporary files of "a.vxr" begin ".vx." and the first eight hex digits of the
    // SHA-1 of "a.vxr" (617ea2d5); those of "b.vxr" 'cb843548'. ".a.vxr.XXXXXXXX.tmp"
    // is how earlier versions named them.
    QTemporaryDir dir;
    ASSERT_TRUE(put(dir.filePath("a.vxr"), "old"));
    ASSERT_TRUE(putAged(dir.filePath(".vx.617ea2d5.0123abcd.tmp"), 2 * 3600));
    ASSERT_TRUE(putAged(dir.filePath(".a.vxr.0badf00d.tmp"), 2 * 3600));
    ASSERT_TRUE(putAged(dir.filePath(".vx.617ea2d5.89abcdef.tmp"), 60));  // a save running now
    ASSERT_TRUE(putAged(dir.filePath(".vx.cb843548.0123abcd.tmp"), 2 * 3600));  // another target's
    ASSERT_TRUE(putAged(dir.filePath("notes.0123abcd.tmp"), 2 * 3600));       // the user's own

    QString why;
    ASSERT_TRUE(WriteFileSafely(dir.filePath("a.vxr"), "new", &why)) << why.toStdString();
    EXPECT_EQ(contents(dir.filePath("a.vxr")), "new");
    EXPECT_EQ(entries(dir.path()), QStringList({".vx.617ea2d5.89abcdef.tmp", ".vx.cb843548.0123abcd.tmp",
                                                "a.vxr", "notes.0123abcd.tmp"}));
}

TEST(SafeWrite, NamesUpToTheLongestAFolderTakesStillSave)
{
    // 255 bytes is the longest name; the temporary file beside it must not be longer.
    QTemporaryDir dir;
    for (const int length : {242, 250, 255}) {
        const QString name = QString(length - 4, QLatin1Char('n')) + ".vxr";
        QString why;
        EXPECT_TRUE(CheckWritableTarget(dir.filePath(name), &why)) << length << ": " << why.toStdString();
        EXPECT_TRUE(WriteFileSafely(dir.filePath(name), "long", &why)) << length << ": " << why.toStdString();
        EXPECT_EQ(contents(dir.filePath(name)), "long") << length;
        // And once more over the file that is there now.
        EXPECT_TRUE(WriteFileSafely(dir.filePath(name), "longer", &why)) << length << ": " << why.toStdString();
        EXPECT_EQ(contents(dir.filePath(name)), "longer") << length;
    }
    EXPECT_EQ(entries(dir.path()).size(), 3) << "no temporary file left";
}

TEST(SafeWrite, AReadOnlyFileIsRefusedAndKeptEvenForTheAdministrator)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.vxr");
    ASSERT_TRUE(put(path, "as the user locked it"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    WorkingSet set;
    set.collect();

    QString why;
    EXPECT_FALSE(CheckWritableTarget(path, &why));
    EXPECT_TRUE(why.contains("is read-only")) << why.toStdString();
    EXPECT_FALSE(WriteFileSafely(path, "new", &why));
    EXPECT_FALSE(WriteConfigurationFile(path, set.record()).ok());
    EXPECT_FALSE(WriteEplFile(path, "N\r\nP1"));
    EXPECT_EQ(contents(path), "as the user locked it");
    EXPECT_EQ(entries(dir.path()), QStringList({"kept.vxr"}));
}

// Restore points are made exclusively: a file of the name, whether it was there
// before or came while the temporary file was written, is never replaced.
TEST(SafeCreate, TakesANameOnlyWhenNoFileHasIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ZR2_SN1_20261207-142530.Vxr");
    QString why;
    bool taken = true;
    ASSERT_TRUE(CreateFileSafely(path, "first", &why, &taken)) << why.toStdString();
    EXPECT_FALSE(taken);
    EXPECT_FALSE(CreateFileSafely(path, "second", &why, &taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(contents(path), "first");
    EXPECT_EQ(entries(dir.path()), QStringList({"ZR2_SN1_20261207-142530.Vxr"})) << "no temporary file left";
}

TEST(WritableTarget, IsCheckedWithoutWritingAndRefusesWhatCannotBeAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(put(dir.filePath("plain"), "x"));
    Fifo fifo(dir.filePath("fifo"));
    ASSERT_TRUE(fifo.made());
    test::SmallTmpfs readOnly(/*readOnly=*/true);

    QString why;
    EXPECT_TRUE(CheckWritableTarget(dir.filePath("new.vxr"), &why)) << why.toStdString();
    EXPECT_TRUE(CheckWritableTarget(dir.filePath("plain"), &why)) << why.toStdString();
    EXPECT_EQ(contents(dir.filePath("plain")), "x") << "an existing target is not touched";

    struct Case {
        const char *name;
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {"a folder", dir.path(), "is a folder"},
        {"a FIFO", fifo.path(), "is not a regular file"},
        {"a path under a file", dir.filePath("plain/a.vxr"), "is not a folder"},
        {"no such folder", dir.filePath("none/a.vxr"), "no such folder"},
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(CheckWritableTarget(c.path, &why)) << c.name;
        EXPECT_TRUE(why.contains(c.reason)) << c.name << ": " << why.toStdString();
        EXPECT_FALSE(WriteFileSafely(c.path, "y", &why)) << c.name;
    }
    EXPECT_EQ(entries(dir.path()), QStringList({"fifo", "plain"})) << "the probe leaves nothing behind";
    EXPECT_FALSE(fifo.freedAReader());

    if (!readOnly.mounted())
        GTEST_SKIP() << "the read-only file system case needs the right to mount";
    EXPECT_FALSE(CheckWritableTarget(readOnly.filePath("a.vxr"), &why));
    EXPECT_EQ(why, "Read-only file system");
}

TEST(RegularFiles, EveryReaderOfAUsersFileRefusesAFifoWithoutWaiting)
{
    QTemporaryDir dir;
    Fifo fifo(dir.filePath("pipe"));
    ASSERT_TRUE(fifo.made());

    FileError error;
    EXPECT_FALSE(ReadConfigurationFile(fifo.path(), &error));
    EXPECT_EQ(error.kind, FileError::CannotOpen);
    EXPECT_TRUE(error.reason.endsWith("is not a regular file")) << error.reason.toStdString();

    const EplFile epl = ReadEplFile(fifo.path());
    EXPECT_FALSE(epl.ok);
    EXPECT_TRUE(epl.error.endsWith("is not a regular file")) << epl.error.toStdString();

    QString why;
    EXPECT_FALSE(LanguageTexts::fromFile(fifo.path(), &why));
    EXPECT_TRUE(why.endsWith("is not a regular file"));
    EXPECT_EQ(SettingsFileProblem(fifo.path()).value_or("accepted"), fifo.path() + " is not a regular file");
    // The program's own files too: a metrology profile that is a FIFO would block the start.
    Fifo profile(dir.filePath(ProfileFileName(ProfileTag::N)));
    ASSERT_TRUE(profile.made());
    MetrologyProfiles profiles;
    EXPECT_FALSE(LoadMetrologyProfile(profiles, ProfileTag::N, dir.path(), &why));
    EXPECT_TRUE(why.endsWith("is not a regular file")) << why.toStdString();
    EXPECT_FALSE(fifo.freedAReader() || profile.freedAReader()) << "a reader waited in open() for a writer";

    EXPECT_FALSE(ReadConfigurationFile(dir.path(), &error));
    EXPECT_TRUE(error.reason.endsWith("is a folder")) << error.reason.toStdString();
}

TEST(RegularFiles, TheSettingsFileIsNewOrAReadableFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(put(dir.filePath("s.ini"), "[ZR]\nPort=3\n"));
    EXPECT_FALSE(SettingsFileProblem(dir.filePath("s.ini")));
    EXPECT_FALSE(SettingsFileProblem(dir.filePath("new.ini"))) << "a new store";
    EXPECT_EQ(SettingsFileProblem(dir.path()).value_or("accepted"), dir.path() + " is a folder");
    EXPECT_TRUE(SettingsFileProblem(dir.filePath("s.ini/x.ini")));
    EXPECT_TRUE(SettingsFileProblem(""));
}

TEST(LanguageFileNames, AreNamesInsideTheLanguageFolder)
{
    for (const char *name : {"English.txt", "Türkçe.txt", "my..file.txt", ".hidden.txt"})
        EXPECT_TRUE(IsLanguageFileName(QString::fromUtf8(name))) << name;
    for (const char *name : {"", ".", "..", "../English.txt", "../../etc/passwd", "/etc/passwd", "sub/English.txt",
                             "..\\English.txt", "C:\\x.txt"})
        EXPECT_FALSE(IsLanguageFileName(QString::fromUtf8(name))) << name;
}

}  // namespace
