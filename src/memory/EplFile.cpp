#include "memory/EplFile.h"

#include "link/Cp1254.h"
#include "link/SafeFile.h"

#include <QFile>
#include <QStringList>

namespace vx {

EplFile ReadEplFile(const QString &path)
{
    EplFile out;
    QFile file;
    if (!OpenRegularFile(file, path, &out.error))
        return out;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        out.error = file.errorString();
        return out;
    }
    out.bytes = bytes.size();
    QString text = cp1254::decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();  // the end of the last line, not a line of its own
    for (const QString &line : lines)
        out.text += line + QStringLiteral("\r\n");
    out.ok = true;
    return out;
}

bool WriteEplFile(const QString &path, const QString &text, QString *error)
{
    QString content = text;
    if (!content.endsWith(QStringLiteral("\r\n")))
        content += QStringLiteral("\r\n");
    return WriteFileSafely(path, cp1254::encode(content), error);
}

}  // namespace vx
