#include "FakeSysfs.h"

#include <QDir>
#include <QFile>

FakeSysfs::FakeSysfs(QString root) : root_(std::move(root)) {
    QDir().mkpath(root_ + QStringLiteral("/bus/usb/devices"));
    QDir().mkpath(root_ + QStringLiteral("/class/tty"));
    QDir().mkpath(root_ + QStringLiteral("/module"));
}

void FakeSysfs::Write(const QString& path, const QString& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8() + "\n");
}

void FakeSysfs::AddCable(const FakeCable& cable) {
    const QString device = root_ + QStringLiteral("/bus/usb/devices/") + cable.name;
    QDir().mkpath(device);
    Write(device + QStringLiteral("/idVendor"), cable.vendor);
    Write(device + QStringLiteral("/idProduct"), cable.product);
    if (cable.hasSerial) Write(device + QStringLiteral("/serial"), cable.serial);
    Write(device + QStringLiteral("/authorized"), cable.authorized ? "1" : "0");
    Write(device + QStringLiteral("/manufacturer"), QStringLiteral("Silicon Labs"));
    Write(device + QStringLiteral("/product"), QStringLiteral("TR58 USB cable"));
    for (int i = 0; i < cable.drivers.size(); ++i) {
        const QString interface = device + QStringLiteral("/%1:1.%2").arg(cable.name).arg(i);
        QDir().mkpath(interface);
        const QString driverFolder = root_ + QStringLiteral("/bus/usb/drivers/") + cable.drivers[i];
        QDir().mkpath(driverFolder);
        QFile::link(driverFolder, interface + QStringLiteral("/driver"));
        if (i == 0 && !cable.tty.isEmpty()) {
            QDir().mkpath(interface + QLatin1Char('/') + cable.tty);
            AddTty(cable.tty);
        }
    }
}

void FakeSysfs::Unplug(const QString& name) {
    QDir(root_ + QStringLiteral("/bus/usb/devices/") + name).removeRecursively();
}

void FakeSysfs::SetAuthorized(const QString& name, bool authorized) {
    Write(root_ + QStringLiteral("/bus/usb/devices/") + name + QStringLiteral("/authorized"),
          authorized ? "1" : "0");
}

void FakeSysfs::LoadModule(const QString& module, const QString& version) {
    const QString folder = root_ + QStringLiteral("/module/") + module;
    QDir().mkpath(folder);
    if (!version.isEmpty()) Write(folder + QStringLiteral("/version"), version);
}

void FakeSysfs::AddTty(const QString& name) {
    QDir().mkpath(root_ + QStringLiteral("/class/tty/") + name);
}
