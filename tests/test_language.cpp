// The language texts: how a language file is read (positional lines, line ends,
// encodings, limits) and whether the shipped Turkish and English files hold what
// the program looks up in them.

#include "link/AppPaths.h"
#include "shell/LanguageTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

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

TEST(LanguageFileReading, LinesArePositional)
{
    const LanguageTexts texts = LanguageTexts::fromBytes(joinLines(numberedLines(418)));
    EXPECT_EQ(texts.linesRead(), 418);
    EXPECT_EQ(texts.text(1), "L1");
    EXPECT_EQ(texts.text(309), "L309");
    EXPECT_EQ(texts.text(418), "L418");

    // One line inserted at the top moves every text down by one slot, and the
    // old last line falls off the end.
    QList<QByteArray> shifted = numberedLines(418);
    shifted.prepend("inserted");
    const LanguageTexts moved = LanguageTexts::fromBytes(joinLines(shifted));
    EXPECT_EQ(moved.text(1), "inserted");
    EXPECT_EQ(moved.text(2), "L1");
    EXPECT_EQ(moved.text(310), "L309");
    EXPECT_EQ(moved.text(418), "L417");
    EXPECT_EQ(moved.linesRead(), 418);
}

TEST(LanguageFileReading, EmptyLinesCountAndBlanksAreKept)
{
    const LanguageTexts texts = LanguageTexts::fromBytes("first\r\n\r\n  padded  \r\n\tTab\r\n");
    EXPECT_EQ(texts.linesRead(), 4);
    EXPECT_EQ(texts.text(1), "first");
    EXPECT_EQ(texts.text(2), "");
    EXPECT_EQ(texts.text(3), "  padded  ");
    EXPECT_EQ(texts.text(4), "\tTab");
}

TEST(LanguageFileReading, AnyLineEndSplitsAndTheLastNewlineAddsNoLine)
{
    const QList<QByteArray> lines = {"one", "", "three"};
    for (const QByteArray &end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        SCOPED_TRACE(end.toHex().constData());
        const LanguageTexts withFinal = LanguageTexts::fromBytes(joinLines(lines, end));
        EXPECT_EQ(withFinal.linesRead(), 3);
        EXPECT_EQ(withFinal.text(1), "one");
        EXPECT_EQ(withFinal.text(2), "");
        EXPECT_EQ(withFinal.text(3), "three");

        QByteArray withoutFinal = joinLines(lines, end);
        withoutFinal.chop(end.size());
        EXPECT_EQ(LanguageTexts::fromBytes(withoutFinal).linesRead(), 3);
    }
    // Mixed ends in one file, as an editor may leave them.
    const LanguageTexts mixed = LanguageTexts::fromBytes("a\r\nb\nc\rd\r\n\r\ne");
    EXPECT_EQ(mixed.linesRead(), 6);
    EXPECT_EQ(mixed.text(3), "c");
    EXPECT_EQ(mixed.text(4), "d");
    EXPECT_EQ(mixed.text(5), "");
    EXPECT_EQ(mixed.text(6), "e");
    // CR CR LF is a lone CR followed by a CR LF: two line ends.
    EXPECT_EQ(LanguageTexts::fromBytes("x\r\r\ny").linesRead(), 3);
}

