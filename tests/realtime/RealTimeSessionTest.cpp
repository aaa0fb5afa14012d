// The real-time window's acquisition against the in-process instrument on
// the virtual clock: timer periods, the countdown, the stops and the failures
// of a recording that may run for days.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/MessageKeys.h"
#include "document/Document.h"
#include "download/DirEntry.h"
#include "link/Link.h"
#include "link/Port.h"
#include "realtime/RealTimeSession.h"
#include "sim/Instrument.h"
#include "sim/SimPort.h"
#include "sim/VirtualPump.h"
#include "sim/VirtualTimer.h"
#include "support/RecordingPresenter.h"

namespace {

// The window around the acquisition, as far as the tests need to see it.
class RecordingWindow : public RealTimeWindow {
public:
    QString StatusText() const override { return status; }
    void SetStatusText(const QString& text) override {
        status = text;
        statusLog << text;
    }
    void ShowStopped(bool asDocument) override { stopped << asDocument; }
    void FollowNewest() override { ++follows; }

    QString status = QStringLiteral("Klar");
    QStringList statusLog;
    QList<bool> stopped;
    int follows = 0;
};

class SessionFixture : public ::testing::Test {
public:
    SessionFixture()
        : port(pump),
          link(port, pump, presenter),
          timer(pump),
          session(link, document, timer, window) {
        port.AttachInstrument(1, &instrument);
        link.State().ConfiguredPort = 1;
        session.onPointsAdded = [this](qint32 from) { added << from; };
    }

    bool Open(qint32 seconds, qint16 unit = 2) {
        session.SetInterval(seconds, unit);
        return session.Open();
    }
    // Lets the virtual clock run for ms, stopping at every tick on the way so
    // each tick happens on time.
    void Run(qint64 ms) {
        const qint64 end = pump.Milliseconds() + ms;
        while (pump.Milliseconds() < end) {
            qint64 step = end - pump.Milliseconds();
            if (timer.IsActive() && timer.DueMs() > pump.Milliseconds())
                step = std::min(step, timer.DueMs() - pump.Milliseconds());
            pump.ProcessEvents(static_cast<int>(std::max<qint64>(step, 1)));
        }
    }
    // Runs until the instrument has had n polls (a poll on a freshly opened
    // line takes its wake-up time on top of the period).
    void RunUntilPolls(int n) {
        for (int i = 0; i < 600 && Polls() < n; ++i) Run(500);
        ASSERT_EQ(Polls(), n);
    }
    int Polls() const { return instrument.CommandLog().count(QStringLiteral("SEND")); }

    VirtualPump pump;
    SimPort port;
    Instrument instrument;
    RecordingPresenter presenter;
    Link link;
    Document document;
    VirtualTimer timer;
    RecordingWindow window;
    RealTimeSession session;
    QList<qint32> added;
};
using RealTimeSessionTest = SessionFixture;

TEST(RealTimeTimerRules, PeriodsAndCountdownFollowTheInterval) {
    struct Row {
        qint32 seconds;
        int first, poll, countdown;
    };
    const Row rows[] = {
        {1, 1000, 0, 0},           {5, 5000, 0, 0},           {6, 6000, 7000, 0},
        {15, 15000, 16000, 0},     {59, 59000, 60000, 0},     {60, 60000, 60001, 1},
        {300, 60000, 60001, 5},    {1800, 60000, 60001, 30},  {3600, 60000, 60001, 30},
        {43200, 60000, 60001, 30}, {60000, 60000, 60000, 30},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seconds);
        EXPECT_EQ(RealTimeSession::FirstPeriodMs(row.seconds), row.first);
        EXPECT_EQ(RealTimeSession::PollPeriodMs(row.seconds), row.poll);
        EXPECT_EQ(RealTimeSession::CountdownStart(row.seconds), row.countdown);
    }
    EXPECT_EQ(RealTimeSession::IntervalValueOf(300, 4), 5);
    EXPECT_EQ(RealTimeSession::IntervalValueOf(10800, 8), 3);
    EXPECT_EQ(RealTimeSession::IntervalValueOf(15, 2), 15);
}

