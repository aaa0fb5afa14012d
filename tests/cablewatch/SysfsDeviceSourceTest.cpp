#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "FakeSysfs.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceList.h"
#include "cablewatch/SysfsDeviceSource.h"

using namespace cablewatch;

namespace {

class SysfsSource : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        sys_ = std::make_unique<FakeSysfs>(dir_.path() + QStringLiteral("/sys"));
        history_ = dir_.path() + QStringLiteral("/cables.json");
    }

    // The source as TR58 Link maps ports: explicit entries, then the devices.
    SysfsDeviceSource Source(QMap<int, QString> explicitEntries = {}) {
        return SysfsDeviceSource(sys_->Root(), history_,
                                 [explicitEntries](const QStringList& devices) {
                                     return ComPortMap(explicitEntries, devices);
                                 });
    }

    // One update of a list, as the window's timer does it.
    const DeviceRow* Row(const QString& cableId) {
        for (const DeviceRow& row : list_.Rows())
            if (row.cableId == cableId) return &row;
        return nullptr;
    }
    void Update(SysfsDeviceSource& source) { list_.Update(source.Snapshot()); }

    QTemporaryDir dir_;
    std::unique_ptr<FakeSysfs> sys_;
    QString history_;
    DeviceList list_;
};

FakeCable Cable(const QString& name, const QString& serial, const QString& tty) {
    FakeCable cable;
    cable.name = name;
    cable.serial = serial;
    cable.tty = tty;
    return cable;
}

}  // namespace

TEST_F(SysfsSource, PluggedCableWithCurrentDriverIsOkOnItsComPort) {
    sys_->AddTty(QStringLiteral("ttyS0"));
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    auto source = Source();
    Update(source);
    ASSERT_EQ(list_.Rows().size(), 1);
    const DeviceRow& row = list_.Rows()[0];
    EXPECT_EQ(row.key, QStringLiteral("USB\\Vid_2A6F&Pid_0200\\CW0001"));
    EXPECT_EQ(row.text, QStringLiteral("COM1"));  // USB adapters come before ttyS
    EXPECT_EQ(row.tag, QStringLiteral("COM1"));
    EXPECT_EQ(row.status, QStringLiteral("OK"));
    EXPECT_EQ(row.icon, 1);
    EXPECT_FALSE(row.ghosted);
}

TEST_F(SysfsSource, CableNeverPluggedInDoesNotAppear) {
    // Another USB-serial adapter and a cable of another product are plugged in;
    // the instrument cable CW0002 never was.
    FakeCable other =
        Cable(QStringLiteral("1-2"), QStringLiteral("FTDI1"), QStringLiteral("ttyUSB1"));
    other.vendor = QStringLiteral("0403");
    other.product = QStringLiteral("6001");
    sys_->AddCable(other);
    FakeCable sibling = Cable(QStringLiteral("1-3"), QStringLiteral("CW0003"), QString());
    sibling.product = QStringLiteral("0201");
    sys_->AddCable(sibling);
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    auto source = Source();
    Update(source);
    Update(source);
    ASSERT_EQ(list_.Rows().size(), 1);
    EXPECT_EQ(list_.Rows()[0].cableId, QStringLiteral("CW0001"));
    EXPECT_EQ(Row(QStringLiteral("CW0002")), nullptr);
    EXPECT_EQ(Row(QStringLiteral("FTDI1")), nullptr);
}

