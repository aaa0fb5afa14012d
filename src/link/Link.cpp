#include "link/Link.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"

namespace {

constexpr QChar kCtrlZ(0x1A);
constexpr char kEsc = 0x1B;
const QString kAnnouncement = QStringLiteral("line opened for operator commands\a\r");
const QString kLineClosed = QStringLiteral("line closed\r");
constexpr qsizetype kAnnouncementCut = 20;  // characters dropped from the match on
const QString kLineClosedEnd = QStringLiteral("line closed\r\n");

constexpr double kShortReply = 2.01;  // seconds
constexpr double kLongReply = 60.01;
constexpr double kExitPause = 2.1;
constexpr double kAfterWrite = 0.2;
constexpr int kCycleMs = 10;
constexpr int kQuietCycles = 100;

// The message of a command that failed at the instrument (no reply in time,
// an "ERR" reply). The clock setting and the real-time poll fail quietly; the
// caller of the poll decides what to say.
QString FailureKey(Command::Code code) {
    switch (code) {
        case Command::kUnit:
        case Command::kUnitChange:
            return MessageKeys::kCannotChange;
        case Command::kSendPoll:
        case Command::kTime:
            return {};
        default:
            return Command::IsCommand(code) ? MessageKeys::kCommunicationErrors : QString();
    }
}

double ReplyTime(Command::Code code) {
    switch (code) {
        case Command::kPlay:
        case Command::kDel:
        case Command::kSendFirst:
        case Command::kSendPoll:
            return kLongReply;
        default:
            return kShortReply;
    }
}

}  // namespace

Link::Link(Port& port, Pump& pump, MessagePresenter& presenter)
    : port_(port), pump_(pump), presenter_(presenter) {
    port_.SetReceiveHandler([this] { OnReceive(); });
}

Link::~Link() {
    port_.SetReceiveHandler(nullptr);
}

QByteArray Link::CommandBytes(const QString& text) {
    return EncodeInstrumentText(text);
}

QByteArray Link::WakeBurst() {
    QByteArray burst("EXIT\r");
    burst.reserve(kWakeBurstSize);
    for (int i = 0; i < 1152; ++i) burst.append("\xFF\r", 2);
    return burst;
}

int Link::PortError(int port) const {
    return port >= 1 && port <= 17 ? portErrors_[static_cast<size_t>(port)] : 0;
}

MessageContext Link::Context() const {
    MessageContext context;
    context.title = title_;
    context.openingPort = s_.OpeningPort;
    context.lanSelection = s_.LanSelection;
    if (s_.LanSelection >= 1 && s_.LanSelection <= static_cast<int>(s_.LanHosts.size()))
        context.lanHost = s_.LanHosts[static_cast<size_t>(s_.LanSelection - 1)].host;
    context.device = comPorts_.Device(s_.OpeningPort);
    context.systemText = port_.ErrorText();
    return context;
}

bool Link::ShowMessage(QString& key) {
    return ::ShowMessage(key, Context(), presenter_);
}

// ---------------------------------------------------------------------------
// Connection choice

void SelectSerialPort(LinkState& state, int com) {
    state.LanSelection = 0;
    state.ConnectionType = Connection::kSerial;
    state.ConfiguredPort = static_cast<qint16>(com);
    state.AutoDetect = false;
}

void SelectAutoDetect(LinkState& state) {
    state.LanSelection = 0;
    state.ConnectionType = Connection::kSerial;
    if (state.ConfiguredPort == PortTarget::kLanPort) state.ConfiguredPort = 1;
    state.AutoDetect = true;
}

void SelectLanHost(LinkState& state, int entry) {
    state.LanSelection = static_cast<qint16>(entry);
    state.ConnectionType = Connection::kLan;
    state.ConfiguredPort = PortTarget::kLanPort;
    state.AutoDetect = false;
}

bool Link::ReleaseForChange() {
    if (IsRealTimeActive()) {
        if (!ConfirmStopRealTime()) return false;
        CloseLink();
    } else if (s_.OpenPort != 0) {
        CloseLink();
    }
    return true;
}

