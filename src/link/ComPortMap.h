#pragma once
// COM1..COM16 on a system that has no COM names. Explicit entries from the
// settings store (group "Ports", keys "COM1".."COM16", value a device path)
// win; the remaining numbers go, in order, to the USB serial devices
// (/dev/ttyUSB*, then /dev/ttyACM*, each by number) and then to /dev/ttyS*.
// So a USB cable to the instrument is found by detection with no set-up.

#include <QMap>
#include <QString>
#include <QStringList>

class QSettings;

class ComPortMap {
public:
    static constexpr int kFirstCom = 1;
    static constexpr int kLastCom = 16;

    ComPortMap() = default;
    // explicitEntries: COM number -> device path; devices: the device paths
    // present on the system, in any order.
    ComPortMap(const QMap<int, QString>& explicitEntries, const QStringList& devices);

    // The map of this system: the "Ports" group of settings and /dev.
    static ComPortMap FromSystem(QSettings& settings, const QString& devFolder = "/dev");
    // The explicit entries stored in settings.
    static QMap<int, QString> ReadExplicitEntries(QSettings& settings);

    // Device path of COMn; empty when nothing is mapped to it.
    QString Device(int comNumber) const;
    // COM number of a device path; 0 when the device has none.
    int ComNumber(const QString& device) const;
    const QMap<int, QString>& Entries() const { return entries_; }

private:
    QMap<int, QString> entries_;
};
