#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "FakeSysfs.h"
#include "base/StringTable.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/CablewatchWindow.h"
#include "cablewatch/DevicePropertiesWindow.h"
#include "cablewatch/SingleInstance.h"
#include "cablewatch/SysfsDeviceSource.h"
#include "cablewatch/WhatsThisHelp.h"

using namespace cablewatch;

namespace {

template <typename Done>
bool WaitFor(Done done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// What the window asked of the desktop.
struct Recorder {
    QStringList properties;
    int deviceManager = 0;
    QList<QUrl> urls;
    QStringList whatsThis;
    QList<QPointer<QWidget>> whatsThisControls;

    CablewatchPlatform Platform() {
        CablewatchPlatform platform;
        platform.showDeviceProperties = [this](const QString& command, const RegistryTree&,
                                               QWidget*) { properties << command; };
        platform.startDeviceManager = [this](QWidget*) { ++deviceManager; };
        platform.openUrl = [this](const QUrl& url) { urls << url; };
        platform.showWhatsThis = [this](const QPoint&, const QString& text, QWidget* control) {
            whatsThis << text;
            whatsThisControls << control;
        };
        return platform;
    }
};

// An owner program: listens on its handle's socket and keeps what arrives.
struct FakeOwner {
    explicit FakeOwner(qint64 handle) {
        QLocalServer::removeServer(OwnerSocketName(handle));
        server.listen(OwnerSocketName(handle));
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = server.nextPendingConnection()) {
                ++connections;
                QObject::connect(socket, &QLocalSocket::readyRead,
                                 [this, socket] { received += socket->readAll(); });
                QObject::connect(socket, &QLocalSocket::disconnected, [this] { ++disconnections; });
            }
        });
    }
    QLocalServer server;
    QByteArray received;
    int connections = 0;
    int disconnections = 0;
};

FakeCable Cable(const QString& name, const QString& serial, const QString& tty) {
    FakeCable cable;
    cable.name = name;
    cable.serial = serial;
    cable.tty = tty;
    return cable;
}

class CablewatchWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        sys_ = std::make_unique<FakeSysfs>(dir_.path() + QStringLiteral("/sys"));
        sys_->LoadModule(QStringLiteral("cp210x"), QStringLiteral("6.1.0-cw"));
    }

    // Ports as TR58 Link's settings might map them.
    std::unique_ptr<SysfsDeviceSource> Source() {
        const QMap<int, QString> entries = {{3, QStringLiteral("/dev/ttyUSB0")},
                                            {7, QStringLiteral("/dev/ttyUSB1")},
                                            {12, QStringLiteral("/dev/ttyUSB2")}};
        return std::make_unique<SysfsDeviceSource>(
            sys_->Root(), dir_.path() + QStringLiteral("/cables.json"),
            [entries](const QStringList& devices) { return ComPortMap(entries, devices); });
    }

    // Three cables: CW0003 OK on COM3; CW0007 on COM7 bound to the old
    // driver too; CW0012 seen on COM12 and unplugged since.
    void ThreeCables() {
        sys_->AddCable(
            Cable(QStringLiteral("1-1"), QStringLiteral("CW0003"), QStringLiteral("ttyUSB0")));
        FakeCable old =
            Cable(QStringLiteral("1-2"), QStringLiteral("CW0007"), QStringLiteral("ttyUSB1"));
        old.drivers << QStringLiteral("usbserial_generic");
        sys_->AddCable(old);
        sys_->AddCable(
            Cable(QStringLiteral("1-3"), QStringLiteral("CW0012"), QStringLiteral("ttyUSB2")));
        Source()->Snapshot();
        sys_->Unplug(QStringLiteral("1-3"));
    }

    std::unique_ptr<CablewatchWindow> Window(const QStringList& args) {
        return std::make_unique<CablewatchWindow>(ParseCablewatchCommandLine(args), Source(),
                                                  recorder_.Platform());
    }
    // The window as the program has it, on the desktop's own platform.
    std::unique_ptr<CablewatchWindow> DesktopWindow(const QStringList& args) {
        return std::make_unique<CablewatchWindow>(ParseCablewatchCommandLine(args), Source(),
                                                  CablewatchPlatform::Desktop(SNAPSTART_EXE));
    }

    template <typename T>
    static T* Find(CablewatchWindow& window, const char* name) {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    static QStringList Column(QTreeWidget* list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }

    QTemporaryDir dir_;
    std::unique_ptr<FakeSysfs> sys_;
    Recorder recorder_;
};

}  // namespace

