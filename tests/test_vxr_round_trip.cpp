// Configuration files opened and saved again come back byte for byte (the parameter
// rows, and the whole file with its memories and setpoints): the files under tests/data/vxr (read from the virtual indicator by vextora-cli,
// and one with fields another writer could have left, see make_corpus.sh) opened in the
// language they were written in, and saved both over the opened record and into a
// blank one, so that every byte has to come from the values the parameter set holds.

#include "files/ConfigFile.h"
#include "files/WorkingSet.h"
#include "params/RowValue.h"
#include "shell/LanguageTexts.h"
#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"
#include "support/CliProcess.h"

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

// A file without the text of ParameterRow1Text (the clock at the time of the read).
QByteArray withoutClock(const QByteArray &file)
{
    const QByteArray part = parameterPart(file);
    const qsizetype at = file.indexOf(part);
    const int length = quint8(part[0]) + 256 * quint8(part[1]);
    return file.left(at) + file.mid(at + 2 + length);
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
        EXPECT_EQ(differences(EncodeRecord(opened.record()), original).toStdString(), "") << "the whole file, saved into a blank record";
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

    EXPECT_EQ(p.clockSuffix(), " \\ Monday");
    opened.parameters().setTexts(languageOf(QStringLiteral("turkish")));
    EXPECT_EQ(p.value(3), "1- Metrolojik (ticari kullanım)");
    EXPECT_EQ(p.clockSuffix(), " \\ Pazartesi") << "the weekday the file names, in the new language";
    opened.resetRecord();
    opened.collect();
    const QByteArray saved = EncodeRecord(opened.record());
    // B1 follows row 1's text (a 16-bit length and its bytes) and block A.
    const QByteArray part = parameterPart(saved);
    const QByteArray row3 = part.mid(2 + quint8(part[0]) + 256 * quint8(part[1]) + 234, 25);
    EXPECT_EQ(row3, QByteArray("1- Metrolojik (ticari kul"));
}

// The whole sequence: vextora-cli reads the virtual indicator holding the odd values of
// zr2_odd_english.vxr (make_corpus.sh) and writes the file the earlier program's
// version wrote, byte for byte but for the clock's text.
TEST(VxrRoundTrip, AReadOfTheIndicatorWritesTheSameFileAsBefore)
{
    QTemporaryDir dir;
    const QString state = dir.filePath("state.txt");
    {
        sim::VirtualIndicator device;
        sim::InstallDefaultModules(device, {});
        const std::pair<int, int> configuration[] = {
            {0, 1}, {1, 1}, {2, 9}, {3, 2}, {4, 1}, {5, 2}, {6, 4}, {7, 1}, {8, 7}, {10, 12}, {13, 1},
            {14, 5}, {15, 3}, {16, 9}, {18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0x83}, {22, 99}, {23, 0x00},
            {24, 0x01}, {25, 0xE2}, {26, 0x40}, {27, 75}, {28, 1}, {29, 2}, {30, 1}, {31, 1}, {33, 3},
            {35, 1}, {36, 4}, {37, 6}, {38, 255}, {40, 0}, {42, 0}, {44, 3}, {45, 9}, {46, 7}, {48, 2},
            {50, 2}, {52, 4}, {53, 3}, {54, 12}, {55, 2}, {56, 1}, {58, 1}, {60, 1}, {62, 31}, {68, 9},
            {69, 1}, {70, 2}, {71, 1}, {72, 0x7F}, {73, 0xFF}, {74, 0xFF}, {75, 0xFF}, {76, 3}, {77, 2},
            {78, 0}, {79, 1}, {80, 7}, {82, 0x9C}, {83, 0x40}, {84, 0xFF}, {85, 0xFF}, {92, 1}};
        const std::pair<int, int> calibration[] = {
            {0, 1}, {6, 5}, {7, 6}, {8, 0xFF}, {9, 0xFF}, {10, 0xFF}, {11, 0xFE}, {12, 0}, {13, 1},
            {14, 0x11}, {15, 0x70}, {20, 0}, {21, 0}, {22, 0}, {23, 123}, {24, 0xFF}, {25, 0xFF},
            {26, 0xFF}, {27, 0xFB}, {28, 0}, {29, 0}, {30, 0}, {31, 42}, {32, 0x00}, {33, 0x01},
            {34, 0x7F}, {35, 0x4B}, {36, 0}, {37, 0}, {38, 0}, {39, 5}};
        QByteArray block = device.bytes(149, 100);
        for (const auto &[offset, value] : configuration)
            block[offset] = char(value);
        device.setBytes(149, block);
        block = device.bytes(128, 40);
        for (const auto &[offset, value] : calibration)
            block[offset] = char(value);
        device.setBytes(128, block);
        ASSERT_TRUE(device.saveState(state));
    }
    test::SimProcess indicator({"--state", state});
    ASSERT_TRUE(indicator.ready());
    const QString file = dir.filePath("read.vxr");
    const test::CliRun read = test::RunCliProcess(dir.filePath("vextora.ini"), {"--port", indicator.link, "read", file});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const QByteArray written = bytesOf(file);
    const QByteArray before = bytesOf(corpusFolder() + QStringLiteral("/zr2_odd_english.vxr"));
    EXPECT_EQ(differences(withoutClock(written), withoutClock(before)).toStdString(), "");
}
