#include "sim/Instrument.h"

#include <cmath>

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEsc = 0x1B;
constexpr qint64 kWakeQuietMs = 60;
const QByteArray kAnnouncement = "\r\nline opened for operator commands\a\r\n";
const QByteArray kLineClosed = "\r\nline closed\r\n";
const QByteArray kOk = "OK\r\n\x1A";
const QByteArray kErr = "ERR\r\n\x1A";
const QByteArray kEndMark(1, kCtrlZ);  // an empty answer: the end mark alone

QList<SimProbeQuantity> DefaultProbe() {
    return {
        {"T",
         {"\xB0"
          "C",
          "\xB0"
          "F"},
         1,
         2,
         21.5},
        {"RH", {"%RH"}, 1, 1, 45.0},
        {"Td",
         {"\xB0"
          "C",
          "\xB0"
          "F"},
         0,
         2,
         9.2},
        {"a", {"g/m\x8F", "gr/ft\x8F"}, 0, 2, 8.7},
        {"x", {"g/kg", "gr/lb"}, 0, 2, 7.3},
        {"Tw",
         {"\xB0"
          "C",
          "\xB0"
          "F"},
         0,
         2,
         14.2},
    };
}

// UNIT's listing: per probe quantity its index, name, chosen unit and units.
QByteArray UnitListing(const QList<SimProbeQuantity>& probe) {
    QByteArray reply;
    for (int q = 0; q < probe.size(); ++q) {
        const SimProbeQuantity& quantity = probe.at(q);
        reply += QByteArray::number(q + 1) + '\t' + quantity.name + '\t' +
                 QByteArray::number(quantity.choice);
        for (const QByteArray& unit : quantity.units) reply += '\t' + unit;
        reply += "\r\n";
    }
    return reply + kCtrlZ;
}

// "UNIT a b ..": one choice per quantity in order, each 0 (not shown) or a
// unit of that quantity, at most three shown.
bool ParseUnitChoices(const QList<QByteArray>& words, const QList<SimProbeQuantity>& probe,
                      QList<int>& choices) {
    bool good = words.size() - 1 <= probe.size();
    int shown = 0;
    for (int i = 1; good && i < words.size(); ++i) {
        const int choice = words.at(i).toInt(&good);
        if (good && (choice < 0 || choice > probe.at(i - 1).units.size())) good = false;
        if (choice > 0) ++shown;
        choices << choice;
    }
    return good && shown <= 3;
}

