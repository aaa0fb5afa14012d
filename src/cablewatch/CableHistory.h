#pragma once
// The cables this computer has seen. The system's device tree only shows the
// cables plugged in now; Cablewatch lists every cable ever installed, so it
// remembers each one (its instance name, the last port name it had, whether a
// driver was ever bound to it) in a small JSON file and keeps the entry when
// the cable is unplugged. Removing an entry from the file makes Cablewatch
// forget the cable, as uninstalling a device does.

#include <QList>
#include <QString>
#include <optional>

namespace cablewatch {

struct CableRecord {
    QString instance;                 // the instance key's name
    std::optional<QString> portName;  // the last port name; nullopt: never had one
    bool driverInstalled = false;     // a driver has been bound to it at least once
};

class CableHistory {
public:
    // The default file for the tree at sysfsRoot: the system's own tree has
    // one file in the user's data folder; any other root one of its own.
    static QString DefaultFile(const QString& sysfsRoot);

    // A missing, unreadable or malformed file gives an empty history.
    static CableHistory Load(const QString& file);
    // false when the file could not be written (the old one is kept).
    bool Save(const QString& file) const;

    const QList<CableRecord>& Records() const { return records_; }
    // The record of instance (ignoring case); nullptr when none.
    const CableRecord* Find(const QString& instance) const;
    // Adds or updates a record; true when anything changed.
    bool Remember(const CableRecord& record);

    // At most this many cables are kept; beyond it the oldest entries go.
    static constexpr int kMaxRecords = 512;

private:
    QList<CableRecord> records_;
};

}  // namespace cablewatch