bool Link::TryOpen(int steps) {
    progress_.Load();
    progress_.SetValue(0);
    progress_.SetMaximum(steps);
    progress_.SetMsg(StringTable::Text(Str::kFindingInstrument));
    const bool ok = OpenLink(s_.ConfiguredPort);
    if (!ok) {
        progress_.Hide();
        if (!s_.bcancel) ShowMessage(s_.MessageKey);
    }
    s_.MessageKey.clear();
    progress_.EndWait();
    if (ok) CloseLink();
    if (progress_.IsLoaded()) progress_.Unload();
    return ok;
}

// ---------------------------------------------------------------------------
// Opening, waking, detection

bool Link::OpenPortAt(int port, int& errorCode) {
    s_.OpeningPort = static_cast<qint16>(port);
    PortTarget target;
    target.number = port;
    if (s_.ConnectionType == Connection::kLan) {
        s_.icommand = Command::kNone;
        target.number = PortTarget::kLanPort;
        if (s_.LanSelection >= 1 && s_.LanSelection <= static_cast<int>(s_.LanHosts.size())) {
            const LanHost& host = s_.LanHosts[static_cast<size_t>(s_.LanSelection - 1)];
            target.host = host.host;
            target.tcpPort = static_cast<quint16>(host.port);
        }
    } else {
        target.device = comPorts_.Device(port);
    }
    const int error = port_.Open(target);
    if (error != PortError::kNone) {
        errorCode = error;
        if (port >= 1 && port <= 17) portErrors_[static_cast<size_t>(port)] = error;
        if (error == PortError::kPortInUse || error == PortError::kNoSuchPort ||
            error == PortError::kUnavailable)
            s_.MessageKey = MessageKeys::kThereIsNoCom;
        else
            s_.MessageKey = error == PortError::kPermissionDenied ? MessageKeys::kPermissionDenied
                                                                  : MessageKeys::kCannotOpenPort;
        return false;
    }

    s_.OpenPort = static_cast<qint16>(port);
    s_.bline = false;
    s_.icommand = Command::kWake;
    s_.ReplyReady = false;
    s_.ReceiveBuffer.clear();
    ctrlZSeen_ = false;
    staleReplies_ = 0;  // a late reply on the old line is dropped by the wake-up

    bool ok;
    if (!WakeInstrument()) {
        port_.Close();
        s_.OpenPort = 0;
        // A LAN host that took the connection has the right address; only
        // the instrument behind it stayed silent.
        s_.MessageKey = s_.ConnectionType == Connection::kLan && port_.ConnectionMade()
                            ? MessageKeys::kLanNoAnswer
                            : MessageKeys::kCannotDetect;
        ok = false;
    } else {
        s_.OpenPort = static_cast<qint16>(port);
        s_.ConfiguredPort = static_cast<qint16>(port);
        ok = true;
    }
    errorCode = 0;
    s_.icommand = Command::kNone;
    return ok;
}

bool Link::WakeInstrument() {
    port_.DiscardOutput();
    const QByteArray burst = WakeBurst();
    const double t = kShortReply;
    s_.icommand = Command::kWake;
    s_.bcancel = false;
    s_.ExitPending = false;
    s_.bline = false;
    port_.DiscardInput();
    port_.ReadInput();

    const bool written = port_.Write(burst);

    // Let the burst leave, then give the instrument the full time to announce
    // its line; the receive handler watches for the announcement meanwhile.
    // A connection that ends meanwhile cannot bring the announcement.
    const auto waiting = [this] { return !s_.bcancel && !port_.ConnectionLost(); };
    BeginWait();
    double start = pump_.Clock();
    while (written && port_.OutputPending() > 0 && waiting() && pump_.Elapsed(start) < 2 * t)
        AwaitInstrument();
    start = pump_.Clock();
    while (written && waiting() && pump_.Elapsed(start) < t) AwaitInstrument();

    if (written && s_.ReplyReady && waiting()) {
        s_.bline = true;
        s_.ReceiveBuffer.clear();
        ctrlZSeen_ = false;
        s_.icommand = Command::kEchoOff;
        port_.DiscardInput();
        QString reply;
        if (SendCommandAndReceive(QStringLiteral("ECHO OFF\r"), Command::kEchoOff, reply, false)) {
            Pause(kAfterWrite);
            port_.DiscardInput();
            s_.icommand = Command::kNone;
            s_.bline = true;
            return true;
        }
        s_.bline = false;
        s_.icommand = Command::kNone;
        return false;
    }

    s_.icommand = Command::kNone;
    s_.bline = false;
    const bool cancelled = s_.bcancel;
    CloseLink();
    if (cancelled) s_.bcancel = true;
    return false;
}