TEST(LanguageFileReading, Windows1254AndUtf8AreBothRecognised)
{
    // "İPTAL" and "Başlık" in Windows-1254 bytes.
    const LanguageTexts ansi = LanguageTexts::fromBytes("\xDDPTAL\r\nBa\xFEl\xFDk\r\n");
    EXPECT_EQ(ansi.text(1), QStringLiteral("İPTAL"));
    EXPECT_EQ(ansi.text(2), QStringLiteral("Başlık"));

    // The same texts saved as UTF-8 by an editor.
    const LanguageTexts utf8 = LanguageTexts::fromBytes(QStringLiteral("İPTAL\nBaşlık\n").toUtf8());
    EXPECT_EQ(utf8.text(1), QStringLiteral("İPTAL"));
    EXPECT_EQ(utf8.text(2), QStringLiteral("Başlık"));

    // A UTF-8 byte order mark is not part of the first text.
    const LanguageTexts bom =
        LanguageTexts::fromBytes(QByteArray("\xEF\xBB\xBF") + QStringLiteral("Çıkış\r\n").toUtf8());
    EXPECT_EQ(bom.text(1), QStringLiteral("Çıkış"));
    EXPECT_EQ(bom.linesRead(), 1);

    // One byte that is not UTF-8 anywhere makes the whole file Windows-1254.
    const LanguageTexts mostlyUtf8 =
        LanguageTexts::fromBytes(QByteArray("Sal\xC4\xB1\r\n") + "Pazartesi \xFE\r\n");
    EXPECT_EQ(mostlyUtf8.text(1), QStringLiteral("SalÄ±"));
    EXPECT_EQ(mostlyUtf8.text(2), QStringLiteral("Pazartesi ş"));
}

TEST(LanguageFileReading, OnlyTheFirst418LinesAreTaken)
{
    const LanguageTexts texts = LanguageTexts::fromBytes(joinLines(numberedLines(500)));
    EXPECT_EQ(texts.linesRead(), 418);
    EXPECT_EQ(texts.text(418), "L418");
    EXPECT_EQ(texts.text(419), "");
    EXPECT_EQ(texts.text(500), "");
}

TEST(LanguageFileReading, ShortAndEmptyFilesLeaveEmptyTexts)
{
    const LanguageTexts shortFile = LanguageTexts::fromBytes("a\r\nb\r\nc\r\n");
    EXPECT_EQ(shortFile.linesRead(), 3);
    EXPECT_FALSE(shortFile.isEmpty());
    EXPECT_EQ(shortFile.text(3), "c");
    EXPECT_EQ(shortFile.text(4), "");
    EXPECT_EQ(shortFile.text(418), "");
    EXPECT_TRUE(shortFile.weekdayNames().join(QString()).isEmpty());

    const LanguageTexts empty = LanguageTexts::fromBytes(QByteArray());
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.text(1), "");

    // A file holding one empty line has a line.
    EXPECT_FALSE(LanguageTexts::fromBytes("\r\n").isEmpty());

    // Out-of-range lines read empty and cannot be set.
    LanguageTexts texts;
    texts.setText(0, QStringLiteral("x"));
    texts.setText(419, QStringLiteral("x"));
    texts.setText(418, QStringLiteral("last"));
    EXPECT_EQ(texts.text(0), "");
    EXPECT_EQ(texts.text(-1), "");
    EXPECT_EQ(texts.text(419), "");
    EXPECT_EQ(texts.text(418), "last");
}

TEST(LanguageFileReading, FromFileReadsAFileAndReportsAMissingOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Türkçe.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("&Dosya\r\n&Yeni\r\n");
    file.close();

    QString error = QStringLiteral("stale");
    const std::optional<LanguageTexts> texts = LanguageTexts::fromFile(path, &error);
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->text(2), "&Yeni");
    EXPECT_TRUE(error.isEmpty());

    const auto missing = LanguageTexts::fromFile(dir.filePath(QStringLiteral("none.txt")), &error);
    EXPECT_FALSE(missing.has_value());
    EXPECT_FALSE(error.isEmpty());

    // A folder of that name is not a language file either.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));
    EXPECT_FALSE(LanguageTexts::fromFile(dir.filePath(QStringLiteral("folder.txt"))).has_value());
}

TEST(LanguageFileReading, BrandMarkNeedsTheExactWord)
{
    const auto withLine383 = [](const QByteArray &text) {
        QList<QByteArray> lines = numberedLines(418);
        lines[382] = text;
        return LanguageTexts::fromBytes(joinLines(lines));
    };
    EXPECT_TRUE(withLine383("HALVERN").brandIsHalvern());
    EXPECT_FALSE(withLine383("Halvern").brandIsHalvern());
    EXPECT_FALSE(withLine383("halvern").brandIsHalvern());
    EXPECT_FALSE(withLine383("HALVERN ").brandIsHalvern());
    EXPECT_FALSE(withLine383("").brandIsHalvern());
    // The word on the neighbouring line does not count.
    QList<QByteArray> lines = numberedLines(418);
    lines[381] = "HALVERN";
    EXPECT_FALSE(LanguageTexts::fromBytes(joinLines(lines)).brandIsHalvern());
}

