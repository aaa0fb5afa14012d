#include "app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinterInfo>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

#include "app/CommandLine.h"
#include "app/ProgramFiles.h"
#include "app/WindowPlacement.h"
#include "app/frmAbout.h"
#include "app/frmDocument.h"
#include "base/GuiCaptions.h"
#include "base/GuiImages.h"
#include "base/GuiMessagePresenter.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/UserLocale.h"
#include "chart/ChartView.h"
#include "download/frmDownloadFiles.h"
#include "help/GuiHelpKey.h"
#include "help/HelpTopics.h"
#include "help/frmHelp.h"
#include "instrument/frmDeviceInformation.h"
#include "link/LinkSettings.h"
#include "link/PortControl.h"
#include "link/QtPump.h"
#include "link/frmCommunicating.h"
#include "link/frmLanConnection.h"
#include "print/frmPrint.h"
#include "realtime/frmRealTimeDisplaySettings.h"

namespace {

const frmMain::Dialogs kSystemDialogs;

// The captions of the port menu's items Com(0)..Com(16).
constexpr Str::Id kPortIds[] = {
    Str::kMenuPortAutoDetect, Str::kMenuCom1,  Str::kMenuCom2,  Str::kMenuCom3,  Str::kMenuCom4,
    Str::kMenuCom5,           Str::kMenuCom6,  Str::kMenuCom7,  Str::kMenuCom8,  Str::kMenuCom9,
    Str::kMenuCom10,          Str::kMenuCom11, Str::kMenuCom12, Str::kMenuCom13, Str::kMenuCom14,
    Str::kMenuCom15,          Str::kMenuCom16};

// The toolbar's buttons in order: key, tool tip id, image key, the menu item it stands for.
struct ToolbarButton {
    const char* key;
    Str::Id tip;
    const char* image;
    const char* item;
};
constexpr ToolbarButton kButtons[] = {
    {"Open", Str::kTipOpen, "Open", "mnuFileOpenFile"},
    {"Save", Str::kTipSave, "Save", "mnuFileSave"},
    {"Print", Str::kTipPrint, "Print", "mnuFilePrint"},
    {"Copy", Str::kTipCopy, "Copy", "mnuEditCopy"},
    {"Zoom In", Str::kTipZoomIn, "Zoom In", "mnuViewZoomIn"},
    {"Zoom Out", Str::kTipZoomOut, "Zoom Out", "mnuViewZoomOut"},
    {"Show All", Str::kTipShowAll, "Show All", "mnuViewShowAll"},
    {"Information", Str::kDeviceInformationTitle, "Info", "mnuIndicatorDeviceInformation"},
    {"Realtime", Str::kRealTimeWindowTitle, "Realtime", "mnuRealTimeWindow"},
    {"Download File", Str::kDownloadFilesTitle, "Download", "mnuDownloadFiles"},
    {"Delete", Str::kDeleteFilesTitle, "Delete", "mnuDeleteFiles"},
};

double TwipsPerPixel(const QWidget* widget) {
    const double dpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96.0;
    return 1440.0 / dpi;
}

// The classic frame is never smaller than this in its normal state.
constexpr int kMinWidthTwips = 9000;
constexpr int kMinHeightTwips = 8000;

}  // namespace

