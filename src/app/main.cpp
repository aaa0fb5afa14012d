// TR58 Link: start-up of the desktop program.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/ProgramFiles.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "base/Branding.h"
#include "base/ProgramLanguage.h"
#include "base/ProgramTranslator.h"
#include "base/SettingsStore.h"
#include "base/UserLocale.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();

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

    QString error;
    if (!RemoveTraceFile(folder, error)) QMessageBox::critical(nullptr, title, error);

    auto* splash = new frmSplash(branding, folder);
    splash->show();
    splash->repaint();
    app.processEvents();

    // Everything after the program's name on the command line, as one text.
    QStringList words = app.arguments().mid(1);
    frmMain::Options options;
    options.branding = branding;
    options.title = title;
    options.programFolder = folder;
    options.commandLine = words.join(QLatin1Char(' ')).trimmed();
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
