#include "base/SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Settings/");
}

SettingsStore::SettingsStore(const QString& applicationTitle)
    : settings_(std::make_shared<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            applicationTitle)) {}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

SettingsStore SettingsStore::AtFile(const QString& iniPath) {
    return SettingsStore(std::make_unique<QSettings>(iniPath, QSettings::IniFormat));
}

QString SettingsStore::Read(const QString& key, const QString& defaultValue) const {
    const QVariant value = settings_->value(kSection + key);
    return value.isValid() ? value.toString() : defaultValue;
}

qint32 SettingsStore::ReadInt(const QString& key, qint32 defaultValue) const {
    bool ok = false;
    const qint32 value = Read(key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool SettingsStore::ReadBool(const QString& key, bool defaultValue) const {
    const QString text = Read(key).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    return defaultValue;
}

void SettingsStore::Write(const QString& key, const QString& text) {
    settings_->setValue(kSection + key, text);
}

void SettingsStore::WriteInt(const QString& key, qint64 value) {
    Write(key, QString::number(value));
}

void SettingsStore::WriteBool(const QString& key, bool value) {
    Write(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void SettingsStore::Sync() {
    settings_->sync();
}
