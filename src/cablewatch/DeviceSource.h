#pragma once
// Where Cablewatch's registry-shaped device tree comes from: the running
// system (SysfsDeviceSource) or a tree saved in a folder
// (DirectoryDeviceSource), read anew on every update.

#include <QString>

#include "cablewatch/RegistryTree.h"

namespace cablewatch {

class DeviceSource {
public:
    virtual ~DeviceSource() = default;
    // False when the tree cannot be read at all; Cablewatch then asks for a
    // restart and ends.
    virtual bool IsAvailable() const = 0;
    // The tree as it is now.
    virtual RegistryTree Snapshot() = 0;
    // The folder the tree is read from (names the single-instance socket).
    virtual QString Root() const = 0;
};

class DirectoryDeviceSource : public DeviceSource {
public:
    explicit DirectoryDeviceSource(QString folder) : folder_(std::move(folder)) {}
    bool IsAvailable() const override;
    RegistryTree Snapshot() override { return RegistryTree::LoadFromDirectory(folder_); }
    QString Root() const override { return folder_; }

private:
    QString folder_;
};

}  // namespace cablewatch
