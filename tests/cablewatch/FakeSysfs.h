#pragma once
// A sysfs tree made by the tests in a temporary folder: USB devices with
// their attributes, interfaces bound to drivers (symbolic links, as in sysfs),
// their ttys, and loaded modules.

#include <QString>
#include <QStringList>

struct FakeCable {
    QString name = QStringLiteral("1-1");  // the device folder, e.g. "1-1.2"
    QString vendor = QStringLiteral("2a6f");
    QString product = QStringLiteral("0200");
    QString serial;  // not written when hasSerial is false
    bool hasSerial = true;
    bool authorized = true;
    QStringList drivers = {QStringLiteral("cp210x")};  // one interface each
    QString tty = QStringLiteral("ttyUSB0");           // on the first interface; "" for none
};

class FakeSysfs {
public:
    explicit FakeSysfs(QString root);
    const QString& Root() const { return root_; }

    void AddCable(const FakeCable& cable);
    void Unplug(const QString& name);
    void SetAuthorized(const QString& name, bool authorized);
    // A loaded module, with a version file when version is not empty.
    void LoadModule(const QString& module, const QString& version = QString());
    void AddTty(const QString& name);  // an entry under class/tty

private:
    void Write(const QString& path, const QString& text);
    QString root_;
};
