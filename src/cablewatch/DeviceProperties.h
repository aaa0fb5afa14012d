#pragma once
// The device's property sheet. The command text is the one the system's
// property-sheet entry point takes; on a desktop without that entry point the
// sheet is a plain-text page of the device's values (and, for a cable plugged
// in now, its sysfs attributes), shown in Cablewatch's own properties window.

#include <QString>

#include "cablewatch/RegistryTree.h"

namespace cablewatch {

// /MachineName "" /DeviceID "<rowKey>"
QString DevicePropertiesCommand(const QString& rowKey);
// The device id of such a command text; "" when it holds none.
QString DeviceIdOfCommand(const QString& command);

// The page shown for the device rowKey: its state, port and cable ID, every
// value of its key and sub-keys, and the sysfs attributes of the device's
// folder when the tree gives one ("SysfsPath").
QString DevicePropertiesReport(const RegistryTree& tree, const QString& rowKey);

}  // namespace cablewatch
