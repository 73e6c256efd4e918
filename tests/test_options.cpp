// Option values shared by the window, the tool and the simulator, and a device
// that is no serial port.

#include "link/Options.h"
#include "link/SerialPort.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vx;

TEST(SharedOptions, OnOffAddressModelAndComMapping)
{
    EXPECT_EQ(ParseOnOff(" ON "), true);
    EXPECT_EQ(ParseOnOff("off"), false);
    for (const char *bad : {"", "yes", "1", "onn"})
        EXPECT_FALSE(ParseOnOff(bad)) << bad;

    const std::pair<const char *, const char *> addresses[] = {{"", ""}, {"0", "00"}, {"7", "07"}, {"07", "07"},
                                                              {"99", "99"}, {" 5 ", "05"}};
    for (const auto &[text, stored] : addresses)
        EXPECT_EQ(ParseAddressOption(text), QString::fromLatin1(stored)) << text;
    for (const char *bad : {"100", "-1", "7x", "0x1", "+5"})
        EXPECT_FALSE(ParseAddressOption(bad)) << bad;

    EXPECT_EQ(ParseModelOption("zr1"), Model::ZR1);
    EXPECT_EQ(ParseModelOption("ZR2"), Model::ZR2);
    EXPECT_FALSE(ParseModelOption("ZR3"));
    EXPECT_FALSE(ParseModelOption(""));

    const auto map = ParseComMapping("com16=/tmp/vx/indicator");
    ASSERT_TRUE(map);
    EXPECT_EQ(map->number, 16);
    EXPECT_EQ(map->path, "/tmp/vx/indicator");
    for (const char *bad : {"COM17=/dev/ttyS0", "COM0=/dev/ttyS0", "COM1=", "COM1", "=/dev/ttyS0", "ttyS0=/dev/x"})
        EXPECT_FALSE(ParseComMapping(bad)) << bad;
}

#ifndef Q_OS_WIN
TEST(QtSerialPort, ADeviceThatIsNoSerialPortIsNamedSo)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("plain.txt");
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    for (const QString &path : {QStringLiteral("/dev/null"), file}) {
        QtSerialPort port;
        const PortResult r = port.open(path, "9600,N,8,1");
        EXPECT_EQ(r.error, PortErr::NotSerialPort) << path.toStdString();
        EXPECT_EQ(r.description, path + " is not a serial port");
        EXPECT_FALSE(port.isOpen());
    }
}
#endif