frmMain::frmMain(const Options& options)
    : dialogs_(options.dialogs ? *options.dialogs : kSystemDialogs),
      title_(options.title),
      branding_(options.branding),
      programFolder_(options.programFolder),
      CommandLine(options.commandLine.trimmed()),
      store_(options.store) {
    setObjectName(QStringLiteral("frmMain"));
    Port* port = options.port;
    if (!port) {
        ownPort_ = std::make_unique<PortControl>();
        port = ownPort_.get();
    }
    Pump* pump = options.pump;
    if (!pump) {
        ownPump_ = std::make_unique<QtPump>();
        pump = ownPump_.get();
    }
    MessagePresenter* presenter = options.presenter;
    if (!presenter) {
        ownPresenter_ = std::make_unique<GuiMessagePresenter>(this);
        presenter = ownPresenter_.get();
    }
    presenter_ = presenter;
    link_ = std::make_unique<Link>(*port, *pump, *presenter);
    link_->SetApplicationTitle(title_);
    // Read again at every opening: a USB cable may be plugged in at any time.
    link_->SetComPortSource([this] { return ComPortMap::FromSystem(store_->Raw()); });

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub && qobject_cast<frmDocument*>(sub->widget())) SetDocumentCommands(true);
        UpdateDocumentCommands();
    });

    BuildMenus();
    BuildToolbar();
    BuildStatusBar();

    progressWindow_ = new frmCommunicating(*link_, this);
    link_->Progress().onChange = [this] { progressWindow_->Sync(); };
    connect(progressWindow_, &frmCommunicating::StatusText, this, &frmMain::SetStatusText);

    // Load: captions, the ready text, the icon, the settings.
    ApplyCaptions(this);
    setWindowTitle(title_);
    SetStatusText(StringTable::Text(Str::kReady));
    setWindowIcon(ToolbarImage(QStringLiteral("Application")));
    setAcceptDrops(true);
    LoadSettings();
    SetDocumentCommands(false);

    // The manual ships inside the program, so both help items are always
    // there; F1 in any other window opens it on that window's topic.
    qApp->installEventFilter(new GuiHelpKey(this));
    if (!branding_.ABOUT.isEmpty()) {
        setWindowTitle(branding_.APPNAME);
        Action(QStringLiteral("mnuHelpAbout"))->setText(branding_.ABOUT);
    }

    printRun_.printer = QPrinterInfo::defaultPrinterName();
    // The command line is acted on at the first activation, or as soon as the
    // program runs where no window is ever activated (no window manager).
    if (!CommandLine.isEmpty()) QTimer::singleShot(0, this, &frmMain::ActOnCommandLine);

    qApp->installEventFilter(this);
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &frmMain::UpdateClock);
    clock->start(1000);
    UpdateClock();
    UpdateKeyStates();
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
    // The windows inside go after this one's members: they must not call back.
    disconnect(mdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (sub->widget()) disconnect(sub->widget(), nullptr, this, nullptr);
        delete sub;
    }
    link_->Progress().onChange = nullptr;
}

// ---------------------------------------------------------------------------
// Menus, toolbar, status bar

QAction* frmMain::AddAction(QMenu* menu, const QString& name, const QString& id,
                            const QKeySequence& key) {
    // A separator is designed as the caption "-"; it shows as a line only,
    // without the dash some styles would draw beside it.
    const bool separator = id == QLatin1String("-");
    auto* action = new QAction(separator ? QString() : id, this);
    action->setObjectName(name);
    if (separator) action->setSeparator(true);
    if (!key.isEmpty()) action->setShortcut(key);
    if (menu) menu->addAction(action);
    actions_.insert(name, action);
    return action;
}

QMenu* frmMain::AddMenu(QMenu* parent, const QString& name, const QString& id) {
    QMenu* menu = parent ? parent->addMenu(id) : menuBar()->addMenu(id);
    menu->setObjectName(name);
    menus_.insert(name, menu);
    return menu;
}

// One row of the menus: the menu it goes in (empty: the menu bar), its object
// name, its caption (none: a separator) and shortcut, what it does, and how it
// starts out.
struct frmMain::MenuRow {
    enum Kind { Menu, Item, Separator };
    Kind kind;
    const char* parent;
    const char* name;
    Str::Id caption = Str::Id{};
    QKeySequence key = {};
    std::function<void()> run = {};
    bool enabled = true;
    bool visible = true;
};

void frmMain::AddMenuRow(const MenuRow& row) {
    QMenu* parent = row.parent[0] ? menus_.value(QString::fromLatin1(row.parent)) : nullptr;
    const QString name = QString::fromLatin1(row.name);
    if (row.kind == MenuRow::Menu) {
        AddMenu(parent, name, Str::Tag(row.caption));
        return;
    }
    QAction* action = AddAction(
        parent, name, row.kind == MenuRow::Separator ? QStringLiteral("-") : Str::Tag(row.caption),
        row.key);
    action->setEnabled(row.enabled);
    action->setVisible(row.visible);
    if (row.run) connect(action, &QAction::triggered, this, row.run);
}