TEST_F(RealTimeSessionTest, FirstRequestAsksForTheIntervalAndFillsTheFirstPoint) {
    ASSERT_TRUE(Open(15));
    EXPECT_TRUE(instrument.CommandLog().contains(QStringLiteral("SEND 15")));
    EXPECT_EQ(document.PointCount(), 1);
    EXPECT_EQ(document.QuantityCount(), 2);  // the simulator shows T and RH
    EXPECT_EQ(document.IntervalValue, 15);
    EXPECT_EQ(document.IntervalUnit, 2);
    EXPECT_TRUE(document.bRealTime);
    EXPECT_FALSE(document.bCommunicate);
    EXPECT_EQ(document.iSaved, Saved::kNever);
    EXPECT_FALSE(link.Progress().IsLoaded());
    EXPECT_EQ(added, QList<qint32>{0});
    EXPECT_TRUE(timer.IsActive());
    EXPECT_EQ(timer.Period(), 15000);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(RealTimeSessionTest, FiveSecondsKeepsTheTimerAndTheLinkBetweenPolls) {
    ASSERT_TRUE(Open(5));
    Run(5000 * 4 + 100);
    EXPECT_EQ(Polls(), 4);
    EXPECT_EQ(timer.Period(), 5000);
    EXPECT_EQ(document.PointCount(), 5);
    // The link stays open: the instrument's line was opened once.
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(instrument.CommandLog().count(QStringLiteral("EXIT")), 0);
    EXPECT_EQ(added, (QList<qint32>{0, 1, 2, 3, 4}));
    EXPECT_EQ(window.follows, 4);
    // The status line said so during each poll and is given back after.
    EXPECT_TRUE(window.statusLog.contains(QStringLiteral("Uppdaterar realtidsfönster...")));
    EXPECT_EQ(window.status, QStringLiteral("Klar"));
}

TEST_F(RealTimeSessionTest, FifteenSecondsPollsAfter15ThenEvery16SecondsAndClosesTheLink) {
    ASSERT_TRUE(Open(15));
    Run(15000);
    EXPECT_EQ(Polls(), 1);
    EXPECT_EQ(timer.Period(), 16000);
    EXPECT_FALSE(port.IsOpen());
    const qint64 afterFirst = pump.Milliseconds();
    Run(15900 - (pump.Milliseconds() - afterFirst));
    EXPECT_EQ(Polls(), 1);
    Run(16000 * 2);
    EXPECT_EQ(Polls(), 3);
}

TEST_F(RealTimeSessionTest, MinuteIntervalsPollOnTheirCountdown) {
    struct Row {
        qint32 seconds;
        qint16 unit;
        int ticksPerPoll;
    };
    for (const Row row : {Row{60, 4, 1}, Row{300, 4, 5}, Row{3600, 8, 30}, Row{43200, 8, 30}}) {
        SCOPED_TRACE(row.seconds);
        RecordingPresenter quiet;
        VirtualPump clock;
        SimPort wire(clock);
        Instrument tr58;
        wire.AttachInstrument(1, &tr58);
        Link line(wire, clock, quiet);
        line.State().ConfiguredPort = 1;
        Document data;
        VirtualTimer ticker(clock);
        RecordingWindow view;
        RealTimeSession run(line, data, ticker, view);
        run.SetInterval(row.seconds, row.unit);
        ASSERT_TRUE(run.Open());
        EXPECT_EQ(ticker.Period(), 60000);
        const auto polls = [&] { return tr58.CommandLog().count(QStringLiteral("SEND")); };
        // Tick by tick: the poll comes on exactly the ticksPerPoll-th tick.
        for (int round = 1; round <= 2; ++round) {
            for (int tick = 1; tick <= row.ticksPerPoll; ++tick) {
                const int before = polls();
                clock.ProcessEvents(static_cast<int>(ticker.DueMs() - clock.Milliseconds()));
                EXPECT_EQ(polls() - before, tick == row.ticksPerPoll ? 1 : 0)
                    << "round " << round << " tick " << tick;
            }
            EXPECT_EQ(ticker.Period(), row.seconds < 60000 ? 60001 : 60000);
        }
        EXPECT_EQ(data.PointCount(), 3);
        EXPECT_EQ(data.IntervalValue, row.unit == 4 ? row.seconds / 60 : row.seconds / 3600);
    }
}

TEST_F(RealTimeSessionTest,
       ATickIsSkippedWhileTheLinkIsBusyACommunicationIsShownOrTheDataIsWritten) {
    ASSERT_TRUE(Open(5));
    link.State().LinkBusy = true;
    Run(5000);
    EXPECT_EQ(Polls(), 0);
    link.State().LinkBusy = false;
    link.Progress().Load();
    Run(5000);
    EXPECT_EQ(Polls(), 0);
    EXPECT_TRUE(timer.IsActive());
    link.Progress().Unload();
    document.bPrinting = true;
    Run(5000);
    EXPECT_EQ(Polls(), 0);
    document.bPrinting = false;
    // A save or an export of the window lets events run; a reading polled in
    // the middle of it would be marked saved, and the poll's end cleared the
    // busy mark the save had set, so the window could be closed under it.
    document.bCommunicate = true;
    Run(5000);
    EXPECT_EQ(Polls(), 0);
    EXPECT_TRUE(document.bCommunicate);
    document.bCommunicate = false;
    Run(5000);
    EXPECT_EQ(Polls(), 1);
    EXPECT_EQ(document.PointCount(), 2);
}

// Regression: a tick during the close question stopped the timer for good;
// after Cancel the window looked live but never polled again.
TEST_F(RealTimeSessionTest, ACancelledCloseKeepsPolling) {
    ASSERT_TRUE(Open(5));
    document.bExit = true;  // the close asks whether to save
    Run(15000);
    EXPECT_EQ(Polls(), 0);
    document.bExit = false;  // Cancel
    Run(5000);
    EXPECT_EQ(Polls(), 1);
    EXPECT_TRUE(document.bRealTime);
}

TEST_F(RealTimeSessionTest, The65000thPointStopsWithEofDisconnected) {
    ASSERT_TRUE(Open(5));
    // Fill to one short of the limit, as if the window had run for days.
    while (document.PointCount() < 64999) {
        const qint32 i = document.AppendPoint(document.PointTime(document.PointCount() - 1));
        document.SetValue(i, 0, 20.0f, true);
        document.SetValue(i, 1, 40.0f, true);
    }
    // The instrument hands over two readings in one reply: only one fits.
    instrument.Faults().canned.insert(
        "SEND", "26-11-02 10:00:00\t21.0\t45.0\r\n26-11-02 10:00:05\t21.1\t46.0\r\n\x1A");
    Run(5000);
    EXPECT_EQ(document.PointCount(), 65000);
    EXPECT_FALSE(document.bRealTime);
    EXPECT_FALSE(timer.IsActive());
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kEofDisconnected});
    EXPECT_EQ(window.stopped, QList<bool>{true});
    Run(20000);
    EXPECT_EQ(Polls(), 1);
}

