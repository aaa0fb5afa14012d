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
