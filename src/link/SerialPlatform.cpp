#include "link/SerialPlatform.h"

#include <QFile>

#if defined(Q_OS_UNIX)
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace SerialPlatform {

qint64 DriverOutputQueue(qintptr handle) {
#if defined(Q_OS_UNIX) && defined(TIOCOUTQ)
    if (handle < 0) return 0;
    int queued = 0;
    if (::ioctl(static_cast<int>(handle), TIOCOUTQ, &queued) != 0 || queued < 0) return 0;
    return queued;
#else
    Q_UNUSED(handle);
    return 0;
#endif
}

bool MayOpenReadWrite(const QString& path) {
#if defined(Q_OS_UNIX)
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
#else
    Q_UNUSED(path);
    return true;
#endif
}

}  // namespace SerialPlatform
