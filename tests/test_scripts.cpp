// scripts/run.sh builds what it runs and nothing else: it runs in a copy of the
// scripts folder with set-up stubbed out and a stand-in "cmake" first on PATH that
// notes its arguments and fails the build, so nothing is configured or compiled.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {

QString sourceFile(const QString &relative) { return QDir(QStringLiteral(VX_SOURCE_DIR)).filePath(relative); }

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool writeScript(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) != text.toUtf8().size())
        return false;
    f.close();
    return f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

TEST(RunScript, BuildsOnlyTheProgramsItRunsAndTheFilesBesideThem)
{
    const QString bash = QStandardPaths::findExecutable(QStringLiteral("bash"));
    ASSERT_FALSE(bash.isEmpty());
    const QString runScript = readAll(sourceFile(QStringLiteral("scripts/run.sh")));
    ASSERT_FALSE(runScript.isEmpty());
    EXPECT_FALSE(runScript.contains(QLatin1String("cmake"))) << "run.sh builds through scripts/build.sh only";

    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    const QDir root(tree.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("scripts")) && root.mkpath(QStringLiteral("stubs")));
    ASSERT_TRUE(QFile::copy(sourceFile(QStringLiteral("scripts/run.sh")), root.filePath(QStringLiteral("scripts/run.sh"))));
    ASSERT_TRUE(QFile::copy(sourceFile(QStringLiteral("scripts/build.sh")), root.filePath(QStringLiteral("scripts/build.sh"))));
    ASSERT_TRUE(writeScript(root.filePath(QStringLiteral("scripts/setup.sh")), QStringLiteral("exit 0\n")));
    const QString log = root.filePath(QStringLiteral("cmake.log"));
    // Configuring succeeds; the build is noted and fails, which ends run.sh there.
    ASSERT_TRUE(writeScript(root.filePath(QStringLiteral("stubs/cmake")),
                            QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\n"
                                           "case \" $* \" in *\" --build \"*) exit 1;; esac\nexit 0\n")
                                .arg(log)));

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), root.filePath(QStringLiteral("stubs")) + QLatin1Char(':') + env.value("PATH"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(root.path());
    p.start(bash, {root.filePath(QStringLiteral("scripts/run.sh"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0) << "the failed build stops run.sh";

    const QStringList calls = readAll(log).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList builds;
    for (const QString &c : calls)
        if (c.startsWith(QLatin1String("--build")))
            builds << c;
    ASSERT_EQ(builds.size(), 1) << readAll(log).toStdString() << QString::fromUtf8(p.readAllStandardError()).toStdString();
    const QStringList words = builds.first().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype target = words.indexOf(QStringLiteral("--target"));
    ASSERT_GE(target, 0) << "a build without --target builds every test and fuzz target: "
                         << builds.first().toStdString();
    const QStringList targetList = words.mid(target + 1);
    const std::set<QString> built(targetList.begin(), targetList.end());
    EXPECT_EQ(built, (std::set<QString>{"vextora", "vextora-sim", "vextora-cli", "vextora_layout"}));

    // Every program the script starts is among them.
    static const QRegularExpression program(QStringLiteral("build/bin/([A-Za-z0-9_-]+)"));
    int started = 0;
    for (auto it = program.globalMatch(runScript); it.hasNext(); ++started) {
        const QString name = it.next().captured(1);
        EXPECT_TRUE(built.count(name)) << name.toStdString() << " is run but not built";
    }
    EXPECT_GE(started, 3);
}

}  // namespace
