#include "link/Options.h"

#include "link/SafeFile.h"
#include "link/SerialPort.h"

#include <QFileInfo>

namespace vx {

std::optional<bool> ParseOnOff(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("on"))
        return true;
    if (t == QLatin1String("off"))
        return false;
    return std::nullopt;
}

std::optional<QString> ParseAddressOption(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QString();
    if (t.size() > 2)
        return std::nullopt;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return QStringLiteral("%1").arg(t.toInt(), 2, 10, QLatin1Char('0'));
}

std::optional<Model> ParseModelOption(const QString &text)
{
    const Model model = ModelFromText(text.trimmed().toUpper());
    if (model == Model::ZR1 || model == Model::ZR2)
        return model;
    return std::nullopt;
}

std::optional<ComMapping> ParseComMapping(const QString &text)
{
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    const int number = ComPortMap::comNumber(text.left(eq));
    const QString path = text.mid(eq + 1).trimmed();
    if (number < 1 || number > 16 || path.isEmpty())
        return std::nullopt;
    return ComMapping{number, path};
}

std::optional<QString> SettingsFileProblem(const QString &path)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("no file named");
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        // A new store; but none can ever be written under a file.
        const QFileInfo folder(info.absolutePath());
        if (folder.exists() && !folder.isDir())
            return QStringLiteral("%1 is not a folder").arg(info.absolutePath());
        return std::nullopt;
    }
    QString why;
    if (!IsReadableRegularFile(path, &why))
        return why;
    return std::nullopt;
}

}  // namespace vx