// "yyyy-mm-dd hh:mm:ss" as the PLAY range is written.
QDateTime ParseRangeTime(const QByteArray& date, const QByteArray& time) {
    return QDateTime::fromString(QString::fromLatin1(date + ' ' + time),
                                 QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

}  // namespace

Instrument::Instrument(QList<SimFile> files)
    : files_(std::move(files)),
      probe_(DefaultProbe()),
      clockBase_(QDate(2026, 11, 2), QTime(12, 0, 0)) {}

QDateTime Instrument::ClockTime(qint64 nowMs) const {
    return clockBase_.addMSecs(nowMs - clockOffsetMs_);
}

void Instrument::SetClock(const QDateTime& time, qint64 nowMs) {
    clockBase_ = time;
    clockOffsetMs_ = nowMs;
    clockSet_ = true;
}

void Instrument::Send(const QByteArray& bytes, qint64 nowMs, bool stream) {
    if (bytes.isEmpty()) return;
    qint64 due = nowMs;
    if (!queue_.isEmpty()) due = std::max(due, queue_.last().due);
    queue_.append({due, bytes, stream});
}

void Instrument::Reply(const QByteArray& body, qint64 nowMs, bool stream) {
    QByteArray bytes = body;
    if (faults_.noEndMark && bytes.endsWith(kCtrlZ)) bytes.chop(1);
    Send(bytes, nowMs + responseDelayMs_ + lateMs_, stream);
}

QByteArray Instrument::TakeOutput(qint64 nowMs, qint64 maxBytes) {
    QByteArray out;
    while (!queue_.isEmpty() && queue_.first().due <= nowMs && out.size() < maxBytes) {
        Segment& first = queue_.first();
        const qint64 room = maxBytes - out.size();
        if (first.bytes.size() <= room) {
            out += first.bytes;
            queue_.removeFirst();
        } else {
            out += first.bytes.left(room);
            first.bytes.remove(0, room);
        }
    }
    bytesSent_ += out.size();
    return out;
}

void Instrument::Disconnected() {
    lineOpen_ = false;
    woken_ = false;
    queue_.clear();
    line_.clear();
}

// Real-time output started with "SEND n" outlives the line: a program that
// polls less often than every 6 s says EXIT between its polls.
void Instrument::CloseLine(qint64 nowMs, bool announce) {
    // The real-time mode outlives the line: the program closes the line
    // between polls of long intervals and polls with "SEND" on the next.
    lineOpen_ = false;
    if (announce) Send(kLineClosed, nowMs + responseDelayMs_);
}

void Instrument::Tick(qint64 nowMs) {
    if (faults_.silent) return;
    if (!lineOpen_ && woken_ && nowMs - lastWakeByte_ >= kWakeQuietMs) {
        woken_ = false;
        lineOpen_ = true;
        echo_ = true;
        lastCommand_ = nowMs;
        Send(kAnnouncement, nowMs);
    }
    if (lineOpen_ && faults_.idleCloseSeconds > 0 &&
        nowMs - lastCommand_ >= qint64(faults_.idleCloseSeconds) * 1000 && queue_.isEmpty())
        CloseLine(nowMs, true);
}

void Instrument::Abort(qint64 nowMs) {
    bool stopped = false;
    for (qsizetype i = queue_.size() - 1; i >= 0; --i) {
        if (queue_.at(i).stream) {
            queue_.removeAt(i);
            stopped = true;
        }
    }
    if (stopped) Send(QByteArray(1, kCtrlZ), nowMs);
}

void Instrument::Receive(const QByteArray& bytes, qint64 nowMs) {
    for (char c : bytes) {
        if (c == kEsc) {
            Abort(nowMs);
            continue;
        }
        if (static_cast<unsigned char>(c) == 0xFF) {
            // The wake-up burst: the line opens once it has been quiet a moment.
            if (!lineOpen_) {
                woken_ = true;
                lastWakeByte_ = nowMs;
            }
            continue;
        }
        if (!lineOpen_) {
            if (woken_ && c == '\r') lastWakeByte_ = nowMs;
            continue;
        }
        if (c == '\r') {
            const QByteArray line = line_.trimmed();
            line_.clear();
            if (!line.isEmpty()) HandleLine(line, nowMs);
        } else if (c != '\n') {
            line_ += c;
        }
    }
    Tick(nowMs);
}

// The instrument's commands, by their first word (any case). Each handler
// answers one command line; HandleLine does what every command shares.
// clang-format off
const Instrument::Command Instrument::kCommands[] = {
    {"EXIT", &Instrument::OnExit, true},
    {"ECHO", &Instrument::OnEcho, true},
    {"TIME", &Instrument::OnTime, true},
    {"DIR",  &Instrument::OnDir,  false},
    {"PLAY", &Instrument::OnPlay, false},
    {"DEL",  &Instrument::OnDel,  false},
    {"UNIT", &Instrument::OnUnit, false},
    {"SEND", &Instrument::OnSend, false},
    {"VERS", &Instrument::OnVers, false},
    {"SNUM", &Instrument::OnSnum, false},
    {"CAL",  &Instrument::OnCal,  false},
};
// clang-format on

void Instrument::HandleLine(const QByteArray& line, qint64 nowMs) {
    log_ << QString::fromLatin1(line);
    lastCommand_ = nowMs;
    if (faults_.silent) return;
    if (faults_.silentAfter >= 0 && commandsAnswered_ >= faults_.silentAfter) return;
    ++commandsAnswered_;

    if (echo_) Send(line + "\r\n", nowMs);

    const Request request{line, line.simplified().split(' '), nowMs};
    const QByteArray name = request.words.first().toUpper();
    lateMs_ = faults_.lateReplies.value(name, 0);
    const Command* command = nullptr;
    for (const Command& row : kCommands) {
        if (name == row.name) {
            command = &row;
            break;
        }
    }

    if (command && command->beforeFaults) {
        (this->*command->handler)(request);
    } else if (faults_.canned.contains(line)) {
        Send(faults_.canned.value(line), nowMs + responseDelayMs_ + lateMs_);
    } else if (!command || faults_.errReplies || faults_.errCommands.contains(name)) {
        Reply(kErr, nowMs);
    } else {
        (this->*command->handler)(request);
    }
}

void Instrument::OnExit(const Request& request) {
    CloseLine(request.nowMs, true);
}

void Instrument::OnEcho(const Request& request) {
    const QByteArray setting = request.words.size() == 2 ? request.words.at(1).toUpper() : "";
    if (setting != "OFF" && setting != "ON") return Reply(kErr, request.nowMs);
    echo_ = setting == "ON";
    Reply(kOk, request.nowMs);
}

void Instrument::OnTime(const Request& request) {
    const QList<QByteArray>& words = request.words;
    bool good = words.size() == 7;
    int v[6] = {};
    for (int i = 0; good && i < 6; ++i) v[i] = words.at(i + 1).toInt(&good);
    const QDateTime time(QDate(2000 + v[0], v[1], v[2]), QTime(v[3], v[4], v[5]));
    if (!good || !time.isValid()) return Reply(kErr, request.nowMs);
    SetClock(time, request.nowMs);
    Reply(kOk, request.nowMs);
}

void Instrument::OnDir(const Request& request) {
    Reply(DirReply(), request.nowMs);
}

void Instrument::OnPlay(const Request& request) {
    const QList<QByteArray>& words = request.words;
    bool good = words.size() == 2 || words.size() == 6;
    const int n = good ? words.at(1).toInt(&good) : -1;
    if (!good) return Reply(kErr, request.nowMs);
    if (faults_.filesGone || n < 0 || n >= files_.size()) return Reply(kEndMark, request.nowMs);
    if (words.size() == 2) return Reply(PlayReply(n), request.nowMs, true);
    const QDateTime from = ParseRangeTime(words.at(2), words.at(3));
    const QDateTime to = ParseRangeTime(words.at(4), words.at(5));
    if (!files_.at(n).rangeCapable || !from.isValid() || !to.isValid() || to < from)
        return Reply(kErr, request.nowMs);
    Reply(PlayReply(n, from, to), request.nowMs, true);
}

void Instrument::OnDel(const Request& request) {
    if (request.words.size() == 1) {
        // Everything that may be deleted goes; undeletable files stay.
        QList<SimFile> kept;
        for (const SimFile& file : files_)
            if (!file.deletable) kept << file;
        files_ = kept;
        return Reply(kOk, request.nowMs);
    }
    bool good = false;
    const int n = request.words.at(1).toInt(&good);
    if (!good || n < 0 || n >= files_.size() || !files_.at(n).deletable)
        return Reply(kErr, request.nowMs);
    files_.removeAt(n);
    Reply(kOk, request.nowMs);
}

void Instrument::OnUnit(const Request& request) {
    if (faults_.noProbe) return Reply(kEndMark, request.nowMs);
    if (request.words.size() == 1) return Reply(UnitListing(probe_), request.nowMs);
    QList<int> choices;
    if (!ParseUnitChoices(request.words, probe_, choices) || faults_.recording)
        return Reply(kErr, request.nowMs);
    for (int q = 0; q < probe_.size(); ++q)
        probe_[q].choice = q < choices.size() ? choices.at(q) : 0;
    // Other quantities or units end the real-time output: polls answer "ERR"
    // until "SEND n" starts it again.
    realTime_ = false;
    Reply(kOk, request.nowMs);
}

void Instrument::OnSend(const Request& request) {
    const qint64 nowMs = request.nowMs;
    if (request.words.size() == 1) {
        ++sendPolls_;
        if (faults_.sendSilentAfter >= 0 && sendPolls_ > faults_.sendSilentAfter) return;
        if (faults_.sendErrAfter >= 0 && sendPolls_ > faults_.sendErrAfter)
            return Reply(kErr, nowMs);
    }
    if (faults_.noProbe) return Reply(kEndMark, nowMs);
    QByteArray names, units;
    for (const SimProbeQuantity& quantity : probe_) {
        if (quantity.choice <= 0) continue;
        names += '\t' + quantity.name;
        units += '\t' + quantity.units.at(quantity.choice - 1);
    }
    if (names.isEmpty() || (request.words.size() == 1 && !realTime_)) return Reply(kErr, nowMs);
    if (request.words.size() != 2) return Reply(RealTimeDataLine(nowMs) + "\r\n" + kCtrlZ, nowMs);
    realTime_ = true;
    Reply("3" + names + "\r\n" + units + "\r\n" + RealTimeDataLine(nowMs) + "\r\n" + kCtrlZ, nowMs);
}

void Instrument::OnVers(const Request& request) {
    Reply(
        faults_.noProbe ? QByteArray("TR58\r\n\x1A") : QByteArray("TR58 PT-5\r\nSW 2.14 \r\n\x1A"),
        request.nowMs);
}

void Instrument::OnSnum(const Request& request) {
    Reply(faults_.noProbe ? QByteArray("Instrument\tT2640117\r\n\x1A")
                          : QByteArray("Instrument\tT2640117\r\nProbe\tP5310862\r\n\x1A"),
          request.nowMs);
}

void Instrument::OnCal(const Request& request) {
    Reply("Calibrated\t2026-03-14\r\n\x1A", request.nowMs);
}

QByteArray Instrument::RealTimeDataLine(qint64 nowMs) const {
    const QDateTime now = ClockTime(nowMs);
    QByteArray line = InstrumentTimeStamp(now);
    const double t = now.toSecsSinceEpoch() / 60.0;
    for (int q = 0; q < probe_.size(); ++q) {
        const SimProbeQuantity& quantity = probe_.at(q);
        if (quantity.choice <= 0) continue;
        double value = quantity.base + std::sin(t + q) * 0.8;
        if (quantity.choice == 2 && quantity.units.at(1).endsWith("F")) value = value * 9 / 5 + 32;
        line += '\t' + QByteArray::number(value, 'f', quantity.decimals);
    }
    return line;
}

QByteArray Instrument::DirReply() const {
    if (files_.isEmpty()) return QByteArray(1, kCtrlZ);
    QByteArray reply;
    for (const SimFile& file : files_) {
        reply += file.name + '\t' + InstrumentTimeStamp(file.start) + '\t' +
                 QByteArray::number(file.lines) + '\t' + file.IntervalField() + '\t' +
                 (file.deletable ? " " : "L");  // a blank: may be deleted
        if (file.rangeCapable) reply += '\t' + QByteArray::number(file.lines);
        reply += "\r\n";
    }
    return reply + kCtrlZ;
}

QByteArray Instrument::PlayReply(int index, const QDateTime& from, const QDateTime& to) const {
    const SimFile& file = files_.at(index);
    int first = 0;
    int last = file.lines - 1;
    if (from.isValid()) {
        while (first < file.lines && file.PointTime(first) < from) ++first;
        while (last >= first && file.PointTime(last) > to) --last;
    } else if (faults_.shortBy > 0) {
        last = std::max(first - 1, last - faults_.shortBy);
    }
    const int count = std::max(0, last - first + 1);
    QByteArray reply;
    reply.reserve(qsizetype(count) * (20 + 8 * file.quantities.size()) + 256);
    reply += file.name + '\t' + (count > 0 ? InstrumentTimeStamp(file.PointTime(first)) : ".") +
             '\t' + QByteArray::number(count) + '\t' + file.IntervalField() + "\r\n";
    for (const SimQuantity& quantity : file.quantities) reply += '\t' + quantity.name;
    reply += "\r\n";
    for (const SimQuantity& quantity : file.quantities) reply += '\t' + quantity.unit;
    reply += "\r\n";
    for (int i = first; i <= last; ++i) {
        reply += file.DataLine(i);
        if (faults_.garbleLine > 0 && i - first + 1 == faults_.garbleLine) reply += "\t?\t?";
        reply += "\r\n";
    }
    return reply + kCtrlZ;
}