TEST(LanguageFileReading, WeekdaysComeFromLines314To320)
{
    const LanguageTexts texts = LanguageTexts::fromBytes(joinLines(numberedLines(418)));
    EXPECT_EQ(texts.weekdayNames(),
              QStringList({"L314", "L315", "L316", "L317", "L318", "L319", "L320"}));
}

TEST(LanguageFolder, ListsTheTextFilesOfTheLanguageFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProgramFolderGuard guard(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(LanguageFolder(), dir.path() + QStringLiteral("/LANGUAGE"));
    EXPECT_EQ(LanguageFilePath(QStringLiteral("English.txt")),
              dir.path() + QStringLiteral("/LANGUAGE/English.txt"));
    EXPECT_TRUE(LanguageFiles().isEmpty());  // no folder yet

    QDir folder(dir.path());
    ASSERT_TRUE(folder.mkpath(QStringLiteral("LANGUAGE/sub.txt")));
    for (const QString &name : {QStringLiteral("Türkçe.txt"), QStringLiteral("English.txt"),
                               QStringLiteral("ingilizce.txt"), QStringLiteral("notes.md")}) {
        QFile f(folder.filePath(QStringLiteral("LANGUAGE/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x\r\n");
    }
    EXPECT_EQ(LanguageFiles(),
              QStringList({QStringLiteral("English.txt"), QStringLiteral("ingilizce.txt"),
                           QStringLiteral("Türkçe.txt")}));
}

// ---------------------------------------------------------------------------
// The shipped language files (laid out beside the test program by the build)

namespace {

const QString kTurkish = QStringLiteral("Türkçe.txt");
const QString kEnglish = QStringLiteral("English.txt");

QString shippedPath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE/") + name;
}

QByteArray shippedBytes(const QString &name)
{
    QFile file(shippedPath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

LanguageTexts shipped(const QString &name)
{
    return LanguageTexts::fromFile(shippedPath(name)).value_or(LanguageTexts());
}

// Lines the program looks up: captions of lines 1-74 and every message, caption
// and list text that a screen or a sequence takes from the language file.
QList<int> linesInUse()
{
    QList<int> lines;
    const auto range = [&lines](int first, int last) {
        for (int i = first; i <= last; ++i)
            lines << i;
    };
    range(1, 79);
    range(110, 140);
    range(142, 201);
    range(203, 251);   // list texts, status values
    range(253, 257);   // read-all steps
    lines << 259 << 260 << 262 << 263 << 264;
    range(265, 311);   // send-all steps, analog, status captions, calibration, toolbar...
    range(313, 340);
    range(342, 354);   // ticket field codes
    range(356, 367);
    range(369, 377);
    range(379, 381);
    range(383, 385);
    range(386, 404);   // status grid captions
    return lines;
}

// List texts whose leading number is the code written to the indicator.
const std::map<int, int> &choiceCodes()
{
    static const std::map<int, int> codes = {
        {175, 0}, {176, 1}, {177, 0}, {178, 1}, {179, 0}, {180, 1}, {181, 0}, {182, 1},
        {183, 2}, {184, 1}, {185, 2}, {186, 1}, {187, 2}, {188, 3}, {189, 1}, {190, 2},
        {192, 0}, {193, 1}, {194, 2}, {195, 3}, {196, 4}, {197, 1}, {198, 2}, {199, 3},
        {200, 4}, {201, 5}, {203, 0}, {204, 1}, {205, 0}, {206, 1}, {207, 1}, {208, 2},
        {209, 0}, {210, 1}, {211, 1}, {212, 2}, {213, 3}, {214, 1}, {215, 1}, {216, 2},
        {217, 3}, {218, 4}, {219, 0}, {220, 1}, {221, 2}, {222, 0}, {223, 1}, {224, 2},
        {225, 1}, {226, 2}, {227, 4}, {228, 1}, {229, 1}, {230, 2}, {231, 3}, {232, 0},
        {233, 1}, {234, 2}, {323, 3}, {335, 0}, {336, 1}, {337, 2}, {338, 0}, {339, 1},
    };
    return codes;
}

// The parameter is the file name in UTF-8 (readable in test output).
class ShippedLanguageFile : public ::testing::TestWithParam<const char *> {
protected:
    static QString name() { return QString::fromUtf8(GetParam()); }
};

}  // namespace

TEST_P(ShippedLanguageFile, Has418LinesEndedByCrLf)
{
    const QByteArray bytes = shippedBytes(name());
    ASSERT_FALSE(bytes.isEmpty()) << "missing " << qPrintable(shippedPath(name()));
    EXPECT_EQ(bytes.count("\r\n"), 418);
    EXPECT_EQ(bytes.count('\r'), 418) << "a lone CR";
    EXPECT_EQ(bytes.count('\n'), 418) << "a lone LF";
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(shipped(name()).linesRead(), 418);
}

TEST_P(ShippedLanguageFile, IsWindows1254)
{
    const QByteArray bytes = shippedBytes(name());
    ASSERT_FALSE(bytes.isEmpty());
    bool nonAscii = false;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        nonAscii = nonAscii || b >= 0x80;
        EXPECT_TRUE(b >= 0x20 || b == '\r' || b == '\n') << "control byte " << int(b);
        // Bytes Windows-1254 leaves undefined.
        EXPECT_TRUE(b != 0x81 && (b < 0x8D || b > 0x90) && b != 0x9D && b != 0x9E)
            << "undefined byte " << int(b);
    }
    // The letters are single bytes of the code page, not UTF-8 sequences: the
    // bytes do not decode as UTF-8.
    ASSERT_TRUE(nonAscii);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);  // decoding happens on conversion
    EXPECT_FALSE(decoded.isEmpty());
    EXPECT_TRUE(utf8.hasError());
}

TEST_P(ShippedLanguageFile, FillsEveryLineTheProgramUses)
{
    const LanguageTexts texts = shipped(name());
    for (int line : linesInUse())
        EXPECT_FALSE(texts.text(line).trimmed().isEmpty()) << "line " << line;
}

TEST_P(ShippedLanguageFile, WeekdaysAreSevenDistinctNames)
{
    const QStringList days = shipped(name()).weekdayNames();
    ASSERT_EQ(days.size(), 7);
    EXPECT_EQ(QSet<QString>(days.begin(), days.end()).size(), 7);
    for (const QString &day : days)
        EXPECT_FALSE(day.isEmpty());
}

TEST_P(ShippedLanguageFile, ToolbarTooltipsTellTheButtonsApart)
{
    // The toolbar finds a button's action by its tooltip text, so no two may match.
    const LanguageTexts texts = shipped(name());
    QSet<QString> tooltips;
    for (int line : {288, 289, 290, 291, 292, 293, 294, 324}) {
        EXPECT_FALSE(texts.text(line).isEmpty()) << "line " << line;
        tooltips.insert(texts.text(line));
    }
    EXPECT_EQ(tooltips.size(), 8);
}

TEST_P(ShippedLanguageFile, ToggleCaptionsDiffer)
{
    const LanguageTexts texts = shipped(name());
    // The connect menu and the analog start button decide by their caption.
    EXPECT_NE(texts.text(376), texts.text(377));
    EXPECT_NE(texts.text(263), texts.text(269));
    // Status flags: each pair must show which way the bit stands.
    for (int first : {235, 237, 239, 241, 243})
        EXPECT_NE(texts.text(first), texts.text(first + 1)) << "line " << first;
}

TEST_P(ShippedLanguageFile, ChoiceTextsBeginWithTheirCode)
{
    const LanguageTexts texts = shipped(name());
    for (const auto &[line, code] : choiceCodes()) {
        const QString prefix = QString::number(code) + u'-';
        EXPECT_TRUE(texts.text(line).startsWith(prefix))
            << "line " << line << ": \"" << qPrintable(texts.text(line)) << "\" should begin with "
            << qPrintable(prefix);
    }
    // Row [206] shows "4" followed by line 191 without its first character.
    EXPECT_TRUE((u'4' + texts.text(191).mid(1)).startsWith(QStringLiteral("4-")));
    // The range combos of the calibration tab: the code, " - ", the text.
    EXPECT_TRUE(texts.text(360).startsWith(QStringLiteral("0 - ")));
    EXPECT_TRUE(texts.text(361).startsWith(QStringLiteral("1 - ")));
    EXPECT_TRUE(texts.text(362).startsWith(QStringLiteral("0 - ")));
    EXPECT_TRUE(texts.text(363).startsWith(QStringLiteral("1 - ")));
    // The handshake texts are those the reader shows.
    EXPECT_EQ(texts.text(220), "1-xon/xoff");
    EXPECT_EQ(texts.text(221), "2-RTS/CTS");
}

TEST_P(ShippedLanguageFile, KeepsTheDefaultBrandMark)
{
    const LanguageTexts texts = shipped(name());
    EXPECT_FALSE(texts.text(383).isEmpty());
    EXPECT_FALSE(texts.brandIsHalvern());
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFile, ::testing::Values("Türkçe.txt", "English.txt"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return info.index == 0 ? std::string("Turkish") : std::string("English");
                         });

TEST(ShippedLanguageFiles, FillTheSameLines)
{
    const LanguageTexts turkish = shipped(kTurkish);
    const LanguageTexts english = shipped(kEnglish);
    ASSERT_FALSE(turkish.isEmpty());
    ASSERT_FALSE(english.isEmpty());
    for (int line = 1; line <= LanguageTexts::LineCount; ++line)
        EXPECT_EQ(turkish.text(line).isEmpty(), english.text(line).isEmpty()) << "line " << line;
}

TEST(ShippedLanguageFiles, TurkishCarriesTheFormCaptions)
{
    const LanguageTexts tr = shipped(kTurkish);
    EXPECT_EQ(tr.text(1), QStringLiteral("&Dosya"));
    EXPECT_EQ(tr.text(2), QStringLiteral("&Yeni"));
    EXPECT_EQ(tr.text(4), QStringLiteral("&Kaydet"));
    EXPECT_EQ(tr.text(5), QStringLiteral("&Farklı Kaydet"));
    EXPECT_EQ(tr.text(6), QStringLiteral("İndikatöre &Yükle"));
    EXPECT_EQ(tr.text(7), QStringLiteral("İndikatörü &Oku"));
    EXPECT_EQ(tr.text(8), QStringLiteral("&Çıkış"));
    EXPECT_EQ(tr.text(9), QStringLiteral("&Ayarlar ve Yardım"));
    EXPECT_EQ(tr.text(10), QStringLiteral("&Bağlantı Ayarları"));
    EXPECT_EQ(tr.text(18), QStringLiteral("TAMAM"));
    EXPECT_EQ(tr.text(29), QStringLiteral("İPTAL"));
    EXPECT_EQ(tr.text(42), QStringLiteral(" Bağlantı Ayarları"));
    EXPECT_EQ(tr.text(63), QStringLiteral("BAŞLA"));
    EXPECT_EQ(tr.text(376), QStringLiteral("Bağlan"));
    EXPECT_EQ(tr.text(377), QStringLiteral("Bağlantıyı kes"));
    const QStringList tabs = {"Başlık ve Dip Not", "ID Hafıza",    "P.Dara Hafıza", "Setpoint Hafıza",
                              "Parametreler",      "Kalibrasyon", "Status"};
    for (int i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(tr.text(68 + i), tabs.at(i)) << "tab " << i;
    EXPECT_EQ(tr.weekdayNames().first(), QStringLiteral("Pazartesi"));
    EXPECT_EQ(tr.weekdayNames().last(), QStringLiteral("Pazar"));
    EXPECT_EQ(shipped(kEnglish).weekdayNames().first(), QStringLiteral("Monday"));
}
