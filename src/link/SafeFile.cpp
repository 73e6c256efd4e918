#include "link/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vx {
namespace {

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// What a write goes to: an existing file through its symbolic links.
QString resolvedTarget(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

// Refuses an existing target that is not a regular file.
bool targetKind(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (info.isDir())
        return fail(error, QStringLiteral("%1 is a folder").arg(shown(path)));
    if (!info.isFile())
        return fail(error, QStringLiteral("%1 is not a regular file").arg(shown(path)));
    return true;
}

bool folderExists(const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return fail(error, QStringLiteral("no such folder: %1").arg(shown(folder)));
    if (!info.isDir())
        return fail(error, QStringLiteral("%1 is not a folder").arg(shown(folder)));
    return true;
}

// A new file beside `target` that no one else has: ".name.XXXXXXXX.tmp".
bool openTemporary(QFile &file, const QString &target, QString *error)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = QStringLiteral(".%1.%2.tmp")
                                 .arg(info.fileName())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        file.setFileName(info.dir().filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (QFileInfo::exists(file.fileName()))
            continue;  // taken by chance: another name
        return fail(error, file.errorString());
    }
    return fail(error, QStringLiteral("no temporary file could be created beside %1").arg(shown(target)));
}

bool flushToDisk(QFile &file, QString *error)
{
#ifdef Q_OS_WIN
    if (::_commit(file.handle()) != 0)
        return fail(error, QStringLiteral("the file could not be flushed to the disk"));
#else
    if (::fsync(file.handle()) != 0)
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
#endif
    return true;
}

bool renameOver(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_WIN
    if (!::MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(error, QStringLiteral("the file could not be renamed (error %1)").arg(::GetLastError()));
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    // The rename itself on the disk too; a folder that cannot be synced is no failure.
    const int folder = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
#endif
    return true;
}

}  // namespace

bool OpenRegularFile(QFile &file, const QString &path, QString *error)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(error, info.isDir() ? QStringLiteral("%1 is a folder").arg(shown(path))
                                        : QStringLiteral("%1 is not a regular file").arg(shown(path)));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    return true;
#else
    // Opened without waiting (a FIFO without a writer would block here for ever),
    // then judged by what was opened, so nothing can be swapped in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    QString why;
    if (::fstat(fd, &st) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    else if (S_ISDIR(st.st_mode))
        why = QStringLiteral("%1 is a folder").arg(shown(path));
    else if (!S_ISREG(st.st_mode))
        why = QStringLiteral("%1 is not a regular file").arg(shown(path));
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (!why.isEmpty()) {
        ::close(fd);
        return fail(error, why);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file.errorString());
    }
    return true;
#endif
}

bool IsReadableRegularFile(const QString &path, QString *error)
{
    QFile file;
    return OpenRegularFile(file, path, error);
}

bool CheckWritableTarget(const QString &path, QString *error)
{
    if (!targetKind(path, error))
        return false;
    const QString target = resolvedTarget(path);
    if (!folderExists(QFileInfo(target).absolutePath(), error))
        return false;
    QFile probe;
    if (!openTemporary(probe, target, error))
        return false;
    probe.close();
    probe.remove();
    return true;
}

bool WriteFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!targetKind(path, error))
        return false;
    const QString target = resolvedTarget(path);
    if (!folderExists(QFileInfo(target).absolutePath(), error))
        return false;
    QFile file;
    if (!openTemporary(file, target, error))
        return false;
    auto discard = [&](const QString &why) {
        file.close();
        file.remove();
        return fail(error, why);
    };

    // Unbuffered: each write reaches the system at once and its failure is seen here.
    // A short write is followed by another, which reports why the rest did not fit.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return discard(file.errorString());
        done += n;
    }
    if (!file.flush())
        return discard(file.errorString());
    QString why;
    if (!flushToDisk(file, &why))
        return discard(why);
    if (file.size() != bytes.size())
        return discard(QStringLiteral("%1 of %2 bytes were written").arg(file.size()).arg(bytes.size()));
    if (QFileInfo::exists(target))
        file.setPermissions(QFileInfo(target).permissions());
    file.close();
    if (file.error() != QFileDevice::NoError) {
        const QString closeError = file.errorString();
        file.remove();
        return fail(error, closeError);
    }
    if (!renameOver(file.fileName(), target, &why)) {
        file.remove();
        return fail(error, why);
    }
    return true;
}

}  // namespace vx
