#include "sim/Instrument.h"

#include <cmath>

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEsc = 0x1B;
constexpr qint64 kWakeQuietMs = 60;
const QByteArray kAnnouncement = "\r\nline opened for operator commands\a\r\n";
const QByteArray kLineClosed = "\r\nline closed\r\n";

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
    realTime_ = false;
    queue_.clear();
    line_.clear();
}

void Instrument::CloseLine(qint64 nowMs, bool announce) {
    lineOpen_ = false;
    realTime_ = false;
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

void Instrument::HandleLine(const QByteArray& line, qint64 nowMs) {
    log_ << QString::fromLatin1(line);
    lastCommand_ = nowMs;
    if (faults_.silent) return;
    if (faults_.silentAfter >= 0 && commandsAnswered_ >= faults_.silentAfter) return;
    ++commandsAnswered_;

    if (echo_) Send(line + "\r\n", nowMs);

    const QList<QByteArray> words = line.simplified().split(' ');
    const QByteArray command = words.first().toUpper();
    lateMs_ = faults_.lateReplies.value(command, 0);
    const QByteArray ok = "OK\r\n\x1A";
    const QByteArray err = "ERR\r\n\x1A";

    if (command == "EXIT") {
        CloseLine(nowMs, true);
        return;
    }
    if (command == "ECHO") {
        if (words.size() == 2 && words.at(1).toUpper() == "OFF") {
            echo_ = false;
            Reply(ok, nowMs);
        } else if (words.size() == 2 && words.at(1).toUpper() == "ON") {
            echo_ = true;
            Reply(ok, nowMs);
        } else {
            Reply(err, nowMs);
        }
        return;
    }
    if (command == "TIME") {
        bool good = words.size() == 7;
        int v[6] = {};
        for (int i = 0; good && i < 6; ++i) v[i] = words.at(i + 1).toInt(&good);
        const QDateTime time(QDate(2000 + v[0], v[1], v[2]), QTime(v[3], v[4], v[5]));
        if (good && time.isValid()) {
            SetClock(time, nowMs);
            Reply(ok, nowMs);
        } else {
            Reply(err, nowMs);
        }
        return;
    }
    if (faults_.canned.contains(line)) {
        Send(faults_.canned.value(line), nowMs + responseDelayMs_ + lateMs_);
        return;
    }
    if (faults_.errReplies || faults_.errCommands.contains(command)) {
        Reply(err, nowMs);
        return;
    }

    if (command == "DIR") {
        Reply(DirReply(), nowMs);
    } else if (command == "PLAY") {
        bool good = words.size() == 2 || words.size() == 6;
        const int n = good ? words.at(1).toInt(&good) : -1;
        if (!good) {
            Reply(err, nowMs);
        } else if (faults_.filesGone || n < 0 || n >= files_.size()) {
            Reply(QByteArray(1, kCtrlZ), nowMs);
        } else if (words.size() == 6) {
            const QDateTime from = ParseRangeTime(words.at(2), words.at(3));
            const QDateTime to = ParseRangeTime(words.at(4), words.at(5));
            if (!files_.at(n).rangeCapable || !from.isValid() || !to.isValid() || to < from)
                Reply(err, nowMs);
            else
                Reply(PlayReply(n, from, to), nowMs, true);
        } else {
            Reply(PlayReply(n), nowMs, true);
        }
    } else if (command == "DEL") {
        if (words.size() == 1) {
            // Everything that may be deleted goes; undeletable files stay.
            QList<SimFile> kept;
            for (const SimFile& file : files_)
                if (!file.deletable) kept << file;
            files_ = kept;
            Reply(ok, nowMs);
        } else {
            bool good = false;
            const int n = words.at(1).toInt(&good);
            if (!good || n < 0 || n >= files_.size() || !files_.at(n).deletable) {
                Reply(err, nowMs);
            } else {
                files_.removeAt(n);
                Reply(ok, nowMs);
            }
        }
    } else if (command == "UNIT") {
        if (faults_.noProbe) {
            Reply(QByteArray(1, kCtrlZ), nowMs);
        } else if (words.size() == 1) {
            QByteArray reply;
            for (int q = 0; q < probe_.size(); ++q) {
                const SimProbeQuantity& quantity = probe_.at(q);
                reply += QByteArray::number(q + 1) + '\t' + quantity.name + '\t' +
                         QByteArray::number(quantity.choice);
                for (const QByteArray& unit : quantity.units) reply += '\t' + unit;
                reply += "\r\n";
            }
            Reply(reply + kCtrlZ, nowMs);
        } else {
            QList<int> choices;
            bool good = words.size() - 1 <= probe_.size();
            int shown = 0;
            for (int i = 1; good && i < words.size(); ++i) {
                const int choice = words.at(i).toInt(&good);
                if (good && (choice < 0 || choice > probe_.at(i - 1).units.size())) good = false;
                if (choice > 0) ++shown;
                choices << choice;
            }
            if (!good || shown > 3 || faults_.recording) {
                Reply(err, nowMs);
            } else {
                for (int q = 0; q < probe_.size(); ++q)
                    probe_[q].choice = q < choices.size() ? choices.at(q) : 0;
                Reply(ok, nowMs);
            }
        }
    } else if (command == "SEND") {
        if (faults_.noProbe) {
            Reply(QByteArray(1, kCtrlZ), nowMs);
            return;
        }
        QByteArray names, units;
        for (const SimProbeQuantity& quantity : probe_) {
            if (quantity.choice <= 0) continue;
            names += '\t' + quantity.name;
            units += '\t' + quantity.units.at(quantity.choice - 1);
        }
        if (names.isEmpty() || (words.size() == 1 && !realTime_)) {
            Reply(err, nowMs);
        } else if (words.size() == 2) {
            realTime_ = true;
            Reply("3" + names + "\r\n" + units + "\r\n" + RealTimeDataLine(nowMs) + "\r\n" + kCtrlZ,
                  nowMs);
        } else {
            Reply(RealTimeDataLine(nowMs) + "\r\n" + kCtrlZ, nowMs);
        }
    } else if (command == "VERS") {
        Reply(faults_.noProbe ? QByteArray("TR58\r\n\x1A")
                              : QByteArray("TR58 HMP-T5\r\nSW 2.14 \r\n\x1A"),
              nowMs);
    } else if (command == "SNUM") {
        Reply(faults_.noProbe ? QByteArray("Instrument\tT2640117\r\n\x1A")
                              : QByteArray("Instrument\tT2640117\r\nProbe\tP5310862\r\n\x1A"),
              nowMs);
    } else if (command == "CAL") {
        Reply("Calibrated\t2026-03-14\r\n\x1A", nowMs);
    } else {
        Reply(err, nowMs);
    }
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
