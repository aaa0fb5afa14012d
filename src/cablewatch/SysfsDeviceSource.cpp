#include "cablewatch/SysfsDeviceSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include "base/Branding.h"
#include "base/ProgramDataFolder.h"
#include "base/SettingsStore.h"
#include "cablewatch/CablewatchTexts.h"

namespace cablewatch {

namespace {

// A sysfs attribute is one short line; a stray large file is cut off.
QString ReadAttribute(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.read(4096)).trimmed();
}

bool IsInstrumentCable(const QString& folder) {
    return ReadAttribute(folder + QStringLiteral("/idVendor"))
                   .compare(QLatin1String("2a6f"), Qt::CaseInsensitive) == 0 &&
           ReadAttribute(folder + QStringLiteral("/idProduct"))
                   .compare(QLatin1String("0200"), Qt::CaseInsensitive) == 0;
}

// The tty of an interface: a "ttyUSB0" folder (usb-serial drivers) or
// "tty/ttyACM0" (the modem class driver).
QString InterfaceTty(const QString& interfaceFolder) {
    static const QRegularExpression kTty(QStringLiteral("^tty[A-Za-z]+\\d+$"));
    const QDir dir(interfaceFolder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (kTty.match(name).hasMatch()) return name;
    const QDir ttyDir(dir.filePath(QStringLiteral("tty")));
    for (const QString& name : ttyDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (kTty.match(name).hasMatch()) return name;
    return QString();
}

QString BoundDriver(const QString& interfaceFolder) {
    const QFileInfo link(interfaceFolder + QStringLiteral("/driver"));
    if (!link.isSymLink()) return QString();
    return QFileInfo(link.symLinkTarget()).fileName();
}

void FillEnum(RegistryTree& tree, const QString& enumKey, const QStringList& rowKeys) {
    tree.CreateKey(enumKey);
    for (int i = 0; i < rowKeys.size(); ++i)
        tree.SetString(enumKey, QString::number(i), rowKeys[i]);
    tree.SetDword(enumKey, QStringLiteral("Count"), rowKeys.size());
    tree.SetDword(enumKey, QStringLiteral("NextInstance"), rowKeys.size());
}

// The registry spells the instance as "USB\VID_2A6F&PID_0200\<serial>" in
// the drivers' lists; Cablewatch compares ignoring case.
QString EnumEntry(const QString& instance) {
    return QStringLiteral("USB\\VID_2A6F&PID_0200\\") + instance;
}

}  // namespace

const QStringList& SysfsDeviceSource::ObsoleteDrivers() {
    static const QStringList kDrivers = {QStringLiteral("usbserial_generic"),
                                         QStringLiteral("usbserial")};
    return kDrivers;
}

SysfsDeviceSource::SysfsDeviceSource(QString sysfsRoot, QString historyFile,
                                     PortMapProvider portMap)
    : root_(sysfsRoot.isEmpty() ? QStringLiteral("/sys") : std::move(sysfsRoot)),
      historyFile_(historyFile.isEmpty() ? CableHistory::DefaultFile(root_)
                                         : std::move(historyFile)),
      portMap_(portMap ? std::move(portMap) : PortMapProvider(&ProgramPortMap)) {}

bool SysfsDeviceSource::IsAvailable() const {
    const QFileInfo info(root_);
    return info.isDir() && info.isReadable();
}

bool SysfsDeviceSource::IsUsableSerial(const QString& serial) {
    if (serial.isEmpty() || serial.size() > 128) return false;
    for (const QChar c : serial) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f) return false;
        if (c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char(',')) return false;
    }
    return true;
}