bool Link::OpenLink(int port) {
    portErrors_.fill(0);
    if (port < 1) port = 1;
    if (s_.OpenPort != 0) return true;
    // A fresh open starts clean: an earlier cancel would end the port walk
    // before it began, and an earlier message would be shown for this failure.
    s_.bcancel = false;
    s_.MessageKey.clear();
    // Cables plugged in since the last open count.
    if (comSource_) comPorts_ = comSource_();
    // Waking the instrument (and looking for it) is where a user waits longest.
    BeginWait();

    bool ok = false;
    int errorCode = 0;
    for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
        ok = OpenPortAt(port, errorCode);
        if (s_.bcancel) return ok;
    }
    // The key of an attempt that failed before one that opened the line is no failure.
    if (ok) s_.MessageKey.clear();
    if (!s_.AutoDetect || ok) return ok;

    // Detection: every other COM port in turn, one progress step per port.
    bool allReserved = true;
    for (int p = ComPortMap::kFirstCom; p <= ComPortMap::kLastCom; ++p) {
        if (progress_.IsLoaded()) progress_.Advance();
        if (p != port) {
            ok = OpenPortAt(p, errorCode);
            if (s_.bcancel) return ok;
        }
        const int error = portErrors_[static_cast<size_t>(p)];
        if (error != PortError::kPortInUse && error != PortError::kNoSuchPort) allReserved = false;
        if (ok) break;
    }
    if (ok) s_.MessageKey.clear();
    if (!ok)
        s_.MessageKey = allReserved ? MessageKeys::kAllReserved : MessageKeys::kCannotAutodetect;
    // A port this user may not open is most likely the instrument's cable.
    const auto denied =
        std::find(portErrors_.begin(), portErrors_.end(), PortError::kPermissionDenied);
    if (!ok && denied != portErrors_.end()) {
        s_.OpeningPort = static_cast<qint16>(denied - portErrors_.begin());
        s_.MessageKey = MessageKeys::kPermissionDenied;
    }
    return ok;
}

bool Link::SendExit() {
    s_.icommand = Command::kExit;
    s_.ExitPending = true;
    QString reply;
    Transact(QStringLiteral("EXIT\r"), reply);
    s_.bline = false;
    s_.icommand = Command::kNone;
    return true;
}

bool Link::CloseLink() {
    // "EXIT" can only be said on an open port whose connection still stands;
    // otherwise there is nothing to wait for.
    if (port_.IsOpen() && !port_.ConnectionLost()) SendExit();
    s_.ExitPending = false;
    s_.OpenPort = 0;
    if (port_.IsOpen()) port_.Close();
    return true;
}

void Link::CloseForExit() {
    if (!port_.IsOpen()) return;
    if (s_.bline) SendExit();
    port_.Close();
    s_.OpenPort = 0;
}

// ---------------------------------------------------------------------------
// The command engine

