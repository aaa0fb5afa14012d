#pragma once
// What one cable's row shows, decided from the registry-shaped device tree.

#include <QString>
#include <optional>

#include "cablewatch/RegistryTree.h"

namespace cablewatch {

struct DeviceState {
    QString status;
    int icon = 0;
    bool ghosted = false;
    // The "PortName" under "Device Parameters"; nullopt when the value is
    // missing (the row then keeps the port name it shows).
    std::optional<QString> portName;
    // The cable's serial identifier: the instance key's own name.
    QString cableId;
};

// Evaluates the device whose row key is rowKey ("USB\Vid_2A6F&Pid_0200\"
// followed by the instance name). The rules run in order and a later one
// wins: not present; listed by the current driver (OK); listed by the old
// bus driver (obsolete driver); no "ConfigFlags" (driver not installed);
// disabled by "ConfigFlags" bit 0 or a non-zero "Control\DisableCount".
// nullopt when the device's key does not exist.
std::optional<DeviceState> EvaluateDevice(const RegistryTree& tree, const QString& rowKey);

// True when one of the values under enumKey holds rowKey as its text,
// compared ignoring case.
bool ListedByDriver(const RegistryTree& tree, const QString& enumKey, const QString& rowKey);

}  // namespace cablewatch
