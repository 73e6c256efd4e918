#pragma once
// XDG_DATA_HOME pointed at a temporary folder for the life of the object, so that the
// service history a test writes and reads is its own; the folder before comes back
// afterwards.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace vx::test {

class DataHome {
public:
    DataHome() : m_old(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", m_dir.path().toUtf8()); }
    ~DataHome() { qputenv("XDG_DATA_HOME", m_old); }
    DataHome(const DataHome &) = delete;
    DataHome &operator=(const DataHome &) = delete;

    QString path() const { return m_dir.path(); }
    // Where the history must be: $XDG_DATA_HOME/Kormel/Vextora/history.jsonl.
    QString historyFile() const { return m_dir.path() + QStringLiteral("/Kormel/Vextora/history.jsonl"); }
    // The history file holding exactly `bytes`.
    bool writeHistory(const QByteArray &bytes) const
    {
        QDir().mkpath(m_dir.path() + QStringLiteral("/Kormel/Vextora"));
        QFile f(historyFile());
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }
    QByteArray historyBytes() const
    {
        QFile f(historyFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

}  // namespace vx::test
