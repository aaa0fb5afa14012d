#include "download/Download.h"

#include <QLocale>
#include <algorithm>
#include <limits>

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/UserLocale.h"
#include "document/DocumentRecord.h"
#include "download/TimeStamp.h"
#include "link/Link.h"

namespace {

constexpr QChar kCtrlZ(0x1A);

// A date read with a format of two-digit years belongs to the years 2000 to
// 2038 when the two digits are 00 to 38, as the instrument counts them.
QDate WithCentury(const QDate& date, const QString& format) {
    if (!date.isValid() || format.contains(QStringLiteral("yyyy"))) return date;
    if (date.year() >= 1900 && date.year() <= 1938) return date.addYears(100);
    return date;
}

}  // namespace

int FileNumberOfKey(const QString& key) {
    if (!key.startsWith(u'#')) return -1;
    bool ok = false;
    const int number = key.mid(1).toInt(&ok);
    return ok ? number : -1;
}

QString PlayCommand(const DirEntry& entry, bool range, const QDateTime& from, const QDateTime& to) {
    QString command = QStringLiteral("PLAY ") + QString::number(FileNumberOfKey(entry.Key));
    if (range && entry.RangeCapable()) {
        command += u' ' + WallClockText(from) + u' ' + WallClockText(to);
    }
    return command + u'\r';
}

std::optional<QDate> ReadUserDate(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const QLocale& locale = UserLocale::Locale();
    const QStringList formats = {UserLocale::ShortDateFormat(),
                                 locale.dateFormat(QLocale::LongFormat), QStringLiteral("yyyy-M-d"),
                                 QStringLiteral("yy-M-d")};
    for (const QString& format : formats) {
        const QDate date = WithCentury(locale.toDate(trimmed, format), format);
        if (date.isValid()) return date;
    }
    return std::nullopt;
}

std::optional<QTime> ReadUserTime(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const QLocale& locale = UserLocale::Locale();
    const QStringList formats = {UserLocale::LongTimeFormat(),
                                 locale.timeFormat(QLocale::ShortFormat), QStringLiteral("H:mm:ss"),
                                 QStringLiteral("H:mm"), QStringLiteral("H")};
    for (const QString& format : formats) {
        const QTime time = locale.toTime(trimmed, format);
        if (time.isValid()) return time;
    }
    return std::nullopt;
}

bool RangeCheck(QString& fromDate, QString& fromTime, QString& toDate, QString& toTime,
                QDateTime& from, QDateTime& to) {
    const QLocale& locale = UserLocale::Locale();
    const std::optional<QDate> fd = ReadUserDate(fromDate);
    if (!fd) return false;
    fromDate = locale.toString(*fd, UserLocale::ShortDateFormat());
    const std::optional<QTime> ft = ReadUserTime(fromTime);
    if (!ft) return false;
    fromTime = locale.toString(*ft, UserLocale::LongTimeFormat());
    const std::optional<QDate> td = ReadUserDate(toDate);
    if (!td) return false;
    toDate = locale.toString(*td, UserLocale::ShortDateFormat());
    const std::optional<QTime> tt = ReadUserTime(toTime);
    if (!tt) return false;
    toTime = locale.toString(*tt, UserLocale::LongTimeFormat());
    if (*fd > *td) return false;
    if (*fd == *td && !(*ft < *tt)) return false;
    from = WallClockTime(*fd, *ft);
    to = WallClockTime(*td, *tt);
    return true;
}

qint32 DownloadLineTotal(const QList<DirEntry>& table, bool deleteAfter) {
    // The counts are the instrument's text: a negative one counts as none, and
    // a total past the 32-bit range stays at its top.
    qint64 total = 0;
    int selected = 0;
    for (const DirEntry& entry : table) {
        if (!entry.Selected) continue;
        ++selected;
        total += std::max<qint64>(entry.PointTotal, 0) + 3;
    }
    total *= 2;
    if (deleteAfter) total += selected;
    return static_cast<qint32>(std::min<qint64>(total, std::numeric_limits<qint32>::max()));
}

bool DownloadsWholeFile(const DirEntry& entry, const DownloadSession::Options& options) {
    return !(options.range && entry.RangeCapable());
}