TEST_F(CablewatchWindowTest, ShowsTheWindowsTextsAndColumns) {
    auto window = Window({});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvion USB Instrument Finder"));
    EXPECT_EQ(Find<QLabel>(*window, "lblList")->text(),
              QStringLiteral("The following Halvion &USB Instrument devices have been installed:"));
    EXPECT_EQ(Find<QPushButton>(*window, "cmdProperties")->text(), QStringLiteral("&Properties"));
    EXPECT_EQ(Find<QPushButton>(*window, "cmdDevmgmt")->text(),
              QStringLiteral("&Device Manager..."));
    // No Windows administrator shield: the desktop's viewer needs no rights.
    EXPECT_TRUE(Find<QPushButton>(*window, "cmdDevmgmt")->icon().isNull());
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("COM Number"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Status"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("USB Cable ID"));
    const auto widths = DeviceList::ColumnWidths(list->width());
    EXPECT_EQ(list->columnWidth(0), widths[0]);
    EXPECT_EQ(list->columnWidth(2), widths[0] + 1);
    EXPECT_EQ(Find<QLabel>(*window, "lblVersion")->text(),
              QStringLiteral("Driver version: 6.1.0-cw"));
    EXPECT_EQ(qgetenv("DEVMGR_SHOW_DETAILS"), QByteArray("1"));
    auto* timer = Find<QTimer>(*window, "tmrUpdate");
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(CablewatchWindowTest, ThreeCablesInTheirStatesSortedByComNumber) {
    ThreeCables();
    auto window = Window({});
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(Column(list, 0), (QStringList{"COM3", "COM7", "COM12"}));
    EXPECT_EQ(Column(list, 1), (QStringList{"OK", "Obsolete driver", "Not present"}));
    EXPECT_EQ(Column(list, 2), (QStringList{"CW0003", "CW0007", "CW0012"}));
    const QList<int> icons = {1, 3, 1};
    const QList<bool> ghosted = {false, false, true};
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        EXPECT_EQ(item->data(0, CablewatchWindow::kIconRole).toInt(), icons[i]) << i;
        EXPECT_EQ(item->data(0, CablewatchWindow::kGhostedRole).toBool(), ghosted[i]) << i;
        EXPECT_FALSE(item->icon(0).isNull());
    }
    // The absent cable is drawn greyed.
    EXPECT_EQ(list->topLevelItem(2)->foreground(1).color(),
              window->palette().color(QPalette::Disabled, QPalette::Text));
    EXPECT_NE(list->topLevelItem(0)->foreground(1).color(),
              list->topLevelItem(2)->foreground(1).color());
    EXPECT_TRUE(list->header()->isSortIndicatorShown());
    // Nothing was asked for: the first row is selected.
    EXPECT_TRUE(list->topLevelItem(0)->isSelected());
    EXPECT_FALSE(Find<QPushButton>(*window, "cmdOk")->isVisibleTo(window.get()));
    EXPECT_EQ(Find<QPushButton>(*window, "cmdClose")->text(), QStringLiteral("Close"));
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(CablewatchWindowTest, DisabledCableShowsDisabledWithIconTwo) {
    FakeCable disabled = Cable(QStringLiteral("1-4"), QStringLiteral("CW0004"), QString());
    disabled.authorized = false;
    disabled.drivers.clear();
    sys_->AddCable(disabled);
    auto window = Window({});
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Disabled"));
    EXPECT_EQ(list->topLevelItem(0)->data(0, CablewatchWindow::kIconRole).toInt(), 2);
}

TEST_F(CablewatchWindowTest, PortPickerPreselectsCom7AndOkRepliesWithIt) {
    ThreeCables();
    const qint64 handle = 0x4c000000 + QCoreApplication::applicationPid();
    FakeOwner owner(handle);
    auto window = Window({QStringLiteral("/W:%1").arg(handle), QStringLiteral("COM7")});
    window->show();
    EXPECT_TRUE(window->IsPortPicker());
    EXPECT_TRUE(WaitFor([&] { return owner.connections == 1; }));  // the owner is now disabled

    auto* list = Find<QTreeWidget>(*window, "lvwList");
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(0), QStringLiteral("COM7"));
    auto* ok = Find<QPushButton>(*window, "cmdOk");
    EXPECT_TRUE(ok->isVisible());
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(Find<QPushButton>(*window, "cmdClose")->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(window->windowIcon().isNull());  // no icon of its own

    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return owner.received.size() >= 13; }));
    const auto record = DecodePortPickerReply(owner.received);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->kind, 0u);
    EXPECT_EQ(record->length, 5u);
    EXPECT_EQ(record->data, QByteArray("COM7\0", 5));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(WaitFor([&] { return owner.disconnections == 1; }));  // owner enabled again
}

