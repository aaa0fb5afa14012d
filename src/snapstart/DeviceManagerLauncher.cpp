#include "snapstart/DeviceManagerLauncher.h"

#include <QProcess>
#include <QStandardPaths>

namespace snapstart {

const QList<ViewerCommand>& HardwareViewers() {
#ifdef Q_OS_WIN
    static const QList<ViewerCommand> kViewers = {
        {QStringLiteral("mmc"), {QStringLiteral("devmgmt.msc")}}};
#else
    // Desktop hardware browsers; each lists the USB devices.
    static const QList<ViewerCommand> kViewers = {
        {QStringLiteral("kinfocenter"), {}}, {QStringLiteral("hardinfo2"), {}},
        {QStringLiteral("hardinfo"), {}},    {QStringLiteral("lshw-gtk"), {}},
        {QStringLiteral("usbview"), {}},
    };
#endif
    return kViewers;
}

std::optional<ViewerCommand> FindHardwareViewer(const QStringList& searchPaths) {
    for (const ViewerCommand& viewer : HardwareViewers()) {
        const QString path = QStandardPaths::findExecutable(viewer.program, searchPaths);
        if (!path.isEmpty()) return ViewerCommand{path, viewer.arguments};
    }
    return std::nullopt;
}

void SetDeviceManagerEnvironment() {
    qputenv("DEVMGR_SHOW_NONPRESENT_DEVICES", "1");
    qputenv("DEVMGR_SHOW_DETAILS", "1");
}

bool OpenDeviceManager(const QStringList& searchPaths, qint64* pid) {
    SetDeviceManagerEnvironment();
    const auto viewer = FindHardwareViewer(searchPaths);
    if (!viewer) return false;
    // The viewer inherits this process's environment, the two variables
    // included, and outlives Snapstart.
    return QProcess::startDetached(viewer->program, viewer->arguments, QString(), pid);
}

}  // namespace snapstart
