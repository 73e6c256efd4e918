// vextora-cli dump: every field of a configuration file, section by section, with
// the parameter row each parameter field holds.

#include "cli/Cli.h"
#include "cli/ConfigFileArg.h"

#include "files/ConfigFile.h"
#include "files/ConfigurationRecord.h"
#include "params/Catalogue.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>

namespace vx::cli {
namespace {

using record::Type;

QString escaped(const QString &text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case 0: out += QStringLiteral("\\0"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        default:
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

// "text" + 19 blanks: a fixed-width text with its padding counted, not printed.
QString textShown(const QString &text)
{
    qsizetype end = text.size();
    const QChar pad = end > 0 ? text.at(end - 1) : QChar();
    if (pad == QLatin1Char(' ') || pad == QChar(u'\0'))
        while (end > 0 && text.at(end - 1) == pad)
            --end;
    QString out = QLatin1Char('"') + escaped(text.left(end)) + QLatin1Char('"');
    const qsizetype padding = text.size() - end;
    if (padding > 0)
        out += QStringLiteral(" + %1 %2%3")
                   .arg(padding)
                   .arg(pad == QLatin1Char(' ') ? QStringLiteral("blank") : QStringLiteral("NUL"))
                   .arg(padding > 1 ? QStringLiteral("s") : QString());
    return out;
}

QString valueText(const DumpEntry &e)
{
    switch (e.field->type) {
    case Type::Text: return textShown(e.value.toString());
    case Type::VarText: return QLatin1Char('"') + escaped(e.value.toString()) + QLatin1Char('"');
    case Type::Bool16: return e.value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case Type::Int16:
    case Type::Int32: return QString::number(e.value.toLongLong());
    case Type::Double: return QString::number(e.value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case Type::Reserved: {
        const QByteArray bytes = e.value.toByteArray();
        return bytes.count('\0') == bytes.size() ? QStringLiteral("(%1 zero bytes)").arg(bytes.size())
                                                 : QString::fromLatin1(bytes.toHex(' '));
    }
    }
    return {};
}

QJsonValue jsonValue(const DumpEntry &e)
{
    switch (e.field->type) {
    case Type::Bool16: return e.value.toBool();
    case Type::Int16:
    case Type::Int32: return double(e.value.toLongLong());
    case Type::Double: return e.value.toDouble();
    case Type::Reserved: return QString::fromLatin1(e.value.toByteArray().toHex());
    default: return e.value.toString();
    }
}

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.size() != 1)
        return s.usageError(QStringLiteral("dump takes one FILE"));
    const QString file = args.positional.first();
    const std::optional<ConfigurationRecord> loaded = ReadConfigurationArg(s, file);
    if (!loaded)
        return ExitFile;
    const std::vector<DumpEntry> entries = DumpRecord(*loaded);
    const qint64 fileBytes = QFileInfo(file).size();
    const int recordBytes = int(EncodeRecord(*loaded).size());

    if (s.json()) {
        QJsonArray fields;
        for (const DumpEntry &e : entries) {
            QJsonObject o{{QStringLiteral("section"), record::SectionName(e.field->section)},
                          {QStringLiteral("name"), e.name},
                          {QStringLiteral("offset"), e.offset},
                          {QStringLiteral("type"), record::TypeName(*e.field)},
                          {QStringLiteral("value"), jsonValue(e)}};
            if (e.field->row > 0) {
                o.insert(QStringLiteral("row"), e.field->row);
                o.insert(QStringLiteral("code"), params::RowCode(params::RowAt(e.field->row)));
            }
            fields.append(o);
        }
        s.printJson({{QStringLiteral("file"), file},
                     {QStringLiteral("fileBytes"), fileBytes},
                     {QStringLiteral("recordBytes"), recordBytes},
                     {QStringLiteral("fields"), fields}});
        return ExitOk;
    }

    if (fileBytes == recordBytes)
        s.print(QStringLiteral("%1: %2 bytes").arg(file).arg(fileBytes));
    else
        s.print(QStringLiteral("%1: %2 bytes, the configuration the first %3 (the rest is not read)")
                    .arg(file)
                    .arg(fileBytes)
                    .arg(recordBytes));
    std::optional<record::Section> section;
    for (const DumpEntry &e : entries) {
        if (section != e.field->section) {
            section = e.field->section;
            s.print(QStringLiteral("-- %1 --").arg(record::SectionName(*section)));
        }
        QString line = QStringLiteral("%1  %2  %3  ")
                           .arg(e.offset, 5)
                           .arg(e.name, -18)
                           .arg(record::TypeName(*e.field), -13);
        if (e.field->row > 0) {
            const QString code = params::RowCode(params::RowAt(e.field->row));
            line += QStringLiteral("row %1 %2  ").arg(e.field->row, 2).arg(code.isEmpty() ? QString()
                                                                                          : QLatin1Char('[') + code + QLatin1Char(']'));
        }
        s.print(line + valueText(e));
    }
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("dump"),
    .synopsis = QStringLiteral("dump FILE [--json]"),
    .help = QStringLiteral(
        "print every field of the configuration file FILE section by section: its offset,\n"
        "name, type and value, and for the parameter fields the row and code they hold"),
    .options = {},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
