#include "app/MainWindowSettings.h"

#include "app/RecentFiles.h"
#include "base/SettingsStore.h"

MainWindowSettings LoadMainWindowSettings(const SettingsStore& store, RecentFiles& recent) {
    MainWindowSettings m;
    m.left = store.ReadInt(QStringLiteral("MainLeft"), m.left);
    m.top = store.ReadInt(QStringLiteral("MainTop"), m.top);
    m.width = store.ReadInt(QStringLiteral("MainWidth"), m.width);
    m.height = store.ReadInt(QStringLiteral("MainHeight"), m.height);
    m.stored = store.ReadInt(QStringLiteral("MainWidth"), 0) > 0 &&
               store.ReadInt(QStringLiteral("MainHeight"), 0) > 0;
    if (m.width <= 0) m.width = MainWindowSettings().width;
    if (m.height <= 0) m.height = MainWindowSettings().height;
    m.maximized = store.ReadBool(QStringLiteral("Maximized"), false);
    m.realTimeInterval = store.ReadInt(QStringLiteral("LastInterval"), 5);
    if (m.realTimeInterval < 1) m.realTimeInterval = 5;
    m.realTimeIntervalUnit =
        static_cast<qint16>(store.ReadInt(QStringLiteral("LastIntervalType"), 2));
    for (int i = 0; i < RecentFiles::kSlots; ++i)
        recent.Set(i, store.Read(QStringLiteral("mruFile%1").arg(i + 1)));
    return m;
}

void SaveMainWindowSettings(SettingsStore& store, WindowState state,
                            const MainWindowSettings& geometry, const RecentFiles& recent) {
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
