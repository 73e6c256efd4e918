// Link settings in the per-user store; always an isolated ini file here.

#include "link/Settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <ostream>
#include <tuple>

// Readable failure messages for texts.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using namespace vx;
namespace K = vx::SettingsKeys;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("settings.ini")); }
};

// Every field at once: port, line settings, address, checksum, language, reading time, drain mode.
auto fields(const LinkSettings &s)
{
    return std::tuple(s.PortNumber, s.PortSettings, s.DeviceAddress, s.ChecksumEnabled, s.LanguageFileName,
                      s.ReadingTime, s.drainMode);
}

}  // namespace

TEST_F(SettingsTest, DefaultsWithEmptyStore)
{
    ASSERT_TRUE(dir.isValid());
    SettingsStore store(path());
    EXPECT_EQ(fields(RegOku(store)), std::tuple(QString("1"), QString("9600,N,8,1"), QString(), true,
                                                QString("English.txt"), 0.15, DrainMode::FrameEnd));
    EXPECT_EQ(store.location(), path());
}

TEST_F(SettingsTest, ConnectionSettingsRoundTripThroughTheFile)
{
    LinkSettings in;
    std::tie(in.PortNumber, in.PortSettings, in.DeviceAddress, in.ChecksumEnabled, in.drainMode) =
        std::tuple(QString("12"), QString("19200,E,7,1"), QString("05"), false, DrainMode::Fixed);
    {
        SettingsStore store(path());
        StoreConnectionSettings(store, in);
        StoreReadingTime(store, QStringLiteral("0,3"));
        StoreLanguage(store, QStringLiteral("Türkçe.txt"));
    }
    SettingsStore store(path());
    in.ReadingTime = 0.3;
    in.LanguageFileName = QStringLiteral("Türkçe.txt");
    EXPECT_EQ(fields(RegOku(store)), fields(in));
    EXPECT_EQ(store.value(K::Section, K::Checksum), "False");
    EXPECT_EQ(store.value(K::Section, "OkumaZamanı"), "0,3");
}

TEST_F(SettingsTest, StoredValuesAsFoundInTheFile)
{
    // Hand-edited or damaged entries: no quotes around the line settings, an empty
    // port, lower-case checksum switch, unknown drain mode, a reading time with comma.
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[ZR]\nPort=\nSetting=38400,O,7,1\nCSUM=false\nDrain=sometimes\nOkumaZamanı=0,3\n");
    f.close();
    SettingsStore store(path());
    EXPECT_EQ(fields(RegOku(store)), std::tuple(QString("1"), QString("38400,O,7,1"), QString(), false,
                                                QString("English.txt"), 0.3, DrainMode::FrameEnd));
}

TEST_F(SettingsTest, ChecksumSwitchSpellings)
{
    struct Case { const char *stored; bool on; };
    const Case cases[] = {{"True", true}, {"TRUE", true}, {"False", false}, {" false ", false},
                          {"0", false},   {"-1", true},   {"garbage", true}, {"", true}};
    for (const Case &c : cases) {
        SettingsStore store(path());
        store.setValue(K::Section, K::Checksum, QString::fromUtf8(c.stored));
        EXPECT_EQ(RegOku(store).ChecksumEnabled, c.on) << c.stored;
    }
}

TEST(ReadingTime, TypedTexts)
{
    struct Case { const char *typed; double seconds; };
    const Case cases[] = {
        {"0,3", 0.3}, {"0.3", 0.3}, {"15%", 15.0}, {"0", 0.0}, {"abc", 0.0}, {"", 0.0},
        {"-1", 0.0},  {" 0.5 ", 0.5}, {"99999", 60.0}, {"nan", 0.0}, {"inf", 0.0},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(ParseReadingTime(QString::fromUtf8(c.typed)), c.seconds) << c.typed;
}