TEST_F(CablewatchWindowTest, PortPickerDoubleClickIsOkAndCancelSendsNothing) {
    ThreeCables();
    const qint64 handle = 0x4d000000 + QCoreApplication::applicationPid();
    {
        FakeOwner owner(handle);
        auto window = Window({QStringLiteral("/w:%1").arg(handle)});
        window->show();
        auto* list = Find<QTreeWidget>(*window, "lvwList");
        QTreeWidgetItem* item = list->topLevelItem(2);
        list->setCurrentItem(item);
        emit list->itemDoubleClicked(item, 0);
        ASSERT_TRUE(WaitFor([&] { return owner.received.size() >= 14; }));
        EXPECT_EQ(DecodePortPickerReply(owner.received)->portName, QStringLiteral("COM12"));
        EXPECT_TRUE(recorder_.properties.isEmpty());
    }
    FakeOwner owner(handle);
    auto window = Window({QStringLiteral("/W:%1").arg(handle), QStringLiteral("COM3")});
    window->show();
    ASSERT_TRUE(WaitFor([&] { return owner.connections == 1; }));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return owner.disconnections == 1; }));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(owner.received.isEmpty());
}

// The program that asked for a port has ended: OK used to close the window as if the port had
// been handed over, and the user waited for a port that never came.
TEST_F(CablewatchWindowTest, PortPickerOkWhenTheOwnerHasGoneSaysSoAndStays) {
    ThreeCables();
    const qint64 handle = 0x4e000000 + QCoreApplication::applicationPid();
    auto owner = std::make_unique<FakeOwner>(handle);
    auto window = Window({QStringLiteral("/W:%1").arg(handle), QStringLiteral("COM7")});
    window->show();
    ASSERT_TRUE(WaitFor([&] { return owner->connections == 1; }));
    owner.reset();
    QTest::mouseClick(Find<QPushButton>(*window, "cmdOk"), Qt::LeftButton);
    QMessageBox* box = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        box = window->findChild<QMessageBox*>(QStringLiteral("msgOwnerGone"));
        return box && box->isVisible();
    }));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), Texts().ownerGone);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(CablewatchWindowTest, EmptyListDisablesPropertiesAndOk) {
    auto window = Window({QStringLiteral("/W:77")});
    EXPECT_FALSE(Find<QPushButton>(*window, "cmdProperties")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*window, "cmdOk")->isEnabled());
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0003"), QStringLiteral("ttyUSB0")));
    window->UpdateList();
    EXPECT_TRUE(Find<QPushButton>(*window, "cmdProperties")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(*window, "cmdOk")->isEnabled());
}

TEST_F(CablewatchWindowTest, UpdateFollowsPlugsAndSwitchesSortingOffOnAPortChange) {
    ThreeCables();
    auto window = Window({});
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    ASSERT_TRUE(list->header()->isSortIndicatorShown());

    // CW0003 is unplugged, then plugged in again on the tty mapped to COM12.
    sys_->Unplug(QStringLiteral("1-1"));
    window->UpdateList();
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Not present"));
    EXPECT_TRUE(list->topLevelItem(0)->data(0, CablewatchWindow::kGhostedRole).toBool());
    EXPECT_TRUE(list->header()->isSortIndicatorShown());

    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0003"), QStringLiteral("ttyUSB2")));
    window->UpdateList();
    EXPECT_EQ(Column(list, 0), (QStringList{"COM12", "COM7", "COM12"}));
    EXPECT_EQ(Column(list, 1), (QStringList{"OK", "Obsolete driver", "Not present"}));
    EXPECT_FALSE(window->List().IsSorted());
    EXPECT_FALSE(list->header()->isSortIndicatorShown());

    // A new cable is added at the end while unsorted.
    sys_->AddCable(
        Cable(QStringLiteral("1-5"), QStringLiteral("CW0000"), QStringLiteral("ttyUSB3")));
    window->UpdateList();
    EXPECT_EQ(Column(list, 2).last(), QStringLiteral("CW0000"));
    EXPECT_EQ(Column(list, 0).last(), QStringLiteral("COM1"));
}

