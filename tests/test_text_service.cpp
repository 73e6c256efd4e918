// The text service: the language lines in use and the built-in Turkish and English
// texts, whose language is chosen once, when a language file is loaded.

#include "link/AppPaths.h"
#include "shell/TextService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vx;

namespace {

class TextServiceTest : public ::testing::Test {
protected:
    TextServiceTest()
    {
        setProgramFolder(dir.path());
        QDir(dir.path()).mkpath("LANGUAGE");
        write("Türkçe.txt", "Dosya\r\n");
        write("English.txt", "File\r\n");
        write("Deutsch.txt", "Datei\r\n");
        write("Empty.txt", "");
    }
    ~TextServiceTest() override { setProgramFolder(QString()); }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath("LANGUAGE/" + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    TextService texts;
};

TEST_F(TextServiceTest, BuiltInTextsAndTheHelpDocumentFollowTheFileLoaded)
{
    // Nothing read yet: the design's language.
    EXPECT_EQ(texts.builtIn(BuiltIn::NoAnswer), "yanıt yok");
    EXPECT_EQ(texts.transactionErrorText(), "İletişim hatası");

    const struct { const char *file, *line1, *noAnswer, *help; } rows[] = {
        {"English.txt", "File", "no answer", "VextoraENG.pdf"},
        {"Türkçe.txt", "Dosya", "yanıt yok", "VextoraTR.pdf"},
        {"Deutsch.txt", "Datei", "no answer", "VextoraENG.pdf"},  // any other file is English
    };
    for (const auto &r : rows) {
        ASSERT_TRUE(texts.load(QString::fromUtf8(r.file))) << r.file;
        EXPECT_EQ(texts.line(1), QString::fromUtf8(r.line1));
        EXPECT_EQ(texts.builtIn(BuiltIn::NoAnswer), QString::fromUtf8(r.noAnswer));
        EXPECT_EQ(texts.helpDocument(), QLatin1String(r.help));
        // Once a file is read its line 306 is the failure text, even an empty one.
        EXPECT_EQ(texts.transactionErrorText(), "");
    }
}

TEST_F(TextServiceTest, AFileThatCannotBeReadChangesNothingOnceAFileIsInUse)
{
    TextService fresh;
    QString error;
    EXPECT_FALSE(fresh.load("English2.txt", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(fresh.isLoaded());
    EXPECT_EQ(fresh.builtIn(BuiltIn::NoAnswer), "no answer") << "nothing else to go by than the name";
    EXPECT_EQ(fresh.transactionErrorText(), "Communication error");

    ASSERT_TRUE(texts.load("Türkçe.txt"));
    EXPECT_FALSE(texts.load("Missing.txt"));
    EXPECT_EQ(texts.fileName(), "Türkçe.txt");
    EXPECT_EQ(texts.line(1), "Dosya");
    EXPECT_EQ(texts.helpDocument(), "VextoraTR.pdf");
}

TEST_F(TextServiceTest, ProbeOfAChosenFile)
{
    EXPECT_TRUE(TextService::probe("Deutsch.txt").ok);
    EXPECT_EQ(TextService::probe("Deutsch.txt").fileName, "Deutsch.txt");
    // An empty file gives way to "ingilizce.txt", which must be there too.
    const TextService::Probe without = TextService::probe("Empty.txt");
    EXPECT_FALSE(without.ok);
    EXPECT_TRUE(without.path.endsWith("LANGUAGE/ingilizce.txt")) << qPrintable(without.path);
    write("ingilizce.txt", "File\r\n");
    const TextService::Probe with = TextService::probe("Empty.txt");
    EXPECT_TRUE(with.ok);
    EXPECT_EQ(with.fileName, "ingilizce.txt");
    EXPECT_FALSE(TextService::probe("Gone.txt").ok);
}

}  // namespace