TEST_F(RealTimeSessionTest, StoppingDuringAPollWaitsForItWithTheEngineCancelled) {
    ASSERT_TRUE(Open(5));
    instrument.Faults().lateReplies.insert("SEND", 4000);
    bool stopped = false;
    pump.onEvents = [&] {
        if (session.bRealSend() && !stopped && pump.Milliseconds() > 6000) {
            stopped = true;
            session.StopByUser();
            // The window has turned grey before the poll came back.
            EXPECT_FALSE(document.bRealTime);
            EXPECT_FALSE(window.stopped.isEmpty());
        }
    };
    Run(9000);
    pump.onEvents = nullptr;
    ASSERT_TRUE(stopped);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kStopReal});
    EXPECT_FALSE(session.bRealSend());
    EXPECT_FALSE(document.bCommunicate);
    EXPECT_FALSE(timer.IsActive());
    EXPECT_EQ(document.PointCount(), 1);
    // Nothing of the cancelled poll reaches the next command: not its late
    // reading, not its cancel flag.
    instrument.Faults().lateReplies.clear();
    Run(10000);
    QString reply;
    ASSERT_TRUE(link.SendCommandAndReceive(QStringLiteral("DIR\r"), Command::kDir, reply, true));
    bool wellFormed = false;
    EXPECT_FALSE(ParseDirReply(reply, &wellFormed).isEmpty());
    EXPECT_TRUE(wellFormed) << reply.toStdString();
    EXPECT_EQ(Polls(), 1);
}

