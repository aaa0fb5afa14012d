// Cablewatch: lists the Halvion USB Instrument cables this computer has seen,
// with their COM ports, and serves as a port picker for another program.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <memory>

#include "base/Branding.h"
#include "base/ProgramDataFolder.h"
#include "base/ProgramLanguage.h"
#include "base/ProgramTranslator.h"
#include "base/SettingsStore.h"
#include "cablewatch/CablewatchCommandLine.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/CablewatchWindow.h"
#include "cablewatch/DeviceSource.h"
#include "cablewatch/SingleInstance.h"
#include "cablewatch/SysfsDeviceSource.h"

using namespace cablewatch;

namespace {

std::unique_ptr<DeviceSource> MakeSource(const CablewatchOptions& options) {
    if (!options.registryDir.isEmpty())
        return std::make_unique<DirectoryDeviceSource>(options.registryDir);
    return std::make_unique<SysfsDeviceSource>(options.sysfsRoot);
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    CablewatchOptions options = ParseCablewatchCommandLine(args);
    ApplyEnvironment(options);

    if (options.help) {
        std::fputs(CablewatchUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!options.dumpDir.isEmpty()) {
        // Capturing a system's tree needs no window.
        QCoreApplication app(argc, argv);
        auto source = MakeSource(options);
        if (!source->IsAvailable()) {
            std::fprintf(stderr, "cablewatch: the device list at %s cannot be read\n",
                         qUtf8Printable(source->Root()));
            return 1;
        }
        if (!source->Snapshot().SaveToDirectory(options.dumpDir)) {
            std::fprintf(stderr, "cablewatch: cannot write the device list into %s\n",
                         qUtf8Printable(options.dumpDir));
            return 1;
        }
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cablewatch"));
    // The window speaks TR58 Link's language (TR58_LANG, its stored choice, the
    // desktop's), and so do Qt's own buttons in it.
    const SettingsStore store(ApplicationTitle(ReadBranding(ProgramDataFolder())));
    InstallProgramTranslations(app, SelectProgramLanguage(&store));
    // The desktop matches the window to cablewatch.desktop (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("cablewatch"));
    auto source = MakeSource(options);

    // A second copy without an owner brings the first to the front and ends.
    SingleInstance instance(SingleInstance::DefaultServerName(source->Root()));
    if (!options.IsPortPicker() && instance.ActivateRunning()) return 0;

    if (!source->IsAvailable()) {
        // Said where the list was looked for too: a mistyped --registry or
        // --sysfs gives the same box as a missing driver.
        std::fprintf(stderr, "cablewatch: the device list at %s cannot be read\n",
                     qUtf8Printable(source->Root()));
        QMessageBox::critical(nullptr, Texts().windowTitle, Texts().restartMessage);
        return 1;
    }

    CablewatchWindow window(options, std::move(source));
    instance.Listen();
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &CablewatchWindow::BringToFront);
    window.show();
    return app.exec();
}