void frmMain::BuildMenus() {
    using R = MenuRow;
    // The chart's commands act on the active document's chart.
    auto onChart = [this](auto run) {
        return std::function<void()>([this, run] {
            if (frmDocument* document = ActiveDocument()) (document->Chart()->*run)();
        });
    };
    auto onDocument = [this](auto run) {
        return [this, run] {
            if (frmDocument* document = ActiveDocument()) run(*document);
        };
    };
    const QList<MenuRow> rows = {
        {R::Menu, "", "mnuFile", Str::kMenuFile},
        {R::Item, "mnuFile", "mnuFileOpenFile", Str::kMenuFileOpen,
         QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OpenDocument(QString()); }},
        {R::Item,
         "mnuFile",
         "mnuFileClose",
         Str::kMenuFileClose,
         {},
         [this] {
             if (QMdiSubWindow* active = mdiArea_->activeSubWindow()) active->close();
         }},
        {R::Separator, "mnuFile", "mnuFileBar0"},
        {R::Item, "mnuFile", "mnuFileSave", Str::kMenuFileSave, QKeySequence(Qt::CTRL | Qt::Key_S),
         onDocument([this](frmDocument& d) { FileSave(d); })},
        {R::Item, "mnuFile", "mnuFileSaveAs", Str::kMenuFileSaveAs, QKeySequence(Qt::Key_F12),
         onDocument([this](frmDocument& d) { FileSaveAs(d); })},
        {R::Separator, "mnuFile", "mnuFileBar1"},
        {R::Item, "mnuFile", "mnuFilePrint", Str::kMenuFilePrint,
         QKeySequence(Qt::CTRL | Qt::Key_P), [this] { ShowPrintDialog(frmPrint::Mode::Printer); }},
        {R::Item,
         "mnuFile",
         "mnuFileSavePdf",
         Str::kMenuFileSavePdf,
         {},
         [this] { ShowPrintDialog(frmPrint::Mode::Pdf); }},
        {R::Separator, "mnuFile", "mnuFileBar3", {}, {}, {}, true, false},
        // The recent files come here (below).
        {R::Separator, "mnuFile", "mnuFileBar4"},
        {R::Item,
         "mnuFile",
         "mnuFileExit",
         Str::kMenuFileExit,
         {},
         [this] { mnuFileExit_Click(); }},

        {R::Menu, "", "mnuEdit", Str::kMenuEdit},
        {R::Item, "mnuEdit", "mnuEditCopy", Str::kMenuEditCopy, QKeySequence(Qt::CTRL | Qt::Key_C),
         onDocument([](frmDocument& d) { d.Copy(); })},

        {R::Menu, "", "mnuView", Str::kMenuView},
        {R::Item,
         "mnuView",
         "mnuViewInformation",
         Str::kMenuViewInformation,
         {},
         [this] { ShowViewPage(0); }},
        {R::Item, "mnuView", "mnuViewChart", Str::kMenuViewChart, {}, [this] { ShowViewPage(1); }},
        {R::Item,
         "mnuView",
         "mnuViewDataTable",
         Str::kMenuViewDataTable,
         {},
         [this] { ShowViewPage(2); }},
        {R::Separator, "mnuView", "mnuViewBar0"},
        {R::Item,
         "mnuView",
         "mnuViewZoomIn",
         Str::kMenuViewZoomIn,
         {},
         onChart(&ChartView::ZoomIn),
         false},
        {R::Item,
         "mnuView",
         "mnuViewZoomOut",
         Str::kMenuViewZoomOut,
         {},
         onChart(&ChartView::ZoomOut),
         false},
        {R::Item,
         "mnuView",
         "mnuViewShowAll",
         Str::kMenuViewShowAll,
         {},
         onChart(&ChartView::ShowAll),
         false},
        {R::Separator, "mnuView", "mnuViewBar1"},
        {R::Item,
         "mnuView",
         "mnuViewAxis",
         Str::kMenuViewAxis,
         {},
         onChart(&ChartView::ShowAxisDialog),
         false},

        {R::Menu, "", "mnuIndicator", Str::kMenuInstrument},
        {R::Item, "mnuIndicator", "mnuRealTimeWindow", Str::kMenuRealTimeWindow,
         QKeySequence(Qt::CTRL | Qt::Key_R), [this] { mnuRealTimeWindow_Click(); }},
        {R::Item,
         "mnuIndicator",
         "mnuStopRealTimeWindow",
         Str::kMenuStopRealTime,
         {},
         [this] { mnuStopRealTimeWindow_Click(); },
         false},
        {R::Item,
         "mnuIndicator",
         "mnuRealTimeSettings",
         Str::kMenuRealTimeSettings,
         {},
         [this] { mnuRealTimeSettings_Click(); }},
        {R::Separator, "mnuIndicator", "mnuIndicatorBar0"},
        {R::Item, "mnuIndicator", "mnuDownloadFiles", Str::kMenuDownloadFiles,
         QKeySequence(Qt::CTRL | Qt::Key_D), [this] { ShowFileDialog(false); }},
        {R::Separator, "mnuIndicator", "mnuIndicatorBar1"},
        {R::Item,
         "mnuIndicator",
         "mnuDeleteFiles",
         Str::kMenuDeleteFiles,
         {},
         [this] { ShowFileDialog(true); }},
        {R::Separator, "mnuIndicator", "mnuIndicatorBar2"},
        {R::Menu, "mnuIndicator", "mnuCommunicationsPort", Str::kMenuPort},
        // The port items come here (below).
        {R::Item,
         "mnuIndicator",
         "mnuIndicatorDeviceInformation",
         Str::kMenuDeviceInformation,
         {},
         [this] { mnuIndicatorDeviceInformation_Click(); }},

        {R::Menu, "", "mnuWindow", Str::kMenuWindow},
        {R::Item,
         "mnuWindow",
         "mnuWindowCascade",
         Str::kMenuWindowCascade,
         {},
         [this] { mdiArea_->cascadeSubWindows(); }},
        {R::Item,
         "mnuWindow",
         "mnuWindowTile",
         Str::kMenuWindowTile,
         {},
         [this] { mdiArea_->tileSubWindows(); }},
        {R::Item,
         "mnuWindow",
         "mnuWindowArrangeIcons",
         Str::kMenuWindowArrangeIcons,
         {},
         [this] { mdiArea_->tileSubWindows(); }},
        {R::Item,
         "mnuWindow",
         "mnuWindowCloseAll",
         Str::kMenuWindowCloseAll,
         {},
         [this] { mnuWindowCloseAll_Click(); }},
        {R::Item, "mnuWindow", "mnuWindowWindowList", Str::kMenuWindowList, {}, {}, true, false},

        {R::Menu, "", "mnuHelp", Str::kMenuHelp},
        {R::Item, "mnuHelp", "mnuHelpQuickOverview", Str::kMenuHelpQuickGuide,
         QKeySequence(Qt::SHIFT | Qt::Key_F1), [this] { ShowHelp(true); }},
        {R::Item, "mnuHelp", "mnuHelpContentsandIndex", Str::kMenuHelpContents,
         QKeySequence(Qt::Key_F1), [this] { ShowHelp(false); }},
        {R::Separator, "mnuHelp", "mnuHelpBar0"},
        {R::Item,
         "mnuHelp",
         "mnuHelpAbout",
         Str::kMenuHelpAbout,
         {},
         [this] {
             frmAbout about(branding_, programFolder_, this);
             about.exec();
         }},
    };
    for (const MenuRow& row : rows) {
        AddMenuRow(row);
        if (row.name == std::string_view("mnuFileBar3")) AddRecentFileItems();
        if (row.name == std::string_view("mnuCommunicationsPort")) AddPortItems();
    }
    AddWindowList();
    AddPopUpMenus();
}