TEST_F(RealTimeSessionTest, AUserWhoSaysNoKeepsTheWindowRunning) {
    ASSERT_TRUE(Open(5));
    presenter.answer = false;
    session.StopByUser();
    EXPECT_TRUE(document.bRealTime);
    EXPECT_TRUE(window.stopped.isEmpty());
    Run(5000);
    EXPECT_EQ(Polls(), 1);
}

TEST_F(RealTimeSessionTest, ChangingTheSettingsStopsWithoutRealTimeDisconnected) {
    ASSERT_TRUE(Open(5));
    Run(5000);
    ASSERT_TRUE(link.ConfirmStopRealTime());
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kChangeSettings});
    EXPECT_FALSE(document.bRealTime);
    EXPECT_EQ(window.stopped, QList<bool>{true});
    // The link kept open for the 5 s polls is given back.
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(RealTimeSessionTest, ErrMidRunStopsWithTheMessageAndKeepsThePoints) {
    ASSERT_TRUE(Open(15));
    RunUntilPolls(3);
    instrument.Faults().errCommands.insert("SEND");  // the probe was pulled
    Run(16000);
    EXPECT_FALSE(document.bRealTime);
    EXPECT_EQ(document.PointCount(), 4);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kRealTimeDisconnected});
    Run(60000);
    EXPECT_EQ(Polls(), 4);
}

// The instrument goes out of reach between two polls of a 15 s interval (the
// line is closed between them): the next poll cannot open it.
void ExpectStopWhenUnreachable(SessionFixture& t, const std::function<void()>& cut) {
    ASSERT_TRUE(t.Open(15));
    cut();
    for (int i = 0; i < 40 && t.document.bRealTime; ++i) t.Run(1000);
    EXPECT_FALSE(t.document.bRealTime);
    EXPECT_EQ(t.presenter.Keys(), QStringList{MessageKeys::kRealTimeDisconnected});
    EXPECT_EQ(t.document.PointCount(), 1);
}

TEST_F(RealTimeSessionTest, APulledCableStopsTheWindow) {
    ExpectStopWhenUnreachable(*this, [this] { port.SetOpenError(1, PortError::kNoSuchPort); });
}

TEST_F(RealTimeSessionTest, AnInstrumentSwitchedOffStopsTheWindow) {
    ExpectStopWhenUnreachable(*this, [this] { instrument.Faults().silent = true; });
}

