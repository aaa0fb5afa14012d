#pragma once
// The registry-shaped device tree of a Linux system, built from sysfs.
//
// A USB device under <root>/bus/usb/devices with idVendor 2a6f and idProduct
// 0200 is an instrument cable. Its serial number names its instance key
//   \HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\USB\Vid_2A6F&Pid_0200\<serial>
// with "ConfigFlags" (0 once a driver has been bound), "Device
// Parameters\PortName" (the COM name TR58 Link's COM mapping gives the cable's
// tty) and, while the cable is plugged in, "Control\DisableCount" (1 when
// "authorized" is 0). A cable whose interface is bound to cp210x, the current
// driver, is listed under Services\silabenm\Enum; one bound to the old
// generic USB-serial driver under Services\slabbus\Enum. The driver version
// key holds the cp210x module's version when the module is loaded.
// Cables seen before and unplugged now stay in the tree (CableHistory).

#include <QString>
#include <QStringList>
#include <functional>

#include "cablewatch/CableHistory.h"
#include "cablewatch/DeviceSource.h"
#include "link/ComPortMap.h"

namespace cablewatch {

// One cable found in sysfs.
struct SysfsCable {
    QString sysfsName;  // e.g. "1-1.2"
    QString sysfsPath;  // the device's folder
    QString serial;     // as the device reports it ("" when none)
    QString instance;   // the instance key's name
    bool authorized = true;
    QStringList drivers;  // drivers bound to its interfaces
    QString tty;          // e.g. "ttyUSB0"; "" when none
    QString manufacturer;
    QString product;
};

class SysfsDeviceSource : public DeviceSource {
public:
    // Gives the COM mapping for the tty devices present (paths "/dev/tty...").
    using PortMapProvider = std::function<ComPortMap(const QStringList& ttyDevices)>;

    // historyFile: where seen cables are remembered; empty for the default.
    // portMap: empty for TR58 Link's own mapping (its settings' "Ports"
    // entries, then the devices).
    explicit SysfsDeviceSource(QString sysfsRoot = QStringLiteral("/sys"),
                               QString historyFile = QString(),
                               PortMapProvider portMap = PortMapProvider());

    bool IsAvailable() const override;
    RegistryTree Snapshot() override;
    QString Root() const override { return root_; }
    const QString& HistoryFile() const { return historyFile_; }

    // The cables present under root, with their instance names decided.
    static QList<SysfsCable> FindCables(const QString& sysfsRoot);
    // The tty devices ("/dev/ttyUSB0", ...) the system has, by sysfs.
    static QStringList TtyDevices(const QString& sysfsRoot, const QList<SysfsCable>& cables);
    // TR58 Link's mapping: the "Ports" entries of its settings store, then
    // the devices in the usual order.
    static ComPortMap ProgramPortMap(const QStringList& ttyDevices);
    // A serial number fit to name a key: printable ASCII without "\", "/"
    // or ",", at most 128 characters.
    static bool IsUsableSerial(const QString& serial);

    static constexpr const char* kCurrentDriver = "cp210x";
    static const QStringList& ObsoleteDrivers();

private:
    QString root_;
    QString historyFile_;
    PortMapProvider portMap_;
};

}  // namespace cablewatch
