// The parameter rows of configuration files opened and saved again come back byte for
// byte: the files under tests/data/vxr (read from the virtual indicator by vextora-cli,
// and one with fields another writer could have left, see make_corpus.sh) opened in the
// language they were written in, and saved both over the opened record and into a
// blank one, so that every byte has to come from the values the parameter set holds.

#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
#include "params/RowValue.h"
#include "shell/LanguageTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace vx;

namespace {

QString corpusFolder() { return QStringLiteral(VX_SOURCE_DIR "/tests/data/vxr"); }

LanguageTexts languageOf(const QString &fileName)
{
    const QString name = fileName.contains(QLatin1String("turkish")) ? QStringLiteral("Türkçe.txt")
                                                                       : QStringLiteral("English.txt");
    return LanguageTexts::fromFile(QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE/") + name)
        .value_or(LanguageTexts());
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// ParameterRow1Text, ParameterBlockA and ParameterBlockB: they follow the 30 setpoint
// texts from offset 3374, each a 16-bit length and its bytes.
QByteArray parameterPart(const QByteArray &file)
{
    qsizetype at = 3374;
    auto skipText = [&] {
        if (at + 2 <= file.size())
            at += 2 + quint8(file[at]) + 256 * quint8(file[at + 1]);
    };
    for (int k = 0; k < 30; ++k)
        skipText();
    const qsizetype start = at;
    skipText();
    return file.mid(start, at - start + 234 + 2078);
}

// Where two files differ: "offset: ours/theirs" for the first differing bytes.
QString differences(const QByteArray &ours, const QByteArray &theirs)
{
    QStringList out;
    if (ours.size() != theirs.size())
        out << QStringLiteral("size %1/%2").arg(ours.size()).arg(theirs.size());
    for (qsizetype i = 0; i < qMin(ours.size(), theirs.size()) && out.size() < 12; ++i)
        if (ours[i] != theirs[i])
            out << QStringLiteral("%1: %2/%3").arg(i).arg(quint8(ours[i]), 2, 16, QLatin1Char('0')).arg(quint8(theirs[i]), 2, 16, QLatin1Char('0'));
    return out.join(QStringLiteral(", "));
}

}  // namespace

TEST(VxrRoundTrip, EveryCorpusFileIsSavedAgainByteForByte)
{
    const QStringList names = QDir(corpusFolder()).entryList({QStringLiteral("*.vxr")}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 4);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = corpusFolder() + QLatin1Char('/') + name;
        const QByteArray original = bytesOf(path);
        ASSERT_GT(parameterPart(original).size(), 2312);
        const std::optional<ConfigurationRecord> record = ReadConfigurationFile(path);
        ASSERT_TRUE(record);
        const LanguageTexts texts = languageOf(name);
        const Model model = name.startsWith(QLatin1String("zr1")) ? Model::ZR1 : Model::ZR2;

        WorkingSet opened;
        opened.showFile(*record, texts, model, {});
        opened.collect();
        EXPECT_EQ(differences(parameterPart(EncodeRecord(opened.record())), parameterPart(original)).toStdString(), "") << "saved over the opened record";

        // A blank record: every byte of the file has to come from the pages.
        opened.resetRecord();
        opened.collect();
        EXPECT_EQ(differences(parameterPart(EncodeRecord(opened.record())), parameterPart(original)).toStdString(), "") << "saved into a blank record";
    }
}

// A list text longer than its 25-byte field is stored cut ("1- Metrological (legal fo"):
// opened, the row holds the item's code and shows its whole text; a text of no value
// of its row (row 82 with more words, "xyz") is kept word for word; a language change
// shows the codes in the new language and a save then stores those texts.
TEST(VxrRoundTrip, AnOpenedFileHoldsCodesAndKeepsOtherTextsWordForWord)
{
    const QString path = corpusFolder() + QStringLiteral("/zr2_edited_english.vxr");
    const std::optional<ConfigurationRecord> record = ReadConfigurationFile(path);
    ASSERT_TRUE(record);
    WorkingSet opened;
    opened.showFile(*record, languageOf(QStringLiteral("english")), Model::ZR2, {});
    const ParameterSet &p = opened.parameters();
    EXPECT_EQ(p.value(3), "1- Metrological (legal for trade)");
    EXPECT_EQ(p.rowValue(3), RowValue::code(1));
    EXPECT_EQ(p.rowValue(14), RowValue::code(1)) << "[100] \"1- In-out weighing\"";
    EXPECT_EQ(p.rowValue(33), RowValue::code(0, RowValue::From::List)) << "[004] by the editor's list text";
    EXPECT_EQ(p.rowValue(13), RowValue::code(5, RowValue::From::List)) << "[120] \"05\"";
    EXPECT_EQ(p.rowValue(78), RowValue::of(40000));
    EXPECT_EQ(p.rowValue(18), RowValue::of(-125));
    EXPECT_EQ(p.value(4), "xyz" + QString(22, QLatin1Char(' ')));
    EXPECT_EQ(p.value(82), "ZR2 V2.20 with words" + QString(5, QLatin1Char(' ')));
    EXPECT_EQ(p.value(21), "7.5" + QString(22, QLatin1Char(' ')));
    EXPECT_EQ(WireNumber(params::RowAt(21), p.rowValue(21)), 75) << "written as 7,5";

    opened.parameters().setTexts(languageOf(QStringLiteral("turkish")));
    EXPECT_EQ(p.value(3), "1- Metrolojik (ticari kullanım)");
    opened.resetRecord();
    opened.collect();
    const QByteArray saved = EncodeRecord(opened.record());
    // B1 follows row 1's text (a 16-bit length and its bytes) and block A.
    const QByteArray part = parameterPart(saved);
    const QByteArray row3 = part.mid(2 + quint8(part[0]) + 256 * quint8(part[1]) + 234, 25);
    EXPECT_EQ(row3, QByteArray("1- Metrolojik (ticari kul"));
}
