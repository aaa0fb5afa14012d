#include "cablewatch/DeviceSource.h"

#include <QFileInfo>

namespace cablewatch {

bool DirectoryDeviceSource::IsAvailable() const {
    const QFileInfo info(folder_);
    return info.isDir() && info.isReadable();
}

}  // namespace cablewatch
