#include "realtime/DiskPlatform.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace DiskPlatform {

bool SyncFile(int handle) {
    if (handle < 0) return false;
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

void SyncFolder(const QString& folder) {
#ifdef Q_OS_WIN
    Q_UNUSED(folder);  // the file system records the name with the file
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

}  // namespace DiskPlatform
