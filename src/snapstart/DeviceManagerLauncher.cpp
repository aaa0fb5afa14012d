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

Launch LaunchDeviceManager(const QStringList& searchPaths, qint64* pid) {
    SetDeviceManagerEnvironment();
    const auto viewer = FindHardwareViewer(searchPaths);
    if (!viewer) return {LaunchResult::NoViewer, QString()};
    // The viewer inherits this process's environment, the two variables
    // included, and outlives Snapstart.
    const bool started =
        QProcess::startDetached(viewer->program, viewer->arguments, QString(), pid);
    return {started ? LaunchResult::Started : LaunchResult::NotStarted, viewer->program};
}

bool OpenDeviceManager(const QStringList& searchPaths, qint64* pid) {
    return LaunchDeviceManager(searchPaths, pid).result == LaunchResult::Started;
}

QString LaunchReport(const Launch& launch, const QStringList& searchPaths) {
    if (launch.result == LaunchResult::Started) return QString();
    if (launch.result == LaunchResult::NotStarted)
        return QStringLiteral(
                   "snapstart: the hardware viewer %1 was found but could not be "
                   "started.\n")
            .arg(launch.program);
    QStringList names;
    for (const ViewerCommand& viewer : HardwareViewers()) names << viewer.program;
    const QString where =
        searchPaths.isEmpty()
            ? QStringLiteral("the PATH (%1)").arg(QString::fromLocal8Bit(qgetenv("PATH")))
            : searchPaths.join(QLatin1Char(':'));
    return QStringLiteral(
               "snapstart: no hardware viewer is installed.\n"
               "Looked for: %1\n"
               "In: %2\n"
               "Install one of them to see the instrument cables the computer "
               "knows.\n")
        .arg(names.join(QStringLiteral(", ")), where);
}

QString SnapstartUsage() {
    QStringList names;
    for (const ViewerCommand& viewer : HardwareViewers()) names << viewer.program;
    return QStringLiteral(
               "Usage: snapstart [--help]\n"
               "\n"
               "Opens the desktop's hardware viewer with devices that are not plugged in\n"
               "now also listed and their details shown (DEVMGR_SHOW_NONPRESENT_DEVICES=1,\n"
               "DEVMGR_SHOW_DETAILS=1), then ends. Cablewatch starts it from its\n"
               "\"Device Manager...\" button.\n"
               "\n"
               "Viewers tried, in this order, in the PATH: %1\n"
               "\n"
               "Exit status: 0 the viewer was started; %2 none is installed; %3 the viewer\n"
               "could not be started; %4 an unknown argument. In the last three cases the\n"
               "reason is printed on the error output.\n")
        .arg(names.join(QStringLiteral(", ")))
        .arg(kExitNoViewer)
        .arg(kExitNotStarted)
        .arg(kExitUsage);
}

}  // namespace snapstart
