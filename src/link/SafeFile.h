#pragma once
// Files on disk that the user names: read only when they are regular files (a FIFO,
// a device or a folder would block or mislead), and written so that a failure never
// damages what was there.
//
//   QString why;
//   if (!vx::WriteFileSafely(path, bytes, &why))
//       op.message(...why...);   // the old file is untouched
//
// A safe write puts the bytes into a new temporary file beside the target
// (".vx.HHHHHHHH.RRRRRRRR.tmp", whatever the target's name), checks
// every write, flushes the file to the disk, checks its size, and only then renames
// it over the target. On any failure the temporary file is removed and the target
// stays byte for byte as it was. A full disk, a file-size limit or a read-only
// folder therefore show up as a failed write, never as a short or empty file. A
// temporary file a killed save left behind goes at the target's next save once it is
// an hour old. An existing target that is read-only is refused, never replaced.

#include <QByteArray>
#include <QString>

class QFile;

namespace vx {

// Opens `path` for reading when it is a regular file. A FIFO, a device or a folder is
// refused without waiting for a writer at its other end. error says why it failed.
bool OpenRegularFile(QFile &file, const QString &path, QString *error = nullptr);

// Whether `path` is an existing regular file that can be read (for the settings file:
// a missing file is no problem there, the caller decides). error says why not.
bool IsReadableRegularFile(const QString &path, QString *error = nullptr);

// Whether a safe write to `path` can be expected to succeed: the target is not a
// folder or any other non-regular file, nor read-only, its folder exists, and a temporary file can
// be created and removed beside it. Checked before a long read from the indicator,
// so that a target that cannot be written is known before anything is sent.
bool CheckWritableTarget(const QString &path, QString *error = nullptr);

// `bytes` into `path` as described above. A target that is a symbolic link is
// replaced through it (the link stays, its file gets the new content); an existing
// file keeps its permissions.
bool WriteFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same checked write for a file that must be new (a restore point): it takes the
// name only when no file has it, at the last step too, so a file another process made
// under that name is never replaced. *taken says the name was taken.
bool CreateFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr, bool *taken = nullptr);

}  // namespace vx