void frmMain::AddRecentFileItems() {
    QMenu* file = menus_.value(QStringLiteral("mnuFile"));
    for (int i = 0; i < RecentFiles::kSlots; ++i) {
        QAction* recent =
            AddAction(file, QStringLiteral("mnuFileRecentlyUsedFiles%1").arg(i), QString());
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, i] {
            if (!recent_.At(i).isEmpty()) OpenDocument(recent_.At(i));
        });
    }
}

void frmMain::AddPortItems() {
    QMenu* ports = menus_.value(QStringLiteral("mnuCommunicationsPort"));
    for (int i = 0; i <= 16; ++i) {
        QAction* com = AddAction(ports, QStringLiteral("Com%1").arg(i), Str::Tag(kPortIds[i]));
        com->setCheckable(true);
        connect(com, &QAction::triggered, this, [this, i] { Com_Click(i); });
    }
    AddAction(ports, "viiva", QStringLiteral("-"));
    QAction* lan = AddAction(ports, "Lan", Str::Tag(Str::kMenuLan));
    lan->setCheckable(true);
    connect(lan, &QAction::triggered, this, &frmMain::Lan_Click);
    // Each time it opens the menu names the device behind every COM number (a
    // USB cable may have come or gone) and checks the link in use.
    connect(ports, &QMenu::aboutToShow, this, &frmMain::RefreshPortMenu);
}