TEST_F(CablewatchWindowTest, ColumnClicksSortTheList) {
    ThreeCables();
    auto window = Window({});
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    emit list->header()->sectionClicked(0);
    EXPECT_EQ(Column(list, 0), (QStringList{"COM12", "COM7", "COM3"}));
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    emit list->header()->sectionClicked(1);
    EXPECT_EQ(Column(list, 1), (QStringList{"Not present", "Obsolete driver", "OK"}));
    EXPECT_EQ(list->header()->sortIndicatorSection(), 1);
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(CablewatchWindowTest, SelectionSurvivesReorderingAndUpdates) {
    ThreeCables();
    auto window = Window({});
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    list->setCurrentItem(list->topLevelItem(1));  // COM7
    EXPECT_EQ(window->List().SelectedKey(), kDeviceKeyPrefix + QStringLiteral("CW0007"));
    emit list->header()->sectionClicked(0);
    window->UpdateList();
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(0), QStringLiteral("COM7"));
}

TEST_F(CablewatchWindowTest, PropertiesAndDeviceManagerAskTheDesktop) {
    ThreeCables();
    auto window = Window({QStringLiteral("COM12")});
    QTest::mouseClick(Find<QPushButton>(*window, "cmdProperties"), Qt::LeftButton);
    ASSERT_EQ(recorder_.properties.size(), 1);
    EXPECT_EQ(recorder_.properties.first(),
              QStringLiteral("/MachineName \"\" /DeviceID \"USB\\Vid_2A6F&Pid_0200\\CW0012\""));
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    EXPECT_EQ(recorder_.properties.size(), 2);
    QTest::mouseClick(Find<QPushButton>(*window, "cmdDevmgmt"), Qt::LeftButton);
    EXPECT_EQ(recorder_.deviceManager, 1);
    EXPECT_EQ(recorder_.urls.size(), 0);
}

TEST_F(CablewatchWindowTest, PropertiesShowTheSelectedCableInAWindowOfTheirOwn) {
    ThreeCables();
    auto window = DesktopWindow({QStringLiteral("COM7")});
    window->show();
    QTest::mouseClick(Find<QPushButton>(*window, "cmdProperties"), Qt::LeftButton);
    const auto pages = window->findChildren<DevicePropertiesWindow*>();
    ASSERT_EQ(pages.size(), 1);
    DevicePropertiesWindow* page = pages.first();
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->isWindow());
    EXPECT_EQ(page->windowTitle(), QStringLiteral("COM7 Properties"));
    EXPECT_EQ(page->RowKey(), QStringLiteral("USB\\Vid_2A6F&Pid_0200\\CW0007"));
    const QString text = page->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("COM Number: COM7"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Status: Obsolete driver"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("USB Cable ID: CW0007"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("CW0003")));
    // Closing the page deletes it; the list window stays.
    QPointer<DevicePropertiesWindow> closed = page;
    page->close();
    EXPECT_TRUE(WaitFor([&] { return closed.isNull(); }));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(CablewatchWindowTest, DeviceManagerSaysSoWhenNoViewerIsInstalled) {
    ThreeCables();
    QTemporaryDir emptyPath;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toLocal8Bit());
    auto window = DesktopWindow({});
    window->show();
    QTest::mouseClick(Find<QPushButton>(*window, "cmdDevmgmt"), Qt::LeftButton);
    QMessageBox* box = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
            box = window->findChild<QMessageBox*>(QStringLiteral("msgDeviceManager"));
            return box && box->isVisible();
        },
        10000));
    qputenv("PATH", oldPath);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().startsWith(Texts().noDeviceViewer)) << qPrintable(box->text());
    // What snapstart looked for reaches the user.
    EXPECT_TRUE(box->text().contains(QStringLiteral("usbview"))) << qPrintable(box->text());
}

