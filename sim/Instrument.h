#pragma once
// The simulated TR58: its line protocol as a state machine driven by bytes in
// and a clock, with no I/O of its own. The same object answers in-process
// behind the tests' port (on a virtual clock) and behind tr58sim's TCP and
// pseudo-terminal servers (on the real clock).
//
// Protocol, as this instrument speaks it (every reply ends with CTRL-Z):
//   wake-up     0xFF bytes (the end of the burst) -> CR LF "line opened for
//               operator commands" BEL CR LF, once the burst has been quiet 60 ms
//   ECHO OFF    "OK" CR LF; until then every command line is echoed first
//   TIME y m d h n s   sets the clock; "OK" CR LF
//   DIR         per file: name TAB yy-mm-dd hh:mm:ss TAB points TAB interval
//               TAB status (a blank, or "L": undeletable) [TAB points, when the file can
//               be read by date/time range] CR LF; no files: CTRL-Z alone
//   PLAY n [yyyy-mm-dd hh:mm:ss yyyy-mm-dd hh:mm:ss]
//               header (name TAB start TAB count TAB uuvv), names, units and
//               data lines; a file that is gone: CTRL-Z alone; ESC stops it
//   DEL / DEL n "OK" CR LF; files after n move down by one; "ERR" for an
//               undeletable or missing file
//   UNIT        per probe quantity: index TAB name TAB chosen unit (0: not
//               shown) TAB units...; no probe: CTRL-Z alone
//   UNIT a b .. chooses the units of the shown quantities (at most three);
//               "OK", or "ERR" while recording
//   SEND n      starts real-time output: lines TAB names, TAB units, one data
//               line (the first field of the names line is the line count)
//   SEND        one data line of the shown quantities; "ERR" before SEND n and
//               after a change of units (the line closing does not stop it)
//               (or, with the pulled-probe faults, "ERR" or silence after N polls)
//   VERS        instrument and probe type CR LF version, a blank, CR LF
//               (no probe: the type line only)
//   SNUM        "Instrument" TAB number CR LF "Probe" TAB number CR LF
//   CAL         "Calibrated" TAB yyyy-mm-dd CR LF
//   EXIT        CR LF "line closed" CR LF, no CTRL-Z; the line is closed

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>

#include "sim/SimFile.h"

struct SimFaults {
    bool silent = false;           // answers nothing at all, not even the wake-up
    int silentAfter = -1;          // answers this many commands, then nothing
    bool errReplies = false;       // every command but ECHO OFF, TIME, EXIT answers "ERR"
    QSet<QByteArray> errCommands;  // these commands ("DIR") answer "ERR"
    // The reply to these commands ("TIME") comes this many ms later than the
    // others: an instrument slower than the protocol's waits.
    QMap<QByteArray, int> lateReplies;
    bool noProbe = false;        // no probe attached
    bool filesGone = false;      // PLAY answers CTRL-Z alone (deleted meanwhile)
    int garbleLine = 0;          // PLAY: this data line (1-based) gets an extra field pair
    int shortBy = 0;             // PLAY of a whole file ends this many points before DIR's count
    bool noEndMark = false;      // replies lack their CTRL-Z
    qint64 dropAfterBytes = -1;  // the connection drops after this many bytes sent
    bool recording = false;      // the instrument is recording: "UNIT a b .." answers "ERR"
    int idleCloseSeconds = 0;    // the line closes by itself after this long without a command
    // The probe is pulled out while the real-time window polls: after this
    // many "SEND" polls every further poll answers "ERR", or nothing at all.
    int sendErrAfter = -1;
    int sendSilentAfter = -1;
    // Exact replies for whole command lines ("VERS" -> bytes), ahead of the
    // normal answer: for replies a test needs that the instrument never sends.
    QMap<QByteArray, QByteArray> canned;
};

struct SimProbeQuantity {
    QByteArray name;
    QList<QByteArray> units;
    int choice = 0;  // 1-based unit shown; 0 = not shown
    int decimals = 1;
    double base = 20.0;
};