namespace {

// The data lines of a reply to PLAY: its lines after the header, names and
// units lines.
qint64 DataLineCount(QStringView reply) {
    return std::max<qint64>(0, reply.count(u'\n') - 3);
}

// The first point n in [0, count] whose time is not before (after = false) or
// is after (after = true) the given time; the points are in time order.
qint64 FirstPointFrom(const DirEntry& entry, const QDateTime& time, bool after) {
    qint64 low = 0, high = entry.PointTotal;
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        const QDateTime t = *PointTime(entry, mid);
        if (after ? t > time : t >= time)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

qint32 ExpectedPoints(const DirEntry& entry, const DownloadSession::Options& options) {
    qint32 points = std::max<qint32>(0, entry.PointTotal);
    if (!DownloadsWholeFile(entry, options) && PointTime(entry, 0)) {
        const qint64 first = FirstPointFrom(entry, options.from, false);
        const qint64 end = FirstPointFrom(entry, options.to, true);
        points = static_cast<qint32>(std::max<qint64>(0, end - first));
    }
    return std::min(points, kMaxPoints);
}

}  // namespace

QString EndedEarlyText(const DownloadSession::EndedEarly& file) {
    return StringTable::Text(Str::kFileEndedEarly)
        .arg(file.name)
        .arg(file.received)
        .arg(file.listed);
}

QList<qint32> DownloadPlan(const QList<DirEntry>& table, const DownloadSession::Options& options) {
    QList<qint32> plan;
    for (const DirEntry& entry : table)
        if (entry.Selected) plan << ExpectedPoints(entry, options);
    return plan;
}

int DownloadSession::KeepIncomplete(QList<DirEntry>& table) const {
    int kept = 0;
    for (DirEntry& entry : table) {
        if (entry.Selected && incomplete_.contains(entry.Index)) {
            entry.Selected = 0;
            ++kept;
        }
    }
    return kept;
}

void DownloadSession::Finish() {
    link_.Progress().SetMsg(StringTable::Text(Str::kReady));
    link_.MarkFailed();
    // Between files the link stays open; a download that stops there (a file
    // gone, a reply that does not parse, Cancel at the 65000-point notice)
    // must still say EXIT, or the instrument is left with its line open.
    if (link_.State().OpenPort != 0) link_.CloseLink();
}

DownloadSession::Outcome DownloadSession::Run(const QList<DirEntry>& table, const Options& options,
                                              const ReplySink& sink,
                                              const LimitQuestion& limitQuestion) {
    current_ = 0;
    incomplete_.clear();
    endedEarly_.clear();
    if (!link_.WaitLinkIdle()) return Outcome::NotIdle;
    const LinkState& state = link_.State();
    CommunicationProgress& progress = link_.Progress();
    link_.ClearFailed();
    const int selected = SelectedCount(table);
    link_.StartLineCount(DownloadLineTotal(table, options.deleteAfter));

    progress.Load();
    progress.SetValue(0);
    progress.SetFilePlan(DownloadPlan(table, options));
    progress.SetMsg(StringTable::Text(Str::kDownloadingFiles));

    int number = 0;
    for (const DirEntry& entry : table) {
        if (!entry.Selected) continue;
        current_ = ++number;
        // The link stays open between files; the last PLAY closes it unless
        // the deletion follows.
        const bool closeAfter = !options.deleteAfter && number == selected;
        const QString command = PlayCommand(entry, options.range, options.from, options.to);
        progress.SetFileNow(number);
        link_.StartLineCount(state.LineTotal);

        QString reply;
        if (!link_.SendCommandAndReceive(command, Command::kPlay, reply, closeAfter) ||
            state.bcancel) {
            Finish();
            return Outcome::TransferFailed;
        }
        const bool whole = DownloadsWholeFile(entry, options);
        if (!whole) incomplete_ << entry.Index;
        // Fewer points than the directory listed: the instrument ended the
        // file early, and the rest is only on the instrument.
        const qint64 received = DataLineCount(reply);
        if (received < entry.PointTotal && !incomplete_.contains(entry.Index))
            incomplete_ << entry.Index;
        const bool cut = link_.TakeCut();
        if (cut) {
            if (!incomplete_.contains(entry.Index)) incomplete_ << entry.Index;
            if (!limitQuestion || !limitQuestion()) {
                Finish();
                return Outcome::StoppedByUser;
            }
        }
        if (reply == QString(kCtrlZ)) {
            QString key = MessageKeys::kCannotDownload;
            link_.ShowMessage(key);
            Finish();
            return Outcome::FileGone;
        }
        link_.ClearFailed();
        const bool parsed = sink(entry, number, reply);
        if (!parsed || state.CommandFailed) {
            if (link_.IsCommunicating()) progress.Hide();
            Finish();
            return Outcome::ParseFailed;
        }
        // The user must learn it: the document looks like the whole file.
        if (whole && !cut && received < entry.PointTotal)
            endedEarly_.append({entry.Index, entry.Name, received, entry.PointTotal});
        // Cancel pressed while the file was read into its document: that file
        // is kept, but no further file is fetched and nothing is deleted. The
        // next command would clear the flag and go on as if it was not pressed.
        if (state.bcancel) {
            Finish();
            return Outcome::StoppedByUser;
        }
    }
    link_.EndSequence();
    return Outcome::Done;
}
