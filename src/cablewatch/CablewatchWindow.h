#pragma once
// Cablewatch's one window, "Halvion USB Instrument Finder": the list of
// instrument cables kept current once a second, Properties, Device Manager,
// and, for a program that started it as a port picker, OK and Cancel. The
// list itself (rows, states, sorting, selection) is a DeviceList; the window
// shows it and forwards the user's commands.

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>

#include "cablewatch/CablewatchCommandLine.h"
#include "cablewatch/DeviceList.h"
#include "cablewatch/DeviceSource.h"
#include "cablewatch/PortPickerReply.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWindow;

namespace cablewatch {

// What the window asks of the desktop. The defaults show the device's
// properties in a window of their own, start snapstart (from the program's
// own folder unless named) and tell the user when it found no device viewer,
// open URLs with the desktop and show What's This help beside the control;
// tests put recorders in their place.
struct CablewatchPlatform {
    std::function<void(const QString& command, const RegistryTree& tree, QWidget* owner)>
        showDeviceProperties;
    std::function<void(QWidget* owner)> startDeviceManager;
    std::function<void(const QUrl& url)> openUrl;
    std::function<void(const QPoint& globalPos, const QString& text, QWidget* control)>
        showWhatsThis;

    static CablewatchPlatform Desktop(const QString& snapstartProgram = QString());
};

class CablewatchWindow : public QDialog {
    Q_OBJECT
public:
    // Item data of the list's first column, for whoever reads the rows.
    static constexpr int kKeyRole = Qt::UserRole + 1;
    static constexpr int kIconRole = Qt::UserRole + 2;
    static constexpr int kGhostedRole = Qt::UserRole + 3;

    CablewatchWindow(const CablewatchOptions& options, std::unique_ptr<DeviceSource> source,
                     CablewatchPlatform platform = CablewatchPlatform::Desktop(),
                     QWidget* parent = nullptr);
    ~CablewatchWindow() override;

    const DeviceList& List() const { return list_; }
    bool IsPortPicker() const { return options_.IsPortPicker(); }
    // The control that last asked for What's This help.
    QWidget* WhatsThisControl() const { return whatsThisControl_; }

public slots:
    // tmrUpdate: reads the device tree and brings the list up to date.
    void UpdateList();
    // A later copy of Cablewatch asked for this window.
    void BringToFront();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void ApplyOwnerMode();
    void SyncList();
    void OnSelectionChanged();
    void OnColumnClicked(int section);
    void OnDoubleClicked();
    void OnProperties();
    void OnDeviceManager();
    void OnOk();
    void OnWhatsThisHelp();
    void PopUpWhatsThis(QWidget* control, const QPoint& globalPos);

    CablewatchOptions options_;
    std::unique_ptr<DeviceSource> source_;
    CablewatchPlatform platform_;
    DeviceList list_;
    RegistryTree lastTree_;
    OwnerLink* ownerLink_ = nullptr;
    QWindow* ownerWindow_ = nullptr;
    bool syncing_ = false;
    bool logoPressed_ = false;
    QPoint whatsThisPos_;
    QPointer<QWidget> whatsThisControl_;

    QLabel* imgIcon = nullptr;
    QLabel* lblList = nullptr;
    QTreeWidget* lvwList = nullptr;
    QPushButton* cmdProperties = nullptr;
    QPushButton* cmdDevmgmt = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* imgLogo = nullptr;
    QTimer* tmrUpdate = nullptr;
    QMenu* mnuWhatsThis = nullptr;
    QAction* mnuWhatsThisHelp = nullptr;
    QList<QIcon> imlIcons;
};

}  // namespace cablewatch
