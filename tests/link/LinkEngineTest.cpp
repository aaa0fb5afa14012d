// The command engine and the receive handler against the simulated instrument.
#include "link/LinkFixture.h"

namespace {
const QChar kCtrlZ(0x1A);
}

TEST_F(LinkFixture, OpenWakesTheInstrumentAndTurnsEchoOff) {
    ASSERT_TRUE(link.OpenLink(1));
    EXPECT_EQ(link.State().OpenPort, 1);
    EXPECT_TRUE(link.State().bline);
    EXPECT_EQ(link.State().icommand, 0);
    const QString written = Written();
    ASSERT_GE(written.size(), Link::kWakeBurstSize);
    EXPECT_TRUE(written.startsWith(QLatin1String("EXIT\r\xFF\r")));
    EXPECT_EQ(written.mid(Link::kWakeBurstSize), QStringLiteral("ECHO OFF\r"));
    EXPECT_FALSE(instrument.Echo());
}

TEST_F(LinkFixture, ReplyIsEverythingUpToTheEndMark) {
    QString reply;
    ASSERT_TRUE(Run(QStringLiteral("VERS\r"), Command::kVers, reply, false));
    EXPECT_EQ(reply, QStringLiteral("TR58 HMP-T5\r\nSW 2.14 \r\n") + kCtrlZ);
    EXPECT_EQ(link.State().OpenPort, 1) << "the link stays open without close-after";
    ASSERT_TRUE(Run(QStringLiteral("CAL\r"), Command::kCal, reply, true));
    EXPECT_EQ(link.State().OpenPort, 0) << "close-after ends with EXIT";
    EXPECT_TRUE(Written().endsWith(QLatin1String("CAL\rEXIT\r")));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(LinkFixture, EarlyReplyEndsTheWaitWithinOneCycle) {
    ASSERT_TRUE(link.OpenLink(1));
    instrument.SetResponseDelay(300);  // the reply comes after the 0.2 s pause
    const double before = Seconds();
    QString reply;
    ASSERT_TRUE(Run(QStringLiteral("SNUM\r"), Command::kSnum, reply, false));
    // 0.3 s until the instrument answers, then at most one 10 ms cycle.
    EXPECT_LE(Seconds() - before, 0.3 + 0.011);
    EXPECT_GE(Seconds() - before, 0.3);
}

TEST_F(LinkFixture, ClockIsSetBeforeDirAndFirstSendOnly) {
    QString reply;
    ASSERT_TRUE(Run(QStringLiteral("DIR\r"), Command::kDir, reply, false));
    QStringList log = instrument.CommandLog();
    ASSERT_GE(log.size(), 3);
    // The virtual clock starts 2026-11-02 10:00:00.
    EXPECT_TRUE(log.at(log.size() - 2).startsWith(QLatin1String("TIME 26 11 2 10 0 ")))
        << qPrintable(log.join('|'));
    EXPECT_EQ(log.last(), QStringLiteral("DIR"));
    ASSERT_TRUE(Run(QStringLiteral("VERS\r"), Command::kVers, reply, false));
    log = instrument.CommandLog();
    EXPECT_EQ(log.at(log.size() - 2), QStringLiteral("DIR"));
}

TEST_F(LinkFixture, WaitsAreCorrectAcrossMidnight) {
    VirtualPump latePump(QDateTime(QDate(2026, 11, 2), QTime(23, 59, 59)));
    SimPort latePort(latePump);
    Link late(latePort, latePump, presenter);
    latePort.AttachInstrument(1, &instrument);
    QString reply;
    int code = Command::kDir;
    ASSERT_TRUE(late.SendCommandAndReceive(QStringLiteral("DIR\r"), code, reply, true));
    EXPECT_TRUE(reply.startsWith(QLatin1String("Lab 1\t")));
    EXPECT_LT(latePump.Milliseconds(), 20000) << "no wait ran for a day";
}

// --- The failure table ----------------------------------------------------

TEST_F(LinkFixture, LinkThatCannotBeOpenedReportsCannotDetect) {
    SimPort empty(pump);
    Link lonely(empty, pump, presenter);
    QString reply;
    int code = Command::kDir;
    EXPECT_FALSE(lonely.SendCommandAndReceive(QStringLiteral("DIR\r"), code, reply, true));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot detect")});
    EXPECT_TRUE(presenter.shown.first().text.contains(QLatin1String("COM1")));
    EXPECT_TRUE(lonely.State().CommandFailed);
    EXPECT_FALSE(lonely.State().LinkBusy);
    EXPECT_EQ(lonely.State().OpenPort, 0);
    EXPECT_EQ(empty.OpenLog(), (QList<int>{1, 1, 1})) << "three attempts on the configured port";
}

TEST_F(LinkFixture, NoEndMarkWithinTheTimeIsACommunicationError) {
    ASSERT_TRUE(link.OpenLink(1));
    instrument.Faults().noEndMark = true;
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
    EXPECT_EQ(link.State().OpenPort, 0) << "a failed command closes the link";
    EXPECT_TRUE(link.State().CommandFailed);
}

TEST_F(LinkFixture, ReplyEndingLineClosedIsACommunicationErrorForAnyCode) {
    instrument.Faults().canned.insert("VERS", "\r\nline closed\r\n");
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("VERS\r"), Command::kVers, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
    EXPECT_FALSE(link.State().bline);
}

TEST_F(LinkFixture, CancelFailsWithoutAMessage) {
    ASSERT_TRUE(link.OpenLink(1));
    instrument.SetResponseDelay(1500);
    int cycles = 0;
    pump.onEvents = [&] {
        if (++cycles == 20) link.Cancel();
    };
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("DIR\r"), Command::kDir, reply));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(link.State().bcancel) << "the caller still sees the cancel";
    EXPECT_TRUE(reply.isEmpty());
}

