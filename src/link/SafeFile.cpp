#include "link/SafeFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
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

// Refuses an existing target that is not a regular file, or that is read-only: a file
// the user made read-only is not replaced behind their back (even where the folder
// would let a rename do it, and for the administrator too).
bool targetKind(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (info.isDir())
        return fail(error, QStringLiteral("%1 is a folder").arg(shown(path)));
    if (!info.isFile())
        return fail(error, QStringLiteral("%1 is not a regular file").arg(shown(path)));
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!(info.permissions() & anyWrite) || !info.isWritable())
        return fail(error, QStringLiteral("%1 is read-only").arg(shown(path)));
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

// The temporary files of a target are ".vx.HHHHHHHH.RRRRRRRR.tmp": H the first hex
// digits of the SHA-1 of the target's file name (so the target's own are known again),
// R random. 25 characters whatever the target's name, so a name of up to 255 bytes
// still saves. Earlier versions named them ".NAME.RRRRRRRR.tmp".
QString temporaryStem(const QString &fileName)
{
    return QStringLiteral(".vx.")
           + QString::fromLatin1(QCryptographicHash::hash(fileName.toUtf8(), QCryptographicHash::Sha1).toHex().left(8))
           + QLatin1Char('.');
}

// A temporary file is left behind only when its save was killed. Those of `target`
// older than an hour go at its next save; a younger one may be a save running in
// another process at this moment and is never touched.
void removeOldTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QRegularExpression ours(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(temporaryStem(info.fileName()))
                                            + QStringLiteral("[0-9a-f]{8}\\.tmp|")
                                            + QRegularExpression::escape(QLatin1Char('.') + info.fileName())
                                            + QStringLiteral("\\.[0-9a-f]{8}\\.tmp")));
    const QDateTime anHourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QFileInfoList candidates =
        info.dir().entryInfoList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates)
        if (ours.match(candidate.fileName()).hasMatch() && candidate.lastModified().toUTC() < anHourAgo)
            QFile::remove(candidate.filePath());
}

// A new file beside `target` that no one else has.
bool openTemporary(QFile &file, const QString &target, QString *error)
{
    const QFileInfo info(target);
    const QString stem = temporaryStem(info.fileName());
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = QStringLiteral("%1%2.tmp")
                                 .arg(stem)
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

// The finished temporary file under the name `to` only when no file has that name: the
// rename fails when the name is taken, so a file another process made in the meantime
// is never replaced. *taken says that was why.
bool linkNew(const QString &from, const QString &to, QString *error, bool *taken)
{
#ifdef Q_OS_WIN
    if (!::MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = ::GetLastError();
        if (taken)
            *taken = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
        return fail(error, QStringLiteral("the file could not be created (error %1)").arg(code));
    }
#else
    const QByteArray source = QFile::encodeName(from), name = QFile::encodeName(to);
    int done = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE);
    // A file system that cannot rename so takes a hard link, which fails on a taken name too.
    if (done != 0 && (errno == EINVAL || errno == ENOSYS))
        done = ::link(source.constData(), name.constData());
    if (done != 0) {
        if (taken)
            *taken = errno == EEXIST;
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    }
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

namespace {

// How the checked temporary file takes the target's place.
enum class Placing { Replace, CreateOnly };

bool writeChecked(const QString &path, const QByteArray &bytes, Placing placing, QString *error, bool *taken)
{
    if (taken)
        *taken = false;
    if (!targetKind(path, error))
        return false;
    const QString target = resolvedTarget(path);
    if (!folderExists(QFileInfo(target).absolutePath(), error))
        return false;
    removeOldTemporaries(target);
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
    if (placing == Placing::CreateOnly) {
        const bool placed = linkNew(file.fileName(), target, &why, taken);
        file.remove();
        return placed || fail(error, why);
    }
    if (!renameOver(file.fileName(), target, &why)) {
        file.remove();
        return fail(error, why);
    }
    return true;
}

}  // namespace

bool WriteFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeChecked(path, bytes, Placing::Replace, error, nullptr);
}

bool CreateFileSafely(const QString &path, const QByteArray &bytes, QString *error, bool *taken)
{
    return writeChecked(path, bytes, Placing::CreateOnly, error, taken);
}

}  // namespace vx
