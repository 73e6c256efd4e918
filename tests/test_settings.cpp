// Link settings in the per-user store; always an isolated ini file here.

#include "link/Settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace vx;
namespace K = vx::SettingsKeys;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("settings.ini")); }
};

}  // namespace

TEST_F(SettingsTest, DefaultsWithEmptyStore)
{
    ASSERT_TRUE(dir.isValid());
    SettingsStore store(path());
    const LinkSettings s = RegOku(store);
    EXPECT_EQ(s.PortNumber, QStringLiteral("1"));
    EXPECT_EQ(s.PortSettings, QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(s.DeviceAddress, QString());
    EXPECT_TRUE(s.ChecksumEnabled);
    EXPECT_EQ(s.LanguageFileName, QStringLiteral("English.txt"));
    EXPECT_DOUBLE_EQ(s.ReadingTime, 0.15);
    EXPECT_EQ(s.drainMode, DrainMode::FrameEnd);
    EXPECT_EQ(store.location(), path());
}

TEST_F(SettingsTest, ConnectionSettingsRoundTripThroughTheFile)
{
    LinkSettings in;
    in.PortNumber = QStringLiteral("12");
    in.PortSettings = QStringLiteral("19200,E,7,1");
    in.DeviceAddress = QStringLiteral("05");
    in.ChecksumEnabled = false;
    in.drainMode = DrainMode::Fixed;
    {
        SettingsStore store(path());
        StoreConnectionSettings(store, in);
        StoreReadingTime(store, QStringLiteral("0,3"));
        StoreLanguage(store, QStringLiteral("Türkçe.txt"));
    }
    SettingsStore store(path());
    const LinkSettings out = RegOku(store);
    EXPECT_EQ(out.PortNumber, QStringLiteral("12"));
    EXPECT_EQ(out.PortSettings, QStringLiteral("19200,E,7,1"));
    EXPECT_EQ(out.DeviceAddress, QStringLiteral("05"));
    EXPECT_FALSE(out.ChecksumEnabled);
    EXPECT_EQ(out.drainMode, DrainMode::Fixed);
    EXPECT_DOUBLE_EQ(out.ReadingTime, 0.3);
    EXPECT_EQ(out.LanguageFileName, QStringLiteral("Türkçe.txt"));
    EXPECT_EQ(store.value(K::Section, K::Checksum), QStringLiteral("False"));
    EXPECT_EQ(store.value(K::Section, K::ReadingTime), QStringLiteral("0,3"));
    EXPECT_TRUE(store.keys(K::Section).contains(QStringLiteral("OkumaZamanı")));
}

TEST_F(SettingsTest, StoreOperations)
{
    SettingsStore store(path());
    EXPECT_EQ(store.value(QStringLiteral("ComPorts"), QStringLiteral("COM3"), QStringLiteral("none")),
              QStringLiteral("none"));
    store.setValue(QStringLiteral("ComPorts"), QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB0"));
    store.setValue(K::Section, QStringLiteral("Ağırlık"), QStringLiteral("şğı"));
    store.sync();
    SettingsStore again(path());
    EXPECT_EQ(again.value(QStringLiteral("ComPorts"), QStringLiteral("COM3")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(again.value(K::Section, QStringLiteral("Ağırlık")), QStringLiteral("şğı"));
    again.remove(QStringLiteral("ComPorts"), QStringLiteral("COM3"));
    EXPECT_TRUE(again.keys(QStringLiteral("ComPorts")).isEmpty());
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
    const LinkSettings s = RegOku(store);
    EXPECT_EQ(s.PortNumber, QStringLiteral("1"));
    EXPECT_EQ(s.PortSettings, QStringLiteral("38400,O,7,1"));
    EXPECT_FALSE(s.ChecksumEnabled);
    EXPECT_EQ(s.drainMode, DrainMode::FrameEnd);
    EXPECT_DOUBLE_EQ(s.ReadingTime, 0.3);
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

TEST(DrainModes, NamesRoundTrip)
{
    for (DrainMode m : {DrainMode::Fixed, DrainMode::FrameEnd})
        EXPECT_EQ(ParseDrainMode(DrainModeName(m)), m);
    EXPECT_EQ(DrainModeName(DrainMode::FrameEnd), QStringLiteral("frame-end"));
    EXPECT_FALSE(ParseDrainMode(QStringLiteral("later")).has_value());
}