TEST_F(LinkFixture, ErrToThePollFailsQuietlyAndToASettingsChangeWithCannotChange) {
    instrument.Faults().recording = true;
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("SEND\r"), Command::kSendPoll, reply));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_FALSE(link.State().CommandFailed) << "the poll does not mark the command failed";
    EXPECT_FALSE(Run(QStringLiteral("UNIT 1 1 0 0 0 0 \r"), Command::kUnitChange, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot Change")});
}

TEST_F(LinkFixture, LineEndAndEndMarkAloneToUnitMeansNoProbe) {
    instrument.Faults().canned.insert("UNIT", "\r\n\x1A");
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("UNIT\r"), Command::kUnit, reply));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("No Probe")});
}

// --- Framing ----------------------------------------------------------------

TEST_F(LinkFixture, AnnouncementAndEndMarkSplitAnywhere) {
    for (qint64 chunk : {1, 2, 7, 13}) {
        port.SetChunkSize(chunk);
        QString reply;
        ASSERT_TRUE(Run(QStringLiteral("SNUM\r"), Command::kSnum, reply)) << "chunk " << chunk;
        EXPECT_EQ(reply, QStringLiteral("Instrument\tT2640117\r\nProbe\tP5310862\r\n") + kCtrlZ);
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(LinkFixture, AnnouncementAfterALineClosedStillOpensTheLine) {
    // An instrument whose line is still open answers the burst's EXIT with
    // "line closed" before it announces the line again.
    ASSERT_TRUE(link.OpenLink(1));
    link.State().OpenPort = 0;  // the program forgot the line, the instrument did not
    ASSERT_TRUE(link.OpenLink(1));
    EXPECT_TRUE(link.State().bline);
}

TEST_F(LinkFixture, ReplyWithoutEndMarkWaitsWhileInputFlowsThenFails) {
    // 2500 lines of 8 quantities at 19200 baud take about 90 s: longer than
    // the 60 s reply time, so the wait goes on while bytes keep coming.
    port.SetBaud(19200);
    ASSERT_TRUE(link.OpenLink(1));
    instrument.Faults().noEndMark = true;
    const double before = Seconds();
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("PLAY 1\r"), Command::kPlay, reply));
    const double waited = Seconds() - before;
    const qsizetype bytes = instrument.PlayReply(1).size();
    EXPECT_GT(waited, bytes * 10.0 / 19200.0) << "the whole reply was waited for";
    EXPECT_GT(waited, 61.0);
    EXPECT_EQ(link.State().LineCount, 2500 + 3);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
}

TEST_F(LinkFixture, DownloadIsCutAfter65004Lines) {
    link.Progress().Load();
    link.Progress().SetFileCount(1);
    link.Progress().SetFileNow(1);
    QString reply;
    ASSERT_TRUE(Run(QStringLiteral("PLAY 3\r"), Command::kPlay, reply));
    EXPECT_TRUE(link.State().strMsgReady);
    EXPECT_EQ(reply.count(QStringLiteral("\r\n")), Link::kLineLimit);
    EXPECT_TRUE(reply.endsWith(QStringLiteral("\r\n") + kCtrlZ));
    EXPECT_TRUE(Written().contains(QChar(0x1B))) << "the instrument was told to stop";
    // The header's 70000 rows scale as 65000: the bar reached the end of file 1.
    EXPECT_EQ(link.Progress().RowTotal(), 65000 * 2 + 6);
    EXPECT_NEAR(link.Progress().Value(), 65004.0 / (65000 * 2 + 6) * 100, 0.01);
}

TEST_F(LinkFixture, CancelDuringADownloadWritesEscBeforeTheFlag) {
    ASSERT_TRUE(link.OpenLink(1));
    bool escSeen = false;
    bool cancelSetWhenEscWritten = true;
    port.onWrite = [&](const QByteArray& bytes) {
        if (bytes == QByteArray(1, 0x1B)) {
            escSeen = true;
            cancelSetWhenEscWritten = link.State().bcancel;
        }
    };
    port.SetChunkSize(512);
    pump.onEvents = [&] {
        if (link.State().icommand == Command::kPlay && link.State().LineCount > 100 &&
            !link.State().bcancel)
            link.Cancel();
    };
    QString reply;
    EXPECT_FALSE(Run(QStringLiteral("PLAY 3\r"), Command::kPlay, reply));
    EXPECT_TRUE(escSeen);
    EXPECT_FALSE(cancelSetWhenEscWritten);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_FALSE(instrument.HasOutput()) << "ESC stopped the instrument's output";
}

TEST_F(LinkFixture, IdleLineClosedEndsTheLinkSoTheNextCommandWakesAgain) {
    instrument.Faults().idleCloseSeconds = 30;
    ASSERT_TRUE(link.OpenLink(1));
    for (int i = 0; i < 3100; ++i) pump.ProcessEvents(10);
    EXPECT_EQ(link.State().OpenPort, 0);
    EXPECT_FALSE(link.State().bline);
    QString reply;
    EXPECT_TRUE(Run(QStringLiteral("VERS\r"), Command::kVers, reply));
    EXPECT_TRUE(presenter.shown.isEmpty());
}
