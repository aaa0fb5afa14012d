// Snapstart: opens the desktop's hardware viewer with devices not plugged in
// shown and the details page on, then ends. Nothing is reported: a desktop
// without a viewer simply gets none.
#include <QCoreApplication>

#include "snapstart/DeviceManagerLauncher.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    snapstart::OpenDeviceManager();
    return 0;
}