void frmMain::RefreshPortMenu() {
    const ComPortMap map = ComPortMap::FromSystem(store_->Raw());
    for (int i = ComPortMap::kFirstCom; i <= ComPortMap::kLastCom; ++i) {
        const QString device = map.Device(i);
        QString caption = StringTable::Text(kPortIds[i]);
        if (!device.isEmpty()) caption += QStringLiteral("  (%1)").arg(device);
        Action(QStringLiteral("Com%1").arg(i))->setText(caption);
    }
    const LinkState& s = link_->State();
    const bool lan = s.LanSelection >= 1;
    CheckPortItem(lan ? -1 : (s.AutoDetect ? 0 : s.ConfiguredPort));
    Action(QStringLiteral("Lan"))->setChecked(lan);
}

void frmMain::AddWindowList() {
    // The open document windows are listed at the end of the menu.
    QMenu* window = menus_.value(QStringLiteral("mnuWindow"));
    connect(window, &QMenu::aboutToShow, this, [this, window] {
        for (QAction* action : window->actions())
            if (action->property("WindowListEntry").toBool()) {
                window->removeAction(action);
                action->deleteLater();
            }
        const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
        if (!windows.isEmpty()) window->addSeparator()->setProperty("WindowListEntry", true);
        int n = 0;
        for (QMdiSubWindow* sub : windows) {
            QAction* entry =
                window->addAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()));
            entry->setProperty("WindowListEntry", true);
            entry->setCheckable(true);
            entry->setChecked(sub == mdiArea_->activeSubWindow());
            connect(entry, &QAction::triggered, this,
                    [this, sub] { mdiArea_->setActiveSubWindow(sub); });
        }
    });
}

void frmMain::AddPopUpMenus() {
    // The three context menus of the document pages; they never show in the
    // bar. Each item does what its twin in the bar does.
    struct PopUpItem {
        const char* menu;
        const char* name;
        const char* twin;  // nullptr: a separator
    };
    static constexpr PopUpItem kItems[] = {
        {"mnuPopUp1", "mnuEditCopy2", "mnuEditCopy"},
        {"mnuPopUp1", "mnuHelpBar1", nullptr},
        {"mnuPopUp1", "mnuFilePrint2", "mnuFilePrint"},
        {"mnuPopUp2", "mnuEditCopy3", "mnuEditCopy"},
        {"mnuPopUp2", "mnuHelpBar3", nullptr},
        {"mnuPopUp2", "mnuViewZoomIn2", "mnuViewZoomIn"},
        {"mnuPopUp2", "mnuViewZoomOut2", "mnuViewZoomOut"},
        {"mnuPopUp2", "mnuViewShowAll2", "mnuViewShowAll"},
        {"mnuPopUp2", "mnuHelpBar4", nullptr},
        {"mnuPopUp2", "mnuViewAxis2", "mnuViewAxis"},
        {"mnuPopUp2", "mnuHelpBar5", nullptr},
        {"mnuPopUp2", "mnuFilePrint3", "mnuFilePrint"},
        {"mnuPopUp3", "mnuFilePrint4", "mnuFilePrint"},
    };
    for (const char* name : {"mnuPopUp1", "mnuPopUp2", "mnuPopUp3"}) {
        auto* menu = new QMenu(QStringLiteral("Popup") + QLatin1Char(name[9]), this);
        menu->setObjectName(QString::fromLatin1(name));
        menus_.insert(menu->objectName(), menu);
    }
    for (const PopUpItem& row : kItems) {
        QMenu* menu = menus_.value(QString::fromLatin1(row.menu));
        if (!row.twin) {
            AddAction(menu, row.name, QStringLiteral("-"));
            continue;
        }
        QAction* main = Action(QString::fromLatin1(row.twin));
        QAction* item = AddAction(menu, row.name, main->text());
        connect(item, &QAction::triggered, main, &QAction::trigger);
        item->setEnabled(main->isEnabled());
        connect(main, &QAction::changed, item,
                [item, main] { item->setEnabled(main->isEnabled()); });
    }
    // The chart's grid lines, after the axis item: a choice of the user's,
    // kept in the settings and shown on every chart page.
    QMenu* chartMenu = menus_.value(QStringLiteral("mnuPopUp2"));
    QAction* grid =
        AddAction(nullptr, QStringLiteral("mnuViewGrid2"), Str::Tag(Str::kChartGridLines));
    chartMenu->insertAction(Action(QStringLiteral("mnuHelpBar5")), grid);
    grid->setCheckable(true);
    grid->setChecked(store_->ReadBool(QStringLiteral("ChartGridLines"), false));
    ChartView::SetGridLinesForAll(grid->isChecked());
    connect(grid, &QAction::toggled, this, [this](bool on) {
        ChartView::SetGridLinesForAll(on);
        store_->WriteBool(QStringLiteral("ChartGridLines"), on);
        store_->Sync();
    });
}

