// The Debian package: made with cpack from the programs of this build, unpacked with
// dpkg -x into a temporary root, and run from there: the tool's and the virtual
// indicator's help, and the window's headless smoke check against the packaged
// virtual indicator, with the program folder read-only (the log and BACKUP then go
// to the per-user data folder).

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

Outcome run(const QString &program, const QStringList &args, const QString &folder = {},
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 280000)
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs))
        p.kill();
    p.waitForFinished(5000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every file and folder below `path` read-only (or writable again).
void setWritable(const QString &path, bool writable)
{
    run(QStringLiteral("chmod"), {QStringLiteral("-R"), writable ? QStringLiteral("u+w") : QStringLiteral("a-w"), path});
}

TEST(DebianPackage, InstallsTheProgramsTheirFilesAndRunsFromTheProgramFolder)
{
    const QString build = QDir(QCoreApplication::applicationDirPath()).filePath("..");
    if (!QFileInfo(QDir(QCoreApplication::applicationDirPath()).filePath("vextora")).isExecutable())
        GTEST_SKIP() << "the window is not built beside the tests";
    for (const char *tool : {"cpack", "dpkg", "dpkg-shlibdeps"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) << tool << " is missing";

    QTemporaryDir tmp;
    const QString packages = tmp.filePath("packages");
    // The package holds "Türkçe.txt": the archiver reaches it by name only in a UTF-8
    // locale, and a fresh system's shell may have none set (C).
    QProcessEnvironment utf8 = QProcessEnvironment::systemEnvironment();
    utf8.insert("LC_ALL", "C.UTF-8");
    const Outcome pack = run("cpack", {"-G", "DEB", "-B", packages}, build, utf8);
    ASSERT_EQ(pack.exitCode, 0) << pack.out.toStdString() << pack.err.toStdString();
    const QStringList debs = QDir(packages).entryList({"vextora_*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << pack.out.toStdString();
    const QString deb = QDir(packages).filePath(debs.first());

    // The library dependencies dpkg-shlibdeps found: the Debian 12 Qt 6 libraries.
    const QString depends = run("dpkg-deb", {"-f", deb, "Depends"}).out;
    for (const char *package : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6serialport6", "libc6",
                                "fonts-dejavu-core"})
        EXPECT_TRUE(depends.contains(QString::fromLatin1(package))) << package << " not in: " << depends.toStdString();

    const QString root = tmp.filePath("root");
    ASSERT_EQ(run("dpkg", {"-x", deb, root}).exitCode, 0);
    const QString opt = root + "/opt/vextora";

    // The programs in the program folder, linked into the PATH by absolute links.
    for (const char *program : {"vextora", "vextora-cli", "vextora-sim"}) {
        const QString name = QString::fromLatin1(program);
        EXPECT_TRUE(QFileInfo(opt + "/" + name).isExecutable()) << program;
        const QFileInfo link(root + "/usr/bin/" + name);
        EXPECT_TRUE(link.isSymLink()) << program;
        EXPECT_EQ(link.symLinkTarget(), "/opt/vextora/" + name) << program;
    }
    // The files the program reads beside it.
    for (const char *file : {"LANGUAGE/English.txt", "LANGUAGE/Türkçe.txt", "Help/VextoraENG.pdf", "Help/VextoraTR.pdf",
                             "SGMetrolojik.txt", "MTMetrolojik.txt", "Normal.txt", "INSTALLED"})
        EXPECT_TRUE(QFileInfo(opt + "/" + QString::fromUtf8(file)).isFile()) << file;
    const QString desktop = readAll(root + "/usr/share/applications/vextora.desktop");
    EXPECT_TRUE(desktop.contains("\nExec=/opt/vextora/vextora\n")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("\nIcon=vextora\n")) << desktop.toStdString();
    EXPECT_TRUE(QFileInfo(root + "/usr/share/icons/hicolor/scalable/apps/vextora.svg").isFile());
    const QString copyright = readAll(root + "/usr/share/doc/vextora/copyright");
    EXPECT_TRUE(copyright.startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"));
    EXPECT_TRUE(copyright.contains("\nLicense: GPL-3.0-or-later\n")) << copyright.toStdString();
    EXPECT_TRUE(copyright.contains("\"/usr/share/common-licenses/GPL-3\"")) << copyright.toStdString();

    // Run from the program folder, which nobody may write (writable again at the end,
    // so that the temporary folder can be removed).
    setWritable(root, false);
    const std::shared_ptr<void> writableAgain(nullptr, [&root](void *) { setWritable(root, true); });
    const Outcome cliHelp = run(opt + "/vextora-cli", {"--help"});
    EXPECT_EQ(cliHelp.exitCode, 0) << cliHelp.err.toStdString();
    EXPECT_TRUE(cliHelp.out.contains("calibrate")) << cliHelp.out.toStdString();
    const Outcome simHelp = run(opt + "/vextora-sim", {"--help"});
    EXPECT_EQ(simHelp.exitCode, 0) << simHelp.err.toStdString();
    EXPECT_TRUE(simHelp.out.contains("--link")) << simHelp.out.toStdString();

    QProcess sim;
    const QString indicator = tmp.filePath("indicator");
    sim.start(opt + "/vextora-sim", {"--link", indicator});
    ASSERT_TRUE(sim.waitForReadyRead(20000)) << "the packaged virtual indicator did not start";

    const QString data = tmp.filePath("data");
    QFile settings(tmp.filePath("vextora.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[ZR]\nPort=1\nOkumaZaman\xc4\xb1=1\n");
    settings.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", data);
    const Outcome smoke = run(opt + "/vextora",
                          {"--smoke", "--settings", settings.fileName(), "--map", "COM1=" + indicator}, tmp.path(), env);
    sim.terminate();
    sim.waitForFinished(5000);
    EXPECT_EQ(smoke.exitCode, 0) << smoke.out.toStdString() << smoke.err.toStdString();
    EXPECT_TRUE(smoke.out.contains("version: ZR2 V2.20")) << smoke.out.toStdString();
    EXPECT_TRUE(smoke.out.contains("\nconnected\n")) << smoke.out.toStdString();
    // BACKUP (made at start) went to the per-user data folder, nothing into the program folder.
    EXPECT_TRUE(QFileInfo(data + "/Kormel/Vextora/BACKUP").isDir());
    EXPECT_FALSE(QFileInfo::exists(opt + "/BACKUP"));
    EXPECT_FALSE(QFileInfo::exists(opt + "/ZRxLog.txt"));
}

}  // namespace
