#include "link/LinkSettings.h"

#include "base/SettingsStore.h"
#include "link/LinkState.h"
#include "link/Port.h"

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
    if (selection >= 1) {
        SelectLanHost(state, selection);
    } else if (state.AutoDetect) {
        SelectAutoDetect(state);
    } else {
        SelectSerialPort(state,
                         state.ConfiguredPort == PortTarget::kLanPort ? 1 : state.ConfiguredPort);
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

void SaveRealTimeInterval(SettingsStore& store, qint32 seconds, qint16 unit) {
    store.WriteInt(QStringLiteral("LastInterval"), seconds);
    store.WriteInt(QStringLiteral("LastIntervalType"), unit);
}
