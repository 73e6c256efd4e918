#include "link/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace vx {
namespace {
QString g_programFolder;
QString g_writableFolder;

bool folderIsWritable(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vextora-probe-XXXXXX")));
    return probe.open();
}
}  // namespace

QString ProgramFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void setProgramFolder(const QString &folder) { g_programFolder = folder; }

QString WritableFolder()
{
    if (!g_writableFolder.isEmpty())
        return g_writableFolder;
    const QString program = ProgramFolder();
    // An installed program (the package puts INSTALLED beside it) never writes its own
    // folder, not even when run by a user who could (root).
    if (!QFileInfo::exists(QDir(program).filePath(InstalledMarker)) && folderIsWritable(program)) {
        g_writableFolder = program;
    } else {
        // One folder for the window and the command-line tool alike.
        g_writableFolder = UserDataFolder();
    }
    return g_writableFolder;
}

void setWritableFolder(const QString &folder) { g_writableFolder = folder; }

QString UserDataFolder()
{
    // QStandardPaths follows XDG_DATA_HOME, so a test that points it at a temporary
    // folder keeps out of the user's own history and backups.
    const QString generic = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString data = generic.isEmpty() ? QDir::home().filePath(QStringLiteral(".vextora"))
                                           : QDir(generic).filePath(QStringLiteral("Kormel/Vextora"));
    QDir().mkpath(data);
    return data;
}

QString FirstFileFolder()
{
    const QString program = ProgramFolder();
    if (folderIsWritable(program))
        return program;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() || !QFileInfo(documents).isDir() ? QDir::homePath() : documents;
}

}  // namespace vx
