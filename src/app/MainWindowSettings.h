#pragma once
// The main window's values in the settings store.

#include <QtGlobal>

class RecentFiles;
class SettingsStore;

// The main window's place on the screen and the other values it reads at load.
// Coordinates are in twips (1/1440 inch), as the settings keep them.
struct MainWindowSettings {
    int left = 100;
    int top = 100;
    int width = 8505;
    int height = 7500;
    bool maximized = false;
    // False at a first start: no place is stored yet (see FirstStartGeometry).
    bool stored = true;
    qint32 realTimeInterval = 5;      // seconds
    qint16 realTimeIntervalUnit = 2;  // 2 s, 4 min, 8 h
};

// "MainLeft", "MainTop", "MainWidth", "MainHeight", "Maximized",
// "LastInterval", "LastIntervalType" and the recent files "mruFile1".."mruFile4".
MainWindowSettings LoadMainWindowSettings(const SettingsStore& store, RecentFiles& recent);
// The window's state on closing: maximised writes "Maximized" True; normal
// writes the four coordinates and "Maximized" False; minimised writes none of
// them. The recent files are written in every case.
enum class WindowState { Normal, Maximized, Minimized };
void SaveMainWindowSettings(SettingsStore& store, WindowState state,
                            const MainWindowSettings& geometry, const RecentFiles& recent);
