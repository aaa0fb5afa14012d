#include "cablewatch/CableHistory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace cablewatch {

namespace {

constexpr qint64 kMaxFileSize = 4 << 20;

}  // namespace

QString CableHistory::DefaultFile(const QString& sysfsRoot) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/TR58 Link");
    const QString canonical = QFileInfo(sysfsRoot).canonicalFilePath();
    const QString root = canonical.isEmpty() ? QDir::cleanPath(sysfsRoot) : canonical;
    if (root == QLatin1String("/sys")) return folder + QStringLiteral("/cablewatch-cables.json");
    const QByteArray hash =
        QCryptographicHash::hash(root.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return folder + QStringLiteral("/cablewatch-cables-%1.json").arg(QString::fromLatin1(hash));
}

CableHistory CableHistory::Load(const QString& file) {
    CableHistory history;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxFileSize) return history;
    const QJsonDocument doc = QJsonDocument::fromJson(in.readAll());
    const QJsonArray cables = doc.object().value(QStringLiteral("cables")).toArray();
    for (const QJsonValue& value : cables) {
        const QJsonObject object = value.toObject();
        CableRecord record;
        record.instance = object.value(QStringLiteral("instance")).toString();
        if (record.instance.isEmpty() || record.instance.contains(QLatin1Char('\\'))) continue;
        const QJsonValue port = object.value(QStringLiteral("portName"));
        if (port.isString()) record.portName = port.toString();
        record.driverInstalled = object.value(QStringLiteral("driverInstalled")).toBool();
        history.Remember(record);
    }
    return history;
}

bool CableHistory::Save(const QString& file) const {
    QJsonArray cables;
    for (const CableRecord& record : records_) {
        QJsonObject object;
        object.insert(QStringLiteral("instance"), record.instance);
        if (record.portName) object.insert(QStringLiteral("portName"), *record.portName);
        object.insert(QStringLiteral("driverInstalled"), record.driverInstalled);
        cables.append(object);
    }
    QJsonObject root;
    root.insert(QStringLiteral("cables"), cables);
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(QJsonDocument(root).toJson());
    return out.commit();
}

const CableRecord* CableHistory::Find(const QString& instance) const {
    for (const CableRecord& record : records_)
        if (record.instance.compare(instance, Qt::CaseInsensitive) == 0) return &record;
    return nullptr;
}

bool CableHistory::Remember(const CableRecord& record) {
    for (CableRecord& known : records_) {
        if (known.instance.compare(record.instance, Qt::CaseInsensitive) != 0) continue;
        if (known.portName == record.portName && known.driverInstalled == record.driverInstalled)
            return false;
        known.portName = record.portName;
        known.driverInstalled = record.driverInstalled;
        return true;
    }
    records_.append(record);
    while (records_.size() > kMaxRecords) records_.removeFirst();
    return true;
}

}  // namespace cablewatch