QList<SysfsCable> SysfsDeviceSource::FindCables(const QString& sysfsRoot) {
    QList<SysfsCable> cables;
    const QDir devices(sysfsRoot + QStringLiteral("/bus/usb/devices"));
    // Device folders only: interfaces ("1-1:1.0") are read through their
    // device.
    const QStringList names =
        devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& name : names) {
        if (name.contains(QLatin1Char(':'))) continue;
        const QString folder = devices.filePath(name);
        if (!IsInstrumentCable(folder)) continue;
        SysfsCable cable;
        cable.sysfsName = name;
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        cable.sysfsPath = canonical.isEmpty() ? folder : canonical;
        cable.serial = ReadAttribute(folder + QStringLiteral("/serial"));
        cable.authorized =
            ReadAttribute(folder + QStringLiteral("/authorized")) != QLatin1String("0");
        cable.manufacturer = ReadAttribute(folder + QStringLiteral("/manufacturer"));
        cable.product = ReadAttribute(folder + QStringLiteral("/product"));
        // Interfaces sit inside the device's folder and beside it in the bus
        // list; either is enough.
        QStringList interfaceFolders;
        const QString prefix = name + QLatin1Char(':');
        for (const QString& sub : QDir(folder).entryList(
                 {prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            interfaceFolders << QDir(folder).filePath(sub);
        if (interfaceFolders.isEmpty()) {
            for (const QString& sub : devices.entryList(
                     {prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
                interfaceFolders << devices.filePath(sub);
        }
        for (const QString& interfaceFolder : interfaceFolders) {
            const QString driver = BoundDriver(interfaceFolder);
            if (!driver.isEmpty() && !cable.drivers.contains(driver)) cable.drivers << driver;
            if (cable.tty.isEmpty()) cable.tty = InterfaceTty(interfaceFolder);
        }
        cables << cable;
    }

    // Instance names: the serial number when it can name a key and no other
    // cable has it; otherwise one made from the cable's place on the bus.
    QStringList used;
    for (SysfsCable& cable : cables) {
        QString instance = IsUsableSerial(cable.serial) ? cable.serial : QString();
        if (instance.isEmpty())
            instance = QLatin1Char('&') + cable.sysfsName;
        else if (used.contains(instance, Qt::CaseInsensitive))
            instance += QLatin1Char('&') + cable.sysfsName;
        cable.instance = instance;
        used << instance;
    }
    return cables;
}

QStringList SysfsDeviceSource::TtyDevices(const QString& sysfsRoot,
                                          const QList<SysfsCable>& cables) {
    static const QRegularExpression kSerialTty(QStringLiteral("^tty(USB|ACM|S)\\d+$"));
    QStringList devices;
    const QDir ttyClass(sysfsRoot + QStringLiteral("/class/tty"));
    for (const QString& name :
         ttyClass.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name))
        if (kSerialTty.match(name).hasMatch()) devices << QStringLiteral("/dev/") + name;
    for (const SysfsCable& cable : cables) {
        const QString device = QStringLiteral("/dev/") + cable.tty;
        if (!cable.tty.isEmpty() && !devices.contains(device)) devices << device;
    }
    return devices;
}

ComPortMap SysfsDeviceSource::ProgramPortMap(const QStringList& ttyDevices) {
    // The program's own settings store, so a cable gets the COM name the
    // program uses for it.
    SettingsStore store(ApplicationTitle(ReadBranding(ProgramDataFolder())));
    return ComPortMap(ComPortMap::ReadExplicitEntries(store.Raw()), ttyDevices);
}

RegistryTree SysfsDeviceSource::Snapshot() {
    RegistryTree tree;
    const QList<SysfsCable> cables = FindCables(root_);
    const ComPortMap map = portMap_(TtyDevices(root_, cables));

    // Remember what is plugged in now; an unplugged cable keeps its record.
    CableHistory history = CableHistory::Load(historyFile_);
    bool changed = false;
    for (const SysfsCable& cable : cables) {
        const CableRecord* known = history.Find(cable.instance);
        CableRecord record;
        record.instance = known ? known->instance : cable.instance;
        record.portName = known ? known->portName : std::nullopt;
        record.driverInstalled = known && known->driverInstalled;
        for (const QString& driver : cable.drivers)
            if (driver == QLatin1String(kCurrentDriver) || ObsoleteDrivers().contains(driver))
                record.driverInstalled = true;
        // A tty beyond COM16 has no COM name: the port name is then empty.
        if (!cable.tty.isEmpty()) {
            const int com = map.ComNumber(QStringLiteral("/dev/") + cable.tty);
            record.portName = com > 0 ? QStringLiteral("COM%1").arg(com) : QString();
        }
        changed |= history.Remember(record);
    }
    if (changed) history.Save(historyFile_);

    const QString deviceFolder = kEnumRoot + kDeviceFolder;
    tree.CreateKey(deviceFolder);
    for (const CableRecord& record : history.Records()) {
        const QString key = deviceFolder + QLatin1Char('\\') + record.instance;
        tree.CreateKey(key);
        if (record.driverInstalled) tree.SetDword(key, kConfigFlags, 0);
        if (record.portName)
            tree.SetString(key + QLatin1Char('\\') + kDeviceParametersKey, kPortName,
                           *record.portName);
    }

    QStringList current;
    QStringList obsolete;
    for (const SysfsCable& cable : cables) {
        const QString key = deviceFolder + QLatin1Char('\\') + cable.instance;
        tree.SetDword(key + QLatin1Char('\\') + kControlKey, kDisableCount,
                      cable.authorized ? 0 : 1);
        tree.SetString(key, QStringLiteral("SysfsPath"), cable.sysfsPath);
        if (!cable.product.isEmpty())
            tree.SetString(key, QStringLiteral("DeviceDesc"), cable.product);
        if (!cable.manufacturer.isEmpty())
            tree.SetString(key, QStringLiteral("Mfg"), cable.manufacturer);
        if (!cable.tty.isEmpty())
            tree.SetString(key + QLatin1Char('\\') + kDeviceParametersKey,
                           QStringLiteral("DeviceNode"), QStringLiteral("/dev/") + cable.tty);
        if (cable.drivers.contains(QLatin1String(kCurrentDriver)))
            current << EnumEntry(cable.instance);
        for (const QString& driver : ObsoleteDrivers()) {
            if (cable.drivers.contains(driver)) {
                obsolete << EnumEntry(cable.instance);
                break;
            }
        }
    }
    const QString modules = root_ + QStringLiteral("/module/");
    const bool currentLoaded = QFileInfo(modules + QLatin1String(kCurrentDriver)).isDir();
    if (currentLoaded || !current.isEmpty()) FillEnum(tree, kCurrentDriverEnum, current);
    bool obsoleteLoaded = !obsolete.isEmpty();
    for (const QString& driver : ObsoleteDrivers())
        obsoleteLoaded |= QFileInfo(modules + driver).isDir();
    if (obsoleteLoaded) FillEnum(tree, kObsoleteDriverEnum, obsolete);

    // The driver's version: the module's own when it has one; an in-tree
    // driver carries the running kernel's.
    if (currentLoaded) {
        tree.CreateKey(kDriverVersionKey);
        QString version =
            ReadAttribute(modules + QLatin1String(kCurrentDriver) + QStringLiteral("/version"));
        const QString canonical = QFileInfo(root_).canonicalFilePath();
        if (version.isEmpty() && canonical == QLatin1String("/sys"))
            version = QSysInfo::kernelVersion();
        if (!version.isEmpty()) tree.SetString(kDriverVersionKey, kDriverVersion, version);
    }
    return tree;
}

}  // namespace cablewatch
