#pragma once
// The per-user settings store: values kept between runs, one text per key in
// the section "Settings", under the application title (an INI file in the
// user's configuration folder). A value that is missing or does not read as
// what is expected gives the default.

#include <QSettings>
#include <QString>
#include <memory>

struct LinkState;
class RecentFiles;

// The main window's place on the screen and the other values it reads at load.
// Coordinates are in twips (1/1440 inch), as the settings keep them.
struct MainWindowSettings {
    int left = 100;
    int top = 100;
    int width = 8505;
    int height = 7500;
    bool maximized = false;
    qint32 realTimeInterval = 5;     // seconds
    qint16 realTimeIntervalUnit = 2;  // 2 s, 4 min, 8 h
};

class SettingsStore {
public:
    // The store of applicationTitle ("TR58 Link", or the branding file's APPNAME).
    explicit SettingsStore(const QString& applicationTitle);
    // A store kept in the given INI file (tests, portable installs).
    static SettingsStore AtFile(const QString& iniPath);

    QString Read(const QString& key, const QString& defaultValue = QString()) const;
    qint32 ReadInt(const QString& key, qint32 defaultValue) const;
    // "True" / "False"; anything else gives the default.
    bool ReadBool(const QString& key, bool defaultValue) const;
    void Write(const QString& key, const QString& text);
    void WriteInt(const QString& key, qint64 value);
    void WriteBool(const QString& key, bool value);
    void Sync();
    QSettings& Raw() { return *settings_; }

private:
    explicit SettingsStore(std::unique_ptr<QSettings> settings);
    std::shared_ptr<QSettings> settings_;
};

// "MainLeft", "MainTop", "MainWidth", "MainHeight", "Maximized",
// "LastInterval", "LastIntervalType" and the recent files "mruFile1".."mruFile4".
MainWindowSettings LoadMainWindowSettings(const SettingsStore& store, RecentFiles& recent);
// The window's state on closing: maximised writes "Maximized" True; normal
// writes the four coordinates and "Maximized" False; minimised writes none of
// them. The recent files are written in every case.
enum class WindowState { Normal, Maximized, Minimized };
void SaveMainWindowSettings(SettingsStore& store, WindowState state, const MainWindowSettings& geometry,
                            const RecentFiles& recent);
// "LastInterval" and "LastIntervalType", written when the real-time settings are confirmed.
void SaveRealTimeInterval(SettingsStore& store, qint32 seconds, qint16 unit);

// The link's part of the settings: "Port", "Auto", the LAN hosts "1IP".."8IP"
// and "1IPort".."8IPort", and "LastIP" (0: serial; 1..8: that LAN host; any
// other value reads as 0). A LAN selection turns detection off and makes port
// 17 the configured one.
void LoadLinkSettings(const SettingsStore& store, LinkState& state);
// Writes "Port" and "Auto" (what choosing a port stores at once).
void SavePortChoice(SettingsStore& store, const LinkState& state);
// Writes "Port", "Auto", the eight LAN hosts and "LastIP".
void SaveLinkSettings(SettingsStore& store, const LinkState& state);
