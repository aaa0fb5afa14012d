#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "FakeSysfs.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceProperties.h"
#include "cablewatch/SysfsDeviceSource.h"

using namespace cablewatch;

TEST(DeviceProperties, CommandTextNamesTheDevice) {
    const QString key = QStringLiteral("USB\\Vid_2A6F&Pid_0200\\CW0001");
    const QString command = DevicePropertiesCommand(key);
    EXPECT_EQ(command,
              QStringLiteral("/MachineName \"\" /DeviceID \"USB\\Vid_2A6F&Pid_0200\\CW0001\""));
    EXPECT_EQ(DeviceIdOfCommand(command), key);
    EXPECT_EQ(DeviceIdOfCommand(QStringLiteral("/MachineName \"\"")), QString());
}

TEST(DeviceProperties, PageShowsStateValuesAndSysfsAttributes) {
    QTemporaryDir dir;
    FakeSysfs sys(dir.path() + QStringLiteral("/sys"));
    FakeCable cable;
    cable.serial = QStringLiteral("CW0001");
    cable.drivers = {QStringLiteral("cp210x")};
    sys.AddCable(cable);
    SysfsDeviceSource source(sys.Root(), dir.path() + QStringLiteral("/h.json"),
                             [](const QStringList& devices) { return ComPortMap({}, devices); });
    const RegistryTree tree = source.Snapshot();
    const QString page = DevicePropertiesReport(tree, kDeviceKeyPrefix + QStringLiteral("CW0001"));
    EXPECT_TRUE(page.contains(QStringLiteral("COM Number: COM1"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("Status: OK")));
    EXPECT_TRUE(page.contains(QStringLiteral("USB Cable ID: CW0001")));
    EXPECT_TRUE(page.contains(QStringLiteral("ConfigFlags = 0x00000000 (0)")));
    EXPECT_TRUE(page.contains(QStringLiteral("PortName = COM1")));
    EXPECT_TRUE(page.contains(QStringLiteral("idVendor = 2a6f")));
    EXPECT_TRUE(page.contains(QStringLiteral("interface 1-1:1.0: driver cp210x")));

    const QString gone = DevicePropertiesReport(tree, kDeviceKeyPrefix + QStringLiteral("NONE"));
    EXPECT_TRUE(gone.contains(QStringLiteral("no longer installed")));
}
