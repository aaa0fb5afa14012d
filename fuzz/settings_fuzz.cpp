// Fuzz target: the settings store read from any INI file (SettingsStore::AtFile), as the program
// and tr58 read it at start: the link settings (port, detection, the LAN host list), the main
// window's place and recent files, and the [Ports] entries of the COM map. What is read and saved
// again reads back the same.

#include <QDir>

#include "QtFuzz.h"
#include "app/MainWindowSettings.h"
#include "app/RecentFiles.h"
#include "base/SettingsStore.h"
#include "link/ComPortMap.h"
#include "link/LinkSettings.h"
#include "link/LinkState.h"

using fuzz::Check;

namespace {

void CheckState(const LinkState& state) {
    Check(state.ConfiguredPort >= 1 && state.ConfiguredPort <= 17);
    Check(state.LanSelection >= 0 && state.LanSelection <= 9);
    for (const LanHost& host : state.LanHosts) Check(host.used == (host.host.isEmpty() ? 0 : 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartQt();
    const QString path = fuzz::WriteScratchFile(QStringLiteral("settings.ini"), data, size);
    LinkState state;
    {
        const SettingsStore store = SettingsStore::AtFile(path);
        LoadLinkSettings(store, state);
        CheckState(state);
        RecentFiles recent;
        (void)LoadMainWindowSettings(store, recent);
        SettingsStore raw = SettingsStore::AtFile(path);
        const QMap<int, QString> ports = ComPortMap::ReadExplicitEntries(raw.Raw());
        for (auto it = ports.begin(); it != ports.end(); ++it)
            Check(it.key() >= 1 && it.key() <= 16);
        (void)ComPortMap::FromSystem(raw.Raw(), fuzz::Scratch() + QStringLiteral("/dev"));
    }

    // Saved and read again: the same LAN hosts.
    const QString again = fuzz::Scratch() + QStringLiteral("/saved.ini");
    QFile::remove(again);
    {
        SettingsStore store = SettingsStore::AtFile(again);
        SaveLinkSettings(store, state);
        store.Sync();
    }
    LinkState reread;
    LoadLinkSettings(SettingsStore::AtFile(again), reread);
    CheckState(reread);
    for (size_t n = 0; n < 8; ++n) {
        Check(reread.LanHosts[n].host == state.LanHosts[n].host);
        Check(reread.LanHosts[n].port == state.LanHosts[n].port);
    }
    return 0;
}
