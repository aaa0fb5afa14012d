// tr58-screens OUTDIR HOST:PORT — pictures of the program's windows talking to
// a simulator at HOST:PORT, rendered offscreen into OUTDIR.
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>

#include "app/frmAbout.h"
#include "app/frmDocument.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "base/ProgramLanguage.h"
#include "base/ProgramTranslator.h"
#include "base/SettingsStore.h"
#include "download/frmDownloadFiles.h"
#include "help/HelpTopics.h"
#include "help/frmHelp.h"
#include "instrument/frmDeviceInformation.h"
#include "link/frmLanConnection.h"

namespace {
void Save(QWidget* widget, const QString& path) {
    widget->grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

// The dialog named name that action opens (modal), pictured once it shows and
// then cancelled.
void SaveDialog(QAction* action, const char* name, const QString& path) {
    QPointer<QTimer> poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, path] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (!dialog || w->objectName() != QLatin1String(name) || !w->isVisible()) continue;
            poll->stop();
            QApplication::processEvents();
            Save(dialog, path);
            dialog->reject();
            return;
        }
    });
    poll->start(200);
    action->trigger();
    delete poll.data();
}

// The main window with the instrument menu and its port submenu open: pop-up
// menus are windows of their own, so they are drawn onto the frame's picture.
void SavePortMenu(frmMain& main, const QString& path) {
    QMenu* indicator = main.Menu(QStringLiteral("mnuIndicator"));
    QMenu* ports = main.Menu(QStringLiteral("mnuCommunicationsPort"));
    const QRect inBar = main.menuBar()->actionGeometry(indicator->menuAction());
    indicator->popup(main.menuBar()->mapToGlobal(inBar.bottomLeft()));
    QApplication::processEvents();
    const QRect inMenu = indicator->actionGeometry(ports->menuAction());
    indicator->setActiveAction(ports->menuAction());
    ports->popup(indicator->mapToGlobal(inMenu.topRight()));
    QApplication::processEvents();
    QPixmap picture = main.grab();
    {
        QPainter p(&picture);
        for (QMenu* menu : {indicator, ports})
            p.drawPixmap(main.mapFromGlobal(menu->mapToGlobal(QPoint(0, 0))), menu->grab());
    }
    ports->hide();
    indicator->hide();
    picture.save(path);
    std::printf("%s\n", qPrintable(path));
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: tr58-screens OUTDIR HOST:PORT [FILE.t58]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString address = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir settingsDir;
    SettingsStore store = SettingsStore::AtFile(settingsDir.filePath("TR58 Link.ini"));
    store.Write("LastIP", "1");
    store.Write("1IP", address.section(':', 0, 0));
    store.Write("1IPort", address.section(':', 1));
    store.Write("2IP", "lab-tr58.example");
    store.Write("LastInterval", "1");
    // The pictures speak the language the program would (TR58_LANG=en for English ones).
    InstallProgramTranslations(app, SelectProgramLanguage(nullptr));

    frmMain::Options options;
    options.store = &store;
    options.programFolder = settingsDir.path();
    // No save question on the way out: the pictures are all this tool makes.
    frmMain::Dialogs dialogs;
    dialogs.askSave = [](const QString&) { return QMessageBox::No; };
    options.dialogs = &dialogs;
    frmMain main(options);
    main.resize(900, 640);
    main.show();
    Save(&main, out.filePath("main.png"));
    SavePortMenu(main, out.filePath("main-portmenu.png"));

    auto* splash = new frmSplash(Branding{}, settingsDir.path());  // closes and deletes itself
    splash->show();
    Save(splash, out.filePath("splash.png"));
    frmAbout about(Branding{}, settingsDir.path(), &main);
    about.show();
    Save(&about, out.filePath("about.png"));
    about.hide();

    frmLanConnection lan(main.GetLink(), &main);
    lan.show();
    Save(&lan, out.filePath("lan.png"));
    lan.hide();

    // The progress window while the device information is read.
    QTimer::singleShot(1500, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmCommunicating") && w->isVisible())
                Save(w, out.filePath("progress.png"));
    });
    frmDeviceInformation info(main.GetLink(), &main);
    info.Load();
    info.show();
    Save(&info, out.filePath("deviceinfo.png"));
    info.hide();

    // The real-time settings as read from the instrument.
    SaveDialog(main.Action(QStringLiteral("mnuRealTimeSettings")), "frmRealTimeDisplaySettings",
               out.filePath("realtime-settings.png"));

    // The file dialog in both modes, sorted by points.
    for (bool deleteMode : {false, true}) {
        frmDownloadFiles files(main, deleteMode);
        if (files.Load()) {
            files.SortByColumn(3);
            files.SelectFiles({0, 3});
            files.show();
            QApplication::processEvents();
            Save(&files, out.filePath(deleteMode ? QStringLiteral("delete.png")
                                                 : QStringLiteral("download.png")));
            if (deleteMode) {
                // An undeletable file in the selection: the status bar says why.
                files.SelectFiles({0, 2});
                QApplication::processEvents();
                Save(&main, out.filePath("delete-refused-main.png"));
                // The question before deleting, answered No.
                files.SelectFiles({0, 1});
                QTimer::singleShot(300, [&] {
                    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                        Save(box, out.filePath("delete-question.png"));
                        box->button(QMessageBox::No)->click();
                    }
                });
                files.cmdDelete_Click();
            } else {
                // The date/time range as it starts for the selection, and
                // the calendar on the files' month.
                files.SelectFiles({0});
                files.optDateTimeRange()->setChecked(true);
                QApplication::processEvents();
                Save(&files, out.filePath("download-range.png"));
                files.ShowCalendar(true);
                QApplication::processEvents();
                Save(files.mvwCalendar(), out.filePath("download-calendar.png"));
                files.mvwCalendar()->hide();
                // The progress window half way through two files.
                files.optNewestData()->setChecked(true);
                files.SelectFiles({0, 1});
                for (int ms : {1000, 4000})
                    QTimer::singleShot(ms, [&, ms] {
                        for (QWidget* w : QApplication::topLevelWidgets())
                            if (w->objectName() == QLatin1String("frmCommunicating") &&
                                w->isVisible())
                                Save(w, out.filePath(
                                            QStringLiteral("progress-download-%1.png").arg(ms)));
                    });
                files.cmdDownload_Click();
                main.mnuWindowCloseAll_Click();
            }
            files.hide();
        }
    }

    // The real-time window polling every second, on its chart page, then
    // stopped (grey, an ordinary document).
    main.mnuRealTimeWindow_Click();
    if (frmDocument* realTime = main.RealTimeWindow()) {
        realTime->ShowPage(frmDocument::kChartPage);
        QEventLoop wait;
        QTimer::singleShot(8000, &wait, &QEventLoop::quit);
        wait.exec();
        Save(&main, out.filePath("realtime-running.png"));
        realTime->ShowPage(frmDocument::kTablePage);
        QApplication::processEvents();
        Save(&main, out.filePath("realtime-table.png"));
        realTime->ShowPage(frmDocument::kInformationPage);
        QApplication::processEvents();
        Save(&main, out.filePath("realtime-information.png"));
        main.StopReal();
        QApplication::processEvents();
        Save(&main, out.filePath("realtime-stopped-information.png"));
        realTime->ShowPage(frmDocument::kChartPage);
        QApplication::processEvents();
        Save(&main, out.filePath("realtime-stopped.png"));
        main.mnuWindowCloseAll_Click();
    }

    // A document's three pages, when a .t58 file is named.
    if (argc > 3 && main.OpenDocument(QString::fromLocal8Bit(argv[3]))) {
        frmDocument* document = main.ActiveDocument();
        for (int page = 0; page < 3; ++page) {
            document->ShowPage(page);
            QApplication::processEvents();
            Save(&main, out.filePath(QStringLiteral("document%1.png").arg(page)));
        }
        // The print dialog (no printer here: it offers the PDF) and the chart's axes.
        SaveDialog(main.Action(QStringLiteral("mnuFilePrint")), "frmPrint",
                   out.filePath("print.png"));
        document->ShowPage(frmDocument::kChartPage);
        QApplication::processEvents();
        SaveDialog(main.Action(QStringLiteral("mnuViewAxis")), "frmAxis", out.filePath("axis.png"));
        // The chart with the pointer over it: the crosshair's read-out of the
        // nearest point and the legend; then zoomed by two wheel notches with
        // the grid lines on.
        document->ShowPage(frmDocument::kChartPage);
        QApplication::processEvents();
        if (auto* canvas = document->findChild<QWidget*>(QStringLiteral("picChart"))) {
            const QPointF at(canvas->width() * 0.6, canvas->height() * 0.45);
            QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &move);
            QApplication::processEvents();
            Save(&main, out.filePath(QStringLiteral("document-chart-readout.png")));
            for (int notch = 0; notch < 2; ++notch) {
                QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, 120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(canvas, &wheel);
                QApplication::processEvents();
            }
            if (QAction* grid = main.Action(QStringLiteral("mnuViewGrid2"))) grid->trigger();
            for (int i = 0; i < 3; ++i) QApplication::processEvents();
            QApplication::sendEvent(canvas, &move);
            QApplication::processEvents();
            Save(&main, out.filePath(QStringLiteral("document-chart-zoomed-grid.png")));
        }
        // The data table scrolled right: the number and time stay.
        QTableView* table = document->Table();
        table->scrollTo(table->model()->index(20, 0));
        table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
        QApplication::processEvents();
        Save(&main, out.filePath("document2-right.png"));
    }
    // The manual in its help window, on the contents page.
    frmHelp* manual = frmHelp::ShowPage(help::StartPage());
    manual->resize(760, 640);
    QApplication::processEvents();
    Save(manual, out.filePath("help.png"));
    delete manual;
    return 0;
}
