#include "sim/StateFile.h"

#include "sim/Wire.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace vx::sim {
namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString unquoted(const QString &text)
{
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

}  // namespace

std::optional<StateImage> ReadStateFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = QStringLiteral("%1: no such file").arg(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    StateImage image;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = raw.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : raw.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : raw.mid(eq + 1);
        auto bad = [&](const QString &why) -> std::optional<StateImage> {
            if (error)
                *error = QStringLiteral("%1:%2: %3").arg(path).arg(lineNo).arg(why);
            return std::nullopt;
        };
        if (eq < 0)
            return bad(QStringLiteral("expected KEY=VALUE"));
        if (key == QLatin1String("model")) {
            image.model = unquoted(value.trimmed());
        } else if (key == QLatin1String("second")) {
            image.second = unquoted(value.trimmed());
        } else {
            bool okIndex = false, okValue = false;
            const int index = key.toInt(&okIndex, 10);
            const uint v = value.trimmed().toUInt(&okValue, 0);
            if (!okIndex || index < 0 || index >= regs::Limit)
                return bad(QStringLiteral("register number \"%1\" is not 0..65535").arg(key));
            if (!okValue || v > 0xFFFF)
                return bad(QStringLiteral("register value \"%1\" is not 0..65535").arg(value.trimmed()));
            image.words[index] = quint16(v);
        }
    }
    if (in.status() != QTextStream::Ok) {
        if (error)
            *error = QStringLiteral("%1: read error").arg(path);
        return std::nullopt;
    }
    return image;
}

bool WriteStateFile(const QString &path, const RegisterBank &bank, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString text;
    QTextStream out(&text);
    out << "# Virtual indicator registers: INDEX=VALUE, both decimal\n";
    // A text goes on its own line when it survives the trip through a text file;
    // otherwise its registers are written as numbers as well.
    auto writeText = [&](const char *key, int index) {
        const QByteArray raw = bank.bytes(index, regs::TextBytes);
        const QString text = wire::decodeText(raw);
        bool plain = wire::encodeText(text) == raw;
        QString shown = text;
        for (QChar &c : shown) {
            const ushort u = c.unicode();
            if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
                c = QLatin1Char('?');
                plain = false;
            }
        }
        out << key << "=" << quoted(shown) << "\n";
        return plain;
    };
    const bool modelPlain = writeText("model", regs::Model);
    const bool secondPlain = writeText("second", regs::SecondText);
    for (const auto &[index, v] : bank.words()) {
        const bool inModel = index >= regs::Model && index < regs::Model + regs::TextBytes / 2;
        const bool inSecond = index >= regs::SecondText && index < regs::SecondText + regs::TextBytes / 2;
        if ((inModel && modelPlain) || (inSecond && secondPlain))
            continue;
        out << index << "=" << v << "\n";
    }
    out.flush();
    file.write(text.toUtf8());
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace vx::sim