TEST_F(RealTimeSessionTest, ASilentPollIsTriedAgainAtTheNextTick) {
    ASSERT_TRUE(Open(5));
    instrument.Faults().silent = true;
    Run(5000);
    // The poll waited its whole time in vain: no message, still running.
    EXPECT_TRUE(document.bRealTime);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(document.PointCount(), 1);
    instrument.Faults().silent = false;
    Run(70000);
    EXPECT_TRUE(document.bRealTime);
    EXPECT_GE(document.PointCount(), 2);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

// Regression: "tr58 monitor" polled an instrument that had stopped answering
// its polls for ever, a minute a poll, because nothing told it a poll went
// unanswered. An "ERR" or a cancelled poll is no silent one.
TEST_F(RealTimeSessionTest, ASilentPollIsReportedAndAnErrOrACancelIsNot) {
    int unanswered = 0;
    session.onPollUnanswered = [&] { ++unanswered; };
    ASSERT_TRUE(Open(5));
    RunUntilPolls(1);
    EXPECT_EQ(unanswered, 0) << "an answered poll";
    instrument.Faults().sendSilentAfter = 1;
    Run(61000);
    EXPECT_GE(unanswered, 1);
    EXPECT_TRUE(document.bRealTime) << "the window itself tries again";
    const int silent = unanswered;
    instrument.Faults().sendSilentAfter = -1;
    instrument.Faults().sendErrAfter = 0;
    Run(70000);
    EXPECT_FALSE(document.bRealTime) << "ERR stops the window";
    EXPECT_EQ(unanswered, silent);
}

TEST_F(RealTimeSessionTest, FirstRequestFailuresCloseTheWindowWithTheirMessage) {
    instrument.Faults().noProbe = true;
    EXPECT_FALSE(Open(5));
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kNoProbe});
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_FALSE(document.bCommunicate);
    EXPECT_FALSE(timer.IsActive());
    EXPECT_FALSE(link.Progress().IsLoaded());
    EXPECT_TRUE(added.isEmpty());
}

TEST_F(RealTimeSessionTest, ErrToTheFirstRequestIsRealTimeDisconnected) {
    // No quantity shown: the instrument has nothing to send.
    for (SimProbeQuantity& quantity : instrument.Probe()) quantity.choice = 0;
    EXPECT_FALSE(Open(5));
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kRealTimeDisconnected});
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_FALSE(timer.IsActive());
}

TEST_F(RealTimeSessionTest, AFirstReplyThatCannotStartTheWindowSaysSo) {
    // Replies a TR58 answers "SEND 5" with only when something is wrong: a
    // units line that does not fit the names, and a reply without a reading.
    const QByteArray replies[] = {
        "3\tT\tRH\r\n\tC\r\n26-11-02 10:00:00\t21.0\t45.0\r\n\x1A",
        "3\tT\tRH\r\n\tC\t%\r\n\x1A",
    };
    for (const QByteArray& reply : replies) {
        SCOPED_TRACE(reply.toStdString());
        Document fresh;
        VirtualTimer freshTimer(pump);
        RecordingWindow view;
        RealTimeSession attempt(link, fresh, freshTimer, view);
        presenter.shown.clear();
        instrument.Faults().canned.insert("SEND 5", reply);
        attempt.SetInterval(5, 2);
        EXPECT_FALSE(attempt.Open());
        // Without a word the window would simply vanish, and tr58 monitor end
        // with status 1 and nothing on its standard error.
        EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kCommunicationErrors});
        EXPECT_FALSE(fresh.bCommunicate);
        EXPECT_FALSE(freshTimer.IsActive());
        EXPECT_FALSE(link.Progress().IsLoaded());
        // A 5 s window keeps the line open after its reply; no poll follows,
        // so the instrument is told the line is done.
        EXPECT_EQ(link.State().OpenPort, 0);
        EXPECT_FALSE(instrument.LineOpen());
        EXPECT_EQ(instrument.CommandLog().last(), QStringLiteral("EXIT"));
    }
    // The instrument answers properly again: the next window starts, and the
    // failed one left nothing behind that stops it.
    instrument.Faults().canned.clear();
    presenter.shown.clear();
    Document next;
    VirtualTimer nextTimer(pump);
    RecordingWindow nextView;
    RealTimeSession started(link, next, nextTimer, nextView);
    started.SetInterval(5, 2);
    EXPECT_TRUE(started.Open());
    EXPECT_TRUE(presenter.Keys().isEmpty()) << qPrintable(presenter.Keys().join(','));
    EXPECT_EQ(next.PointCount(), 1);
    EXPECT_TRUE(nextTimer.IsActive());
}

// --- review: faults of a recording left running ---------------------------

