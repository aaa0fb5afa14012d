#include "realtime/RealTimeSession.h"

#include <algorithm>
#include <cmath>

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "document/Document.h"
#include "download/RecordedDataFill.h"
#include "realtime/RealTimeTimer.h"

namespace {

constexpr qint32 kMinute = 60;
constexpr qint32 kLongest = 60000;  // from here on the minute tick is not lengthened
constexpr int kMaxCountdown = 30;

// The instrument's answer when no probe is attached: the end mark alone.
bool IsNoProbeReply(const QString& reply) {
    return reply.trimmed() == QStringLiteral("\x1A");
}

}  // namespace

RealTimeSession::RealTimeSession(Link& link, Document& document, RealTimeTimer& timer,
                                 RealTimeWindow& window)
    : link_(link), document_(document), timer_(timer), window_(window) {
    document_.bRealTime = true;
    document_.bKapula = false;
    timer_.SetTickHandler([this] { OnTick(); });
    link_.SetRealTimeMonitor(this);
}

RealTimeSession::~RealTimeSession() {
    timer_.Stop();
    timer_.SetTickHandler({});
    link_.ReleaseRealTimeMonitor(this);
}

void RealTimeSession::SetInterval(qint32 seconds, qint16 unit) {
    interval_ = seconds;
    unit_ = unit;
    link_.SetRealTimeInterval(seconds);
}

int RealTimeSession::FirstPeriodMs(qint32 seconds) {
    return seconds < kMinute ? seconds * 1000 : 60000;
}

int RealTimeSession::PollPeriodMs(qint32 seconds) {
    if (seconds < 6) return 0;
    if (seconds < kMinute) return (seconds + 1) * 1000;
    return seconds < kLongest ? 60001 : 60000;
}

int RealTimeSession::CountdownStart(qint32 seconds) {
    return std::min(seconds / kMinute, kMaxCountdown);
}

qint32 RealTimeSession::IntervalValueOf(qint32 seconds, qint16 unit) {
    switch (unit) {
        case 4:
            return static_cast<qint32>(std::lround(seconds / 60.0));
        case 8:
            return static_cast<qint32>(std::lround(seconds / 3600.0));
        default:
            return seconds;
    }
}

bool RealTimeSession::IsActive() const {
    return document_.bRealTime;
}

bool RealTimeSession::IsPolling() const {
    return document_.bCommunicate || bRealSend_;
}

int RealTimeSession::PointCount() const {
    return document_.PointCount();
}

bool RealTimeSession::Fill(const QString& reply) {
    const qint32 before = document_.PointCount();
    LinkState& state = link_.State();
    filling_ = true;
    const ReplyFill fill = FillDocumentFromReply(document_, reply, state, &link_.Progress(), this);
    filling_ = false;
    NoteReplyFill(fill, state);
    // Points that came in are kept whatever became of the rest of the reply.
    if (document_.PointCount() > before && onPointsAdded) onPointsAdded(before);
    if (std::exchange(limitStopPending_, false)) StopRealTime(true);
    if (fill.messageKey.isEmpty()) return false;
    QString key = fill.messageKey;
    link_.ShowMessage(key);
    return true;
}

bool RealTimeSession::Open() {
    LinkState& state = link_.State();
    CommunicationProgress& progress = link_.Progress();
    progress.Load();
    progress.SetValue(0);
    progress.SetMsg(StringTable::Text(Str::kDownloadingInstrumentData));

    document_.iSaved = Saved::kNever;
    document_.bCommunicate = true;
    pollHolds_ = true;
    document_.strBuf.clear();
    state.LineCount = 0;
    state.LineTotal = 1;

    const auto fail = [&] {
        state.CommandFailed = true;
        document_.bCommunicate = false;
        pollHolds_ = false;
        if (progress.IsLoaded()) progress.Unload();
        link_.EndSequence();
        // A short interval keeps the line open after the reply, for the polls
        // that now never come: the instrument is told the line is done.
        if (state.OpenPort != 0) link_.CloseLink();
        return false;
    };

    const bool sent = link_.SendCommandAndReceive(QStringLiteral("SEND %1\r").arg(interval_),
                                                  Command::kSendFirst, document_.strBuf, true);
    // The engine has said why (an "ERR" reply: the real-time window is off).
    if (!sent || !document_.bRealTime) return fail();
    if (IsNoProbeReply(document_.strBuf)) {
        if (progress.IsLoaded()) progress.Hide();
        QString key = MessageKeys::kNoProbe;
        link_.ShowMessage(key);
        return fail();
    }
    // A first reply that cannot start the window is said, not just dropped: the
    // window would otherwise vanish without a word (tr58 monitor: exit 1 with
    // no message). Cancel is the user's own doing and needs no word.
    const auto unreadable = [&] {
        fail();
        if (!state.bcancel) {
            QString key = MessageKeys::kCommunicationErrors;
            link_.ShowMessage(key);
        }
        return false;
    };
    if (state.bcancel) return fail();
    if (document_.strBuf.isEmpty()) return unreadable();

    countdown_ = CountdownStart(interval_);
    document_.IntervalUnit = unit_;
    document_.IntervalValue = IntervalValueOf(interval_, unit_);
    if (document_.bExit) return fail();

    const QString reply = std::exchange(document_.strBuf, QString());
    const bool told = Fill(reply);
    // The parse may have set its own interval from the names line; the
    // window's interval is the one asked for.
    document_.IntervalUnit = unit_;
    document_.IntervalValue = IntervalValueOf(interval_, unit_);
    document_.bCommunicate = false;
    pollHolds_ = false;
    if (progress.IsLoaded()) progress.Unload();
    if (state.CommandFailed || document_.PointCount() == 0) {
        document_.bRealTime = false;
        return told || document_.bExit ? fail() : unreadable();
    }
    link_.EndSequence();
    if (document_.bRealTime) timer_.Start(FirstPeriodMs(interval_));
    return true;
}

