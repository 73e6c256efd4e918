// The language texts: how a language file is read (positional lines, line ends,
// encodings, limits) and whether the shipped Turkish and English files hold what
// the program looks up in them.

#include "link/AppPaths.h"
#include "params/Catalogue.h"
#include "shell/LanguageTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace vx;

namespace {

QByteArray joinLines(const QList<QByteArray> &lines, const QByteArray &end = "\r\n")
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + end;
    return out;
}

QList<QByteArray> numberedLines(int count, const char *prefix = "L")
{
    QList<QByteArray> lines;
    for (int i = 1; i <= count; ++i)
        lines << QByteArray(prefix) + QByteArray::number(i);
    return lines;
}

// Points the program folder somewhere else for one test and back afterwards.
class ProgramFolderGuard {
public:
    explicit ProgramFolderGuard(const QString &folder) { setProgramFolder(folder); }
    ~ProgramFolderGuard() { setProgramFolder(QString()); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Reading a language file

TEST(LanguageFileReading, LinesArePositionalAndOnlyTheFirst418AreTaken)
{
    const LanguageTexts texts = LanguageTexts::fromBytes(joinLines(numberedLines(500)));
    EXPECT_EQ(texts.linesRead(), 418);
    EXPECT_EQ(texts.text(1), "L1");
    EXPECT_EQ(texts.text(418), "L418");
    EXPECT_EQ(texts.text(419), "");
    EXPECT_EQ(texts.weekdayNames(), QStringList({"L314", "L315", "L316", "L317", "L318", "L319", "L320"}));

    // Out-of-range lines read empty and cannot be set.
    LanguageTexts set;
    set.setText(418, "last");
    for (int line : {0, -1, 419}) {
        set.setText(line, "x");
        EXPECT_EQ(set.text(line), "") << line;
    }
    EXPECT_EQ(set.text(418), "last");
}

TEST(LanguageFileReading, LineEndsBlanksAndEncodings)
{
    struct Row {
        QByteArray bytes;
        QStringList texts;  // every line read, in order
    };
    const Row rows[] = {
        {"first\r\n\r\n  padded  \r\n\tTab\r\n", {"first", "", "  padded  ", "\tTab"}},
        // Mixed ends in one file, as an editor may leave them; CR CR LF is a lone CR and a CR LF.
        {"a\r\nb\n\nc\rd\r\n\r\ne", {"a", "b", "", "c", "d", "", "e"}},
        {"x\r\r\ny\r", {"x", "", "y"}},  // and a final lone CR adds no line
        {"", {}},
        {"\r\n", {""}},  // a file holding one empty line has a line
        // "İPTAL" and "Başlık" in Windows-1254 bytes, then saved as UTF-8 by an editor.
        {"\xDDPTAL\r\nBa\xFEl\xFDk\r\n", {"İPTAL", "Başlık"}},
        {QStringLiteral("İPTAL\nBaşlık\n").toUtf8(), {"İPTAL", "Başlık"}},
        // A UTF-8 byte order mark is not part of the first text.
        {QByteArray("\xEF\xBB\xBF") + QStringLiteral("Çıkış\r\n").toUtf8(), {"Çıkış"}},
        // One byte that is not UTF-8 anywhere makes the whole file Windows-1254.
        {"Sal\xC4\xB1\r\nPazartesi \xFE\r\n", {"SalÄ±", "Pazartesi ş"}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.bytes.toHex().constData());
        const LanguageTexts texts = LanguageTexts::fromBytes(r.bytes);
        EXPECT_EQ(texts.linesRead(), r.texts.size());
        EXPECT_EQ(texts.isEmpty(), r.texts.isEmpty());
        for (int i = 0; i < r.texts.size(); ++i)
            EXPECT_EQ(texts.text(i + 1), r.texts.at(i)) << "line " << i + 1;
        EXPECT_EQ(texts.text(int(r.texts.size()) + 1), "");
    }
}

TEST(LanguageFolder, ListsAndReadsTheTextFilesOfTheLanguageFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProgramFolderGuard guard(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(LanguageFilePath("English.txt"), dir.path() + QStringLiteral("/LANGUAGE/English.txt"));
    EXPECT_TRUE(LanguageFiles().isEmpty());  // no folder yet

    ASSERT_TRUE(QDir(dir.path()).mkpath("LANGUAGE/sub.txt"));
    for (const char *name : {"Türkçe.txt", "English.txt", "ingilizce.txt", "notes.md"})
        ASSERT_TRUE(QFile(LanguageFilePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly));
    EXPECT_EQ(LanguageFiles(), QStringList({"English.txt", "ingilizce.txt", "Türkçe.txt"}));

    QString error;
    EXPECT_FALSE(LanguageTexts::fromFile(LanguageFilePath("none.txt"), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    // A folder of that name is not a language file either.
    EXPECT_FALSE(LanguageTexts::fromFile(LanguageFilePath("sub.txt")).has_value());
}

// ---------------------------------------------------------------------------
// The shipped language files (laid out beside the test program by the build)

namespace {

QString shippedPath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE/") + name;
}

QByteArray shippedBytes(const QString &name)
{
    QFile file(shippedPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LanguageTexts shipped(const QString &name)
{
    return LanguageTexts::fromFile(shippedPath(name)).value_or(LanguageTexts());
}

// The parameter is the file name in UTF-8 (readable in test output).
class ShippedLanguageFile : public ::testing::TestWithParam<const char *> {
protected:
    static QString name() { return QString::fromUtf8(GetParam()); }
};

}  // namespace

TEST_P(ShippedLanguageFile, IsWindows1254With418LinesEndedByCrLf)
{
    const QByteArray bytes = shippedBytes(name());
    ASSERT_FALSE(bytes.isEmpty()) << "missing " << qPrintable(shippedPath(name()));
    EXPECT_EQ(bytes.count("\r\n"), 418);
    EXPECT_EQ(bytes.count('\r'), 418) << "a lone CR";
    EXPECT_EQ(bytes.count('\n'), 418) << "a lone LF";
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    bool nonAscii = false;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        nonAscii = nonAscii || b >= 0x80;
        EXPECT_TRUE(b >= 0x20 || b == '\r' || b == '\n') << "control byte " << int(b);
        // Bytes Windows-1254 leaves undefined.
        EXPECT_TRUE(b != 0x81 && (b < 0x8D || b > 0x90) && b != 0x9D && b != 0x9E) << "undefined byte " << int(b);
    }
    // The letters are single bytes of the code page, not UTF-8 sequences.
    ASSERT_TRUE(nonAscii);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);  // decoding happens on conversion
    EXPECT_FALSE(decoded.isEmpty());
    EXPECT_TRUE(utf8.hasError());
    EXPECT_EQ(shipped(name()).linesRead(), 418);
}

TEST_P(ShippedLanguageFile, FillsEveryLineTheProgramUsesWithSevenDistinctWeekdays)
{
    const LanguageTexts texts = shipped(name());
    // Every line up to 404 is looked up but the spares: lines 80-109 and a few more.
    const QSet<int> spare = {141, 202, 252, 258, 261, 312, 341, 355, 368, 378, 382};
    for (int line = 1; line <= 404; ++line) {
        const bool spareLine = (line >= 80 && line <= 109) || spare.contains(line);
        EXPECT_TRUE(spareLine || !texts.text(line).trimmed().isEmpty()) << "line " << line;
    }
    const QStringList days = texts.weekdayNames();
    EXPECT_EQ(QSet<QString>(days.begin(), days.end()).size(), 7);
    EXPECT_FALSE(texts.brandIsHalvern());  // the default brand mark
}

TEST_P(ShippedLanguageFile, TextsThatTellThingsApartDiffer)
{
    const LanguageTexts texts = shipped(name());
    // The toolbar finds a button's action by its tooltip text, so no two may match.
    QSet<QString> tooltips;
    for (int line : {288, 289, 290, 291, 292, 293, 294, 324})
        tooltips.insert(texts.text(line));
    EXPECT_EQ(tooltips.size(), 8);
    // The connect menu and the analog start button decide by their caption; each
    // pair of status flag texts must show which way the bit stands.
    for (auto [a, b] : {std::pair{376, 377}, {263, 269}, {235, 236}, {237, 238}, {239, 240}, {241, 242}, {243, 244}})
        EXPECT_NE(texts.text(a), texts.text(b)) << "lines " << a << " and " << b;
}

TEST_P(ShippedLanguageFile, ChoiceTextsBeginWithTheirCode)
{
    // A parameter cell is written to the indicator as its text's leading number, so
    // every list text of the catalogue must begin with the code it stands for.
    const LanguageTexts texts = shipped(name());
    std::set<int> checked;
    for (const params::Row &row : params::Rows())
        for (params::Items items : {row.read, row.list})
            for (const params::Item &item : items) {
                const int line = item.text.line;
                if (line > 0 && !item.text.literal && checked.insert(line).second) {
                    EXPECT_TRUE(texts.text(line).startsWith(QString::number(item.code) + u'-'))
                        << "line " << line << ": \"" << qPrintable(texts.text(line)) << "\"";
                }
            }
    EXPECT_EQ(checked.size(), 64u);
    // Row [206] shows "4" followed by line 191 without its first character.
    EXPECT_TRUE((u'4' + texts.text(191).mid(1)).startsWith("4-"));
    // The range combos of the calibration tab: the code, " - ", the text.
    for (int line : {360, 361, 362, 363})
        EXPECT_TRUE(texts.text(line).startsWith(QString::number((line - 360) % 2) + QStringLiteral(" - "))) << line;
    // The handshake texts are those the reader shows.
    EXPECT_EQ(texts.text(220), "1-xon/xoff");
    EXPECT_EQ(texts.text(221), "2-RTS/CTS");
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFile, ::testing::Values("Türkçe.txt", "English.txt"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return info.index == 0 ? std::string("Turkish") : std::string("English");
                         });

TEST(ShippedLanguageFiles, FillTheSameLinesAndTurkishCarriesTheFormCaptions)
{
    const LanguageTexts tr = shipped("Türkçe.txt");
    const LanguageTexts en = shipped("English.txt");
    ASSERT_FALSE(tr.isEmpty());
    ASSERT_FALSE(en.isEmpty());
    for (int line = 1; line <= LanguageTexts::LineCount; ++line)
        EXPECT_EQ(tr.text(line).isEmpty(), en.text(line).isEmpty()) << "line " << line;
    // Captions spread over the file: a line slipped anywhere shows.
    const std::map<int, QString> captions = {
        {1, "&Dosya"},        {8, "&Çıkış"},   {10, "&Bağlantı Ayarları"}, {29, "İPTAL"},
        {63, "BAŞLA"},        {68, "Başlık ve Dip Not"}, {74, "Status"},   {314, "Pazartesi"},
        {320, "Pazar"},       {376, "Bağlan"}, {377, "Bağlantıyı kes"},
    };
    for (const auto &[line, text] : captions)
        EXPECT_EQ(tr.text(line), text) << "line " << line;
    EXPECT_EQ(en.text(314), "Monday");
}