void frmMain::BuildToolbar() {
    tbToolBar_ = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setIconSize(QSize(16, 16));
    tbToolBar_->setMovable(false);
    for (const ToolbarButton& button : kButtons) {
        const QString key = QString::fromLatin1(button.key);
        auto* action = new QAction(ToolbarImage(QString::fromLatin1(button.image)), key, this);
        action->setObjectName(QStringLiteral("tb") + QString(key).remove(QLatin1Char(' ')));
        action->setProperty("Key", key);
        action->setToolTip(Str::Tag(button.tip));
        connect(action, &QAction::triggered, this, [this, key] { ToolbarButtonClick(key); });
        // The button follows the enabled state of the menu item it stands for.
        QAction* item = Action(QString::fromLatin1(button.item));
        action->setEnabled(item->isEnabled());
        connect(item, &QAction::changed, action,
                [action, item] { action->setEnabled(item->isEnabled()); });
        tbToolBar_->addAction(action);
        actions_.insert(action->objectName(), action);
        if (key == QLatin1String("Save") || key == QLatin1String("Copy") ||
            key == QLatin1String("Show All") || key == QLatin1String("Information"))
            tbToolBar_->addSeparator();
    }
}

void frmMain::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("sbPanel%1").arg(i + 1));
        panel->setContentsMargins(4, 0, 4, 0);
        if (i == 0) {
            bar->addWidget(panel, 1);
        } else {
            panel->setAlignment(Qt::AlignCenter);
            panel->setFrameShape(QFrame::StyledPanel);
            panel->setFrameShadow(QFrame::Sunken);
            bar->addPermanentWidget(panel);
        }
        panels_ << panel;
    }
    panels_[3]->setText(StringTable::Text(Str::kPanelCapsLock));
    panels_[4]->setText(StringTable::Text(Str::kPanelInsert));
    panels_[5]->setText(StringTable::Text(Str::kPanelNumLock));
}

QLabel* frmMain::StatusPanel(int panel) const {
    return panels_.value(panel - 1);
}

void frmMain::SetStatusText(const QString& text) {
    panels_[0]->setText(text);
}

QString frmMain::StatusText() const {
    return panels_[0]->text();
}

void frmMain::UpdateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    // The user's conventions, as every date the program shows.
    const QLocale& locale = UserLocale::Locale();
    panels_[1]->setText(locale.toString(now.date(), UserLocale::ShortDateFormat()));
    panels_[2]->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void frmMain::UpdateKeyStates() {
    panels_[3]->setEnabled(capsLock_);
    panels_[4]->setEnabled(insert_);
    panels_[5]->setEnabled(numLock_);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // The keyboard's lock states are not readable portably; they follow the
        // key presses the program sees.
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_CapsLock:
                capsLock_ = !capsLock_;
                UpdateKeyStates();
                break;
            case Qt::Key_NumLock:
                numLock_ = !numLock_;
                UpdateKeyStates();
                break;
            case Qt::Key_Insert:
                insert_ = !insert_;
                UpdateKeyStates();
                break;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Settings

void frmMain::LoadSettings() {
    geometry_ = LoadMainWindowSettings(*store_, recent_);
    const double twips = TwipsPerPixel(this);
    const QSize minimum(static_cast<int>(kMinWidthTwips / twips),
                        static_cast<int>(kMinHeightTwips / twips));
    setMinimumSize(minimum);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!geometry_.stored && screen) {
        // A first start fills a good share of the screen, not the classic
        // 600 x 533 pixels; the place the user leaves it in is kept from then on.
        setGeometry(FirstStartGeometry(screen->availableGeometry(), minimum));
    } else {
        setGeometry(
            static_cast<int>(geometry_.left / twips), static_cast<int>(geometry_.top / twips),
            static_cast<int>(geometry_.width / twips), static_cast<int>(geometry_.height / twips));
    }
    if (geometry_.maximized) setWindowState(windowState() | Qt::WindowMaximized);
    link_->SetRealTimeInterval(geometry_.realTimeInterval);
    RefreshRecentFiles();

    LinkState& s = link_->State();
    LoadLinkSettings(*store_, s);
    if (s.LanSelection < 1) {
        CheckPortItem(s.AutoDetect ? 0 : s.ConfiguredPort);
    } else {
        CheckPortItem(-1);
        Action(QStringLiteral("Lan"))->setChecked(true);
    }
}

