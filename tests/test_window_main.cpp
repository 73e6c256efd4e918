// The window's program without a display: help, usage errors and a plain word
// about what to use instead of an abort inside the toolkit.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

Outcome windowWithoutDisplay(const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QDir(QCoreApplication::applicationDirPath()).filePath("vextora"), args);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(WindowWithoutDisplay, HelpWorksUsageErrorsExitTwoAndTheRestSaysWhatToUse)
{
    if (!QFileInfo(QDir(QCoreApplication::applicationDirPath()).filePath("vextora")).isExecutable())
        GTEST_SKIP() << "the window is not built beside the tests";

    const Outcome help = windowWithoutDisplay({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--smoke")) << help.out.toStdString();

    // A settings file that is a folder would silently give the defaults: a usage error.
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QStringList &args : {QStringList{"--model", "ZR3"}, QStringList{"--map", "COM99=/dev/x"},
                                    QStringList{"--bogus"}, QStringList{"--settings", folder}}) {
        const Outcome r = windowWithoutDisplay(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("--help")) << r.err.toStdString();
    }

    const Outcome plain = windowWithoutDisplay({"--model", "ZR1"});
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_TRUE(plain.err.contains("no display")) << plain.err.toStdString();
    EXPECT_TRUE(plain.err.contains("--smoke") && plain.err.contains("vextora-cli"));
}

}  // namespace
