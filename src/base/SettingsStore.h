#pragma once
// The per-user settings store: values kept between runs, one text per key in
// the section "Settings", under the application title (an INI file in the
// user's configuration folder). A value that is missing or does not read as
// what is expected gives the default.

#include <QSettings>
#include <QString>
#include <memory>

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
