#include "cablewatch/DeviceProperties.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceStatus.h"

namespace cablewatch {

namespace {

QString ValueText(const RegistryTree& tree, const QString& key, const QString& name) {
    const auto data = tree.Value(key, name);
    if (!data) return QString();
    if (data->typeId() == QMetaType::UInt)
        return QStringLiteral("0x%1 (%2)")
            .arg(data->toUInt(), 8, 16, QLatin1Char('0'))
            .arg(data->toUInt());
    return data->toString();
}

void AppendKey(QString& out, const RegistryTree& tree, const QString& key, const QString& label,
               int depth) {
    if (depth > 8) return;
    out += QStringLiteral("\n[%1]\n").arg(label);
    for (const QString& name : tree.ValueNames(key))
        out += QStringLiteral("  %1 = %2\n")
                   .arg(name.isEmpty() ? QStringLiteral("(Default)") : name,
                        ValueText(tree, key, name));
    for (const QString& sub : tree.SubKeyNames(key))
        AppendKey(out, tree, key + QLatin1Char('\\') + sub, label + QLatin1Char('\\') + sub,
                  depth + 1);
}

QString Attribute(const QString& folder, const QString& name) {
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.read(4096)).trimmed();
}

}  // namespace

QString DevicePropertiesCommand(const QString& rowKey) {
    return QStringLiteral("/MachineName \"\" /DeviceID \"") + rowKey + QLatin1Char('"');
}

QString DeviceIdOfCommand(const QString& command) {
    static const QRegularExpression kDeviceId(QStringLiteral("/DeviceID\\s+\"([^\"]*)\""),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto match = kDeviceId.match(command);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString DevicePropertiesReport(const RegistryTree& tree, const QString& rowKey) {
    QString out;
    const CablewatchTexts& texts = Texts();
    out += texts.reportHeading + QLatin1Char('\n');
    out += texts.reportDeviceId.arg(rowKey) + QLatin1Char('\n');
    const QString key = kEnumRoot + rowKey;
    const auto state = EvaluateDevice(tree, rowKey);
    if (!state) {
        out += texts.reportNotInstalled + QLatin1Char('\n');
        return out;
    }
    out +=
        QStringLiteral("%1: %2\n").arg(texts.columnComNumber, state->portName.value_or(QString()));
    out += QStringLiteral("%1: %2\n").arg(texts.columnStatus, state->status);
    out += QStringLiteral("%1: %2\n").arg(texts.columnCableId, state->cableId);
    AppendKey(out, tree, key, rowKey, 0);

    const auto sysfsPath = tree.StringValue(key, QStringLiteral("SysfsPath"));
    if (sysfsPath && QFileInfo(*sysfsPath).isDir()) {
        out += QStringLiteral("\n[sysfs %1]\n").arg(*sysfsPath);
        for (const char* name : {"idVendor", "idProduct", "manufacturer", "product", "serial",
                                 "version", "speed", "busnum", "devnum", "authorized"}) {
            const QString value = Attribute(*sysfsPath, QLatin1String(name));
            if (!value.isEmpty())
                out += QStringLiteral("  %1 = %2\n").arg(QLatin1String(name), value);
        }
        const QDir dir(*sysfsPath);
        const QString prefix = dir.dirName() + QLatin1Char(':');
        for (const QString& sub : dir.entryList({prefix + QLatin1Char('*')},
                                                QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QFileInfo driver(dir.filePath(sub) + QStringLiteral("/driver"));
            const QString driverName =
                driver.isSymLink() ? QFileInfo(driver.symLinkTarget()).fileName() : QString();
            out += QStringLiteral("  interface %1: driver %2\n")
                       .arg(sub, driverName.isEmpty() ? QStringLiteral("(none)") : driverName);
        }
    }
    return out;
}

}  // namespace cablewatch
