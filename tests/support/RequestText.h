#pragma once
// A request frame as the tests write their expectations: "19=5" for a command code
// written to register 19, "149:10" for a block write of 10 bytes to register 149,
// "124/8" for a read of 8 bytes from register 124. Frames without an address field,
// with the checksum on, as the virtual indicator records them.

#include <QString>
#include <QStringList>

namespace vx::test {

inline QString RequestText(const QString &frame)
{
    QString body = frame;
    if (body.startsWith(QLatin1Char('@')))
        body.remove(0, 1);
    while (body.endsWith(QLatin1Char('\r')))
        body.chop(1);
    body.chop(2);  // the checksum
    const QString function = body.left(2);
    const int reg = body.mid(2, 4).toInt(nullptr, 16);
    const int words = body.mid(6, 4).toInt(nullptr, 16);
    if (function == QLatin1String("03"))
        return QStringLiteral("%1/%2").arg(reg).arg(words * 2);
    const int bytes = body.mid(10, 2).toInt(nullptr, 16);
    if (reg == 19 && bytes == 2)
        return QStringLiteral("19=%1").arg(body.mid(12, 4).toInt(nullptr, 16));
    return QStringLiteral("%1:%2").arg(reg).arg(bytes);
}

inline QStringList RequestTexts(const QStringList &frames)
{
    QStringList out;
    for (const QString &f : frames)
        out << RequestText(f);
    return out;
}

}  // namespace vx::test
