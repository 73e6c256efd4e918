#include "files/ConfigFile.h"

#include "Version.h"
#include "link/SafeFile.h"

#include <QFile>

namespace vx {

void ConfigFileState::DosyaDizin(const QString &fullPath)
{
    const qsizetype slash = fullPath.lastIndexOf(QLatin1Char('/'));
    ConfigFolder = fullPath.left(slash + 1);
    ConfigFileName = fullPath.mid(slash + 1);
}

QString SaveFileName(const QString &name)
{
    return name.contains(QLatin1Char('.')) ? name : name + QStringLiteral(".vxr");
}

QString WindowTitle(const QString &fileName, const QString &indicator)
{
    QString title = QStringLiteral("VEXTORA v%1.%2").arg(version::Major).arg(version::Minor);
    if (!fileName.isEmpty())
        title += QStringLiteral(" [%1]").arg(fileName);
    if (!indicator.isEmpty())
        title += QStringLiteral(" · ") + indicator;
    return title;
}

FileError WriteConfigurationFile(const QString &path, const ConfigurationRecord &record)
{
    QString why;
    if (!CheckWritableTarget(path, &why))
        return {FileError::CannotOpen, why};
    if (!WriteFileSafely(path, EncodeRecord(record), &why))
        return {FileError::CannotWrite, why};
    return {};
}

std::optional<ConfigurationRecord> ReadConfigurationFile(const QString &path, FileError *error)
{
    auto fail = [&](FileError::Kind kind, const QString &reason) -> std::optional<ConfigurationRecord> {
        if (error)
            *error = {kind, reason};
        return std::nullopt;
    };
    QFile file;
    QString why;
    if (!OpenRegularFile(file, path, &why))
        return fail(FileError::CannotOpen, why);
    // A record with every variable text at its longest is under 2.1 MB; read no more.
    constexpr qint64 kLongestRecord = EmptyRecordSize + 31LL * 0xFFFF;
    const QByteArray bytes = file.read(kLongestRecord);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        return fail(FileError::CannotOpen, file.errorString());
    std::optional<ConfigurationRecord> record = DecodeRecord(bytes);
    if (!record)
        return fail(FileError::CutOff, QString::number(bytes.size()));
    if (error)
        *error = {};
    return record;
}

}  // namespace vx
