// Snapstart: opens the desktop's hardware viewer with devices not plugged in
// shown and the details page on, then ends. When it started none it says what
// it looked for and ends with a non-zero status, so Cablewatch can tell the
// user.
#include <QCoreApplication>
#include <cstdio>

#include "snapstart/DeviceManagerLauncher.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(snapstart::SnapstartUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!args.isEmpty()) {
        std::fprintf(stderr, "snapstart: unknown argument %s\n\n%s",
                     args.first().toLocal8Bit().constData(),
                     snapstart::SnapstartUsage().toLocal8Bit().constData());
        return snapstart::kExitUsage;
    }
    const snapstart::Launch launch = snapstart::LaunchDeviceManager();
    switch (launch.result) {
        case snapstart::LaunchResult::Started:
            return 0;
        case snapstart::LaunchResult::NoViewer:
            std::fputs(snapstart::LaunchReport(launch).toLocal8Bit().constData(), stderr);
            return snapstart::kExitNoViewer;
        case snapstart::LaunchResult::NotStarted:
            std::fputs(snapstart::LaunchReport(launch).toLocal8Bit().constData(), stderr);
            return snapstart::kExitNotStarted;
    }
    return 0;
}