TEST_F(SysfsSource, UnpluggedCableShowsNotPresentGhostedWithItsLastPort) {
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    sys_->AddCable(
        Cable(QStringLiteral("1-2"), QStringLiteral("CW0002"), QStringLiteral("ttyUSB1")));
    auto source = Source();
    Update(source);
    sys_->Unplug(QStringLiteral("1-2"));
    Update(source);

    const DeviceRow* row = Row(QStringLiteral("CW0002"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->status, QStringLiteral("Not present"));
    EXPECT_EQ(row->icon, 1);
    EXPECT_TRUE(row->ghosted);
    EXPECT_EQ(row->tag, QStringLiteral("COM2"));
    EXPECT_EQ(Row(QStringLiteral("CW0001"))->status, QStringLiteral("OK"));

    // A later start of Cablewatch still knows the cable.
    DeviceList fresh;
    auto again = Source();
    fresh.Update(again.Snapshot());
    ASSERT_EQ(fresh.Rows().size(), 2);
    EXPECT_EQ(fresh.Rows()[1].status, QStringLiteral("Not present"));
}

TEST_F(SysfsSource, ObsoleteDriverBindingWinsEvenWhenTheCurrentDriverListsIt) {
    FakeCable both =
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0"));
    both.drivers = {QStringLiteral("cp210x"), QStringLiteral("usbserial_generic")};
    sys_->AddCable(both);
    FakeCable old =
        Cable(QStringLiteral("1-2"), QStringLiteral("CW0002"), QStringLiteral("ttyUSB1"));
    old.drivers = {QStringLiteral("usbserial_generic")};
    sys_->AddCable(old);
    auto source = Source();
    const RegistryTree tree = source.Snapshot();
    EXPECT_EQ(tree.StringValue(kCurrentDriverEnum, QStringLiteral("0")),
              QStringLiteral("USB\\VID_2A6F&PID_0200\\CW0001"));
    list_.Update(tree);
    for (const QString& id : {QStringLiteral("CW0001"), QStringLiteral("CW0002")}) {
        const DeviceRow* row = Row(id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->status, QStringLiteral("Obsolete driver")) << id.toStdString();
        EXPECT_EQ(row->icon, 3);
        EXPECT_FALSE(row->ghosted);
    }
}

TEST_F(SysfsSource, DisabledDeviceShowsDisabledWithIconTwo) {
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    auto source = Source();
    Update(source);
    // De-authorising a device unbinds its interfaces and removes its tty.
    sys_->Unplug(QStringLiteral("1-1"));
    FakeCable disabled = Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QString());
    disabled.authorized = false;
    disabled.drivers.clear();
    sys_->AddCable(disabled);
    Update(source);
    const DeviceRow* row = Row(QStringLiteral("CW0001"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->status, QStringLiteral("Disabled"));
    EXPECT_EQ(row->icon, 2);
    EXPECT_EQ(row->tag, QStringLiteral("COM1"));  // the port it had is kept

    // Authorised again (and bound): OK once more.
    sys_->Unplug(QStringLiteral("1-1"));
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    Update(source);
    EXPECT_EQ(Row(QStringLiteral("CW0001"))->status, QStringLiteral("OK"));
}

TEST_F(SysfsSource, CableWithoutAnyDriverEverShowsDriverNotInstalled) {
    FakeCable bare = Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QString());
    bare.drivers.clear();
    sys_->AddCable(bare);
    auto source = Source();
    Update(source);
    const DeviceRow* row = Row(QStringLiteral("CW0001"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->status, QStringLiteral("Driver not installed"));
    EXPECT_EQ(row->icon, 3);
    EXPECT_TRUE(row->ghosted);
    EXPECT_EQ(row->tag, QString());
}

TEST_F(SysfsSource, PortNameComesFromTheProgramsComMapping) {
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    sys_->AddCable(
        Cable(QStringLiteral("1-2"), QStringLiteral("CW0002"), QStringLiteral("ttyUSB1")));
    auto source = Source({{9, QStringLiteral("/dev/ttyUSB1")}});
    Update(source);
    EXPECT_EQ(Row(QStringLiteral("CW0001"))->tag, QStringLiteral("COM1"));
    EXPECT_EQ(Row(QStringLiteral("CW0002"))->tag, QStringLiteral("COM9"));
}

TEST_F(SysfsSource, TtyWithoutComNumberHasAnEmptyPortName) {
    QMap<int, QString> full;
    for (int com = 1; com <= 16; ++com) full.insert(com, QStringLiteral("/dev/ttyS%1").arg(com));
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    auto source = Source(full);
    const RegistryTree tree = source.Snapshot();
    EXPECT_EQ(
        tree.StringValue(kEnumRoot + kDeviceKeyPrefix + QStringLiteral("CW0001\\Device Parameters"),
                         kPortName),
        QString());
}

TEST_F(SysfsSource, UnusableOrRepeatedSerialsGetInstanceNamesOfTheirOwn) {
    FakeCable none = Cable(QStringLiteral("1-1"), QString(), QStringLiteral("ttyUSB0"));
    none.hasSerial = false;
    sys_->AddCable(none);
    sys_->AddCable(
        Cable(QStringLiteral("1-2"), QStringLiteral("..\\..\\evil"), QStringLiteral("ttyUSB1")));
    sys_->AddCable(Cable(QStringLiteral("1-3"), QStringLiteral("SAME"), QStringLiteral("ttyUSB2")));
    sys_->AddCable(Cable(QStringLiteral("1-4"), QStringLiteral("same"), QStringLiteral("ttyUSB3")));
    sys_->AddCable(Cable(QStringLiteral("1-5"), QStringLiteral("has space"), QString()));

    const QList<SysfsCable> cables = SysfsDeviceSource::FindCables(sys_->Root());
    QStringList instances;
    for (const SysfsCable& cable : cables) instances << cable.instance;
    EXPECT_EQ(instances,
              (QStringList{QStringLiteral("&1-1"), QStringLiteral("&1-2"), QStringLiteral("SAME"),
                           QStringLiteral("same&1-4"), QStringLiteral("&1-5")}));
    auto source = Source();
    Update(source);
    EXPECT_EQ(list_.Rows().size(), 5);  // each its own row, none splits the key path
}

TEST_F(SysfsSource, DriverVersionComesFromTheLoadedModule) {
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    auto source = Source();
    Update(source);
    EXPECT_EQ(list_.VersionText(), QStringLiteral("Driver version: (none)"));
    sys_->LoadModule(QStringLiteral("cp210x"));
    Update(source);  // the key without its value leaves the text alone
    EXPECT_EQ(list_.VersionText(), QStringLiteral("Driver version: (none)"));
    sys_->LoadModule(QStringLiteral("cp210x"), QStringLiteral("6.1.0-test"));
    Update(source);
    EXPECT_EQ(list_.VersionText(), QStringLiteral("Driver version: 6.1.0-test"));
}

TEST_F(SysfsSource, DamagedHistoryFileIsStartedAfresh) {
    QFile file(history_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"cables\": [ {\"instance\": \"..\\\\x\"}, 17, \"junk");
    file.close();
    sys_->AddCable(
        Cable(QStringLiteral("1-1"), QStringLiteral("CW0001"), QStringLiteral("ttyUSB0")));
    auto source = Source();
    Update(source);
    ASSERT_EQ(list_.Rows().size(), 1);
    EXPECT_EQ(CableHistory::Load(history_).Records().size(), 1);
}

TEST_F(SysfsSource, HistoryFileDiffersForEveryTreeAndMissingRootIsUnavailable) {
    EXPECT_NE(CableHistory::DefaultFile(QStringLiteral("/sys")),
              CableHistory::DefaultFile(sys_->Root()));
    EXPECT_TRUE(CableHistory::DefaultFile(QStringLiteral("/sys"))
                    .endsWith(QStringLiteral("/cablewatch-cables.json")));
    EXPECT_TRUE(Source().IsAvailable());
    EXPECT_FALSE(SysfsDeviceSource(dir_.path() + QStringLiteral("/none"), history_).IsAvailable());
}

TEST(CableHistory, KeepsTheNewestRecordsWithinItsLimit) {
    CableHistory history;
    for (int i = 0; i < CableHistory::kMaxRecords + 3; ++i)
        history.Remember({QStringLiteral("C%1").arg(i), QStringLiteral("COM1"), true});
    EXPECT_EQ(history.Records().size(), CableHistory::kMaxRecords);
    EXPECT_EQ(history.Find(QStringLiteral("C0")), nullptr);
    ASSERT_NE(history.Find(QStringLiteral("c3")), nullptr);
    EXPECT_FALSE(history.Remember({QStringLiteral("c3"), QStringLiteral("COM1"), true}));
    EXPECT_TRUE(history.Remember({QStringLiteral("c3"), QStringLiteral("COM2"), true}));
}
