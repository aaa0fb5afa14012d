#include "app/SettingsStore.h"

#include "app/RecentFiles.h"
#include "link/LinkState.h"

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

void LoadLinkSettings(const SettingsStore& store, LinkState& state) {
    state.ConfiguredPort = static_cast<qint16>(store.ReadInt(QStringLiteral("Port"), 1));
    if (state.ConfiguredPort < 1 || state.ConfiguredPort > 17) state.ConfiguredPort = 1;
    state.AutoDetect = store.ReadBool(QStringLiteral("Auto"), true);
    for (int n = 1; n <= 8; ++n) {
        LanHost& host = state.LanHosts[static_cast<size_t>(n - 1)];
        host.host = store.Read(QStringLiteral("%1IP").arg(n));
        host.port = store.ReadInt(QStringLiteral("%1IPort").arg(n), 23);
        host.used = host.host.isEmpty() ? 0 : 1;
    }
    int selection = store.ReadInt(QStringLiteral("LastIP"), 0);
    if (selection > 8 || selection < 0) selection = 0;
    state.LanSelection = static_cast<qint16>(selection);
    state.strMsgReady = false;
    if (state.LanSelection < 1) {
        state.ConnectionType = Connection::kSerial;
        if (state.ConfiguredPort == 17) state.ConfiguredPort = 1;
    } else {
        state.ConnectionType = Connection::kLan;
        state.AutoDetect = false;
        state.ConfiguredPort = 17;
    }
}

void SavePortChoice(SettingsStore& store, const LinkState& state) {
    store.WriteInt(QStringLiteral("Port"), state.ConfiguredPort);
    store.WriteBool(QStringLiteral("Auto"), state.AutoDetect);
}

void SaveLinkSettings(SettingsStore& store, const LinkState& state) {
    SavePortChoice(store, state);
    for (int n = 1; n <= 8; ++n) {
        const LanHost& host = state.LanHosts[static_cast<size_t>(n - 1)];
        store.Write(QStringLiteral("%1IP").arg(n), host.host);
        store.WriteInt(QStringLiteral("%1IPort").arg(n), host.port);
    }
    store.WriteInt(QStringLiteral("LastIP"), state.LanSelection);
}

MainWindowSettings LoadMainWindowSettings(const SettingsStore& store, RecentFiles& recent) {
    MainWindowSettings m;
    m.left = store.ReadInt(QStringLiteral("MainLeft"), m.left);
    m.top = store.ReadInt(QStringLiteral("MainTop"), m.top);
    m.width = store.ReadInt(QStringLiteral("MainWidth"), m.width);
    m.height = store.ReadInt(QStringLiteral("MainHeight"), m.height);
    if (m.width <= 0) m.width = MainWindowSettings().width;
    if (m.height <= 0) m.height = MainWindowSettings().height;
    m.maximized = store.ReadBool(QStringLiteral("Maximized"), false);
    m.realTimeInterval = store.ReadInt(QStringLiteral("LastInterval"), 5);
    if (m.realTimeInterval < 1) m.realTimeInterval = 5;
    m.realTimeIntervalUnit = static_cast<qint16>(store.ReadInt(QStringLiteral("LastIntervalType"), 2));
    for (int i = 0; i < RecentFiles::kSlots; ++i)
        recent.Set(i, store.Read(QStringLiteral("mruFile%1").arg(i + 1)));
    return m;
}

void SaveMainWindowSettings(SettingsStore& store, WindowState state, const MainWindowSettings& geometry,
                            const RecentFiles& recent) {
    if (state == WindowState::Maximized) {
        store.WriteBool(QStringLiteral("Maximized"), true);
    } else if (state == WindowState::Normal) {
        store.WriteInt(QStringLiteral("MainLeft"), geometry.left);
        store.WriteInt(QStringLiteral("MainTop"), geometry.top);
        store.WriteInt(QStringLiteral("MainWidth"), geometry.width);
        store.WriteInt(QStringLiteral("MainHeight"), geometry.height);
        store.WriteBool(QStringLiteral("Maximized"), false);
    }
    for (int i = 0; i < RecentFiles::kSlots; ++i)
        store.Write(QStringLiteral("mruFile%1").arg(i + 1), recent.At(i));
}

void SaveRealTimeInterval(SettingsStore& store, qint32 seconds, qint16 unit) {
    store.WriteInt(QStringLiteral("LastInterval"), seconds);
    store.WriteInt(QStringLiteral("LastIntervalType"), unit);
}