bool Link::SendCommandAndReceive(const QString& command, Command::Code code, QString& reply,
                                 bool closeAfter) {
    // Every command starts from a clean state: nothing a failed, cut or
    // cancelled command left behind may change how this one goes.
    reply.clear();
    s_.bcancel = false;
    s_.CommandFailed = false;
    s_.strMsgReady = false;
    s_.MessageKey.clear();
    s_.LinkBusy = true;

    const bool opened = OpenLink(s_.ConfiguredPort);
    bool ok = opened;
    if (ok && (code == Command::kDir || code == Command::kSendFirst)) SetInstrumentClock();

    s_.icommand = code;
    if (ok && !s_.bcancel)
        ok = Transact(command, reply);
    else if (s_.bcancel)
        ok = false;  // cancelled before the command was written

    // A link that could not be opened keeps the key of the opening
    // ("Cannot detect", "There is no COM", ...): that is what the user can act on.
    if (!ok && opened && !s_.bcancel) {
        s_.MessageKey = FailureKey(code);
        if (reply.endsWith(kLineClosedEnd) || port_.ConnectionLost())
            s_.MessageKey = MessageKeys::kCommunicationErrors;
    }
    if (ok) {
        if (code == Command::kUnit && reply == QStringLiteral("\r\n\x1A")) {
            ok = false;
            s_.MessageKey = MessageKeys::kNoProbe;
        } else if (code != Command::kDel && reply.startsWith(QLatin1String("ERR"))) {
            // The instrument refused the command: its "ERR" is no reading.
            // A deletion's caller reads the refusal itself ("File Deleted").
            ok = false;
            // "ERR" to the first real-time request: the real-time window is off
            // (no probe quantities shown, the instrument busy recording).
            s_.MessageKey =
                code == Command::kSendFirst ? MessageKeys::kRealTimeDisconnected : FailureKey(code);
        }
    }
    if (!opened) {
        s_.ExitPending = false;
        s_.LinkBusy = false;
    }

    // A step of the opening (ECHO OFF) that fails is the opening's to handle: the port is tried
    // again, and the command that the opening serves has not failed. Marking it failed here
    // made a command that then went through look failed, with its progress window hidden.
    const bool userCommand = Command::IsCommand(code);
    if (!ok) {
        if (userCommand && IsCommunicating()) progress_.Hide();
        if (!s_.bcancel) {
            if (IsRealTimeActive() && realTime_->PointCount() >= 1 && code == Command::kSendPoll) {
                // A poll that failed on an open line is tried again at the next
                // tick: nothing to say. A line that could not be opened (no
                // port, no cable, no instrument) keeps its key: the real-time
                // window stops on it.
                if (opened) s_.MessageKey.clear();
            } else if (Command::IsCommand(code)) {
                ShowMessage(s_.MessageKey);
            }
        }
        if (userCommand && code != Command::kSendPoll) s_.CommandFailed = true;
    }

    if (ok) {
        if (closeAfter && (!IsRealTimeActive() || realTimeInterval_ >= 6)) CloseLink();
    } else {
        // Closing clears the cancel flag; the caller still needs to see it.
        const bool cancelled = s_.bcancel;
        CloseLink();
        s_.bcancel = cancelled;
        s_.ExitPending = false;
        s_.LinkBusy = false;
    }
    s_.icommand = Command::kNone;
    progress_.EndWait();
    return ok;
}

void Link::BeginWait() {
    if (!progress_.IsLoaded() || progress_.Waiting()) return;
    waitStart_ = pump_.Clock();
    progress_.BeginWait();
}

void Link::AwaitInstrument() {
    pump_.ProcessEvents(kCycleMs);
    if (progress_.Waiting()) progress_.SetWaitElapsed(pump_.Elapsed(waitStart_));
}

void Link::SetInstrumentClock() {
    const QDateTime now = pump_.Now();
    if (now.date().year() < 2000) return;
    const QString text = QStringLiteral("TIME %1 %2 %3 %4 %5 %6\r")
                             .arg(now.date().year() % 100, 2, 10, QLatin1Char('0'))
                             .arg(now.date().month())
                             .arg(now.date().day())
                             .arg(now.time().hour())
                             .arg(now.time().minute())
                             .arg(now.time().second());
    const Command::Code saved = s_.icommand;
    s_.icommand = Command::kTime;
    QString reply;
    Transact(text, reply);  // the outcome does not matter to the command that asked
    s_.icommand = saved;
}