TEST_F(RealTimeSessionTest, ClosingAnOldStoppedWindowLeavesTheRunningOneKnownToTheLink) {
    Document oldData, newData;
    VirtualTimer oldTimer(pump), newTimer(pump);
    RecordingWindow oldView, newView;
    auto older = std::make_unique<RealTimeSession>(link, oldData, oldTimer, oldView);
    older->SetInterval(5, 2);
    ASSERT_TRUE(older->Open());
    older->StopReal();  // stopped: it stays open as a document
    RealTimeSession newer(link, newData, newTimer, newView);
    newer.SetInterval(5, 2);
    ASSERT_TRUE(newer.Open());  // the overnight run
    ASSERT_TRUE(link.IsRealTimeActive());
    older.reset();  // the user closes the old, stopped window
    EXPECT_TRUE(link.IsRealTimeActive());
    // Unregistered, the 5 s run no longer keeps its line: EXIT after every poll.
    const qsizetype exits = instrument.CommandLog().count(QStringLiteral("EXIT"));
    for (int i = 0; i < 3; ++i) {
        const qint64 due = newTimer.DueMs() - pump.Milliseconds();
        pump.ProcessEvents(static_cast<int>(std::max<qint64>(due, 1)));
    }
    EXPECT_EQ(instrument.CommandLog().count(QStringLiteral("EXIT")), exits);
}

TEST_F(RealTimeSessionTest, AStopWhileTheLinkClosesAfterAPollKeepsThatPollsReading) {
    ASSERT_TRUE(Open(15));  // 15 s: the link is closed with EXIT after every poll
    bool stopped = false;
    pump.onEvents = [&] {
        if (!stopped && session.bRealSend() && link.State().icommand == Command::kExit) {
            stopped = true;  // the reply is in; the user stops during the EXIT
            session.StopByUser();
        }
    };
    Run(20000);
    pump.onEvents = nullptr;
    ASSERT_TRUE(stopped);
    EXPECT_EQ(Polls(), 1);
    EXPECT_EQ(document.PointCount(), 2);
    EXPECT_EQ(added, (QList<qint32>{0, 1}));
}

TEST_F(RealTimeSessionTest, ThePortMenuDuringAPollDoesNotLeaveThePollWaitingAMinute) {
    ASSERT_TRUE(Open(5));
    instrument.Faults().lateReplies.insert("SEND", 4000);
    qint64 releasedAt = -1;
    pump.onEvents = [&] {
        if (releasedAt < 0 && session.bRealSend() && link.State().icommand == Command::kSendPoll) {
            releasedAt = pump.Milliseconds();
            // Com_Click / the LAN dialog: stop the window (asked: Yes), close the link.
            ASSERT_TRUE(link.ReleaseForChange());
        }
    };
    Run(5100);  // returns once the tick's poll has come back
    pump.onEvents = nullptr;
    ASSERT_GE(releasedAt, 0);
    EXPECT_FALSE(session.bRealSend());
    EXPECT_LT(pump.Milliseconds() - releasedAt, 10000);
}

TEST_F(RealTimeSessionTest, TheLastReadingIsHandedOnBeforeTheLimitMessageWaitsForTheUser) {
    ASSERT_TRUE(Open(5));
    while (document.PointCount() < 64999) {
        const qint32 i = document.AppendPoint(document.PointTime(document.PointCount() - 1));
        document.SetValue(i, 0, 20.0f, true);
        document.SetValue(i, 1, 40.0f, true);
    }
    instrument.Faults().canned.insert("SEND", "26-11-02 10:00:00\t21.0\t45.0\r\n\x1A");
    bool keptBeforeTheBox = false;
    presenter.onPresent = [&](const MessageBoxSpec& box) {
        // The box waits for the user (all night): the reading must be on its
        // way to the journal already.
        if (box.key == MessageKeys::kEofDisconnected) keptBeforeTheBox = added.contains(64999);
    };
    Run(5000);
    presenter.onPresent = nullptr;
    EXPECT_EQ(document.PointCount(), 65000);
    EXPECT_TRUE(keptBeforeTheBox);
}

}  // namespace