void frmMain::SaveSettings() {
    WindowState state = WindowState::Normal;
    if (isMaximized()) state = WindowState::Maximized;
    if (isMinimized()) state = WindowState::Minimized;
    if (state == WindowState::Normal) {
        const double twips = TwipsPerPixel(this);
        const QRect frame = geometry();
        geometry_.left = static_cast<int>(frame.left() * twips);
        geometry_.top = static_cast<int>(frame.top() * twips);
        geometry_.width = static_cast<int>(frame.width() * twips);
        geometry_.height = static_cast<int>(frame.height() * twips);
    }
    SaveMainWindowSettings(*store_, state, geometry_, recent_);
    SaveLinkSettings(*store_, link_->State());
    store_->Sync();
}

// ---------------------------------------------------------------------------
// Shared operations

void frmMain::MainFocus() {
    setEnabled(true);
    raise();
    activateWindow();
    if (isEnabled()) setFocus();
}

void frmMain::SetDocumentCommands(bool enabled) {
    for (const char* name :
         {"mnuViewInformation", "mnuViewChart", "mnuViewDataTable", "mnuEditCopy", "mnuFileClose",
          "mnuFileSave", "mnuFileSaveAs", "mnuFilePrint", "mnuFileSavePdf", "mnuWindowArrangeIcons",
          "mnuWindowCascade", "mnuWindowCloseAll", "mnuWindowTile", "mnuWindowWindowList"})
        Action(QString::fromLatin1(name))->setEnabled(enabled);
}

void frmMain::AddRecentFile(const QString& path) {
    recent_.Add(path);
    RefreshRecentFiles();
}

void frmMain::RefreshRecentFiles() {
    for (int i = 0; i < RecentFiles::kSlots; ++i) {
        if (recent_.At(i).isEmpty()) continue;
        Action(QStringLiteral("mnuFileBar3"))->setVisible(true);
        QAction* item = Action(QStringLiteral("mnuFileRecentlyUsedFiles%1").arg(i));
        item->setVisible(true);
        // "&1 " .. "&4 " choose a file from the keyboard; an "&" in the path
        // is shown as itself.
        item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QString(recent_.At(i)).replace(QLatin1Char('&'), QLatin1String("&&"))));
    }
}

void frmMain::mnuWindowCloseAll_Click() {
    CloseAllContinue = true;
    // The most recently opened window first.
    QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    for (qsizetype n = windows.size() - 1; n >= 0; --n) {
        if (!windows.at(n)->close()) CloseAllContinue = false;
        if (!CloseAllContinue) return;
    }
}