bool Link::Transact(const QString& command, QString& reply) {
    if (s_.ExitPending) {
        Pause(kExitPause);
        s_.ExitPending = false;
    }
    if (!SendText(command)) return false;
    return ReceiveReply(reply);
}

bool Link::SendText(const QString& text) {
    s_.bcancel = false;
    if (!port_.IsOpen()) return false;
    // What came since the last reply is thrown away, but an end mark still owed
    // to an earlier command (a download cut at the line limit, a late reply)
    // is paid from it first; else this command's own end mark would be taken
    // for it. While one is still owed, the port keeps what it has not handed
    // over yet: the owed mark may be among it, and the receive handler drops
    // everything up to it.
    QString unread = DecodeInstrumentBytes(port_.ReadInput());
    DropOwedReplies(unread);
    if (staleReplies_ == 0) port_.DiscardInput();
    s_.ReceiveBuffer.clear();
    ctrlZSeen_ = false;
    replyLines_ = 0;
    s_.ReplyReady = false;
    // Bytes the line did not take never reach the instrument: waiting for
    // its reply would only take the full reply time.
    if (!port_.Write(CommandBytes(text))) return false;
    if (s_.icommand != Command::kNone && s_.icommand != Command::kWake) Pause(kAfterWrite);
    return true;
}

bool Link::ReceiveReply(QString& reply) {
    const Command::Code code = s_.icommand;
    const double t = ReplyTime(code);
    const double start = pump_.Clock();
    // A connection that ended (peer gone, cable pulled) can bring no reply:
    // the wait ends at once instead of running out its time.
    const auto waiting = [this, code] {
        return !s_.bcancel && !port_.ConnectionLost() && s_.icommand == code;
    };
    BeginWait();
    if (code == Command::kWake || code == Command::kExit) {
        while (pump_.Elapsed(start) < t && waiting()) AwaitInstrument();
    } else {
        while (pump_.Elapsed(start) < t && !s_.ReplyReady && waiting()) AwaitInstrument();
    }
    progress_.EndWait();

    // A reply still arriving keeps the wait going for as long as input flows.
    if (!s_.ReceiveBuffer.isEmpty() && !ctrlZSeen_) {
        int quiet = 0;
        quint64 seen = receivedBytes_;
        while (!ctrlZSeen_ && waiting()) {
            pump_.ProcessEvents(kCycleMs);
            if (Command::IsCommand(code) && s_.ReplyReady) break;
            if (receivedBytes_ != seen || port_.InputPending() > 0) {
                seen = receivedBytes_;
                quiet = 0;
            } else if (++quiet >= kQuietCycles) {
                break;
            }
        }
    }

    // The wait is over. An end mark the instrument still owes this command
    // (it answers late, or was cancelled) must not be taken for the reply to
    // the next one.
    if (!ctrlZSeen_ && Command::ExpectsEndMark(code) && s_.bline && port_.IsOpen() &&
        !port_.ConnectionLost())
        ++staleReplies_;

    if (s_.bcancel) {
        s_.ReplyReady = false;
        s_.ReceiveBuffer.clear();
    }
    const bool result = s_.ReplyReady;
    reply = s_.ReceiveBuffer;
    s_.ReplyReady = false;
    s_.ReceiveBuffer.clear();
    ctrlZSeen_ = false;
    return result;
}

// ---------------------------------------------------------------------------
// The receive handler

bool Link::TailHasLineClosed(qsizetype newLength) const {
    // "line closed" may have been split across two reads: look at the new text
    // and the characters before it.
    const qsizetype from =
        std::max<qsizetype>(0, s_.ReceiveBuffer.size() - newLength - kLineClosed.size());
    return s_.ReceiveBuffer.indexOf(kLineClosed, from) >= 0;
}

void Link::HandleIdleInput(const QString& newText) {
    // Nothing is expected: the text is not kept. The instrument closing its line
    // by itself (it does after a long idle time) ends the link, so the next
    // command opens and wakes it again instead of talking into a closed line.
    if (newText.contains(kLineClosed) && s_.OpenPort != 0 && !s_.ExitPending) {
        s_.bline = false;
        s_.OpenPort = 0;
        if (port_.IsOpen()) port_.Close();
    }
    s_.ReceiveBuffer.clear();
}