void RealTimeSession::SetNewTimer() {
    if (document_.bExit) return;
    if (!document_.bRealTime) {
        timer_.Stop();
        return;
    }
    const int period = PollPeriodMs(interval_);
    if (period == 0) return;
    timer_.Stop();
    timer_.Start(period);
}

void RealTimeSession::OnTick() {
    // The window is being closed: no poll while the save question is open.
    // The timer keeps running, for a close that is cancelled polls on.
    if (document_.bExit) return;
    if (countdown_ >= 2) {
        --countdown_;
        return;
    }
    countdown_ = CountdownStart(interval_);
    LinkState& state = link_.State();
    // The window's data is being printed or written to a file (a save or an
    // export lets events run): the reading waits for the next turn, so that
    // the file holds what the window held and the window stays busy.
    if (state.LinkBusy || document_.bPrinting || document_.bCommunicate) return;
    if (link_.IsCommunicating()) {
        SetNewTimer();
        return;
    }
    if (!document_.bRealTime) {
        timer_.Stop();
        return;
    }

    document_.bCommunicate = true;
    pollHolds_ = true;
    const QString status = window_.StatusText();
    window_.SetStatusText(StringTable::Text(Str::kUpdatingRealTime));
    bRealSend_ = true;
    QString reply;
    const bool ok =
        link_.SendCommandAndReceive(QStringLiteral("SEND\r"), Command::kSendPoll, reply, true);
    bRealSend_ = false;
    if (ok && !document_.bExit) {
        // The instrument's reading came in: it is kept, also when the window
        // was stopped while the link was being closed after it.
        const bool stoppedMeanwhile = !document_.bRealTime;
        document_.bRealTime = true;  // parsed as the poll reply it is
        Fill(reply);
        if (stoppedMeanwhile) {
            document_.bRealTime = false;
            document_.SetStopTime();
        }
    } else if (!ok && document_.bRealTime) {
        // "ERR": the probe is gone or its quantities were changed on the
        // instrument. A key left by the link: the line could not be opened,
        // the instrument is out of reach (a missing port, a pulled cable, an
        // instrument switched off). Any other failure (a silent poll) is
        // tried again at the next tick.
        if (reply.startsWith(QLatin1String("ERR")) || !state.MessageKey.isEmpty())
            StopRealTime(false);
        else if (!state.bcancel && onPollUnanswered)
            onPollUnanswered();
    }
    document_.bCommunicate = false;
    pollHolds_ = false;
    state.LinkBusy = false;

    if (document_.bExit) return;
    SetNewTimer();
    if (document_.bRealTime) window_.FollowNewest();
    window_.SetStatusText(status);
}

void RealTimeSession::Halt() {
    LinkState& state = link_.State();
    // Only the busy mark of this window's own poll is waited for and cleared: a save or a
    // print that holds it (and lets events run, where the stop can come) still needs it,
    // or the window could be closed, and its journal removed, under the save.
    if (document_.bRealTime || pollHolds_) {
        Pump& pump = link_.GetPump();
        while (pollHolds_ && document_.bCommunicate) {
            pump.ProcessEvents(0);
            document_.bRealTime = false;
            // Only a command in progress is cancelled: a cancel flag left
            // behind would be read by whatever command comes next.
            if (state.icommand != Command::kNone) link_.Cancel();
            timer_.Stop();
            pump.ProcessEvents(0);
            link_.Pause(0.5);
            document_.bCommunicate = false;
            pollHolds_ = false;
        }
    }
    document_.bRealTime = false;
    timer_.Stop();
    document_.SetStopTime();
}

void RealTimeSession::StopByUser() {
    if (!StopRequested()) {
        QString key = MessageKeys::kStopReal;
        if (!link_.ShowMessage(key)) return;
    }
    const bool wasRunning = document_.bRealTime;
    Halt();
    window_.ShowStopped(!link_.State().CommandFailed);
    // A short interval kept the link open between polls. A poll still in
    // progress closes it itself when it returns cancelled.
    if (wasRunning && interval_ < 6 && !bRealSend_) link_.CloseLink();
}

void RealTimeSession::StopReal() {
    const bool before = stopRequest_;
    stopRequest_ = true;
    StopByUser();
    stopRequest_ = before;
}

void RealTimeSession::StopRealTime() {
    const bool before = stopRequest_;
    stopRequest_ = true;
    StopRealTime(false);
    stopRequest_ = before;
}

void RealTimeSession::StopRealTime(bool limitReached) {
    if (limitReached && filling_) {
        limitStopPending_ = true;
        return;
    }
    const bool wasRunning = document_.bRealTime;
    Halt();
    window_.ShowStopped(true);
    if (!StopRequested() && wasRunning) {
        QString key =
            limitReached ? MessageKeys::kEofDisconnected : MessageKeys::kRealTimeDisconnected;
        link_.ShowMessage(key);
    }
    if (wasRunning && interval_ < 6 && link_.State().bline && !bRealSend_) link_.CloseLink();
}
