#pragma once
// Real-time acquisition: the real-time window's conversation with the
// instrument. The window asks for one reading with "SEND" and the interval,
// then polls with "SEND" on its timer; every reading becomes a point of its
// document. At most one real-time window runs at a time.
//
//   first request   "SEND " seconds CR   names line, units line, a reading
//   each poll       "SEND" CR            one reading (or more)
//
// Timer periods (milliseconds):
//
//   interval              after the first request   after each poll
//   below 6 s             interval x 1000           unchanged (keeps running)
//   6 to 59 s             interval x 1000           (interval + 1) x 1000
//   60 s to 59999 s       60000                     60001
//   60000 s or more       60000                     60000
//
// Intervals of a minute or more are counted down in one-minute ticks: the
// countdown starts at the interval in whole minutes, never above 30; a tick
// with the countdown at 2 or more only counts it down. So 5 min polls every
// fifth tick, and 30 min, 1 h, 3 h and 12 h poll every 30 ticks.
//
// Everything runs on the user-interface thread. Re-entry is kept out by
// flags: a tick does nothing while the link is busy, the document prints or
// the progress window is shown; bRealSend and the document's bCommunicate
// tell the rest of the program that a poll is in progress.

#include <QString>
#include <functional>

#include "document/DocumentHost.h"
#include "link/Link.h"

class Document;
class RealTimeTimer;

// What the acquisition needs from the real-time window and the main window
// around it. The defaults serve a caller without windows (the tr58 tool).
class RealTimeWindow : public DocumentHost {
public:
    // The main window's status-bar message.
    virtual QString StatusText() const { return {}; }
    virtual void SetStatusText(const QString& /*text*/) {}
    // The recording has stopped: the window turns grey and the real-time
    // commands are enabled again. asDocument: the caption loses its
    // real-time suffix and the window its real-time icon.
    virtual void ShowStopped(bool /*asDocument*/) {}
    // A poll brought new points: the chart follows them when it is shown.
    virtual void FollowNewest() {}
};

class RealTimeSession : public RealTimeMonitor, public DocumentHost {
public:
    // Registers itself with the link as the real-time window.
    RealTimeSession(Link& link, Document& document, RealTimeTimer& timer, RealTimeWindow& window);
    ~RealTimeSession() override;
    RealTimeSession(const RealTimeSession&) = delete;
    RealTimeSession& operator=(const RealTimeSession&) = delete;

    // The poll interval (seconds) and its unit code (2 s, 4 min, 8 h).
    void SetInterval(qint32 seconds, qint16 unit);
    qint32 Interval() const { return interval_; }

    // Opens the recording: the first request behind the progress window and
    // its reply parsed; the timer runs afterwards. False when the window is to
    // close again (the link's CommandFailed is set; the user has been told).
    bool Open();
    // The timer's tick.
    void OnTick();

    // The main window's stop-request flag (the settings dialog is open, or a
    // stop runs): no question before stopping and no message after.
    void SetStopRequestFlag(const bool* flag) { externalStopRequest_ = flag; }
    // The user's stop command: asks first unless a stop was requested.
    void StopByUser();
    // DocumentHost: the program's automatic stops.
    void StopReal() override;
    void StopRealTime(bool limitReached) override;
    void Yield() override { window_.Yield(); }
    void SetDocumentCommands(bool enabled) override { window_.SetDocumentCommands(enabled); }

    // RealTimeMonitor (the link, the settings dialog).
    bool IsActive() const override;
    bool IsPolling() const override;
    int PointCount() const override;
    // Before the settings change: stops without a message.
    void StopRealTime() override;

    // True while a poll's "SEND" is being exchanged.
    bool bRealSend() const { return bRealSend_; }
    int Countdown() const { return countdown_; }
    // Called whenever points were added to the document (from: the first new
    // point's index), before the next poll: the recording journal keeps them.
    std::function<void(qint32 from)> onPointsAdded;
    // Called when a poll got no answer in its whole time (the window tries
    // again at the next tick; a caller that must not wait forever stops here).
    std::function<void()> onPollUnanswered;

    // The timer rules of the table above.
    static int FirstPeriodMs(qint32 seconds);
    // 0: the timer keeps running as it is.
    static int PollPeriodMs(qint32 seconds);
    static int CountdownStart(qint32 seconds);
    // The interval in its unit: seconds, minutes or hours, rounded.
    static qint32 IntervalValueOf(qint32 seconds, qint16 unit);

private:
    bool StopRequested() const {
        return stopRequest_ || (externalStopRequest_ && *externalStopRequest_);
    }
    // The stop shared by the user's and the automatic stops: waits for a
    // command in progress with the engine cancelled, then the window stops.
    void Halt();
    // Re-arms the timer after a poll.
    void SetNewTimer();
    // Parses a reply into the document and hands the new points on; true
    // when the parse told the user something.
    bool Fill(const QString& reply);

    Link& link_;
    Document& document_;
    RealTimeTimer& timer_;
    RealTimeWindow& window_;
    qint32 interval_ = 5;
    qint16 unit_ = 2;
    int countdown_ = 0;
    bool bRealSend_ = false;
    // The document's busy mark (bCommunicate) was set by this session's first request or poll,
    // not by a save or a print of the window.
    bool pollHolds_ = false;
    bool stopRequest_ = false;
    bool filling_ = false;
    bool limitStopPending_ = false;
    const bool* externalStopRequest_ = nullptr;
};
