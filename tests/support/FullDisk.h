#pragma once
// Disks that refuse to take a file: a small tmpfs filled to the last byte (needs the
// right to mount; the tests skip without it) and a file-size limit on this process
// or a child (needs no rights: a write past the limit fails with EFBIG).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

namespace vx::test {

// A tmpfs of 16 KiB mounted on a temporary folder for the life of the object, or
// read-only. mounted() is false when mounting is refused (not root, no namespace).
class SmallTmpfs {
public:
    explicit SmallTmpfs(bool readOnly = false)
    {
        const QByteArray at = QFile::encodeName(m_dir.path());
        m_mounted = m_dir.isValid()
                    && ::mount("tmpfs", at.constData(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=16k,mode=0777") == 0;
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    // Puts `bytes` into `name` (before the disk is filled).
    bool put(const QString &name, const QByteArray &bytes) const
    {
        QFile f(filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
    }
    // Fills every byte left with a filler file; true when the disk is full afterwards.
    bool fill() const
    {
        QFile f(filePath(QStringLiteral("filler")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'x');
        while (f.write(block) == block.size()) {
        }
        while (f.write("x", 1) == 1) {
        }
        return true;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// For the life of the object, this process may write no file past `bytes` (a write
// there fails with EFBIG instead of raising SIGXFSZ, which is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool set() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_set = false;
};

// The same limit for a child process only, applied between fork and exec. The child
// gets SIGXFSZ at its default (it ends the process): a program must ignore it itself.
inline void LimitFileSize(QProcess &process, rlim_t bytes)
{
    process.setChildProcessModifier([bytes] {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_DFL);
    });
}

}  // namespace vx::test
