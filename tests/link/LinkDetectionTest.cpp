// Opening, detection over COM1..COM16 and the LAN link.
#include "link/LinkFixture.h"

class DetectionTest : public LinkFixture {
protected:
    DetectionTest() {
        port.AttachInstrument(1, nullptr);  // COM1 opens, but nothing answers
        link.State().AutoDetect = true;
        link.Progress().Load();
        link.Progress().SetMaximum(16);
    }
};

TEST_F(DetectionTest, FindsTheInstrumentOnAnotherPortAndKeepsIt) {
    for (int com = 2; com <= 4; ++com) port.SetOpenError(com, PortError::kNoSuchPort);
    port.AttachInstrument(5, &instrument);
    QString reply;
    ASSERT_TRUE(Run(QStringLiteral("VERS\r"), Command::kVers, reply));
    EXPECT_EQ(link.State().ConfiguredPort, 5);
    // COM1 three times, then detection skips it and goes on from COM2.
    EXPECT_EQ(port.OpenLog().mid(0, 7), (QList<int>{1, 1, 1, 2, 3, 4, 5}));
    EXPECT_EQ(link.Progress().Value(), 5) << "one step per port, the skipped one too";
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DetectionTest, AllReservedOnlyWhenEveryPortIsInUseOrMissing) {
    for (int com = 1; com <= 16; ++com)
        port.SetOpenError(com, com % 2 ? PortError::kPortInUse : PortError::kNoSuchPort);
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("All reserved")});
    EXPECT_EQ(link.State().ConfiguredPort, 1);
}

TEST_F(DetectionTest, ASilentPortIsNotReserved) {
    for (int com = 2; com <= 16; ++com) port.SetOpenError(com, PortError::kPortInUse);
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot autodetect indicator")});
}

TEST_F(DetectionTest, UnavailableDeviceIsNotReservedEither) {
    for (int com = 2; com <= 16; ++com) port.SetOpenError(com, PortError::kNoSuchPort);
    port.SetOpenError(1, PortError::kUnavailable);
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot autodetect indicator")});
}

TEST_F(LinkFixture, PortInUseNamesThePortTwice) {
    link.State().ConfiguredPort = 3;
    port.SetOpenError(3, PortError::kPortInUse);
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("There is no COM")});
    const QString text = presenter.shown.first().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Det finns ingen COM3 port")));
    EXPECT_TRUE(text.contains(QStringLiteral("(COM3)")));
    EXPECT_EQ(link.PortError(3), PortError::kPortInUse);
}

TEST_F(LinkFixture, LanLinkReachesTheHostAndNamesItWhenSilent) {
    LinkState& s = link.State();
    s.ConnectionType = Connection::kLan;
    s.LanSelection = 2;
    s.ConfiguredPort = 17;
    s.LanHosts[1] = {QStringLiteral("tr58-lab.example"), 2323, 1};
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot detect")});
    EXPECT_TRUE(presenter.shown.first().text.contains(QLatin1String("(tr58-lab.example)")));
    EXPECT_FALSE(presenter.shown.first().text.contains(QLatin1String("COM")));

    presenter.shown.clear();
    port.AttachLanInstrument(QStringLiteral("tr58-lab.example:2323"), &instrument);
    ASSERT_TRUE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_EQ(s.ConfiguredPort, 17);
    EXPECT_TRUE(reply.startsWith(QLatin1String("Lab 1\t")));
}

TEST_F(LinkFixture, CancelDuringTheWakeStopsWithoutAMessage) {
    port.AttachInstrument(1, nullptr);
    link.State().AutoDetect = true;
    int cycles = 0;
    pump.onEvents = [&] {
        if (++cycles == 50) link.Cancel();
    };
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(port.OpenLog(), QList<int>{1}) << "no further attempt after a cancel";
    EXPECT_TRUE(link.State().bcancel);
}

// What the user is told when a port cannot be used, and why.

TEST_F(LinkFixture, PermissionDeniedSaysSoInsteadOfPortInUse) {
    link.State().ConfiguredPort = 3;
    port.SetOpenError(3, PortError::kPermissionDenied, QStringLiteral("Permission denied"));
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("Permission Denied")});
    const QString text = presenter.shown.first().text;
    EXPECT_TRUE(text.contains(QLatin1String("COM3"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QLatin1String("dialout"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QLatin1String("annan applikation"))) << "not \"in use\"";
}

TEST_F(DetectionTest, DetectionNamesThePortThisUserMayNotOpen) {
    for (int com = 2; com <= 16; ++com) port.SetOpenError(com, PortError::kNoSuchPort);
    port.SetOpenError(4, PortError::kPermissionDenied);
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("Permission Denied")});
    EXPECT_TRUE(presenter.shown.first().text.contains(QLatin1String("COM4")));
}

TEST_F(LinkFixture, AnOpenErrorOfAnotherKindSaysWhatTheSystemSaid) {
    port.SetOpenError(1, PortError::kOther,
                      QStringLiteral("/dev/null is not a serial device (Inappropriate ioctl)"));
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot Open Port")});
    const QString text = presenter.shown.first().text;
    EXPECT_TRUE(text.contains(QLatin1String("COM1"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QLatin1String("/dev/null is not a serial device")))
        << qPrintable(text);
}

TEST_F(LinkFixture, LanHostThatAnswersIsNoWrongAddressWhenItsInstrumentDoesNot) {
    LinkState& s = link.State();
    s.ConnectionType = Connection::kLan;
    s.LanSelection = 1;
    s.ConfiguredPort = 17;
    s.LanHosts[0] = {QStringLiteral("10.1.2.3"), 23, 1};
    port.AttachLanInstrument(QStringLiteral("10.1.2.3:23"), &instrument);

    // Never announces its line; announces but never ends a reply.
    for (const bool silent : {true, false}) {
        instrument.Faults().silent = silent;
        instrument.Faults().noEndMark = !silent;
        presenter.shown.clear();
        QString reply;
        EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
        ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("LAN No Answer")}) << silent;
        const QString text = presenter.shown.first().text;
        EXPECT_TRUE(text.contains(QLatin1String("(10.1.2.3)"))) << qPrintable(text);
        EXPECT_FALSE(text.contains(QLatin1String("IP-adressen"))) << qPrintable(text);
    }
}

namespace {

// A COM port of a real computer exists only while its device does.
class DeviceSimPort : public SimPort {
public:
    using SimPort::SimPort;
    int Open(const PortTarget& target) override {
        if (target.number != PortTarget::kLanPort && target.device.isEmpty())
            return PortError::kNoSuchPort;
        return SimPort::Open(target);
    }
};

}  // namespace

TEST(ComPortSource, UsbCablePluggedInAfterStartUpIsFound) {
    VirtualPump pump;
    DeviceSimPort port(pump);
    Instrument instrument;
    RecordingPresenter presenter;
    Link link(port, pump, presenter);
    port.AttachInstrument(1, &instrument);
    link.State().ConfiguredPort = 1;
    QStringList devices;  // what the system's device folder holds
    link.SetComPortSource([&] { return ComPortMap({}, devices); });

    QString reply;
    EXPECT_FALSE(link.SendCommandAndReceive(QStringLiteral("VERS\r"), Command::kVers, reply, true));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("There is no COM")});

    devices << QStringLiteral("/dev/ttyUSB0");  // the cable is plugged in
    presenter.shown.clear();
    EXPECT_TRUE(link.SendCommandAndReceive(QStringLiteral("VERS\r"), Command::kVers, reply, true));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(link.ComPorts().Device(1), QStringLiteral("/dev/ttyUSB0"));
}
