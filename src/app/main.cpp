// TR58 Link: start-up of the desktop program.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/CommandLine.h"
#include "app/ProgramFiles.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "base/Branding.h"
#include "base/ProgramDataFolder.h"
#include "base/ProgramLanguage.h"
#include "base/ProgramTranslator.h"
#include "base/SettingsStore.h"
#include "base/UserLocale.h"
#include "tr58/Version.h"

int main(int argc, char** argv) {
    // Answered before the application exists, so it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tr58link %s\n", kTr58Version);
        return 0;
    }
    QApplication app(argc, argv);
    // The branding file, the help files and the logo picture: beside the program in its build
    // folder, in <prefix>/share/tr58link when installed.
    const QString folder = ProgramDataFolder();

    // The user's number conventions first, then the branding that may rename
    // the program (and with it the settings store).
    UserLocale::Init();
    const Branding branding = ReadBranding(folder);
    const QString title = ApplicationTitle(branding);
    SettingsStore store(title);
    // The language (TR58_LANG, the store's "Language", the desktop's); Qt's own
    // dialogs and buttons speak it too.
    InstallProgramTranslations(app, SelectProgramLanguage(&store));
    QCoreApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);
    // The desktop matches the window to tr58link.desktop (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("tr58link"));

    QString error;
    if (!RemoveTraceFile(folder, error)) QMessageBox::critical(nullptr, title, error);

    auto* splash = new frmSplash(branding, folder);
    splash->show();
    splash->repaint();
    app.processEvents();

    // Everything after the program's name on the command line, as one text.
    frmMain::Options options;
    options.branding = branding;
    options.title = title;
    options.programFolder = folder;
    options.commandLine = CommandLineFromArguments(app.arguments().mid(1));
    options.store = &store;
    frmMain main(options);
    main.show();
    main.activateWindow();  // the command line is acted on at the first activation
    // Then the recordings a crash or a power cut interrupted are offered back;
    // not when the program only prints a file and ends.
    if (ParseCommandLine(options.commandLine).kind != CommandLineAction::Kind::Print)
        QTimer::singleShot(0, &main, &frmMain::RestoreUnfinishedRecordings);
    const int status = app.exec();
    return main.ExitStatus() != 0 ? main.ExitStatus() : status;
}
