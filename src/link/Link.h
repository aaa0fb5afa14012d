#pragma once
// The instrument link: opening and waking the instrument, detection over
// COM1..COM16, the command engine and its receive handler.
//
// Every exchange is one command line and one reply, collected by the receive
// handler until CTRL-Z arrives or the command's time runs out. A command runs
// to its end inside the caller; waits go through the Pump, which delivers the
// port's input and the Cancel button meanwhile.

#include <QString>
#include <array>
#include <functional>
#include <utility>

#include "base/MessageCatalogue.h"
#include "link/ComPortMap.h"
#include "link/CommunicationProgress.h"
#include "link/LinkState.h"
#include "link/Port.h"
#include "link/Pump.h"

// The real-time window as the link sees it (the program's real-time document).
class RealTimeMonitor {
public:
    virtual ~RealTimeMonitor() = default;
    // A real-time document exists and is polling.
    virtual bool IsActive() const = 0;
    // Its poll is in progress or holds the link.
    virtual bool IsPolling() const = 0;
    virtual int PointCount() const = 0;
    // Stops the real-time window without asking.
    virtual void StopRealTime() = 0;
};

class Link {
public:
    // Wake-up burst: "EXIT" CR, then 1152 pairs 0xFF CR.
    static constexpr int kWakeBurstSize = 2309;
    static constexpr qint32 kLineLimit = 65004;  // 65000 data lines and the header lines

    Link(Port& port, Pump& pump, MessagePresenter& presenter);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    LinkState& State() { return s_; }
    const LinkState& State() const { return s_; }
    CommunicationProgress& Progress() { return progress_; }
    Port& GetPort() { return port_; }
    Pump& GetPump() { return pump_; }
    MessagePresenter& Presenter() { return presenter_; }

    void SetComPortMap(const ComPortMap& map) { comPorts_ = map; }
    // Builds the COM map afresh each time a closed link opens, so a USB cable
    // plugged in after start-up is found.
    void SetComPortSource(std::function<ComPortMap()> source) { comSource_ = std::move(source); }
    const ComPortMap& ComPorts() const { return comPorts_; }
    void SetRealTimeMonitor(RealTimeMonitor* monitor) { realTime_ = monitor; }
    void ReleaseRealTimeMonitor(RealTimeMonitor* monitor) {
        if (realTime_ == monitor) realTime_ = nullptr;
    }
    // Poll interval of the real-time window, seconds: at 5 s or less the link
    // stays open between polls.
    void SetRealTimeInterval(int seconds) { realTimeInterval_ = seconds; }
    int RealTimeInterval() const { return realTimeInterval_; }
    // The title of message boxes.
    void SetApplicationTitle(const QString& title) { title_ = title; }

    // The connection the next command opens: a COM port, detection over
    // every COM port, or entry (1-based) of the LAN host list.
    void SelectSerial(int com) { SelectSerialPort(s_, com); }
    void SelectAutoDetect() { ::SelectAutoDetect(s_); }
    void SelectLan(int entry) { SelectLanHost(s_, entry); }
    // Before the connection changes: a running real-time window is stopped
    // (the user is asked first) and an open link closed. False when the user
    // keeps the real-time window.
    bool ReleaseForChange();
    // The test open of the port menu and the LAN dialog: opens the configured
    // connection behind the progress window (bar maximum steps), shows why it
    // failed unless cancelled, and closes it again.
    bool TryOpen(int steps);

    // A command sequence (directory, download, deletion, device information)
    // is over: the real-time poll may have the link again.
    void EndSequence() {
        s_.icommand = Command::kNone;
        s_.LinkBusy = false;
    }
    // The progress count of the reply lines of a sequence of commands.
    void StartLineCount(qint32 total) {
        s_.LineCount = 0;
        s_.LineTotal = total;
    }
    void MarkFailed() { s_.CommandFailed = true; }
    // Whether the last reply was cut at the line limit; the flag is cleared.
    bool TakeCut() { return std::exchange(s_.strMsgReady, false); }
    void ClearFailed() { s_.CommandFailed = false; }

    // Opening, waking, detection.
    bool OpenPortAt(int port, int& errorCode);
    bool WakeInstrument();
    bool OpenLink(int port);
    bool CloseLink();
    // The program ends: "EXIT" to an instrument whose line is open, then the
    // port closes.
    void CloseForExit();
    bool SendExit();
    // Error number of each port (1..17) from the last OpenLink.
    int PortError(int port) const;

    // The command engine.
    bool SendCommandAndReceive(const QString& command, Command::Code code, QString& reply,
                               bool closeAfter);
    void SetInstrumentClock();
    bool Transact(const QString& command, QString& reply);
    bool SendText(const QString& text);
    bool ReceiveReply(QString& reply);
    // The port's receive event.
    void OnReceive();

    bool WaitLinkIdle();
    // WaitLinkIdle for a user's command: when a poll still holds the link, says "Wait Process"
    // (the command is skipped, and the user sees why).
    bool WaitLinkIdleOrSay();
    bool IsRealTimeActive() const;
    bool IsRealTimeBusy() const;
    bool ConfirmStopRealTime();
    // Waits without letting events run.
    void Pause(double seconds);

    // The progress window's Cancel: a download is stopped at the instrument
    // with ESC before the flag is set.
    void Cancel();
    // True while the progress window is loaded.
    bool IsCommunicating() const { return progress_.IsLoaded(); }

    // Shows the message of key with this link's port number and LAN host.
    bool ShowMessage(QString& key);
    MessageContext Context() const;

    // Instrument text for a command line: Windows-1252 bytes.
    static QByteArray CommandBytes(const QString& text);
    static QByteArray WakeBurst();

private:
    // The wait for the instrument, shown with its seconds in the progress
    // window: begun once per wait, counted while events run.
    void BeginWait();
    void AwaitInstrument();
    void CountProgress(const QString& newText, qsizetype appendedAt);
    void HandleIdleInput(const QString& newText);
    bool TailHasLineClosed(qsizetype newLength) const;
    // Drops from newText the ends of replies still owed to commands whose
    // wait is over; false when nothing is left.
    bool DropOwedReplies(QString& newText);

    Port& port_;
    Pump& pump_;
    double waitStart_ = 0;
    MessagePresenter& presenter_;
    ComPortMap comPorts_;
    std::function<ComPortMap()> comSource_;
    RealTimeMonitor* realTime_ = nullptr;
    int realTimeInterval_ = 5;
    QString title_ = QStringLiteral("TR58 Link");
    LinkState s_;
    CommunicationProgress progress_;
    std::array<int, 18> portErrors_{};
    bool ctrlZSeen_ = false;     // the reply in ReceiveBuffer is complete
    quint64 receivedBytes_ = 0;  // every byte ever taken from the port
    int staleReplies_ = 0;       // end marks owed to commands whose wait is over
    qint32 replyLines_ = 0;      // line ends of the reply being received
};
