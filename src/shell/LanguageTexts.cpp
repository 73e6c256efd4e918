#include "shell/LanguageTexts.h"

#include "link/AppPaths.h"
#include "link/Cp1254.h"
#include "link/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace vx {
namespace {

// The shipped files are Windows-1254. A file saved by an editor on Linux is UTF-8;
// any byte sequence that is not valid UTF-8 is taken as Windows-1254, so a Turkish
// ANSI file is never misread (its letters are not valid UTF-8 sequences).
QString decodeLanguageBytes(QByteArray bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF", 3);
    if (bytes.startsWith(bom))
        bytes.remove(0, bom.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return cp1254::decode(bytes);
}

}  // namespace

LanguageTexts::LanguageTexts()
{
    m_texts.reserve(LineCount);
    for (int i = 0; i < LineCount; ++i)
        m_texts.append(QString());
}

QString LanguageTexts::text(int line) const
{
    if (line < 1 || line > LineCount)
        return QString();
    return m_texts.at(line - 1);
}

void LanguageTexts::setText(int line, const QString &text)
{
    if (line < 1 || line > LineCount)
        return;
    m_texts[line - 1] = text;
}

LanguageTexts LanguageTexts::fromBytes(const QByteArray &bytes)
{
    LanguageTexts texts;
    const QString all = decodeLanguageBytes(bytes);

    // Lines end with CR LF, LF or a lone CR. A line is kept whole, blanks included;
    // the newline after the last line does not start another (empty) line.
    int line = 0;
    qsizetype start = 0;
    const qsizetype n = all.size();
    while (start < n && line < LineCount) {
        qsizetype end = start;
        while (end < n && all.at(end) != u'\r' && all.at(end) != u'\n')
            ++end;
        texts.m_texts[line] = all.mid(start, end - start);
        ++line;
        if (end < n && all.at(end) == u'\r' && end + 1 < n && all.at(end + 1) == u'\n')
            start = end + 2;
        else
            start = end + 1;
    }
    texts.m_linesRead = line;
    return texts;
}

std::optional<LanguageTexts> LanguageTexts::fromFile(const QString &path, QString *error)
{
    QFile file;
    if (!OpenRegularFile(file, path, error))
        return std::nullopt;
    // A language file is a few kilobytes; anything far larger is not one, and only
    // the first 418 lines would be used anyway.
    constexpr qint64 kMaxBytes = 4 * 1024 * 1024;
    const QByteArray bytes = file.read(kMaxBytes);
    if (error)
        error->clear();
    return fromBytes(bytes);
}

QStringList LanguageTexts::weekdayNames() const
{
    QStringList names;
    for (int line = 314; line <= 320; ++line)
        names.append(text(line));
    return names;
}

bool LanguageTexts::brandIsHalvern() const
{
    return text(383) == QLatin1String("HALVERN");
}

QString LanguageFolder()
{
    QString folder = ProgramFolder();
    while (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        folder.chop(1);
    return folder + QStringLiteral("/LANGUAGE");
}

bool IsLanguageFileName(const QString &fileName)
{
    return !fileName.isEmpty() && fileName != QLatin1String(".") && fileName != QLatin1String("..")
           && !fileName.contains(QLatin1Char('/')) && !fileName.contains(QLatin1Char('\\'));
}

QString LanguageFilePath(const QString &fileName)
{
    return LanguageFolder() + u'/' + fileName;
}

QStringList LanguageFiles()
{
    QDir dir(LanguageFolder());
    return dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable,
                         QDir::Name | QDir::IgnoreCase);
}

}  // namespace vx