void frmMain::ShowViewPage(int page) {
    frmDocument* document = ActiveDocument();
    if (!document) {
        QMessageBox box(QMessageBox::NoIcon, title_, StringTable::Text(Str::kNoDocument),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    document->ShowPage(page);
}

// ---------------------------------------------------------------------------
// Commands

void frmMain::ToolbarButtonClick(const QString& key) {
    for (const ToolbarButton& button : kButtons) {
        if (key != QLatin1String(button.key)) continue;
        QAction* item = Action(QString::fromLatin1(button.item));
        if (item && item->isEnabled()) item->trigger();
        return;
    }
}

void frmMain::CheckPortItem(int index) {
    for (int i = 0; i <= 16; ++i) Action(QStringLiteral("Com%1").arg(i))->setChecked(i == index);
}

void frmMain::Com_Click(int index) {
    const LinkState& s = link_->State();
    if (!link_->ReleaseForChange()) {
        // The check marks stay where they were.
        CheckPortItem(s.LanSelection >= 1 ? -1 : (s.AutoDetect ? 0 : s.ConfiguredPort));
        return;
    }
    Action(QStringLiteral("Lan"))->setChecked(false);
    // The choice is kept even when the test open fails.
    if (index == 0)
        link_->SelectAutoDetect();
    else
        link_->SelectSerial(index);
    link_->TryOpen(index == 0 ? ComPortMap::kLastCom : 1);
    CheckPortItem(index);
    SavePortChoice(*store_, s);
    MainFocus();
}

void frmMain::Lan_Click() {
    const bool wasChecked = link_->State().LanSelection >= 1;
    frmLanConnection dialog(*link_, this);
    dialog.exec();
    if (dialog.Result() <= 0) {
        // Nothing changes: the link mode and the check marks stay.
        Action(QStringLiteral("Lan"))->setChecked(wasChecked);
        return;
    }
    CheckPortItem(-1);
    Action(QStringLiteral("Lan"))->setChecked(true);
    link_->TryOpen(1);
    MainFocus();
}

void frmMain::ShowFileDialog(bool deleteFiles) {
    if (!link_->WaitLinkIdleOrSay()) return;
    QAction* command =
        Action(deleteFiles ? QStringLiteral("mnuDeleteFiles") : QStringLiteral("mnuDownloadFiles"));
    command->setEnabled(false);
    {
        frmDownloadFiles dialog(*this, deleteFiles);
        dialog.exec();
    }
    command->setEnabled(true);
    MainFocus();
}

void frmMain::mnuIndicatorDeviceInformation_Click() {
    if (!link_->WaitLinkIdleOrSay()) return;
    frmDeviceInformation dialog(*link_, this);
    dialog.exec();
    MainFocus();
}

void frmMain::mnuRealTimeSettings_Click() {
    if (!link_->WaitLinkIdleOrSay()) return;
    // While the dialog is open a real-time window it stops goes quietly.
    stopRequest_ = true;
    {
        frmRealTimeDisplaySettings dialog(*this);
        dialog.exec();
    }
    stopRequest_ = false;
    MainFocus();
}

void frmMain::RealTimeIntervalChanged(qint32 seconds, qint16 unitCode) {
    geometry_.realTimeInterval = seconds;
    geometry_.realTimeIntervalUnit = unitCode;
}

void frmMain::ShowHelp(bool quickOverview) {
    // A help file beside the program (an installation that ships one) is
    // still opened with the desktop's viewer; otherwise the built-in manual,
    // on the topic of the document or window in front.
    const HelpFiles files = FindHelpFiles(programFolder_);
    if (!files.chm.isEmpty()) {
        // A viewer that takes the topic, when the desktop has one; else the
        // desktop's own viewer for the file.
        const QString topic =
            QString::fromLatin1(quickOverview ? kHelpQuickTopic : kHelpContentsTopic);
        if (QProcess::startDetached(QStringLiteral("xchm"),
                                    {QStringLiteral("file:%1#xchm:%2").arg(files.chm, topic)}))
            return;
        if (QProcess::startDetached(QStringLiteral("kchmviewer"),
                                    {QStringLiteral("--showPage"), topic, files.chm}))
            return;
        QDesktopServices::openUrl(QUrl::fromLocalFile(files.chm));
    } else if (!files.hlp.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(files.hlp));
    } else if (quickOverview) {
        frmHelp::ShowPage(help::QuickGuidePage());
    } else {
        QWidget* focus = focusWidget();
        frmHelp::ShowContextHelp(focus ? focus : this);
    }
}

// ---------------------------------------------------------------------------
// Command line, dropped files, closing

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    if (!CommandLine.isEmpty()) QTimer::singleShot(0, this, &frmMain::ActOnCommandLine);
}

void frmMain::ActOnCommandLine() {
    const CommandLineAction action = ParseCommandLine(CommandLine);
    CommandLine.clear();
    if (action.kind == CommandLineAction::Kind::None) return;
    emit OpenRequested(action.path, action.kind == CommandLineAction::Kind::Print);
    if (action.kind == CommandLineAction::Kind::Open) {
        OpenDocument(action.path);
    } else {
        CommandLine = QStringLiteral("Print");
        if (OpenDocument(action.path)) {
            if (!PrintAll(*ActiveDocument())) exitStatus_ = 1;
        } else {
            exitStatus_ = 1;
        }
        CommandLine.clear();
        close();
    }
}

bool frmMain::AcceptsDrop(const QStringList& fileNames) const {
    // Not while a dialog or the progress window is open.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible() && !window->inherits("QMenu")) return false;
    return AcceptsDroppedFiles(fileNames);
}

namespace {

QStringList DroppedFiles(const QMimeData* data) {
    QStringList names;
    for (const QUrl& url : data->urls()) names << url.toLocalFile();
    return names;
}
}  // namespace

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(DroppedFiles(event->mimeData())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDrop(DroppedFiles(event->mimeData())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMain::dropEvent(QDropEvent* event) {
    const QStringList names = DroppedFiles(event->mimeData());
    if (!AcceptsDrop(names)) return;
    event->acceptProposedAction();
    for (const QString& name : names) OpenDocument(name);
}

void frmMain::closeEvent(QCloseEvent* event) {
    mnuWindowCloseAll_Click();
    if (!CloseAllContinue) {
        event->ignore();
        return;
    }
    link_->CloseForExit();
    SaveSettings();
    event->accept();
}
