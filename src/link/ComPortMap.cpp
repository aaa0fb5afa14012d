#include "link/ComPortMap.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>

namespace {

// Sort key of an automatically mapped device: USB adapters first (ttyUSB, then
// ttyACM), then the built-in ttyS ports, each by its number.
struct DeviceKey {
    int kind = 0;
    int number = 0;
    QString path;
};

bool KeyOf(const QString& path, DeviceKey& key) {
    static const QRegularExpression re(QStringLiteral("/tty(USB|ACM|S)(\\d+)$"));
    const auto m = re.match(path);
    if (!m.hasMatch()) return false;
    const QString kind = m.captured(1);
    key.kind = kind == QLatin1String("USB") ? 0 : kind == QLatin1String("ACM") ? 1 : 2;
    key.number = m.captured(2).toInt();
    key.path = path;
    return true;
}

}  // namespace

ComPortMap::ComPortMap(const QMap<int, QString>& explicitEntries, const QStringList& devices) {
    for (auto it = explicitEntries.begin(); it != explicitEntries.end(); ++it) {
        if (it.key() >= kFirstCom && it.key() <= kLastCom && !it.value().isEmpty())
            entries_.insert(it.key(), it.value());
    }
    std::vector<DeviceKey> automatic;
    for (const QString& device : devices) {
        DeviceKey key;
        if (KeyOf(device, key) &&
            std::find(entries_.begin(), entries_.end(), device) == entries_.end())
            automatic.push_back(key);
    }
    std::sort(automatic.begin(), automatic.end(), [](const DeviceKey& a, const DeviceKey& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.number < b.number;
    });
    int com = kFirstCom;
    for (const DeviceKey& key : automatic) {
        while (com <= kLastCom && entries_.contains(com)) ++com;
        if (com > kLastCom) break;
        entries_.insert(com, key.path);
    }
}

QMap<int, QString> ComPortMap::ReadExplicitEntries(QSettings& settings) {
    QMap<int, QString> entries;
    settings.beginGroup(QStringLiteral("Ports"));
    for (int com = kFirstCom; com <= kLastCom; ++com) {
        const QString device =
            settings.value(QStringLiteral("COM%1").arg(com)).toString().trimmed();
        if (!device.isEmpty()) entries.insert(com, device);
    }
    settings.endGroup();
    return entries;
}

ComPortMap ComPortMap::FromSystem(QSettings& settings, const QString& devFolder) {
    QStringList devices;
    const QDir dev(devFolder);
    const QStringList names = dev.entryList(
        {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")},
        QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) devices << dev.absoluteFilePath(name);
    return ComPortMap(ReadExplicitEntries(settings), devices);
}

QString ComPortMap::Device(int comNumber) const {
    return entries_.value(comNumber);
}

int ComPortMap::ComNumber(const QString& device) const {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it.value() == device) return it.key();
    return 0;
}
