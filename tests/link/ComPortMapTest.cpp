// COM numbers for the devices of a Linux system.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "link/ComPortMap.h"

TEST(ComPortMap, UsbAdaptersComeFirstInNumericOrder) {
    const ComPortMap map({}, {"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0",
                              "/dev/ttyUSB2", "/dev/console"});
    EXPECT_EQ(map.Device(1), "/dev/ttyUSB2");
    EXPECT_EQ(map.Device(2), "/dev/ttyUSB10");
    EXPECT_EQ(map.Device(3), "/dev/ttyACM0");
    EXPECT_EQ(map.Device(4), "/dev/ttyS0");
    EXPECT_EQ(map.Device(5), "/dev/ttyS1");
    EXPECT_EQ(map.Device(6), "");
    EXPECT_EQ(map.ComNumber("/dev/ttyACM0"), 3);
    EXPECT_EQ(map.ComNumber("/dev/console"), 0);
}

TEST(ComPortMap, ExplicitEntriesWinAndAreNotMappedTwice) {
    const ComPortMap map({{1, "/dev/pts/4"}, {3, "/dev/ttyUSB0"}, {17, "/dev/ttyS9"}},
                         {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    EXPECT_EQ(map.Device(1), "/dev/pts/4");
    EXPECT_EQ(map.Device(2), "/dev/ttyUSB1");
    EXPECT_EQ(map.Device(3), "/dev/ttyUSB0");
    EXPECT_EQ(map.Device(4), "/dev/ttyS0");
    EXPECT_EQ(map.Entries().size(), 4) << "COM17 is no COM port";
}

TEST(ComPortMap, AtMostSixteenPortsAndExplicitEntriesFromSettings) {
    QStringList devices;
    for (int i = 0; i < 32; ++i) devices << QStringLiteral("/dev/ttyS%1").arg(i);
    QTemporaryDir dir;
    QSettings settings(dir.filePath("tr58.ini"), QSettings::IniFormat);
    settings.setValue("Ports/COM16", "/dev/pts/9");
    const ComPortMap map(ComPortMap::ReadExplicitEntries(settings), devices);
    EXPECT_EQ(map.Entries().size(), 16);
    EXPECT_EQ(map.Device(15), "/dev/ttyS14");
    EXPECT_EQ(map.Device(16), "/dev/pts/9");
}