bool Link::DropOwedReplies(QString& newText) {
    while (staleReplies_ > 0 && !newText.isEmpty()) {
        if (newText.contains(kLineClosed)) {
            // The instrument closed its line: it owes nothing any more, and
            // the closing itself is news for whoever waits.
            staleReplies_ = 0;
            break;
        }
        const qsizetype z = newText.indexOf(kCtrlZ);
        if (z < 0) return false;
        newText.remove(0, z + 1);
        --staleReplies_;
    }
    return !newText.isEmpty();
}

void Link::OnReceive() {
    if (port_.Hold() || port_.InputPending() <= 0) return;
    const QByteArray bytes = port_.ReadInput();
    if (bytes.isEmpty()) return;
    receivedBytes_ += static_cast<quint64>(bytes.size());
    QString newText = DecodeInstrumentBytes(bytes);

    if (!DropOwedReplies(newText)) return;
    if (s_.icommand == Command::kNone) {
        HandleIdleInput(newText);
        return;
    }

    if (ctrlZSeen_) {
        // The reply is complete; what follows its CTRL-Z carries no meaning.
        if (newText.contains(kLineClosed)) {
            s_.bline = false;
            s_.ExitPending = false;
        }
        return;
    }

    const qsizetype appendedAt = s_.ReceiveBuffer.size();
    bool hasCtrlZ = false;
    const qsizetype z = newText.indexOf(kCtrlZ);
    if (z >= 0) {
        newText.truncate(z + 1);
        hasCtrlZ = true;
    }
    s_.ReceiveBuffer.append(newText);

    if (s_.icommand == Command::kWake) {
        if (s_.ReceiveBuffer.size() >= 10 && !s_.bcancel) {
            // The announcement follows CR LF, or a lone CR. Everything before
            // it goes, so a "line closed" before it does not count; the
            // buffer keeps the announcement from its 21st character on (past
            // the line end and "line opened for op") and what follows it.
            qsizetype match = s_.ReceiveBuffer.indexOf(QLatin1String("\r\n") + kAnnouncement);
            if (match < 0) match = s_.ReceiveBuffer.indexOf(QLatin1Char('\r') + kAnnouncement);
            if (match >= 0) {
                s_.ReceiveBuffer.remove(0, match + kAnnouncementCut);
                s_.bline = true;
                s_.ReplyReady = true;
            }
        }
        if (s_.bline && !s_.bcancel && s_.ReceiveBuffer.contains(kLineClosed)) {
            s_.bline = false;
            s_.ReplyReady = false;
        }
        return;
    }

    if (TailHasLineClosed(newText.size())) {
        s_.bline = false;
        s_.ReplyReady = false;
        s_.ExitPending = false;
        return;
    }

    if (hasCtrlZ) ctrlZSeen_ = true;
    // The reply has begun: what follows is progress, not waiting.
    if (Command::IsCommand(s_.icommand) && s_.icommand != Command::kExit) progress_.EndWait();
    CountProgress(newText, appendedAt);

    if (s_.icommand == Command::kEchoOff) {
        if (ctrlZSeen_) {
            s_.bline = true;
            s_.ReplyReady = true;
        }
    } else if (Command::IsCommand(s_.icommand) && s_.icommand != Command::kExit) {
        if (ctrlZSeen_ && !s_.bcancel) s_.ReplyReady = true;
    }
}