TEST_F(CablewatchWindowTest, LogoOpensTheMakersSiteOnAFullClickOnly) {
    auto window = Window({});
    window->show();
    auto* logo = Find<QLabel>(*window, "imgLogo");
    QTest::mouseClick(logo, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(recorder_.urls.size(), 1);
    EXPECT_EQ(recorder_.urls.first(), QUrl(kMakerSite));
    // Pressed on the logo but released outside it: nothing.
    QTest::mousePress(logo, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(logo, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(recorder_.urls.size(), 1);
    // Released without a press on it: nothing.
    QTest::mouseRelease(logo, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(recorder_.urls.size(), 1);
}

TEST_F(CablewatchWindowTest, RightButtonReleaseOffersWhatsThisForThatControl) {
    auto window = Window({QStringLiteral("/W:99")});
    window->show();
    auto* cancel = Find<QPushButton>(*window, "cmdClose");
    auto* menu = Find<QMenu>(*window, "mnuWhatsThis");
    QTest::mouseRelease(cancel, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(WaitFor([&] { return menu->isVisible(); }));
    EXPECT_EQ(window->WhatsThisControl(), cancel);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("&What's This?"));
    menu->actions().first()->trigger();
    menu->hide();
    ASSERT_EQ(recorder_.whatsThis.size(), 1);
    EXPECT_EQ(recorder_.whatsThis.first(), WhatsThisText(kHelpCancel));
    EXPECT_TRUE(window->isVisible());  // the right button is no click
}

TEST_F(CablewatchWindowTest, ContextMenuKeyOffersWhatsThisForTheFocusedControl) {
    ThreeCables();
    auto window = Window({});
    window->show();
    QApplication::setActiveWindow(window.get());
    auto* list = Find<QTreeWidget>(*window, "lvwList");
    list->setFocus();
    ASSERT_TRUE(WaitFor([&] { return list->hasFocus(); }));
    QTest::keyClick(list, Qt::Key_Menu);
    auto* menu = Find<QMenu>(*window, "mnuWhatsThis");
    EXPECT_TRUE(WaitFor([&] { return menu->isVisible(); }));
    EXPECT_EQ(window->WhatsThisControl(), list);
    menu->actions().first()->trigger();
    menu->hide();
    ASSERT_EQ(recorder_.whatsThis.size(), 1);
    EXPECT_EQ(recorder_.whatsThis.first(), WhatsThisText(kHelpList));
}

TEST_F(CablewatchWindowTest, ActivationFromASecondCopyRestoresTheWindow) {
    auto window = Window({});
    const QString name =
        QStringLiteral("cablewatch-window-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance instance(name);
    ASSERT_TRUE(instance.Listen());
    QObject::connect(&instance, &SingleInstance::activationRequested, window.get(),
                     &CablewatchWindow::BringToFront);
    window->showMinimized();
    ASSERT_TRUE(WaitFor([&] { return window->isMinimized(); }));
    SingleInstance second(name);
    ASSERT_TRUE(second.ActivateRunning());
    EXPECT_TRUE(WaitFor([&] { return !window->isMinimized() && window->isVisible(); }));
}

// On a Swedish desktop (the language TR58 Link chose) the window speaks
// Swedish; the English texts are the window's own.
TEST_F(CablewatchWindowTest, TheWindowSpeaksTheChosenLanguage) {
    ThreeCables();
    struct BackToEnglish {
        ~BackToEnglish() { StringTable::SetLanguage(QStringLiteral("en")); }
    } backToEnglish;

    ASSERT_TRUE(StringTable::SetLanguage(QStringLiteral("sv")));
    auto swedish = Window({QStringLiteral("/W:99")});
    EXPECT_EQ(swedish->windowTitle(), QStringLiteral("Halvion USB-instrumentsökare"));
    EXPECT_EQ(Find<QPushButton>(*swedish, "cmdProperties")->text(), QStringLiteral("&Egenskaper"));
    EXPECT_EQ(Find<QPushButton>(*swedish, "cmdClose")->text(), QStringLiteral("Avbryt"));
    auto* list = Find<QTreeWidget>(*swedish, "lvwList");
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("COM-nummer"));
    EXPECT_EQ(Column(list, 1), (QStringList{"OK", "Föråldrad drivrutin", "Inte ansluten"}));
    EXPECT_EQ(Find<QLabel>(*swedish, "lblVersion")->text(),
              QStringLiteral("Drivrutinsversion: 6.1.0-cw"));
    swedish.reset();

    ASSERT_TRUE(StringTable::SetLanguage(QStringLiteral("en")));
    auto english = Window({});
    EXPECT_EQ(english->windowTitle(), QStringLiteral("Halvion USB Instrument Finder"));
    EXPECT_EQ(Column(Find<QTreeWidget>(*english, "lvwList"), 1),
              (QStringList{"OK", "Obsolete driver", "Not present"}));
}
