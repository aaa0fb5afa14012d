#include "cablewatch/CablewatchWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QWindow>

#include "cablewatch/CableIcons.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceProperties.h"
#include "cablewatch/DevicePropertiesWindow.h"
#include "cablewatch/WhatsThisHelp.h"

namespace cablewatch {

namespace {

constexpr int kUpdateIntervalMs = 1000;
constexpr int kListWidth = 380;
constexpr int kListHeight = 168;
const char* const kHelpIdProperty = "cablewatchHelpId";

void SetHelpId(QWidget* control, int helpId) {
    control->setProperty(kHelpIdProperty, helpId);
}

void ShowPropertiesWindow(const QString& command, const RegistryTree& tree, QWidget* owner) {
    const QString rowKey = DeviceIdOfCommand(command);
    if (rowKey.isEmpty()) return;
    auto* window = new DevicePropertiesWindow(tree, rowKey, owner);
    window->show();
    window->raise();
    window->activateWindow();
}

// A message beside the window that does not stop its list from updating.
void Tell(QWidget* owner, const QString& text,
          const QString& name = QStringLiteral("msgDeviceManager")) {
    auto* box = new QMessageBox(QMessageBox::Information, Texts().windowTitle, text,
                                QMessageBox::Ok, owner);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// Snapstart ends at once; when it started no viewer it says why on its error
// output and ends with a non-zero status, and the user is told.
void StartSnapstart(const QString& program, QWidget* owner) {
    auto* snapstart = new QProcess(owner);
    QObject::connect(snapstart, &QProcess::finished, snapstart,
                     [snapstart, owner](int exitCode, QProcess::ExitStatus status) {
                         const QString report =
                             QString::fromLocal8Bit(snapstart->readAllStandardError()).trimmed();
                         snapstart->deleteLater();
                         if (status == QProcess::NormalExit && exitCode == 0) return;
                         Tell(owner, report.isEmpty() ? Texts().noDeviceViewer
                                                      : Texts().noDeviceViewer +
                                                            QStringLiteral("\n\n") + report);
                     });
    QObject::connect(snapstart, &QProcess::errorOccurred, snapstart,
                     [snapstart, owner](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         Tell(owner, Texts().snapstartMissing.arg(snapstart->program()));
                         snapstart->deleteLater();
                     });
    snapstart->start(program, {});
}

QString SnapstartBesideProgram() {
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("snapstart.exe");
#else
    const QString name = QStringLiteral("snapstart");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

}  // namespace

CablewatchPlatform CablewatchPlatform::Desktop(const QString& snapstartProgram) {
    CablewatchPlatform platform;
    platform.showDeviceProperties = &ShowPropertiesWindow;
    const QString snapstart =
        snapstartProgram.isEmpty() ? SnapstartBesideProgram() : snapstartProgram;
    platform.startDeviceManager = [snapstart](QWidget* owner) { StartSnapstart(snapstart, owner); };
    platform.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    platform.showWhatsThis = [](const QPoint& pos, const QString& text, QWidget* control) {
        QWhatsThis::showText(pos, text, control);
    };
    return platform;
}

CablewatchWindow::CablewatchWindow(const CablewatchOptions& options,
                                   std::unique_ptr<DeviceSource> source,
                                   CablewatchPlatform platform, QWidget* parent)
    : QDialog(parent),
      options_(options),
      source_(std::move(source)),
      platform_(std::move(platform)) {
    setObjectName(QStringLiteral("frmCablewatch"));
    setWindowTitle(Texts().windowTitle);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    for (int index : {kIconNormal, kIconDisabled, kIconDriverProblem}) imlIcons << ListIcon(index);
    BuildControls();

    if (options_.IsPortPicker()) {
        ApplyOwnerMode();
    } else {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        setWindowIcon(WindowIcon());
    }

    // The device manager started from here shows the details page.
    qputenv("DEVMGR_SHOW_DETAILS", "1");

    const auto widths = DeviceList::ColumnWidths(kListWidth);
    for (int column = 0; column < 3; ++column) lvwList->setColumnWidth(column, widths[column]);

    UpdateList();
    list_.Sort();
    list_.SelectPort(options_.portWord);
    SyncList();

    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName(QStringLiteral("tmrUpdate"));
    tmrUpdate->setInterval(kUpdateIntervalMs);
    connect(tmrUpdate, &QTimer::timeout, this, &CablewatchWindow::UpdateList);
    tmrUpdate->start();
}

CablewatchWindow::~CablewatchWindow() {
    delete ownerWindow_;
}

void CablewatchWindow::BuildControls() {
    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(WindowIcon().pixmap(32, 32));
    imgIcon->setFixedSize(32, 32);

    lblList = new QLabel(Texts().listLabel, this);
    lblList->setObjectName(QStringLiteral("lblList"));
    lblList->setWordWrap(true);

    lvwList = new QTreeWidget(this);
    lvwList->setObjectName(QStringLiteral("lvwList"));
    lvwList->setColumnCount(3);
    lvwList->setHeaderLabels(
        {Texts().columnComNumber, Texts().columnStatus, Texts().columnCableId});
    lvwList->setRootIsDecorated(false);
    lvwList->setItemsExpandable(false);
    lvwList->setUniformRowHeights(true);
    lvwList->setAllColumnsShowFocus(true);
    lvwList->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwList->setSortingEnabled(false);  // the order is the DeviceList's
    lvwList->setIconSize(QSize(16, 16));
    lvwList->setFixedSize(kListWidth, kListHeight);
    lvwList->setContextMenuPolicy(Qt::NoContextMenu);
    lvwList->header()->setSectionsClickable(true);
    lvwList->header()->setStretchLastSection(false);
    lvwList->header()->setSectionsMovable(false);
    lblList->setBuddy(lvwList);

    cmdProperties = new QPushButton(Texts().propertiesCaption, this);
    cmdProperties->setObjectName(QStringLiteral("cmdProperties"));
    cmdDevmgmt = new QPushButton(Texts().deviceManagerCaption, this);
    cmdDevmgmt->setObjectName(QStringLiteral("cmdDevmgmt"));
    cmdOk = new QPushButton(Texts().okCaption, this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setVisible(false);
    cmdOk->setAutoDefault(false);
    cmdClose = new QPushButton(Texts().closeCaption, this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* button : {cmdProperties, cmdDevmgmt, cmdOk, cmdClose}) {
        button->setMinimumWidth(120);
        button->setAutoDefault(false);
    }

    lblVersion = new QLabel(Texts().versionNone, this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(LogoPixmap());
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->setToolTip(kMakerSite);

    mnuWhatsThis = new QMenu(this);
    mnuWhatsThis->setObjectName(QStringLiteral("mnuWhatsThis"));
    mnuWhatsThisHelp = mnuWhatsThis->addAction(Texts().whatsThisCaption);
    mnuWhatsThisHelp->setObjectName(QStringLiteral("mnuWhatsThisHelp"));
    connect(mnuWhatsThisHelp, &QAction::triggered, this, &CablewatchWindow::OnWhatsThisHelp);

    SetHelpId(lblList, kHelpList);
    SetHelpId(lvwList, kHelpList);
    SetHelpId(cmdProperties, kHelpProperties);
    SetHelpId(cmdDevmgmt, kHelpDeviceManager);
    SetHelpId(cmdOk, kHelpOk);
    SetHelpId(cmdClose, kHelpClose);
    SetHelpId(lblVersion, kHelpVersion);
    SetHelpId(imgLogo, kHelpLogo);
    for (QWidget* control : std::initializer_list<QWidget*>{
             imgIcon, lblList, lvwList, lvwList->viewport(), lvwList->header(), cmdProperties,
             cmdDevmgmt, cmdOk, cmdClose, lblVersion, imgLogo})
        control->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(imgIcon, 0, Qt::AlignTop);
    top->addSpacing(6);
    top->addWidget(lblList, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdProperties);
    buttons->addWidget(cmdDevmgmt);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdClose);

    auto* middle = new QHBoxLayout;
    middle->addWidget(lvwList);
    middle->addSpacing(4);
    middle->addLayout(buttons);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblVersion, 1, Qt::AlignBottom);
    bottom->addWidget(imgLogo, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(lvwList, &QTreeWidget::itemSelectionChanged, this,
            &CablewatchWindow::OnSelectionChanged);
    connect(lvwList, &QTreeWidget::itemDoubleClicked, this, &CablewatchWindow::OnDoubleClicked);
    connect(lvwList->header(), &QHeaderView::sectionClicked, this,
            &CablewatchWindow::OnColumnClicked);
    connect(cmdProperties, &QPushButton::clicked, this, &CablewatchWindow::OnProperties);
    connect(cmdDevmgmt, &QPushButton::clicked, this, &CablewatchWindow::OnDeviceManager);
    connect(cmdOk, &QPushButton::clicked, this, &CablewatchWindow::OnOk);
    connect(cmdClose, &QPushButton::clicked, this, &CablewatchWindow::close);
}

void CablewatchWindow::ApplyOwnerMode() {
    // Modal to the owner: the connection tells it to disable itself until
    // this window closes; no icon and no task-bar button of its own.
    ownerLink_ = new OwnerLink(options_.ownerHandle, this);
    ownerLink_->Connect();
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon());
    // On X11 the handle may be the owner's window: keep this one above it.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && options_.ownerHandle > 0 &&
        options_.ownerHandle <= 0xffffffffLL) {
        winId();
        ownerWindow_ = QWindow::fromWinId(static_cast<WId>(options_.ownerHandle));
        if (ownerWindow_ && windowHandle()) windowHandle()->setTransientParent(ownerWindow_);
    }
    cmdOk->setVisible(true);
    cmdOk->setDefault(true);
    cmdClose->setText(Texts().cancelCaption);
    SetHelpId(cmdClose, kHelpCancel);
}

void CablewatchWindow::UpdateList() {
    if (!source_) return;
    lastTree_ = source_->Snapshot();
    const UpdateSummary summary = list_.Update(lastTree_);
    if (summary.Any() || lblVersion->text() != list_.VersionText()) SyncList();
}

void CablewatchWindow::SyncList() {
    syncing_ = true;
    const QList<DeviceRow>& rows = list_.Rows();
    QHash<QString, QTreeWidgetItem*> items;
    for (int i = 0; i < lvwList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwList->topLevelItem(i);
        items.insert(item->data(0, kKeyRole).toString().toLower(), item);
    }
    const QColor normalText = palette().color(QPalette::Active, QPalette::Text);
    const QColor ghostText = palette().color(QPalette::Disabled, QPalette::Text);
    for (int i = 0; i < rows.size(); ++i) {
        const DeviceRow& row = rows[i];
        QTreeWidgetItem* item = items.take(row.key.toLower());
        if (!item) item = new QTreeWidgetItem;
        item->setData(0, kKeyRole, row.key);
        item->setData(0, kIconRole, row.icon);
        item->setData(0, kGhostedRole, row.ghosted);
        item->setText(0, row.text);
        item->setText(1, row.status);
        item->setText(2, row.cableId);
        if (row.icon >= 1 && row.icon <= imlIcons.size())
            item->setIcon(0, row.ghosted ? QIcon(GhostedPixmap(row.icon)) : imlIcons[row.icon - 1]);
        for (int column = 0; column < 3; ++column)
            item->setForeground(column, row.ghosted ? ghostText : normalText);
        if (lvwList->indexOfTopLevelItem(item) != i) {
            const int at = lvwList->indexOfTopLevelItem(item);
            if (at >= 0) lvwList->takeTopLevelItem(at);
            lvwList->insertTopLevelItem(i, item);
        }
    }
    for (QTreeWidgetItem* gone : std::as_const(items)) delete gone;

    const int selected = list_.SelectedIndex();
    lvwList->clearSelection();
    if (selected >= 0) {
        QTreeWidgetItem* item = lvwList->topLevelItem(selected);
        lvwList->setCurrentItem(item);
        item->setSelected(true);
    }
    lvwList->header()->setSortIndicatorShown(list_.IsSorted());
    lvwList->header()->setSortIndicator(
        list_.SortColumn(), list_.IsDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    cmdProperties->setEnabled(list_.CommandsEnabled());
    cmdOk->setEnabled(list_.CommandsEnabled());
    lblVersion->setText(list_.VersionText());
    syncing_ = false;
}

void CablewatchWindow::OnSelectionChanged() {
    if (syncing_) return;
    const QList<QTreeWidgetItem*> selected = lvwList->selectedItems();
    list_.Select(selected.isEmpty() ? QString() : selected.first()->data(0, kKeyRole).toString());
}

void CablewatchWindow::OnColumnClicked(int section) {
    list_.ColumnClick(section + 1);
    SyncList();
}

void CablewatchWindow::OnDoubleClicked() {
    if (options_.IsPortPicker())
        OnOk();
    else
        OnProperties();
}

void CablewatchWindow::OnProperties() {
    if (list_.SelectedIndex() < 0 || !platform_.showDeviceProperties) return;
    platform_.showDeviceProperties(DevicePropertiesCommand(list_.SelectedKey()), lastTree_, this);
}

void CablewatchWindow::OnDeviceManager() {
    if (platform_.startDeviceManager) platform_.startDeviceManager(this);
}

void CablewatchWindow::OnOk() {
    const int selected = list_.SelectedIndex();
    // A program that has ended or stopped listening does not get the port: the window stays
    // and says so, rather than close as if the port had been taken.
    if (selected >= 0 && ownerLink_ && !ownerLink_->SendPortName(list_.Rows()[selected].tag)) {
        Tell(this, Texts().ownerGone, QStringLiteral("msgOwnerGone"));
        return;
    }
    close();
}

void CablewatchWindow::BringToFront() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CablewatchWindow::PopUpWhatsThis(QWidget* control, const QPoint& globalPos) {
    // The list's parts answer for the list.
    while (control && control != this && !control->property(kHelpIdProperty).isValid())
        control = control->parentWidget();
    whatsThisControl_ = control;
    whatsThisPos_ = globalPos;
    mnuWhatsThis->popup(globalPos);
}

void CablewatchWindow::OnWhatsThisHelp() {
    QWidget* control = whatsThisControl_;
    if (!control || !platform_.showWhatsThis) return;
    platform_.showWhatsThis(whatsThisPos_,
                            WhatsThisText(control->property(kHelpIdProperty).toInt()), control);
}

bool CablewatchWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (control == imgLogo && mouse->button() == Qt::LeftButton) logoPressed_ = true;
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                PopUpWhatsThis(control, mouse->globalPosition().toPoint());
                return true;
            }
            if (control == imgLogo && mouse->button() == Qt::LeftButton) {
                const bool inside = imgLogo->rect().contains(mouse->position().toPoint());
                if (logoPressed_ && inside && platform_.openUrl)
                    platform_.openUrl(QUrl(kMakerSite));
                logoPressed_ = false;
            }
            break;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Menu) {
                QWidget* focused = QApplication::focusWidget();
                if (!focused || focused->window() != this) focused = control;
                PopUpWhatsThis(focused, focused->mapToGlobal(focused->rect().center()));
                return true;
            }
            break;
        }
        case QEvent::ContextMenu:
            return true;  // the What's This menu stands in for every context menu
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void CablewatchWindow::closeEvent(QCloseEvent* event) {
    if (tmrUpdate) tmrUpdate->stop();
    // The owner enables itself and comes to the front when the link closes.
    if (ownerLink_) ownerLink_->Close();
    // Not QDialog's own: it would reject() and so close() again.
    event->accept();
}

// Escape closes the window as Close (or Cancel) does.
void CablewatchWindow::reject() {
    close();
}

}  // namespace cablewatch