void Link::CountProgress(const QString& newText, qsizetype appendedAt) {
    const Command::Code code = s_.icommand;
    if (code != Command::kDir && code != Command::kPlay && code != Command::kDel &&
        code != Command::kSendFirst && code != Command::kUnit)
        return;

    if (code == Command::kSendFirst && s_.LineCount == 0) {
        qint32 n = 1;
        if (s_.ReceiveBuffer.size() > 1) {
            const qsizetype tab = s_.ReceiveBuffer.indexOf(QLatin1Char('\t'));
            n = s_.ReceiveBuffer.left(tab < 0 ? 0 : tab).trimmed().toInt();
        }
        // Two lines a reading; a count that no instrument sends must not overflow the total.
        s_.LineTotal = static_cast<qint32>(
            std::clamp<qint64>(2 * qint64{n}, 0, std::numeric_limits<qint32>::max()));
        s_.LineCount = 1;
    }
    if (code == Command::kDir && s_.LineCount == 0) s_.LineTotal = 15;
    if (code == Command::kUnit && s_.LineCount == 0) s_.LineTotal = 10;

    // Count line ends: a LF right after a CR, also when the two came in
    // separate reads.
    const QString& buffer = s_.ReceiveBuffer;
    const qsizetype end = appendedAt + newText.size();
    for (qsizetype i = appendedAt; i < end; ++i) {
        if (buffer.at(i) != QLatin1Char('\n') || i == 0 || buffer.at(i - 1) != QLatin1Char('\r'))
            continue;
        ++s_.LineCount;
        ++replyLines_;
        if (code != Command::kPlay) continue;
        // The header and the cut go by this reply's own lines: a count left
        // over from an earlier command must not cut a reply at its start.
        if (replyLines_ == 1) {
            // The header line's third field is the file's row count.
            const QStringList fields = buffer.left(i - 1).split(QLatin1Char('\t'));
            if (fields.size() >= 3 && progress_.IsLoaded())
                progress_.SetFileRows(fields.at(2).trimmed().toInt());
        } else if (s_.LineCount >= 4 && progress_.IsLoaded()) {
            progress_.SetRowValue(s_.LineCount);
            progress_.SetPointsReceived(replyLines_ - 3);
        }
        if (replyLines_ >= kLineLimit) {
            // Enough for 65000 points: stop the instrument and end the reply here.
            port_.Write(QByteArray(1, kEsc));
            const bool endArrived = s_.ReceiveBuffer.indexOf(kCtrlZ, i) >= 0;
            s_.ReceiveBuffer.truncate(i + 1);
            s_.ReceiveBuffer.append(kCtrlZ);
            ctrlZSeen_ = true;
            s_.strMsgReady = true;
            // The instrument ends the stopped stream with its own end mark;
            // everything up to it belongs to this reply and is dropped.
            if (!endArrived) ++staleReplies_;
            return;
        }
    }

    if (code != Command::kPlay && progress_.IsLoaded()) {
        if (s_.LineTotal == 0) s_.LineTotal = 1;
        const int v =
            static_cast<int>(std::lround(static_cast<double>(s_.LineCount) / s_.LineTotal * 100.0));
        if (v <= 100) progress_.SetValue(v);
    }
}

// ---------------------------------------------------------------------------
// Real time and waiting

bool Link::IsRealTimeActive() const {
    return realTime_ && realTime_->IsActive();
}

bool Link::IsRealTimeBusy() const {
    return IsRealTimeActive() && realTime_->IsPolling();
}

bool Link::WaitLinkIdle() {
    for (int i = 0; i < 200; ++i) {
        if (!IsRealTimeBusy()) return true;
        Pause(0.01);
        pump_.ProcessEvents(0);
    }
    return false;
}

bool Link::WaitLinkIdleOrSay() {
    if (WaitLinkIdle()) return true;
    QString key = MessageKeys::kWaitProcess;
    ShowMessage(key);
    return false;
}

bool Link::ConfirmStopRealTime() {
    if (!IsRealTimeActive()) return true;
    QString key = MessageKeys::kChangeSettings;
    if (!ShowMessage(key)) return false;
    realTime_->StopRealTime();
    return true;
}

void Link::Pause(double seconds) {
    pump_.Sleep(static_cast<int>(std::lround(seconds * 1000.0)));
}

void Link::Cancel() {
    if (s_.icommand == Command::kPlay && port_.IsOpen()) port_.Write(QByteArray(1, kEsc));
    s_.bcancel = true;
}
