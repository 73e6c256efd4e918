// The user guides as built: every docs/help/*.md rendered into Help/ beside the
// programs, read back with pdftotext (poppler-utils). Every heading is there, in
// order, and nearly every word of the Markdown is in the PDF (a line broken
// inside a long word may cost a word or two, nothing more).

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <set>

namespace {

QString sourceFile(const QString &relative) { return QDir(QStringLiteral(VX_SOURCE_DIR)).filePath(relative); }

// The words of a text: runs of letters, digits and combining marks, in lower case
// (NFC, so a dotted capital I compares the same on both sides). Punctuation and
// Markdown's syntax (#, *, `, |, -) fall between words.
QStringList wordsOf(const QString &text)
{
    const QString t = text.normalized(QString::NormalizationForm_C).toLower();
    QStringList words;
    QString word;
    for (const QChar c : t) {
        if (c.isLetterOrNumber() || c.isMark()) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

QString markdownOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    // A link's target is not printed, only its text.
    static const QRegularExpression linkTarget(QStringLiteral("\\]\\([^)]*\\)"));
    text.replace(linkTarget, QStringLiteral("] "));
    return text;
}

QStringList headingsOf(const QString &markdown)
{
    static const QRegularExpression heading(QStringLiteral("^#{1,6}\\s+(.+?)\\s*#*\\s*$"),
                                            QRegularExpression::MultilineOption);
    QStringList out;
    bool inFence = false;
    for (const QString &line : markdown.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("```"))) {
            inFence = !inFence;
            continue;
        }
        const QRegularExpressionMatch m = heading.match(line);
        if (!inFence && m.hasMatch())
            out << wordsOf(m.captured(1)).join(QLatin1Char(' '));
    }
    return out;
}

struct Pdf {
    QString text;
    QString error;
};

Pdf pdfText(const QString &pdftotext, const QString &path)
{
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {{}, QStringLiteral("pdftotext %1 failed: %2").arg(path, QString::fromLocal8Bit(p.readAllStandardError()))};
    return {QString::fromUtf8(p.readAllStandardOutput()), {}};
}

TEST(HelpDocuments, EveryHeadingAndNearlyEveryWordOfEachGuideIsInItsPdf)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (package poppler-utils, installed by scripts/setup.sh): "
                        "the built help documents are not checked";

    const QDir sources(sourceFile(QStringLiteral("docs/help")));
    const QFileInfoList guides = sources.entryInfoList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    ASSERT_GE(guides.size(), 2) << "no guides in " << sources.path().toStdString();
    const QDir help(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help")));

    for (const QFileInfo &guide : guides) {
        SCOPED_TRACE(guide.fileName().toStdString());
        const QString pdfPath = help.filePath(guide.completeBaseName() + QStringLiteral(".pdf"));
        ASSERT_TRUE(QFileInfo::exists(pdfPath)) << pdfPath.toStdString() << " was not built";
        const QString markdown = markdownOf(guide.filePath());
        ASSERT_FALSE(markdown.trimmed().isEmpty());
        const Pdf pdf = pdfText(pdftotext, pdfPath);
        ASSERT_TRUE(pdf.error.isEmpty()) << pdf.error.toStdString();

        // Headings: each one whole, in the order of the Markdown (a heading may wrap
        // onto a second line in the PDF).
        const QStringList pdfWords = wordsOf(pdf.text);
        const QString flowing = QLatin1Char(' ') + pdfWords.join(QLatin1Char(' ')) + QLatin1Char(' ');
        const QStringList headings = headingsOf(markdown);
        EXPECT_GE(headings.size(), 10);
        qsizetype from = 0;
        QStringList missingHeadings;
        for (const QString &h : headings) {
            const qsizetype at = flowing.indexOf(QLatin1Char(' ') + h + QLatin1Char(' '), from);
            if (at < 0)
                missingHeadings << h;
            else
                from = at + h.size();
        }
        EXPECT_TRUE(missingHeadings.isEmpty())
            << missingHeadings.size() << " of " << headings.size() << " headings missing or out of order: "
            << missingHeadings.join(QStringLiteral(" | ")).toStdString();

        // Words: the Markdown's distinct words, of which at most 2 % may be missing.
        const QStringList mdWords = wordsOf(markdown);
        const std::set<QString> inPdf(pdfWords.begin(), pdfWords.end());
        const std::set<QString> inMarkdown(mdWords.begin(), mdWords.end());
        QStringList missing;
        for (const QString &w : inMarkdown)
            if (!inPdf.count(w))
                missing << w;
        EXPECT_GE(inMarkdown.size(), 300u);
        EXPECT_LE(double(missing.size()), 0.02 * double(inMarkdown.size()))
            << missing.size() << " of " << inMarkdown.size()
            << " words are not in the PDF: " << missing.join(QLatin1Char(' ')).toStdString();
    }
}

}  // namespace