class Instrument {
public:
    explicit Instrument(QList<SimFile> files = DefaultSimFiles());

    // Bytes from the computer, arriving at nowMs (any steady millisecond clock).
    void Receive(const QByteArray& bytes, qint64 nowMs);
    // Lets time-driven events happen (the announcement after the burst, the
    // idle close).
    void Tick(qint64 nowMs);
    // Output ready to go at nowMs, at most maxBytes.
    QByteArray TakeOutput(qint64 nowMs, qint64 maxBytes);
    bool HasOutput() const { return !queue_.isEmpty(); }
    // Total bytes sent so far (for the dropped-connection fault).
    qint64 BytesSent() const { return bytesSent_; }
    bool ShouldDrop() const {
        return faults_.dropAfterBytes >= 0 && bytesSent_ >= faults_.dropAfterBytes;
    }
    // The connection went away: the line closes.
    void Disconnected();

    SimFaults& Faults() { return faults_; }
    QList<SimFile>& Files() { return files_; }
    QList<SimProbeQuantity>& Probe() { return probe_; }
    bool LineOpen() const { return lineOpen_; }
    bool Echo() const { return echo_; }
    // The instrument's own clock; "TIME" sets it.
    QDateTime ClockTime(qint64 nowMs) const;
    void SetClock(const QDateTime& time, qint64 nowMs);
    // Every command line received, in order (without CR).
    const QStringList& CommandLog() const { return log_; }
    // Milliseconds between a command and the start of its reply.
    void SetResponseDelay(int ms) { responseDelayMs_ = ms; }

    // The reply texts, also used by the tests to compare what arrives.
    QByteArray DirReply() const;
    QByteArray PlayReply(int index, const QDateTime& from = {}, const QDateTime& to = {}) const;

private:
    struct Segment {
        qint64 due = 0;
        QByteArray bytes;
        bool stream = false;  // a PLAY reply that ESC stops
    };

    // One command line as the handlers see it: the words, the first one in
    // capitals, and when it arrived.
    struct Request {
        QByteArray line;
        QList<QByteArray> words;
        qint64 nowMs = 0;
    };
    using Handler = void (Instrument::*)(const Request&);
    struct Command {
        const char* name;
        Handler handler;
        // ECHO, TIME and EXIT keep the line usable whatever faults are
        // injected: they answer ahead of the canned replies and the "ERR"s.
        bool beforeFaults;
    };
    static const Command kCommands[];

    void Send(const QByteArray& bytes, qint64 nowMs, bool stream = false);
    void Reply(const QByteArray& body, qint64 nowMs, bool stream = false);
    void HandleLine(const QByteArray& line, qint64 nowMs);
    void OnExit(const Request& request);
    void OnEcho(const Request& request);
    void OnTime(const Request& request);
    void OnDir(const Request& request);
    void OnPlay(const Request& request);
    void OnDel(const Request& request);
    void OnUnit(const Request& request);
    void OnSend(const Request& request);
    void OnVers(const Request& request);
    void OnSnum(const Request& request);
    void OnCal(const Request& request);
    void Abort(qint64 nowMs);
    void CloseLine(qint64 nowMs, bool announce);
    QByteArray RealTimeDataLine(qint64 nowMs) const;

    QList<SimFile> files_;
    QList<SimProbeQuantity> probe_;
    SimFaults faults_;
    QList<Segment> queue_;
    QByteArray line_;
    QStringList log_;
    bool lineOpen_ = false;
    bool echo_ = true;
    bool woken_ = false;
    bool realTime_ = false;
    qint64 lastWakeByte_ = 0;
    qint64 lastCommand_ = 0;
    qint64 bytesSent_ = 0;
    int commandsAnswered_ = 0;
    int sendPolls_ = 0;  // "SEND" polls received (for the pulled-probe faults)
    int responseDelayMs_ = 20;
    int lateMs_ = 0;  // extra delay of the reply being made
    qint64 clockOffsetMs_ = 0;
    bool clockSet_ = false;
    QDateTime clockBase_;
};
